#pragma once

#include <RtAudio.h>

namespace melovantis {

// The sound system the program's audio goes through: the one named by
// MELOVANTIS_AUDIO_API ("jack", "pulse" or "alsa"), else the first one
// RtAudio finds with devices on it.
RtAudio::Api chosenAudioApi();

}  // namespace melovantis
