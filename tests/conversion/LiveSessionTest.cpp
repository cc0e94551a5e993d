#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "conversion/LiveDisplay.h"
#include "conversion/LiveSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingMidiPorts.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedCapture.h"
#include "support/TestSignals.h"

namespace melovantis::test {
namespace {

using namespace std::chrono_literals;

// An input the test hands samples to itself, at the moments it chooses.
class HandCapture : public AudioCaptureBackend {
 public:
  explicit HandCapture(std::vector<std::int16_t> first) : first_(std::move(first)) {}
  std::vector<AudioDevice> inputDevices() override { return {AudioDevice{0, "hand"}}; }
  CaptureFailure start(int /*deviceId*/, int /*framesPerPiece*/, SampleHandler handler) override {
    handler_ = std::move(handler);
    deliver(first_);
    return CaptureFailure::None;
  }
  void stop() override { handler_ = nullptr; }
  // What the next start hands over first.
  void setFirst(std::vector<std::int16_t> first) { first_ = std::move(first); }
  void deliver(const std::vector<std::int16_t>& samples) {
    handler_(samples.data(), static_cast<int>(samples.size()));
  }

 private:
  std::vector<std::int16_t> first_;
  SampleHandler handler_;
};

// A MIDI output that, once closed off, holds up the capture thread at its next
// message, as a synthesizer that stalls would (the opening messages, sent on
// the thread that starts the run, pass).
class GatedPorts : public MidiOutputPorts {
 public:
  std::vector<std::string> names() override { return {"gate"}; }
  std::unique_ptr<MidiSink> sink(int /*id*/) override { return std::make_unique<Sink>(*this); }

  void close() {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  void open() {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = false;
    changed_.notify_all();
  }
  bool holding() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return holding_;
  }
  // What reached the output, in order: each message's status byte, and "close".
  std::vector<std::string> events() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }

 private:
  class Sink : public MidiSink {
   public:
    explicit Sink(GatedPorts& ports) : ports_(ports) {}
    void send(std::uint8_t status, std::uint8_t, std::uint8_t, int) override {
      std::unique_lock<std::mutex> lock(ports_.mutex_);
      if (std::this_thread::get_id() != ports_.starter_) {
        ports_.holding_ = ports_.closed_;
        ports_.changed_.wait(lock, [&] { return !ports_.closed_; });
        ports_.holding_ = false;
      }
      ports_.events_.push_back(std::to_string(status >> 4));
    }
    void close() override {
      const std::lock_guard<std::mutex> lock(ports_.mutex_);
      ports_.events_.push_back("close");
    }

   private:
    GatedPorts& ports_;
  };

  const std::thread::id starter_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::condition_variable changed_;
  bool closed_ = false;
  bool holding_ = false;
  std::vector<std::string> events_;
};

// A live engine set up as the real-time default settings would.
class LiveRun : public ::testing::Test {
 protected:
  LiveRun() : engine(notifier) {
    SettingsRecord settings;
    settings.timeResolutionMs = 40;
    settings.timeResolutionBoost = 0;
    settings.gmVoice = 128;
    applySettingsToEngine(settings, engine);
  }
  // Waits up to ten seconds for the run to have analysed `blocks` blocks;
  // whether it has that many, no more.
  static bool analysedBlocks(LiveSession& session, int blocks) {
    for (int i = 0; i < 1000 && session.capture().lastFrame().blocks < blocks; ++i) {
      std::this_thread::sleep_for(10ms);
    }
    return session.capture().lastFrame().blocks == blocks;
  }
  // Note-on keys, in order, that reached device `id`.
  std::vector<int> noteOns(int id) {
    std::vector<int> keys;
    for (const MidiMessage& m : ports.devices[static_cast<std::size_t>(id)].messages) {
      if ((m.status & 0xF0) == 0x90 && m.data2 > 0) {
        keys.push_back(m.data1);
      }
    }
    return keys;
  }

