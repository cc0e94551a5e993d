#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "DesktopFixture.h"
#include "documents/SettingsFile.h"
#include "support/TestFiles.h"
#include "ui/CommandIds.h"
#include "ui/qt/AutoCorrectDialog.h"
#include "ui/qt/LabelledSlider.h"
#include "ui/qt/PitchQuantizeDialog.h"
#include "ui/qt/PitchTempoDialog.h"
#include "ui/qt/SettingsWizardDialog.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

void press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

class ToolDialogs : public DesktopFixture {
 protected:
  // Converts a recording and saves its project, then opens that project, so the
  // window and the command line start from the same table.
  void openProject() {
    script.choose(melodyWave("gen.wav", 3.0)).answer(QMessageBox::No).choose(
        folder("MIDI files") / "gen.mid");
    click(control::kStart);
    script.choose(project);
    trigger(command::kSaveProjectAs);
    script.choose(project);
    trigger(command::kOpenProject);
    ASSERT_TRUE(script.finished());
  }
  // The window's table saved as a project, and the command line's from the same start.
  void expectSameAsCommandLine(const std::string& options) {
    const fs::path mine = outside / "window.mvt";
    fs::remove(mine);  // no overwrite question
    script.choose(mine);
    trigger(command::kSaveProjectAs);
    const fs::path theirs = outside / "cli.mvt";
    const std::string command = std::string(MELOVANTIS_CLI) + " edit '" + project.string() +
                                "' --settings '" + (folder("Private") / "default.set").string() +
                                "' " + options + " --project '" + theirs.string() + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string window = readText(mine);
    const std::string cli = readText(theirs);
    std::size_t differs = 0;
    while (differs < std::min(window.size(), cli.size()) && window[differs] == cli[differs]) {
      ++differs;
    }
    EXPECT_EQ(window, cli) << options << ": first difference at byte " << differs << ": window \""
                           << window.substr(differs, 40) << "\", command line \""
                           << cli.substr(differs, 40) << "\"";
  }
  fs::path project = outside / "gen.mvt";
};

TEST_F(ToolDialogs, EachOpensWithItsFixedValuesEveryTime) {
  openProject();
  for (int round = 0; round < 2; ++round) {
    script
        .act([&](QWidget* widget) {
          auto* dialog = dynamic_cast<AutoCorrectDialog*>(widget);
          ASSERT_NE(dialog, nullptr);
          EXPECT_EQ(dialog->windowTitle(), "Auto Correct");
          EXPECT_EQ(dialog->values(), 3);
          EXPECT_EQ(dialog->amount()->slider()->minimum(), 1);
          EXPECT_EQ(dialog->amount()->slider()->maximum(), 5);
          dialog->amount()->setValue(5);
          press(dialog, QDialogButtonBox::Cancel);
        })
        .act([&](QWidget* widget) {
          auto* dialog = dynamic_cast<PitchQuantizeDialog*>(widget);
          ASSERT_NE(dialog, nullptr);
          EXPECT_EQ(dialog->windowTitle(), "PItch Quantize");
          EXPECT_EQ(dialog->values(), 100);
          EXPECT_EQ(dialog->amount()->slider()->pageStep(), 10);
          EXPECT_EQ(dialog->amount()->slider()->tickInterval(), 10);
          dialog->amount()->setValue(20);
          press(dialog, QDialogButtonBox::Cancel);
        })
        .act([&](QWidget* widget) {
          auto* dialog = dynamic_cast<PitchTempoDialog*>(widget);
          ASSERT_NE(dialog, nullptr);
          EXPECT_EQ(dialog->windowTitle(), "Pitch & Tempo Modification");
          const PitchTempoChoice choice = dialog->values();
          EXPECT_EQ(choice.semitones, 0);
          EXPECT_EQ(choice.cents, 0);
          EXPECT_EQ(choice.speedPercent, 100);
          EXPECT_EQ(dialog->speed()->slider()->singleStep(), 5);
          EXPECT_EQ(dialog->speed()->slider()->pageStep(), 30);
          dialog->speed()->setValue(150);
          press(dialog, QDialogButtonBox::Cancel);
        });
    click(control::kAutoCorrect);
    click(control::kPitchQuantize);
    click(control::kPitchTempo);
    // The wizard needs a WAVE file.
    script.choose(melodyWave("w.wav")).answer(QMessageBox::No).act([&](QWidget* widget) {
      auto* dialog = dynamic_cast<SettingsWizardDialog*>(widget);
      ASSERT_NE(dialog, nullptr);
      for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(dialog->box(i)->isChecked());
        dialog->box(i)->setChecked(false);
      }
      press(dialog, QDialogButtonBox::Cancel);
    });
    trigger(command::kOpenAudioFile);
    click(control::kSettingsWizard);
    ASSERT_TRUE(script.finished());
    script.choose(project);
    trigger(command::kOpenProject);
  }
}

