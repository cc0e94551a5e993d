#pragma once

#include <RtAudio.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "audio/AudioCaptureBackend.h"

namespace melovantis {

// Capture from a sound card through RtAudio (JACK, PulseAudio or ALSA):
// mono, 44100 Hz, 16-bit, in pieces of one block where the device allows it.
// Every call into the library is given a few seconds: a sound server that
// stopped answering fails it instead of hanging the program.
class RtAudioCaptureBackend : public AudioCaptureBackend {
 public:
  RtAudioCaptureBackend();
  ~RtAudioCaptureBackend() override;

  // Inputs only, numbered from 0 in RtAudio's order.
  std::vector<AudioDevice> inputDevices() override;
  CaptureFailure start(int deviceId, int framesPerPiece, SampleHandler handler) override;
  void stop() override;
  int bufferedSamples() const override { return bufferFrames_; }
  std::string problem() const override;

 private:
  // What the library's callback reaches. It lives apart from the backend, so
  // that a stream left to a frozen server never calls into a backend that is
  // gone; once the handler is cleared, no samples are handed on.
  struct Delivery {
    std::mutex mutex;
    SampleHandler handler;
  };

  static int callback(void* output, void* input, unsigned int frames, double streamTime,
                      unsigned int status, void* delivery);
  // Runs `call` on the library object within the time a server takes to
  // answer. When it does not end, the object is left to it and a new one
  // serves the next start.
  bool answered(std::function<void(RtAudio&)> call);
  bool haveLibrary();
  void setHandler(SampleHandler handler);

  std::string apiChoice_;  // which system, and why, for messages
  RtAudio::Api api_;
  std::unique_ptr<RtAudio> audio_;
  std::unique_ptr<Delivery> delivery_;
  std::vector<unsigned int> deviceIndexes_;  // RtAudio's index of each input
  int bufferFrames_ = 0;
  bool started_ = false;  // a stream runs that this backend started
  std::string problem_;
};

}  // namespace melovantis
