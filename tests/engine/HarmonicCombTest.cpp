#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/HarmonicComb.h"

namespace melovantis {
namespace {

constexpr int kBins = 1000;
constexpr double kBinHz = 44100.0 / 3920;  // the factory frame

// A spectrum of partials (frequency, power) on a floor, with what the comb reads.
struct Spectrum {
  std::vector<double> power = std::vector<double>(kBins, 1e-9);
  std::vector<double> level = std::vector<double>(kBins);
  std::vector<int> loudest = std::vector<int>(2 * kBins);

  void partial(double hz, double power0) {
    const int bin = static_cast<int>(std::lround(hz / kBinHz));
    power[static_cast<std::size_t>(bin)] += power0;
    // A window's main lobe: half the power a bin either side.
    power[static_cast<std::size_t>(bin - 1)] += 0.25 * power0;
    power[static_cast<std::size_t>(bin + 1)] += 0.25 * power0;
  }
  HarmonicComb comb() {
    for (int k = 0; k < kBins; ++k) {
      level[static_cast<std::size_t>(k)] = std::log(power[static_cast<std::size_t>(k)]);
    }
    HarmonicComb::findLoudest(power.data(), kBins, loudest.data());
    return HarmonicComb(level.data(), power.data(), loudest.data(), kBins, kBinHz);
  }
};

TEST(HarmonicComb, TheFundamentalShowsMoreContrastThanItsOctavesAndUnrelatedFrequencies) {
  for (const double f0 : {55.0, 220.0, 880.0}) {
    Spectrum s;
    for (int h = 1; h * f0 < 8000.0; ++h) {
      s.partial(h * f0, 1e-3 / (h * h));
    }
    const HarmonicComb comb = s.comb();
    const HarmonicComb::Reading fundamental = comb.at(f0);
    ASSERT_TRUE(fundamental.valid) << f0;
    // The lobes of partials five bins apart reach the low comb's gaps: less contrast there.
    EXPECT_GT(fundamental.contrast, f0 < 100.0 ? 5.0 : 20.0) << f0;
    for (const double other : {2.0 * f0, 0.5 * f0, 1.37 * f0, 6.3 * f0}) {
      const HarmonicComb::Reading reading = comb.at(other);
      if (reading.valid) {
        EXPECT_LT(reading.contrast, 0.6 * fundamental.contrast) << f0 << " against " << other;
      }
    }
    EXPECT_FALSE(comb.dominated(f0, fundamental)) << f0;
  }
}

TEST(HarmonicComb, ALowerSeriesWhosePowerTwiceItsFrequencyHoldsIsDominated) {
  // A piccolo's D6 with its octave below 20 dB down, odd partials of 585 Hz and all.
  Spectrum s;
  for (int h = 1; h * 585.0 < 8000.0; ++h) {
    s.partial(h * 585.0, h % 2 == 0 ? 1e-2 / h : 1e-4 / h);
  }
  const HarmonicComb comb = s.comb();
  const HarmonicComb::Reading low = comb.at(585.0);
  ASSERT_TRUE(low.valid);
  EXPECT_TRUE(comb.dominated(585.0, low));
  EXPECT_FALSE(comb.dominated(1170.0, comb.at(1170.0)));
  // Odd partials only 3 dB down: the low series is the tone itself.
  Spectrum clarinet;
  for (int h = 1; h * 300.0 < 8000.0; ++h) {
    clarinet.partial(h * 300.0, h % 2 == 0 ? 1e-3 : 0.5e-3);
  }
  const HarmonicComb clarinetComb = clarinet.comb();
  EXPECT_FALSE(clarinetComb.dominated(300.0, clarinetComb.at(300.0)));
}

TEST(HarmonicComb, TeethReadTheLoudestBinNearTheirFrequencyAndTooFewAreNoReading) {
  Spectrum s;
  // Partials stretched upward a little, as a piano's are: still on the teeth.
  for (int h = 1; h <= 12; ++h) {
    s.partial(h * 220.0 * (1.0 + 0.0004 * h), 1e-3);
  }
  const HarmonicComb comb = s.comb();
  EXPECT_GT(comb.at(220.0).contrast, 20.0);
  // One partial under the highest one read is no series.
  EXPECT_FALSE(comb.at(4000.0).valid);
  EXPECT_FALSE(comb.at(0.0).valid);
  std::vector<int> loudest(2 * kBins);
  HarmonicComb::findLoudest(s.power.data(), kBins, loudest.data());
  const int bin = static_cast<int>(std::lround(440.0 * 1.0008 / kBinHz));
  EXPECT_EQ(loudest[static_cast<std::size_t>(bin + 1)], bin);
  EXPECT_EQ(loudest[static_cast<std::size_t>(kBins + bin - 2)], bin);
}

}  // namespace
}  // namespace melovantis
