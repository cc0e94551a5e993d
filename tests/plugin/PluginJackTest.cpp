// The plugin against the live command, and inside a host that is not the
// project's own (jalv), each under a JACK server of the test's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "JackServer.h"
#include "JackTestClients.h"
#include "Lv2TestHost.h"
#include "PluginTestSupport.h"
#include "conversion/ExternalProgram.h"
#include "midi/RtMidiOutputPorts.h"
#include "plugin/PluginPorts.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

extern char** environ;

namespace melovantis::test {
namespace {

using namespace std::chrono_literals;

constexpr double kSeconds = 3.7;
constexpr int kBlock = 1372;  // samples of the factory 32 ms frame

// A program in the background, its standard input a pipe (closed to end it)
// and its standard output a file.
struct Child {
  pid_t pid = 0;
  int input = -1;
};

Child spawn(std::vector<std::string> args, const std::filesystem::path& output) {
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  int pipeEnds[2];
  EXPECT_EQ(::pipe(pipeEnds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Child child;
  EXPECT_EQ(::posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[0]);
  child.input = pipeEnds[1];
  return child;
}

// Its exit status, at most `limit` later; -1 (after killing it) when it hangs.
int finish(Child& child, std::chrono::seconds limit) {
  if (child.input >= 0) {
    ::close(child.input);
    child.input = -1;
  }
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (::waitpid(child.pid, &status, WNOHANG) == child.pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(20ms);
  }
  ::kill(child.pid, SIGKILL);
  ::waitpid(child.pid, &status, 0);
  return -1;
}

std::vector<TimedMessage> recorded(const MidiRecorder& recorder) {
  std::vector<TimedMessage> out;
  for (const MidiRecorder::Event& e : recorder.events()) {
    out.push_back({e.frame, e.bytes});
  }
  return out;
}

std::vector<SoundingNote> pluginNotes(double rate, const std::function<std::uint32_t(int)>& block) {
  Lv2TestHost host(plugin::kPluginUri, rate);
  EXPECT_TRUE(host.ok());
  if (!host.ok()) {
    return {};
  }
  host.activate();
  host.runSignal(renderMelody(pluginMelody(), rate, kSeconds), block);
  std::vector<TimedMessage> messages;
  for (const PluginMidiEvent& e : host.events()) {
    messages.push_back({e.frame, e.bytes});
  }
  return soundingNotes(messages);
}

TEST(PluginBesideLiveCommand, ItSendsTheNotesLiveInputFileSendsForTheSameRecording) {
  JackServer server;
  MELOVANTIS_NEEDS_JACK(server);
  TempFolder folder;
  const std::filesystem::path wave = folder / "melody.wav";
  writeMonoWave(wave, toSamples(renderMelody(pluginMelody(), 44100.0, kSeconds)));
  const std::vector<SoundingNote> expected = pluginNotes(44100.0, [](int) { return 64u; });
  // The live command's capture skips blocks to stay current when a busy
  // machine holds it up, which shortens the time between its notes: such a
  // run is tried again, a few times, as a machine busy with builds needs.
  std::vector<SoundingNote> sent;
  for (int attempt = 0; attempt < 6; ++attempt) {
    MidiRecorder synthesizer("synthesizer");
    ASSERT_TRUE(synthesizer.ok());
    const std::vector<std::string> names = RtMidiOutputPorts().names();
    const auto port = std::find(names.begin(), names.end(), synthesizer.portName());
    ASSERT_NE(port, names.end());
    Child live = spawn({MELOVANTIS_CLI, "live", "--input-file", wave.string(), "--midi-out",
                        std::to_string(port - names.begin())},
                       folder / "live.txt");
    ASSERT_EQ(finish(live, 30s), 0);
    sent = soundingNotes(recorded(synthesizer));
    if (sent.size() == expected.size() &&
        std::fabs((sent.back().frame - sent.front().frame) -
                  (expected.back().frame - expected.front().frame)) < kBlock) {
      break;
    }
  }
  ASSERT_EQ(sent.size(), pluginMelody().size()) << describe(sent, 44100.0);

  // Pitch for pitch, and note starts apart by the same times within one block.
  const auto compare = [&](const std::vector<SoundingNote>& notes, double rate) {
    ASSERT_EQ(notes.size(), sent.size()) << describe(notes, rate);
    for (std::size_t i = 0; i < notes.size(); ++i) {
      EXPECT_NEAR(notes[i].pitch, sent[i].pitch, 0.05) << i << " at " << rate;
      EXPECT_NEAR((notes[i].frame - notes[0].frame) / rate,
                  (sent[i].frame - sent[0].frame) / 44100.0, kBlock / 44100.0)
          << i << " at " << rate;
    }
  };
  compare(expected, 44100.0);
  compare(pluginNotes(48000.0, [](int call) { return 1u + (call * 2654435761u >> 7) % 4096u; }),
          48000.0);
}

TEST(PluginUnderJalv, AMelodyAt48kHzInOddPeriodsComesOutNoteForNoteAtTheLatencyItReports) {
  constexpr double kRate = 48000.0;
  JackServer server(static_cast<int>(kRate), 1001);
  MELOVANTIS_NEEDS_JACK(server);
  const std::filesystem::path jalv = findProgram("jalv");
  if (jalv.empty()) {
    GTEST_SKIP() << "jalv is not installed";
  }
  TempFolder folder;
  MelodyPlayer singer("singer", renderMelody(pluginMelody(), kRate, kSeconds));
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(singer.ok() && synthesizer.ok());
#ifdef MELOVANTIS_ASAN_RUNTIME
  // A plugin built with AddressSanitizer needs its runtime loaded first.
  ::setenv("LD_PRELOAD", MELOVANTIS_ASAN_RUNTIME, 1);
  ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
  Child host = spawn({jalv.string(), "-n", "melovantis", plugin::kPluginUri},
                     folder / "jalv.txt");
#ifdef MELOVANTIS_ASAN_RUNTIME
  ::unsetenv("LD_PRELOAD");
#endif

  jack_status_t status;
  jack_client_t* patchbay = jack_client_open("patchbay", JackNoStartServer, &status);
  ASSERT_NE(patchbay, nullptr);
  for (int i = 0; i < 200 && jack_port_by_name(patchbay, "melovantis:midi_out") == nullptr; ++i) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(jack_connect(patchbay, "singer:out", "melovantis:audio_in"), 0);
  ASSERT_EQ(jack_connect(patchbay, "melovantis:midi_out", "synthesizer:in"), 0);
  std::this_thread::sleep_for(300ms);
  // jalv hands the latency the plugin reports on to JACK, in the latency
  // ranges of the plugin's ports (the singer's and the synthesizer's are 0).
  jack_latency_range_t in{};
  jack_latency_range_t out{};
  jack_port_get_latency_range(jack_port_by_name(patchbay, "melovantis:audio_in"),
                              JackCaptureLatency, &in);
  jack_port_get_latency_range(jack_port_by_name(patchbay, "melovantis:midi_out"),
                              JackPlaybackLatency, &out);
  jack_client_close(patchbay);
  const double latency = std::max(in.max, out.max);

  singer.play();
  while (!singer.finished()) {
    std::this_thread::sleep_for(50ms);
  }
  std::this_thread::sleep_for(600ms);
  ASSERT_EQ(finish(host, 10s), 0);

  const std::vector<TimedMessage> messages = recorded(synthesizer);
  const std::vector<SoundingNote> notes = soundingNotes(messages);
  ASSERT_EQ(notes.size(), pluginMelody().size()) << describe(notes, kRate);
  EXPECT_TRUE(keysLeftSounding(messages).empty());

  const double blockFrames = kBlock * kRate / 44100.0;
  EXPECT_GT(latency, blockFrames);
  for (std::size_t i = 0; i < notes.size(); ++i) {
    EXPECT_NEAR(notes[i].pitch, pluginMelody()[i].note, 0.3) << i;
    const double onset =
        singer.frameOfSample(static_cast<std::size_t>(std::ceil(pluginMelody()[i].start * kRate)));
    EXPECT_NEAR(notes[i].frame - onset, latency, blockFrames) << i;
  }
}

}  // namespace
}  // namespace melovantis::test
