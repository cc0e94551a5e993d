// melovantis-cli live with real parts: a melody file played at real speed
// into the live analysis, or a JACK client singing into it, its MIDI through
// RtMidi to a JACK MIDI input; and what it does when the server is killed,
// frozen (SIGSTOP) or not there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <regex>
#include <thread>

#include "JackServer.h"
#include "JackTestClients.h"
#include "audio/RtAudioCaptureBackend.h"
#include "audio/SoundSystems.h"
#include "midi/RtMidiOutputPorts.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

extern char** environ;

namespace melovantis::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::vector<int> kMelody = {64, 67, 71, 69};

// A sanitizer's build analyses many times slower, and may fall behind the
// input where the program itself keeps up.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif

const std::regex kNothingOrBlocksLeftOut(
    "(melovantis-cli: [0-9]+ blocks? of sound \\([0-9.]+ s\\) left out: the analysis fell "
    "behind the input\n)?");

// The live command in the background, its standard error to `errors` when
// given, with `environment` changed ("NAME=value" sets, "NAME" unsets); its
// process id.
pid_t startLive(const std::vector<std::string>& options, const std::filesystem::path& errors = {},
                const std::vector<std::string>& environment = {}) {
  std::vector<std::string> args = {MELOVANTIS_CLI, "live"};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  std::vector<std::string> variables;
  for (char** v = environ; *v != nullptr; ++v) {
    const std::string variable = *v;
    const std::string name = variable.substr(0, variable.find('='));
    const bool changed = std::any_of(environment.begin(), environment.end(), [&](const auto& e) {
      return e.substr(0, e.find('=')) == name;
    });
    if (!changed) {
      variables.push_back(variable);
    }
  }
  for (const std::string& e : environment) {
    if (e.find('=') != std::string::npos) {
      variables.push_back(e);
    }
  }
  std::vector<char*> envp;
  for (std::string& v : variables) {
    envp.push_back(v.data());
  }
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errors.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_t pid = 0;
  EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// A live command that runs in the background; killed if the test ends first.
class LiveProcess {
 public:
  explicit LiveProcess(pid_t pid) : pid_(pid) {}
  ~LiveProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  LiveProcess(const LiveProcess&) = delete;
  LiveProcess& operator=(const LiveProcess&) = delete;
  pid_t pid() const { return pid_; }
  pid_t release() { return std::exchange(pid_, 0); }

 private:
  pid_t pid_;
};

struct Ending {
  int code = -1;    // the exit status; -1 when it did not exit by itself
  int signal = 0;   // the signal that ended it
  bool hung = false;
  double seconds = 0.0;
};

// How it ended, waiting at most `limit` (then it is killed and counts as hung).
Ending waitFor(pid_t pid, std::chrono::seconds limit) {
  const Clock::time_point start = Clock::now();
  Ending ending;
  int status = 0;
  while (Clock::now() < start + limit) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      ending.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      ending.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
      ending.seconds = std::chrono::duration<double>(Clock::now() - start).count();
      return ending;
    }
    std::this_thread::sleep_for(20ms);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  ending.hung = true;
  ending.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return ending;
}

Ending waitFor(LiveProcess& process, std::chrono::seconds limit) {
  return waitFor(process.release(), limit);
}

// Polls `done` until it holds; false when `limit` passed first.
bool eventually(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= end) {
      return false;
    }
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

bool isNoteOn(const std::vector<std::uint8_t>& m) {
  return m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[2] > 0;
}

bool isNoteOff(const std::vector<std::uint8_t>& m) {
  return m.size() == 3 && ((m[0] & 0xF0) == 0x80 || ((m[0] & 0xF0) == 0x90 && m[2] == 0));
}

// Resumes a frozen server however the test ends, so that its clients can close.
class Frozen {
 public:
  explicit Frozen(JackServer& server) : server_(server) { server_.freeze(); }
  ~Frozen() { server_.resume(); }
  Frozen(const Frozen&) = delete;
  Frozen& operator=(const Frozen&) = delete;

