#include "audio/RtAudioApi.h"

#include <cstdlib>

#include "audio/SoundSystems.h"

namespace melovantis {

RtAudio::Api chosenAudioApi() {
  quietAlsaLibrary();
  if (const char* name = std::getenv("MELOVANTIS_AUDIO_API"); name != nullptr && *name != '\0') {
    return RtAudio::getCompiledApiByName(name);
  }
  // The first system that is running; RtAudio's own search would print the
  // failures of those that are not.
  if (jackServerRunning()) {
    return RtAudio::UNIX_JACK;
  }
  if (pulseServerPresent()) {
    return RtAudio::LINUX_PULSE;
  }
  return RtAudio::LINUX_ALSA;
}

}  // namespace melovantis
