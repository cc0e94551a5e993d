// The LV2 plugin as a host sees it: found by its URI, its ports, its presets,
// and the MIDI it writes for a melody at 44.1 and 48 kHz, in blocks of any
// size, compared with what the live mode sends for the same sound.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "Lv2TestHost.h"
#include "PluginTestSupport.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsFile.h"
#include "engine/AnalysisEngine.h"
#include "engine/LiveBlockAnalyser.h"
#include "midi/MidiEventGenerator.h"
#include "midi/RecordingMidiSink.h"
#include "plugin/PluginPorts.h"
#include "support/AllocationHooks.h"
#include "support/RecordingNotifier.h"

namespace melovantis::test {
namespace {

using plugin::kControlPorts;
using plugin::kPluginUri;

constexpr double kSeconds = 3.7;
constexpr int kBlock = 1372;  // samples of the factory 32 ms frame

const std::filesystem::path kData = MELOVANTIS_DATA_DIR;

SettingsRecord factoryRealtime() {
  SettingsRecord record;
  EXPECT_TRUE(readSettingsFile(kData / "Private" / "default_realtime.set", record));
  return record;
}

std::vector<TimedMessage> messages(const Lv2TestHost& host) {
  std::vector<TimedMessage> out;
  for (const PluginMidiEvent& e : host.events()) {
    out.push_back({e.frame, e.bytes});
  }
  return out;
}

// The live mode's messages for the same samples: what its capture thread
// does for each block and its session sends, block after block from the
// first sample, without the thread (which skips blocks to stay current when
// a busy machine holds it up) and into a recording device.
std::vector<std::vector<std::uint8_t>> liveModeMessages(std::vector<std::int16_t> samples) {
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  applySettingsToEngine(factoryRealtime(), engine);
  LiveBlockAnalyser analyser(engine);
  MidiEventGenerator generator(engine, notifier);
  RecordingMidiSink device;
  EXPECT_TRUE(generator.beginMidiStream(device));
  samples.resize(samples.size() + 22050, 0);  // the half second of silence the plugin hears
  for (std::size_t at = 0; at + kBlock <= samples.size(); at += kBlock) {
    analyser.analyse(samples.data() + at, LiveAdjustments{1.0, 0.0, 0, true, 80});
    generator.emitFrameEvents(0);
  }
  generator.endMidiStream(true);
  std::vector<std::vector<std::uint8_t>> out;
  for (const MidiMessage& m : device.messages) {
    out.push_back(m.length == 2 ? std::vector<std::uint8_t>{m.status, m.data1}
                                : std::vector<std::uint8_t>{m.status, m.data1, m.data2});
  }
  return out;
}

// Block sizes that change every call, 1 to 4096 frames, the same every run.
std::uint32_t changingBlock(int call) {
  std::uint32_t x = static_cast<std::uint32_t>(call) * 2654435761u + 12345u;
  x ^= x >> 13;
  return 1 + (x % 4096u) / (call % 3 == 0 ? 1 : 7);
}

TEST(PluginHost, CountsTheMallocsAndNewsOfItsOwnThreadOnly) {
  const auto counted = [](const std::function<void()>& work) {
    const long before = AllocationHooks::count.load();
    AllocationHooks::countingOnThisThread = true;
    work();
    AllocationHooks::countingOnThisThread = false;
    return AllocationHooks::count.load() - before;
  };
  // Through volatile pointers, which the compiler may not optimise away.
  EXPECT_GE(counted([] {
              void* volatile memory = std::malloc(16);
              std::free(memory);
            }),
            1);
  EXPECT_GE(counted([] {
              int* volatile numbers = new int[16];
              delete[] numbers;
            }),
            1);
  // Another thread's allocation while this one counts (the thread made and
  // joined outside, as the thread itself allocates).
  std::atomic<int> step{0};
  std::thread other([&step] {
    while (step.load() == 0) {
    }
    void* volatile memory = std::malloc(16);
    std::free(memory);
    step = 2;
  });
  EXPECT_EQ(counted([&step] {
              step = 1;
              while (step.load() != 2) {
              }
            }),
            0);
  other.join();
}

TEST(PluginBundle, IsFoundByItsUriWithTheAudioInputMidiOutputLatencyAndControlsItNames) {
  Lv2TestHost host(kPluginUri, 48000.0);
  ASSERT_TRUE(host.ok()) << "LV2_PATH=" << (std::getenv("LV2_PATH") ? std::getenv("LV2_PATH") : "");
  const LilvPlugin* p = host.plugin();
  LilvWorld* world = host.world();
  ASSERT_EQ(lilv_plugin_get_num_ports(p), plugin::kPortCount);
  const auto is = [&](std::uint32_t index, const char* uri) {
    LilvNode* node = lilv_new_uri(world, uri);
    const bool yes = lilv_port_is_a(p, lilv_plugin_get_port_by_index(p, index), node);
    lilv_node_free(node);
    return yes;
  };
  EXPECT_TRUE(is(plugin::kAudioIn, LV2_CORE__AudioPort));
  EXPECT_TRUE(is(plugin::kAudioIn, LV2_CORE__InputPort));
  EXPECT_TRUE(is(plugin::kMidiOut, LV2_ATOM__AtomPort));
  EXPECT_TRUE(is(plugin::kMidiOut, LV2_CORE__OutputPort));
  LilvNode* midiEvent = lilv_new_uri(world, LV2_MIDI__MidiEvent);
  EXPECT_TRUE(lilv_port_supports_event(p, lilv_plugin_get_port_by_index(p, plugin::kMidiOut),
                                       midiEvent));
  lilv_node_free(midiEvent);
  EXPECT_TRUE(lilv_plugin_has_latency(p));
  EXPECT_EQ(lilv_plugin_get_latency_port_index(p), plugin::kLatency);

  // Every control as the plugin reads it, its factory value that of default_realtime.set.
  const SettingsRecord factory = factoryRealtime();
  std::vector<float> minimum(plugin::kPortCount), maximum(plugin::kPortCount),
      defaults(plugin::kPortCount);
  lilv_plugin_get_port_ranges_float(p, minimum.data(), maximum.data(), defaults.data());
  for (const plugin::ControlPort& c : kControlPorts) {
    EXPECT_EQ(c.index, plugin::kFirstControl + (&c - kControlPorts.data())) << c.symbol;
    const LilvPort* port = lilv_plugin_get_port_by_index(p, c.index);
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(p, port)), c.symbol);
    EXPECT_TRUE(is(c.index, LV2_CORE__ControlPort) && is(c.index, LV2_CORE__InputPort));
    EXPECT_EQ(minimum[c.index], c.minimum) << c.symbol;
    EXPECT_EQ(maximum[c.index], c.maximum) << c.symbol;
    EXPECT_EQ(defaults[c.index], c.defaultValue) << c.symbol;
    if (c.settingsField >= 0) {
      EXPECT_EQ(c.defaultValue, static_cast<float>(factory.field(c.settingsField))) << c.symbol;
    }
  }
}

