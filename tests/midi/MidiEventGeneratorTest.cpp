#include "midi/MidiEventGenerator.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "midi/FrameRows.h"
#include "midi/RecordingMidiSink.h"
#include "support/RecordingNotifier.h"

namespace melovantis {
namespace {

using test::silent;
using test::voiced;

MidiMessage msg(int status, int data1, int data2) {
  return {static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1),
          static_cast<std::uint8_t>(data2), 3};
}

MidiMessage programChange(int status, int program) {
  return {static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(program), 0, 2};
}

// Pitch bend on channel 0, from the 14-bit value.
MidiMessage bend(int value) { return msg(0xE0, value & 0x7F, value >> 7); }

class MidiEventGeneratorTest : public ::testing::Test {
 protected:
  void setFrames(const std::vector<FrameRecord>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      engine.frames[i] = rows[i];
    }
    engine.frameCount = static_cast<int>(rows.size());
  }

  // The messages of the frames alone: opening messages dropped, final note-off kept.
  std::vector<MidiMessage> frameMessages(const std::vector<FrameRecord>& rows) {
    setFrames(rows);
    EXPECT_TRUE(generator.beginMidiStream(sink));
    sink.clear();
    for (int i = 0; i < engine.frameCount; ++i) {
      generator.emitFrameEvents(i);
    }
    generator.endMidiStream(true);
    return sink.messages;
  }

  std::vector<MidiMessage> openingMessages() {
    EXPECT_TRUE(generator.beginMidiStream(sink));
    return sink.messages;
  }

  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  RecordingMidiSink sink;
  MidiEventGenerator generator{engine, notifier};
};

// --- Opening messages -------------------------------------------------------

TEST_F(MidiEventGeneratorTest, OpeningSendsProgramThenBendSensitivityThenVibratoDepth) {
  engine.midi.channel = 3;
  engine.midi.program = 5;
  engine.midi.pitchBendRange = 7;
  const std::vector<MidiMessage> expected = {
      programChange(0xC3, 5), msg(0xB3, 101, 0), msg(0xB3, 100, 0), msg(0xB3, 6, 7),
      msg(0xB3, 38, 0),       msg(0xB3, 99, 1),  msg(0xB3, 98, 9),  msg(0xB3, 6, 64),
      msg(0xB3, 38, 0)};
  EXPECT_EQ(openingMessages(), expected);
  EXPECT_TRUE(sink.isOpen);
}

TEST_F(MidiEventGeneratorTest, Program128SendsNoProgramChange) {
  engine.midi.program = 128;
  const std::vector<MidiMessage> messages = openingMessages();
  ASSERT_EQ(messages.size(), 8u);
  EXPECT_EQ(messages.front(), msg(0xB0, 101, 0));
}

TEST_F(MidiEventGeneratorTest, OpeningControllerThatIsTheVolumeControllerFollowsItsCache) {
  engine.midi.volumeController = 38;  // both controller-38 messages carry 0: the second is cached
  const std::vector<MidiMessage> expected = {msg(0xB0, 101, 0), msg(0xB0, 100, 0),
                                             msg(0xB0, 6, 2),   msg(0xB0, 38, 0),
                                             msg(0xB0, 99, 1),  msg(0xB0, 98, 9),
                                             msg(0xB0, 6, 64)};
  EXPECT_EQ(openingMessages(), expected);
}

TEST_F(MidiEventGeneratorTest, OpeningControllerThatIsADisabledStreamIsNotSent) {
  engine.midi.brightnessController = 6;
  engine.midi.sendBrightness = false;
  const std::vector<MidiMessage> expected = {msg(0xB0, 101, 0), msg(0xB0, 100, 0),
                                             msg(0xB0, 38, 0),  msg(0xB0, 99, 1),
                                             msg(0xB0, 98, 9),  msg(0xB0, 38, 0)};
  EXPECT_EQ(openingMessages(), expected);
}

