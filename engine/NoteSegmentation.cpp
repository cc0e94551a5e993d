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
      const double into = row(i).pitch - row(i - 1).pitch;
      const double on = row(i + 1).pitch - row(i).pitch;
      // Still moving the same way by as much (a slow glide): not yet settled.
      const bool gliding = into * on > 0.0 && std::fabs(on) >= kGliding;
      return onSemitone(row(i + 1), semitone) && std::fabs(on) <= kSettled && !gliding;
    }
    return offCentre(row(i).pitch) <= kCentred;
  };

  // Where the note a row starts begins in the recording, in samples.
  const auto onsetOf = [&](int i) {
    return (static_cast<long long>(i) + 1) * hop + row(i).onsetOffset;
  };

  double key = 0.0;
  int noteStart = 0;
  bool struck = true;  // the note began with an attack, not with a change of pitch
  const auto startNote = [&](int i, bool byAttack) {
    key = semitoneOf(row(i).pitch);
    noteStart = i;
    struck = byAttack;
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
      startNote(i, true);
      continue;
    }
    const bool onKey = std::fabs(current.pitch - key) <= 0.5 + kHysteresis;
    const bool sameAttack = current.onsetRise != 0 && row(noteStart).onsetRise != 0 &&
                            std::llabs(onsetOf(i) - onsetOf(noteStart)) < hop / 2;
    // An attack of its own, not the note's own attack seen by a second frame.
    const bool ownAttack = current.attack != 0 && !sameAttack;
    if (current.attack != 0) {
      const bool swell = current.onsetRise != 0 && current.onsetRise < kAttackRise;
      if (onKey && (swell || sameAttack)) {
        current.attack = 0;
      } else if (onKey) {
        startNote(i, true);
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
    if (struck && !ownAttack && i - noteStart <= kLeadIn) {
      key = semitoneOf(current.pitch);  // the note's first frames read it off its key
      continue;
    }
    current.attack = 1;
    startNote(i, false);
  }
}

int NoteSegmentation::settleFirstFrames(std::vector<FrameRecord>& frames, int first, int end) {
  end = std::min(end, static_cast<int>(frames.size()));
  const auto row = [&frames](int i) -> FrameRecord& { return frames[static_cast<std::size_t>(i)]; };
  int changed = 0;
  for (int s = std::max(first, 0); s < end; ++s) {
    const bool struck = pitched(row(s)) && (row(s).attack != 0 || s == 0 || !pitched(row(s - 1)));
    if (!struck) {
      continue;
    }
    // The first frame of the note within its lead-in that settles: on its semitone with the next.
    for (int k = s + 1; k <= s + kLeadIn && k + 1 < end; ++k) {
      if (!pitched(row(k)) || row(k).attack != 0 || !pitched(row(k + 1)) ||
          row(k + 1).attack != 0) {
        break;
      }
      if (semitoneOf(row(k).pitch) != semitoneOf(row(k + 1).pitch)) {
        continue;
      }
      for (int j = s; j < k; ++j) {
        if (semitoneOf(row(j).pitch) != semitoneOf(row(k).pitch)) {
          row(j).pitch = row(k).pitch;
          ++changed;
        }
      }
      break;
    }
  }
  return changed;
}

int NoteSegmentation::holdBeforeOnsets(std::vector<FrameRecord>& frames, int first, int end,
                                       int hop) {
  end = std::min(end, static_cast<int>(frames.size()));
  const auto row = [&frames](int i) -> FrameRecord& { return frames[static_cast<std::size_t>(i)]; };
  int changed = 0;
  for (int s = std::max(first, 2); s < end; ++s) {
    FrameRecord& before = row(s - 1);
    const FrameRecord& earlier = row(s - 2);
    const FrameRecord& start = row(s);
    if (start.attack == 0 || before.attack != 0 || !pitched(start) || !pitched(before) ||
        !pitched(earlier)) {
      continue;
    }
    const long long onset = (static_cast<long long>(s) + 1) * hop + start.onsetOffset;
    const long long ownTime = static_cast<long long>(s) * hop;
    if (ownTime < onset && std::fabs(before.pitch - start.pitch) <= 1.0 &&
        std::fabs(before.pitch - earlier.pitch) > 1.0) {
      before.pitch = earlier.pitch;
      ++changed;
    }
  }
  return changed;
}

}  // namespace melovantis
