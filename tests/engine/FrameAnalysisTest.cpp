#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/AnalysisEngine.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/EngineTestSupport.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

using test::analyse;
using test::analyseSignal;
using test::configure;
using test::RecordingNotifier;

int expectedVolume(double averagePeak) {
  const double r = averagePeak / 32658.0;
  const double v = std::floor(127 * 0.8585164835164835 * (std::sqrt(0.09 + 2.3296 * r) - 0.3) + 0.5);
  return static_cast<int>(std::clamp(v, 0.0, 127.0));
}

class FrameAnalysis : public ::testing::Test {
 protected:
  RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(FrameAnalysis, SegmentLengthsFollowTheFrameLength) {
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(468), 117);
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(880), 110);
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(1024), 102);
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(2600), 100);
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(3920), 100);
  EXPECT_EQ(AnalysisEngine::segmentLengthFor(7840), 100);
}

TEST_F(FrameAnalysis, FoldsOnlyCompleteSegmentsAndIgnoresTheTail) {
  struct Case {
    int frame;
    int segments;
  };
  for (const Case c : {Case{468, 3}, Case{1024, 10}, Case{880, 7}, Case{2600, 25}}) {
    engine.setFrameSize(c.frame);
    std::fill(engine.samples.get(), engine.samples.get() + c.frame, 0);
    engine.samples[c.frame - 1] = 20000;  // past the last fold: never counted
    const auto levels = engine.conditionBlock();
    EXPECT_EQ(levels.segmentCount, c.segments) << c.frame;
    EXPECT_EQ(levels.peakSum, 0) << c.frame;
  }

  // Sample K closes the first segment, so it belongs to it.
  engine.setFrameSize(1024);
  std::fill(engine.samples.get(), engine.samples.get() + 1024, 0);
  engine.samples[102] = 20000;
  engine.samples[103] = -10000;
  const auto levels = engine.conditionBlock();
  EXPECT_EQ(levels.peakSum, 30000);
  EXPECT_EQ(levels.averagePeak, 3000);
  EXPECT_EQ(levels.clipLimit, 1500);
}

TEST_F(FrameAnalysis, FullScaleSamplesAreClippedAsymmetricallyBeforeAnythingElse) {
  engine.setFrameSize(1024);
  std::fill(engine.samples.get(), engine.samples.get() + 1024, 0);
  engine.samples[5] = 32767;     // segment 0
  engine.samples[150] = -32768;  // segment 1
  const auto levels = engine.conditionBlock();
  EXPECT_EQ(levels.peakSum, 32657 + 32656);
  EXPECT_DOUBLE_EQ(levels.mean, 1.0 / 1024);

  std::fill(engine.samples.get(), engine.samples.get() + 1024, 0);
  engine.inputGain = 4.0;
  engine.samples[5] = 10000;  // 40000 after the gain
  EXPECT_EQ(engine.conditionBlock().peakSum, 32657);
}

TEST_F(FrameAnalysis, DcOffsetIsRemovedBeforeClippingAtHalfTheUncentredPeak) {
  engine.setFrameSize(1024);
  for (int i = 0; i < 1024; ++i) {
    engine.samples[i] = static_cast<std::int16_t>(10000 + (i % 2 == 0 ? 100 : -100));
  }
  const auto levels = engine.conditionBlock();
  EXPECT_DOUBLE_EQ(levels.mean, 10000.0);
  EXPECT_EQ(levels.averagePeak, 10100);
  EXPECT_EQ(levels.clipLimit, 5050);
  EXPECT_EQ(engine.samples[0], 100);
  EXPECT_EQ(engine.samples[1], -100);
}

