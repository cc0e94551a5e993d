#include "documents/EngineSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "documents/FrameLengthTable.h"
#include "documents/NoteMarks.h"
#include "documents/SettingsFile.h"
#include "engine/AnalysisEngine.h"
#include "engine/EngineTestSupport.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// ---------------------------------------------------------------------------
// Frame lengths

TEST(FrameLengthTable, HoldsOneHundredNineAscendingLengthsFrom468To3920) {
  EXPECT_EQ(frameLengthTable.size(), 109u);
  EXPECT_EQ(frameLengthTable.front(), 468);
  EXPECT_EQ(frameLengthTable.back(), 3920);
  EXPECT_TRUE(std::is_sorted(frameLengthTable.begin(), frameLengthTable.end()));
  EXPECT_EQ(std::adjacent_find(frameLengthTable.begin(), frameLengthTable.end()),
            frameLengthTable.end());
}

TEST(FrameLengthTable, EveryLengthIsEvenAndMadeOfSmallPrimes) {
  for (const int length : frameLengthTable) {
    int rest = length;
    for (const int prime : {2, 3, 5, 7, 11, 13}) {
      while (rest % prime == 0) {
        rest /= prime;
      }
    }
    EXPECT_EQ(rest, 1) << length;
    EXPECT_EQ(length % 2, 0) << length;
  }
}

TEST(FrameLengthForMs, TakesTheLargestLengthStrictlyBelowTheTarget) {
  EXPECT_EQ(frameLengthForMs(20), 880);   // target 882, itself in the table
  EXPECT_EQ(frameLengthForMs(60), 2600);  // target 2646, itself in the table
  EXPECT_EQ(frameLengthForMs(90), 3920);  // target 3969
  EXPECT_EQ(frameLengthForMs(13), 550);   // target 573
  EXPECT_EQ(frameLengthForMs(30), 1320);  // target 1323
  EXPECT_EQ(frameLengthForMs(40), 1760);  // target 1764
}

TEST(FrameLengthForMs, GivesTheShortestLengthUpToTarget540) {
  EXPECT_EQ(frameLengthForMs(10), 468);  // target 441: nothing below
  EXPECT_EQ(frameLengthForMs(12), 468);  // target 529: only 468 below
  EXPECT_EQ(frameLengthForMs(0), 468);
  EXPECT_EQ(frameLengthForMs(-20), 468);
  EXPECT_EQ(frameLengthForMs(kInt32Min), 468);
}

TEST(FrameLengthForMs, GivesTheLongestLengthAbove3920) {
  EXPECT_EQ(frameLengthForMs(88), 3822);  // target 3880
  EXPECT_EQ(frameLengthForMs(89), 3920);  // target 3924
  EXPECT_EQ(frameLengthForMs(91), 3920);
  EXPECT_EQ(frameLengthForMs(1000), 3920);
  EXPECT_EQ(frameLengthForMs(kInt32Max), 3920);
}

// ---------------------------------------------------------------------------
// Keyboard marks

TEST(NoteMarkX, AddsTheOffsetInTheOctaveToOneHundredFortyPerOctave) {
  EXPECT_EQ(noteMarkX(0), 0);
  EXPECT_EQ(noteMarkX(4), 40);    // E
  EXPECT_EQ(noteMarkX(5), 60);    // F: no black key between E and F
  EXPECT_EQ(noteMarkX(11), 120);  // B
  EXPECT_EQ(noteMarkX(12), 140);
  EXPECT_EQ(noteMarkX(40), 460);
  EXPECT_EQ(noteMarkX(80), 930);
  EXPECT_EQ(noteMarkX(127), 1480);  // G
}

TEST(NoteMarkX, StaysDefinedForNotesOutsideTheMidiRange) {
  EXPECT_EQ(noteMarkX(-1), -20);  // B one octave below note 0
  EXPECT_EQ(noteMarkX(-12), -140);
  EXPECT_EQ(noteMarkX(kInt32Max), std::numeric_limits<int>::max());
  EXPECT_EQ(noteMarkX(kInt32Min), std::numeric_limits<int>::min());
}

