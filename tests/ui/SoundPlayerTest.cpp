#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/FakeSoundOutput.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"
#include "ui/SoundPlayer.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 400 && !done(); ++i) {
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

class Player : public ::testing::Test {
 protected:
  Player() : player(output, synthesizer) {
    writeMonoWave(wave, harmonicTone(69, 22050));  // half a second
    writeText(midi, "MThd");
  }
  TempFolder folder;
  fs::path wave = folder / "take.wav";
  fs::path midi = folder / "take.mid";
  FakeSoundOutput output;
  FakeSynthesizer synthesizer;
  SoundPlayer player;
};

TEST_F(Player, AWaveFilePlaysToItsEndAndThenCountsAsStopped) {
  player.setFile(wave);
  EXPECT_DOUBLE_EQ(player.lengthSeconds(), 0.5);
  player.play();
  EXPECT_EQ(player.state(), PlayState::Playing) << player.silentReason();
  ASSERT_TRUE(waitFor([&] { return player.state() == PlayState::Stopped; }));
  EXPECT_GE(output.loudFrames.load(), 21000);  // half a second of tone, bar its zero crossings
  EXPECT_DOUBLE_EQ(player.positionSeconds(), 0.5);
  EXPECT_TRUE(player.silentReason().empty());
  player.noticeEnd();
  EXPECT_FALSE(output.running());
  EXPECT_DOUBLE_EQ(player.positionSeconds(), 0.5);  // a stopped piece shows where it ended

  // Play again: from the start, to the end again.
  const long long heard = output.loudFrames.load();
  player.play();
  EXPECT_EQ(player.state(), PlayState::Playing);
  ASSERT_TRUE(waitFor([&] { return player.state() == PlayState::Stopped; }));
  player.noticeEnd();  // the output stopped: every block it pulled is counted
  EXPECT_EQ(output.loudFrames.load(), 2 * heard);
}

TEST_F(Player, AMidiFileGoesThroughTheSynthesizerAndPauseKeepsThePlace) {
  synthesizer.seconds = 60.0;
  player.setFile(midi);
  player.play();
  ASSERT_TRUE(waitFor([&] { return output.loudFrames.load() > 0; }));
  player.pause();
  const double at = player.positionSeconds();
  EXPECT_GT(at, 0.0);
  EXPECT_EQ(player.state(), PlayState::Paused);
  std::this_thread::sleep_for(20ms);
  EXPECT_DOUBLE_EQ(player.positionSeconds(), at);
  player.stop();
  EXPECT_DOUBLE_EQ(player.positionSeconds(), 0.0);
  EXPECT_EQ(synthesizer.loads, 1);
}

TEST_F(Player, WithoutASoundOutputItSaysSoAndStaysStopped) {
  output.absent = true;
  SoundPlayer silent(output, synthesizer);
  EXPECT_EQ(silent.silentReason(), "No sound output device");
  silent.setFile(wave);
  silent.play();
  EXPECT_EQ(silent.state(), PlayState::Stopped);
  synthesizer.missing = true;
  player.setFile(midi);
  player.play();
  EXPECT_EQ(player.state(), PlayState::Stopped);
  EXPECT_EQ(player.silentReason(), "No General MIDI sound set");
}

TEST_F(Player, ANewFileStopsWhatPlaysAndAnEmptyOneReleasesIt) {
  synthesizer.seconds = 60.0;
  player.setFile(midi);
  player.play();
  player.setFile({});
  EXPECT_EQ(player.state(), PlayState::Stopped);
  player.play();
  EXPECT_EQ(player.state(), PlayState::Stopped);  // nothing to play
}

}  // namespace
}  // namespace melovantis::test
