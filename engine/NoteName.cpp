#include "engine/NoteName.h"

namespace melovantis {

std::string noteName(int note) {
  static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F",
                                         "F#", "G", "G#", "A", "A#", "B"};
  // Floor division keeps the pitch class right for the odd negative value.
  const int octave = note >= 0 ? note / 12 : -((11 - note) / 12);
  const int pitchClass = note - octave * 12;
  return std::string(kNames[pitchClass]) + std::to_string(octave);
}

}  // namespace melovantis
