// The live mode measures each block's onset over the block before and its own,
// as a conversion of back-to-back frames does, and drops a start on the same
// semitone that the envelope does not show before the block's messages go out.
#include <gtest/gtest.h>

#include <vector>

#include "engine/AnalysisEngine.h"
#include "engine/EngineTestSupport.h"
#include "engine/LiveBlockAnalyser.h"
#include "engine/LiveOnsets.h"
#include "support/AllocationHooks.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

constexpr int kFrame = 2600;

struct LiveRow {
  double pitch;
  int attack;
  int onsetOffset;
  int onsetRise;
};

// Runs the blocks of `signal` through the engine as the capture thread does.
void runLive(AnalysisEngine& engine, LiveOnsets& live, const std::vector<std::int16_t>& signal,
             std::vector<LiveRow>& rows) {
  double previousPitch = kNoPitch;
  for (std::size_t start = 0; start + kFrame <= signal.size(); start += kFrame) {
    std::copy_n(signal.begin() + static_cast<long>(start), kFrame, engine.samples.get());
    engine.frameCount = 0;
    live.blockCaptured(engine);
    engine.analyseBlock();
    live.rowAnalysed(engine, previousPitch);
    const FrameRecord& row = engine.frames[0];
    rows.push_back({row.pitch, row.attack, row.onsetOffset, row.onsetRise});
    previousPitch = row.pitch;
  }
}

std::vector<LiveRow> runLive(AnalysisEngine& engine, LiveOnsets& live,
                             const std::vector<std::int16_t>& signal) {
  std::vector<LiveRow> rows;
  runLive(engine, live, signal, rows);
  return rows;
}

class LiveOnsetsTest : public ::testing::Test {
 protected:
  LiveOnsetsTest() {
    test::configure(engine, kFrame, true, 36, 96, 10, kHopIsFrame);
    engine.attackDetectorOn = true;
    engine.attackSensitivity = 90;
  }
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  LiveOnsets live;
};

TEST_F(LiveOnsetsTest, StruckNoteGetsTheOnsetOfItsStartWithinFiveMilliseconds) {
  // Late in a block, and early, where the rise before the start lies in the
  // block before, which the live mode keeps for this.
  for (const int into : {1700, 200}) {
    const int start = 4 * kFrame + into;
    const auto signal = test::noteWithAttack(64, 10 * kFrame, start, 0, 0.4);
    live.reset();
    const auto rows = runLive(engine, live, signal);
    // Block 4 holds the start; its time is its end, (4 + 1) frames.
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(rows[4].attack, 1) << into;
    EXPECT_NEAR(5 * kFrame + rows[4].onsetOffset, start, 220) << into;
    EXPECT_GE(rows[4].onsetRise, 60) << into;
  }
}

TEST_F(LiveOnsetsTest, SwellOnTheSameSemitoneStartsNoNewNote) {
  // A steady tone that doubles in level: the detector sees the energy jump,
  // the envelope (under six times) does not show an attack.
  auto signal = test::harmonicTone(60, 8 * kFrame, 6000);
  for (std::size_t i = 4 * kFrame + 1000; i < signal.size(); ++i) {
    signal[i] = static_cast<std::int16_t>(signal[i] * 3);
  }
  const auto rows = runLive(engine, live, signal);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].attack, 0) << i;
  }
  // With the frame placement the detector's start stands.
  engine.onsetPlacement = OnsetPlacement::kFrame;
  live.reset();
  const auto frameRows = runLive(engine, live, signal);
  int starts = 0;
  for (std::size_t i = 2; i < frameRows.size(); ++i) {
    starts += frameRows[i].attack;
    EXPECT_EQ(frameRows[i].onsetRise, 0) << i;
  }
  EXPECT_EQ(starts, 1);
}

TEST_F(LiveOnsetsTest, AStartOnANewSemitoneStandsWithoutARiseInTheEnvelope) {
  // Legato from C up to E, a little louder: the detector starts a note there,
  // and the envelope (less than twice the level) shows no attack. Only a
  // start on the same semitone needs the rise.
  const auto signal = test::concat(
      {test::harmonicTone(60, 4 * kFrame, 5000), test::harmonicTone(64, 4 * kFrame, 9000)});
  const auto rows = runLive(engine, live, signal);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_LT(rows[4].onsetRise, 60);
  EXPECT_EQ(rows[4].attack, 1);
  for (const int i : {1, 2, 3, 5, 6, 7}) {
    EXPECT_EQ(rows[static_cast<std::size_t>(i)].attack, 0) << i;
  }
}

TEST_F(LiveOnsetsTest, ARestartMeasuresItsBlocksAsAFreshStartDoes) {
  // A note struck early in the first block of a run; the run before the
  // restart ended on a tone whose block must not count as the one before.
  const auto next = test::noteWithAttack(64, 3 * kFrame, 1000, 0, 0.4);
  LiveOnsets fresh;
  const auto expected = runLive(engine, fresh, next);
  runLive(engine, live, test::harmonicTone(64, 4 * kFrame, 3000));
  live.reset();
  const auto rows = runLive(engine, live, next);
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].onsetOffset, expected[i].onsetOffset) << i;
    EXPECT_EQ(rows[i].onsetRise, expected[i].onsetRise) << i;
  }
  EXPECT_NEAR(kFrame + rows[0].onsetOffset, 1000, 220);
}

TEST_F(LiveOnsetsTest, TheBlockAnalyserJudgesASwellAgainstTheBlockJustBefore) {
  // C, then legato up to E at the same level (bent, no start), then E louder:
  // a swell of the note E, no new note, though C was two blocks before.
  const auto signal = test::concat({test::harmonicTone(60, 3 * kFrame, 5000),
                                    test::harmonicTone(64, kFrame, 5000),
                                    test::harmonicTone(64, 3 * kFrame, 9000)});
  LiveBlockAnalyser analyser(engine, kFrame);
  analyser.reset();
  const LiveAdjustments adjustments{1.0, 0.0, 0, true, 90};
  std::vector<int> attacks;
  for (std::size_t start = 0; start + kFrame <= signal.size(); start += kFrame) {
    attacks.push_back(analyser.analyse(signal.data() + start, adjustments).attack);
  }
  EXPECT_EQ(attacks, (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LiveOnsetsTest, BlocksAfterTheFirstMeasureAllocatingNothing) {
  const auto signal = test::noteWithAttack(64, 6 * kFrame, 2 * kFrame + 500, 0, 0.4);
  runLive(engine, live, std::vector<std::int16_t>(signal.begin(), signal.begin() + kFrame));
  std::vector<LiveRow> rows;
  rows.reserve(16);
  test::AllocationHooks::count = 0;
  test::AllocationHooks::counting = true;
  runLive(engine, live, signal, rows);
  test::AllocationHooks::counting = false;
  EXPECT_EQ(test::AllocationHooks::count.load(), 0);
  EXPECT_EQ(rows.size(), 6u);
}

}  // namespace
}  // namespace melovantis