TEST_F(FrameAnalysis, CentringTruncatesTheDistanceToTheMeanTowardsZeroLikeExactArithmetic) {
  // Means that are whole, just above and just below a whole number, negative
  // and positive, on several frame lengths: every centred sample must equal the
  // plain double formula trunc(s - sum / n), clipped at half the average peak.
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int n : {468, 880, 1024, 2600, 7840}) {
    engine.setFrameSize(n);
    for (int trial = 0; trial < 40; ++trial) {
      const int offset = static_cast<int>(next() % 20001) - 10000;
      const int spread = 1 + static_cast<int>(next() % 3000);
      std::vector<std::int16_t> block(static_cast<std::size_t>(n));
      long long sum = 0;
      for (auto& v : block) {
        v = static_cast<std::int16_t>(offset + static_cast<int>(next() % (2 * spread + 1)) - spread);
        sum += v;
      }
      if (trial % 4 == 0) {
        // Make the mean whole: move the remainder into the first sample.
        block[0] = static_cast<std::int16_t>(block[0] - ((sum % n) + n) % n);
        sum = 0;
        for (auto v : block) sum += v;
        ASSERT_EQ(sum % n, 0);
      }
      std::copy(block.begin(), block.end(), engine.samples.get());
      const auto levels = engine.conditionBlock();
      const double mean = static_cast<double>(sum) / n;
      for (int i = 0; i < n; ++i) {
        const int expected = std::clamp(static_cast<int>(block[static_cast<std::size_t>(i)] - mean),
                                        -levels.clipLimit, levels.clipLimit);
        ASSERT_EQ(engine.samples[i], expected) << "n " << n << " trial " << trial << " i " << i;
      }
    }
  }
}

TEST_F(FrameAnalysis, VolumeIsTheScaledRootOfTheLoudnessCurve) {
  configure(engine, 1024, false, 36, 96);
  std::vector<std::int16_t> block(1024, 0);
  EXPECT_EQ(analyse(engine, block.data()).volume, 0);

  // One peak per segment sets the average peak exactly.
  for (int peak : {500, 3000, 12000, 32657}) {
    std::fill(block.begin(), block.end(), 0);
    for (int seg = 0; seg < 10; ++seg) {
      block[static_cast<std::size_t>(seg * 102 + 50)] = static_cast<std::int16_t>(peak);
    }
    EXPECT_EQ(analyse(engine, block.data()).volume, expectedVolume(peak)) << peak;
  }
  EXPECT_EQ(expectedVolume(32657), 127);
  EXPECT_EQ(expectedVolume(3000), 27);
}

// Tolerance: 0.1 semitone, the accuracy a listener would call in tune.
TEST_F(FrameAnalysis, HarmonicTonesComeOutWithinATenthOfASemitone) {
  struct Geometry {
    int frame;
    bool boost;
  };
  const Geometry geometries[] = {{2600, false}, {2600, true}, {3920, false}, {3920, true}};
  const double notes[] = {36.0, 43.3, 50.0, 57.5, 64.0, 69.0, 76.2, 81.0};
  for (const Geometry g : geometries) {
    configure(engine, g.frame, g.boost, 24, 120);
    for (double note : notes) {
      analyseSignal(engine, test::harmonicTone(note, 4 * g.frame));
      for (int i = 0; i < engine.frameCount; ++i) {
        EXPECT_NEAR(engine.frames[i].pitch, note, 0.1)
            << "note " << note << " frame " << g.frame << " boost " << g.boost << " row " << i;
      }
    }
  }
}

TEST_F(FrameAnalysis, LowAndHighNotesAtTheirFrameLengths) {
  configure(engine, 3920, true, 20, 110);
  analyseSignal(engine, test::harmonicTone(30.0, 4 * 3920));
  ASSERT_EQ(engine.frameCount, 4);
  EXPECT_NEAR(engine.frames[1].pitch, 30.0, 0.1);

  configure(engine, 880, true, 48, 120);
  analyseSignal(engine, test::harmonicTone(90.0, 4 * 880));
  ASSERT_EQ(engine.frameCount, 4);
  EXPECT_NEAR(engine.frames[1].pitch, 90.0, 0.1);
}

TEST_F(FrameAnalysis, StatisticsCountPitchedFramesAndTheirPeaks) {
  configure(engine, 2600, false, 36, 96);
  analyseSignal(engine, test::concat({test::harmonicTone(60, 3 * 2600), test::constant(2 * 2600)}));
  ASSERT_EQ(engine.frameCount, 5);
  EXPECT_EQ(engine.pitchedFrameCount, 3);
  EXPECT_EQ(engine.brightFrameCount, 3);
  EXPECT_GT(engine.cepstralPeakSum, 3.0 * engine.harmonicThreshold);
  EXPECT_GT(engine.brightnessSum, 0.0);
}

