#include <gtest/gtest.h>

#include <vector>

#include "engine/PitchSpikes.h"

namespace melovantis {
namespace {

std::vector<FrameRecord> rows(const std::vector<double>& pitches) {
  std::vector<FrameRecord> frames;
  for (double p : pitches) {
    FrameRecord row;
    row.pitch = p;
    row.volume = 60;
    frames.push_back(row);
  }
  return frames;
}

std::vector<double> pitchesOf(const std::vector<FrameRecord>& frames) {
  std::vector<double> out;
  for (const FrameRecord& row : frames) {
    out.push_back(row.pitch);
  }
  return out;
}

TEST(PitchSpikes, OneFrameOnAPartialTakesThePitchOfTheNoteAroundIt) {
  auto frames = rows({36.1, 36.1, 80.6, 36.3, 36.1});
  EXPECT_EQ(PitchSpikes::repair(frames, 0, 5), 1);
  EXPECT_DOUBLE_EQ(frames[2].pitch, 36.2);  // half way between its neighbours
  EXPECT_EQ(frames[2].volume, 60);
}

TEST(PitchSpikes, TwoFramesAreRepairedAlongTheLineBetweenTheNeighbours) {
  auto frames = rows({40.0, 92.4, 92.3, 40.3, 40.2});
  EXPECT_EQ(PitchSpikes::repair(frames, 0, 5), 2);
  EXPECT_NEAR(frames[1].pitch, 40.1, 1e-12);
  EXPECT_NEAR(frames[2].pitch, 40.2, 1e-12);
}

TEST(PitchSpikes, ThreeFramesAreANoteNotASpike) {
  const auto before = pitchesOf(rows({40.0, 52.0, 52.0, 52.0, 40.0}));
  auto frames = rows(before);
  EXPECT_EQ(PitchSpikes::repair(frames, 0, 5), 0);
  EXPECT_EQ(pitchesOf(frames), before);
}

TEST(PitchSpikes, SmallLeapsAndChangesOfNoteStay) {
  for (const std::vector<double>& line :
       {std::vector<double>{60, 60, 66, 60, 60},        // a leap of six semitones and back
        std::vector<double>{60, 60, 72, 72, 72},        // an octave up that stays
        std::vector<double>{60, 72, 62, 62, 62},        // neighbours two semitones apart
        std::vector<double>{60, 72, -1000.0, 60, 60}}) {  // silence after the jump
    auto frames = rows(line);
    EXPECT_EQ(PitchSpikes::repair(frames, 0, 5), 0);
    EXPECT_EQ(pitchesOf(frames), line);
  }
}

TEST(PitchSpikes, OnlyTheRowsAskedForAreRepairedAndTheEndsAreSafe) {
  auto frames = rows({80.0, 36.0, 80.0, 36.0, 36.0, 80.0, 36.0});
  EXPECT_EQ(PitchSpikes::repair(frames, 4, 7), 1);  // row 5 only
  EXPECT_EQ(frames[1].pitch, 36.0);
  EXPECT_EQ(frames[2].pitch, 80.0);
  EXPECT_DOUBLE_EQ(frames[5].pitch, 36.0);
  std::vector<FrameRecord> none;
  EXPECT_EQ(PitchSpikes::repair(none, 0, 10), 0);
  auto one = rows({90.0});
  EXPECT_EQ(PitchSpikes::repair(one, -3, 10), 0);
}

TEST(PitchSpikes, OneFrameOffALineThatGoesOnTakesItsNeighboursMean) {
  auto frames = rows({67.1, 67.0, 64.3, 67.2, 67.0, 66.8, 68.1, 67.0, -1000.0, 62.0, 60.0});
  // 64.3 is mended, and 68.1, 1.3 and 1.1 semitones from its neighbours.
  EXPECT_EQ(PitchSpikes::repairBlips(frames, 0, 11), 2);
  EXPECT_NEAR(frames[2].pitch, 67.1, 1e-12);
  EXPECT_NEAR(frames[6].pitch, 66.9, 1e-12);
  // Neighbours that disagree, silence beside it, and the table's ends stay.
  for (const std::vector<double>& line :
       {std::vector<double>{60.0, 62.0, 60.6, 60.0}, std::vector<double>{60.0, 62.0, 63.5},
        std::vector<double>{60.0, -1000.0, 62.0, 60.0}, std::vector<double>{64.0, 60.0, 60.0},
        std::vector<double>{60.0, 61.0, 60.0}}) {
    auto unchanged = rows(line);
    EXPECT_EQ(PitchSpikes::repairBlips(unchanged, 0, static_cast<int>(line.size())), 0);
    EXPECT_EQ(pitchesOf(unchanged), line);
  }
}

}  // namespace
}  // namespace melovantis
