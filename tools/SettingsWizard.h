#pragma once

#include <filesystem>

namespace melovantis {

class AnalysisEngine;
class ConversionDriver;
class ConversionObserver;
class SettingsApplyHook;
struct ConversionSession;
struct SettingsRecord;

// The settings wizard finds analysis settings for an audio file by itself: it
// analyses the whole file once with the broad settings and large frames,
// cleans the result with Auto Correct, and derives from it the note range, the
// harmonic threshold, the time resolution and the brightness gain. The frame
// table of that run is thrown away; the file is then converted with the new
// settings.

// Which settings the wizard may derive: one box each in its dialog.
struct WizardChoices {
  bool noteRange = true;
  bool harmonicThreshold = true;
  bool timeResolution = true;
  bool brightnessGain = true;
};

// Note range and time resolution from the pitched rows of the table: the
// range is the lowest and highest note found, widened by 8 semitones each
// way; the time resolution is nine periods of the lowest note, kept inside
// 20..90 ms. A table without pitch gives 60 ms (the time resolution choice is
// then switched off) and the range 28..91.
void deriveRangeAndResolution(const AnalysisEngine& engine, SettingsRecord& settings,
                              WizardChoices& choices);

// A tenth of the mean cepstral peak of the pitched frames; 0 without any.
int deriveHarmonicThreshold(double cepstralPeakSum, int pitchedFrameCount);

// The gain that brings the mean unscaled brightness up to 127; 0 without any
// bright frame (or a mean of 0), which the limits turn into 1.
int deriveBrightnessGain(double brightnessSum, int brightFrameCount);

// The wizard's limits, applied whatever the choices: a brightness gain of 0
// becomes 1, 50 or more becomes 50, below 0 becomes 0; the harmonic threshold
// is kept inside 0..150.
void limitWizardSettings(SettingsRecord& settings);

// The wizard's run once its dialog is confirmed. Reads the broad settings file
// into `settings` (a file that cannot be read leaves the record as it is),
// examines the whole file in session.wavePath with large frames and without
// drawing or MIDI auto-save, derives the chosen settings, applies them to the
// engine and empties the table (frameCount 0). Ends with the session
// processed, its drawing and auto-save flags as they were, and the window
// redrawn and marked unsaved. Does nothing (false) when no file is chosen or
// the session is not processed.
bool runSettingsWizard(AnalysisEngine& engine, ConversionDriver& driver, ConversionSession& session,
                       SettingsRecord& settings, const std::filesystem::path& broadSettingsPath,
                       WizardChoices choices, ConversionObserver& window,
                       SettingsApplyHook* hook = nullptr);

}  // namespace melovantis
