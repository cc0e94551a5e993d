#include "engine/NoteSegmentation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace melovantis {

namespace {

bool pitched(const FrameRecord& row) { return row.pitch >= 0.0; }

double semitoneOf(double pitch) { return std::floor(pitch + 0.5); }

// How far a pitch lies from its own semitone.
double offCentre(double pitch) { return std::fabs(pitch - semitoneOf(pitch)); }

}  // namespace

void NoteSegmentation::apply(std::vector<FrameRecord>& frames, int count, int hop) {
  count = std::min(count, static_cast<int>(frames.size()));
  const auto row = [&frames](int i) -> FrameRecord& { return frames[static_cast<std::size_t>(i)]; };
  const auto onSemitone = [](const FrameRecord& r, double semitone) {
    return pitched(r) && std::fabs(r.pitch - semitone) <= 0.5;
  };
  // Whether the pitch at row i settles on its semitone (see the class comment).
  const auto settles = [&](int i) {
    const double semitone = semitoneOf(row(i).pitch);
    if (i + 1 < count && pitched(row(i + 1))) {
      return onSemitone(row(i + 1), semitone) &&
             std::fabs(row(i + 1).pitch - row(i).pitch) <= kSettled;
    }
    return offCentre(row(i).pitch) <= kCentred;
  };

  // Where the note a row starts begins in the recording, in samples.
  const auto onsetOf = [&](int i) {
    return (static_cast<long long>(i) + 1) * hop + row(i).onsetOffset;
  };

  double key = 0.0;
  int noteStart = 0;
  const auto startNote = [&](int i) {
    key = semitoneOf(row(i).pitch);
    noteStart = i;
  };
  for (int i = 0; i < count; ++i) {
    FrameRecord& current = row(i);
    if (!pitched(current)) {
      continue;
    }
    if (i == 0 || !pitched(row(i - 1))) {
      if (i > 0) {
        current.attack = 1;
      }
      startNote(i);
      continue;
    }
    const bool onKey = std::fabs(current.pitch - key) <= 0.5 + kHysteresis;
    if (current.attack != 0) {
      const bool swell = current.onsetRise != 0 && current.onsetRise < kAttackRise;
      const bool sameAttack = current.onsetRise != 0 && row(noteStart).onsetRise != 0 &&
                              std::llabs(onsetOf(i) - onsetOf(noteStart)) < hop / 2;
      if (onKey && (swell || sameAttack)) {
        current.attack = 0;
      } else if (onKey) {
        startNote(i);
        continue;
      } else {
        current.attack = 0;  // a change of pitch: where it settles decides
      }
    }
    if (onKey) {
      continue;
    }
    if (!settles(i)) {
      continue;  // a frame of a glide, or a moment off the note
    }
    if (i == noteStart + 1 && std::fabs(current.pitch - row(noteStart).pitch) < 1.5) {
      key = semitoneOf(current.pitch);  // the note's first frame read it off its key
      continue;
    }
    current.attack = 1;
    startNote(i);
  }
}

int NoteSegmentation::settleFirstFrames(std::vector<FrameRecord>& frames, int first, int end) {
  end = std::min(end, static_cast<int>(frames.size()) - 1);
  int changed = 0;
  for (int i = std::max(first, 0); i < end; ++i) {
    FrameRecord& start = frames[static_cast<std::size_t>(i)];
    const FrameRecord& next = frames[static_cast<std::size_t>(i + 1)];
    const bool starts = start.attack != 0 || i == 0 || !pitched(frames[static_cast<std::size_t>(i - 1)]);
    if (!starts || !pitched(start) || !pitched(next) || next.attack != 0 ||
        semitoneOf(start.pitch) == semitoneOf(next.pitch) ||
        std::fabs(start.pitch - next.pitch) > kFirstFrameOff) {
      continue;
    }
    start.pitch = next.pitch;
    ++changed;
  }
  return changed;
}

}  // namespace melovantis
