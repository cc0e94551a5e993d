// Note-start detection: an edge detector over a score that combines the rise in
// energy (volume and brightness) with the pitch movement since the previous
// frame. A pitched frame starts a note when the previous frame had no pitch, or
// when the score crosses the threshold upward: above it now, at or below it one
// frame earlier. The threshold falls as the sensitivity rises.
#include <cmath>

#include "engine/AnalysisEngine.h"
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
    refineAttacks();
  }
}

// Where the onsets were measured, the loudness envelope and the settled pitch
// correct the detector in two ways:
// - a start inside a note that stays on its semitone, without the envelope
//   rising to six times its level before, is the note's own swell, tremolo or
//   the beating of a sustained sound: no new note (a string or a key struck
//   again rises far more);
// - a note that moves to another semitone and stays there for the next frame
//   too starts a new note there (a legato step), not a bend of the note before.
// (A third, a clear new rise on the same semitone taken as the note struck
// again, split more sustained notes than it found repeats, and is not made.)
// Rows without a measured onset (older tables) are left as the detector set them.
void AnalysisEngine::refineAttacks() {
  const auto row = [this](int i) -> FrameRecord& { return frames[static_cast<std::size_t>(i)]; };
  double noteCentre = kNoPitch;
  for (int i = 1; i < frameCount; ++i) {
    FrameRecord& current = row(i);
    const FrameRecord& previous = row(i - 1);
    if (current.pitch < 0.0) {
      continue;
    }
    const bool measured = current.onsetRise != 0;
    const bool continues = previous.pitch >= 0.0;
    const bool sameSemitone =
        continues && std::fabs(current.pitch - previous.pitch) < kSameSemitone;
    if (measured && continues) {
      if (current.attack != 0 && sameSemitone && current.onsetRise < kAttackRise) {
        current.attack = 0;
      } else if (current.attack == 0 && i + 1 < frameCount &&
                 std::fabs(current.pitch - noteCentre) >= kLegatoStep) {
        const FrameRecord& next = row(i + 1);
        if (next.pitch >= 0.0 && std::fabs(next.pitch - current.pitch) < kSameSemitone) {
          current.attack = 1;
        }
      }
    }
    if (current.attack != 0 || !continues) {
      noteCentre = current.pitch;
    }
  }
}

}  // namespace melovantis