// ---------------------------------------------------------------------------
// Applying settings to the engine

class ApplySettings : public ::testing::Test {
 protected:
  RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  SettingsRecord settings;
};

TEST_F(ApplySettings, TimeResolutionSetsTheFrameAndTheBoostSetsTheHop) {
  settings.timeResolutionMs = 20;
  settings.pitchResolutionBoost = 0;
  const int expectedHop[] = {880, 440, 300};
  for (int mode = 0; mode < 3; ++mode) {
    settings.timeResolutionBoost = mode;
    applySettingsToEngine(settings, engine);
    EXPECT_EQ(engine.frameSize, 880);
    EXPECT_EQ(engine.timeResolutionMode, mode);
    EXPECT_EQ(engine.hopSize, expectedHop[mode]) << "mode " << mode;
  }
}

TEST_F(ApplySettings, PitchResolutionDoublesTheCepstrum) {
  settings.timeResolutionMs = 20;
  settings.pitchResolutionBoost = 0;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.cepstrumSize, 440);
  EXPECT_EQ(engine.cepstrumDivisor, 2.0);
  EXPECT_FALSE(engine.padCepstrum);

  settings.pitchResolutionBoost = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.cepstrumSize, 880);
  EXPECT_EQ(engine.cepstrumDivisor, 1.0);
  EXPECT_TRUE(engine.padCepstrum);

  settings.timeResolutionMs = 90;
  settings.pitchResolutionBoost = 0;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.frameSize, 3920);
  EXPECT_EQ(engine.cepstrumSize, 1960);
  settings.pitchResolutionBoost = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.cepstrumSize, 3920);
}

TEST_F(ApplySettings, LargeFrameModeUses7840WhateverTheTimeResolution) {
  engine.largeFrameMode = true;
  settings.timeResolutionMs = 20;
  settings.timeResolutionBoost = 1;
  settings.pitchResolutionBoost = 0;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.frameSize, 7840);
  EXPECT_EQ(engine.cepstrumSize, 3920);
  EXPECT_EQ(engine.hopSize, 3920);

  engine.largeFrameMode = false;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.frameSize, 880);
}

TEST_F(ApplySettings, LagLimitsComeFromTheNoteRangeWithTheNewDivisor) {
  // Note 45 is 110 Hz and note 81 is 880 Hz: lags 44100 / (f x divisor).
  settings.timeResolutionMs = 60;
  settings.lowestNote = 45;
  settings.highestNote = 81;
  settings.pitchResolutionBoost = 0;
  ASSERT_EQ(engine.cepstrumDivisor, 1.0);  // as constructed: the old divisor must not be used
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.maxLag, 200);  // 200.45 truncated
  EXPECT_EQ(engine.minLag, 25);   // 25.06 truncated

  settings.pitchResolutionBoost = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.maxLag, 400);  // 400.9 truncated
  EXPECT_EQ(engine.minLag, 50);   // 50.1 truncated
}

TEST_F(ApplySettings, MaxLagIsCutToHalfTheCepstrumLessOne) {
  settings.timeResolutionMs = 20;
  settings.lowestNote = 0;  // lag 2695 at divisor 2
  settings.pitchResolutionBoost = 0;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.maxLag, 440 / 2 - 1);

  settings.pitchResolutionBoost = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.maxLag, 880 / 2 - 1);
}

TEST_F(ApplySettings, AbsurdNotesGiveLagsInsideTheSafeRange) {
  settings.timeResolutionMs = 60;
  settings.pitchResolutionBoost = 0;

  settings.highestNote = 500;  // a lag far below 1
  settings.lowestNote = -100000;  // an infinite lag
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.minLag, 0);
  EXPECT_EQ(engine.maxLag, 2600 / 2 / 2 - 1);

  settings.highestNote = kInt32Min;
  settings.lowestNote = kInt32Max;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.minLag, kMaxCepstralLag);
  EXPECT_EQ(engine.maxLag, 0);

  settings.highestNote = -400;  // a huge but finite lag
  settings.lowestNote = -300;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.minLag, kMaxCepstralLag);
  EXPECT_EQ(engine.maxLag, 2600 / 2 / 2 - 1);
}

