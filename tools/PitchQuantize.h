#pragma once

#include "tools/ToolMessage.h"

namespace melovantis {

class AnalysisEngine;

// Two whole-table pitch tools. Both read and change only pitched frames
// (pitch >= 0) of rows 0..frameCount-1.

// The quantize dialog's slider, in percent.
inline constexpr int kQuantizeMinPercent = 0;
inline constexpr int kQuantizeMaxPercent = 100;
inline constexpr int kQuantizeDefaultPercent = 100;

// The closest whole semitone; a pitch exactly halfway goes up.
double closestSemitone(double pitch);

// Pulls every pitched frame toward its closest semitone by `amount` (0..1):
// 0 changes nothing, 1 puts every frame on a whole semitone.
void quantizePitch(AnalysisEngine& engine, double amount);

// "Quantization complete!"
ToolMessage quantizeResultMessage();

// In-Tune Wizard: shifts the whole melody by one common offset until the
// frames sit, on average, in the centre of their semitones. Several passes,
// because a frame near the middle between two semitones may change sides once
// the melody has moved; at most 21. Returns the accumulated shift that was
// subtracted from every pitch, in semitones.
double centerTune(AnalysisEngine& engine);

// The In-Tune Wizard's report of the shift returned by centerTune.
ToolMessage centerTuneResultMessage(double shift);

}  // namespace melovantis
