#include "midi/RecordingMidiSink.h"

namespace melovantis {

bool RecordingMidiSink::open() {
  if (refuseOpen) {
    return false;
  }
  isOpen = true;
  ++openCount;
  return true;
}

void RecordingMidiSink::send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                             int length) {
  messages.push_back({status, data1, data2, length});
}

void RecordingMidiSink::close() {
  isOpen = false;
  ++closeCount;
}

}  // namespace melovantis
