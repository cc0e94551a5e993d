#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "audio/AudioCaptureBackend.h"

namespace melovantis::test {

// A capture input for the tests: plays the samples it was given, then
// silence, `speed` times faster than real time, on a thread of its own; or
// fails to start in the way it is told; or opens and never delivers; or,
// as an input whose sound server stopped, delivers nothing after the samples.
class ScriptedCapture : public AudioCaptureBackend {
 public:
  explicit ScriptedCapture(std::vector<std::int16_t> samples = {}, double speed = 4.0);
  ~ScriptedCapture() override;

  std::vector<AudioDevice> inputDevices() override;
  CaptureFailure start(int deviceId, int framesPerPiece, SampleHandler handler) override;
  void stop() override;

  // What the next start plays.
  void setSamples(std::vector<std::int16_t> samples) { samples_ = std::move(samples); }

  bool noDevices = false;
  CaptureFailure failure = CaptureFailure::None;  // start() answers this when set
  bool silentDevice = false;                       // starts, but never delivers
  bool stopsAfterTheSamples = false;               // delivers them, then nothing
  int starts = 0;
  int lastDevice = -2;
  int lastFramesPerPiece = 0;  // the block length the last start asked for
  std::atomic<long long> delivered{0};  // samples handed over since the last start

 private:
  std::vector<std::int16_t> samples_;
  double speed_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

}  // namespace melovantis::test
