#pragma once

#include <cstdint>

namespace melovantis {

class AnalysisEngine;

// The time base of a MIDI file written from the frame table: 480 ticks per
// quarter note at the chosen BPM, or 5000 ticks per second (SMPTE, 25 frames
// of 200 ticks) when the BPM is 0. A frame lasts hop x BPM x 480 / 2646000
// ticks (hop x 5000 / 44100 for SMPTE) times the tempo factor, kept as an
// exact fraction and truncated only when a tick is taken.
struct MidiTimeBase {
  // A ceiling on event times, far beyond any recording, so that nonsense settings cannot
  // overflow the arithmetic or produce an endless file.
  static constexpr std::int64_t kMaxTick = std::int64_t{1} << 40;

  int bpm = 0;  // 0: SMPTE time, no tempo event
  std::int64_t ticksPerSample = 0;  // numerator per sample of the recording: BPM x 480 or 5000
  std::int64_t hop = 0;             // samples per frame
  std::int64_t denominator = 1;     // samples per minute, or per second for SMPTE
  double tempoFactor = 1.0;

  static MidiTimeBase of(const AnalysisEngine& engine);

  // The whole tick at which `frames` frames have passed.
  std::int64_t tickAfterFrames(std::int64_t frames) const;

  // The whole tick of sample `sample` of the recording (before sample 0: tick 0).
  // For a whole number of hops it is the same tick as tickAfterFrames.
  std::int64_t tickAtSample(std::int64_t sample) const;
};

}  // namespace melovantis
