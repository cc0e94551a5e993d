#include "documents/EngineSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "documents/FrameLengthTable.h"
#include "engine/AnalysisEngine.h"

namespace melovantis {

static_assert(kMaxCepstralLag <= AnalysisEngine::kWorkCapacity);

namespace {

// value + offset without overflow for any value a file may hold.
int offsetValue(std::int32_t value, int offset) {
  const std::int64_t sum = std::int64_t{value} + offset;
  return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// The frame length the record asks for (the examination's while the wizard runs).
int frameLengthFor(const SettingsRecord& settings, const AnalysisEngine& engine) {
  return engine.largeFrameMode ? kLargeFrameLength : frameLengthForMs(settings.timeResolutionMs);
}

}  // namespace

void applySettingsToEngine(const SettingsRecord& settings, AnalysisEngine& engine,
                           SettingsApplyHook* hook) {
  // With the boost the cepstrum is as long as the frame (its upper half zero),
  // which halves the lag step.
  engine.padCepstrum = settings.pitchResolutionBoost != 0;
  engine.cepstrumDivisor = settings.pitchResolutionBoost == 1 ? 1.0 : 2.0;
  engine.timeResolutionMode = settings.timeResolutionBoost;
  // The cepstrum size and the hop follow from the values above.
  engine.setFrameSize(frameLengthFor(settings, engine));

  applySettingsKeepingGeometry(settings, engine);

  if (hook != nullptr) {
    hook->attackControlsChanged(engine.attackDetectorOn, engine.attackSensitivity);
    hook->settingsDisplayChanged();
  }
}

bool sameGeometry(const SettingsRecord& a, const SettingsRecord& b, const AnalysisEngine& engine) {
  return frameLengthFor(a, engine) == frameLengthFor(b, engine) &&
         (a.pitchResolutionBoost != 0) == (b.pitchResolutionBoost != 0) &&
         (a.pitchResolutionBoost == 1) == (b.pitchResolutionBoost == 1) &&
         a.timeResolutionBoost == b.timeResolutionBoost;
}

void applySettingsKeepingGeometry(const SettingsRecord& settings, AnalysisEngine& engine) {
  engine.harmonicThreshold = settings.harmonicThreshold;

  // lagForNote reads the engine's divisor. Lags inside 0..kMaxCepstralLag,
  // then the longest cut to what the cepstrum holds.
  engine.maxLag = AnalysisEngine::lagIndex(engine.lagForNote(settings.lowestNote), kMaxCepstralLag);
  engine.minLag = AnalysisEngine::lagIndex(engine.lagForNote(settings.highestNote), kMaxCepstralLag);
  engine.limitLagsToCepstrum();

  MidiOutputSettings& midi = engine.midi;
  midi.channel = offsetValue(settings.midiChannel, -1);
  midi.program = settings.gmVoice;
  midi.sendTempo = settings.sendTempo != 0;
  midi.sendVolume = settings.sendVolume != 0;
  midi.sendBrightness = settings.sendBrightness != 0;
  midi.pitchBendRange =
      std::clamp<std::int32_t>(settings.pitchBendRange, kMinPitchBendRange, kMaxPitchBendRange);
  midi.brightnessController = settings.brightnessController;
  midi.bpm = settings.bpmChoice != 0 ? offsetValue(settings.bpmChoice, 19) : 0;
  midi.volumeController = settings.volumeController;

  engine.brightnessGain = settings.brightnessGain;
  engine.attackDetectorOn = settings.attackDetection != 0;
  engine.attackSensitivity = settings.attackSensitivity;
}

}  // namespace melovantis
