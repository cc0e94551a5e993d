#pragma once

#include <cstdint>
#include <vector>

namespace melovantis {

class AnalysisEngine;
struct MidiTimeBase;

// When each frame's messages go into a MIDI file with the notes started where
// their attacks are in the recording (OnsetPlacement::kAttack).
//
// A note starts at a frame that is pitched and either marked as an attack or
// follows an unpitched frame. Its start moves from the frame's own time to its
// measured onset, kept after the start of the note before it. Frames of the
// note before whose times the moved start has overtaken are superseded: their
// bends and controllers are dropped, and a note-off they carry goes out at the
// new start, which so ends the note before it there.
class NoteStartPlacement {
 public:
  struct FrameTime {
    std::int64_t tick = 0;
    bool superseded = false;
  };

  // One entry per frame 0..frameCount-1 of the engine's table.
  static std::vector<FrameTime> plan(const AnalysisEngine& engine, const MidiTimeBase& base,
                                     int frameCount);
};

}  // namespace melovantis
