#pragma once

namespace melovantis {

class AnalysisEngine;
class SampleSource;

// Where a note that follows the one before without an attack of its own (a
// legato step) starts: where the sound changes from the old pitch to the new.
//
// The frames that read the two pitches lie a hop apart (45 ms with the factory
// settings), and the change lies somewhere between their centres. Between the
// centre of the last frame on the old pitch and the first on the new, windows
// of a frame's length are analysed kStepsPerHop times per hop, and each is
// asked whether it shows the new pitch's harmonics more plainly than the old
// one's (AnalysisEngine::harmonicPreference). The start goes where that
// answer turns, interpolated between the two windows around the turn, and is
// kept in the row as its onset (FrameRecord::onsetOffset), which is where the
// MIDI file starts the note.
//
// A start with a clear attack of its own (the rise of a string or key struck
// again, NoteSegmentation::kAttackRise) keeps the onset of its envelope.
class LegatoStarts {
 public:
  static constexpr int kStepsPerHop = 4;

  // Rows first..end-1 of the engine's table, whose attack flags are set;
  // returns how many starts were placed. False reads leave the rows as they were.
  static int place(AnalysisEngine& engine, SampleSource& source, int first, int end);
};

}  // namespace melovantis
