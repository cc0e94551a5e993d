#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "tools/AutoCorrect.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::attacksOf;
using test::pitchesOf;
using test::setTable;

class AutoCorrect : public ::testing::Test {
 protected:
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(AutoCorrect, AFrameAnOctaveUpInsideANoteIsPulledMostOfTheWayBack) {
  std::vector<double> pitches(21, 60.0);
  pitches[10] = 72.0;
  setTable(engine, pitches);
  autoCorrect(engine, 3);

  // The values quoted to three decimals; half a unit of the last digit.
  constexpr double kQuoted = 0.0005;
  EXPECT_NEAR(engine.frames[10].pitch, 60.164, kQuoted);
  EXPECT_NEAR(engine.frames[9].pitch, 60.094, kQuoted);
  EXPECT_NEAR(engine.frames[11].pitch, 60.094, kQuoted);
  EXPECT_NEAR(engine.frames[8].pitch, 60.042, kQuoted);
  EXPECT_NEAR(engine.frames[12].pitch, 60.042, kQuoted);
  // At the window's edge the frame still counts, with a weight of 1e-5.
  EXPECT_NEAR(engine.frames[13].pitch, 60.0, 1e-5);
  EXPECT_GT(engine.frames[13].pitch, 60.0);
  EXPECT_EQ(engine.frames[6].pitch, 60.0);
  EXPECT_EQ(engine.frames[14].pitch, 60.0);
}

TEST_F(AutoCorrect, ASingleUnpitchedFrameInsideASteadyNoteStaysUnpitched) {
  std::vector<double> pitches(15, 60.0);
  pitches[7] = kNoPitch;
  setTable(engine, pitches);
  autoCorrect(engine, 3);
  EXPECT_EQ(pitchesOf(engine), pitches);
}

TEST_F(AutoCorrect, AGapInAModeratelySpreadNoteIsFilledFromItsNeighbours) {
  // Window of frame 10: 60 60 66 - 60 60 66, spread 8, one position missing.
  setTable(engine, {60, 60, 66, 60, 60, 66, 60, 60, 66, 60, kNoPitch, 60, 60, 66, 60, 60, 66});
  autoCorrect(engine, 3);
  EXPECT_GT(engine.frames[10].pitch, 60.0);
  EXPECT_LT(engine.frames[10].pitch, 61.0);  // the 66s weigh a quarter as much and sit further out
}

TEST_F(AutoCorrect, PositionsBeforeTheTableAreMissingSoTheFirstFrameIsSilenced) {
  // Frame 0 with W = 3: three positions before the table, spread 6.75.
  setTable(engine, {60, 60, 66, 60, 60, 60, 60, 60});
  autoCorrect(engine, 3);
  EXPECT_EQ(engine.frames[0].pitch, kNoPitch);
}

TEST_F(AutoCorrect, AWhollyUnpitchedWindowGivesNoPitch) {
  setTable(engine, std::vector<double>(9, kNoPitch));
  autoCorrect(engine, 2);
  EXPECT_EQ(pitchesOf(engine), std::vector<double>(9, kNoPitch));
}

TEST_F(AutoCorrect, AWildlyScatteredStretchIsSilencedEvenWherePitched) {
  setTable(engine, {40, 60, 40, 60, 40, 60, 40, 60, 40});  // spread 100 everywhere
  autoCorrect(engine, 2);
  EXPECT_EQ(pitchesOf(engine), std::vector<double>(9, kNoPitch));
}

TEST_F(AutoCorrect, RowsFromFrameCountOnAreNeitherReadNorWritten) {
  std::vector<double> pitches(12, 60.0);
  pitches[4] = 66.0;  // a moderate spread near the end would let row 12 count if it were read
  pitches[9] = 66.0;
  setTable(engine, pitches);
  engine.reserveRows(14);
  engine.frames[12].pitch = 72.0;  // left over from an earlier, longer table
  engine.frames[12].workPitch = 123.0;
  engine.frames[13].pitch = 72.0;

  AnalysisEngine reference(notifier);
  setTable(reference, pitches);
  reference.frames[12].pitch = kNoPitch;
  autoCorrect(reference, 3);

  autoCorrect(engine, 3);
  EXPECT_EQ(pitchesOf(engine), pitchesOf(reference));
  EXPECT_EQ(engine.frames[12].pitch, 72.0);
  EXPECT_EQ(engine.frames[12].workPitch, 123.0);
  EXPECT_EQ(engine.frames[13].pitch, 72.0);
}

TEST_F(AutoCorrect, TheCommandRecomputesAttacksOnlyWithTheDetectorOn) {
  std::vector<double> pitches(12, 60.0);
  pitches[6] = kNoPitch;
  setTable(engine, pitches);
  engine.frames[3].attack = 1;  // stale

  engine.attackDetectorOn = false;
  applyAutoCorrect(engine, 3);
  std::vector<int> untouched(12, 0);
  untouched[3] = 1;
  EXPECT_EQ(attacksOf(engine), untouched);

  engine.attackDetectorOn = true;
  applyAutoCorrect(engine, 3);
  std::vector<int> recomputed(12, 0);
  recomputed[0] = 1;
  recomputed[1] = 1;
  recomputed[7] = 1;
  EXPECT_EQ(attacksOf(engine), recomputed);
}

}  // namespace
}  // namespace melovantis
