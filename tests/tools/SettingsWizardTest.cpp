#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/FrameLengthTable.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"
#include "tools/SettingsWizard.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::setTable;

class SettingsWizardDerivation : public ::testing::Test {
 protected:
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  SettingsRecord settings;
  WizardChoices choices;
};

TEST_F(SettingsWizardDerivation, NotesFrom48To72GiveTheRange40To80And68Ms) {
  setTable(engine, {kNoPitch, 48.3, 55.0, 72.9, 60.0, kNoPitch});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.lowestNote, 40);
  EXPECT_EQ(settings.highestNote, 80);
  EXPECT_EQ(settings.lowestNoteMarkX, 460);
  EXPECT_EQ(settings.highestNoteMarkX, 930);
  EXPECT_EQ(settings.timeResolutionMs, 68);  // nine periods of 130.81 Hz
  EXPECT_TRUE(choices.timeResolution);
}

TEST_F(SettingsWizardDerivation, ATableWithoutPitchGives60MsAndTheRange28To91) {
  setTable(engine, {kNoPitch, kNoPitch});
  settings.timeResolutionMs = 33;
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.timeResolutionMs, 60);
  EXPECT_FALSE(choices.timeResolution);
  EXPECT_EQ(settings.lowestNote, 28);
  EXPECT_EQ(settings.highestNote, 91);

  SettingsRecord empty;
  WizardChoices all;
  engine.frameCount = 0;
  deriveRangeAndResolution(engine, empty, all);
  EXPECT_EQ(empty.timeResolutionMs, 60);
  EXPECT_EQ(empty.lowestNote, 28);
}

TEST_F(SettingsWizardDerivation, TheTimeResolutionIsKeptInside20To90Ms) {
  setTable(engine, {20.0, 30.0});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.timeResolutionMs, 90);  // 346 ms for nine periods of note 20
  EXPECT_EQ(settings.lowestNote, 12);

  setTable(engine, {100.0});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.timeResolutionMs, 20);  // 3 ms
  EXPECT_EQ(settings.highestNote, 108);

  choices.timeResolution = false;
  settings.timeResolutionMs = 150;
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.timeResolutionMs, 90);  // limited whatever the choice
}

TEST_F(SettingsWizardDerivation, TheRangeIsLeftAloneWhenNotChosenOrOnlyAtTheEnds) {
  choices.noteRange = false;
  setTable(engine, {50.0, 60.0});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.lowestNote, SettingsRecord{}.lowestNote);
  EXPECT_EQ(settings.highestNoteMarkX, SettingsRecord{}.highestNoteMarkX);

  choices.noteRange = true;
  setTable(engine, {127.0});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.lowestNote, SettingsRecord{}.lowestNote);
  setTable(engine, {0.0, 0.5});
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.highestNote, SettingsRecord{}.highestNote);

  setTable(engine, {3.0, 125.0});  // widened only as far as the MIDI range
  deriveRangeAndResolution(engine, settings, choices);
  EXPECT_EQ(settings.lowestNote, 0);
  EXPECT_EQ(settings.highestNote, 127);
}

TEST_F(SettingsWizardDerivation, ThresholdIsATenthOfTheMeanPeakAndZeroWithoutPitch) {
  EXPECT_EQ(deriveHarmonicThreshold(1234.0, 10), 12);
  EXPECT_EQ(deriveHarmonicThreshold(1234.0, 0), 0);
  settings.harmonicThreshold = 400;
  limitWizardSettings(settings);
  EXPECT_EQ(settings.harmonicThreshold, 150);
  settings.harmonicThreshold = -4;
  limitWizardSettings(settings);
  EXPECT_EQ(settings.harmonicThreshold, 0);
}

TEST_F(SettingsWizardDerivation, BrightnessGainLimits) {
  auto limitedGain = [this](double sum, int count) {
    settings.brightnessGain = deriveBrightnessGain(sum, count);
    limitWizardSettings(settings);
    return settings.brightnessGain;
  };
  EXPECT_EQ(limitedGain(10.0 * 12.7, 10), 10);
  EXPECT_EQ(limitedGain(10.0 * 200.0, 10), 1);  // 127 / 200 truncates to 0
  EXPECT_EQ(limitedGain(0.0, 0), 1);            // no bright frame at all
  EXPECT_EQ(limitedGain(0.0, 10), 1);           // bright frames, but all dark
  EXPECT_EQ(limitedGain(10.0 * 2.54, 10), 50);
  EXPECT_EQ(limitedGain(1e-300, 1), 50);
  settings.brightnessGain = -7;  // only from a settings file; the order of the limits gives 0
  limitWizardSettings(settings);
  EXPECT_EQ(settings.brightnessGain, 0);
}

class RecordingWindow : public ConversionObserver {
 public:
  void redrawView() override { ++redraws; }
  void markUnsaved() override { ++unsavedMarks; }
  int redraws = 0;
  int unsavedMarks = 0;
};

