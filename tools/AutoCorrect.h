#pragma once

namespace melovantis {

class AnalysisEngine;

// Auto Correct: repairs isolated wrong pitches and wandering stretches of the
// whole frame table at once.
//
// Each frame looks at a window of 2W + 1 positions around it. Where the
// pitches in the window agree (squared spread up to 5 semitones²) the frame
// keeps its pitch; where they scatter widely (above 48) it is silenced; in
// between it takes a robust average: every pitch weighted by the inverse of
// its squared distance from the window mean (so an octave error counts for
// little) and by a weight that falls linearly from the centre to the edges.
// A window with W or more missing positions in that middle range silences
// the frame. Every window reads the uncorrected pitches.
//
// Missing positions are those outside the table or without a pitch. Position
// frameCount, one past the last row, is always missing: no conversion writes
// that row, so whatever it holds is not part of the recording.

// The dialog's amount of alteration, 1..5, and the settings wizard's fixed window.
inline constexpr int kAutoCorrectMinHalfWidth = 1;
inline constexpr int kAutoCorrectMaxHalfWidth = 5;
inline constexpr int kAutoCorrectDefaultHalfWidth = 3;
inline constexpr int kWizardAutoCorrectHalfWidth = 4;

// The correction itself: rewrites `pitch` (using `workPitch` as scratch) of
// rows 0..frameCount-1. A half-width below 1 changes nothing.
void autoCorrect(AnalysisEngine& engine, int halfWidth);

// The Auto Correct command after its dialog's OK: the correction, then, with
// the attack detector on, the attack pass at the engine's sensitivity (the
// window stores its slider's value there first).
void applyAutoCorrect(AnalysisEngine& engine, int halfWidth);

}  // namespace melovantis
