#include "tools/AutoCorrect.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/AnalysisEngine.h"

namespace melovantis {

namespace {

constexpr double kSilenceSpread = 48.0;   // squared semitones: about 6.9 semitones deviation
constexpr double kSteadySpread = 5.0;     // squared semitones: about 2.2 semitones deviation
constexpr double kDeviationFloor = 1e-9;  // keeps a pitch on the mean from dividing by zero
constexpr double kEdgeWeight = 1e-5;      // distance weight left at the window's edges

// The new pitch of frame k with the window half-width w over rows 0..n-1.
double correctedPitch(const std::vector<FrameRecord>& frames, int n, int k, int w) {
  // Only rows inside the table can count; the rest of the window is missing.
  const int first = static_cast<int>(std::max<std::int64_t>(std::int64_t{k} - w, 0));
  const int last = static_cast<int>(std::min<std::int64_t>(std::int64_t{k} + w, n - 1));
  auto pitchAt = [&](int j) { return frames[static_cast<std::size_t>(j)].pitch; };

  int counting = 0;
  double sum = 0.0;
  for (int j = first; j <= last; ++j) {
    if (pitchAt(j) >= 0.0) {
      sum += pitchAt(j);
      ++counting;
    }
  }
  if (counting == 0) {
    return kNoPitch;  // nothing to average, no spread: silence
  }
  const double mean = sum / counting;
  const std::int64_t missing = 2 * std::int64_t{w} + 1 - counting;

  double squares = 0.0;
  double normaliser = 0.0;
  double weighted = 0.0;
  for (int j = first; j <= last; ++j) {
    const double p = pitchAt(j);
    if (p < 0.0) {
      continue;
    }
    const double deviation = (p - mean) * (p - mean);
    const double deviationWeight = 1.0 / (deviation + kDeviationFloor);
    const double distanceWeight = w - std::abs(j - k) + kEdgeWeight;
    squares += deviation;
    normaliser += deviationWeight * distanceWeight;
    weighted += p * deviationWeight * distanceWeight;
  }
  const double spread = squares / counting;

  if (spread > kSilenceSpread) {
    return kNoPitch;
  }
  if (spread <= kSteadySpread) {
    return pitchAt(k);
  }
  if (missing >= w || normaliser == 0.0) {
    return kNoPitch;  // too little of the note around this frame to fill it from
  }
  return weighted / normaliser;
}

}  // namespace

void autoCorrect(AnalysisEngine& engine, int halfWidth) {
  const int n = engine.frameCount;
  if (n <= 0 || halfWidth < 1) {
    return;
  }
  engine.reserveRows(n);
  std::vector<FrameRecord>& frames = engine.frames;
  for (int k = 0; k < n; ++k) {
    frames[static_cast<std::size_t>(k)].workPitch = correctedPitch(frames, n, k, halfWidth);
  }
  for (int k = 0; k < n; ++k) {
    FrameRecord& row = frames[static_cast<std::size_t>(k)];
    row.pitch = row.workPitch;
  }
}

void applyAutoCorrect(AnalysisEngine& engine, int halfWidth) {
  autoCorrect(engine, halfWidth);
  if (engine.attackDetectorOn) {
    engine.runAttackPass();
  }
}

}  // namespace melovantis
