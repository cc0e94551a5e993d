#pragma once

#include <RtAudio.h>

namespace melovantis {

// The sound system the program's audio goes through: the one named by
// MELOVANTIS_AUDIO_API ("jack", "pulse" or "alsa"), else a running JACK
// server, else PulseAudio (or PipeWire's), else ALSA.
RtAudio::Api chosenAudioApi();

}  // namespace melovantis
