#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "tools/PitchQuantize.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::pitchesOf;
using test::setTable;

class PitchQuantize : public ::testing::Test {
 protected:
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(PitchQuantize, HalfQuantizationHalvesTheDistanceToTheClosestSemitone) {
  setTable(engine, {60.3, kNoPitch, 61.8});
  quantizePitch(engine, 0.5);
  EXPECT_DOUBLE_EQ(engine.frames[0].pitch, 60.15);
  EXPECT_EQ(engine.frames[1].pitch, kNoPitch);
  EXPECT_DOUBLE_EQ(engine.frames[2].pitch, 61.9);
}

TEST_F(PitchQuantize, FullQuantizationRoundsHalvesUpAndNoneChangesNothing) {
  setTable(engine, {60.5, 60.49, 0.2});
  quantizePitch(engine, 0.0);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.5, 60.49, 0.2}));
  quantizePitch(engine, 1.0);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{61.0, 60.0, 0.0}));
  EXPECT_EQ(quantizeResultMessage(),
            (ToolMessage{"Quantization complete!", "Success!", MessageIcon::Information}));
}

TEST_F(PitchQuantize, InTuneWizardShiftsAFlatMelodyUpAndReportsTheCents) {
  setTable(engine, {59.8, 61.8, kNoPitch, 63.8, 66.8});
  const double shift = centerTune(engine);
  EXPECT_NEAR(shift, -0.2, 1e-12);  // one pass moves it, the second finds nothing left
  const std::vector<double> tuned = pitchesOf(engine);
  const std::vector<double> expected = {60.0, 62.0, kNoPitch, 64.0, 67.0};
  for (std::size_t i = 0; i < tuned.size(); ++i) {
    EXPECT_NEAR(tuned[i], expected[i], 1e-9) << i;  // 0.2 is not exact in binary
  }
  const ToolMessage message = centerTuneResultMessage(shift);
  EXPECT_EQ(message.text,
            "In-Tune Wizard finished!\n\n Your sequence was transposed by 20.0 cents.");
  EXPECT_EQ(message.caption, "Success!");
  EXPECT_EQ(message.icon, MessageIcon::Information);
}

TEST_F(PitchQuantize, InTuneWizardReportsTheShiftOfASharpMelodyAsNegative) {
  setTable(engine, {60.123, 67.123});
  EXPECT_EQ(centerTuneResultMessage(centerTune(engine)).text,
            "In-Tune Wizard finished!\n\n Your sequence was transposed by -12.3 cents.");
}

TEST_F(PitchQuantize, InTuneWizardLeavesATableOnSemitonesAsItWas) {
  setTable(engine, {60.0, 62.0, kNoPitch, 67.0});
  const double shift = centerTune(engine);
  EXPECT_EQ(shift, 0.0);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.0, 62.0, kNoPitch, 67.0}));
  const char* kAlreadyTuned =
      "In-Tune Wizard finished!\n\n Your sequence was already center-tuned. No changes were made.";
  EXPECT_EQ(centerTuneResultMessage(shift).text, kAlreadyTuned);

  setTable(engine, {kNoPitch, kNoPitch});
  EXPECT_EQ(centerTuneResultMessage(centerTune(engine)).text, kAlreadyTuned);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{kNoPitch, kNoPitch}));
}

}  // namespace
}  // namespace melovantis
