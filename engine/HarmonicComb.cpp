#include "engine/HarmonicComb.h"

#include <algorithm>
#include <cmath>

namespace melovantis {

namespace {

constexpr double kDecibelsPerNeper = 4.342944819032518;  // 10 / ln 10, for a power ratio
constexpr int kWidestTooth = 2;                            // bins either side

}  // namespace

HarmonicComb::HarmonicComb(const double* level, const double* power, const int* loudest,
                           int bins, double binHz)
    : level_(level), power_(power), loudest_(loudest), bins_(bins), binHz_(binHz) {}

void HarmonicComb::findLoudest(const double* power, int bins, int* loudest) {
  // The louder of two bins; the lower one when they are equal.
  const auto louder = [power](int a, int b) { return power[b] > power[a] ? b : a; };
  int* withinOne = loudest;
  int* withinTwo = loudest + bins;
  for (int centre = 0; centre < bins; ++centre) {
    const int from = std::max(centre - 1, 1);
    const int to = std::min(centre + 1, bins - 1);
    int best = from;
    for (int k = from + 1; k <= to; ++k) {
      best = louder(best, k);
    }
    withinOne[centre] = best;
  }
  // Two bins either side are one bin either side of the two neighbours.
  for (int centre = 0; centre < bins; ++centre) {
    const int left = withinOne[std::max(centre - 1, 0)];
    const int right = withinOne[std::min(centre + 1, bins - 1)];
    withinTwo[centre] = left <= right ? louder(left, right) : louder(right, left);
  }
}

int HarmonicComb::loudestBin(double hz, int halfWidth) const {
  const int centre = std::clamp(static_cast<int>(hz / binHz_ + 0.5), 1, bins_ - 1);  // hz > 0
  return halfWidth == 0 ? centre : loudest_[(halfWidth - 1) * bins_ + centre];
}

HarmonicComb::Reading HarmonicComb::at(double f0) const {
  Reading reading;
  if (!(f0 > 0.0) || binHz_ <= 0.0) {
    return reading;
  }
  // A quarter of f0 either side, rounded to whole bins.
  const int halfWidth =
      std::clamp(static_cast<int>(std::floor(0.25 * f0 / binHz_)), 0, kWidestTooth);
  const double top = std::min(kHighestPartialHz, (bins_ - 1 - halfWidth) * binHz_);
  double difference = 0.0;
  int teeth = 0;
  for (int h = 1; h <= kMaxHarmonics; ++h) {
    const double hz = h * f0;
    if (hz > top) {
      break;
    }
    const int tooth = loudestBin(hz, halfWidth);
    difference += level_[tooth] - level_[loudestBin(hz - 0.5 * f0, halfWidth)];
    reading.power += power_[tooth];
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