TEST_F(FrameAnalysis, SilenceAndConstantOffsetHaveNoPitchAndNoBrightness) {
  // Lengths at which the transform leaves round-off above DC for a constant input.
  for (int frame : {550, 880, 1024, 1960, 2600, 3920, 7840}) {
    configure(engine, frame, false, 36, 96, 0);
    engine.brightnessGain = 50;
    for (std::int16_t level : {std::int16_t{0}, std::int16_t{1234}, std::int16_t{-32768}}) {
      const auto block = test::constant(frame, level);
      const FrameRecord& row = analyse(engine, block.data());
      EXPECT_EQ(row.pitch, kNoPitch) << frame << " level " << level;
      EXPECT_EQ(row.brightness, 0) << frame << " level " << level;
      // Volume comes from the uncentred peaks, so only true silence is at 0.
      EXPECT_EQ(row.volume == 0, level == 0) << frame << " level " << level;
      EXPECT_EQ(row.attack, 0);
    }
  }
  EXPECT_EQ(engine.pitchedFrameCount, 0);
  EXPECT_EQ(engine.brightnessSum, 0.0);
}

TEST_F(FrameAnalysis, WhiteNoiseIsUnpitched) {
  configure(engine, 2600, false, 36, 96);
  analyseSignal(engine, test::whiteNoise(10 * 2600));
  ASSERT_EQ(engine.frameCount, 10);
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_EQ(engine.frames[i].pitch, kNoPitch) << i;
    EXPECT_GT(engine.frames[i].volume, 0);
  }
}

// Harmonics 10..20 of A4 carry the spacing of a 440 Hz series but sit above
// 4410 Hz, where the noise gate closes; harmonics 1..10 of the same note pass.
std::vector<std::int16_t> upperPartials(int firstHarmonic, int lastHarmonic, int count) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    double x = 0.0;
    for (int k = firstHarmonic; k <= lastHarmonic; ++k) {
      x += std::sin(2.0 * M_PI * 440.0 * k * i / 44100.0);
    }
    out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(1500.0 * x);
  }
  return out;
}

TEST_F(FrameAnalysis, BrightSpectrumAboveTheCentroidGateIsUnpitchedButKeepsItsVolume) {
  configure(engine, 2600, true, 36, 108, 0);
  analyseSignal(engine, upperPartials(1, 10, 2 * 2600));
  EXPECT_NEAR(engine.frames[1].pitch, 69.0, 0.1);

  analyseSignal(engine, upperPartials(10, 20, 2 * 2600));
  EXPECT_EQ(engine.frames[1].pitch, kNoPitch);
  EXPECT_GT(engine.frames[1].volume, 0);
  EXPECT_GT(engine.frames[1].brightness, 0);
}

TEST_F(FrameAnalysis, EmptyLagRangeNeverFindsAPitch) {
  configure(engine, 2600, false, 60, 62, 0);
  ASSERT_LE(engine.maxLag - engine.minLag, 20);
  analyseSignal(engine, test::harmonicTone(61, 3 * 2600));
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_EQ(engine.frames[i].pitch, kNoPitch);
  }
}

TEST_F(FrameAnalysis, FoundPitchesStayInsideTheNoteRange) {
  // Highest note 84 without the pitch boost: the search starts at lag 31.
  configure(engine, 2600, false, 36, 84, 0);
  EXPECT_EQ(engine.minLag, 21);
  analyseSignal(engine, test::harmonicTone(81, 3 * 2600));
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_TRUE(engine.frames[i].pitch == kNoPitch || engine.frames[i].pitch < 78.6)
        << engine.frames[i].pitch;
  }
}