 private:
  JackServer& server_;
};

class LiveCommandThroughJack : public ::testing::Test {
 protected:
  explicit LiveCommandThroughJack(bool synchronous = true) : server(44100, JackServer::kPeriod, synchronous) {}
  void SetUp() override {
    MELOVANTIS_NEEDS_JACK(server);
    std::vector<std::vector<std::int16_t>> parts = {constant(4410)};
    for (const int note : kMelody) {
      parts.push_back(harmonicTone(note, 17640));
      parts.push_back(constant(4410));
    }
    writeMonoWave(melody, concat(parts));
  }
  // The number live takes for the recorder's port.
  std::string outputNumber(const MidiRecorder& recorder) {
    RtMidiOutputPorts ports;
    const std::vector<std::string> names = ports.names();
    const auto it = std::find(names.begin(), names.end(), recorder.portName());
    EXPECT_NE(it, names.end());
    return std::to_string(it - names.begin());
  }
  static std::vector<std::vector<std::uint8_t>> channelMessages(const MidiRecorder& recorder) {
    std::vector<std::vector<std::uint8_t>> messages;
    for (const MidiRecorder::Event& e : recorder.events()) {
      messages.push_back(e.bytes);
    }
    return messages;
  }
  static bool heardANote(const MidiRecorder& recorder) {
    const auto messages = channelMessages(recorder);
    return std::any_of(messages.begin(), messages.end(), isNoteOn);
  }
  // The number live takes for a JACK client's audio output.
  static std::string inputNumber(const std::string& client) {
    RtAudioCaptureBackend capture;
    for (const AudioDevice& device : capture.inputDevices()) {
      if (device.name == client) {
        return std::to_string(device.id);
      }
    }
    ADD_FAILURE() << "no audio input " << client;
    return "0";
  }
  static std::vector<float> longTone() {
    std::vector<float> samples;
    for (const std::int16_t s : harmonicTone(60, 44100 * 30)) {
      samples.push_back(s / 32768.0f);
    }
    return samples;
  }

  JackServer server;
  TempFolder folder;
  std::filesystem::path melody = folder / "melody.wav";
  std::filesystem::path errors = folder / "errors.txt";
};

TEST_F(LiveCommandThroughJack, AFilePlayedIntoItGivesItsNotesInOrderAndEndsWithTheLastNoteOff) {
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(synthesizer.ok());
  LiveProcess live(startLive(
      {"--input-file", melody.string(), "--midi-out", outputNumber(synthesizer)}, errors));
  ASSERT_EQ(waitFor(live, 30s).code, 0);
  // Nothing to say about the devices; a busy machine may leave a few blocks out.
  EXPECT_TRUE(std::regex_match(readText(errors), kNothingOrBlocksLeftOut)) << readText(errors);
  std::vector<int> keys;
  const auto messages = channelMessages(synthesizer);
  for (const auto& m : messages) {
    if (m.size() == 3 && (m[0] & 0xF0) == 0x90 && m[2] > 0) {
      keys.push_back(m[1]);
    }
  }
  ASSERT_EQ(keys.size(), kMelody.size());
  for (std::size_t i = 0; i < kMelody.size(); ++i) {
    EXPECT_TRUE(keys[i] == kMelody[i] || keys[i] == kMelody[i] - 1) << i << ": " << keys[i];
  }
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back()[0] & 0xF0, 0x80);
}

