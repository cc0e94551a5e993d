// The main window's settings and tool commands: Customize, the Settings
// Wizard, the correction tools with their undo snapshot, the single-frame
// edits, and the commands that hand over to other programs.
#include <algorithm>
#include <vector>

#include "documents/EngineSettings.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "documents/ProgramFolder.h"
#include "engine/Notifier.h"
#include "tools/AutoCorrect.h"
#include "tools/EditModel.h"
#include "tools/PitchQuantize.h"
#include "tools/PitchTempo.h"
#include "tools/SettingsWizard.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowView.h"
#include "ui/PreviewPlayer.h"
#include "ui/ProgramLauncher.h"
#include "ui/RealTimeMode.h"

namespace melovantis {

namespace fs = std::filesystem;

void MainWindow::customize() {
  const auto outcome = services_.view.runSettingsDialog(settings_, *this);
  if (!outcome) {
    return;
  }
  applySettingsToEngine(settings_, engine_, this);
  if (outcome->applyNow) {
    if (outcome->reconvert) {
      startConversion();
    }
    saveMidi();
  }
}

std::optional<SettingsRecord> MainWindow::openSettings() {
  const fs::path before = settingsManager_.settingsPath();
  const bool read = settingsManager_.open();
  if (!read && settingsManager_.settingsPath() == before) {
    return std::nullopt;  // the file dialog was cancelled
  }
  return settings_;
}

void MainWindow::saveSettings(const SettingsRecord& shown) {
  settings_ = shown;
  settingsManager_.save(session_.wavePath);
}

void MainWindow::saveSettingsAs(const SettingsRecord& shown) {
  settings_ = shown;
  settingsManager_.saveAs(session_.wavePath);
}

void MainWindow::settingsWizardCommand() {
  if (session_.wavePath.empty() || !session_.processed) {
    return;
  }
  const auto choices = services_.view.runSettingsWizardDialog();
  if (!choices) {
    return;
  }
  services_.view.showProgressWindow(ProgressKind::SettingsWizard);
  const fs::path broad =
      findDataFile(findDataFolder(state_.programFolder, "Private"), "broad.set");
  // The wizard throws its own table away and leaves none: edits in the one it
  // replaces stay within Undo's reach; otherwise Undo finds the empty table.
  const bool keep = tableEdited_ && engine_.frameCount > 0;
  if (keep) {
    takeUndoSnapshot();
  }
  const double tempoFactorUndo = engine_.tempoFactorUndo;
  const bool wasConverting = converting_;  // the wizard may run inside Start!'s Open
  converting_ = true;
  melovantis::runSettingsWizard(engine_, driver_, session_, settings_, broad, *choices, *this,
                                this);
  converting_ = wasConverting;
  tableEdited_ = false;
  if (keep) {
    engine_.tempoFactorUndo = tempoFactorUndo;
  } else {
    takeUndoSnapshot();
  }
  services_.player.setFile({});
  showEmptyTable();
  services_.view.closeProgressWindow(ProgressKind::SettingsWizard);
}

void MainWindow::autoCorrectCommand() {
  if (!session_.processed) {
    return;
  }
  takeUndoSnapshot();  // before the dialog, so Cancel refreshes the snapshot too
  const auto halfWidth = services_.view.runAutoCorrectDialog();
  if (!halfWidth) {
    return;
  }
  if (engine_.attackDetectorOn) {
    // The attack pass after the correction uses the slider's position.
    const int sensitivity = services_.view.attackSensitivitySlider();
    engine_.attackSensitivity = sensitivity;
    settings_.attackSensitivity = sensitivity;
  }
  applyAutoCorrect(engine_, *halfWidth);
  updateCursor();
  redrawView();
  markUnsaved();
}

void MainWindow::pitchQuantizeCommand() {
  if (!session_.processed) {
    return;
  }
  takeUndoSnapshot();
  const auto percent = services_.view.runPitchQuantizeDialog();
  if (!percent) {
    return;
  }
  quantizePitch(engine_, *percent * 0.01);
  updateCursor();
  const ToolMessage result = quantizeResultMessage();
  services_.notifier.message(result.text, result.caption, result.icon);
  markUnsaved();
}

void MainWindow::inTuneWizardCommand() {
  if (!session_.processed) {
    return;
  }
  takeUndoSnapshot();
  const double shift = centerTune(engine_);
  updateCursor();
  const ToolMessage result = centerTuneResultMessage(shift);
  services_.notifier.message(result.text, result.caption, result.icon);
  markUnsaved();
}

void MainWindow::pitchTempoCommand() {
  if (!session_.processed) {
    return;
  }
  takeUndoSnapshot();
  const auto choice = services_.view.runPitchTempoDialog();
  if (!choice) {
    return;
  }
  const bool outOfRange =
      modifyPitchAndTempo(engine_, choice->semitones, choice->cents, choice->speedPercent);
  updateCursor();
  const ToolMessage result = pitchTempoResultMessage(outOfRange);
  services_.notifier.message(result.text, result.caption, result.icon);
  markUnsaved();
}

void MainWindow::undoCommand() {
  if (!session_.processed) {
    return;
  }
  // A conversion since the snapshot may have left another number of rows.
  engine_.frameCount = undoFrameCount_;
  undo(engine_);
  updateScrollRange();
  // The sliders follow the restored frame as well as the view.
  updateCursor();
  redrawView();
  markUnsaved();
}

void MainWindow::eraseCommand() {
  if (eraseCurrentFrame(engine_, session_.cursorFrame)) {
    updateCursor();
    markUnsaved();
  }
}

void MainWindow::repeatCommand() {
  if (repeatPreviousFrame(engine_, session_.cursorFrame)) {
    updateCursor();
    markUnsaved();
  }
}

void MainWindow::areaCorrectorToggle() {
  if (session_.processed) {
    state_.areaCorrectorOn = !state_.areaCorrectorOn;
    redrawView();
  }
  services_.view.setAreaCorrectorChecked(state_.areaCorrectorOn);
}

void MainWindow::realTimeCommand() {
  // The offline work is put aside in Private and taken back afterwards: the
  // real-time window runs the same engine with settings of its own.
  const fs::path privateFolder = findDataFolder(state_.programFolder, "Private");
  std::error_code ec;
  fs::create_directories(privateFolder, ec);
  const fs::path tableFile = privateFolder / "tmp.mvt";
  const fs::path record = privateFolder / "tmp.set";
  if (!writeProjectFile(engine_, tableFile, services_.notifier) ||
      !writeSettingsFile(record, settings_, services_.notifier)) {
    return;  // the work could not be put aside: it is not risked
  }
  // The files are the record on disk; the table itself comes back from memory,
  // since the file keeps six decimals and the attack flags not at all.
  const std::vector<FrameRecord> table(engine_.frames.begin(),
                                       engine_.frames.begin() + engine_.rowsInUse());
  const double tempoFactor = engine_.tempoFactor;
  const double tempoFactorUndo = engine_.tempoFactorUndo;
  // The settings file in use goes with the record: a quick setting chosen in
  // the real-time window must not be what a later Save writes over.
  const fs::path settingsPath = settingsManager_.settingsPath();
  engineLive_ = true;
  {
    RealTimeMode mode({engine_, settings_, settingsManager_, *this, services_.notifier,
                       services_.launcher, services_.view, this, services_.capture,
                       services_.midiPorts, state_.programFolder},
                      realTimeMidiDevice_);
    mode.open();
    services_.view.runRealTimeWindow(mode);
    mode.close();
  }
  engineLive_ = false;

  readSettingsFile(record, settings_);
  settingsManager_.setSettingsPath(settingsPath);
  applySettingsToEngine(settings_, engine_, this);
  engine_.reserveRows(static_cast<int>(table.size()) + 1);
  std::copy(table.begin(), table.end(), engine_.frames.begin());
  engine_.frameCount = static_cast<int>(table.size());
  engine_.tempoFactor = tempoFactor;
  engine_.tempoFactorUndo = tempoFactorUndo;
  // The live adjustments belong to the real-time window alone.
  engine_.inputGain = 1.0;
  engine_.quantizeAmount = 0.0;
  engine_.transpose = 0;
  updateCursor();
  redrawView();
  updateStatusLine();
}

void MainWindow::midiOutputDeviceCommand() {
  // MIDI previews are rendered to the sound output, so that is the device to choose.
  openSoundSettings(services_.launcher, services_.notifier, 3,
                    "MIDI files are played through your sound output.\nChoose it in your "
                    "desktop's sound settings, or install pavucontrol to choose it from here.",
                    "MIDI Output Device");
}

void MainWindow::openHelpPage(const char* page, const char* caption) {
  const fs::path file = documentationFolder_ / page;
  if (!isExistingFile(file)) {
    services_.notifier.message("Cannot find the page " + file.string(), "Error",
                               MessageIcon::Error);
    return;
  }
  if (!services_.view.openDocument(file)) {
    services_.notifier.message("No web browser could be started to show this page.\nYou can open "
                               "it in your browser yourself:\n\n" +
                                   file.string(),
                               caption, MessageIcon::Information);
  }
}

}  // namespace melovantis