TEST_F(MidiEventGeneratorTest, DeviceThatCannotBeOpenedIsReportedAndGetsNoMessages) {
  sink.refuseOpen = true;
  setFrames({voiced(60.0, 80, 30, 1)});
  EXPECT_FALSE(generator.beginMidiStream(sink));
  generator.emitFrameEvents(0);
  generator.endMidiStream(true);

  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(sink.closeCount, 0);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Cannot use this MIDI device, please select another one.");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_FALSE(notifier.entries[0].question);
}

TEST_F(MidiEventGeneratorTest, EndClosesTheSinkOnlyWhenAskedAndLaterMessagesGoNowhere) {
  ASSERT_TRUE(generator.beginMidiStream(sink));
  generator.endMidiStream(false);
  EXPECT_EQ(sink.closeCount, 0);
  EXPECT_EQ(sink.messages.back(), msg(0x80, 0, 0));

  ASSERT_TRUE(generator.beginMidiStream(sink));
  generator.endMidiStream(true);
  EXPECT_EQ(sink.closeCount, 1);
  const std::size_t count = sink.messages.size();
  generator.emitMidiEvent(0x90, 60, 100, 3);
  EXPECT_EQ(sink.messages.size(), count);
}

TEST_F(MidiEventGeneratorTest, RestartingTheStreamForgetsEveryCache) {
  const std::vector<FrameRecord> tone = {voiced(60.25), voiced(60.25)};
  const std::vector<MidiMessage> first = frameMessages(tone);
  const std::vector<MidiMessage> second = frameMessages(tone);
  EXPECT_EQ(first, second);
  EXPECT_EQ(second.size(), 5u);  // bend, volume, brightness, note-on, final note-off
}

// --- Frame rule -------------------------------------------------------------

TEST_F(MidiEventGeneratorTest, SteadyToneGivesOneBendOneVolumeOneBrightnessAndOneNoteOn) {
  std::vector<FrameRecord> tone(20, voiced(60.25, 90, 40));
  // 0.25 semitone up: floor(0.25 / (2 / 8191) + 0.5) = 1024 steps above the centre.
  const std::vector<MidiMessage> expected = {bend(8192 + 1024), msg(0xB0, 7, 90),
                                             msg(0xB0, 74, 40), msg(0x90, 60, 100),
                                             msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(tone), expected);
}

TEST_F(MidiEventGeneratorTest, ChangingVolumeAndBrightnessAreSentOnlyWhenTheyChange) {
  const std::vector<FrameRecord> frames = {voiced(60.0, 80, 30), voiced(60.0, 81, 30),
                                           voiced(60.0, 81, 31), voiced(60.0, 81, 31)};
  const std::vector<MidiMessage> expected = {
      bend(8192),        msg(0xB0, 7, 80),  msg(0xB0, 74, 30), msg(0x90, 60, 100),
      msg(0xB0, 7, 81),  msg(0xB0, 74, 31), msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(frames), expected);
}

// The keys of the earliest files: the semitone at or below the pitch, bent up.
TEST_F(MidiEventGeneratorTest, FloorKeysGlideWiderThanTheBendRangeReStrikesOnTheSemitoneBelow) {
  engine.noteKeys = NoteKeys::kFloor;
  engine.midi.pitchBendRange = 2;
  const std::vector<FrameRecord> glide = {voiced(60.0), voiced(61.0), voiced(62.0),
                                          voiced(62.5), voiced(64.0), voiced(64.5)};
  const std::vector<MidiMessage> expected = {
      bend(8192),       msg(0xB0, 7, 80),  msg(0xB0, 74, 30), msg(0x90, 60, 100),
      bend(12288),      // +1 semitone: 4096 steps up
      bend(16383),      // +2 = the whole range, still inside it
      msg(0x80, 60, 0), bend(10240),       msg(0x90, 62, 100),  // 2.5 > 2: re-strike at 62
      bend(16383),      msg(0x80, 62, 0),  bend(10240),         msg(0x90, 64, 100),
      msg(0x80, 64, 0)};
  EXPECT_EQ(frameMessages(glide), expected);
}

