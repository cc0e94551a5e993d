#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "engine/NaturalLog.h"

namespace melovantis {
namespace {

// Distance in units in the last place between two finite doubles of one sign.
std::int64_t ulpsApart(double a, double b) {
  if (a == b) {
    return 0;
  }
  const auto ia = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(a)));
  const auto ib = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(b)));
  return std::signbit(a) != std::signbit(b) ? INT64_MAX : std::llabs(ia - ib);
}

TEST(NaturalLog, AgreesWithTheLibraryLogToOneUnitInTheLastPlace) {
  // A geometric sweep over the whole normal range, denser over the powers a
  // log spectrum holds (the floor 6e-6 up to a full-scale DC bin).
  std::int64_t worst = 0;
  for (double x = 2.3e-308; x < 1e308; x *= 1.0009765625) {
    worst = std::max(worst, ulpsApart(naturalLog(x), std::log(x)));
  }
  std::uint32_t seed = 7;
  for (int i = 0; i < 200000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const double x = 6e-6 * std::exp2(37.0 * (seed >> 8) / 16777216.0);
    worst = std::max(worst, ulpsApart(naturalLog(x), std::log(x)));
  }
  EXPECT_LE(worst, 1);
}

TEST(NaturalLog, IsExactWhereTheLogarithmIsAndContinuousAcrossTheReduction) {
  EXPECT_EQ(naturalLog(1.0), 0.0);
  EXPECT_EQ(naturalLog(2.0), std::log(2.0));
  EXPECT_EQ(naturalLog(0.5), -std::log(2.0));
  EXPECT_EQ(naturalLog(1024.0), std::log(1024.0));
  // Either side of the reduction point sqrt(1/2) and its neighbours.
  const double edge = std::sqrt(0.5);
  for (double x : {std::nextafter(edge, 0.0), edge, std::nextafter(edge, 1.0), 2 * edge,
                   std::nextafter(2 * edge, 0.0), std::nextafter(2 * edge, 4.0)}) {
    EXPECT_LE(ulpsApart(naturalLog(x), std::log(x)), 1) << x;
  }
  // Monotone near 1, where the result changes sign.
  EXPECT_LT(naturalLog(std::nextafter(1.0, 0.0)), 0.0);
  EXPECT_GT(naturalLog(std::nextafter(1.0, 2.0)), 0.0);
}

}  // namespace
}  // namespace melovantis