TEST(PluginRun, At44100InBlocksOf64ItSendsWhatTheLiveModeSendsAtTheEndOfEachBlock) {
  const std::vector<std::int16_t> samples =
      toSamples(renderMelody(pluginMelody(), 44100.0, kSeconds));
  std::vector<float> signal(samples.begin(), samples.end());
  for (float& x : signal) {
    x /= 32768.0f;
  }
  Lv2TestHost host(kPluginUri, 44100.0);
  ASSERT_TRUE(host.ok());
  host.activate();
  host.runSignal(signal, [](int) { return 64u; });
  EXPECT_EQ(host.latency(), kBlock);
  EXPECT_EQ(host.allocationsInRun(), 0);

  // Message for message what the live mode sends; it adds only its stop's note-off.
  const std::vector<std::vector<std::uint8_t>> live = liveModeMessages(samples);
  ASSERT_EQ(live.size(), host.events().size() + 1);
  for (std::size_t i = 0; i < host.events().size(); ++i) {
    ASSERT_EQ(host.events()[i].bytes, live[i]) << "message " << i;
  }
  ASSERT_EQ(soundingNotes(messages(host)).size(), pluginMelody().size())
      << describe(soundingNotes(messages(host)), 44100.0);
  EXPECT_TRUE(keysLeftSounding(messages(host)).empty());
  // The opening messages at frame 0, every other message where its block ends.
  for (const PluginMidiEvent& e : host.events()) {
    if ((e.bytes[0] & 0xF0) == 0x90) {
      EXPECT_EQ(e.frame % kBlock, kBlock - 1) << e.frame;
    }
  }
}