TEST_F(ApplySettings, AbsurdNoteRangesStillAnalyseSafely) {
  // Long enough for any frame the settings can choose.
  const std::vector<std::int16_t> tone = test::harmonicTone(69.0, kLargeFrameLength);
  for (const auto& [low, high] : std::vector<std::pair<std::int32_t, std::int32_t>>{
           {-100000, 500}, {kInt32Max, kInt32Min}, {100, 20}, {kInt32Min, kInt32Max}}) {
    settings.lowestNote = low;
    settings.highestNote = high;
    applySettingsToEngine(settings, engine);
    std::copy(tone.begin(), tone.begin() + engine.frameSize, engine.samples.get());
    engine.frameCount = 0;
    engine.analyseBlock();
    const double pitch = engine.frames[0].pitch;
    EXPECT_TRUE(pitch == kNoPitch || (pitch >= 0.0 && pitch <= 127.0)) << low << ".." << high;
  }
}

TEST_F(ApplySettings, MidiSettingsAreCopied) {
  settings.midiChannel = 16;
  settings.gmVoice = 128;
  settings.sendTempo = 0;
  settings.sendVolume = 1;
  settings.sendBrightness = 0;
  settings.pitchBendRange = 7;
  settings.brightnessController = 1;
  settings.volumeController = 11;
  settings.bpmChoice = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.channel, 15);
  EXPECT_EQ(engine.midi.program, 128);
  EXPECT_FALSE(engine.midi.sendTempo);
  EXPECT_TRUE(engine.midi.sendVolume);
  EXPECT_FALSE(engine.midi.sendBrightness);
  EXPECT_EQ(engine.midi.pitchBendRange, 7);
  EXPECT_EQ(engine.midi.brightnessController, 1);
  EXPECT_EQ(engine.midi.volumeController, 11);
  EXPECT_EQ(engine.midi.bpm, 20);

  settings.midiChannel = 1;
  settings.gmVoice = 0;
  settings.sendTempo = 1;
  settings.sendVolume = 0;
  settings.sendBrightness = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.channel, 0);
  EXPECT_EQ(engine.midi.program, 0);
  EXPECT_TRUE(engine.midi.sendTempo);
  EXPECT_FALSE(engine.midi.sendVolume);
  EXPECT_TRUE(engine.midi.sendBrightness);
}

TEST_F(ApplySettings, BpmChoiceZeroMeansNoTempoAndOtherChoicesAdd19) {
  settings.bpmChoice = 0;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.bpm, 0);
  settings.bpmChoice = 101;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.bpm, 120);
  settings.bpmChoice = 281;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.bpm, 300);
}

TEST_F(ApplySettings, PitchBendRangeIsKeptWithinOneToTwelve) {
  // The bend units divide by the range; 0 would divide by zero.
  const std::vector<std::pair<std::int32_t, int>> cases = {
      {0, 1}, {-5, 1}, {kInt32Min, 1}, {1, 1}, {2, 2}, {12, 12}, {13, 12}, {kInt32Max, 12}};
  for (const auto& [range, expected] : cases) {
    settings.pitchBendRange = range;
    applySettingsToEngine(settings, engine);
    EXPECT_EQ(engine.midi.pitchBendRange, expected) << range;
  }
}

TEST_F(ApplySettings, ExtremeChannelAndTempoChoicesStayDefined) {
  settings.midiChannel = kInt32Min;
  settings.bpmChoice = kInt32Max;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.midi.channel, std::numeric_limits<int>::min());
  EXPECT_EQ(engine.midi.bpm, std::numeric_limits<int>::max());
}

