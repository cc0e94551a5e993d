#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "tools/EditModel.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::attacksOf;
using test::pitchesOf;
using test::setTable;

class EditModel : public ::testing::Test {
 protected:
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(EditModel, UndoTwiceLeavesTheStateOfTheSnapshot) {
  setTable(engine, {60.0, 61.0, 62.0});
  engine.tempoFactor = 0.5;
  takeUndoSnapshot(engine);

  engine.frames[1].pitch = 70.0;
  engine.frames[2].volume = 1;
  engine.tempoFactor = 2.0;
  undo(engine);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.0, 61.0, 62.0}));
  EXPECT_EQ(engine.frames[2].volume, 64);
  EXPECT_EQ(engine.tempoFactor, 0.5);

  engine.frames[0].pitch = kNoPitch;
  undo(engine);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.0, 61.0, 62.0}));
  EXPECT_EQ(engine.tempoFactor, 0.5);
}

TEST_F(EditModel, UndoAfterSingleEditsReturnsToTheLastSnapshotNotToTheEditBefore) {
  setTable(engine, {60.0, 61.0, 62.0, 63.0});
  takeUndoSnapshot(engine);
  ASSERT_TRUE(setPitchClass(engine, 1, 5));
  ASSERT_TRUE(repeatPreviousFrame(engine, 2));
  ASSERT_TRUE(eraseCurrentFrame(engine, 3));
  ASSERT_TRUE(setFineTuning(engine, 0, 50));
  undo(engine);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.0, 61.0, 62.0, 63.0}));
}

TEST_F(EditModel, EraseRecomputesEveryAttackFlagAndRepeatLeavesThemAlone) {
  std::vector<double> pitches(20, 60.0);
  setTable(engine, pitches);
  engine.runAttackPass();
  ASSERT_EQ(attacksOf(engine)[1], 1);

  // A stale flag: only a whole-table pass can clear it.
  engine.frames[15].attack = 1;
  ASSERT_TRUE(eraseCurrentFrame(engine, 5));
  EXPECT_EQ(engine.frames[5].pitch, kNoPitch);
  EXPECT_EQ(engine.frames[5].volume, 0);
  EXPECT_EQ(engine.frames[5].brightness, 0);
  std::vector<int> expected(20, 0);
  expected[0] = 1;
  expected[1] = 1;
  expected[6] = 1;  // pitch returns after the erased frame
  EXPECT_EQ(attacksOf(engine), expected);

  engine.frames[15].attack = 1;
  engine.frames[12].pitch = 72.0;
  engine.frames[12].volume = 100;
  const std::vector<int> before = attacksOf(engine);
  ASSERT_TRUE(repeatPreviousFrame(engine, 6));  // takes the erased frame's values
  ASSERT_TRUE(repeatPreviousFrame(engine, 13));
  EXPECT_EQ(engine.frames[6].pitch, kNoPitch);
  EXPECT_EQ(engine.frames[13].pitch, 72.0);
  EXPECT_EQ(engine.frames[13].volume, 100);
  EXPECT_EQ(attacksOf(engine), before);
}

TEST_F(EditModel, RepeatOnFrameZeroChangesNothing) {
  setTable(engine, {60.0, 61.0});
  EXPECT_FALSE(repeatPreviousFrame(engine, 0));
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.0, 61.0}));
}

TEST_F(EditModel, KeyboardClickKeepsTheOctaveOfAPitchedFrameAndDropsItsFraction) {
  setTable(engine, {62.4, kNoPitch}, 30, 40);
  ASSERT_TRUE(setPitchClass(engine, 0, 5));  // F
  EXPECT_EQ(engine.frames[0].pitch, 65.0);
  EXPECT_EQ(engine.frames[0].volume, 30);

  ASSERT_TRUE(setPitchClass(engine, 1, 9));  // an unpitched frame gets the class itself
  EXPECT_EQ(engine.frames[1].pitch, 9.0);
  EXPECT_EQ(engine.frames[1].volume, 127);
  EXPECT_EQ(engine.frames[1].brightness, 127);

  EXPECT_FALSE(setPitchClass(engine, 0, 12));
  EXPECT_EQ(engine.frames[0].pitch, 65.0);
}

