#include "conversion/LegatoStarts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "conversion/SampleSource.h"
#include "engine/AnalysisEngine.h"
#include "engine/NoteSegmentation.h"

namespace melovantis {

namespace {

bool pitched(const FrameRecord& row) { return row.pitch >= 0.0; }

double semitoneOf(double pitch) { return std::floor(pitch + 0.5); }

// How far back the last frame on the old note is looked for.
constexpr int kLookBack = 3;

}  // namespace

int LegatoStarts::place(AnalysisEngine& engine, SampleSource& source, int first, int end) {
  const long long n = engine.frameSize;
  const long long hop = engine.hopSize;
  end = std::min(end, static_cast<int>(engine.frames.size()));
  if (n <= 0 || hop <= 0 || first >= end) {
    return 0;
  }
  std::vector<std::int16_t> audio;
  int placed = 0;
  for (int s = std::max(first, 1); s < end; ++s) {
    FrameRecord& start = engine.frames[static_cast<std::size_t>(s)];
    const FrameRecord& before = engine.frames[static_cast<std::size_t>(s - 1)];
    if (start.attack == 0 || !pitched(start) || !pitched(before) ||
        start.onsetRise >= NoteSegmentation::kAttackRise) {
      continue;
    }
    // The last frame settled on the old note, up to kLookBack frames back (the
    // frames of a slow change read pitches between), and the new note's pitch
    // where it has settled.
    const auto pitchOf = [&engine](int i) { return engine.frames[static_cast<std::size_t>(i)].pitch; };
    const double newSemitone = semitoneOf(start.pitch);
    int old = s - 1;
    for (int j = s - 1; j >= std::max(1, s - kLookBack); --j) {
      if (!pitched(engine.frames[static_cast<std::size_t>(j - 1)])) {
        break;
      }
      if (semitoneOf(pitchOf(j)) != newSemitone && semitoneOf(pitchOf(j)) == semitoneOf(pitchOf(j - 1)) &&
          std::fabs(pitchOf(j) - pitchOf(j - 1)) <= NoteSegmentation::kSettled) {
        old = j;
        break;
      }
    }
    const double from = pitchOf(old);
    const bool nextSettled = s + 1 < end && pitched(engine.frames[static_cast<std::size_t>(s + 1)]) &&
                             semitoneOf(pitchOf(s + 1)) == newSemitone;
    const double to = nextSettled ? pitchOf(s + 1) : start.pitch;
    if (std::fabs(to - from) < 0.5) {
      continue;
    }
    // Window centres, a frame's length each, from the old frame's centre to the new one's.
    const long long centreOld = old * hop + n / 2;
    const long long centreNew = s * hop + n / 2;
    const int steps = kStepsPerHop * (s - old);
    const long long firstSample = centreOld - n / 2;
    const long long span = centreNew - centreOld + n;
    audio.resize(static_cast<std::size_t>(span));
    if (firstSample < 0 || !source.read(firstSample, audio.data(), static_cast<int>(span))) {
      continue;
    }
    double previousPreference = -std::numeric_limits<double>::infinity();
    double previousAt = static_cast<double>(centreOld);
    double crossing = static_cast<double>(centreNew);
    for (int k = 1; k < steps; ++k) {
      const long long centre = centreOld + (centreNew - centreOld) * k / steps;
      const double preference =
          engine.harmonicPreference(audio.data() + (centre - n / 2 - firstSample), from, to);
      if (preference > 0.0) {
        crossing = std::isfinite(previousPreference)
                       ? previousAt + (centre - previousAt) * (-previousPreference) /
                                          (preference - previousPreference)
                       : 0.5 * (previousAt + static_cast<double>(centre));
        break;
      }
      previousPreference = preference;
      previousAt = static_cast<double>(centre);
    }
    if (crossing == static_cast<double>(centreNew) && std::isfinite(previousPreference)) {
      crossing = 0.5 * (previousAt + static_cast<double>(centreNew));
    }
    const long long stamp = (static_cast<long long>(s) + 1) * hop;
    start.onsetOffset = static_cast<std::int32_t>(std::llround(crossing) - stamp);
    ++placed;
  }
  return placed;
}

}  // namespace melovantis
