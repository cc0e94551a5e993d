#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiOutputPorts.h"

class RtMidiOut;

namespace melovantis {

// MIDI outputs through RtMidi (the ALSA sequencer or JACK): device 0 is a
// virtual port of the program's own, named `virtualName`, which synthesizers
// and sequencers can connect to; the system's output ports follow.
class RtMidiOutputPorts : public MidiOutputPorts {
 public:
  static constexpr const char* kDefaultVirtualName = "Melovantis";

  explicit RtMidiOutputPorts(std::string virtualName = kDefaultVirtualName);
  ~RtMidiOutputPorts() override;

  std::vector<std::string> names() override;
  std::unique_ptr<MidiSink> sink(int id) override;

 private:
  std::string virtualName_;
  std::unique_ptr<RtMidiOut> probe_;  // for the list of ports
};

}  // namespace melovantis
