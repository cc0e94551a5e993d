#pragma once

namespace melovantis {

// Which sound systems this machine has running, asked quietly: the libraries
// would otherwise print their failures to try one that is not there.

enum class JackServerState { Running, Absent, NotAnswering };

// Whether a JACK server answers (without starting one). A server that is there
// but does not answer within a few seconds (a stopped, frozen one) is
// NotAnswering.
JackServerState jackServerState();

// A JACK server answers.
bool jackServerRunning();

// A PulseAudio (or PipeWire) server socket is there to connect to.
bool pulseServerPresent();

// The ALSA sequencer device can be opened, for MIDI.
bool alsaSequencerPresent();

// Stops the ALSA library from printing its configuration errors to the
// terminal; the program reports what matters in its own words.
void quietAlsaLibrary();

// The same for the JACK library, which prints every failed request to a
// server that is missing, stopped or frozen ("Cannot read socket fd").
void quietJackLibrary();

}  // namespace melovantis