TEST_F(LiveCommandThroughJack, CtrlCStopsItCleanlyWithTheLastNoteOff) {
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(synthesizer.ok());
  writeMonoWave(melody, harmonicTone(60, 44100 * 30));  // a long note, cut short
  LiveProcess live(startLive(
      {"--input-file", melody.string(), "--midi-out", outputNumber(synthesizer)}, errors));
  // Stopped while the note sounds.
  ASSERT_TRUE(eventually([&] { return heardANote(synthesizer); }, 20s)) << readText(errors);
  ::kill(live.pid(), SIGINT);
  EXPECT_EQ(waitFor(live, 10s).code, 0);
  // The note-off leaves in the server's next period, which may come after the
  // program has ended; it must come, for the key that sounds.
  const auto endsWithNoteOff = [&] {
    const auto messages = channelMessages(synthesizer);
    return !messages.empty() && isNoteOff(messages.back());
  };
  EXPECT_TRUE(eventually(endsWithNoteOff, 5s)) << readText(errors);
  const auto messages = channelMessages(synthesizer);
  ASSERT_FALSE(messages.empty());
  const auto on = std::find_if(messages.rbegin(), messages.rend(), isNoteOn);
  ASSERT_NE(on, messages.rend());
  EXPECT_EQ(messages.back()[0] & 0xF0, 0x80);
  EXPECT_EQ(messages.back()[1], (*on)[1]);
}

TEST_F(LiveCommandThroughJack, AnOwnPortThatCannotBeMadeFailsTheStartWithTheDevicesMessage) {
  // JACK takes port names of up to about 250 characters.
  const std::string name(400, 'x');
  Ending ending = waitFor(startLive({"--input-file", melody.string(), "--virtual", name}, errors), 30s);
  EXPECT_EQ(ending.code, 1);
  EXPECT_NE(readText(errors).find(": Cannot use this MIDI device, please select another one. (JACK "
                                  "would not make a port named \"" +
                                  name.substr(0, 40) + "...\")\n"),
            std::string::npos)
      << readText(errors);

  // No server to make the port on.
  server.stop();
  ending = waitFor(startLive({"--input-file", melody.string(), "--seconds", "1"}, errors), 30s);
  EXPECT_EQ(ending.code, 1);
  EXPECT_EQ(readText(errors),
            "melovantis-cli: MIDI output 0. Melovantis (a port of its own, for other programs): "
            "Cannot use this MIDI device, please select another one. (JACK, as "
            "MELOVANTIS_MIDI_API asks: no JACK server runs)\n");
}

TEST_F(LiveCommandThroughJack, AnInputOrAnOutputThatIsNotThereIsRefusedTheSameWay) {
  // The first number past each list, as `devices` shows them.
  const std::string inputs = std::to_string(RtAudioCaptureBackend().inputDevices().size());
  const std::string outputs = std::to_string(RtMidiOutputPorts().names().size());
  Ending ending = waitFor(startLive({"--audio-in", inputs, "--seconds", "1"}, errors), 30s);
  EXPECT_EQ(ending.code, 2);
  EXPECT_EQ(readText(errors).rfind("melovantis-cli: there is no audio input " + inputs +
                                       " (melovantis-cli devices lists them)\n",
                                   0),
            0u)
      << readText(errors);
  ending = waitFor(startLive({"--midi-out", outputs, "--seconds", "1"}, errors), 30s);
  EXPECT_EQ(ending.code, 2);
  EXPECT_EQ(readText(errors).rfind("melovantis-cli: there is no MIDI output " + outputs +
                                       " (melovantis-cli devices lists them)\n",
                                   0),
            0u)
      << readText(errors);
}

TEST_F(LiveCommandThroughJack, BlocksLeftOutWhenTheAnalysisFellBehindAreCountedAtTheEnd) {
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(synthesizer.ok());
  writeMonoWave(melody, harmonicTone(60, 44100 * 10));
  LiveProcess live(startLive(
      {"--input-file", melody.string(), "--midi-out", outputNumber(synthesizer), "--seconds", "3"},
      errors));
  ASSERT_TRUE(eventually([&] { return heardANote(synthesizer); }, 20s));
  // The whole program held for 0.7 s: the file's samples of that time then
  // arrive at once, far more than the analysis takes in.
  ::kill(live.pid(), SIGSTOP);
  std::this_thread::sleep_for(700ms);
  ::kill(live.pid(), SIGCONT);
  EXPECT_EQ(waitFor(live, 30s).code, 0);
  const std::string text = readText(errors);
  std::smatch found;
  ASSERT_TRUE(std::regex_search(text, found,
                                std::regex("melovantis-cli: ([0-9]+) blocks of sound \\(([0-9.]+) "
                                           "s\\) left out: the analysis fell behind the input\n")))
      << text;
  // 0.7 s is 22 blocks of 1372 samples; the two newest are analysed.
  const int blocks = std::stoi(found[1]);
  EXPECT_GE(blocks, 8);
  if (!kSlowBuild) {
    EXPECT_LE(blocks, 24);
  }
  EXPECT_NEAR(std::stod(found[2]), blocks * 1372 / 44100.0, 0.0051);
}

