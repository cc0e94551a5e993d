#include "engine/PitchPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace melovantis {

namespace {

bool pitched(const FrameRecord& row) { return row.pitch >= 0.0; }

// A row's candidates; a pitched row without any has its own reading alone.
PitchCandidates choicesOf(const FrameRecord& row, const PitchCandidates& found) {
  if (found.count > 0) {
    return found;
  }
  PitchCandidates own;
  own.pitch[0] = static_cast<float>(row.pitch);
  own.count = 1;
  return own;
}

// The cheapest line through rows first..end-1, all pitched; writes the pitches.
int chooseRun(std::vector<FrameRecord>& frames, const std::vector<PitchCandidates>& candidates,
              int first, int end, std::vector<std::uint8_t>& back) {
  constexpr int kMax = PitchCandidates::kMax;
  const int rows = end - first;
  back.assign(static_cast<std::size_t>(rows) * kMax, 0);
  double cost[kMax];
  double next[kMax];
  PitchCandidates previous = choicesOf(frames[static_cast<std::size_t>(first)],
                                       candidates[static_cast<std::size_t>(first)]);
  const auto clearest = [](const PitchCandidates& c) {
    return *std::max_element(c.strength, c.strength + c.count);
  };
  double best = clearest(previous);
  for (int k = 0; k < previous.count; ++k) {
    cost[k] = best - previous.strength[k];
  }
  for (int r = 1; r < rows; ++r) {
    const std::size_t i = static_cast<std::size_t>(first + r);
    const PitchCandidates current = choicesOf(frames[i], candidates[i]);
    best = clearest(current);
    for (int k = 0; k < current.count; ++k) {
      double cheapest = std::numeric_limits<double>::infinity();
      int from = 0;
      for (int j = 0; j < previous.count; ++j) {
        const double jump = std::min(std::fabs(double{current.pitch[k]} - previous.pitch[j]),
                                     PitchPath::kLargestJump);
        const double total = cost[j] + PitchPath::kJumpCost * jump;
        if (total < cheapest) {
          cheapest = total;
          from = j;
        }
      }
      next[k] = cheapest + (best - current.strength[k]);
      back[static_cast<std::size_t>(r) * kMax + static_cast<std::size_t>(k)] =
          static_cast<std::uint8_t>(from);
    }
    std::copy(next, next + current.count, cost);
    previous = current;
  }

  int k = static_cast<int>(std::min_element(cost, cost + previous.count) - cost);
  int changed = 0;
  for (int r = rows - 1; r >= 0; --r) {
    const std::size_t i = static_cast<std::size_t>(first + r);
    FrameRecord& row = frames[i];
    const double chosen = choicesOf(row, candidates[i]).pitch[k];
    if (std::fabs(chosen - row.pitch) >= PitchPath::kOwnReading) {
      row.pitch = chosen;
      ++changed;
    }
    k = back[static_cast<std::size_t>(r) * kMax + static_cast<std::size_t>(k)];
  }
  return changed;
}

}  // namespace

int PitchPath::choose(std::vector<FrameRecord>& frames,
                      const std::vector<PitchCandidates>& candidates, int first, int end) {
  end = std::min({end, static_cast<int>(frames.size()), static_cast<int>(candidates.size())});
  first = std::max(first, 0);
  std::vector<std::uint8_t> back;
  int changed = 0;
  for (int i = first; i < end;) {
    if (!pitched(frames[static_cast<std::size_t>(i)])) {
      ++i;
      continue;
    }
    int runEnd = i;
    while (runEnd < end && pitched(frames[static_cast<std::size_t>(runEnd)])) {
      ++runEnd;
    }
    changed += chooseRun(frames, candidates, i, runEnd, back);
    i = runEnd;
  }
  return changed;
}

}  // namespace melovantis
