// The live path with real parts: a JACK server with the dummy driver stands
// in for the sound card and the synthesizer. A test client sings a melody
// into a JACK audio port; the program captures it through RtAudio and sends
// its MIDI through RtMidi to a test client's JACK MIDI input.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <jack/jack.h>

#include "JackServer.h"
#include "JackTestClients.h"
#include "audio/RtAudioCaptureBackend.h"
#include "conversion/LiveSession.h"
#include "documents/EngineSettings.h"
#include "documents/FactoryData.h"
#include "documents/SettingsFile.h"
#include "engine/AnalysisEngine.h"
#include "midi/RtMidiOutputPorts.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"

namespace melovantis::test {
namespace {

using namespace std::chrono_literals;

// Notes of half a second with a tenth of silence between them, so each one is
// clearly a new note.
const std::vector<int> kMelody = {69, 72, 76, 74, 71, 67};

std::vector<float> sungMelody() {
  std::vector<std::vector<std::int16_t>> parts = {constant(8820)};
  for (const int note : kMelody) {
    parts.push_back(harmonicTone(note, 22050));
    parts.push_back(constant(4410));
  }
  std::vector<float> samples;
  for (const std::int16_t s : concat(parts)) {
    samples.push_back(s / 32768.0f);
  }
  return samples;
}

class LiveThroughJack : public ::testing::Test {
 protected:
  void SetUp() override {
    MELOVANTIS_NEEDS_JACK(server);
    SettingsRecord settings;
    ASSERT_TRUE(
        readSettingsFile(factoryDataFolder() / "Private" / "default_realtime.set", settings));
    applySettingsToEngine(settings, engine);
  }
  JackServer server;
  // Set up as the real-time default settings would.
  RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(LiveThroughJack, ASungMelodyArrivesAtTheSynthesizerNoteByNoteSoonAfterEachStart) {
  MelodyPlayer singer("singer", sungMelody());
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(singer.ok() && synthesizer.ok());


  RtAudioCaptureBackend capture;
  int input = -1;
  for (const AudioDevice& device : capture.inputDevices()) {
    if (device.name == "singer") {
      input = device.id;
    }
  }
  ASSERT_GE(input, 0) << "the singer's port is not among the inputs";
  RtMidiOutputPorts ports;
  const std::vector<std::string> names = ports.names();
  const auto found = std::find(names.begin(), names.end(), synthesizer.portName());
  ASSERT_NE(found, names.end()) << "no MIDI output " << synthesizer.portName();

  LiveSession session(engine, notifier, capture, ports);
  ASSERT_TRUE(session.start(static_cast<int>(found - names.begin()), input));
  const jack_nframes_t sung = singer.play();
  while (!singer.finished()) {
    std::this_thread::sleep_for(10ms);
  }
  std::this_thread::sleep_for(200ms);
  session.stop();
  EXPECT_TRUE(notifier.entries.empty());

  // Note-ons in order: each on the semitone of the note or the one below it
  // (a note starts there and bends up to its pitch).
  std::vector<std::pair<jack_nframes_t, int>> noteOns;
  for (const MidiRecorder::Event& e : synthesizer.events()) {
    if (e.bytes.size() == 3 && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0) {
      noteOns.emplace_back(e.frame, e.bytes[1]);
    }
  }
  ASSERT_EQ(noteOns.size(), kMelody.size());
  for (std::size_t i = 0; i < kMelody.size(); ++i) {
    EXPECT_TRUE(noteOns[i].second == kMelody[i] || noteOns[i].second == kMelody[i] - 1)
        << "note " << i << ": " << noteOns[i].second;
  }
  // From a note's start in the input to its note-on at the output: one block
  // (1372 samples at the real-time default's 32 ms), the analysis and the
  // periods of the capture and the MIDI client on the way.
  std::printf("latency from a note's start to its note-on (ms):");
  for (std::size_t i = 0; i < kMelody.size(); ++i) {
    const jack_nframes_t start = sung + 8820 + static_cast<jack_nframes_t>(i) * (22050 + 4410);
    const double latency = (static_cast<double>(noteOns[i].first) - start) / 44100.0;
    std::printf(" %.1f", latency * 1000);
    EXPECT_LT(latency, 0.100) << "note " << i;
    EXPECT_GT(latency, 0.0) << "note " << i;
  }
  std::printf("\n");
}

TEST_F(LiveThroughJack, EveryStopSendsItsNoteOffBeforeThePortCloses) {
  // The last message of a run is written just before the port is let go;
  // JACK takes it only at its next period. Many short runs give a port that
  // closes too soon many chances to lose it.
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(synthesizer.ok());
  RtAudioCaptureBackend capture;  // the dummy driver's capture ports: silence
  RtMidiOutputPorts ports;
  const std::vector<std::string> names = ports.names();
  const auto found = std::find(names.begin(), names.end(), synthesizer.portName());
  ASSERT_NE(found, names.end());
  LiveSession session(engine, notifier, capture, ports);
  constexpr int kRuns = 40;
  for (int run = 0; run < kRuns; ++run) {
    ASSERT_TRUE(session.start(static_cast<int>(found - names.begin())))
        << run << ": " << (notifier.entries.empty() ? "" : notifier.entries.back().text);
    session.stop();
  }
  // Nothing sounded: each run ends with the one note-off for note 0.
  const auto noteOffs = [&] {
    const std::vector<MidiRecorder::Event> events = synthesizer.events();
    return std::count_if(events.begin(), events.end(),
                         [](const MidiRecorder::Event& e) { return (e.bytes[0] & 0xF0) == 0x80; });
  };
  for (int i = 0; i < 100 && noteOffs() < kRuns; ++i) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(noteOffs(), kRuns);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(LiveThroughJack, AnInputNumberPastTheListIsRefusedWithItsReason) {
  // The window offers the inputs the list holds; a number past them (a device
  // that went away since) is refused, never read from beyond the list.
  RtAudioCaptureBackend capture;
  const int inputs = static_cast<int>(capture.inputDevices().size());
  ASSERT_GT(inputs, 0);
  RtMidiOutputPorts ports;
  LiveSession session(engine, notifier, capture, ports);
  EXPECT_FALSE(session.start(0, inputs));
  EXPECT_FALSE(session.running());
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Cannot Open Sound Input Device!");
  EXPECT_EQ(capture.problem().substr(0, 25 + std::to_string(inputs).size()),
            "there is no audio input " + std::to_string(inputs) + " ");
}

TEST_F(LiveThroughJack, AnInputNumberIsTheListsNotTheSoundSystemsOwn) {
  // A client that only listens (a speaker) is a device of the sound system
  // but no input: the list leaves it out, and the singer after it keeps its
  // number in the list, not its place among the system's devices.
  jack_client_t* speaker = jack_client_open("speaker", JackNoStartServer, nullptr);
  ASSERT_NE(speaker, nullptr);
  ASSERT_NE(jack_port_register(speaker, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0), nullptr);
  ASSERT_EQ(jack_activate(speaker), 0);
  MelodyPlayer singer("singer", sungMelody());
  ASSERT_TRUE(singer.ok());
  RtAudioCaptureBackend capture;
  int input = -1;
  for (const AudioDevice& device : capture.inputDevices()) {
    EXPECT_NE(device.name, "speaker");
    if (device.name == "singer") {
      input = device.id;
    }
  }
  ASSERT_GE(input, 0);
  RtMidiOutputPorts ports;
  LiveSession session(engine, notifier, capture, ports);
  EXPECT_TRUE(session.start(0, input));
  session.stop();
  EXPECT_TRUE(notifier.entries.empty());
  jack_client_close(speaker);
}

}  // namespace
}  // namespace melovantis::test
