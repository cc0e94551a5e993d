#include "engine/AttackOnset.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace melovantis {

namespace {

constexpr double kEnvelopeFloor = 32768.0 * 1e-5;  // 1e-5 of full scale: silence has a level
constexpr double kRiseRatio = 1.5;     // a peak this far above the valley is an attack
// Walking back from the peak, a climb to twice the lowest level so far, and half
// way back up to the peak, is the body of a note before this one; smaller
// swings are the beating and tremolo of the note itself.
constexpr double kClimbRatio = 2.0;
constexpr double kClimbBack = 0.5;
constexpr double kLowFraction = 0.1;   // the rise is timed at 10 % and 50 % of its height
constexpr double kHighFraction = 0.5;

// The grid position, between points k - 1 and k, where the envelope reaches `level`.
double crossingAt(const double* env, long long firstPoint, int k, double level) {
  const double before = env[k - 1];
  const double after = env[k];
  const double fraction = after > before ? (level - before) / (after - before) : 1.0;
  return static_cast<double>(firstPoint) +
         (k - 1 + std::clamp(fraction, 0.0, 1.0)) * AttackOnset::kGridSamples;
}

// The first point after v (up to p) where the envelope reaches `level`.
int firstReaching(const double* env, int v, int p, double level) {
  for (int k = v + 1; k <= p; ++k) {
    if (env[k] >= level) {
      return k;
    }
  }
  return p;
}

}  // namespace

int AttackOnset::windowFor(double pitch) {
  if (!(pitch >= 0.0 && pitch <= 127.0)) {
    return kMinWindowSamples;
  }
  const double period = 44100.0 / (440.0 * std::exp2((pitch - 69.0) / 12.0));
  return std::clamp(static_cast<int>(std::lround(period)), kMinWindowSamples, kMaxWindowSamples);
}

long long AttackOnset::onsetSample(const Audio& audio, long long windowStart, int frameSize,
                                   long long stampSample, int lookBackSamples) {
  return find(audio, windowStart, frameSize, stampSample, lookBackSamples).sample;
}

std::uint8_t AttackOnset::riseCode(double rise) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(rise * 10.0), 10L, 255L));
}

AttackOnset::Found AttackOnset::find(const Audio& audio, long long windowStart, int frameSize,
                                     long long stampSample, int lookBackSamples) {
  const Found none{stampSample, 1.0};
  if (audio.samples == nullptr || frameSize <= 0) {
    return none;
  }
  // Each point looks back over whole grid cells covering at least one period.
  const int span = std::clamp(lookBackSamples, kMinWindowSamples, kMaxWindowSamples);
  const int cellsPerPoint = (span + kGridSamples - 1) / kGridSamples;
  const long long lookBack = static_cast<long long>(cellsPerPoint) * kGridSamples;

  const long long hi = std::min(windowStart + frameSize, audio.end);
  long long lo = std::max(windowStart - frameSize, audio.first) + lookBack;
  lo = std::max(lo, hi - static_cast<long long>(kMaxGridPoints) * kGridSamples);
  const long long peakFrom = windowStart + frameSize / 2;
  if (hi - lo < 2 * kGridSamples || peakFrom >= hi) {
    return none;
  }
  const int points = static_cast<int>((hi - lo + kGridSamples - 1) / kGridSamples);

  // The largest magnitude in each cell, then over the cells before each point.
  const long long cellsFrom = lo - lookBack;
  const int cells = points + cellsPerPoint - 1;
  int cellPeak[kMaxGridPoints + kMaxWindowSamples / kGridSamples + 1];
  for (int c = 0; c < cells; ++c) {
    const long long from = cellsFrom + static_cast<long long>(c) * kGridSamples;
    const long long to = std::min(from + kGridSamples, audio.end);
    int peak = 0;
    for (long long i = from; i < to; ++i) {
      peak = std::max(peak, std::abs(static_cast<int>(audio.samples[i - audio.first])));
    }
    cellPeak[c] = peak;
  }
  double env[kMaxGridPoints];
  for (int k = 0; k < points; ++k) {
    env[k] = *std::max_element(cellPeak + k, cellPeak + k + cellsPerPoint);
  }

  // The peak in the window's second half, the first of equal heights.
  int p = -1;
  for (int k = 0; k < points; ++k) {
    if (lo + static_cast<long long>(k) * kGridSamples >= peakFrom && (p < 0 || env[k] > env[p])) {
      p = k;
    }
  }
  if (p < 0) {
    return none;
  }
  const double peak = env[p];

  // The valley before it: the lowest point walking back, until the envelope
  // climbs back into the body of a note before this one.
  int v = p;
  for (int k = p - 1; k >= 0; --k) {
    if (env[k] < env[v]) {
      v = k;
    } else if (env[k] >= kClimbRatio * env[v] && env[k] >= env[v] + kClimbBack * (peak - env[v])) {
      break;
    }
  }
  const double valley = std::max(env[v], kEnvelopeFloor);
  const double rise = std::max(peak / valley, 1.0);
  if (peak < kRiseRatio * valley) {
    return {stampSample, rise};
  }

  const double lowLevel = valley + kLowFraction * (peak - valley);
  const double highLevel = valley + kHighFraction * (peak - valley);
  const double low = crossingAt(env, lo, firstReaching(env, v, p, lowLevel), lowLevel);
  const double high = crossingAt(env, lo, firstReaching(env, v, p, highLevel), highLevel);
  // Back along the rise from 10 % to where it started: a quarter of the 10..50 % time.
  const double start = low - (high - low) * (kLowFraction / (kHighFraction - kLowFraction));
  const double valleyAt = static_cast<double>(lo + static_cast<long long>(v) * kGridSamples);
  return {std::llround(std::max(start, valleyAt)), rise};
}

std::int32_t AttackOnset::offsetFor(const Audio& audio, long long windowStart, int frameSize,
                                    long long stampSample, int lookBackSamples) {
  const long long offset =
      onsetSample(audio, windowStart, frameSize, stampSample, lookBackSamples) - stampSample;
  return static_cast<std::int32_t>(std::clamp<long long>(
      offset, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace melovantis
