#pragma once

namespace melovantis {

class AnalysisEngine;
class SampleSource;

// Where a note that follows the one before without an attack of its own (a
// legato step) starts: where the sound begins to change from the old pitch to
// the new.
//
// The frames that read the two pitches lie a hop apart (45 ms with the factory
// settings), and the change lies somewhere between their centres. Windows of
// half a frame, kStepsPerHop to a hop, from half a window before the centre of
// the last frame on the old pitch to half a window after the first on the new,
// are each asked how much more plainly they show the new pitch's harmonics
// than the old one's (AnalysisEngine::harmonicPreference). At a sudden step the answer
// turns from old to new where the windows are centred on the step; when the
// new note grows out of the old one (bowed strings, voices, a slow attack
// under the old note's release) it turns later, where the new note has become
// the louder. A note starts where the change begins, so the start goes to the
// beginning of the turn, a tenth of the way up, less the lead that beginning
// has at a sudden step; never later than the turn itself. It is kept in the
// row as its onset (FrameRecord::onsetOffset), where the MIDI file starts the note.
//
// A start with a clear attack of its own (the rise of a string or key struck
// again, NoteSegmentation::kAttackRise) keeps the onset of its envelope.
class LegatoStarts {
 public:
  static constexpr int kStepsPerHop = 4;

  // Rows first..end-1 of `table`, whose attack flags are set, analysed with
  // `analyser` (set up like `table`'s engine; it may be that engine); returns how
  // many starts were placed. Rows whose audio cannot be read stay as they were.
  static int place(AnalysisEngine& analyser, AnalysisEngine& table, SampleSource& source,
                   int first, int end);
};

}  // namespace melovantis
