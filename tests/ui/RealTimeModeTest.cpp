#include <gtest/gtest.h>

#include "documents/SettingsFile.h"
#include "support/TestFiles.h"
#include "ui/CommandIds.h"
#include "ui/MainWindowFixture.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

using RealTime = MainWindowFixture;

TEST_F(RealTime, LeavingRestoresTheTableTheSettingsAndTheTempo) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const int frames = window.engine().frameCount;
  const double pitch = window.engine().frames[frames / 2].pitch;
  const SettingsRecord settings = window.settings();
  window.engine().tempoFactor = 1.5;
  view.realTime = [&](RealTimeMode& mode) {
    EXPECT_TRUE(window.engineLive());
    EXPECT_TRUE(mode.start());
    EXPECT_TRUE(mode.running());
    mode.setGain(300);
  };
  window.activate(control::kRealTimeStart);
  EXPECT_FALSE(window.engineLive());
  EXPECT_EQ(window.engine().frameCount, frames);
  EXPECT_DOUBLE_EQ(window.engine().frames[frames / 2].pitch, pitch);
  EXPECT_EQ(window.settings(), settings);
  EXPECT_EQ(window.engine().tempoFactor, 1.5);
  EXPECT_TRUE(fs::is_regular_file(folder("Private") / "tmp.mvt"));
  // The live run ended with its note-off and closed the device.
  EXPECT_EQ(midiPorts.log.back(), "close 0");
}

TEST_F(RealTime, OpeningAgainKeepsTheDeviceAndStartsTheControlsFromNeutral) {
  int firstDevice = -1;
  view.realTime = [&](RealTimeMode& mode) {
    EXPECT_EQ(mode.controls().gain, 100);
    EXPECT_EQ(mode.controls().quantize, 0);
    EXPECT_EQ(mode.controls().transpose, 0);
    if (firstDevice < 0) {
      mode.start();
      mode.chooseMidiDevice(1);
      mode.setGain(400);
      mode.setQuantize(50);
      mode.setTranspose(-12);
      firstDevice = 1;
    } else {
      mode.start();  // on the device chosen the first time
    }
  };
  window.activate(command::kStartRealTime);
  window.activate(command::kStartRealTimeButton);
  ASSERT_GE(midiPorts.log.size(), 1u);
  EXPECT_EQ(std::count(midiPorts.log.begin(), midiPorts.log.end(), "open 1"), 2);
  EXPECT_EQ(window.engine().inputGain, 1.0);
}

TEST_F(RealTime, ItsOwnDefaultsApplyAndTheSliderMappingsReachTheEngine) {
  SettingsRecord realtime;
  ASSERT_TRUE(readSettingsFile(folder("Private") / "default_realtime.set", realtime));
  view.realTime = [&](RealTimeMode& mode) {
    EXPECT_EQ(window.settings(), realtime);
    EXPECT_TRUE(window.settingsPath().empty());
    EXPECT_EQ(mode.controls().attackDetector, realtime.attackDetection != 0);
    EXPECT_EQ(mode.controls().sensitivity, realtime.attackSensitivity);
    ASSERT_TRUE(mode.start());
    mode.setGain(250);
    mode.setQuantize(100);
    mode.setTranspose(-48);
    mode.setSensitivity(77);
    mode.setAttackDetector(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    mode.close();  // the capture thread has taken the controls in by now
    EXPECT_EQ(window.engine().inputGain, 2.5);
    EXPECT_EQ(window.engine().quantizeAmount, 1.0);
    EXPECT_EQ(window.engine().transpose, -48);
    EXPECT_EQ(window.engine().attackSensitivity, 77);
    EXPECT_FALSE(window.engine().attackDetectorOn);
    EXPECT_EQ(window.settings().attackSensitivity, 77);
    EXPECT_EQ(window.settings().attackDetection, 0);
  };
  window.activate(command::kStartRealTime);
}

TEST_F(RealTime, WithoutAnInputTheWindowSaysSoAndStaysUsable) {
  capture.noDevices = true;
  view.realTime = [&](RealTimeMode& mode) {
    EXPECT_FALSE(mode.start());
    EXPECT_EQ(notifier.entries.back().text, "No Sound Device");
    EXPECT_EQ(midiPorts.log.back(), "close 0");
    capture.noDevices = false;
    mode.chooseMidiDevice(1);  // another choice starts the run again
    EXPECT_TRUE(mode.running());
  };
  window.activate(command::kStartRealTime);
}

TEST_F(RealTime, AQuickSettingsFileThatCannotBeReadIsNotAnnouncedAsLoaded) {
  writeText(folder("QuickSettings") / "broken.set", "");
  fs::permissions(folder("QuickSettings") / "broken.set", fs::perms::none);
  view.realTime = [&](RealTimeMode& mode) {
    mode.start();
    mode.chooseQuickSettings("voice");
    EXPECT_EQ(notifier.entries.back().text, "voice settings loaded OK!");
    EXPECT_EQ(notifier.entries.back().caption, "Success!");
    EXPECT_EQ(window.settingsPath(), folder("QuickSettings") / "voice.set");
    mode.chooseQuickSettings("missing");
    EXPECT_NE(notifier.entries.back().text, "missing settings loaded OK!");
    EXPECT_EQ(notifier.entries.back().caption, "Error");
    EXPECT_TRUE(mode.running());
  };
  window.activate(command::kStartRealTime);
}

TEST_F(RealTime, SelectAudioInOpensTheMixersInputsOrSaysWhatToUse) {
  view.realTime = [&](RealTimeMode& mode) {
    mode.selectAudioIn();
    EXPECT_EQ(notifier.entries.back().caption, "Select Audio In");
    launcher.installedPrograms = {"pavucontrol"};
    mode.selectAudioIn();
  };
  window.activate(command::kStartRealTime);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].arguments, (std::vector<std::string>{"--tab=4"}));
}

}  // namespace
}  // namespace melovantis::test
