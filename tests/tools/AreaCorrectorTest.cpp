#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"
#include "tools/AreaCorrector.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::pitchesOf;

class CountingWindow : public ConversionObserver {
 public:
  void markUnsaved() override { ++unsavedMarks; }
  int unsavedMarks = 0;
};

// A converted recording of a steady tone at note 62, 40 rows long.
class AreaCorrector : public ::testing::Test {
 protected:
  static constexpr int kRows = 40;

  AreaCorrector() {
    SettingsRecord settings;
    settings.timeResolutionMs = 60;  // 2600-sample frames
    settings.timeResolutionBoost = 1;  // half-frame hop
    applySettingsToEngine(settings, engine);
    session.wavePath = dir / "tone.wav";
    session.drawingEnabled = false;
    session.autoSaveMidi = false;
    session.processed = true;  // the run opens and checks the file itself
    test::writeMonoWave(session.wavePath,
                        test::harmonicTone(62, engine.hopSize * (kRows - 1) + engine.frameSize));
    driver.startConversion(session);
  }

  // Every row set to a value no analysis of the tone gives.
  void markAllRows() {
    for (int i = 0; i < engine.frameCount; ++i) {
      engine.frames[static_cast<std::size_t>(i)].pitch = 30.0;
    }
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  WaveReader reader;
  ConversionObserver driverWindow;
  ConversionDriver driver{engine, reader, notifier, driverWindow};
  ConversionSession session;
  CountingWindow window;
};

TEST_F(AreaCorrector, TheBrushRangeIsClippedToTheTable) {
  EXPECT_EQ(areaBrushRange(5, kAreaRadius, 100).start, 0);
  EXPECT_EQ(areaBrushRange(5, kAreaRadius, 100).end, 20);
  EXPECT_EQ(areaBrushRange(50, kAreaRadius, 100).start, 35);
  EXPECT_EQ(areaBrushRange(50, kAreaRadius, 100).end, 65);
  EXPECT_EQ(areaBrushRange(95, kAreaRadius, 100).end, 100);
  const FrameRange beyond = areaBrushRange(115, kAreaRadius, 100);
  EXPECT_GE(beyond.start, beyond.end);
}

TEST_F(AreaCorrector, TheLagWindowSpansElevenSemitonesEitherSideAndStaysInTheCepstrum) {
  ASSERT_EQ(engine.cepstrumSize, 2600);
  const LagWindow around60 = areaLagWindow(engine, 60.0);
  EXPECT_EQ(around60.maxLag, static_cast<int>(engine.lagForNote(49.0)));  // 318
  EXPECT_EQ(around60.minLag, static_cast<int>(engine.lagForNote(71.0)));  // 89
  EXPECT_EQ(areaLagWindow(engine, 20.0).maxLag, 1299);  // note 9 would need lag 3207

  for (double note : {-1e9, -300.0, 140.0, 500.0, 1e9}) {
    const LagWindow lags = areaLagWindow(engine, note);
    EXPECT_GE(lags.minLag, 0) << note;
    EXPECT_LE(lags.maxLag, engine.cepstrumSize / 2 - 1) << note;
    EXPECT_LE(lags.minLag, lags.maxLag) << note;
  }
}

TEST_F(AreaCorrector, ABrushCentredOnFrameFiveReanalysesRowsZeroToNineteen) {
  ASSERT_EQ(engine.frameCount, kRows);
  markAllRows();
  ASSERT_TRUE(applyAreaBrush(engine, driver, session, window, 62.0, 5));
  for (int i = 0; i < kRows; ++i) {
    if (i < 20) {
      EXPECT_NEAR(engine.frames[i].pitch, 62.0, 0.1) << i;  // the tone, found again
    } else {
      EXPECT_EQ(engine.frames[i].pitch, 30.0) << i;
    }
  }
  EXPECT_EQ(engine.frameCount, kRows);
}

TEST_F(AreaCorrector, ABrushNearTheTruePitchFindsTheSameDetectionAgain) {
  const std::vector<double> converted = pitchesOf(engine);
  for (double pitch : converted) {
    ASSERT_NEAR(pitch, 62.0, 0.1);
  }
  markAllRows();
  ASSERT_TRUE(applyAreaBrush(engine, driver, session, window, 60.0, 20));
  for (int i = 5; i < 35; ++i) {
    EXPECT_EQ(engine.frames[i].pitch, converted[static_cast<std::size_t>(i)]) << i;
  }
}

TEST_F(AreaCorrector, ABrushWhoseWindowMissesTheToneNeverReturnsAPitchOutsideTheWindow) {
  for (double note : {84.0, 40.0}) {
    markAllRows();
    ASSERT_TRUE(applyAreaBrush(engine, driver, session, window, note, 20));
    for (int i = 5; i < 35; ++i) {
      const double pitch = engine.frames[i].pitch;
      if (pitch >= 0.0) {
        EXPECT_GE(pitch, note - kAreaSearchSemitones) << note << " row " << i;
        EXPECT_LE(pitch, note + kAreaSearchSemitones) << note << " row " << i;
      }
    }
  }
}

TEST_F(AreaCorrector, TheRunRestoresLagsAndFlagsResetsTheTempoAndKeepsTheUndoTempo) {
  const int minLag = engine.minLag;
  const int maxLag = engine.maxLag;
  session.drawingEnabled = true;
  session.autoSaveMidi = true;
  engine.tempoFactor = 0.5;
  engine.tempoFactorUndo = 0.5;  // the snapshot of the button press

  ASSERT_TRUE(applyAreaBrush(engine, driver, session, window, 62.0, 20));
  EXPECT_EQ(engine.minLag, minLag);
  EXPECT_EQ(engine.maxLag, maxLag);
  EXPECT_FALSE(session.rangeMode);
  EXPECT_TRUE(session.drawingEnabled);
  EXPECT_TRUE(session.autoSaveMidi);
  EXPECT_EQ(engine.tempoFactor, 1.0);
  EXPECT_EQ(engine.tempoFactorUndo, 0.5);
  EXPECT_EQ(window.unsavedMarks, 1);
}

TEST_F(AreaCorrector, ABrushBeyondTheTableChangesNoRowButStillMarksUnsaved) {
  markAllRows();
  engine.runAttackPass();
  engine.frames[7].attack = 1;  // stale: the run's attack pass clears it
  ASSERT_TRUE(applyAreaBrush(engine, driver, session, window, 62.0, kRows + kAreaRadius));
  EXPECT_EQ(pitchesOf(engine), std::vector<double>(kRows, 30.0));
  EXPECT_EQ(engine.frames[7].attack, 0);
  EXPECT_EQ(window.unsavedMarks, 1);
}

TEST_F(AreaCorrector, NothingHappensWithoutAProcessedTable) {
  markAllRows();
  session.processed = false;
  EXPECT_FALSE(applyAreaBrush(engine, driver, session, window, 62.0, 5));
  session.processed = true;
  engine.frameCount = 0;
  EXPECT_FALSE(applyAreaBrush(engine, driver, session, window, 62.0, 5));
  engine.frameCount = kRows;
  EXPECT_FALSE(applyAreaBrush(engine, driver, session, window, std::nan(""), 5));
  EXPECT_EQ(pitchesOf(engine), std::vector<double>(kRows, 30.0));
  EXPECT_EQ(window.unsavedMarks, 0);
}

}  // namespace
}  // namespace melovantis
