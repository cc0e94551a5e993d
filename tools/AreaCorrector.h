#pragma once

namespace melovantis {

class AnalysisEngine;
class ConversionDriver;
class ConversionObserver;
struct ConversionSession;

// The area corrector: the frames under a brush are analysed again from the
// audio with the pitch search narrowed to eleven semitones either side of the
// note the user points at, so a detection that jumped to a wrong octave or a
// stray partial is replaced by the strongest pitch near that note. The
// pointer geometry (which note and frame the brush is on) is the view's.

inline constexpr int kAreaRadius = 15;                // frames before the centre; one pixel each
inline constexpr double kAreaSearchSemitones = 11.0;  // either side of the brush's note

// Cepstral lag bounds of a pitch search, minLag <= q < maxLag.
struct LagWindow {
  int minLag = 0;
  int maxLag = 0;
};

// The lags of note - 11 (maxLag) and note + 11 (minLag), truncated, with maxLag
// capped at half the cepstrum less one and both kept inside 0..that cap, so
// the search never reads outside the cepstrum whatever the note.
LagWindow areaLagWindow(const AnalysisEngine& engine, double note);

// Rows start <= i < end; empty when start >= end.
struct FrameRange {
  int start = 0;
  int end = 0;
};

// centre - radius (not below 0) up to centre + radius (not above frameCount).
FrameRange areaBrushRange(int centreFrame, int radius, int frameCount);

// One application of the brush: re-analyses the brush's rows with the
// narrowed lags through the range form of the conversion (drawing and MIDI
// auto-save off), restores the lags and the session's flags, and marks the
// document unsaved through `window`. Like every conversion run it sets
// tempoFactor back to 1.0; the undo copy of the tempo factor, taken when the
// button was pressed, is kept. Does nothing (false) unless the session is
// processed, the table has rows and the note is a number.
bool applyAreaBrush(AnalysisEngine& engine, ConversionDriver& driver, ConversionSession& session,
                    ConversionObserver& window, double note, int centreFrame,
                    int radius = kAreaRadius);

}  // namespace melovantis
