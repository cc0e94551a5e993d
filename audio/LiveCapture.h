#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "audio/AudioCaptureBackend.h"
#include "audio/SampleQueue.h"
#include "engine/LiveBlockAnalyser.h"

namespace melovantis {

class AnalysisEngine;
class Notifier;

// Told on the capture thread, once per block, that row 0 of the engine holds
// the block's analysed frame (the frame count is 1 then).
class FrameListener {
 public:
  virtual ~FrameListener() = default;
  virtual void frameAnalysed(AnalysisEngine& engine) = 0;
};

// The live controls, set by the window while capture runs and taken into the
// engine by the capture thread before each block: the engine itself is only
// ever touched by one thread at a time.
struct LiveControls {
  std::atomic<double> inputGain{1.0};
  std::atomic<double> quantizeAmount{0.0};
  std::atomic<int> transpose{0};
  std::atomic<bool> attackDetectorOn{true};
  std::atomic<int> attackSensitivity{20};
};

// What the display shows of the last block.
struct LiveFrame {
  double pitch = -1000.0;
  int volume = 0;
  int brightness = 0;
  double smoothedPitch = -1.0;  // the mean of the last three blocks' pitches
  long long blocks = 0;         // blocks analysed since the start
};

// Live audio capture: the input's samples are cut into blocks of one frame
// length, and on a thread of its own each block is analysed as row 0 of the
// engine, its attack decided and its onset measured, and handed to the
// listener (which sends its MIDI). The display reads a copy of the last
// frame; the controls go in through atomics.
class LiveCapture {
 public:
  static constexpr int kLongestBlock = 7840;
  // An input that delivers nothing for this long is lost: a sound server
  // delivers every few milliseconds while it runs.
  static constexpr std::chrono::milliseconds kInputLostAfter{1000};

  LiveCapture(AnalysisEngine& engine, Notifier& notifier, AudioCaptureBackend& backend);
  ~LiveCapture();
  LiveCapture(const LiveCapture&) = delete;
  LiveCapture& operator=(const LiveCapture&) = delete;

  void setListener(FrameListener* listener) { listener_ = listener; }

  // Starts capturing from input `deviceId` (-1: the default) in blocks of the
  // engine's frame length. On failure the user is told why and the result is false.
  bool startCapture(int deviceId = -1);

  // Stops the input and waits for the capture thread: once it returns, no
  // block is being analysed and none will be.
  void stopCapture();

  bool running() const { return running_; }

  // Waits until the first block after the start has been analysed; false
  // when none came within `timeout`.
  bool waitForFirstBlock(std::chrono::milliseconds timeout) const;

  // While running: the input has delivered no samples for kInputLostAfter.
  bool inputLost() const;

  // Blocks of sound left out since the start because the analysis fell
  // behind the input.
  long long droppedBlocks() const;

  LiveControls& controls() { return controls_; }
  LiveFrame lastFrame() const;

  // The block length in samples while running.
  int blockSamples() const { return blockSamples_; }
  AudioCaptureBackend& backend() { return backend_; }

 private:
  void run();
  void processBlock();

  AnalysisEngine& engine_;
  Notifier& notifier_;
  AudioCaptureBackend& backend_;
  FrameListener* listener_ = nullptr;
  LiveControls controls_;
  SampleQueue queue_;
  std::vector<std::int16_t> block_;
  LiveBlockAnalyser analyser_;
  std::thread thread_;
  // Released once per piece the device delivers, which may be many before
  // the capture thread wakes: a counting semaphore takes them all.
  std::counting_semaphore<> wake_{0};
  std::atomic<bool> stop_{false};
  std::atomic<std::chrono::steady_clock::rep> lastDelivery_{0};
  bool running_ = false;
  int blockSamples_ = 0;

  mutable std::mutex frameMutex_;
  LiveFrame frame_;
  std::atomic<long long> blocks_{0};
};

}  // namespace melovantis