class PluginAtOtherRates : public ::testing::TestWithParam<double> {};

TEST_P(PluginAtOtherRates, InBlocksOfEverChangingSizeItFindsTheNotesWithinTheLatencyItReports) {
  Lv2TestHost reference(kPluginUri, 44100.0);
  ASSERT_TRUE(reference.ok());
  reference.activate();
  reference.runSignal(renderMelody(pluginMelody(), 44100.0, kSeconds), [](int) { return 64u; });
  const std::vector<SoundingNote> expected = soundingNotes(messages(reference));

  const double rate = GetParam();
  Lv2TestHost host(kPluginUri, rate);
  ASSERT_TRUE(host.ok());
  host.activate();
  host.runSignal(renderMelody(pluginMelody(), rate, kSeconds), changingBlock);
  EXPECT_EQ(host.allocationsInRun(), 0);
  const std::vector<SoundingNote> found = soundingNotes(messages(host));
  ASSERT_EQ(found.size(), expected.size()) << describe(found, rate);
  const double blockFrames = kBlock * rate / 44100.0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_NEAR(found[i].pitch, expected[i].pitch, 0.05) << i;
    EXPECT_NEAR(found[i].frame / rate, expected[i].frame / 44100.0, blockFrames / rate) << i;
  }
  EXPECT_TRUE(keysLeftSounding(messages(host)).empty());

  // One block and the resampler's short delay (about a millisecond); each
  // note-on that far after its note's start, within one block.
  EXPECT_GE(host.latency(), std::round(blockFrames));
  EXPECT_LE(host.latency(), std::round(blockFrames) + rate / 400);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const double delay = found[i].frame - pluginMelody()[i].start * rate;
    EXPECT_NEAR(delay, host.latency(), blockFrames) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(PluginRun, PluginAtOtherRates,
                         ::testing::Values(48000.0, 88200.0, 96000.0), [](const auto& info) {
                           return std::to_string(static_cast<int>(info.param)) + "Hz";
                         });

TEST(PluginRun, ARateTheResamplerDoesNotTakeGetsNoInstance) {
  EXPECT_FALSE(Lv2TestHost(kPluginUri, 4000.0).ok());
  EXPECT_FALSE(Lv2TestHost(kPluginUri, 1.0e6).ok());
  EXPECT_TRUE(Lv2TestHost(kPluginUri, 22050.0).ok());
}

TEST(PluginRun, DeactivatingInANoteEndsItAtTheNextStartWhichBeginsAfresh) {
  Lv2TestHost host(kPluginUri, 48000.0);
  ASSERT_TRUE(host.ok());
  host.activate();
  host.runSignal(renderMelody({{62.0, 0.0, 2.0}}, 48000.0, 0.5), [](int) { return 512u; }, false);
  const std::vector<SoundingNote> before = soundingNotes(messages(host));
  ASSERT_EQ(before.size(), 1u);
  const std::vector<int> sounding = keysLeftSounding(messages(host));
  ASSERT_EQ(sounding.size(), 1u);
  EXPECT_EQ(sounding[0], 62);  // the nearest key to the sung note
  host.deactivate();
  host.clearEvents();
  host.activate();
  const std::vector<float> silence(256, 0.0f);
  host.run(silence.data(), 256);

  const std::vector<PluginMidiEvent>& after = host.events();
  ASSERT_GE(after.size(), 2u);
  EXPECT_EQ(after[0].frame, 0);
  const auto key = static_cast<std::uint8_t>(sounding[0]);
  EXPECT_EQ(after[0].bytes, (std::vector<std::uint8_t>{0x80, key, 0}));
  // Then the opening messages again: the factory voice, the bend range by registered parameter 0.
  EXPECT_EQ(after[1].bytes, (std::vector<std::uint8_t>{0xC0, 73}));
  EXPECT_EQ(after[2].bytes, (std::vector<std::uint8_t>{0xB0, 101, 0}));
}

