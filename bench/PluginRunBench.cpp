// The plugin's run() for one host period, at the rates and period sizes a DAW
// uses: the sample-rate conversion, the blocks it completes (analysis and
// MIDI) and the rest. A host gives run() a share of its period; this must
// stay far below the period's own length.
#include <benchmark/benchmark.h>
#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

#include "bench/BenchSignals.h"
#include "plugin/MelovantisPlugin.h"

namespace melovantis {
namespace {

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto& urids = *static_cast<std::map<std::string, LV2_URID>*>(handle);
  return urids.emplace(uri, static_cast<LV2_URID>(urids.size() + 1)).first->second;
}

void pluginRun(benchmark::State& state) {
  const double rate = static_cast<double>(state.range(0));
  const auto period = static_cast<std::uint32_t>(state.range(1));
  std::map<std::string, LV2_URID> urids;
  LV2_URID_Map map{&urids, mapUri};
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  plugin::MelovantisPlugin plugin(rate, features);

  // The bench melody is at 44.1 kHz; played at another rate it is only
  // higher or lower, which costs the analysis the same.
  std::vector<float> audio;
  for (const std::int16_t s : bench::melody(10.0)) {
    audio.push_back(s / 32768.0f);
  }
  std::vector<std::uint64_t> midi(4096);
  float latency = 0.0f;
  plugin.connectPort(plugin::kAudioIn, nullptr);
  plugin.connectPort(plugin::kMidiOut, midi.data());
  plugin.connectPort(plugin::kLatency, &latency);
  plugin.activate();
  std::size_t at = 0;
  for (auto _ : state) {
    if (at + period > audio.size()) {
      at = 0;
    }
    plugin.connectPort(plugin::kAudioIn, audio.data() + at);
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midi.data());
    sequence->atom.size = static_cast<std::uint32_t>(midi.size() * 8 - sizeof(LV2_Atom));
    plugin.run(period);
    at += period;
  }
  state.counters["period_ms"] = period * 1000.0 / rate;
}

BENCHMARK(pluginRun)
    ->ArgNames({"rate", "period"})
    ->Args({44100, 64})
    ->Args({48000, 64})
    ->Args({48000, 1001})
    ->Args({96000, 256})
    ->Args({96000, 8192})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace melovantis
