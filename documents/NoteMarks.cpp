#include "documents/NoteMarks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace melovantis {

namespace {

constexpr std::array<int, 12> kOffsetInOctave = {0, 10, 20, 30, 40, 60, 70, 80, 90, 100, 110, 120};
constexpr int kOctaveWidth = 140;

}  // namespace

int noteMarkX(int note) {
  // Octaves counted downward for negative notes, so the offset index stays 0..11.
  int octave = note / 12;
  int step = note % 12;
  if (step < 0) {
    step += 12;
    --octave;
  }
  // 64 bits so that no note number, however absurd, overflows.
  const std::int64_t x =
      kOffsetInOctave[static_cast<std::size_t>(step)] + std::int64_t{kOctaveWidth} * octave;
  return static_cast<int>(std::clamp<std::int64_t>(x, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace melovantis
