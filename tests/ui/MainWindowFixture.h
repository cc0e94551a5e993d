#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "documents/ProgramFolder.h"
#include "support/RecordingNotifier.h"
#include "support/ScriptedFileDialogs.h"
#include "support/WaveFileBuilder.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowView.h"
#include "support/RecordingMidiPorts.h"
#include "support/ScriptedCapture.h"
#include "ui/ProgramLauncher.h"
#include "ui/RealTimeMode.h"
#include "ui/SilentPlayer.h"

namespace melovantis::test {

// The view as the commands see it: what they last showed, and scripted answers
// for the dialogs.
class FakeView : public MainWindowView {
 public:
  void setTitle(const std::string& text) override { title = text; }
  void setStatusLine(const std::string& text) override { status = text; }
  void redrawView() override { ++redraws; }
  void setCurrentNoteSliders(int octave, int cents, int volume, int brightness) override {
    sliders = {octave, cents, volume, brightness};
  }
  void setCurrentNoteText(const CurrentNoteText& text) override { noteText = text; }
  void setHorizontalScroll(int value, int maximum) override {
    scrollValue = value;
    scrollMaximum = maximum;
  }
  int horizontalScrollValue() const override { return scrollValue; }
  void setVerticalScrollMaximum(int maximum) override {
    verticalMaximum = maximum;
    verticalValue = std::min(verticalValue, maximum);
  }
  void setVerticalScrollValue(int value) override { verticalValue = value; }
  int verticalScrollValue() const override { return verticalValue; }
  void setAttackControls(bool on, int sensitivity) override {
    attackOn = on;
    sliderSensitivity = sensitivity;
  }
  int attackSensitivitySlider() const override { return sliderSensitivity; }
  void setQuickSettingsEntries(const std::vector<std::string>& entries) override {
    quickSettings = entries;
  }
  void showQuickSettingsEntry(const std::string& entry) override { quickSettingsShown = entry; }
  void selectPlayerType(int index) override { playerType = index; }
  void showProgressWindow(ProgressKind kind) override { progress.push_back({kind, true}); }
  void closeProgressWindow(ProgressKind kind) override { progress.push_back({kind, false}); }
  std::optional<SettingsDialogOutcome> runSettingsDialog(SettingsRecord&,
                                                         SettingsFileActions&) override {
    ++settingsDialogs;
    return settingsAnswer;
  }
  std::optional<WizardChoices> runSettingsWizardDialog() override { return wizardAnswer; }
  std::optional<int> runPitchQuantizeDialog() override { return quantizeAnswer; }
  bool openDocument(const std::filesystem::path& page) override {
    documents.push_back(page);
    return browser;
  }
  void requestClose() override { ++closeRequests; }
  void runRealTimeWindow(RealTimeMode& mode) override {
    if (realTime) {
      realTime(mode);
    }
  }

  std::string title;
  std::string status;
  int redraws = 0;
  std::vector<int> sliders;
  CurrentNoteText noteText;
  int scrollValue = 0;
  int scrollMaximum = 0;
  int verticalMaximum = -1;
  int verticalValue = 0;
  bool attackOn = false;
  int sliderSensitivity = 20;
  std::vector<std::string> quickSettings;
  std::string quickSettingsShown;
  int playerType = -1;
  std::vector<std::pair<ProgressKind, bool>> progress;  // shown (true) or closed
  int settingsDialogs = 0;
  std::optional<SettingsDialogOutcome> settingsAnswer;
  std::optional<WizardChoices> wizardAnswer;
  std::optional<int> quantizeAnswer;
  std::vector<std::filesystem::path> documents;
  bool browser = true;  // a browser takes the pages
  int closeRequests = 0;
  std::function<void(RealTimeMode&)> realTime;  // what the user does in the real-time window
};

// Records the programs the window would start; finds only those it is told of.
class RecordingLauncher : public ProgramLauncher {
 public:
  std::filesystem::path find(const std::string& name) const override {
    for (const auto& installed : installedPrograms) {
      if (installed == name) {
        return "/usr/bin/" + name;
      }
    }
    return {};
  }
  int runAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path&) override {
    runs.push_back({program.string(), arguments});
    return 0;
  }
  bool start(const std::filesystem::path& program,
             const std::vector<std::string>& arguments) override {
    started.push_back({program.string(), arguments});
    return true;
  }

  struct Run {
    std::string program;
    std::vector<std::string> arguments;
  };
  std::vector<std::string> installedPrograms;
  std::vector<Run> runs;
  std::vector<Run> started;
};

// A main window on a fresh program folder seeded with the factory files.
class MainWindowFixture : public ::testing::Test {
 protected:
  MainWindowFixture();

  // A mono 44100 Hz 16-bit WAVE of a few harmonic notes, outside the program folder.
  std::filesystem::path melodyWave(const std::string& name, double seconds = 2.0);

  // Opens `source` through File > Open Audio file, declining the Settings Wizard.
  void openAudio(const std::filesystem::path& source);

  // Opens and converts `source`, the MIDI file saved as MIDI files/<name>.
  void convertAndSave(const std::filesystem::path& source, const std::string& midiName);

  std::filesystem::path folder(const std::string& name) const {
    return findDataFolder(program.path(), name);
  }

  TempFolder program;
  TempFolder outside;
  RecordingNotifier notifier;
  ScriptedDialogs dialogs;
  FakeView view;
  SilentPlayer player;
  RecordingLauncher launcher;
  ScriptedCapture capture;
  RecordingMidiPorts midiPorts;
  MainWindow window;
};

}  // namespace melovantis::test
