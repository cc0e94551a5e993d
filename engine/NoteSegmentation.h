#pragma once

#include <vector>

#include "engine/FrameRecord.h"

namespace melovantis {

// Where notes start, from the pitch line and the attacks, in a table whose
// notes are placed at their attacks. It corrects the attack detector's flags:
//
// - A note starts where its run of pitched frames starts.
// - A note starts where the pitch settles on another semitone: it leaves the
//   note's key by more than half a semitone and kHysteresis more, and stays on
//   its new semitone for two frames that lie within kSettled of each other
//   and do not move on the way the pitch came by kGliding or more (or, the last
//   frame before silence, sits within kCentred of it). So a legato step starts a new note even inside the
//   bend range; vibrato and a drifting intonation do not; a glide bends until
//   it arrives.
// - In its first frame a note may still move to the semitone it settles on
//   (a struck string reads flat for a moment): the note keeps its start and
//   takes the new key.
// - An attack the detector finds on the note's own key starts a new note only
//   where the loudness envelope rose to kAttackRise tenths of its level before
//   (a string or key struck again); a smaller rise is the note's own swell or
//   tremolo. Rows whose rise was never measured keep the detector's word.
//   Nor is it a new note where its onset lies within half a hop of the note's
//   own: two frames that both saw the one attack.
//
// Every other row's flag is cleared.
class NoteSegmentation {
 public:
  static constexpr double kHysteresis = 0.15;  // semitones beyond the half
  static constexpr double kCentred = 0.2;      // semitones
  static constexpr int kAttackRise = 60;       // tenths: a rise to six times the level before
  static constexpr double kSettled = 0.5;      // semitones between the two frames that settle
  static constexpr double kGliding = 0.25;     // semitones a frame that a glide still moves
  static constexpr int kLeadIn = 1;  // frames after an attack that may still settle

  // Rows 0..count-1, `hop` samples apart; row 0's flag is left as it is.
  static void apply(std::vector<FrameRecord>& frames, int count, int hop);

  // After `apply`, in a conversion: a note whose first frame reads another
  // semitone than the one its second frame settles on (the first moment of a
  // struck string reads flat) takes the second frame's pitch there, so that
  // the note's key is its stable part's. Rows first..end-1; returns how many changed.
  static int settleFirstFrames(std::vector<FrameRecord>& frames, int first, int end);

  // After the onsets are placed, in a conversion: the frame just before a note
  // start whose window already hears the new note (it reads within a semitone of
  // it, more than one from the frame before it) but whose time lies before the
  // new note's onset keeps the pitch of the frame before. Left alone, past the
  // bend range it would strike the new note early on its own reading.
  // Rows first..end-1, `hop` samples apart; returns how many changed.
  static int holdBeforeOnsets(std::vector<FrameRecord>& frames, int first, int end, int hop);
};

}  // namespace melovantis
