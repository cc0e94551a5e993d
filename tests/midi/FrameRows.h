#pragma once

#include <cstdint>

#include "engine/FrameRecord.h"

namespace melovantis::test {

// Frame-table rows for MIDI tests: a pitched row and an unpitched (silent) one.
inline FrameRecord voiced(double pitch, int volume = 80, int brightness = 30, int attack = 0) {
  FrameRecord frame;
  frame.pitch = pitch;
  frame.volume = static_cast<std::uint8_t>(volume);
  frame.brightness = static_cast<std::uint8_t>(brightness);
  frame.attack = static_cast<std::uint8_t>(attack);
  return frame;
}

inline FrameRecord silent() { return FrameRecord{}; }

}  // namespace melovantis::test