TEST_F(ToolDialogs, QuantizeAtZeroStillReportsCompletion) {
  openProject();
  script
      .act([](QWidget* widget) {
        dynamic_cast<PitchQuantizeDialog*>(widget)->amount()->setValue(0);
        press(widget, QDialogButtonBox::Ok);
      })
      .answer(QMessageBox::Ok);
  trigger(command::kPitchQuantize);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen.back().text, "Quantization complete!");
  EXPECT_EQ(script.seen.back().caption, "Success!");
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae [unsaved]"));
}

TEST_F(ToolDialogs, EachToolsOkGivesTheTableTheCommandLineGives) {
  openProject();
  script.act([](QWidget* widget) {
    dynamic_cast<AutoCorrectDialog*>(widget)->amount()->setValue(4);
    press(widget, QDialogButtonBox::Ok);
  });
  click(control::kAutoCorrect);
  expectSameAsCommandLine("--auto-correct 4");

  script.choose(project);
  trigger(command::kOpenProject);
  script
      .act([](QWidget* widget) {
        dynamic_cast<PitchQuantizeDialog*>(widget)->amount()->setValue(50);
        press(widget, QDialogButtonBox::Ok);
      })
      .answer(QMessageBox::Ok);
  click(control::kPitchQuantize);
  expectSameAsCommandLine("--quantize 50");

  script.choose(project);
  trigger(command::kOpenProject);
  script
      .act([](QWidget* widget) {
        auto* dialog = dynamic_cast<PitchTempoDialog*>(widget);
        dialog->semitones()->setValue(2);
        dialog->cents()->setValue(-30);
        dialog->speed()->setValue(150);
        press(widget, QDialogButtonBox::Ok);
      })
      .answer(QMessageBox::Ok);
  click(control::kPitchTempo);
  EXPECT_EQ(script.seen.back().text, "Pitch and Tempo modifications done!");
  EXPECT_DOUBLE_EQ(desktop->main().engine().tempoFactor, 100.0 / 150.0);
  expectSameAsCommandLine("--transpose 2 --cents -30 --speed 150");
}

TEST_F(ToolDialogs, AutoSettingsFindsWhatTheCommandLinesWizardFinds) {
  const fs::path wave = melodyWave("gen.wav", 3.0);
  script.choose(wave).answer(QMessageBox::Yes);  // "No settings were found": run the wizard
  script.act([](QWidget* widget) { press(widget, QDialogButtonBox::Ok); });
  trigger(command::kOpenAudioFile);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(desktop->main().engine().frameCount, 0);
  EXPECT_EQ(desktop->window().progressWindow(ProgressKind::SettingsWizard), nullptr);

  const fs::path theirs = outside / "cli.set";
  const std::string command = std::string(MELOVANTIS_CLI) + " wizard --quiet '" + wave.string() +
                              "' --save '" + theirs.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  SettingsRecord cli;
  ASSERT_TRUE(readSettingsFile(theirs, cli));
  EXPECT_EQ(desktop->main().settings(), cli);
}

}  // namespace
}  // namespace melovantis::test