// Freezing a server that waits for its clients each period holds the clients
// long after it runs again; these run on one that does not wait.
class LiveCommandWithFrozenServer : public LiveCommandThroughJack {
 protected:
  LiveCommandWithFrozenServer() : LiveCommandThroughJack(false) {}
};

TEST_F(LiveCommandThroughJack, AKilledServerEndsTheRunWithItsOwnMessageAndStatusOne) {
  MelodyPlayer singer("singer", longTone());
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(singer.ok() && synthesizer.ok());
  singer.play();
  const std::string input = inputNumber("singer");
  LiveProcess live(
      startLive({"--audio-in", input, "--midi-out", outputNumber(synthesizer)}, errors));
  ASSERT_TRUE(eventually([&] { return heardANote(synthesizer); }, 20s));
  server.stop();
  const Ending ending = waitFor(live, 20s);
  EXPECT_EQ(ending.code, 1) << readText(errors);
  EXPECT_LT(ending.seconds, 8.0);
  EXPECT_NE(readText(errors).find("melovantis-cli: audio input " + input +
                                  ". singer: No sound has come from the audio input for a "
                                  "second: it was disconnected, or its sound system stopped. The "
                                  "live run has ended. (JACK: "),
            std::string::npos)
      << readText(errors);
}

TEST_F(LiveCommandWithFrozenServer, AFrozenServerEndsTheRunInSecondsWithAMessage) {
  MelodyPlayer singer("singer", longTone());
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(singer.ok() && synthesizer.ok());
  singer.play();
  LiveProcess live(startLive(
      {"--audio-in", inputNumber("singer"), "--midi-out", outputNumber(synthesizer)}, errors));
  ASSERT_TRUE(eventually([&] { return heardANote(synthesizer); }, 20s));
  const Frozen frozen(server);
  const Ending ending = waitFor(live, 30s);
  EXPECT_FALSE(ending.hung);
  EXPECT_EQ(ending.code, 1);
  EXPECT_LT(ending.seconds, 12.0);
  const std::string text = readText(errors);
  EXPECT_NE(text.find("No sound has come from the audio input for a second"), std::string::npos)
      << text;
  EXPECT_NE(text.find("(JACK: the sound server does not answer)"), std::string::npos) << text;
}

TEST_F(LiveCommandWithFrozenServer, WithAFrozenServerDevicesAndLiveGiveUpInSecondsWithAMessage) {
  const Frozen frozen(server);
  const std::string listing = folder.path() / "devices.txt";
  const Clock::time_point start = Clock::now();
  const int status = runLimited(std::string(MELOVANTIS_CLI) + " devices > '" + listing + "' 2> '" +
                                    errors.string() + "'",
                                60);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 12.0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(readText(listing), "Audio inputs:\n  (none)\nMIDI outputs:\n  0. Melovantis (a port of its own, for other programs)\n");
  EXPECT_EQ(readText(errors),
            "melovantis-cli: audio inputs: JACK: the sound server does not answer\n"
            "melovantis-cli: MIDI outputs: JACK, as MELOVANTIS_MIDI_API asks: the JACK server "
            "does not answer\n");

  const Ending ending = waitFor(startLive({"--seconds", "1"}, errors), 30s);
  EXPECT_EQ(ending.code, 1);
  EXPECT_LT(ending.seconds, 12.0);
  EXPECT_EQ(readText(errors),
            "melovantis-cli: MIDI output 0. Melovantis (a port of its own, for other programs): "
            "Cannot use this MIDI device, please select another one. (JACK, as "
            "MELOVANTIS_MIDI_API asks: the JACK server does not answer)\n");
}

