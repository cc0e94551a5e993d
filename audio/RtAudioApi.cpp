#include "audio/RtAudioApi.h"

#include <cstdlib>

#include "audio/SoundSystems.h"

namespace melovantis {

namespace {

RtAudio::Api choose(std::string& why) {
  quietAlsaLibrary();
  quietJackLibrary();
  if (const char* name = std::getenv("MELOVANTIS_AUDIO_API"); name != nullptr && *name != '\0') {
    const RtAudio::Api api = RtAudio::getCompiledApiByName(name);
    why = audioApiName(api) + ", as MELOVANTIS_AUDIO_API asks";
    return api;
  }
  // The first system that is running; RtAudio's own search would print the
  // failures of those that are not.
  if (jackServerRunning()) {
    why = "JACK, whose server runs";
    return RtAudio::UNIX_JACK;
  }
  if (pulseServerPresent()) {
    why = "PulseAudio, as no JACK server runs";
    return RtAudio::LINUX_PULSE;
  }
  why = "ALSA, as no JACK server runs and no PulseAudio server is there";
  return RtAudio::LINUX_ALSA;
}

}  // namespace

RtAudio::Api chosenAudioApi(std::string* why) {
  std::string text;
  const RtAudio::Api api = choose(text);
  if (why != nullptr) {
    *why = text;
  }
  return api;
}

std::string audioApiName(RtAudio::Api api) {
  switch (api) {
    case RtAudio::UNIX_JACK:
      return "JACK";
    case RtAudio::LINUX_PULSE:
      return "PulseAudio";
    case RtAudio::LINUX_ALSA:
      return "ALSA";
    default:
      return RtAudio::getApiDisplayName(api).empty() ? "no sound system"
                                                     : RtAudio::getApiDisplayName(api);
  }
}

}  // namespace melovantis
