#include "engine/LiveOnsets.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/AnalysisEngine.h"
#include "engine/AttackOnset.h"

namespace melovantis {

LiveOnsets::LiveOnsets(int capacity)
    : audio_(2 * static_cast<std::size_t>(std::max(capacity, 1))) {}

void LiveOnsets::reset() { havePrevious_ = false; }

void LiveOnsets::blockCaptured(const AnalysisEngine& engine) {
  const int n = engine.frameSize;
  if (n <= 0) {
    return;
  }
  if (n != frameSize_) {
    // A new frame length starts a new run: the block before does not fit it.
    frameSize_ = n;
    havePrevious_ = false;
    if (audio_.size() < 2 * static_cast<std::size_t>(n)) {
      audio_.resize(2 * static_cast<std::size_t>(n));
    }
  }
  if (havePrevious_) {
    std::copy(audio_.begin() + n, audio_.begin() + 2 * n, audio_.begin());
  }
  std::copy(engine.samples.get(), engine.samples.get() + n, audio_.begin() + n);
}

void LiveOnsets::rowAnalysed(AnalysisEngine& engine, double previousPitch) {
  FrameRecord& row = engine.frames[0];
  row.onsetOffset = 0;
  row.onsetRise = 0;
  const int n = frameSize_;
  if (n <= 0 || engine.onsetPlacement != OnsetPlacement::kAttack) {
    return;
  }
  // Live, the blocks follow each other: the block before is the frame before
  // the window, the hop is the frame, and the row's time is the block's end.
  const long long first = havePrevious_ ? 0 : n;
  const AttackOnset::Audio audio{audio_.data() + first, first, 2LL * n};
  const AttackOnset::Found found =
      AttackOnset::find(audio, n, n, 2LL * n, AttackOnset::windowFor(row.pitch));
  row.onsetOffset = static_cast<std::int32_t>(std::clamp<long long>(
      found.sample - 2LL * n, std::numeric_limits<std::int32_t>::min(),
      std::numeric_limits<std::int32_t>::max()));
  row.onsetRise = AttackOnset::riseCode(found.rise);
  havePrevious_ = true;

  const bool sameSemitone = row.pitch >= 0.0 && previousPitch >= 0.0 &&
                            std::fabs(row.pitch - previousPitch) < AnalysisEngine::kSameSemitone;
  if (row.attack != 0 && sameSemitone && row.onsetRise < AnalysisEngine::kAttackRise) {
    row.attack = 0;
  }
}

}  // namespace melovantis
