// melovantis-cli live with real parts: a melody file played at real speed
// into the live analysis, its MIDI through RtMidi to a JACK MIDI input.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "JackServer.h"
#include "JackTestClients.h"
#include "midi/RtMidiOutputPorts.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

extern char** environ;

namespace melovantis::test {
namespace {

using namespace std::chrono_literals;

const std::vector<int> kMelody = {64, 67, 71, 69};

// The live command in the background; its process id.
pid_t startLive(const std::vector<std::string>& options) {
  std::vector<std::string> args = {MELOVANTIS_CLI, "live"};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  EXPECT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
  return pid;
}

// Its exit status, waiting at most `limit`; -1 (after killing it) when it hangs.
int waitFor(pid_t pid, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < end) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::this_thread::sleep_for(20ms);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1;
}

class LiveCommandThroughJack : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server.running()) {
      GTEST_SKIP() << server.why();
    }
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

  JackServer server;
  TempFolder folder;
  std::filesystem::path melody = folder / "melody.wav";
};

TEST_F(LiveCommandThroughJack, AFilePlayedIntoItGivesItsNotesInOrderAndEndsWithTheLastNoteOff) {
  MidiRecorder synthesizer("synthesizer");
  ASSERT_TRUE(synthesizer.ok());
  const pid_t live = startLive({"--input-file", melody.string(), "--midi-out",
                                outputNumber(synthesizer)});
  ASSERT_EQ(waitFor(live, 30s), 0);
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
  const pid_t live = startLive({"--input-file", melody.string(), "--midi-out",
                                outputNumber(synthesizer)});
  std::this_thread::sleep_for(1500ms);
  ::kill(live, SIGINT);
  EXPECT_EQ(waitFor(live, 10s), 0);
  const auto messages = channelMessages(synthesizer);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back()[0] & 0xF0, 0x80);
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