  RecordingNotifier notifier;
  AnalysisEngine engine;
  RecordingMidiPorts ports;
};

TEST_F(LiveRun, ANoteSungIntoTheInputReachesTheDeviceAndTheLastNoteOffGoesBeforeClosing) {
  ScriptedCapture input(concat({constant(4410), harmonicTone(69, 22050), harmonicTone(72, 22050)}));
  LiveSession session(engine, notifier, input, ports);
  ASSERT_TRUE(session.start(1));
  std::this_thread::sleep_for(400ms);  // 1.1 s of sound at four times real speed
  session.stop();
  EXPECT_EQ(ports.log.front(), "open 1");  // read only now: the capture thread writes it
  EXPECT_FALSE(session.running());
  EXPECT_EQ(engine.frameCount, 0);

  // A note starts on the semitone at or below its pitch and bends up to it.
  const std::vector<int> keys = noteOns(1);
  ASSERT_GE(keys.size(), 2u);
  EXPECT_TRUE(keys.front() == 68 || keys.front() == 69) << keys.front();
  EXPECT_TRUE(keys.back() == 71 || keys.back() == 72) << keys.back();
  // Stopping: the last note-off, then the device closed, nothing after.
  ASSERT_GE(ports.log.size(), 2u);
  EXPECT_EQ(ports.log.back(), "close 1");
  const std::string& last = ports.log[ports.log.size() - 2];
  EXPECT_EQ(last.substr(0, 2), "80");
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(LiveRun, SwitchingDevicesClosesTheOldOneAfterANoteOffAndOpensTheNewWithItsOpeningMessages) {
  ScriptedCapture input(harmonicTone(64, 44100));
  LiveSession session(engine, notifier, input, ports);
  ASSERT_TRUE(session.start(0));
  std::this_thread::sleep_for(100ms);
  session.stop();
  ASSERT_TRUE(session.start(1));
  session.stop();
  const auto closeOld = std::find(ports.log.begin(), ports.log.end(), "close 0");
  const auto openNew = std::find(ports.log.begin(), ports.log.end(), "open 1");
  ASSERT_NE(closeOld, ports.log.end());
  ASSERT_LT(closeOld, openNew);
  // The opening messages on the new device: bend range by registered parameter 0, no
  // program change for the "[ NONE ]" voice.
  const auto& opening = ports.devices[1].messages;
  ASSERT_GE(opening.size(), 2u);
  EXPECT_EQ(opening[0], (MidiMessage{0xB0, 101, 0, 3}));
  EXPECT_EQ(opening[1], (MidiMessage{0xB0, 100, 0, 3}));
}

TEST_F(LiveRun, NoMidiDeviceSaysSoAndCaptureNeverStarts) {
  ScriptedCapture input(harmonicTone(64, 44100));
  RecordingMidiPorts none(0);
  LiveSession session(engine, notifier, input, none);
  EXPECT_FALSE(session.start(0));
  ports.devices.clear();
  EXPECT_EQ(input.starts, 0);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Cannot use this MIDI device, please select another one.");

  RecordingMidiPorts busy(1);
  busy.devices[0].refuseOpen = true;
  LiveSession second(engine, notifier, input, busy);
  EXPECT_FALSE(second.start(0));
  EXPECT_EQ(input.starts, 0);
}

TEST_F(LiveRun, CaptureFailuresGiveTheirMessagesAndCloseTheDeviceAgain) {
  struct Case {
    bool noDevices;
    CaptureFailure failure;
    const char* text;
  };
  for (const Case c : {Case{true, CaptureFailure::None, "No Sound Device"},
                       Case{false, CaptureFailure::CannotOpen, "Cannot Open Sound Input Device!"},
                       Case{false, CaptureFailure::CannotStart, "Cannot Start Wave In !"}}) {
    ScriptedCapture input;
    input.noDevices = c.noDevices;
    input.failure = c.failure;
    RecordingNotifier told;
    RecordingMidiPorts device(1);
    LiveSession session(engine, told, input, device);
    EXPECT_FALSE(session.start(0));
    ASSERT_EQ(told.entries.size(), 1u);
    EXPECT_EQ(told.entries[0].text, c.text);
    EXPECT_EQ(device.log.back(), "close 0");  // the MIDI device is let go again
  }
}

TEST_F(LiveRun, AnInputThatNeverDeliversIsGivenUpAfterATimeOutWithAMessage) {
  ScriptedCapture input;
  input.silentDevice = true;
  LiveSession session(engine, notifier, input, ports);
  EXPECT_FALSE(session.start(0, -1, 200ms));
  EXPECT_FALSE(session.running());
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text.substr(0, 39), "No sound arrives from the audio input. ");
  EXPECT_EQ(ports.log.back(), "close 0");
}

TEST_F(LiveRun, TheDisplaySmoothsThePitchOverThreeBlocksAndTheControlsReachTheAnalysis) {
  // Three blocks of C, then two of G a fifth above; snapped to the semitones
  // and raised an octave by the controls. Each block is handed over once the
  // one before is analysed, so that none is left out however busy the machine.
  const int block = engine.frameSize;
  HandCapture input(harmonicTone(60, block));
  LiveSession session(engine, notifier, input, ports);
  session.capture().controls().transpose = 12;
  session.capture().controls().quantizeAmount = 1.0;
  ASSERT_TRUE(session.start(0));
  const auto analysed = [&session](int blocks) { return analysedBlocks(session, blocks); };
  for (int n = 2; n <= 5; ++n) {
    ASSERT_TRUE(analysed(n - 1));
    input.deliver(harmonicTone(n <= 3 ? 60 : 67, block));
  }
  ASSERT_TRUE(analysed(5));
  const LiveFrame frame = session.capture().lastFrame();
  const long long dropped = session.droppedBlocks();
  session.stop();
  ASSERT_EQ(dropped, 0);
  EXPECT_DOUBLE_EQ(frame.pitch, 79.0);  // G, an octave up, on the semitone
  // The mean of the last three blocks: 72, 79, 79 (not two blocks, 79, nor four, 75.5).
  EXPECT_DOUBLE_EQ(frame.smoothedPitch, (72.0 + 79.0 + 79.0) / 3.0);
}

TEST_F(LiveRun, AnInputThatStopsDeliveringEndsTheRunAfterASecondWithAMessageAndTheLastNoteOff) {
  ScriptedCapture input(harmonicTone(69, 44100));
  input.stopsAfterTheSamples = true;  // a quarter of a second at four times real speed, then nothing
  LiveSession session(engine, notifier, input, ports);
  ASSERT_TRUE(session.start(0));
  EXPECT_TRUE(session.checkInput());
  const auto start = std::chrono::steady_clock::now();
  while (session.checkInput() && std::chrono::steady_clock::now() - start < 10s) {
    std::this_thread::sleep_for(10ms);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_FALSE(session.running());
  EXPECT_FALSE(session.checkInput());  // said once
  // A second after the last samples (a quarter of a second in), not before.
  EXPECT_GT(seconds, 1.0);
  EXPECT_LT(seconds, 3.0);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text,
            "No sound has come from the audio input for a second: it was disconnected, or its "
            "sound system stopped. The live run has ended.");
  EXPECT_EQ(noteOns(0).size(), 1u);
  ASSERT_GE(ports.log.size(), 2u);
  EXPECT_EQ(ports.log.back(), "close 0");
  EXPECT_EQ(ports.log[ports.log.size() - 2].substr(0, 2), "80");
}

TEST_F(LiveRun, ARestartBeginsWithAnEmptyQueueNotWithTheRestOfTheRunBefore) {
  // The first run leaves most of a block waiting when it stops; the second
  // sings C. Had the rest been kept, the second run's first block would be
  // nearly all of the first run's A. Blocks are handed over one at a time,
  // each once the one before is analysed.
  const int block = engine.frameSize;
  HandCapture input(harmonicTone(69, block));
  LiveSession session(engine, notifier, input, ports);
  session.capture().controls().quantizeAmount = 1.0;
  const auto analysed = [&session](int blocks) { return analysedBlocks(session, blocks); };
  ASSERT_TRUE(session.start(0));
  ASSERT_TRUE(analysed(1));
  input.deliver(harmonicTone(69, block));
  ASSERT_TRUE(analysed(2));
  input.deliver(harmonicTone(69, block));
  ASSERT_TRUE(analysed(3));
  input.deliver(harmonicTone(69, block - 64));
  session.stop();
  ASSERT_EQ(session.capture().lastFrame().blocks, 3);
  input.setFirst(harmonicTone(60, block));
  ASSERT_TRUE(session.start(1));
  ASSERT_TRUE(analysed(1));
  session.stop();
  const std::vector<int> keys = noteOns(1);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.front(), 60);
}

