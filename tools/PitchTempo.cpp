#include "tools/PitchTempo.h"

#include <algorithm>
#include <cstddef>

#include "engine/AnalysisEngine.h"

namespace melovantis {

double transpositionFor(int semitones, int cents) { return semitones + cents * 0.01; }

double tempoFactorForSpeed(int speedPercent) {
  return speedPercent > 0 ? 100.0 / speedPercent : 1.0;
}

bool transposePitch(AnalysisEngine& engine, double transposition) {
  const int rows = engine.rowsInUse();
  bool outOfRange = false;
  for (int i = 0; i < rows; ++i) {
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    if (!(row.pitch >= 0.0)) {
      continue;  // unpitched frames stay as they are
    }
    row.pitch += transposition;
    if (!(row.pitch >= 0.0 && row.pitch <= 127.0)) {
      row.pitch = kNoPitch;
      outOfRange = true;
    }
  }
  return outOfRange;
}

bool modifyPitchAndTempo(AnalysisEngine& engine, int semitones, int cents, int speedPercent) {
  engine.tempoFactor = tempoFactorForSpeed(speedPercent);
  return transposePitch(engine, transpositionFor(semitones, cents));
}

ToolMessage pitchTempoResultMessage(bool outOfRange) {
  if (outOfRange) {
    return {
        "Warning: After transposing, some notes are out of MIDI range!\nTo restore your "
        "original melody, you can press Undo.",
        "Warning!", MessageIcon::Error};
  }
  return {"Pitch and Tempo modifications done!", "Success!", MessageIcon::Information};
}

}  // namespace melovantis