// A note starts on the semitone nearest its pitch: 49 cents flat or sharp is still that
// key, bent down or up; exactly half way goes up. The floor keys bend up from below.
TEST_F(MidiEventGeneratorTest, NearestKeyIsWithinHalfASemitoneOfThePitch) {
  const std::vector<FrameRecord> notes = {voiced(59.51, 80, 30, 1), voiced(60.49, 80, 30, 1),
                                          voiced(64.5, 80, 30, 1)};
  const std::vector<MidiMessage> nearest = {
      msg(0x80, 0, 0),  bend(6185),         msg(0xB0, 7, 80),   msg(0xB0, 74, 30),
      msg(0x90, 60, 100),                   // -49 cents: 2007 steps of 2/8192 down
      msg(0x80, 60, 0), bend(10199),        msg(0x90, 60, 100),  // +49 cents: 2007 of 2/8191 up
      msg(0x80, 60, 0), bend(6144),         msg(0x90, 65, 100),  // +50 cents: the key above
      msg(0x80, 65, 0)};
  EXPECT_EQ(frameMessages(notes), nearest);

  engine.noteKeys = NoteKeys::kFloor;
  const std::vector<MidiMessage> floor = {
      msg(0x80, 0, 0),  bend(10281),        msg(0xB0, 7, 80),   msg(0xB0, 74, 30),
      msg(0x90, 59, 100),                   // +0.51 above 59
      msg(0x80, 59, 0), bend(10199),        msg(0x90, 60, 100),
      msg(0x80, 60, 0), bend(10240),        msg(0x90, 64, 100),
      msg(0x80, 64, 0)};
  EXPECT_EQ(frameMessages(notes), floor);

  // Above the top key the note stays on key 127, bent up from it.
  engine.noteKeys = NoteKeys::kNearest;
  const std::vector<MidiMessage> top = {msg(0x80, 0, 0),    bend(11468), msg(0xB0, 7, 80),
                                        msg(0xB0, 74, 30),  msg(0x90, 127, 100),  // +80 cents
                                        msg(0x80, 127, 0)};
  EXPECT_EQ(frameMessages({voiced(127.8, 80, 30, 1)}), top);
}

// Past the bend range from its key a note is struck again on the key nearest the new pitch,
// also when the glide falls.
TEST_F(MidiEventGeneratorTest, NearestKeyGlidePastTheBendRangeReStrikesOnTheNearestKey) {
  const std::vector<FrameRecord> glide = {voiced(60.0), voiced(61.0), voiced(62.0),
                                          voiced(62.6), voiced(64.4), voiced(65.2),
                                          voiced(63.45), voiced(62.9)};
  const std::vector<MidiMessage> expected = {
      bend(8192),       msg(0xB0, 7, 80),  msg(0xB0, 74, 30), msg(0x90, 60, 100),
      bend(12288),      bend(16383),       // +1, +2: inside the range
      msg(0x80, 60, 0), bend(6554),        msg(0x90, 63, 100),  // 2.6 > 2: 63, 40 cents down
      bend(13926),                         // 64.4 is 1.4 above 63: bent, not struck
      msg(0x80, 63, 0), bend(9011),        msg(0x90, 65, 100),  // 2.2 above 63: 65 and +20 cents
      bend(1843),                          // 63.45: 1.55 below 65, inside the range
      msg(0x80, 65, 0), bend(7782),        msg(0x90, 63, 100),  // 62.9: 2.1 below: 63, -10 cents
      msg(0x80, 63, 0)};
  EXPECT_EQ(frameMessages(glide), expected);
}

TEST_F(MidiEventGeneratorTest, FallOfExactlyTheRangeBendsToZeroWithoutReStrike) {
  const std::vector<FrameRecord> fall = {voiced(60.0), voiced(58.0)};
  const std::vector<MidiMessage> expected = {bend(8192), msg(0xB0, 7, 80), msg(0xB0, 74, 30),
                                             msg(0x90, 60, 100), bend(0), msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(fall), expected);
}