TEST_F(ApplySettings, OtherOutOfRangeValuesArePassedOnAsTheyAre) {
  settings.harmonicThreshold = 900;
  settings.brightnessGain = -4;
  settings.attackSensitivity = 250;
  settings.gmVoice = 300;
  settings.midiChannel = 40;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.harmonicThreshold, 900);
  EXPECT_EQ(engine.brightnessGain, -4);
  EXPECT_EQ(engine.attackSensitivity, 250);
  EXPECT_EQ(engine.midi.program, 300);
  EXPECT_EQ(engine.midi.channel, 39);
}

TEST_F(ApplySettings, UnknownTimeResolutionModeKeepsTheHop) {
  settings.timeResolutionMs = 20;
  settings.timeResolutionBoost = 1;
  applySettingsToEngine(settings, engine);
  ASSERT_EQ(engine.hopSize, 440);
  settings.timeResolutionMs = 90;
  settings.timeResolutionBoost = 7;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.timeResolutionMode, 7);
  EXPECT_EQ(engine.frameSize, 3920);
  EXPECT_EQ(engine.hopSize, 440);
}

TEST_F(ApplySettings, AnalysisSettingsAreCopied) {
  settings.harmonicThreshold = 33;
  settings.brightnessGain = 42;
  settings.attackDetection = 0;
  settings.attackSensitivity = 77;
  applySettingsToEngine(settings, engine);
  EXPECT_EQ(engine.harmonicThreshold, 33);
  EXPECT_EQ(engine.brightnessGain, 42);
  EXPECT_FALSE(engine.attackDetectorOn);
  EXPECT_EQ(engine.attackSensitivity, 77);

  settings.attackDetection = 1;
  applySettingsToEngine(settings, engine);
  EXPECT_TRUE(engine.attackDetectorOn);
}

class RecordingHook : public SettingsApplyHook {
 public:
  void attackControlsChanged(bool detectorOn, int sensitivity) override {
    calls.push_back("attack " + std::to_string(detectorOn) + " " + std::to_string(sensitivity));
  }
  void settingsDisplayChanged() override { calls.push_back("display"); }
  std::vector<std::string> calls;
};

TEST_F(ApplySettings, HookHearsTheAttackControlsThenTheDisplay) {
  RecordingHook hook;
  settings.attackDetection = 1;
  settings.attackSensitivity = 35;
  applySettingsToEngine(settings, engine, &hook);
  settings.attackDetection = 0;
  settings.attackSensitivity = 90;
  applySettingsToEngine(settings, engine, &hook);
  EXPECT_EQ(hook.calls,
            (std::vector<std::string>{"attack 1 35", "display", "attack 0 90", "display"}));
}

TEST_F(ApplySettings, DefaultHookDoesNothing) {
  SettingsApplyHook hook;
  applySettingsToEngine(settings, engine, &hook);
  EXPECT_TRUE(notifier.entries.empty());
}

// ---------------------------------------------------------------------------
// Factory settings files. The limits sit a few points below what the files
// measured when they were chosen, so a change in the analysis that costs real
// accuracy fails here, while round-off differences do not.

std::filesystem::path factoryFile(const std::string& name) {
  return std::filesystem::path(MELOVANTIS_DATA_DIR) / "Private" / name;
}

struct ToneScore {
  double withinTenthSemitone = 0.0;  // share of all frames
  double pitched = 0.0;              // share of all frames
};

// Harmonic tones on every semitone and quarter tone from `fromNote` to `toNote`, one second each.
ToneScore scoreTones(AnalysisEngine& engine, int fromNote, int toNote) {
  int frames = 0;
  int good = 0;
  int pitched = 0;
  for (double note = fromNote; note <= toNote; note += 0.25) {
    for (const double pitch : test::pitchesOf(engine, test::harmonicTone(note, 44100))) {
      ++frames;
      pitched += pitch >= 0.0 ? 1 : 0;
      good += pitch >= 0.0 && std::fabs(pitch - note) < 0.1 ? 1 : 0;
    }
  }
  return {static_cast<double>(good) / frames, static_cast<double>(pitched) / frames};
}

