#include <gtest/gtest.h>

#include <cmath>

#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"

namespace melovantis {
namespace {

struct Row {
  double pitch;
  int volume;
  int brightness;
};

class AttackDetector : public ::testing::Test {
 protected:
  void load(const std::vector<Row>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      engine.frames[i].pitch = rows[i].pitch;
      engine.frames[i].volume = static_cast<std::uint8_t>(rows[i].volume);
      engine.frames[i].brightness = static_cast<std::uint8_t>(rows[i].brightness);
      engine.frames[i].attack = 7;  // the pass must overwrite whatever was there
    }
    engine.frameCount = static_cast<int>(rows.size());
  }
  std::vector<int> attacks() const {
    std::vector<int> out;
    for (int i = 0; i < engine.frameCount; ++i) {
      out.push_back(engine.frames[static_cast<std::size_t>(i)].attack);
    }
    return out;
  }

  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  // The detector on its own, as the frame placement uses it.
  void SetUp() override { engine.onsetPlacement = OnsetPlacement::kFrame; }
};

TEST_F(AttackDetector, RowZeroAlwaysStartsAndAPitchedRowOneAlwaysStarts) {
  engine.attackSensitivity = 1;
  load({{kNoPitch, 0, 0}, {60.0, 50, 20}, {60.0, 50, 20}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1, 0}));

  load({{60.0, 50, 20}, {60.0, 50, 20}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1}));
}

TEST_F(AttackDetector, EmptyTableStillMarksRowZero) {
  engine.frameCount = 0;
  engine.frames[0].attack = 0;
  engine.runAttackPass();
  EXPECT_EQ(engine.frames[0].attack, 1);
}

TEST_F(AttackDetector, HeldNoteWithDriftingPitchNeverRetriggers) {
  engine.attackSensitivity = 100;  // the most eager setting
  std::vector<Row> rows;
  for (int i = 0; i < 40; ++i) {
    rows.push_back({60.0 + 0.45 * ((i % 5) - 2) / 2.0, 80, 30});
  }
  load(rows);
  engine.runAttackPass();
  const auto a = attacks();
  for (int i = 2; i < 40; ++i) {
    EXPECT_EQ(a[static_cast<std::size_t>(i)], 0) << i;
  }
}

TEST_F(AttackDetector, RiseLastingSeveralFramesTriggersOnlyOnItsFirstFrame) {
  engine.attackSensitivity = 81;  // threshold 20
  // Energy climbs by 30 per frame (15 volume steps) for four frames.
  load({{60, 40, 0}, {60, 40, 0}, {60, 40, 0}, {60, 55, 0}, {60, 70, 0}, {60, 85, 0},
        {60, 100, 0}, {60, 100, 0}, {60, 115, 0}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1, 0, 1, 0, 0, 0, 0, 1}));
  // A score of exactly the threshold is not above it, but it is the frame below
  // the crossing: the next frame above the threshold starts a note.
  load({{60, 40, 0}, {60, 40, 0}, {60, 40, 0}, {60, 50, 0}, {60, 61, 0}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1, 0, 0, 1}));
}

TEST_F(AttackDetector, UnpitchedFramesNeverTriggerAndPitchAfterSilenceAlwaysDoes) {
  engine.attackSensitivity = 1;
  load({{60, 50, 0}, {60, 50, 0}, {kNoPitch, 127, 127}, {-3.5, 127, 0}, {62, 10, 0}, {62, 10, 0}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1, 0, 0, 1, 0}));
}

TEST_F(AttackDetector, PitchZeroCountsAsPitched) {
  load({{kNoPitch, 0, 0}, {kNoPitch, 0, 0}, {0.0, 30, 0}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 0, 1}));
}

TEST_F(AttackDetector, PitchJumpOfTenSemitonesTriggersAtHighestSensitivity) {
  engine.attackSensitivity = 100;  // threshold 1
  load({{60, 50, 0}, {60, 50, 0}, {60, 50, 0}, {70, 50, 0}, {70, 50, 0}, {75, 50, 0}});
  engine.runAttackPass();
  EXPECT_EQ(attacks(), (std::vector<int>{1, 1, 0, 1, 0, 0}));
}

TEST_F(AttackDetector, PerFrameDetectionRunsWithAnalysisWhenEnabled) {
  engine.attackDetectorOn = true;
  engine.frameCount = 0;
  std::vector<std::int16_t> silence(1024, 0);
  std::copy(silence.begin(), silence.end(), engine.samples.get());
  engine.analyseBlock();
  EXPECT_EQ(engine.frames[0].attack, 0);
  EXPECT_EQ(engine.prevPitch, -1000);
  EXPECT_EQ(engine.frameCount, 0);
}

TEST_F(AttackDetector, WildPitchValuesFromAFileStayDefined) {
  load({{60, 50, 0}, {1e300, 50, 0}, {std::nan(""), 50, 0}, {60, 50, 0}});
  engine.runAttackPass();
  EXPECT_EQ(engine.frames[0].attack, 1);
}

}  // namespace
}  // namespace melovantis
