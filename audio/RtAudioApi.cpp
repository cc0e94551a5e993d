#include "audio/RtAudioApi.h"

#include <cstdlib>

namespace melovantis {

RtAudio::Api chosenAudioApi() {
  if (const char* name = std::getenv("MELOVANTIS_AUDIO_API"); name != nullptr && *name != '\0') {
    return RtAudio::getCompiledApiByName(name);
  }
  return RtAudio::UNSPECIFIED;
}

}  // namespace melovantis