TEST_F(FrameAnalysis, QuantizeAmountPullsTowardTheNearestSemitone) {
  configure(engine, 2600, true, 36, 96);
  const auto tone = test::harmonicTone(60.3, 2600);
  const double raw = analyse(engine, tone.data()).pitch;
  ASSERT_NEAR(raw, 60.3, 0.1);

  engine.quantizeAmount = 1.0;
  EXPECT_DOUBLE_EQ(analyse(engine, tone.data()).pitch, 60.0);
  engine.quantizeAmount = 0.5;
  EXPECT_NEAR(analyse(engine, tone.data()).pitch, (raw + 60.0) / 2.0, 1e-9);
  engine.quantizeAmount = 0.0;
  EXPECT_DOUBLE_EQ(analyse(engine, tone.data()).pitch, raw);
}

TEST_F(FrameAnalysis, TransposeOutsideTheMidiRangeLeavesTheFrameUnpitched) {
  configure(engine, 2600, true, 36, 96);
  const auto tone = test::harmonicTone(69.0, 2600);
  engine.transpose = 12;
  EXPECT_NEAR(analyse(engine, tone.data()).pitch, 81.0, 0.1);
  engine.transpose = 59;
  EXPECT_EQ(analyse(engine, tone.data()).pitch, kNoPitch);
  engine.transpose = -70;
  EXPECT_EQ(analyse(engine, tone.data()).pitch, kNoPitch);
  // The peak still counted as a pitched frame; the valid-pitch statistics did not.
  EXPECT_EQ(engine.pitchedFrameCount, 3);
  EXPECT_EQ(engine.brightFrameCount, 1);
}

TEST_F(FrameAnalysis, HarmonicThresholdAboveThePeakMakesFramesUnpitched) {
  configure(engine, 2600, false, 36, 96, 0);
  const auto tone = test::harmonicTone(64.0, 2600);
  ASSERT_NE(analyse(engine, tone.data()).pitch, kNoPitch);
  const double peak = engine.cepstralPeakSum;
  engine.harmonicThreshold = static_cast<int>(peak) + 1;
  EXPECT_EQ(analyse(engine, tone.data()).pitch, kNoPitch);
}

TEST_F(FrameAnalysis, QuietBlocksAreUnpitched) {
  configure(engine, 2600, false, 36, 96, 0);
  // An average peak below 0.05 x 32658 (about 1633) fails the loudness test.
  const auto quiet = test::harmonicTone(64.0, 2600, 1200.0);
  EXPECT_EQ(analyse(engine, quiet.data()).pitch, kNoPitch);
  const auto loud = test::harmonicTone(64.0, 2600, 4000.0);
  EXPECT_NE(analyse(engine, loud.data()).pitch, kNoPitch);
}

// A reed's tone that repeats only every second period (a subharmonic at 30%):
// the cepstrum's highest peak is at the double period, and the note's own
// pitch is taken as that peak's octave above, read as closely as the peak.
TEST_F(FrameAnalysis, TheClearestCandidateOfATonePeakingAtTwiceItsPeriodIsItsOwnPitch) {
  applySettingsToEngine(SettingsRecord{}, engine);
  engine.trackPitch = true;
  const double f = 440.0 * std::exp2((46 - 69) / 12.0);
  std::vector<std::int16_t> tone(44100);
  for (std::size_t i = 0; i < tone.size(); ++i) {
    const double t = static_cast<double>(i) / 44100.0;
    double x = 0.0;
    for (int k = 1; k <= 3; ++k) {
      x += std::sin(2.0 * std::numbers::pi * k * f * t) / k;
    }
    for (int k = 1; k <= 6; k += 2) {
      x += 0.3 * std::sin(std::numbers::pi * k * f * t) / k;
    }
    tone[i] = static_cast<std::int16_t>(6000.0 * x);
  }
  engine.reserveRows(64);
  analyseSignal(engine, tone);
  ASSERT_GT(engine.frameCount, 10);
  for (int r = 0; r < engine.frameCount; ++r) {
    const PitchCandidates& found = engine.candidates[static_cast<std::size_t>(r)];
    ASSERT_GT(found.count, 0) << r;
    EXPECT_NEAR(found.pitch[0], 46.0, 0.1) << r;
  }
}

}  // namespace
}  // namespace melovantis
