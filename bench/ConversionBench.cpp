// Whole-file conversion of a three-minute recording, as the Start! command runs it,
// and writing the MIDI file of a long frame table.
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
#include "midi/MidiFileWriter.h"

namespace melovantis {
namespace {

constexpr double kSeconds = 180.0;

const std::filesystem::path& recording() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "melovantis-bench-180s.wav";
    bench::writeWave(p, bench::melody(kSeconds));
    return p;
  }();
  return path;
}

void convertFile(benchmark::State& state) {
  SilentNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings{};
  settings.timeResolutionMs = static_cast<int>(state.range(0));
  settings.harmonicThreshold = 10;
  settings.timeResolutionBoost = static_cast<int>(state.range(1));
  const int threads = static_cast<int>(state.range(2));
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
  engine.onsetPlacement = state.range(3) != 0 ? OnsetPlacement::kAttack : OnsetPlacement::kFrame;

  WaveReader reader;
  ConversionObserver observer;
  ConversionDriver driver(engine, reader, notifier, observer);
  const std::filesystem::path& input = recording();  // made once, outside the timing
  for (auto _ : state) {
    ConversionSession session = ConversionSession::unattended(input);
    session.analysisThreads = threads;
    driver.startConversion(session);
    benchmark::DoNotOptimize(engine.frameCount);
  }
  state.counters["realtime_x"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSeconds, benchmark::Counter::kIsRate);
}

// On one core and on two, with the onsets measured (attack) or not (frame placement).
BENCHMARK(convertFile)
    ->ArgNames({"ms", "mode", "cores", "attack"})
    ->Args({60, 0, 1, 0})
    ->Args({60, 0, 1, 1})
    ->Args({60, 0, 2, 1})
    ->Args({60, 1, 1, 1})
    ->Args({60, 2, 1, 1})
    ->Args({20, 0, 1, 1})
    ->Args({90, 0, 1, 1})
    ->Args({90, 1, 1, 0})
    ->Args({90, 1, 1, 1})
    ->Args({90, 1, 2, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The MIDI file of three minutes at the finest hop (26460 frames of 300 samples).
void writeLongMidiFile(benchmark::State& state) {
  SilentNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.timeResolutionMode = kHopIs300;
  engine.setFrameSize(2600);
  const int rows = static_cast<int>(kSeconds * 44100 / 300);
  engine.reserveRows(rows);
  engine.frameCount = rows;
  for (int i = 0; i < rows; ++i) {
    FrameRecord& r = engine.frames[static_cast<std::size_t>(i)];
    const bool silent = i % 50 > 45;
    r.pitch = silent ? kNoPitch : 60.0 + (i / 50) % 12 + 0.3 * ((i % 7) - 3) / 3.0;
    r.volume = static_cast<std::uint8_t>(60 + i % 20);
    r.brightness = static_cast<std::uint8_t>(30 + i % 5);
    r.attack = i % 50 == 0 ? 1 : 0;
  }
  const auto path = std::filesystem::temp_directory_path() / "melovantis-bench.mid";
  for (auto _ : state) {
    benchmark::DoNotOptimize(writeMidiFile(engine, path, notifier));
  }
  std::filesystem::remove(path);
  state.counters["frames"] = rows;
}

BENCHMARK(writeLongMidiFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace melovantis
