// Both FFT backends must give the transform the analysis is written for, and
// the same frame table up to floating-point rounding. The reference table was
// made with the default FFTW 2 backend; set MELOVANTIS_WRITE_REFERENCE=1 to
// write it again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <vector>

#include "engine/AnalysisEngine.h"
#include "engine/EngineTestSupport.h"
#include "engine/RealFft.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

// The unnormalised DFT, written out in halfcomplex order.
std::vector<double> naiveHalfcomplex(const std::vector<double>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<double> out(x.size());
  for (int k = 0; k <= n / 2; ++k) {
    double re = 0.0;
    double im = 0.0;
    for (int t = 0; t < n; ++t) {
      const double angle = -2.0 * std::numbers::pi * k * t / n;
      re += x[static_cast<std::size_t>(t)] * std::cos(angle);
      im += x[static_cast<std::size_t>(t)] * std::sin(angle);
    }
    out[static_cast<std::size_t>(k)] = re;
    if (k > 0 && k <= (n - 1) / 2) {
      out[static_cast<std::size_t>(n - k)] = im;
    }
  }
  return out;
}

TEST(RealFft, GivesTheUnnormalisedTransformInHalfcomplexOrder) {
  for (int n : {8, 9, 275, 468, 880}) {
    std::vector<double> x(static_cast<std::size_t>(n));
    for (int t = 0; t < n; ++t) {
      x[static_cast<std::size_t>(t)] = std::sin(0.37 * t) + 0.25 * std::cos(1.9 * t) + 10.0;
    }
    const auto expected = naiveHalfcomplex(x);
    RealFft fft(n);
    ASSERT_TRUE(fft.valid());
    std::vector<double> in = x;
    std::vector<double> out(static_cast<std::size_t>(n));
    fft.forward(in.data(), out.data());
    for (int k = 0; k < n; ++k) {
      EXPECT_NEAR(out[static_cast<std::size_t>(k)], expected[static_cast<std::size_t>(k)], 1e-8 * n)
          << "length " << n << " index " << k;
    }
  }
}

struct Row {
  double pitch;
  int volume;
  int brightness;
};

std::vector<Row> referenceSignalTable() {
  test::RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  std::vector<Row> rows;
  const auto signal = test::concat({test::glide(40, 80, 20 * 2600), test::harmonicTone(57.3, 4 * 2600),
                                    test::whiteNoise(2 * 2600, 3000.0), test::constant(2600)});
  for (bool boost : {false, true}) {
    test::configure(engine, 2600, boost, 28, 100, 10, kHopIsHalfFrame);
    test::analyseSignal(engine, signal);
    for (int i = 0; i < engine.frameCount; ++i) {
      const FrameRecord& r = engine.frames[static_cast<std::size_t>(i)];
      rows.push_back({r.pitch, r.volume, r.brightness});
    }
  }
  return rows;
}

TEST(RealFft, FrameTableMatchesTheReferenceWithinRounding) {
  const auto rows = referenceSignalTable();
  const std::string path = std::string(MELOVANTIS_TEST_SOURCE_DIR) + "/engine/reference/frames.txt";
  if (std::getenv("MELOVANTIS_WRITE_REFERENCE") != nullptr) {
    std::ofstream out(path);
    out.precision(17);
    for (const Row& r : rows) {
      out << r.pitch << ' ' << r.volume << ' ' << r.brightness << '\n';
    }
  }
  std::ifstream in(path);
  ASSERT_TRUE(in) << path;
  std::vector<Row> reference;
  for (Row r{}; in >> r.pitch >> r.volume >> r.brightness;) {
    reference.push_back(r);
  }
  ASSERT_EQ(rows.size(), reference.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    // Rounding moves a refined lag by far less than a millionth of a semitone;
    // brightness is truncated, so a value may sit on the other side of a step.
    EXPECT_NEAR(rows[i].pitch, reference[i].pitch, 1e-6) << "row " << i;
    EXPECT_EQ(rows[i].volume, reference[i].volume) << "row " << i;
    EXPECT_NEAR(rows[i].brightness, reference[i].brightness, 1) << "row " << i;
  }
}

}  // namespace
}  // namespace melovantis
