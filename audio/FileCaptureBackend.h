#pragma once

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "audio/AudioCaptureBackend.h"

namespace melovantis {

class Notifier;

// A capture input that plays a WAVE file (44100 Hz, mono, 16-bit) at real
// speed, as a microphone would deliver it: for tests, demonstrations and
// `melovantis-cli live --input-file`. After the file, it delivers silence
// until stopped, so a run can end on its last note-off.
class FileCaptureBackend : public AudioCaptureBackend {
 public:
  // Reads the file now; one that cannot be used is reported to `notifier` and
  // leaves the backend without an input.
  FileCaptureBackend(std::filesystem::path file, Notifier& notifier);
  ~FileCaptureBackend() override;

  std::vector<AudioDevice> inputDevices() override;
  CaptureFailure start(int deviceId, int framesPerPiece, SampleHandler handler) override;
  void stop() override;

  // True once the whole file has been delivered.
  bool finished() const { return finished_; }
  // Seconds the file lasts; 0 when it cannot be read.
  double lengthSeconds() const;

 private:
  std::filesystem::path file_;
  std::vector<std::int16_t> samples_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
};

}  // namespace melovantis
