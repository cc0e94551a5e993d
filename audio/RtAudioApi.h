#pragma once

#include <RtAudio.h>

#include <string>

namespace melovantis {

// The sound system the program's audio goes through: the one named by
// MELOVANTIS_AUDIO_API ("jack", "pulse" or "alsa"), else a running JACK
// server, else PulseAudio (or PipeWire's), else ALSA. `why`, when given,
// receives the choice in the program's words ("ALSA: no JACK server runs,
// no PulseAudio server is there"), for messages about a device.
RtAudio::Api chosenAudioApi(std::string* why = nullptr);

// "JACK", "PulseAudio", "ALSA".
std::string audioApiName(RtAudio::Api api);

}  // namespace melovantis
