// Settings files with every field outside its range, taken through a whole
// conversion and a MIDI file. Where a value would break the program (a
// division by zero, a data byte above 127, a lag outside the cepstrum) it is
// held to the nearest sound value; values that only look odd are used as the
// file says. Each test names one case of the bad-input table in docs/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "HardeningSupport.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/StandardMidiCheck.h"
#include "midi/MidiFileWriter.h"
#include "support/RecordingNotifier.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::ChannelMessage;
using test::factoryWith;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// Field numbers in file order.
enum Field {
  kTimeResolution = 1,
  kHarmonicThreshold = 2,
  kSendBrightness = 3,
  kSendVolume = 4,
  kTimeBoost = 5,
  kChannel = 6,
  kLowestNote = 7,
  kHighestNote = 8,
  kVoice = 11,
  kBendRange = 12,
  kBrightnessController = 13,
  kSendTempo = 14,
  kBpmChoice = 15,
  kBrightnessGain = 16,
  kAttackDetection = 17,
  kSensitivity = 18,
  kVolumeController = 19,
  kPitchBoost = 20,
};

class OutOfRangeSettings : public ::testing::Test {
 protected:
  OutOfRangeSettings() { test::writeMelodyWave(wave); }

  // Converts the melody with `settings` and writes the MIDI file, which must pass the check.
  std::vector<ChannelMessage> convertAndWrite(SettingsRecord settings) {
    test::convertWithSettings(engine, settings, wave, notifier);
    EXPECT_TRUE(writeMidiFile(engine, folder / "out.mid", notifier));
    midi = test::readFileBytes(folder / "out.mid");
    EXPECT_EQ(fuzz::checkStandardMidiFile(midi), "");
    EXPECT_TRUE(notifier.entries.empty());
    return test::channelMessages(midi);
  }

  int pitchedRows() const {
    int pitched = 0;
    for (int i = 0; i < engine.frameCount; ++i) {
      pitched += engine.frames[static_cast<std::size_t>(i)].pitch >= 0.0 ? 1 : 0;
    }
    return pitched;
  }

  static std::vector<ChannelMessage> ofType(const std::vector<ChannelMessage>& all, int type) {
    std::vector<ChannelMessage> some;
    std::copy_if(all.begin(), all.end(), std::back_inserter(some),
                 [type](const ChannelMessage& m) { return m.type == type; });
    return some;
  }

  // The middle row of the A4 half second (rows of 1300 samples at the factory 60 ms, hop 1300).
  double pitchInTheMiddleOfA4() const {
    return engine.frames[static_cast<std::size_t>(22050 / 2 / engine.hopSize)].pitch;
  }

  test::TempFolder folder;
  std::filesystem::path wave = folder / "melody.wav";
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  std::vector<std::uint8_t> midi;
};

// A synthetic harmonic tone is found within a few cents; 0.1 semitone leaves room for the
// cepstral estimate without letting a wrong note through.
constexpr double kPitchTolerance = 0.1;

TEST_F(OutOfRangeSettings, FactorySettingsFindBothNotesOfTheMelody) {
  const auto messages = convertAndWrite(SettingsRecord{});
  EXPECT_NEAR(pitchInTheMiddleOfA4(), 69.0, kPitchTolerance);
  const auto notes = ofType(messages, 0x90);
  // The attack pass marks rows 0 and 1; both saw A4's one attack, so it is struck once.
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].data1, 69);
  EXPECT_EQ(notes[1].data1, 76);
}

TEST_F(OutOfRangeSettings, ReversedNoteRangeFindsNoPitchAndWritesNoNote) {
  const auto messages = convertAndWrite(factoryWith({{kLowestNote, 90}, {kHighestNote, 40}}));
  EXPECT_GT(engine.minLag, engine.maxLag);
  EXPECT_EQ(pitchedRows(), 0);
  EXPECT_TRUE(ofType(messages, 0x90).empty());
}

TEST_F(OutOfRangeSettings, LowestNoteBelowZeroSearchesToTheEndOfTheCepstrum) {
  convertAndWrite(factoryWith({{kLowestNote, -50}}));
  EXPECT_EQ(engine.maxLag, engine.cepstrumSize / 2 - 1);
  EXPECT_NEAR(pitchInTheMiddleOfA4(), 69.0, kPitchTolerance);
}

TEST_F(OutOfRangeSettings, LowestNoteOfInt32MinIsTheLongestLagNotADivisionByZero) {
  // Found by the settings fuzz target: the frequency underflowed to 0 and the lag divided by it.
  EXPECT_EQ(engine.lagForNote(kInt32Min), std::numeric_limits<double>::max());
  convertAndWrite(factoryWith({{kLowestNote, kInt32Min}, {kHighestNote, kInt32Max}}));
  EXPECT_EQ(engine.maxLag, engine.cepstrumSize / 2 - 1);
  EXPECT_EQ(engine.minLag, 0);
  EXPECT_NEAR(pitchInTheMiddleOfA4(), 69.0, kPitchTolerance);
}

