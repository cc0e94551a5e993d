#include <gtest/gtest.h>

#include <cmath>

#include "engine/AnalysisEngine.h"
#include "engine/NoteName.h"
#include "support/RecordingNotifier.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;

TEST(AnalysisEngine, StartsWith1024SampleFramesHopAndCepstrumBeforeAnySettings) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  EXPECT_EQ(engine.frameSize, 1024);
  EXPECT_EQ(engine.hopSize, 1024);
  EXPECT_EQ(engine.cepstrumSize, 1024);
  EXPECT_EQ(engine.cepstrumDivisor, 1.0);
  EXPECT_EQ(engine.frameCount, 0);
  EXPECT_FALSE(engine.largeFrameMode);
  EXPECT_EQ(engine.prevScore, 127);
  EXPECT_EQ(engine.prevPitch, -1000);
  EXPECT_EQ(engine.tempoFactor, 1.0);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST(AnalysisEngine, GeometryFollowsFrameLengthDivisorAndMode) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  struct Case {
    int frame;
    double divisor;
    int mode;
    int cepstrum;
    int hop;
  };
  const Case cases[] = {
      {880, 2.0, 0, 440, 880},    {880, 1.0, 1, 880, 440},    {880, 2.0, 2, 440, 300},
      {3920, 2.0, 0, 1960, 3920}, {3920, 1.0, 1, 3920, 1960}, {3920, 1.0, 2, 3920, 300},
      {550, 2.0, 0, 275, 550},
  };
  for (const Case& c : cases) {
    engine.cepstrumDivisor = c.divisor;
    engine.timeResolutionMode = c.mode;
    engine.setFrameSize(c.frame);
    EXPECT_EQ(engine.cepstrumSize, c.cepstrum) << c.frame << " / " << c.divisor;
    EXPECT_EQ(engine.hopSize, c.hop) << c.frame << " mode " << c.mode;
  }
}

TEST(AnalysisEngine, UnknownModeKeepsTheHop) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.timeResolutionMode = 1;
  engine.setFrameSize(2600);
  ASSERT_EQ(engine.hopSize, 1300);
  engine.timeResolutionMode = 7;
  engine.setFrameSize(880);
  EXPECT_EQ(engine.hopSize, 1300);
}

TEST(AnalysisEngine, MaxLagIsCutBelowHalfTheCepstrum) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.cepstrumDivisor = 2.0;
  engine.maxLag = static_cast<int>(engine.lagForNote(0));  // about 2700 lags
  engine.setFrameSize(1024);
  EXPECT_EQ(engine.maxLag, 255);

  engine.maxLag = 200;
  engine.setFrameSize(1024);
  EXPECT_EQ(engine.maxLag, 200);
}

TEST(AnalysisEngine, ResetLeavesFrameTableAndGeometryAlone) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.reserveRows(3);
  engine.frameCount = 3;
  engine.frames[2].pitch = 64.5;
  engine.pitchedFrameCount = 9;
  engine.cepstralPeakSum = 4.0;
  engine.transpose = 5;
  engine.inputGain = 2.0;
  engine.quantizeAmount = 0.5;
  engine.tempoFactor = 0.5;
  engine.prevEnergy = 40;
  engine.setFrameSize(880);

  engine.resetAnalysis();

  EXPECT_EQ(engine.frameCount, 3);
  EXPECT_EQ(engine.frames[2].pitch, 64.5);
  EXPECT_EQ(engine.frameSize, 880);
  EXPECT_EQ(engine.pitchedFrameCount, 0);
  EXPECT_EQ(engine.cepstralPeakSum, 0.0);
  EXPECT_EQ(engine.transpose, 0);
  EXPECT_EQ(engine.inputGain, 1.0);
  EXPECT_EQ(engine.quantizeAmount, 0.0);
  EXPECT_EQ(engine.tempoFactor, 1.0);
  EXPECT_EQ(engine.tempoFactorUndo, 1.0);
  EXPECT_EQ(engine.prevEnergy, 0);
  EXPECT_EQ(engine.prevScore, 127);
  EXPECT_EQ(engine.prevPitch, -1000);
}

TEST(PitchArithmetic, NotesFrequenciesAndLagsAgree) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  EXPECT_NEAR(engine.frequencyForNote(69), 440.0, 1e-9);
  EXPECT_NEAR(engine.frequencyForNote(57), 220.0, 1e-9);
  EXPECT_NEAR(engine.frequencyForNote(60), 261.6255653, 1e-6);
  EXPECT_NEAR(engine.noteForFrequency(440.0), 69.0, 1e-9);
  EXPECT_NEAR(engine.noteForFrequency(engine.frequencyForNote(47.25)), 47.25, 1e-9);
  EXPECT_EQ(engine.noteForFrequency(1e6), 127.0);
  EXPECT_EQ(engine.noteForFrequency(1.0), 0.0);

  engine.cepstrumDivisor = 1.0;
  EXPECT_NEAR(engine.lagForNote(69), 100.227, 1e-3);
  engine.cepstrumDivisor = 2.0;
  EXPECT_NEAR(engine.lagForNote(69), 50.114, 1e-3);
  // With a highest note of 84 and no pitch boost the lag range starts at 21.
  EXPECT_EQ(static_cast<int>(engine.lagForNote(84)), 21);
}

TEST(NoteName, UsesSharpsAndOctaveOfNoteDividedByTwelve) {
  EXPECT_EQ(noteName(60), "C5");
  EXPECT_EQ(noteName(69), "A5");
  EXPECT_EQ(noteName(61), "C#5");
  EXPECT_EQ(noteName(0), "C0");
  EXPECT_EQ(noteName(11), "B0");
  EXPECT_EQ(noteName(127), "G10");
}

}  // namespace
}  // namespace melovantis
