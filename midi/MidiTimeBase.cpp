#include "midi/MidiTimeBase.h"

#include <algorithm>
#include <cmath>

#include "engine/AnalysisEngine.h"

namespace melovantis {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kSamplesPerMinute = 44100 * 60;
constexpr int kSmpteTicksPerSecond = 5000;  // 25 frames per second, 200 ticks each
constexpr int kSampleRate = 44100;
constexpr int kMinBpm = 20;  // the settings' BPM list
constexpr int kMaxBpm = 300;

// Ticks for `units` x `perUnit` samples' worth of numerator; truncated, as every tick value.
std::int64_t ticksFor(long double product, const MidiTimeBase& base) {
  const long double ticks =
      product * base.tempoFactor / static_cast<long double>(base.denominator);
  if (!(ticks < static_cast<long double>(MidiTimeBase::kMaxTick))) {
    return MidiTimeBase::kMaxTick;
  }
  if (!(ticks > 0.0L)) {
    return 0;
  }
  return static_cast<std::int64_t>(ticks);
}

}  // namespace

MidiTimeBase MidiTimeBase::of(const AnalysisEngine& engine) {
  MidiTimeBase base;
  // No hop in this engine exceeds its sample buffer; the clamp only guards the arithmetic.
  base.hop = std::clamp(engine.hopSize, 0, AnalysisEngine::kSampleCapacity);
  const int bpm = engine.midi.bpm;
  base.bpm = bpm <= 0 ? 0 : std::clamp(bpm, kMinBpm, kMaxBpm);
  if (base.bpm != 0) {
    base.ticksPerSample = std::int64_t{base.bpm} * kTicksPerQuarter;
    base.denominator = kSamplesPerMinute;
  } else {
    base.ticksPerSample = kSmpteTicksPerSecond;
    base.denominator = kSampleRate;
  }
  // A factor that is not a positive number has no meaning as a speed: play at the speed
  // recorded rather than write times of NaN or running backwards.
  const double factor = engine.tempoFactor;
  base.tempoFactor = std::isfinite(factor) && factor > 0.0 ? factor : 1.0;
  return base;
}

std::int64_t MidiTimeBase::tickAfterFrames(std::int64_t frames) const {
  // frames x (hop x ticksPerSample): both factors exact in a long double.
  return ticksFor(static_cast<long double>(frames) * (hop * ticksPerSample), *this);
}

std::int64_t MidiTimeBase::tickAtSample(std::int64_t sample) const {
  // sample x ticksPerSample is the same integer as frames x (hop x ticksPerSample) when
  // the sample is a whole number of hops, so both give the same tick there.
  return ticksFor(static_cast<long double>(sample) * ticksPerSample, *this);
}

}  // namespace melovantis
