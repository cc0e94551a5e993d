#include <gtest/gtest.h>

#include <functional>

#include "support/TestFiles.h"
#include "tools/EditModel.h"
#include "ui/CommandIds.h"
#include "ui/MainWindowFixture.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

using MainWindowCommands = MainWindowFixture;

TEST_F(MainWindowCommands, StartsWithNothingOpenTheDefaultsAndTheQuickSettingsInOrder) {
  EXPECT_EQ(view.status,
            "[Wave: -]     [Settings: <default>]     [MIDI: -]     [Melovantis: -]");
  EXPECT_EQ(view.title, "Melovantis\u00ae");
  EXPECT_EQ(view.playerType, 0);
  EXPECT_EQ(view.verticalMaximum, 0);
  EXPECT_EQ(view.quickSettings, (std::vector<std::string>{"bass", "cello", "flute", "piano",
                                                          "saxophone", "trumpet", "violin",
                                                          "voice", "whistle"}));
  EXPECT_TRUE(view.attackOn);
  EXPECT_EQ(view.sliderSensitivity, window.settings().attackSensitivity);
  EXPECT_FALSE(window.session().processed);
}

TEST_F(MainWindowCommands, EditsMarkTheTitleUnsavedAndOnlyAMidiSaveClearsIt) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  window.attackDetectorToggled(false);
  EXPECT_EQ(view.title, "Melovantis\u00ae [unsaved]");
  EXPECT_FALSE(window.engine().attackDetectorOn);
  EXPECT_EQ(window.settings().attackDetection, 0);
  EXPECT_FALSE(view.attackOn);  // the sensitivity slider is disabled with the box
  dialogs.choose(folder("Melovantis files") / "tune.mvt");
  window.activate(command::kSaveProjectAs);
  EXPECT_EQ(view.title, "Melovantis\u00ae [unsaved]");
  window.activate(control::kSaveMidi);
  EXPECT_EQ(view.title, "Melovantis\u00ae");
}

TEST_F(MainWindowCommands, TheSensitivitySliderRecomputesTheAttacks) {
  convertAndSave(melodyWave("tune.wav", 3.0), "tune.mid");
  auto& frames = window.engine().frames;
  for (int i = 0; i < window.engine().frameCount; ++i) {
    frames[static_cast<std::size_t>(i)].attack = 0;
  }
  window.sliderMoved(control::kAttackSensitivity, 100);
  EXPECT_EQ(frames[0].attack, 1);  // the pass ran: the first row always starts a note
  EXPECT_EQ(window.settings().attackSensitivity, 100);
  EXPECT_EQ(window.engine().attackSensitivity, 100);
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);
}

TEST_F(MainWindowCommands, ArrowKeysStayInsideTheViewAndOnExistingFrames) {
  convertAndSave(melodyWave("tune.wav", 1.0), "tune.mid");
  const int frames = window.engine().frameCount;
  ASSERT_LT(frames, 550);
  window.keyPressed(WindowKey::Left);
  EXPECT_EQ(window.state().cursorX, 196);
  for (int i = 0; i < frames + 5; ++i) {
    window.keyPressed(WindowKey::Right);
  }
  EXPECT_EQ(window.session().cursorFrame, frames - 1);
  EXPECT_EQ(window.state().cursorX, 196 + frames - 1);
}

TEST_F(MainWindowCommands, DeleteAtTheRightEdgeErasesAndStaysAndInsertOnFrameZeroOnlyMoves) {
  convertAndSave(melodyWave("tune.wav", 30.0), "tune.mid");  // more frames than the view is wide
  const auto& frames = window.engine().frames;
  const double first = frames[0].pitch;
  window.keyPressed(WindowKey::Insert);
  EXPECT_EQ(frames[0].pitch, first);
  EXPECT_EQ(window.session().cursorFrame, 1);

  for (int i = 0; i < 600; ++i) {
    window.keyPressed(WindowKey::Right);
  }
  ASSERT_EQ(window.state().cursorX, 196 + 550);
  const int edge = window.session().cursorFrame;
  window.keyPressed(WindowKey::Delete);
  EXPECT_EQ(frames[static_cast<std::size_t>(edge)].pitch, -1000.0);
  EXPECT_EQ(window.session().cursorFrame, edge);
  EXPECT_EQ(view.sliders, (std::vector<int>{-84, 0, 0, 0}));  // an erased frame's slider loads
}

