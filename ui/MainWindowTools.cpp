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
  melovantis::runSettingsWizard(engine_, driver_, session_, settings_, broad, *choices, *this,
                                this);
  services_.player.setFile({});
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
  undo(engine_);
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
  engineLive_ = true;
  {
    RealTimeMode mode({engine_, settings_, settingsManager_, *this, services_.notifier,
                       services_.launcher, services_.view, this, services_.capture,
                       services_.midiPorts, state_.programFolder},
                      realTimeMidiDevice_);
    services_.view.runRealTimeWindow(mode);
    mode.close();
  }
  engineLive_ = false;

  readSettingsFile(record, settings_);
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

void MainWindow::openHelpPage(const char* page) {
  const fs::path file = documentationFolder_ / page;
  if (!isExistingFile(file)) {
    services_.notifier.message("Cannot find the page " + file.string(), "Error",
                               MessageIcon::Error);
    return;
  }
  services_.view.openDocument(file);
}

}  // namespace melovantis