TEST_F(OutOfRangeSettings, HighestNoteAbove127SearchesFromLagZeroAndNotesStayMidiNotes) {
  const auto messages = convertAndWrite(factoryWith({{kHighestNote, 300}}));
  EXPECT_EQ(engine.minLag, 0);
  for (int i = 0; i < engine.frameCount; ++i) {
    const double pitch = engine.frames[static_cast<std::size_t>(i)].pitch;
    EXPECT_TRUE(pitch == kNoPitch || (pitch >= 0.0 && pitch <= 127.0)) << i;
  }
  for (const ChannelMessage& m : ofType(messages, 0x90)) {
    EXPECT_LE(m.data1, 127);
  }
}

TEST_F(OutOfRangeSettings, TimeResolutionZeroOrNegativeUsesTheShortestFrame) {
  for (const std::int32_t ms : {0, -60, kInt32Min}) {
    AnalysisEngine fresh(notifier);
    SettingsRecord settings = factoryWith({{kTimeResolution, ms}});
    test::convertWithSettings(fresh, settings, wave, notifier);
    EXPECT_EQ(fresh.frameSize, 468) << ms;
    EXPECT_EQ(fresh.hopSize, 234) << ms;  // the factory's "Double" boost
    EXPECT_GT(fresh.frameCount, 0) << ms;
  }
  convertAndWrite(factoryWith({{kTimeResolution, kInt32Max}}));
  EXPECT_EQ(engine.frameSize, 3920);
}

TEST_F(OutOfRangeSettings, TimeResolutionBoostOutsideTheListKeepsTheHopTheEngineHad) {
  // The rule for an unknown mode; a fresh engine still has its first hop of 1024.
  convertAndWrite(factoryWith({{kTimeBoost, 7}, {kTimeResolution, 60}}));
  EXPECT_EQ(engine.frameSize, 2600);
  EXPECT_EQ(engine.hopSize, 1024);
  EXPECT_EQ(engine.frameCount, (48510 - 2600) / 1024 + 1);
}

TEST_F(OutOfRangeSettings, ChannelZeroSendsOnChannelOneAndChannel99OnSixteen) {
  for (const auto& [setting, channel] :
       std::vector<std::pair<std::int32_t, int>>{{0, 0}, {kInt32Min, 0}, {99, 15}, {17, 15}}) {
    const auto messages = convertAndWrite(factoryWith({{kChannel, setting}}));
    ASSERT_FALSE(messages.empty());
    for (const ChannelMessage& m : messages) {
      ASSERT_EQ(m.channel, channel) << setting;
    }
  }
}

TEST_F(OutOfRangeSettings, ControllerNumbersOutsideTheListAreHeldToItsEnds) {
  const auto messages =
      convertAndWrite(factoryWith({{kBrightnessController, -1}, {kVolumeController, 1000}}));
  bool volume = false;
  bool brightness = false;
  for (const ChannelMessage& m : ofType(messages, 0xB0)) {
    EXPECT_LE(m.data1, 127);
    EXPECT_LE(m.data2, 127);
    volume = volume || m.data1 == 127;
    brightness = brightness || m.data1 == 0;
  }
  EXPECT_TRUE(volume);
  EXPECT_TRUE(brightness);
}

TEST_F(OutOfRangeSettings, BpmChoiceOutsideTheListIsHeldTo20Or300Bpm) {
  convertAndWrite(factoryWith({{kBpmChoice, -5}}));
  EXPECT_EQ(test::tempoBytes(midi), (std::vector<std::uint8_t>{0x2D, 0xC6, 0xC0}));  // 20 BPM
  convertAndWrite(factoryWith({{kBpmChoice, 282}}));
  EXPECT_EQ(test::tempoBytes(midi), (std::vector<std::uint8_t>{0x03, 0x0D, 0x40}));  // 300 BPM
  convertAndWrite(factoryWith({{kBpmChoice, kInt32Max}}));
  EXPECT_EQ(test::tempoBytes(midi), (std::vector<std::uint8_t>{0x03, 0x0D, 0x40}));
}

TEST_F(OutOfRangeSettings, SensitivityZeroOrExtremeStillStartsEachNoteAfterSilence) {
  for (const std::int32_t sensitivity : {0, -1, kInt32Min, kInt32Max}) {
    const auto messages = convertAndWrite(factoryWith({{kSensitivity, sensitivity}}));
    const auto notes = ofType(messages, 0x90);
    ASSERT_GE(notes.size(), 2u) << sensitivity;
    EXPECT_EQ(notes.front().data1, 69) << sensitivity;
    EXPECT_EQ(notes.back().data1, 76) << sensitivity;
  }
}

