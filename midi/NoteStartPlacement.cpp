#include "midi/NoteStartPlacement.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "engine/AnalysisEngine.h"
#include "midi/MidiTimeBase.h"

namespace melovantis {

namespace {

// The generator's own test of a sounding frame.
bool isVoiced(double pitch) { return pitch >= 0.0 && std::isfinite(pitch); }

}  // namespace

std::vector<NoteStartPlacement::FrameTime> NoteStartPlacement::plan(const AnalysisEngine& engine,
                                                                    const MidiTimeBase& base,
                                                                    int frameCount) {
  std::vector<FrameTime> times(static_cast<std::size_t>(frameCount));
  constexpr std::int64_t kNoStart = std::numeric_limits<std::int64_t>::max();
  std::vector<std::int64_t> startTick(static_cast<std::size_t>(frameCount), kNoStart);

  std::int64_t previousStart = -1;
  bool wasVoiced = false;
  for (int i = 0; i < frameCount; ++i) {
    const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    const bool voiced = isVoiced(row.pitch);
    const bool attack = engine.attackDetectorOn && row.attack != 0;
    const std::int64_t ownTick = base.tickAfterFrames(std::int64_t{i} + 1);
    times[static_cast<std::size_t>(i)].tick = ownTick;
    if (voiced && (attack || !wasVoiced)) {
      const std::int64_t stamp = (std::int64_t{i} + 1) * base.hop;
      const std::int64_t onset =
          row.onsetOffset == 0 ? ownTick : base.tickAtSample(stamp + row.onsetOffset);
      // Two notes never start on one tick: each start stays after the one before it.
      const std::int64_t placed = onset > previousStart ? onset : previousStart + 1;
      startTick[static_cast<std::size_t>(i)] = placed;
      times[static_cast<std::size_t>(i)].tick = placed;
      previousStart = placed;
    }
    wasVoiced = voiced;
  }

  // Walking back, the next start after each frame: frames at or past it are overtaken.
  std::int64_t nextStart = kNoStart;
  for (int i = frameCount - 1; i >= 0; --i) {
    FrameTime& time = times[static_cast<std::size_t>(i)];
    const std::int64_t ownStart = startTick[static_cast<std::size_t>(i)];
    if (ownStart != kNoStart) {
      nextStart = ownStart;
      continue;
    }
    if (time.tick >= nextStart) {
      time.tick = nextStart;
      time.superseded = true;
    }
  }
  return times;
}

}  // namespace melovantis
