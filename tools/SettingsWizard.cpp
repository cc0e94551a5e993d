#include "tools/SettingsWizard.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/NoteMarks.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/TruncateToInt.h"
#include "tools/AutoCorrect.h"

namespace melovantis {

namespace {

constexpr int kRangeMargin = 8;           // semitones added below and above the notes found
constexpr double kPeriodsPerFrame = 9.0;  // a frame holds nine periods of the lowest note
constexpr int kMinTimeResolutionMs = 20;
constexpr int kMaxTimeResolutionMs = 90;
constexpr int kNoPitchTimeResolutionMs = 60;
constexpr int kNoPitchLowestNote = 36;
constexpr int kNoPitchHighestNote = 83;
constexpr double kThresholdShare = 0.1;  // the threshold is a tenth of the mean peak
constexpr double kFullBrightness = 127.0;
constexpr int kMaxBrightnessGain = 50;
constexpr int kMaxHarmonicThreshold = 150;

}  // namespace

void deriveRangeAndResolution(const AnalysisEngine& engine, SettingsRecord& settings,
                              WizardChoices& choices) {
  const int rows = std::clamp<long long>(engine.frameCount, 0, engine.frames.size());
  int lowest = 127;
  int highest = 0;
  for (int i = 0; i < rows; ++i) {
    const double pitch = engine.frames[static_cast<std::size_t>(i)].pitch;
    if (pitch >= 0.0) {
      const int note = static_cast<int>(std::min(pitch, 127.0));
      lowest = std::min(lowest, note);
      highest = std::max(highest, note);
    }
  }
  if (lowest > highest) {  // no pitched frame
    lowest = kNoPitchLowestNote;
    highest = kNoPitchHighestNote;
    settings.timeResolutionMs = kNoPitchTimeResolutionMs;
    choices.timeResolution = false;
  }
  if (choices.timeResolution) {
    const double frequency = engine.frequencyForNote(lowest);
    settings.timeResolutionMs = truncateToInt(1000.0 / frequency * kPeriodsPerFrame);
  }
  settings.timeResolutionMs = std::clamp<std::int32_t>(settings.timeResolutionMs,
                                                       kMinTimeResolutionMs, kMaxTimeResolutionMs);

  if (lowest == 127 || highest == 0) {
    return;  // only notes at the very ends of the MIDI range: no range to derive
  }
  lowest = std::max(lowest - kRangeMargin, 0);
  highest = std::min(highest + kRangeMargin, 127);
  if (choices.noteRange) {
    settings.lowestNote = lowest;
    settings.highestNote = highest;
    settings.lowestNoteMarkX = noteMarkX(lowest);
    settings.highestNoteMarkX = noteMarkX(highest);
  }
}

int deriveHarmonicThreshold(double cepstralPeakSum, int pitchedFrameCount) {
  if (pitchedFrameCount <= 0) {
    return 0;
  }
  return truncateToInt(cepstralPeakSum / pitchedFrameCount * kThresholdShare);
}

int deriveBrightnessGain(double brightnessSum, int brightFrameCount) {
  if (brightFrameCount <= 0) {
    return 0;
  }
  const double meanBrightness = brightnessSum / brightFrameCount;
  if (meanBrightness == 0.0 || !std::isfinite(meanBrightness)) {
    return 0;  // no measurable brightness: the same fixed result as no bright frame
  }
  return truncateToInt(kFullBrightness / meanBrightness);
}

void limitWizardSettings(SettingsRecord& settings) {
  // In this order: a gain of 0 becomes 1 before the other two limits.
  if (settings.brightnessGain == 0) {
    settings.brightnessGain = 1;
  }
  if (settings.brightnessGain >= kMaxBrightnessGain) {
    settings.brightnessGain = kMaxBrightnessGain;
  }
  if (settings.brightnessGain < 0) {
    settings.brightnessGain = 0;
  }
  settings.harmonicThreshold =
      std::clamp<std::int32_t>(settings.harmonicThreshold, 0, kMaxHarmonicThreshold);
}

bool runSettingsWizard(AnalysisEngine& engine, ConversionDriver& driver, ConversionSession& session,
                       SettingsRecord& settings, const std::filesystem::path& broadSettingsPath,
                       WizardChoices choices, ConversionObserver& window, SettingsApplyHook* hook) {
  if (session.wavePath.empty() || !session.processed) {
    return false;
  }
  const bool keptDrawing = session.drawingEnabled;
  const bool keptAutoSave = session.autoSaveMidi;
  session.drawingEnabled = false;

  // A broad file that cannot be read leaves the record as it is; the wizard
  // then examines with the settings in force.
  readSettingsFile(broadSettingsPath, settings);
  applySettingsToEngine(settings, engine, hook);
  engine.largeFrameMode = true;
  session.autoSaveMidi = false;
  applySettingsToEngine(settings, engine, hook);

  session.rangeMode = false;
  driver.startConversion(session);
  engine.largeFrameMode = false;

  autoCorrect(engine, kWizardAutoCorrectHalfWidth);
  deriveRangeAndResolution(engine, settings, choices);
  settings.timeResolutionBoost = kHopIsHalfFrame;
  if (choices.harmonicThreshold) {
    settings.harmonicThreshold =
        deriveHarmonicThreshold(engine.cepstralPeakSum, engine.pitchedFrameCount);
  }
  if (choices.brightnessGain) {
    settings.brightnessGain = deriveBrightnessGain(engine.brightnessSum, engine.brightFrameCount);
  }
  limitWizardSettings(settings);

  applySettingsToEngine(settings, engine, hook);
  engine.frameCount = 0;  // the examination's table is not the user's
  session.drawingEnabled = keptDrawing;
  window.redrawView();
  session.autoSaveMidi = keptAutoSave;
  session.processed = true;
  window.markUnsaved();
  return true;
}

}  // namespace melovantis
