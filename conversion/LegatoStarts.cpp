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

// Where the preference for the new pitch begins to rise: a tenth of its way up.
constexpr double kBeginning = 0.1;
// At a sudden change of pitch that point comes 0.42 of a window before the
// change, as the windows reaching into the new note show it (measured: 18.5 ms,
// within 1 ms, before a step of a harmonic tone, with the 44 ms windows of the
// factory settings).
constexpr double kBeginningLead = 0.42;

}  // namespace

int LegatoStarts::place(AnalysisEngine& analyser, AnalysisEngine& table, SampleSource& source,
                        int first, int end) {
  AnalysisEngine& engine = table;
  const long long n = engine.frameSize;
  const long long hop = engine.hopSize;
  const long long window = analyser.preferenceLength();
  // The rows read around a start may lie beyond `end`, in another core's range.
  const int rows = std::min(std::max(engine.frameCount, 0), static_cast<int>(engine.frames.size()));
  end = std::min(end, rows);
  if (n <= 0 || hop <= 0 || window <= 0 || first >= end) {
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
    const bool nextSettled = s + 1 < rows && pitched(engine.frames[static_cast<std::size_t>(s + 1)]) &&
                             semitoneOf(pitchOf(s + 1)) == newSemitone;
    const double to = nextSettled ? pitchOf(s + 1) : start.pitch;
    if (std::fabs(to - from) < 0.5) {
      continue;
    }
    // Window centres a quarter hop apart, from half a frame before the old frame's
    // centre to half a frame after the new one's.
    const long long step = std::max(hop / kStepsPerHop, 1LL);
    const long long centreOld = old * hop + n / 2;
    const long long centreNew = s * hop + n / 2;
    const long long firstCentre = std::max(centreOld - window / 2, window / 2);
    const long long lastCentre = centreNew + window / 2;
    const long long firstSample = firstCentre - window / 2;
    const long long span = lastCentre - firstCentre + window;
    audio.resize(static_cast<std::size_t>(span));
    if (!source.read(firstSample, audio.data(), static_cast<int>(span))) {
      continue;
    }
    double preference[64];
    double at[64];
    int count = 0;
    for (long long centre = firstCentre; centre <= lastCentre && count < 64; centre += step) {
      at[count] = static_cast<double>(centre);
      preference[count++] =
          analyser.harmonicPreference(audio.data() + (centre - window / 2 - firstSample), from, to);
    }
    // Where it turns to the new pitch, between the two frames' centres.
    int turn = -1;
    for (int k = 0; k < count; ++k) {
      if (at[k] > centreOld && preference[k] > 0.0) {
        turn = k;
        break;
      }
    }
    double crossing = 0.5 * (centreOld + centreNew);
    if (turn > 0) {
      const double a = preference[turn - 1];
      const double b = preference[turn];
      crossing = a < 0.0 ? at[turn - 1] + (at[turn] - at[turn - 1]) * (-a) / (b - a) : at[turn];
    }
    // The new pitch begins to show where the turn begins: the last point before
    // it below a tenth of the way from the lowest preference to the highest.
    if (turn > 0) {
      double low = preference[0];
      for (int k = 1; k < turn; ++k) {
        low = std::min(low, preference[k]);
      }
      double high = preference[turn];
      for (int k = turn; k < count; ++k) {
        high = std::max(high, preference[k]);
      }
      const double level = low + kBeginning * (high - low);
      int k = turn;
      while (k > 0 && preference[k - 1] >= level) {
        --k;
      }
      double beginning = at[k];
      if (k > 0) {
        beginning = at[k - 1] + (at[k] - at[k - 1]) * (level - preference[k - 1]) /
                                    (preference[k] - preference[k - 1]);
      }
      crossing = std::min(crossing, beginning + kBeginningLead * window);
    }
    const long long stamp = (static_cast<long long>(s) + 1) * hop;
    start.onsetOffset = static_cast<std::int32_t>(std::llround(crossing) - stamp);
    ++placed;
  }
  return placed;
}

}  // namespace melovantis
