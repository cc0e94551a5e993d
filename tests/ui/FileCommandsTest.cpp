#include <gtest/gtest.h>

#include <algorithm>

#include "documents/ProjectFile.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "ui/CommandIds.h"
#include "ui/MainWindowFixture.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNotProcessed = "Wave file not processed yet!";

using FileCommands = MainWindowFixture;

TEST_F(FileCommands, SaveCommandsBeforeAnythingIsLoadedRefuseAndWriteNothing) {
  for (const int id : {command::kSaveMidi, command::kSaveMidiAs, command::kSaveProject,
                       command::kSaveProjectAs}) {
    window.activate(id);
  }
  ASSERT_EQ(notifier.entries.size(), 4u);
  for (const auto& entry : notifier.entries) {
    EXPECT_EQ(entry.text, kNotProcessed);
    EXPECT_EQ(entry.caption, "Error");
    EXPECT_EQ(entry.icon, MessageIcon::Error);
  }
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(fs::is_empty(folder("MIDI files")));
  EXPECT_TRUE(fs::is_empty(folder("Melovantis files")));
}

TEST_F(FileCommands, OpenAudioFileConvertsThroughFfmpegIntoThePcmFolder) {
  const fs::path wave = melodyWave("song.wav");
  const fs::path mp3 = outside / "song.mp3";
  ASSERT_TRUE(encodeWithFfmpeg(wave, mp3));
  openAudio(mp3);

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "open");
  EXPECT_EQ(dialogs.shown[0].request.startFolder, folder("Wave files"));
  EXPECT_EQ(dialogs.shown[0].request.filter, "Audio/Video Files (*.*)|*.*");
  EXPECT_TRUE(fs::is_regular_file(folder("Wave files/PCM") / "song.wav"));
  EXPECT_EQ(window.wavePath(), folder("Wave files/PCM") / "song.wav");
  EXPECT_EQ(view.status, "[Wave: song]     [Settings: <default>]     [MIDI: -]     [Melovantis: -]");
  // No own settings: the wizard is offered, declined, and the defaults are loaded.
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].caption, "Settings not found");
  EXPECT_TRUE(window.session().processed);
}

TEST_F(FileCommands, TheBaseNameKeepsEveryDotButTheLast) {
  openAudio(melodyWave("take.1.wav"));
  EXPECT_EQ(window.wavePath().filename(), "take.1.wav");
  EXPECT_EQ(view.status.substr(0, 15), "[Wave: take.1] ");
}

TEST_F(FileCommands, AStereoWaveThatReachesTheFormatRuleIsRefusedWithItsFormat) {
  // A program-folder converter that copies the file unchanged lets the rule see it.
  writeText(program / "ffmpeg", "#!/bin/sh\ncp \"$2\" \"${12}\"\n");
  fs::permissions(program / "ffmpeg", fs::perms::owner_all);
  const fs::path stereo = outside / "duet.wav";
  WaveFileBuilder().fmt(1, 2).data(harmonicTone(69, 4410)).write(stereo);
  dialogs.choose(stereo);
  window.activate(command::kOpenAudioFile);

  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].caption, "Not suitable format.");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Information);
  EXPECT_NE(notifier.entries[0].text.find(
                "Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"),
            std::string::npos);
  EXPECT_TRUE(window.wavePath().empty());
  EXPECT_EQ(view.status.substr(0, 11), "[Wave: -]  ");
}

TEST_F(FileCommands, AFileTheConverterCannotReadIsNotReplacedByAnOlderCopyOfTheSameName) {
  openAudio(melodyWave("song.wav"));
  writeText(outside / "song.ogg", "not audio at all");
  dialogs.choose(outside / "song.ogg");
  window.activate(command::kOpenAudioFile);
  EXPECT_EQ(notifier.entries.back().text, "Not a valid wave file!");
  EXPECT_TRUE(window.wavePath().empty());
}

