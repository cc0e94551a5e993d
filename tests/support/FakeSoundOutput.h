#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "audio/AudioOutput.h"
#include "midi/MidiRenderer.h"

namespace melovantis::test {

// A sound output for the tests: pulls from the player on a thread of its own
// as a sound card would (faster than real time), counting what it got; or,
// told there is no device, refuses to start as an empty system does.
class FakeSoundOutput : public AudioOutput {
 public:
  ~FakeSoundOutput() override { stop(); }

  bool start(Render render) override;
  void stop() override;
  std::string problem() const override { return absent ? "No sound output device" : ""; }
  // Between a start and the next stop: still pulling from the player.
  bool running() const { return thread_.joinable(); }

  bool absent = false;
  std::atomic<long long> framesPulled{0};
  std::atomic<long long> loudFrames{0};  // frames that were not silence

 private:
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

// A synthesizer that plays a fixed length of a steady tone for any file.
class FakeSynthesizer : public MidiRenderer {
 public:
  bool load(const std::filesystem::path& file) override;
  void seek(double seconds) override { at_ = static_cast<long long>(seconds * 44100); }
  bool render(std::int16_t* out, int frames) override;
  std::string problem() const override { return missing ? "No General MIDI sound set" : ""; }

  bool missing = false;
  double seconds = 1.0;
  int loads = 0;

 private:
  std::atomic<long long> at_{0};
};

}  // namespace melovantis::test