int pitchedFrames(AnalysisEngine& engine, const std::vector<std::int16_t>& signal) {
  const std::vector<double> pitches = test::pitchesOf(engine, signal);
  return static_cast<int>(std::count_if(pitches.begin(), pitches.end(),
                                        [](double p) { return p >= 0.0; }));
}

int lineCount(const std::filesystem::path& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) {
    EXPECT_FALSE(line.empty()) << path;
    ++lines;
  }
  return lines;
}

TEST(FactorySettings, EachFileHoldsTwentyLines) {
  for (const char* name : {"default.set", "broad.set", "default_realtime.set"}) {
    EXPECT_EQ(lineCount(factoryFile(name)), 20) << name;
  }
}

TEST(FactorySettings, BuiltInRecordMatchesDefaultSet) {
  SettingsRecord fromFile;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    fromFile.field(k) = -12345;
  }
  ASSERT_TRUE(readSettingsFile(factoryFile("default.set"), fromFile));
  EXPECT_EQ(fromFile, SettingsRecord{});
}

TEST(FactorySettings, KeyboardMarksMatchTheirNotes) {
  for (const char* name : {"default.set", "broad.set", "default_realtime.set"}) {
    SettingsRecord settings;
    ASSERT_TRUE(readSettingsFile(factoryFile(name), settings)) << name;
    EXPECT_EQ(settings.lowestNoteMarkX, noteMarkX(settings.lowestNote)) << name;
    EXPECT_EQ(settings.highestNoteMarkX, noteMarkX(settings.highestNote)) << name;
  }
}

TEST(FactorySettings, DefaultSetTracksHarmonicTonesAndIgnoresSilenceAndNoise) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  ASSERT_TRUE(readSettingsFile(factoryFile("default.set"), settings));
  applySettingsToEngine(settings, engine);

  // Measured: 97% of frames within a tenth of a semitone over 48..84 and over 36..47.
  const ToneScore middle = scoreTones(engine, 48, 84);
  EXPECT_GE(middle.withinTenthSemitone, 0.94);
  EXPECT_GE(middle.pitched, 0.99);
  const ToneScore low = scoreTones(engine, 36, 47);
  EXPECT_GE(low.withinTenthSemitone, 0.93);

  EXPECT_EQ(pitchedFrames(engine, test::constant(5 * 44100)), 0);
  EXPECT_EQ(pitchedFrames(engine, test::whiteNoise(5 * 44100)), 0);
  EXPECT_EQ(pitchedFrames(engine, test::whiteNoise(5 * 44100, 2500.0, 5)), 0);
}

TEST(FactorySettings, RealtimeSetTracksMiddleNotesInShortFrames) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  ASSERT_TRUE(readSettingsFile(factoryFile("default_realtime.set"), settings));
  applySettingsToEngine(settings, engine);
  EXPECT_LE(engine.frameSize, 1400);  // about 30 ms of latency per block

  // Measured: 98% of frames within a tenth of a semitone over 48..84.
  const ToneScore middle = scoreTones(engine, 48, 84);
  EXPECT_GE(middle.withinTenthSemitone, 0.94);

  EXPECT_EQ(pitchedFrames(engine, test::constant(5 * 44100)), 0);
  EXPECT_EQ(pitchedFrames(engine, test::whiteNoise(5 * 44100)), 0);
}

TEST(FactorySettings, BroadSetPitchesNearlyEveryToneInTheLargeFrames) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  ASSERT_TRUE(readSettingsFile(factoryFile("broad.set"), settings));
  applySettingsToEngine(settings, engine);
  engine.largeFrameMode = true;
  applySettingsToEngine(settings, engine);
  ASSERT_EQ(engine.frameSize, kLargeFrameLength);

  // Measured: 97% of the frames of tones over 30..100 pitched.
  EXPECT_GE(scoreTones(engine, 30, 100).pitched, 0.94);
  EXPECT_EQ(pitchedFrames(engine, test::constant(5 * 44100)), 0);
  EXPECT_EQ(pitchedFrames(engine, test::whiteNoise(5 * 44100)), 0);
}

}  // namespace
}  // namespace melovantis
