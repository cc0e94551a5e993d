#pragma once

#include <cstdint>

namespace melovantis {

// The pitches a frame could have, each with how clearly the spectrum shows it.
//
// The cepstrum's highest peak is the frame's pitch when the sound is clear. In
// a low note whose partials outweigh the fundamental, in a tone whose octave
// below or above is nearly as plain, or in reverb where the last note rings
// under this one, the peak it picks is often another: a partial, the octave,
// the reverb. So the analysis keeps the cepstrum's highest peaks, and each of
// them, its octave above and its octave below is checked against the spectrum
// itself (HarmonicComb). A pass over the whole table (PitchPath) then takes
// one candidate per frame for a line that holds its octave.
//
// Fixed size, one per row of the frame table, kept beside it: filling it
// allocates nothing.
struct PitchCandidates {
  static constexpr int kMax = 5;

  float pitch[kMax] = {};     // MIDI note numbers, after transposition
  float strength[kMax] = {};  // HarmonicComb::contrast, in dB; the strongest first
  std::uint8_t count = 0;
};

}  // namespace melovantis
