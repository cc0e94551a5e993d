#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/SettingsWizard.h"

namespace melovantis {

class RealTimeMode;
struct SettingsRecord;

// The two small windows shown while long work runs.
enum class ProgressKind {
  Conversion,      // "Converting your audio file to MIDI."
  SettingsWizard,  // "Settings Wizard is examining your wave file..."
};

// How the settings dialog ended with OK: apply at once (re-save the MIDI file),
// and whether the file must be converted again first.
struct SettingsDialogOutcome {
  bool applyNow = false;
  bool reconvert = false;
};

// What the settings dialog's Open, Save and Save as... buttons do: the
// program's settings management, never the dialog itself.
class SettingsFileActions {
 public:
  virtual ~SettingsFileActions() = default;
  // A settings file chosen by the user, read and applied; the record as it now
  // stands, or nothing when the user cancelled the file dialog.
  virtual std::optional<SettingsRecord> openSettings() = 0;
  // Takes `shown` as the record and writes it to the current settings file
  // (asking for a name when there is none), or to a name the user chooses.
  virtual void saveSettings(const SettingsRecord& shown) = 0;
  virtual void saveSettingsAs(const SettingsRecord& shown) = 0;
};

// What the four current-note sliders hold, in words: the note's name with its
// octave, the cents, the volume and the brightness; all empty for no frame.
struct CurrentNoteText {
  std::string note;
  std::string cents;
  std::string volume;
  std::string brightness;

  friend bool operator==(const CurrentNoteText&, const CurrentNoteText&) = default;
};

// The Pitch & Tempo Modification dialog's three sliders.
struct PitchTempoChoice {
  int semitones = 0;
  int cents = 0;
  int speedPercent = 100;
};

// What the main window's commands ask of the screen. The Qt window implements
// it; the tests record the calls. Reading functions return what the controls
// show now. The defaults do nothing, so a test double states only what it checks.
class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  virtual void setTitle(const std::string& /*title*/) {}
  virtual void setStatusLine(const std::string& /*text*/) {}

  // The piano roll and the current-note panel, from the window's state.
  virtual void redrawView() {}
  virtual void drawCurrentNotePanel() {}

  // The four current-note sliders; the octave may lie outside 0..9 (-84 for an erased frame).
  virtual void setCurrentNoteSliders(int /*octave*/, int /*cents*/, int /*volume*/,
                                     int /*brightness*/) {}
  virtual void setCurrentNoteText(const CurrentNoteText& /*text*/) {}

  virtual void setHorizontalScroll(int /*value*/, int /*maximum*/) {}
  virtual int horizontalScrollValue() const { return 0; }
  virtual void setVerticalScrollMaximum(int /*maximum*/) {}
  virtual void setVerticalScrollValue(int /*value*/) {}
  virtual int verticalScrollValue() const { return 0; }

  // The attack detector's check box and sensitivity slider (enabled only while on).
  virtual void setAttackControls(bool /*detectorOn*/, int /*sensitivity*/) {}
  virtual int attackSensitivitySlider() const = 0;

  virtual void setAreaCorrectorChecked(bool /*on*/) {}
  virtual void setViewToggleChecked(int /*commandId*/, bool /*on*/) {}
  virtual void setQuickSettingsEntries(const std::vector<std::string>& /*entries*/) {}
  // The entry the Quick Settings box shows as chosen; empty shows none.
  virtual void showQuickSettingsEntry(const std::string& /*entry*/) {}
  virtual void selectPlayerType(int /*index*/) {}

  virtual void showProgressWindow(ProgressKind /*kind*/) {}
  virtual void closeProgressWindow(ProgressKind /*kind*/) {}
  virtual void setProgress(int /*percent*/) {}

  // Keeps the window painted during long work; the user's other input is
  // discarded, except a button release when `letButtonReleaseThrough`.
  virtual void pumpEvents(bool /*letButtonReleaseThrough*/) {}

  // Modal dialogs; an empty result means Cancel.
  // The settings dialog on `settings`, which it rewrites on OK.
  virtual std::optional<SettingsDialogOutcome> runSettingsDialog(SettingsRecord& /*settings*/,
                                                                 SettingsFileActions& /*files*/) {
    return std::nullopt;
  }
  virtual std::optional<WizardChoices> runSettingsWizardDialog() { return std::nullopt; }
  virtual std::optional<int> runAutoCorrectDialog() { return std::nullopt; }
  virtual std::optional<int> runPitchQuantizeDialog() { return std::nullopt; }
  virtual std::optional<PitchTempoChoice> runPitchTempoDialog() { return std::nullopt; }
  // The "Real-time" window, modal, driving `mode` until the user closes it.
  virtual void runRealTimeWindow(RealTimeMode& /*mode*/) {}
  virtual void showAbout() {}

  // Opens one of the program's documentation pages in the desktop's browser;
  // false when no browser could be started.
  virtual bool openDocument(const std::filesystem::path& /*page*/) { return false; }

  // Asks the window to close, which comes back as a close request.
  virtual void requestClose() {}

  // The pause before the window closes, after the exit script.
  virtual void pauseBeforeClosing() {}
};

}  // namespace melovantis