TEST_F(FileCommands, StartWithoutAFileOpensOneConvertsItAndSavesTheMidiFile) {
  dialogs.choose(melodyWave("tune.wav"));
  notifier.answer(false);
  dialogs.choose(folder("MIDI files") / "tune.mid");
  window.activate(command::kStart);

  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, "save");
  EXPECT_EQ(dialogs.shown[1].request.initialName, "tune.mid");
  EXPECT_EQ(dialogs.shown[1].request.startFolder, folder("MIDI files"));
  EXPECT_EQ(dialogs.shown[1].request.filter, "MIDI files|*.mid");
  EXPECT_GT(window.engine().frameCount, 10);
  EXPECT_FALSE(readFileBytes(folder("MIDI files") / "tune.mid").empty());
  EXPECT_EQ(view.title, MainWindow::kTitle);
  EXPECT_EQ(player.file(), folder("MIDI files") / "tune.mid");
  EXPECT_EQ(view.progress, (std::vector<std::pair<ProgressKind, bool>>{
                               {ProgressKind::Conversion, true}, {ProgressKind::Conversion, false}}));
  EXPECT_EQ(view.scrollMaximum, std::max(0, window.engine().frameCount - 550));
}

TEST_F(FileCommands, AnsweringNoToOverwritingLeavesThePathsAsTheyWere) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  writeText(folder("MIDI files") / "other.mid", "keep me");
  writeText(folder("Melovantis files") / "other.mvt", "keep me");
  dialogs.choose(folder("MIDI files") / "other.mid");
  notifier.answer(false);
  window.activate(command::kSaveMidiAs);
  dialogs.choose(folder("Melovantis files") / "other.mvt");
  notifier.answer(false);
  window.activate(command::kSaveProjectAs);

  EXPECT_EQ(notifier.entries.back().text, "File exists. Overwrite?");
  EXPECT_EQ(readText(folder("MIDI files") / "other.mid"), "keep me");
  EXPECT_EQ(readText(folder("Melovantis files") / "other.mvt"), "keep me");
  EXPECT_EQ(view.status,
            "[Wave: tune]     [Settings: <default>]     [MIDI: tune]     [Melovantis: -]");
}

TEST_F(FileCommands, SaveProjectConfirmsWithItsPathAndSaveProjectAsDoesNot) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const fs::path project = folder("Melovantis files") / "tune.mvt";
  dialogs.choose(project);
  const std::size_t before = notifier.entries.size();
  window.activate(command::kSaveProject);  // no path yet: Save As
  EXPECT_EQ(notifier.entries.size(), before);
  EXPECT_EQ(dialogs.shown.back().request.initialName, "tune.mvt");
  window.activate(command::kSaveProject);
  ASSERT_EQ(notifier.entries.size(), before + 1);
  EXPECT_EQ(notifier.entries.back().text, "Melovantis file saved as " + project.string());
  EXPECT_EQ(notifier.entries.back().caption, "Saved OK");
  EXPECT_NE(view.status.find("[Melovantis: tune]"), std::string::npos);
}

TEST_F(FileCommands, OpenProjectLoadsTheTableAndForgetsTheWaveAndMidiFiles) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const int frames = window.engine().frameCount;
  dialogs.choose(folder("Melovantis files") / "tune.mvt");
  window.activate(command::kSaveProjectAs);
  window.engine().frameCount = 0;

  dialogs.choose(folder("Melovantis files") / "tune.mvt");
  window.activate(command::kOpenProject);
  EXPECT_EQ(window.engine().frameCount, frames);
  EXPECT_TRUE(window.wavePath().empty());
  EXPECT_EQ(view.status, "[Wave: -]     [Settings: <default>]     [MIDI: -]     [Melovantis: tune]");
  // With no WAVE file, the MIDI file is proposed under the project's name.
  dialogs.choose(std::nullopt);
  window.activate(command::kSaveMidiAs);
  EXPECT_EQ(dialogs.shown.back().request.initialName, "tune.mid");

  // Over a longer table: Undo after the opening finds the project's table, not rows of that one.
  convertAndSave(melodyWave("long.wav", 3.0), "long.mid");
  const double longFirst = window.engine().frames[0].pitch = 50.0;
  ASSERT_GT(window.engine().frameCount, frames);
  dialogs.choose(folder("Melovantis files") / "tune.mvt");
  window.activate(command::kOpenProject);
  const double opened = window.engine().frames[0].pitch;
  ASSERT_NE(opened, longFirst);
  window.activate(control::kUndo);
  EXPECT_EQ(window.engine().frameCount, frames);
  EXPECT_EQ(window.engine().frames[0].pitch, opened);
}

