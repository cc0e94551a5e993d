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

}  // namespace

void applySettingsToEngine(const SettingsRecord& settings, AnalysisEngine& engine,
                           SettingsApplyHook* hook) {
  const int frameLength =
      engine.largeFrameMode ? kLargeFrameLength : frameLengthForMs(settings.timeResolutionMs);

  engine.harmonicThreshold = settings.harmonicThreshold;

  // With the boost the cepstrum is as long as the frame (its upper half zero),
  // which halves the lag step.
  engine.padCepstrum = settings.pitchResolutionBoost != 0;
  engine.cepstrumDivisor = settings.pitchResolutionBoost == 1 ? 1.0 : 2.0;

  // lagForNote reads the divisor just set.
  // Lags inside 0..kMaxCepstralLag; setFrameSize then cuts maxLag to the cepstrum.
  engine.maxLag = AnalysisEngine::lagIndex(engine.lagForNote(settings.lowestNote), kMaxCepstralLag);
  engine.minLag = AnalysisEngine::lagIndex(engine.lagForNote(settings.highestNote), kMaxCepstralLag);

  engine.timeResolutionMode = settings.timeResolutionBoost;

  // Last among the geometry: the cepstrum size, the cut of maxLag and the hop
  // all follow from the values above.
  engine.setFrameSize(frameLength);

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

  if (hook != nullptr) {
    hook->attackControlsChanged(engine.attackDetectorOn, engine.attackSensitivity);
    hook->settingsDisplayChanged();
  }
}

}  // namespace melovantis
