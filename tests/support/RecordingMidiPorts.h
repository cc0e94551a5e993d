#pragma once

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiOutputPorts.h"
#include "midi/RecordingMidiSink.h"

namespace melovantis::test {

// MIDI outputs for the tests: each device id records what reaches it, and the
// devices keep their recordings after the program lets go of them. A log of
// "open N", "close N" and the messages, in order, shows which came first.
class RecordingMidiPorts : public MidiOutputPorts {
 public:
  explicit RecordingMidiPorts(int devices = 2);

  std::vector<std::string> names() override;
  std::unique_ptr<MidiSink> sink(int id) override;

  std::vector<RecordingMidiSink> devices;
  std::vector<std::string> log;
};

}  // namespace melovantis::test
