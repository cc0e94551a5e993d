#include "engine/HarmonicComb.h"

#include <algorithm>
#include <cmath>

namespace melovantis {

namespace {

constexpr double kDecibelsPerNeper = 4.342944819032518;  // 10 / ln 10, for a power ratio
constexpr int kWidestTooth = 2;                            // bins either side

}  // namespace

HarmonicComb::HarmonicComb(const double* level, const double* power, int bins, double binHz)
    : level_(level), power_(power), bins_(bins), binHz_(binHz) {}

double HarmonicComb::highest(const double* values, double hz, int halfWidth) const {
  const int centre = static_cast<int>(std::lround(hz / binHz_));
  const int from = std::max(centre - halfWidth, 1);
  const int to = std::min(centre + halfWidth, bins_ - 1);
  double best = values[from];
  for (int k = from + 1; k <= to; ++k) {
    best = std::max(best, values[k]);
  }
  return best;
}

HarmonicComb::Reading HarmonicComb::at(double f0) const {
  Reading reading;
  if (!(f0 > 0.0) || binHz_ <= 0.0) {
    return reading;
  }
  // A quarter of f0 either side, rounded to whole bins.
  const int halfWidth =
      std::clamp(static_cast<int>(std::lround(0.25 * f0 / binHz_ - 0.5)), 0, kWidestTooth);
  const double top = std::min(kHighestPartialHz, (bins_ - 1 - halfWidth) * binHz_);
  double difference = 0.0;
  int teeth = 0;
  for (int h = 1; h <= kMaxHarmonics; ++h) {
    const double hz = h * f0;
    if (hz > top) {
      break;
    }
    difference += highest(level_, hz, halfWidth) - highest(level_, hz - 0.5 * f0, halfWidth);
    reading.power += highest(power_, hz, halfWidth);
    ++teeth;
  }
  reading.valid = teeth >= 2;
  reading.contrast = teeth > 0 ? kDecibelsPerNeper * difference / teeth : 0.0;
  return reading;
}

bool HarmonicComb::dominated(double f0, const Reading& reading) const {
  for (int multiple = 2; multiple <= 3; ++multiple) {
    const double higher = multiple * f0;
    if (higher >= kHighestMultipleHz) {
      break;
    }
    const Reading above = at(higher);
    if (above.valid && above.contrast > 0.0 && above.power >= kDominance * reading.power) {
      return true;
    }
  }
  return false;
}

}  // namespace melovantis
