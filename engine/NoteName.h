#pragma once

#include <string>

namespace melovantis {

// "C5" for note 60: sharps only, octave = note / 12.
std::string noteName(int note);

}  // namespace melovantis
