// Cost of analysing one frame at the frame lengths the settings produce.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "bench/BenchSignals.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"

namespace melovantis {
namespace {

void analyseBlock(benchmark::State& state) {
  const int frame = static_cast<int>(state.range(0));
  const bool boost = state.range(1) != 0;
  const bool candidates = state.range(2) != 0;
  SilentNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.cepstrumDivisor = boost ? 1.0 : 2.0;
  engine.padCepstrum = boost;
  engine.harmonicThreshold = 10;
  engine.maxLag = static_cast<int>(engine.lagForNote(36));
  engine.minLag = static_cast<int>(engine.lagForNote(96));
  engine.setFrameSize(frame);
  // A conversion placing notes at their attacks keeps each frame's pitch candidates too.
  engine.trackPitch = candidates;
  const auto signal = bench::melody(1.0);
  engine.frameCount = 0;
  engine.reserveRows(1);
  for (auto _ : state) {
    std::copy_n(signal.begin() + 4410, frame, engine.samples.get());
    engine.analyseBlock();
    benchmark::DoNotOptimize(engine.frames[0].pitch);
  }
  // Seconds of audio per second of work if frames follow each other.
  state.counters["realtime_x"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * frame / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(analyseBlock)
    ->ArgNames({"frame", "boost", "candidates"})
    ->ArgsProduct({{880, 2600, 3920, 7840}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace melovantis
