#pragma once

#include <memory>

#include "audio/AudioCaptureBackend.h"

class RtAudio;

namespace melovantis {

// Capture from a sound card through RtAudio (JACK, PulseAudio or ALSA):
// mono, 44100 Hz, 16-bit, in pieces of one block where the device allows it.
class RtAudioCaptureBackend : public AudioCaptureBackend {
 public:
  RtAudioCaptureBackend();
  ~RtAudioCaptureBackend() override;

  // Inputs only, numbered from 0 in RtAudio's order.
  std::vector<AudioDevice> inputDevices() override;
  CaptureFailure start(int deviceId, int framesPerPiece, SampleHandler handler) override;
  void stop() override;
  int bufferedSamples() const override { return bufferFrames_; }

 private:
  static int callback(void* output, void* input, unsigned int frames, double streamTime,
                      unsigned int status, void* self);

  std::unique_ptr<RtAudio> audio_;
  std::vector<unsigned int> deviceIndexes_;  // RtAudio's index of each input
  SampleHandler handler_;
  int bufferFrames_ = 0;
};

}  // namespace melovantis
