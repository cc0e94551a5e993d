#pragma once

#include "tools/ToolMessage.h"

namespace melovantis {

class AnalysisEngine;

// Pitch and tempo modification: transposes every pitched frame by semitones
// and cents, and sets the speed of the MIDI file written from the table. The
// speed never touches the table: it becomes the engine's tempo factor, which
// the MIDI file writer multiplies into the length of a frame.

// The dialog's sliders.
inline constexpr int kMinTransposeSemitones = -12;
inline constexpr int kMaxTransposeSemitones = 12;
inline constexpr int kMinTransposeCents = -100;
inline constexpr int kMaxTransposeCents = 100;
inline constexpr int kMinSpeedPercent = 50;
inline constexpr int kMaxSpeedPercent = 200;
inline constexpr int kDefaultSpeedPercent = 100;

// semitones + cents / 100.
double transpositionFor(int semitones, int cents);

// 100 / speed: 200 % gives 0.5 (frames half as long), 50 % gives 2.0.
// A speed of 0 or below has no meaning and gives 1.0.
double tempoFactorForSpeed(int speedPercent);

// Adds `transposition` to every pitched frame of rows 0..frameCount-1. A
// result outside 0..127 silences the frame instead of being clamped; the
// result is true when that happened to any frame.
bool transposePitch(AnalysisEngine& engine, double transposition);

// The dialog's OK: the tempo factor is replaced (not multiplied), then the
// table is transposed. Returns transposePitch's out-of-range flag.
bool modifyPitchAndTempo(AnalysisEngine& engine, int semitones, int cents, int speedPercent);

// The warning when notes left the MIDI range, else "Pitch and Tempo modifications done!".
ToolMessage pitchTempoResultMessage(bool outOfRange);

}  // namespace melovantis
