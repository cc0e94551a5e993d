#pragma once

#include <cstdint>

#include "engine/LiveOnsets.h"

namespace melovantis {

class AnalysisEngine;
struct FrameRecord;

// The live adjustments in force for one block: what the real-time controls set.
struct LiveAdjustments {
  double inputGain = 1.0;
  double quantizeAmount = 0.0;
  int transpose = 0;
  bool attackDetectorOn = true;
  int attackSensitivity = 20;
};

// The live mode's step for one block of one frame length: the block becomes
// row 0 of the engine, analysed with the adjustments in force, its attack
// decided and its onset measured over the block before; the pitches of the
// last three blocks are kept for the display. The capture thread and the
// plugin's run() both go through here, so they analyse a block alike.
//
// Allocates nothing once made (the engine's row 0 always exists).
class LiveBlockAnalyser {
 public:
  explicit LiveBlockAnalyser(AnalysisEngine& engine, int capacity = 7840);

  // The next block is the first of a run: no block before, no pitch history.
  void reset();

  // Analyses `block` (the engine's frameSize samples) into row 0; the frame
  // count is 1 afterwards, ready for the row's MIDI.
  const FrameRecord& analyse(const std::int16_t* block, const LiveAdjustments& adjustments);

  // The mean of the last three blocks' pitches (-1.0 each before a run).
  double smoothedPitch() const { return (history_[0] + history_[1] + history_[2]) / 3.0; }

 private:
  AnalysisEngine& engine_;
  LiveOnsets onsets_;
  double history_[3] = {-1.0, -1.0, -1.0};  // this block's pitch and the two before
};

}  // namespace melovantis
