#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

// Records what the run asked of the window, in order.
class RecordingObserver : public ConversionObserver {
 public:
  void openAudioFile(ConversionSession& session) override {
    calls.push_back("open");
    session.wavePath = fileToOffer;
  }
  void showProgressWindow(bool visible) override {
    calls.push_back(visible ? "progress-window-shown" : "progress-window-hidden");
  }
  void setProgress(int percent) override { progress.push_back(percent); }
  void closeProgressWindow() override { calls.push_back("progress-window-closed"); }
  void pumpMessages(bool) override { ++pumps; }
  void drawCurrentNotePanel(int frame) override { panels.push_back(frame); }
  void resetViewToStart() override { calls.push_back("reset-view"); }
  int attackSensitivitySlider(int) override {
    calls.push_back("slider");
    return slider;
  }
  void redrawView() override { calls.push_back("redraw"); }
  void markUnsaved() override { calls.push_back("unsaved"); }
  void saveMidiFile() override { calls.push_back("save-midi"); }
  void takeUndoSnapshot() override { calls.push_back("undo-snapshot"); }

  std::filesystem::path fileToOffer;
  int slider = 20;
  std::vector<std::string> calls;
  std::vector<int> progress;
  std::vector<int> panels;
  int pumps = 0;
};

class ConversionDriverTest : public ::testing::Test {
 protected:
  ConversionDriverTest() {
    engine.attackDetectorOn = false;
    session.processed = true;
  }

