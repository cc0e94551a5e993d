// The work the capture thread does for one live block, at every frame length
// the settings can choose: the analysis with the attack decision, the onset
// over this block and the one before, and the block's MIDI messages. It must
// stay far below the block's own length (and under a millisecond), or the
// input would wait for the analysis.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench/BenchSignals.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/LiveOnsets.h"
#include "engine/Notifier.h"
#include "midi/MidiEventGenerator.h"
#include "midi/MidiSink.h"

namespace melovantis {
namespace {

class NullSink : public MidiSink {
 public:
  void send(std::uint8_t, std::uint8_t, std::uint8_t, int) override {}
};

void liveBlock(benchmark::State& state) {
  SilentNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  settings.timeResolutionMs = static_cast<int>(state.range(0));
  settings.timeResolutionBoost = 0;
  settings.pitchResolutionBoost = static_cast<int>(state.range(1));
  applySettingsToEngine(settings, engine);
  engine.reserveRows(1);
  NullSink sink;
  MidiEventGenerator generator(engine, notifier);
  generator.beginMidiStream(sink);
  LiveOnsets onsets;
  const auto signal = bench::melody(10.0);
  const int n = engine.frameSize;
  std::size_t at = 0;
  double previous = -1.0;
  for (auto _ : state) {
    if (at + static_cast<std::size_t>(n) > signal.size()) {
      at = 0;
    }
    std::copy_n(signal.begin() + static_cast<long>(at), n, engine.samples.get());
    at += static_cast<std::size_t>(n);
    onsets.blockCaptured(engine);
    engine.frameCount = 0;
    engine.analyseBlock();
    onsets.rowAnalysed(engine, previous);
    previous = engine.frames[0].pitch;
    engine.frameCount = 1;
    generator.emitFrameEvents(0);
  }
  state.counters["frame"] = n;
}

// 20 ms to 90 ms frames (880 to 3920 samples), with and without the pitch boost.
BENCHMARK(liveBlock)
    ->ArgNames({"ms", "boost"})
    ->ArgsProduct({{20, 32, 60, 90}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace melovantis
