#pragma once

#include <vector>

#include "engine/FrameRecord.h"
#include "engine/PitchCandidates.h"

namespace melovantis {

// One pitch per frame out of each frame's candidates (PitchCandidates): the
// line through a run of pitched frames that costs least, where a frame costs
// how much less plainly its spectrum shows the candidate taken than its
// clearest one (in dB of harmonic contrast), and a step from one frame to the
// next costs kJumpCost per semitone, up to kLargestJump semitones (Viterbi).
//
// A frame or two that read an octave or a partial away from the line on both
// sides cost two jumps, more than taking their weaker candidate on the line:
// they are brought back. A real leap costs one jump and then nothing, since the
// frames after it show the new pitch clearly: it stays.
//
// Runs are bounded by unpitched frames; those stay unpitched. Where the line
// keeps to the frame's own reading (within kOwnReading), the frame keeps its
// finer pitch as analysed.
class PitchPath {
 public:
  static constexpr double kJumpCost = 0.6;      // dB per semitone
  static constexpr double kLargestJump = 24.0;  // semitones
  static constexpr double kOwnReading = 0.3;    // semitones

  // Rows first..end-1; returns how many pitches changed.
  static int choose(std::vector<FrameRecord>& frames,
                    const std::vector<PitchCandidates>& candidates, int first, int end);
};

}  // namespace melovantis