  void convert(const std::vector<std::int16_t>& samples) {
    session.wavePath = dir / "input.wav";
    test::writeMonoWave(session.wavePath, samples);
    driver.startConversion(session);
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  WaveReader reader;
  RecordingObserver observer;
  ConversionDriver driver{engine, reader, notifier, observer};
  ConversionSession session;
};

TEST_F(ConversionDriverTest, ModeZeroIgnoresAPartialLastBlock) {
  // 10 x 2048 + 100 bytes at N = 1024: ten rows, the last 50 samples unused.
  convert(test::harmonicTone(60, 10 * 1024 + 50));
  EXPECT_EQ(engine.frameCount, 10);
  EXPECT_FALSE(reader.isOpen());
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(ConversionDriverTest, ModeOneOverlapsBlocksByHalfAFrame) {
  engine.timeResolutionMode = kHopIsHalfFrame;
  engine.setFrameSize(1024);
  ASSERT_EQ(engine.hopSize, 512);
  // 2048 x 4 bytes: rows start at 0, 512, ... 3072.
  const auto signal = test::glide(50, 70, 4096);
  convert(signal);
  ASSERT_EQ(engine.frameCount, 7);

  // Each row must equal the analysis of the block that starts i x 512 samples in.
  AnalysisEngine direct(notifier);
  direct.timeResolutionMode = kHopIsHalfFrame;
  direct.setFrameSize(1024);
  for (int i = 0; i < 7; ++i) {
    std::copy_n(signal.begin() + i * 512, 1024, direct.samples.get());
    direct.frameCount = 0;
    direct.analyseBlock();
    EXPECT_EQ(engine.frames[i].pitch, direct.frames[0].pitch) << i;
    EXPECT_EQ(engine.frames[i].volume, direct.frames[0].volume) << i;
    EXPECT_EQ(engine.frames[i].brightness, direct.frames[0].brightness) << i;
  }
}

TEST_F(ConversionDriverTest, ModeTwoCountsEveryHopThatFitsAWholeFrame) {
  engine.timeResolutionMode = kHopIs300;
  engine.setFrameSize(1024);
  convert(test::harmonicTone(60, 5000));
  // Rows i with 300 i + 1024 <= 5000.
  EXPECT_EQ(engine.frameCount, 14);
  EXPECT_EQ(ConversionDriver::rowsForData(10000, 1024, 300), 14);
}

TEST_F(ConversionDriverTest, DataShorterThanAFrameGivesNoRowsButRowZeroIsMarked) {
  engine.frames[0].attack = 0;
  convert(test::harmonicTone(60, 1000));
  EXPECT_EQ(engine.frameCount, 0);
  EXPECT_EQ(engine.frames[0].attack, 1);
  EXPECT_EQ(observer.progress.back(), 100);
}

TEST_F(ConversionDriverTest, WindowIsAskedAtTheRightPointsInOrder) {
  session.analysisThreads = 1;  // the pattern of a run on one core, block by block
  engine.attackDetectorOn = true;
  observer.slider = 55;
  SettingsRecord record{};
  session.settings = &record;
  convert(test::harmonicTone(64, 45 * 1024));

  EXPECT_EQ(engine.frameCount, 45);
  EXPECT_EQ(observer.calls,
            (std::vector<std::string>{"progress-window-shown", "reset-view", "slider", "redraw",
                                      "unsaved", "progress-window-closed", "save-midi",
                                      "undo-snapshot"}));
  EXPECT_EQ(observer.panels, (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 35, 40}));
  // Progress starts at 0, is updated on rows 0, 20, 40, and ends at 100.
  ASSERT_EQ(observer.progress.size(), 5u);
  EXPECT_EQ(observer.progress.front(), 0);
  EXPECT_EQ(observer.progress[3], 91);  // 41 of 45 blocks read
  EXPECT_EQ(observer.progress.back(), 100);
  EXPECT_EQ(observer.pumps, 46);
  EXPECT_EQ(engine.attackSensitivity, 55);
  EXPECT_EQ(record.attackSensitivity, 55);
  EXPECT_TRUE(session.processed);
  EXPECT_EQ(engine.frames[0].attack, 1);
}

TEST_F(ConversionDriverTest, SilentRunTouchesNoWindowPartsAndNoFiles) {
  session.drawingEnabled = false;
  session.autoSaveMidi = false;
  convert(test::harmonicTone(64, 12 * 1024));
  EXPECT_EQ(observer.calls,
            (std::vector<std::string>{"progress-window-hidden", "reset-view",
                                      "progress-window-closed"}));
  EXPECT_TRUE(observer.panels.empty());
}

TEST_F(ConversionDriverTest, NoFileChosenAsksForOneAndCancelDoesNothing) {
  session.wavePath.clear();
  driver.startConversion(session);
  EXPECT_EQ(observer.calls, (std::vector<std::string>{"open"}));
  EXPECT_EQ(engine.frameCount, 0);

  observer.calls.clear();
  observer.fileToOffer = dir / "offered.wav";
  test::writeMonoWave(observer.fileToOffer, test::harmonicTone(60, 3 * 1024));
  driver.startConversion(session);
  EXPECT_EQ(engine.frameCount, 3);
}

TEST_F(ConversionDriverTest, UnreadableFileEndsWithNoRowsAndBothMessages) {
  engine.frameCount = 4;
  session.wavePath = dir / "broken.wav";
  test::writeBytes(session.wavePath, {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
  driver.startConversion(session);
  EXPECT_EQ(engine.frameCount, 0);
  ASSERT_EQ(notifier.entries.size(), 2u);
  EXPECT_EQ(notifier.entries[0].text, "Not a valid wave file!");
  EXPECT_EQ(notifier.entries[1].text, "Error reading wave file");
  EXPECT_TRUE(session.wavePath.empty());
}

TEST_F(ConversionDriverTest, RangeRunRewritesOnlyItsRows) {
  convert(test::concat({test::harmonicTone(60, 5 * 1024), test::harmonicTone(67, 5 * 1024)}));
  ASSERT_EQ(engine.frameCount, 10);
  const auto before = engine.frames;
  for (int i = 0; i < 10; ++i) {
    engine.frames[i].pitch = 30.0;
  }

  observer.calls.clear();
  session.rangeMode = true;
  session.rangeStartFrame = 3;
  session.rangeEndFrame = 7;
  session.drawingEnabled = false;
  session.autoSaveMidi = false;
  driver.startConversion(session);

  EXPECT_EQ(engine.frameCount, 10);
  for (int i = 0; i < 10; ++i) {
    if (i >= 3 && i < 7) {
      EXPECT_EQ(engine.frames[i].pitch, before[i].pitch) << i;
    } else {
      EXPECT_EQ(engine.frames[i].pitch, 30.0) << i;
    }
  }
  EXPECT_EQ(observer.calls,
            (std::vector<std::string>{"progress-window-hidden", "progress-window-closed"}));
}

TEST_F(ConversionDriverTest, RangeRunPastTheEndOfTheDataStopsAtTheData) {
  engine.timeResolutionMode = kHopIsHalfFrame;
  engine.setFrameSize(1024);
  convert(test::harmonicTone(60, 6 * 512 + 512));
  ASSERT_EQ(engine.frameCount, 6);
  for (int i = 0; i < 6; ++i) {
    engine.frames[i].pitch = 30.0;
  }
  session.rangeMode = true;
  session.rangeStartFrame = 4;
  session.rangeEndFrame = 50;
  driver.startConversion(session);
  EXPECT_EQ(engine.frameCount, 6);
  EXPECT_EQ(engine.frames[3].pitch, 30.0);
  EXPECT_NE(engine.frames[4].pitch, 30.0);
  EXPECT_NE(engine.frames[5].pitch, 30.0);
}

}  // namespace
}  // namespace melovantis