TEST_F(LiveCommandWithFrozenServer, CtrlCWithAFrozenServerEndsInSecondsAndASecondCtrlCAtOnce) {
  MelodyPlayer singer("singer", longTone());
  MidiRecorder first("first");
  MidiRecorder second("second");
  ASSERT_TRUE(singer.ok() && first.ok() && second.ok());
  singer.play();
  const std::filesystem::path secondErrors = folder / "second-errors.txt";
  const std::string input = inputNumber("singer");
  LiveProcess once(startLive({"--audio-in", input, "--midi-out", outputNumber(first)}, errors));
  LiveProcess twice(
      startLive({"--audio-in", input, "--midi-out", outputNumber(second)}, secondErrors));
  ASSERT_TRUE(eventually([&] { return heardANote(first) && heardANote(second); }, 20s));
  const Frozen frozen(server);
  ::kill(once.pid(), SIGINT);
  ::kill(twice.pid(), SIGINT);
  std::this_thread::sleep_for(200ms);
  ::kill(twice.pid(), SIGINT);
  const Ending atOnce = waitFor(twice, 20s);
  EXPECT_EQ(atOnce.signal, SIGINT);
  EXPECT_LT(atOnce.seconds, 1.0);
  const Ending ending = waitFor(once, 30s);
  EXPECT_EQ(ending.code, 1);
  EXPECT_LT(ending.seconds, 12.0);
  EXPECT_NE(readText(errors).find("(JACK: the sound server does not answer)"), std::string::npos)
      << readText(errors);
}

TEST(LiveCommandWithoutSoundServer, SaysWhichDeviceCannotBeUsedAndTheSystemsTried) {
  if (alsaSequencerPresent()) {
    GTEST_SKIP() << "this machine has an ALSA sequencer for MIDI";
  }
  TempFolder folder;
  writeMonoWave(folder / "melody.wav", harmonicTone(60, 44100));
  const Ending ending = waitFor(
      startLive({"--input-file", (folder / "melody.wav").string()}, folder / "errors.txt",
                {"MELOVANTIS_MIDI_API", "MELOVANTIS_AUDIO_API", "JACK_NO_START_SERVER=1",
                 "JACK_DEFAULT_SERVER=melovantis-no-such-server"}),
      30s);
  EXPECT_EQ(ending.code, 1);
  EXPECT_EQ(readText(folder / "errors.txt"),
            "melovantis-cli: MIDI output 0. Melovantis (a port of its own, for other programs): "
            "Cannot use this MIDI device, please select another one. (no MIDI system: no ALSA "
            "sequencer (/dev/snd/seq), and no JACK server runs)\n");
}

TEST_F(LiveCommandThroughJack, DevicesListsTheJackPortsWithTheNumbersLiveTakes) {
  MelodyPlayer singer("singer", std::vector<float>(100, 0.0f));
  MidiRecorder synthesizer("synthesizer");
  const std::string listing = folder.path() / "devices.txt";
  ASSERT_EQ(std::system(("timeout 30 " + std::string(MELOVANTIS_CLI) + " devices > '" + listing +
                         "'").c_str()),
            0);
  const std::string text = readText(listing);
  const std::size_t inputs = text.find("Audio inputs:");
  const std::size_t outputs = text.find("MIDI outputs:");
  ASSERT_NE(inputs, std::string::npos);
  ASSERT_NE(outputs, std::string::npos);
  EXPECT_NE(text.find(". singer", inputs), std::string::npos) << text;
  EXPECT_LT(text.find(". singer", inputs), outputs);
  EXPECT_NE(text.find("  0. Melovantis", outputs), std::string::npos) << text;
  EXPECT_NE(text.find(outputNumber(synthesizer) + ". synthesizer:in", outputs), std::string::npos)
      << text;
}

}  // namespace
}  // namespace melovantis::test
