#pragma once

#include <cstdint>

namespace melovantis {

// The value of `pitch` that marks a frame without pitch.
inline constexpr double kNoPitch = -1000.0;

// One analysis frame: a row of the frame table.
struct FrameRecord {
  double pitch = kNoPitch;  // real MIDI note number, 69.0 = 440 Hz
  double workPitch = 0.0;   // scratch value of Auto Correct
  std::uint8_t volume = 0;      // 0..127
  std::uint8_t brightness = 0;  // 0..127
  std::uint8_t attack = 0;      // 1 where a note starts
  // Where the note this row would start really begins in the recording, in
  // samples after the row's time in the MIDI file ((row + 1) hops); negative
  // is earlier. 0 when no attack was measured: the note then starts at that time.
  std::int32_t onsetOffset = 0;
  // How clearly the recording shows an attack there: the loudness envelope's
  // rise to its peak, in tenths of the level before it (10..255). 0 when the
  // onset was never measured (a table from before, or frame placement).
  std::uint8_t onsetRise = 0;
};

}  // namespace melovantis