TEST_F(MainWindowCommands, TheEditMenusEraseAndRepeatActAsTheirButtons) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  window.keyPressed(WindowKey::Right);
  window.activate(command::kEraseCurrentNote);
  EXPECT_EQ(window.engine().frames[1].pitch, -1000.0);
  window.activate(command::kRepeatPreviousNote);
  EXPECT_EQ(window.engine().frames[1].pitch, window.engine().frames[0].pitch);
  EXPECT_EQ(window.session().cursorFrame, 1);
}

TEST_F(MainWindowCommands, UndoReturnsToTheLastSnapshotAndTheZoomKeepsItsLimits) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const double first = window.engine().frames[0].pitch;
  window.activate(control::kErase);
  window.activate(control::kUndo);
  EXPECT_EQ(window.engine().frames[0].pitch, first);

  for (int i = 0; i < 7; ++i) {
    window.activate(control::kZoomIn);
  }
  EXPECT_EQ(window.state().zoom, 5);
  EXPECT_EQ(view.verticalMaximum, 254 * 5 - 254);
  window.activate(command::kZoom200);
  EXPECT_EQ(window.state().pixelsPerSemitone, 4.0);
  for (int i = 0; i < 3; ++i) {
    window.activate(control::kZoomOut);
  }
  EXPECT_EQ(window.state().zoom, 1);
}

TEST_F(MainWindowCommands, ToolsOpenTheirDialogOnlyOnAProcessedFileAfterTakingTheSnapshot) {
  window.activate(command::kPitchQuantize);  // nothing loaded: nothing happens
  EXPECT_TRUE(notifier.entries.empty());

  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  // Cancelled (or, In-Tune, without a dialog): each still refreshed the snapshot.
  view.quantizeAnswer = std::nullopt;
  for (const int tool : {control::kAutoCorrect, control::kPitchQuantize, control::kInTune,
                         control::kPitchTempo}) {
    window.engine().frames[0].pitch = 60.3;  // changed after the last snapshot
    window.activate(tool);
    window.engine().frames[0].pitch = 61.7;
    window.activate(control::kUndo);
    EXPECT_EQ(window.engine().frames[0].pitch, 60.3) << tool;
  }

  view.quantizeAnswer = 0;
  window.activate(command::kPitchQuantize);
  EXPECT_EQ(notifier.entries.back().text, "Quantization complete!");
  EXPECT_EQ(notifier.entries.back().caption, "Success!");
  EXPECT_EQ(window.engine().frames[0].pitch, 60.3);
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);
}

TEST_F(MainWindowCommands, CustomizeAppliesOnOkAndWithApplyNowConvertsAndSavesAgain) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const fs::path midi = folder("MIDI files") / "tune.mid";
  fs::remove(midi);
  window.activate(control::kSettings);  // cancelled
  EXPECT_FALSE(fs::exists(midi));

  view.settingsAnswer = SettingsDialogOutcome{true, true};
  window.settings().midiChannel = 5;
  window.engine().frameCount = 0;
  window.activate(command::kCustomize);
  EXPECT_EQ(window.engine().midi.channel, 4);
  EXPECT_GT(window.engine().frameCount, 0);  // converted again
  EXPECT_TRUE(fs::exists(midi));
}

TEST_F(MainWindowCommands, TheSettingsWizardShowsItsProgressAndLeavesAnEmptyTable) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  view.progress.clear();
  window.activate(control::kSettingsWizard);  // dialog cancelled
  EXPECT_TRUE(view.progress.empty());
  view.wizardAnswer = WizardChoices{};
  window.activate(command::kAutoSettings);
  EXPECT_EQ(view.progress, (std::vector<std::pair<ProgressKind, bool>>{
                               {ProgressKind::SettingsWizard, true},
                               {ProgressKind::SettingsWizard, false}}));
  EXPECT_EQ(window.engine().frameCount, 0);
  EXPECT_TRUE(player.file().empty());
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);
}

TEST_F(MainWindowCommands, ClosingAsksAndRunsTheExitScriptOnlyOnYes) {
  writeText(program / "clean.sh", "rm -f leftover\n");
  EXPECT_FALSE(window.closeRequested());  // No
  EXPECT_EQ(notifier.entries.back().text, "This will terminate Melovantis.\nAre you sure ?");
  EXPECT_EQ(notifier.entries.back().caption, "Warning!");
  EXPECT_EQ(notifier.entries.back().icon, MessageIcon::Error);
  EXPECT_TRUE(launcher.runs.empty());
  notifier.answer(true);
  EXPECT_TRUE(window.closeRequested());
  ASSERT_EQ(launcher.runs.size(), 1u);
  EXPECT_EQ(launcher.runs[0].program, "/bin/sh");
  EXPECT_EQ(launcher.runs[0].arguments, (std::vector<std::string>{(program / "clean.sh").string()}));
  window.activate(command::kExit);
  EXPECT_EQ(view.closeRequests, 1);
}

