#pragma once

#include <cstdint>
#include <vector>

namespace melovantis {

class AnalysisEngine;

// The onsets of the live mode. There every captured block is one frame
// (row 0), analysed as it arrives, and its messages go to the device at once:
// a note cannot start earlier than the block that shows it. What one block of
// latency does allow is to look back: this keeps the block before, so that
// each row gets the onset and rise that a conversion would measure over the
// same two blocks, and, with notes placed at their attacks, a start on the
// same semitone without a rise in the envelope is dropped before the row's
// messages go out (the first of the conversion's refinements; the legato step
// needs the frame after, which the live mode does not wait for).
//
// Allocates only when made and when the frame length grows; capture threads
// call blockCaptured and rowAnalysed once per block.
class LiveOnsets {
 public:
  explicit LiveOnsets(int capacity = 7840);

  // Forgets the block before: the next block is the first of a run.
  void reset();

  // Before the engine conditions its `samples` in place: keeps the raw block.
  void blockCaptured(const AnalysisEngine& engine);

  // After analyseBlock wrote row 0 (and its attack flag): its onset and rise,
  // and the dropped start. `previousPitch` is the pitch of the block before.
  void rowAnalysed(AnalysisEngine& engine, double previousPitch);

 private:
  std::vector<std::int16_t> audio_;  // the block before, then the current block
  int frameSize_ = 0;
  bool havePrevious_ = false;
};

}  // namespace melovantis
