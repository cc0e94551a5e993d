// Whole-file conversion of a 60-second recording, as the Start! command runs it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "audio/WaveReader.h"
#include "bench/BenchSignals.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"

namespace melovantis {
namespace {

class QuietNotifier : public Notifier {
 public:
  void message(std::string_view, std::string_view, MessageIcon) override {}
  bool askYesNo(std::string_view, std::string_view, MessageIcon) override { return false; }
  [[noreturn]] void fatal(std::string_view) override { std::abort(); }
};

constexpr double kSeconds = 60.0;

const std::filesystem::path& recording() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "melovantis-bench-60s.wav";
    bench::writeWave(p, bench::melody(kSeconds));
    return p;
  }();
  return path;
}

void convertFile(benchmark::State& state) {
  QuietNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings{};
  settings.timeResolutionMs = static_cast<int>(state.range(0));
  settings.harmonicThreshold = 10;
  settings.timeResolutionBoost = static_cast<int>(state.range(1));
  settings.midiChannel = 1;
  settings.lowestNote = 36;
  settings.highestNote = 96;
  settings.pitchBendRange = 2;
  settings.bpmChoice = 101;
  settings.brightnessGain = 15;
  settings.attackDetection = 1;
  settings.attackSensitivity = 20;
  settings.volumeController = 7;
  applySettingsToEngine(settings, engine);

  WaveReader reader;
  ConversionObserver observer;
  ConversionDriver driver(engine, reader, notifier, observer);
  const std::filesystem::path& input = recording();  // made once, outside the timing
  for (auto _ : state) {
    ConversionSession session;
    session.wavePath = input;
    session.processed = true;
    session.drawingEnabled = false;
    session.autoSaveMidi = false;
    driver.startConversion(session);
    benchmark::DoNotOptimize(engine.frameCount);
  }
  state.counters["realtime_x"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

BENCHMARK(convertFile)
    ->ArgNames({"ms", "mode"})
    ->Args({60, 0})
    ->Args({20, 0})
    ->Args({60, 1})
    ->Args({60, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace melovantis
