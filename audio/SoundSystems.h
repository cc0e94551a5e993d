#pragma once

namespace melovantis {

// Which sound systems this machine has running, asked quietly: the libraries
// would otherwise print their failures to try one that is not there.

// A JACK server answers (without starting one).
bool jackServerRunning();

// A PulseAudio (or PipeWire) server socket is there to connect to.
bool pulseServerPresent();

// The ALSA sequencer device can be opened, for MIDI.
bool alsaSequencerPresent();

// Stops the ALSA library from printing its configuration errors to the
// terminal; the program reports what matters in its own words.
void quietAlsaLibrary();

}  // namespace melovantis
