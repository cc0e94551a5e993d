#pragma once

#include <vector>

#include "engine/FrameRecord.h"

namespace melovantis {

// Repairs pitch spikes in a frame table: one or two frames read far from the
// note around them, which itself goes on unchanged on both sides. A low note
// whose fundamental is weak (a piano's bass, a tuba) lets a partial outweigh
// it in the cepstrum for a frame now and then; left alone, each such frame
// would break the note in three.
//
// A spike is a run of at most kMaxSpikeFrames pitched frames, all at least
// kMinJump semitones from the pitched frames just before and after it, which
// agree within kMaxNeighbourGap of each other. Its frames take the pitch of
// the line between those neighbours; volume and brightness stay as measured.
class PitchSpikes {
 public:
  static constexpr int kMaxSpikeFrames = 2;
  static constexpr double kMinJump = 6.5;        // more than any bend range in common use
  static constexpr double kMaxNeighbourGap = 1.0;

  // Repairs rows first..end-1 (reading one row beyond each end); returns how many changed.
  static int repair(std::vector<FrameRecord>& frames, int first, int end);

  // After the pitch line, a smaller fault is mended too: one frame more than
  // kBlipJump semitones from both its neighbours, which agree within
  // kBlipNeighbourGap, takes their mean. A note of one frame is too short to be
  // heard as one (and never starts a note, NoteSegmentation); left alone, past
  // the bend range it would strike the note again twice. Rows first..end-1.
  static constexpr double kBlipJump = 1.0;
  static constexpr double kBlipNeighbourGap = 0.5;
  static int repairBlips(std::vector<FrameRecord>& frames, int first, int end);
};

}  // namespace melovantis
