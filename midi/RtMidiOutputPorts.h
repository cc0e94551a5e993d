#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiOutputPorts.h"

namespace melovantis {

// MIDI outputs through RtMidi (the ALSA sequencer or JACK): device 0 is a
// virtual port of the program's own, named `virtualName`, which synthesizers
// and sequencers can connect to; the system's output ports follow. Every call
// into the library is given a few seconds: a sound server that stopped
// answering fails it instead of hanging the program.
class RtMidiOutputPorts : public MidiOutputPorts {
 public:
  static constexpr const char* kDefaultVirtualName = "Melovantis";

  explicit RtMidiOutputPorts(std::string virtualName = kDefaultVirtualName);
  ~RtMidiOutputPorts() override;

  std::vector<std::string> names() override;
  std::unique_ptr<MidiSink> sink(int id) override;
  std::string problem() const override;

  // The MIDI system in use and what went wrong with it, shared with the sinks.
  struct System;
  // One client of the MIDI system with the errors it met.
  struct Client;

 private:
  std::string virtualName_;
  std::shared_ptr<System> system_;
  std::unique_ptr<Client> probe_;  // for the list of ports
};

}  // namespace melovantis