TEST(PluginPresets, EachSettingsFileIsAPresetThatSetsThePortsItNames) {
  Lv2TestHost host(kPluginUri, 44100.0);
  ASSERT_TRUE(host.ok());
  std::vector<std::filesystem::path> files = {kData / "Private" / "default_realtime.set"};
  for (const auto& entry : std::filesystem::directory_iterator(kData / "QuickSettings")) {
    files.push_back(entry.path());
  }
  EXPECT_EQ(host.presetUris().size(), files.size());
  for (const std::filesystem::path& file : files) {
    const bool factory = file.filename() == "default_realtime.set";
    const std::string uri =
        std::string(plugin::kPresetUriPrefix) + (factory ? "factory" : file.stem().string());
    SettingsRecord expected = factoryRealtime();
    ASSERT_TRUE(readSettingsFile(file, expected));
    for (const plugin::ControlPort& c : kControlPorts) {
      host.setControl(c.symbol, c.minimum);
    }
    ASSERT_TRUE(host.loadPreset(uri)) << uri;
    for (const plugin::ControlPort& c : kControlPorts) {
      if (c.settingsField >= 0) {
        EXPECT_EQ(host.control(c.symbol), static_cast<float>(expected.field(c.settingsField)))
            << uri << " " << c.symbol;
      } else {
        // Gain, quantization and transposition are no settings: only the
        // factory preset resets them.
        EXPECT_EQ(host.control(c.symbol), factory ? c.defaultValue : c.minimum) << c.symbol;
      }
    }
  }
}

TEST(PluginPresets, ANewTimeResolutionIsPlannedByTheWorkerOrWithoutItAtTheNextActivation) {
  for (const bool worker : {true, false}) {
    Lv2TestHost host(kPluginUri, 44100.0, worker);
    ASSERT_TRUE(host.ok());
    host.activate();
    const std::vector<float> silence(512, 0.0f);
    host.run(silence.data(), 512);
    EXPECT_EQ(host.latency(), kBlock);
    ASSERT_TRUE(host.loadPreset(std::string(plugin::kPresetUriPrefix) + "bass"));  // 90 ms
    host.run(silence.data(), 512);
    host.run(silence.data(), 512);
    EXPECT_EQ(host.latency(), worker ? 3920 : kBlock) << worker;
    host.deactivate();
    host.activate();
    host.run(silence.data(), 512);
    EXPECT_EQ(host.latency(), 3920) << worker;
    // The bass preset's range and resolution find a low E.
    host.clearEvents();
    host.runSignal(renderMelody({{40.0, 0.1, 0.8}}, 44100.0, 1.0), [](int) { return 300u; });
    const std::vector<SoundingNote> notes = soundingNotes(messages(host));
    ASSERT_EQ(notes.size(), 1u) << describe(notes, 44100.0);
    EXPECT_NEAR(notes[0].pitch, 40.0, 0.3);
    EXPECT_EQ(host.allocationsInRun(), 0);
  }
}

TEST(PluginRun, AControlActsFromTheNextBlock) {
  Lv2TestHost host(kPluginUri, 44100.0);
  ASSERT_TRUE(host.ok());
  host.activate();
  const std::vector<float> tone = renderMelody({{60.0, 0.0, 1.0}}, 44100.0, 1.0);
  host.run(tone.data(), 8000);  // blocks end at 1371, ..., 6859
  host.setControl("transpose", 12.0f);
  host.run(tone.data() + 8000, 8000);
  const std::vector<SoundingNote> notes = soundingNotes(messages(host));
  ASSERT_EQ(notes.size(), 2u) << describe(notes, 44100.0);
  EXPECT_NEAR(notes[1].pitch - notes[0].pitch, 12.0, 0.05);
  EXPECT_EQ(notes[1].frame, (8000 / kBlock + 1) * kBlock - 1);  // the first block after it
}

}  // namespace
}  // namespace melovantis::test
