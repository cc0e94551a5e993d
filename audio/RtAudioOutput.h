#pragma once

#include <memory>
#include <string>

#include "audio/AudioOutput.h"

class RtAudio;

namespace melovantis {

// The sound output through RtAudio (JACK, PulseAudio or ALSA), on the
// system's default output device.
class RtAudioOutput : public AudioOutput {
 public:
  RtAudioOutput();
  ~RtAudioOutput() override;

  bool start(Render render) override;
  void stop() override;
  std::string problem() const override { return problem_; }

 private:
  static int callback(void* output, void* input, unsigned int frames, double streamTime,
                      unsigned int status, void* self);

  std::unique_ptr<RtAudio> audio_;
  Render render_;
  std::string problem_;
};

}  // namespace melovantis