TEST_F(MidiEventGeneratorTest, FirstAttackAfterSilenceTurnsOffNoteZeroAndLaterOnesTheLastNote) {
  const std::vector<FrameRecord> frames = {silent(), voiced(60.0, 80, 30, 1), silent(),
                                           voiced(62.0, 80, 30, 1)};
  const std::vector<MidiMessage> expected = {
      msg(0x80, 0, 0),  bend(8192),       msg(0xB0, 7, 80), msg(0xB0, 74, 30),
      msg(0x90, 60, 100),
      msg(0x80, 60, 0),                    // the voice stops
      msg(0x80, 60, 0),  msg(0x90, 62, 100),  // the attack turns the last note off once more
      msg(0x80, 62, 0)};
  EXPECT_EQ(frameMessages(frames), expected);
}

TEST_F(MidiEventGeneratorTest, NoteAfterSilenceWithoutAttackSendsNoNoteOffFirst) {
  const std::vector<FrameRecord> frames = {silent(), silent(), voiced(60.0), silent(), silent()};
  const std::vector<MidiMessage> expected = {bend(8192), msg(0xB0, 7, 80), msg(0xB0, 74, 30),
                                             msg(0x90, 60, 100), msg(0x80, 60, 0),
                                             msg(0x80, 60, 0)};  // the last from the end
  EXPECT_EQ(frameMessages(frames), expected);
}

TEST_F(MidiEventGeneratorTest, AttackInsideANoteReStrikesItWhileTheDetectorIsOn) {
  engine.attackDetectorOn = true;
  const std::vector<FrameRecord> frames = {voiced(60.0, 80, 30, 1), voiced(60.0),
                                           voiced(60.0, 80, 30, 1), voiced(60.0)};
  const std::vector<MidiMessage> expected = {
      msg(0x80, 0, 0),  bend(8192), msg(0xB0, 7, 80), msg(0xB0, 74, 30), msg(0x90, 60, 100),
      msg(0x80, 60, 0), msg(0x90, 60, 100), msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(frames), expected);
}

TEST_F(MidiEventGeneratorTest, WithAttackDetectionOffRepeatedNotesMergeIntoOne) {
  engine.attackDetectorOn = false;
  const std::vector<FrameRecord> frames = {voiced(60.0, 80, 30, 1), voiced(60.0),
                                           voiced(60.0, 80, 30, 1), voiced(60.0)};
  const std::vector<MidiMessage> expected = {bend(8192), msg(0xB0, 7, 80), msg(0xB0, 74, 30),
                                             msg(0x90, 60, 100), msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(frames), expected);
}

TEST_F(MidiEventGeneratorTest, WithVolumeDisabledNoVolumeMessageIsEverSent) {
  engine.midi.sendVolume = false;
  ASSERT_TRUE(generator.beginMidiStream(sink));
  const std::vector<FrameRecord> frames = {voiced(60.0, 10), voiced(60.0, 90), silent(),
                                           voiced(64.0, 50, 30, 1)};
  setFrames(frames);
  for (int i = 0; i < 4; ++i) {
    generator.emitFrameEvents(i);
  }
  generator.endMidiStream(true);
  for (const MidiMessage& m : sink.messages) {
    EXPECT_FALSE(m.status == 0xB0 && m.data1 == 7) << "volume " << int(m.data2);
  }
}

TEST_F(MidiEventGeneratorTest, EqualControllerNumbersShareTheVolumeSwitch) {
  engine.midi.volumeController = 11;
  engine.midi.brightnessController = 11;
  engine.midi.sendVolume = false;
  engine.midi.sendBrightness = true;
  const std::vector<MidiMessage> messages =
      frameMessages({voiced(60.0, 80, 30), voiced(60.0, 90, 40)});
  for (const MidiMessage& m : messages) {
    EXPECT_NE(m.status, 0xB0);
  }
}

