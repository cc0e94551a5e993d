#pragma once

#include <cstdint>
#include <vector>

#include "midi/MidiSink.h"

namespace melovantis {

// One channel message as it left the generator.
struct MidiMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  int length = 3;

  bool operator==(const MidiMessage&) const = default;
};

// A sink that keeps every message in order, for the tests and for the live
// output's stand-in device. It can be told to refuse opening, as a device in
// use would.
class RecordingMidiSink : public MidiSink {
 public:
  bool open() override;
  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override;
  void close() override;

  // Drops the recorded messages; the open and close counts stay.
  void clear() { messages.clear(); }

  std::vector<MidiMessage> messages;
  bool refuseOpen = false;  // open() fails while set
  bool isOpen = false;
  int openCount = 0;   // successful opens
  int closeCount = 0;
};

}  // namespace melovantis
