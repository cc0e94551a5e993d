#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiSink.h"

namespace melovantis {

// The MIDI outputs live MIDI can go to, by device id. Id 0 is a port of the
// program's own that other programs connect to (a synthesizer, a sequencer
// recording the take); the outputs of the system follow.
class MidiOutputPorts {
 public:
  virtual ~MidiOutputPorts() = default;

  // The names of the devices, index = device id.
  virtual std::vector<std::string> names() = 0;

  // A sink for device `id`, not yet opened (the generator opens it); nullptr
  // when there is no such device.
  virtual std::unique_ptr<MidiSink> sink(int id) = 0;

  // Why the last device asked for could not be used, in the program's words
  // and naming the MIDI systems tried; empty when nothing is known to be wrong.
  virtual std::string problem() const { return {}; }
};

// The device list as the user reads it: "%d. %s", id and name.
std::vector<std::string> midiDeviceEntries(MidiOutputPorts& ports);

}  // namespace melovantis