TEST_F(EditModel, KeyboardPictureHitTestFindsWhiteAndBlackKeys) {
  constexpr int kWhiteRow = 120;
  constexpr int kBlackRow = 60;
  for (int x = 156; x <= 158; ++x) {
    EXPECT_EQ(pitchClassAt(x, kWhiteRow), 0) << x;  // the C of the next octave, as class 0
  }
  EXPECT_EQ(pitchClassAt(16, kWhiteRow), 0);
  EXPECT_EQ(pitchClassAt(36, kWhiteRow), 2);
  EXPECT_EQ(pitchClassAt(76, kWhiteRow), 5);
  EXPECT_EQ(pitchClassAt(155, kWhiteRow), 11);
  EXPECT_EQ(pitchClassAt(31, kBlackRow), 1);
  EXPECT_EQ(pitchClassAt(40, kBlackRow), 1);
  EXPECT_EQ(pitchClassAt(51, kBlackRow), 3);
  EXPECT_EQ(pitchClassAt(75, kBlackRow), 4);  // no black key between E and F
  EXPECT_EQ(pitchClassAt(91, kBlackRow), 6);
  EXPECT_EQ(pitchClassAt(131, kBlackRow), 10);
  EXPECT_EQ(pitchClassAt(40, 45 + 53), 1);  // the last row of the black keys
  EXPECT_EQ(pitchClassAt(40, 45 + 54), 2);
  EXPECT_EQ(pitchClassAt(15, kWhiteRow), -1);
  EXPECT_EQ(pitchClassAt(159, kWhiteRow), -1);
  EXPECT_EQ(pitchClassAt(100, 44), -1);
  EXPECT_EQ(pitchClassAt(100, 152), -1);
}

TEST_F(EditModel, SlidersChangeOneFieldOfAPitchedFrameOnly) {
  setTable(engine, {61.25, kNoPitch});
  ASSERT_TRUE(setOctave(engine, 0, 3));
  EXPECT_DOUBLE_EQ(engine.frames[0].pitch, 37.25);
  engine.frames[0].pitch = 61.25;
  ASSERT_TRUE(setFineTuning(engine, 0, 40));
  EXPECT_DOUBLE_EQ(engine.frames[0].pitch, 61.4);
  ASSERT_TRUE(setVolume(engine, 0, 127));
  ASSERT_TRUE(setBrightness(engine, 0, 3));
  EXPECT_EQ(engine.frames[0].volume, 127);
  EXPECT_EQ(engine.frames[0].brightness, 3);

  EXPECT_FALSE(setOctave(engine, 1, 3));
  EXPECT_FALSE(setFineTuning(engine, 1, 40));
  EXPECT_FALSE(setVolume(engine, 1, 1));
  EXPECT_FALSE(setBrightness(engine, 1, 1));
  EXPECT_EQ(engine.frames[1].pitch, kNoPitch);
  EXPECT_EQ(engine.frames[1].volume, 64);
}

TEST_F(EditModel, AnEmptyTableIsNeverWritten) {
  setTable(engine, {60.0, 61.0});
  engine.frameCount = 0;  // as after the settings wizard
  const FrameRecord before = engine.frames[0];
  EXPECT_FALSE(eraseCurrentFrame(engine, 0));
  EXPECT_FALSE(setPitchClass(engine, 0, 3));
  EXPECT_FALSE(setOctave(engine, 0, 3));
  EXPECT_FALSE(repeatPreviousFrame(engine, 1));
  EXPECT_EQ(engine.frames[0].pitch, before.pitch);
  EXPECT_EQ(engine.frames[0].volume, before.volume);
  EXPECT_EQ(engine.frames[1].pitch, 61.0);

  engine.frameCount = 2;
  EXPECT_FALSE(eraseCurrentFrame(engine, 2));
  EXPECT_FALSE(setPitchClass(engine, -1, 3));
}

}  // namespace
}  // namespace melovantis