TEST_F(OutOfRangeSettings, BendRangeZeroIsOneSemitoneAndNinetyNineIsTwelve) {
  for (const auto& [setting, range] :
       std::vector<std::pair<std::int32_t, int>>{{0, 1}, {-3, 1}, {99, 12}}) {
    const auto controllers = ofType(convertAndWrite(factoryWith({{kBendRange, setting}})), 0xB0);
    // Registered parameter 0 (101 0, 100 0) and then its data entry, controller 6.
    ASSERT_GE(controllers.size(), 3u);
    EXPECT_EQ(controllers[2].data1, 6);
    EXPECT_EQ(controllers[2].data2, range) << setting;
  }
}

TEST_F(OutOfRangeSettings, VoiceOutsideTheListIsHeldToItsEnds) {
  auto programs = ofType(convertAndWrite(factoryWith({{kVoice, 200}})), 0xC0);
  ASSERT_EQ(programs.size(), 1u);
  EXPECT_EQ(programs[0].data1, 127);
  programs = ofType(convertAndWrite(factoryWith({{kVoice, -1}})), 0xC0);
  ASSERT_EQ(programs.size(), 1u);
  EXPECT_EQ(programs[0].data1, 0);
  EXPECT_TRUE(ofType(convertAndWrite(factoryWith({{kVoice, 128}})), 0xC0).empty());
}

TEST_F(OutOfRangeSettings, BrightnessGainZeroGivesNoBrightnessAndHugeGivesTheMost) {
  convertAndWrite(factoryWith({{kBrightnessGain, 0}}));
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_EQ(engine.frames[static_cast<std::size_t>(i)].brightness, 0);
  }
  convertAndWrite(factoryWith({{kBrightnessGain, kInt32Max}}));
  EXPECT_EQ(engine.frames[22050 / 2 / static_cast<std::size_t>(engine.hopSize)].brightness, 127);
  convertAndWrite(factoryWith({{kBrightnessGain, -10}}));
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_EQ(engine.frames[static_cast<std::size_t>(i)].brightness, 0);
  }
}

TEST_F(OutOfRangeSettings, HarmonicThresholdHugeFindsNothingAndNegativeActsAsZero) {
  convertAndWrite(factoryWith({{kHarmonicThreshold, kInt32Max}}));
  EXPECT_EQ(pitchedRows(), 0);

  convertAndWrite(factoryWith({{kHarmonicThreshold, 0}}));
  std::vector<double> atZero;
  for (int i = 0; i < engine.frameCount; ++i) {
    atZero.push_back(engine.frames[static_cast<std::size_t>(i)].pitch);
  }
  convertAndWrite(factoryWith({{kHarmonicThreshold, -1000}}));
  for (int i = 0; i < engine.frameCount; ++i) {
    EXPECT_EQ(engine.frames[static_cast<std::size_t>(i)].pitch,
              atZero[static_cast<std::size_t>(i)]);
  }
}

TEST_F(OutOfRangeSettings, PitchResolutionBoostOtherThanOneWorksAsOff) {
  convertAndWrite(factoryWith({{kPitchBoost, 5}, {kTimeResolution, 60}}));
  EXPECT_EQ(engine.cepstrumDivisor, 2.0);
  EXPECT_EQ(engine.cepstrumSize, 1300);
  EXPECT_NEAR(pitchInTheMiddleOfA4(), 69.0, kPitchTolerance);
}

TEST_F(OutOfRangeSettings, SwitchesOtherThanZeroOrOneCountAsOn) {
  const auto messages = convertAndWrite(factoryWith(
      {{kSendBrightness, 7}, {kSendVolume, -1}, {kSendTempo, 2}, {kAttackDetection, 9}}));
  EXPECT_TRUE(engine.attackDetectorOn);
  EXPECT_EQ(test::tempoBytes(midi).size(), 3u);
  const auto controllers = ofType(messages, 0xB0);
  EXPECT_TRUE(std::any_of(controllers.begin(), controllers.end(),
                          [](const ChannelMessage& m) { return m.data1 == 7; }));
  EXPECT_TRUE(std::any_of(controllers.begin(), controllers.end(),
                          [](const ChannelMessage& m) { return m.data1 == 74; }));
}

TEST_F(OutOfRangeSettings, EveryFieldOutOfRangeAtOnceStillWritesAValidFile) {
  SettingsRecord settings;
  const std::int32_t values[] = {0,   -1, 2,   3, 9,   99, 127, -5, -1, -1,
                                 129, 0,  200, 5, 999, 0,  3,   0,  -7, 2};
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    settings.field(k) = values[k];
  }
  for (const ChannelMessage& m : convertAndWrite(settings)) {
    EXPECT_LE(m.data1, 127);
    EXPECT_LE(m.data2, 127);
    EXPECT_EQ(m.channel, 15);
  }
}

}  // namespace
}  // namespace melovantis
