#include "engine/PitchSpikes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace melovantis {

namespace {

bool pitched(const FrameRecord& row) { return row.pitch >= 0.0; }

}  // namespace

int PitchSpikes::repair(std::vector<FrameRecord>& frames, int first, int end) {
  const int rows = static_cast<int>(frames.size());
  first = std::max(first, 1);
  end = std::min(end, rows - 1);
  int repaired = 0;
  for (int i = first; i < end; ++i) {
    const FrameRecord& before = frames[static_cast<std::size_t>(i - 1)];
    if (!pitched(before) || !pitched(frames[static_cast<std::size_t>(i)])) {
      continue;
    }
    for (int length = 1; length <= kMaxSpikeFrames && i + length < rows; ++length) {
      const FrameRecord& after = frames[static_cast<std::size_t>(i + length)];
      if (!pitched(after) || std::fabs(after.pitch - before.pitch) > kMaxNeighbourGap) {
        continue;
      }
      bool spike = true;
      for (int k = i; k < i + length && spike; ++k) {
        const FrameRecord& row = frames[static_cast<std::size_t>(k)];
        spike = pitched(row) && std::fabs(row.pitch - before.pitch) >= kMinJump &&
                std::fabs(row.pitch - after.pitch) >= kMinJump;
      }
      if (!spike) {
        continue;
      }
      for (int k = i; k < i + length; ++k) {
        const double along = static_cast<double>(k - i + 1) / (length + 1);
        frames[static_cast<std::size_t>(k)].pitch =
            before.pitch + (after.pitch - before.pitch) * along;
        ++repaired;
      }
      i += length - 1;
      break;
    }
  }
  return repaired;
}

int PitchSpikes::repairBlips(std::vector<FrameRecord>& frames, int first, int end) {
  first = std::max(first, 1);
  end = std::min(end, static_cast<int>(frames.size()) - 1);
  int repaired = 0;
  for (int i = first; i < end; ++i) {
    const FrameRecord& before = frames[static_cast<std::size_t>(i - 1)];
    const FrameRecord& after = frames[static_cast<std::size_t>(i + 1)];
    FrameRecord& row = frames[static_cast<std::size_t>(i)];
    if (!pitched(before) || !pitched(row) || !pitched(after) ||
        std::fabs(after.pitch - before.pitch) > kBlipNeighbourGap) {
      continue;
    }
    if (std::fabs(row.pitch - before.pitch) > kBlipJump &&
        std::fabs(row.pitch - after.pitch) > kBlipJump) {
      row.pitch = 0.5 * (before.pitch + after.pitch);
      ++repaired;
    }
  }
  return repaired;
}

}  // namespace melovantis