TEST_F(FileCommands, AProjectFileThatCannotBeReadChangesNothing) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const int frames = window.engine().frameCount;
  writeText(outside / "broken.mvt", "-5\n");
  dialogs.choose(outside / "broken.mvt");
  window.activate(command::kOpenProject);
  EXPECT_EQ(notifier.entries.back().text, "Cannot open Melovantis file!");
  EXPECT_EQ(window.engine().frameCount, frames);
  EXPECT_EQ(view.status,
            "[Wave: tune]     [Settings: <default>]     [MIDI: tune]     [Melovantis: -]");
}

TEST_F(FileCommands, AMidiFileThatCannotBeWrittenLeavesTheDocumentUnsaved) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  window.activate(control::kErase);  // an edit: unsaved
  dialogs.choose(outside / "no such folder" / "x.mid");
  window.activate(command::kSaveMidiAs);
  EXPECT_EQ(notifier.entries.back().text, "File error!");
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);
  EXPECT_EQ(view.status,
            "[Wave: tune]     [Settings: <default>]     [MIDI: tune]     [Melovantis: -]");
}

TEST_F(FileCommands, PlayingAfterAnEditSavesFirstAndStoppingDoesNotStartPlayback) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const fs::path midi = folder("MIDI files") / "tune.mid";
  window.activate(control::kErase);
  fs::remove(midi);
  window.playerControl(PlayerAction::Stop);
  EXPECT_TRUE(fs::exists(midi));  // saved again
  EXPECT_EQ(player.state(), PlayState::Stopped);
  EXPECT_EQ(view.title, MainWindow::kTitle);

  window.activate(control::kErase);
  window.playerControl(PlayerAction::Play);
  EXPECT_EQ(player.state(), PlayState::Playing);
  EXPECT_EQ(player.file(), midi);
}

TEST_F(FileCommands, PlayAfterTheRangeLinesMovedConvertsOnceAlsoWhenTheMidiFileCannotBeWritten) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const auto conversions = [&] {
    return std::count(view.progress.begin(), view.progress.end(),
                      std::pair<ProgressKind, bool>{ProgressKind::Conversion, true});
  };
  for (const bool writable : {true, false}) {
    if (!writable) {
      fs::remove_all(folder("MIDI files"));  // the automatic save fails from now on
    }
    const HandleRect low = window.state().lowHandle;
    window.mousePressed(low.left + 2, low.top + 5);
    window.mouseMoved(low.left + 2, low.top + 1);
    window.mouseReleased();
    const int lowest = window.settings().lowestNote;
    view.progress.clear();
    window.playerControl(PlayerAction::Play);
    EXPECT_EQ(conversions(), 1) << writable;
    EXPECT_FALSE(window.state().reconvertPending) << writable;
    // The new range was used: the lowest note bounds the pitch search.
    EXPECT_EQ(window.engine().maxLag,
              static_cast<int>(window.engine().lagForNote(lowest)));
    window.playerControl(PlayerAction::Stop);
    window.playerControl(PlayerAction::Play);
    EXPECT_EQ(conversions(), 1) << writable;
  }
  EXPECT_EQ(notifier.entries.back().text, "File error!");
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);

  // A MIDI file saved after the lines moved is the result to play: nothing converts.
  fs::create_directories(folder("MIDI files"));
  const HandleRect low = window.state().lowHandle;
  window.mousePressed(low.left + 2, low.top + 5);
  window.mouseMoved(low.left + 2, low.top + 1);
  window.mouseReleased();
  ASSERT_TRUE(window.state().reconvertPending);
  window.activate(control::kSaveMidi);
  view.progress.clear();
  window.playerControl(PlayerAction::Play);
  EXPECT_EQ(conversions(), 0);
}

TEST_F(FileCommands, ThePlayerTypeListChoosesTheMidiOrTheWaveFile) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  window.playerTypeChosen(1);
  EXPECT_EQ(player.file(), window.wavePath());
  window.playerTypeChosen(0);
  EXPECT_EQ(player.file(), folder("MIDI files") / "tune.mid");
}

}  // namespace
}  // namespace melovantis::test