TEST_F(MidiEventGeneratorTest, EqualControllerNumbersShareTheVolumeCache) {
  engine.midi.volumeController = 11;
  engine.midi.brightnessController = 11;
  // Both streams write controller 11; each value differs from the one before it on that
  // number, so both go out every frame, and the brightness cache is never used.
  const std::vector<FrameRecord> frames = {voiced(60.0, 80, 30), voiced(60.0, 80, 30)};
  const std::vector<MidiMessage> expected = {
      bend(8192),        msg(0xB0, 11, 80), msg(0xB0, 11, 30), msg(0x90, 60, 100),
      msg(0xB0, 11, 80), msg(0xB0, 11, 30), msg(0x80, 60, 0)};
  EXPECT_EQ(frameMessages(frames), expected);
  EXPECT_EQ(generator.state().lastVolumeSent, 30);
  EXPECT_EQ(generator.state().lastBrightnessSent, -1);
}

TEST_F(MidiEventGeneratorTest, FrameOutsideTheTableProducesNothing) {
  setFrames({voiced(60.0)});
  ASSERT_TRUE(generator.beginMidiStream(sink));
  sink.clear();
  generator.emitFrameEvents(-1);
  generator.emitFrameEvents(static_cast<int>(engine.frames.size()));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(generator.state().previousPitch, -1.0);
}

// --- Pitch bend -------------------------------------------------------------

TEST_F(MidiEventGeneratorTest, BendValuesUseRangeOver8191UpAndRangeOver8192Down) {
  ASSERT_EQ(generator.bendRange(), 2);
  EXPECT_EQ(generator.bendValueFor(0.0), 8192);
  EXPECT_EQ(generator.bendValueFor(1.0), 8192 + 4096);  // 1 / (2 / 8191) = 4095.5, rounded up
  EXPECT_EQ(generator.bendValueFor(-1.0), 8192 - 4096);

  EXPECT_EQ(generator.bendValueFor(2.0), 16383);
  EXPECT_FALSE(generator.state().bendOutOfRange);
  EXPECT_EQ(generator.bendValueFor(-2.0), 0);
  EXPECT_FALSE(generator.state().bendOutOfRange);

  generator.bendValueFor(2.0001);
  EXPECT_TRUE(generator.state().bendOutOfRange);
  generator.bendValueFor(0.5);
  EXPECT_FALSE(generator.state().bendOutOfRange);
  generator.bendValueFor(-2.0001);
  EXPECT_TRUE(generator.state().bendOutOfRange);
}

TEST_F(MidiEventGeneratorTest, WholeRangeGivesTheEndsForEveryRange) {
  for (int range = 1; range <= 12; ++range) {
    engine.midi.pitchBendRange = range;
    ASSERT_TRUE(generator.beginMidiStream(sink));
    EXPECT_EQ(generator.bendValueFor(range), 16383) << range;
    EXPECT_FALSE(generator.state().bendOutOfRange) << range;
    EXPECT_EQ(generator.bendValueFor(-range), 0) << range;
    EXPECT_FALSE(generator.state().bendOutOfRange) << range;
  }
}

TEST_F(MidiEventGeneratorTest, BendRangeOfZeroOrLessIsUsedAsOneSemitone) {
  for (int range : {0, -3}) {
    engine.midi.pitchBendRange = range;
    sink.clear();
    ASSERT_TRUE(generator.beginMidiStream(sink));
    EXPECT_EQ(generator.bendRange(), 1);
    EXPECT_EQ(sink.messages[2], msg(0xB0, 6, 1)) << "the synthesizer is told the same range";
    EXPECT_EQ(generator.bendValueFor(1.0), 16383);
    EXPECT_EQ(generator.bendValueFor(-1.0), 0);
    EXPECT_EQ(generator.bendValueFor(0.0), 8192);
  }
}

TEST_F(MidiEventGeneratorTest, BendRangeAboveAnOctaveIsUsedAsTwelveSemitones) {
  engine.midi.pitchBendRange = 50;
  ASSERT_TRUE(generator.beginMidiStream(sink));
  EXPECT_EQ(generator.bendRange(), 12);
  EXPECT_EQ(sink.messages[2], msg(0xB0, 6, 12));
  generator.bendValueFor(13.0);
  EXPECT_TRUE(generator.state().bendOutOfRange);
}

