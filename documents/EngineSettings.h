#pragma once

#include "documents/SettingsRecord.h"

namespace melovantis {

class AnalysisEngine;

// What the window shows of the settings; the GUI implements it, the core and
// the tests may pass none.
class SettingsApplyHook {
 public:
  virtual ~SettingsApplyHook() = default;

  // The attack detector's check box and sensitivity slider (the slider is
  // enabled only while the detector is on).
  virtual void attackControlsChanged(bool /*detectorOn*/, int /*sensitivity*/) {}

  // Everything else the window shows of the settings.
  virtual void settingsDisplayChanged() {}
};

// Safe limits for values that would otherwise break the arithmetic.
inline constexpr int kMinPitchBendRange = 1;   // the bend units divide by the range
inline constexpr int kMaxPitchBendRange = 12;
inline constexpr int kMaxCepstralLag = 100000;  // the size of the engine's work buffers

// Copies the record into the engine's working parameters: frame geometry,
// detection settings and MIDI output settings, then tells the hook. Must not
// run while a live capture is using the engine.
void applySettingsToEngine(const SettingsRecord& settings, AnalysisEngine& engine,
                           SettingsApplyHook* hook = nullptr);

// Whether two records give the same frame geometry, so that one may follow
// the other without new FFT plans.
bool sameGeometry(const SettingsRecord& a, const SettingsRecord& b, const AnalysisEngine& engine);

// The part of applySettingsToEngine that needs no new FFT plans: the note
// range, the detection settings and the MIDI output settings, for an engine
// whose geometry already follows `settings`. Allocates nothing, so a real-time
// thread may call it between two blocks.
void applySettingsKeepingGeometry(const SettingsRecord& settings, AnalysisEngine& engine);

}  // namespace melovantis