TEST_F(MainWindowCommands, TheMidiDeviceCommandOpensTheMixerOrSaysWhatToUse) {
  window.activate(control::kMidiOut);
  EXPECT_EQ(notifier.entries.back().caption, "MIDI Output Device");
  launcher.installedPrograms = {"pavucontrol"};
  window.activate(command::kMidiOutputDevice);
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].arguments, (std::vector<std::string>{"--tab=3"}));
}

TEST_F(MainWindowCommands, HelpItemsOpenTheProgramsOwnPagesOrSayWhereTheyAre) {
  for (const int id : {command::kShowUsersGuide, command::kWebsite, command::kCheckForUpdates}) {
    window.activate(id);
  }
  ASSERT_EQ(view.documents.size(), 3u);
  for (const fs::path& page : view.documents) {
    EXPECT_TRUE(fs::is_regular_file(page)) << page;
  }
  EXPECT_TRUE(notifier.entries.empty());

  view.browser = false;  // no browser launcher on this desktop
  window.activate(command::kShowUsersGuide);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].caption, "Show User's Guide");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Information);
  EXPECT_NE(notifier.entries[0].text.find(view.documents.back().string()), std::string::npos)
      << notifier.entries[0].text;
  window.activate(command::kCheckForUpdates);
  EXPECT_NE(notifier.entries.back().text.find("updates.html"), std::string::npos);
}

TEST_F(MainWindowCommands, UndoBringsBackTheEditsOfATableThatAnotherRunReplaced) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  const auto& frames = window.engine().frames;
  const auto dragLowestLine = [&] {
    const HandleRect low = window.state().lowHandle;
    window.mousePressed(low.left + 2, low.top + 5);
    window.mouseMoved(low.left + 2, low.top + 3);
    window.mouseReleased();
  };
  const std::vector<std::pair<const char*, std::function<void()>>> replacements = {
      {"Enter", [&] { window.keyPressed(WindowKey::Enter); }},
      {"Start!", [&] { window.activate(control::kStart); }},
      {"Play after a range-line drag",
       [&] {
         dragLowestLine();
         window.playerControl(PlayerAction::Play);
       }},
      {"Apply Now! with shorter frames",
       [&] {
         view.settingsAnswer = SettingsDialogOutcome{true, true};
         window.settings().timeResolutionMs = 40;
         window.activate(command::kCustomize);
       }},
      {"Settings Wizard",
       [&] {
         view.wizardAnswer = WizardChoices{};
         window.activate(control::kSettingsWizard);
       }},
  };
  for (const auto& [name, replace] : replacements) {
    const int rows = window.engine().frameCount;
    window.activate(control::kErase);  // the cursor is on frame 0
    ASSERT_EQ(frames[0].pitch, -1000.0) << name;
    replace();
    EXPECT_TRUE(window.engine().frameCount == 0 || frames[0].pitch >= 0.0) << name;
    window.activate(control::kUndo);
    EXPECT_EQ(window.engine().frameCount, rows) << name;
    EXPECT_EQ(frames[0].pitch, -1000.0) << name;
    EXPECT_EQ(view.title, MainWindow::kUnsavedTitle) << name;
    EXPECT_EQ(view.scrollMaximum, std::max(0, rows - 550)) << name;
  }

  // A conversion of an unedited table still leaves Undo on its own result.
  window.activate(command::kStart);
  window.activate(command::kStart);
  const double converted = frames[0].pitch;
  ASSERT_GE(converted, 0.0);
  window.activate(control::kUndo);
  EXPECT_EQ(frames[0].pitch, converted);
}

TEST_F(MainWindowCommands, TheQuickSettingsBoxShowsTheEntryInUseOrNone) {
  window.quickSettingsChosen("voice");
  EXPECT_EQ(view.quickSettingsShown, "voice");
  EXPECT_NE(view.status.find("[Settings: voice]"), std::string::npos);
  window.activate(command::kLoadDefaults);
  EXPECT_EQ(view.quickSettingsShown, "");
  EXPECT_NE(view.status.find("[Settings: <default>]"), std::string::npos);
  window.quickSettingsChosen("flute");
  dialogs.choose(program / "Settings" / "mine.set");
  window.activate(command::kSettingsSaveAs);
  EXPECT_EQ(view.quickSettingsShown, "");
  EXPECT_NE(view.status.find("[Settings: mine]"), std::string::npos);
}

}  // namespace
}  // namespace melovantis::test