TEST_F(LiveRun, BlocksTheAnalysisCouldNotTakeInAreLeftOutCountedAndTheNewestAnalysed) {
  const int block = engine.frameSize;
  // A block of silence (no message), then a note, whose first messages the
  // stalled output holds up.
  HandCapture input(concat({constant(block), harmonicTone(69, block)}));
  GatedPorts ports;
  ports.close();
  LiveSession session(engine, notifier, input, ports);
  ASSERT_TRUE(session.start(0));
  for (int i = 0; i < 500 && !ports.holding(); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(ports.holding());
  // Ten blocks come while the analysis is held up: it takes the newest two.
  input.deliver(harmonicTone(69, 10 * block));
  ports.open();
  for (int i = 0; i < 500 && session.capture().lastFrame().blocks < 4; ++i) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(session.capture().lastFrame().blocks, 4);
  EXPECT_EQ(session.droppedBlocks(), 8);
  session.stop();
  EXPECT_EQ(session.droppedBlocks(), 8);  // still told after the run
}

TEST_F(LiveRun, AStopWhileTheOutputHoldsUpANoteWaitsForItAndEndsWithItsNoteOff) {
  const int block = engine.frameSize;
  HandCapture input(concat({constant(block), harmonicTone(69, block)}));
  GatedPorts ports;
  ports.close();
  LiveSession session(engine, notifier, input, ports);
  ASSERT_TRUE(session.start(0));
  for (int i = 0; i < 500 && !ports.holding(); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(ports.holding());
  // The output takes the note's messages again only while the stop is under way.
  std::thread release([&ports] {
    std::this_thread::sleep_for(200ms);
    ports.open();
  });
  session.stop();
  release.join();
  // The note that was held up sounded; its note-off came after it, then the close.
  const std::vector<std::string> events = ports.events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.back(), "close");
  EXPECT_EQ(events[events.size() - 2], "8");  // 0x80: note-off
  EXPECT_NE(std::find(events.begin(), events.end(), "9"), events.end());
}

TEST(LiveDisplayValues, ANoteShowsItsDotNameAndFrequencyAndSilenceShowsBlanks) {
  LiveFrame frame;
  frame.smoothedPitch = 60.0;
  frame.volume = 127;
  frame.brightness = 10;
  const LiveDisplay c = LiveDisplay::of(frame);
  EXPECT_TRUE(c.dot);
  EXPECT_EQ(c.note, "C5");
  EXPECT_EQ(c.frequency, "261.6");
  EXPECT_EQ(c.radius, 8);
  EXPECT_EQ(c.dotX, 220 + 2);
  EXPECT_EQ(c.dotY, 100 + 78);
  EXPECT_EQ(c.red, 20);
  EXPECT_EQ(c.blue, 255);
  EXPECT_EQ(c.octave, 5);
  EXPECT_EQ(c.litSegments, 14);

  frame.smoothedPitch = 60.5;  // between C and C#, a quieter, smaller dot
  frame.volume = 40;
  const LiveDisplay half = LiveDisplay::of(frame);
  EXPECT_EQ(half.radius, 2);
  EXPECT_EQ(half.dotX, 220 + 7 + (8 - 2));
  EXPECT_EQ(half.dotY, 100 + 48);
  EXPECT_EQ(half.note, "C#5");
  EXPECT_EQ(half.litSegments, 40 * 14 / 127);

  frame.smoothedPitch = -334.0;  // silence in the last blocks
  const LiveDisplay quiet = LiveDisplay::of(frame);
  EXPECT_FALSE(quiet.dot);
  EXPECT_EQ(quiet.note, " ");
  EXPECT_EQ(quiet.frequency, " ");
}

}  // namespace
}  // namespace melovantis::test
