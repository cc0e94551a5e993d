// The analysis of a frame must not allocate: real-time mode runs it on the
// capture thread once per block.
#include <gtest/gtest.h>

#include "engine/AnalysisEngine.h"
#include "engine/EngineTestSupport.h"
#include "support/AllocationHooks.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

TEST(NoAllocation, AnalysingFramesAllocatesNothingOnceTheTableHasRoom) {
  test::RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  // With and without the pitch candidates a conversion placing notes at their attacks keeps.
  for (bool boost : {false, true}) {
    test::configure(engine, 2600, boost, 36, 96, 10, kHopIsHalfFrame);
    engine.trackPitch = boost;
    const auto signal = test::concat({test::harmonicTone(60, 10 * 2600), test::whiteNoise(2600),
                                      test::constant(2600)});
    engine.reserveRows(64);
    engine.attackDetectorOn = true;

    test::AllocationHooks::count = 0;
    test::AllocationHooks::counting = true;
    test::analyseSignal(engine, signal);
    engine.runAttackPass();
    test::AllocationHooks::counting = false;

    EXPECT_GT(engine.frameCount, 20);
    EXPECT_EQ(test::AllocationHooks::count.load(), 0) << "boost " << boost;
    if (boost) {
      EXPECT_GT(engine.candidates[5].count, 0);  // the tone's frames kept candidates
    }
  }
}

}  // namespace
}  // namespace melovantis
