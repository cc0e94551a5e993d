#pragma once

#include <cstdint>
#include <vector>

namespace melovantis::test {

struct MidiNoteOn {
  std::int64_t tick = 0;  // from the start of the track
  int key = 0;
};

// The note-ons (velocity above 0) of a format 0 file as the program's writer
// makes it: one track, running status never used, short meta texts.
std::vector<MidiNoteOn> midiNoteOns(const std::vector<std::uint8_t>& file);

}  // namespace melovantis::test
