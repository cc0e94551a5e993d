// With notes placed at their attacks, the measured onsets refine the attack
// detector's note starts; rows without measured onsets keep the detector's.
#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"

namespace melovantis {
namespace {

struct Row {
  double pitch;
  int volume;
  int rise;  // FrameRecord::onsetRise: 0 = not measured
};

class AttackRefinement : public ::testing::Test {
 protected:
  std::vector<int> attacksOf(const std::vector<Row>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      FrameRecord& frame = engine.frames[i];
      frame = FrameRecord{};
      frame.pitch = rows[i].pitch;
      frame.volume = static_cast<std::uint8_t>(rows[i].volume);
      frame.brightness = 20;
      frame.onsetRise = static_cast<std::uint8_t>(rows[i].rise);
    }
    engine.frameCount = static_cast<int>(rows.size());
    engine.runAttackPass();
    std::vector<int> attacks;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      attacks.push_back(engine.frames[i].attack);
    }
    return attacks;
  }

  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  void SetUp() override { engine.attackSensitivity = 60; }  // threshold 41
};

TEST_F(AttackRefinement, SwellOnTheSameSemitoneWithoutARiseIsNoNewNote) {
  // The volume jump from 40 to 80 makes the detector start a note at row 4.
  const std::vector<Row> swell = {{-1000, 0, 10}, {60.0, 40, 40}, {60.1, 40, 10}, {60.0, 40, 10},
                                  {60.2, 80, 12}, {60.1, 80, 10}};
  EXPECT_EQ(attacksOf(swell), (std::vector<int>{1, 1, 0, 0, 0, 0}));
  // A rise to five times the level before is still a swell; to six, a note struck again.
  std::vector<Row> swelling = swell;
  swelling[4].rise = 59;
  EXPECT_EQ(attacksOf(swelling), (std::vector<int>{1, 1, 0, 0, 0, 0}));
  std::vector<Row> struck = swell;
  struck[4].rise = 60;
  EXPECT_EQ(attacksOf(struck), (std::vector<int>{1, 1, 0, 0, 1, 0}));
}

TEST_F(AttackRefinement, LegatoStepToAnotherSemitoneThatStaysStartsANote) {
  const std::vector<Row> step = {{-1000, 0, 10}, {60.0, 50, 30}, {60.1, 50, 10}, {61.0, 50, 10},
                                 {61.1, 50, 10}, {61.0, 50, 10}};
  EXPECT_EQ(attacksOf(step), (std::vector<int>{1, 1, 0, 1, 0, 0}));
}

TEST_F(AttackRefinement, PassingThroughASemitoneOrVibratoStartsNothing) {
  const std::vector<Row> glide = {{-1000, 0, 10}, {60.0, 50, 30}, {60.8, 50, 10}, {61.6, 50, 10},
                                  {62.4, 50, 10}};
  EXPECT_EQ(attacksOf(glide), (std::vector<int>{1, 1, 0, 0, 0}));
  const std::vector<Row> vibrato = {{-1000, 0, 10}, {60.0, 50, 30}, {60.4, 50, 10},
                                    {59.6, 50, 10}, {60.4, 50, 10}, {59.7, 50, 10}};
  EXPECT_EQ(attacksOf(vibrato), (std::vector<int>{1, 1, 0, 0, 0, 0}));
}

TEST_F(AttackRefinement, RowsWithoutMeasuredOnsetsKeepTheDetectorsStarts) {
  const std::vector<Row> swell = {{-1000, 0, 0}, {60.0, 40, 0}, {60.1, 40, 0}, {60.0, 40, 0},
                                  {60.2, 80, 0}, {61.1, 80, 0}, {61.0, 80, 0}};
  EXPECT_EQ(attacksOf(swell), (std::vector<int>{1, 1, 0, 0, 1, 0, 0}));
}

TEST_F(AttackRefinement, FramePlacementKeepsTheDetectorsStarts) {
  engine.onsetPlacement = OnsetPlacement::kFrame;
  const std::vector<Row> swell = {{-1000, 0, 10}, {60.0, 40, 40}, {60.1, 40, 10}, {60.0, 40, 10},
                                  {60.2, 80, 12}, {61.1, 80, 10}, {61.0, 80, 10}};
  EXPECT_EQ(attacksOf(swell), (std::vector<int>{1, 1, 0, 0, 1, 0, 0}));
}

}  // namespace
}  // namespace melovantis