// The whole run on a recording of two notes, with a broad settings file of the test's own.
class SettingsWizardRun : public ::testing::Test {
 protected:
  SettingsWizardRun() {
    broad.timeResolutionMs = 60;
    broad.harmonicThreshold = 10;
    broad.timeResolutionBoost = 0;
    broad.lowestNote = 24;
    broad.highestNote = 120;
    broad.brightnessGain = 15;
    broad.pitchResolutionBoost = 1;
    EXPECT_TRUE(writeSettingsFile(dir / "broad.set", broad, notifier));

    session.wavePath = dir / "melody.wav";
    session.processed = true;
    // Slightly sharp of 57 and 64, so the truncated notes are certain.
    test::writeMonoWave(session.wavePath, test::concat({test::harmonicTone(57.3, 66150),
                                                        test::harmonicTone(64.3, 66150)}));
  }

  bool run(WizardChoices choices = {}) {
    return runSettingsWizard(engine, driver, session, settings, dir / "broad.set", choices, window);
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  WaveReader reader;
  ConversionObserver driverWindow;
  ConversionDriver driver{engine, reader, notifier, driverWindow};
  ConversionSession session;
  SettingsRecord broad;
  SettingsRecord settings;
  RecordingWindow window;
};

TEST_F(SettingsWizardRun, DerivesEveryChosenSettingAndDiscardsItsTable) {
  ASSERT_TRUE(run());
  EXPECT_EQ(settings.lowestNote, 49);
  EXPECT_EQ(settings.highestNote, 72);
  EXPECT_EQ(settings.lowestNoteMarkX, 570);
  EXPECT_EQ(settings.highestNoteMarkX, 840);
  EXPECT_EQ(settings.timeResolutionMs, 40);  // nine periods of 220 Hz
  EXPECT_EQ(settings.timeResolutionBoost, 1);
  ASSERT_GT(engine.pitchedFrameCount, 0);
  EXPECT_EQ(settings.harmonicThreshold,
            static_cast<int>(engine.cepstralPeakSum / engine.pitchedFrameCount * 0.1));
  EXPECT_GE(settings.brightnessGain, 1);
  EXPECT_LE(settings.brightnessGain, 50);
  EXPECT_EQ(settings.gmVoice, broad.gmVoice);  // untouched fields come from the broad file

  // The end state: empty table, normal frames, the new settings in force.
  EXPECT_EQ(engine.frameCount, 0);
  EXPECT_FALSE(engine.largeFrameMode);
  EXPECT_EQ(engine.frameSize, frameLengthForMs(40));
  EXPECT_EQ(engine.hopSize, engine.frameSize / 2);
  EXPECT_EQ(engine.harmonicThreshold, settings.harmonicThreshold);
  EXPECT_EQ(engine.brightnessGain, settings.brightnessGain);
  EXPECT_TRUE(session.processed);
  EXPECT_EQ(window.redraws, 1);
  EXPECT_EQ(window.unsavedMarks, 1);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(SettingsWizardRun, WithOnlyBrightnessTheOtherSettingsComeFromTheBroadFile) {
  WizardChoices choices;
  choices.noteRange = false;
  choices.harmonicThreshold = false;
  choices.timeResolution = false;
  ASSERT_TRUE(run(choices));
  EXPECT_EQ(settings.lowestNote, 24);
  EXPECT_EQ(settings.highestNote, 120);
  EXPECT_EQ(settings.harmonicThreshold, 10);
  EXPECT_EQ(settings.timeResolutionMs, 60);
  EXPECT_EQ(settings.timeResolutionBoost, 1);
  EXPECT_EQ(settings.brightnessGain,
            std::clamp(static_cast<int>(127.0 / (engine.brightnessSum / engine.brightFrameCount)),
                       1, 50));
}

TEST_F(SettingsWizardRun, KeepsTheSessionFlagsAsTheyWere) {
  session.drawingEnabled = true;
  session.autoSaveMidi = true;
  ASSERT_TRUE(run());
  EXPECT_TRUE(session.drawingEnabled);
  EXPECT_TRUE(session.autoSaveMidi);
  EXPECT_FALSE(session.rangeMode);
}

TEST_F(SettingsWizardRun, AMissingBroadFileLeavesTheRecordInForce) {
  std::filesystem::remove(dir / "broad.set");
  settings.gmVoice = 12;
  settings.lowestNote = 40;
  settings.highestNote = 90;
  ASSERT_TRUE(run());
  EXPECT_EQ(settings.gmVoice, 12);
  EXPECT_EQ(settings.lowestNote, 49);  // derived all the same
}

TEST_F(SettingsWizardRun, ASilentFileGivesTheNoPitchSettings) {
  test::writeMonoWave(session.wavePath, test::constant(88200));
  ASSERT_TRUE(run());
  EXPECT_EQ(settings.timeResolutionMs, 60);
  EXPECT_EQ(settings.lowestNote, 28);
  EXPECT_EQ(settings.highestNote, 91);
  EXPECT_EQ(settings.harmonicThreshold, 0);
  EXPECT_EQ(settings.brightnessGain, 1);
  EXPECT_EQ(engine.frameCount, 0);
}

TEST_F(SettingsWizardRun, DoesNothingWithoutAProcessedFile) {
  session.processed = false;
  EXPECT_FALSE(run());
  session.processed = true;
  session.wavePath.clear();
  EXPECT_FALSE(run());
  EXPECT_EQ(settings, SettingsRecord{});
  EXPECT_EQ(window.unsavedMarks, 0);
}

}  // namespace
}  // namespace melovantis
