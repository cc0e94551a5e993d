// Note-start detection: an edge detector over a score that combines the rise in
// energy (volume and brightness) with the pitch movement since the previous
// frame. A pitched frame starts a note when the previous frame had no pitch, or
// when the score crosses the threshold upward: above it now, at or below it one
// frame earlier. The threshold falls as the sensitivity rises.
#include <cmath>

#include "engine/AnalysisEngine.h"
#include "engine/NoteSegmentation.h"
#include "engine/TruncateToInt.h"

namespace melovantis {

void AnalysisEngine::postProcessFrame(int i) {
  FrameRecord& row = frames[static_cast<std::size_t>(i)];
  // 64 bits: a settings file may hold any sensitivity at all.
  const long long threshold = 101LL - attackSensitivity;
  // One volume step adds 2; brightness weighs a twentieth of that.
  energy_ = static_cast<int>(2.0 * row.volume + 0.1 * row.brightness + 0.2);

  if (row.pitch < 0.0) {
    row.attack = 0;  // the score keeps its last value
  } else {
    score_ = truncateToInt(0.2 * std::fabs(row.pitch - prevPitch) + (energy_ - prevEnergy));
    const bool crossedUp = score_ > threshold && prevScore <= threshold;
    row.attack = (crossedUp || prevPitch < 0) ? 1 : 0;
  }

  prevEnergy = energy_;
  prevScore = score_;
  prevPitch = truncateToInt(row.pitch);
}

void AnalysisEngine::runAttackPass() {
  resetAttackState();
  reserveRows(1);
  frames[0].attack = 1;
  for (int i = 1; i < frameCount; ++i) {
    postProcessFrame(i);
  }
  if (onsetPlacement == OnsetPlacement::kAttack) {
    NoteSegmentation::apply(frames, frameCount, hopSize);
  }
}

}  // namespace melovantis
