#include "support/MidiNoteOns.h"

namespace melovantis::test {

std::vector<MidiNoteOn> midiNoteOns(const std::vector<std::uint8_t>& file) {
  std::vector<MidiNoteOn> found;
  std::size_t pos = 22;  // after the header chunk and the track header
  std::int64_t now = 0;
  while (pos < file.size()) {
    std::int64_t delta = 0;
    while (pos < file.size()) {
      const std::uint8_t byte = file[pos++];
      delta = (delta << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) {
        break;
      }
    }
    now += delta;
    if (pos + 2 >= file.size()) {
      break;
    }
    const std::uint8_t status = file[pos];
    if (status == 0xFF) {
      pos += 3 + file[pos + 2];  // the writer's texts are short
      continue;
    }
    if ((status & 0xF0) == 0x90 && file[pos + 2] > 0) {
      found.push_back({now, file[pos + 1]});
    }
    pos += (status & 0xF0) == 0xC0 ? 2 : 3;
  }
  return found;
}

}  // namespace melovantis::test