TEST_F(MidiEventGeneratorTest, BendIsSentOnlyWhenItChangesAndClampedNotWrapped) {
  ASSERT_TRUE(generator.beginMidiStream(sink));
  sink.clear();
  generator.sendBendIfChanged(8192);
  generator.sendBendIfChanged(8192);
  generator.sendBendIfChanged(20000);  // masked halves would read as 3616
  generator.sendBendIfChanged(16383);  // the same bend as the clamped one before
  generator.sendBendIfChanged(-5);
  const std::vector<MidiMessage> expected = {bend(8192), msg(0xE0, 0x7F, 0x7F),
                                             msg(0xE0, 0, 0)};
  EXPECT_EQ(sink.messages, expected);
}

// --- Bytes stay MIDI bytes --------------------------------------------------

TEST_F(MidiEventGeneratorTest, OutOfRangeSettingsNeverProduceADataByteAbove127) {
  engine.midi.channel = 20;
  engine.midi.volumeController = 200;
  engine.midi.brightnessController = -5;
  engine.midi.program = 300;
  engine.midi.pitchBendRange = 99;
  const std::vector<FrameRecord> frames = {voiced(130.7, 255, 200, 1), voiced(131.0, 250, 255),
                                           silent(), voiced(0.0, 255, 255, 1)};
  setFrames(frames);
  ASSERT_TRUE(generator.beginMidiStream(sink));
  for (int i = 0; i < engine.frameCount; ++i) {
    generator.emitFrameEvents(i);
  }
  generator.endMidiStream(true);

  ASSERT_FALSE(sink.messages.empty());
  for (const MidiMessage& m : sink.messages) {
    EXPECT_EQ(m.status & 0x0F, 15) << "channel 20 is clamped to the last channel";
    EXPECT_GE(m.status, 0x80);
    EXPECT_LE(m.data1, 127);
    EXPECT_LE(m.data2, 127);
  }
  EXPECT_EQ(sink.messages[0], programChange(0xCF, 127));
  const auto has = [&](const MidiMessage& wanted) {
    for (const MidiMessage& m : sink.messages) {
      if (m == wanted) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(msg(0xBF, 127, 127))) << "volume 255 on controller 200: both clamped";
  EXPECT_TRUE(has(msg(0xBF, 0, 127))) << "brightness 200 on controller -5: both clamped";
  EXPECT_TRUE(has(msg(0x9F, 127, 100))) << "note 130 clamped to 127";
}

TEST_F(MidiEventGeneratorTest, NegativeChannelIsClampedToTheFirstChannel) {
  engine.midi.channel = -3;
  for (const MidiMessage& m : openingMessages()) {
    EXPECT_EQ(m.status, 0xB0);
  }
}

TEST_F(MidiEventGeneratorTest, OutputPrimitiveClampsDataBytesAndKeepsTheMessageType) {
  engine.midi.channel = 9;
  ASSERT_TRUE(generator.beginMidiStream(sink));
  sink.clear();
  generator.emitMidiEvent(0x90, 300, -4, 3);
  generator.emitMidiEvent(0xC0, 128, 99, 2);
  const std::vector<MidiMessage> expected = {msg(0x99, 127, 0), programChange(0xC9, 127)};
  EXPECT_EQ(sink.messages, expected);
}

TEST_F(MidiEventGeneratorTest, ControllerNumbersThatClampAlikeShareOneStream) {
  engine.midi.volumeController = 200;      // goes out as 127
  engine.midi.brightnessController = 127;  // the same wire number: the volume rule governs it
  engine.midi.sendVolume = false;
  const std::vector<MidiMessage> messages = frameMessages({voiced(60.0, 80, 30)});
  for (const MidiMessage& m : messages) {
    EXPECT_FALSE(m.status == 0xB0 && m.data1 == 127);
  }
}

}  // namespace
}  // namespace melovantis
