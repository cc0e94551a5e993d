// The main window's file commands: bringing audio in through the external
// converter, the WAVE format rule, the MIDI and project files, and the
// preview player.
#include <system_error>

#include "audio/WaveFormatCheck.h"
#include "conversion/AudioFileConverter.h"
#include "documents/FileDialogs.h"
#include "documents/ProgramFolder.h"
#include "documents/ProjectFile.h"
#include "engine/Notifier.h"
#include "midi/MidiFileWriter.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowView.h"
#include "ui/PreviewPlayer.h"

namespace melovantis {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotProcessed = "Wave file not processed yet!";
constexpr const char* kAudioFilter = "Audio/Video Files (*.*)|*.*";
constexpr const char* kMidiFilter = "MIDI files|*.mid";
constexpr const char* kProjectFilter = "Melovantis files|*.mvt";

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

}  // namespace

std::string MainWindow::waveBaseName() const {
  // After Open project there is no WAVE file; a name such as ".mid" would make
  // a hidden file, so the project's name, or "noname", stands in for it.
  if (!session_.wavePath.empty()) {
    return session_.wavePath.stem().string();
  }
  if (!state_.projectPath.empty()) {
    return state_.projectPath.stem().string();
  }
  return "noname";
}

fs::path MainWindow::convertIntoPcmFolder(const fs::path& source) {
  const fs::path pcmFolder = findDataFolder(state_.programFolder, "Wave files/PCM");
  std::error_code ec;
  fs::create_directories(pcmFolder, ec);
  const fs::path wave = pcmFolder / (source.stem().string() + ".wav");

  // Every chosen file goes through the converter, WAVE files included. An older
  // copy of the same name goes first, so a file the converter cannot read is
  // refused rather than silently replaced by that older copy; a file chosen
  // from the copies themselves is already where it belongs.
  if (!sameFile(source, wave)) {
    fs::remove(wave, ec);
    AudioFileConverter(state_.programFolder).convert(source, wave);
  }
  return wave;
}

void MainWindow::openAudioFile() {
  if (!session_.wavePath.empty()) {
    reader_.closeWave();
  }
  const auto source = services_.dialogs.openFile(
      {findDataFolder(state_.programFolder, "Wave files"), "", kAudioFilter});
  if (!source) {
    return;
  }
  // The table goes: edits in it stay within Undo's reach.
  const bool keep = tableEdited_ && engine_.frameCount > 0;
  if (keep) {
    takeUndoSnapshot();
  }
  session_.wavePath = convertIntoPcmFolder(*source);
  if (checkWaveFormat()) {
    settingsManager_.lookUpWaveSettings(session_.wavePath, true);
  }
  state_.midiPath.clear();
  state_.projectPath.clear();
  services_.player.setFile({});
  engine_.frameCount = 0;
  tableEdited_ = false;
  if (!keep) {
    takeUndoSnapshot();
  }
  showEmptyTable();
  updateStatusLine();
}

void MainWindow::chooseAudioForTable() {
  const auto source = services_.dialogs.openFile(
      {findDataFolder(state_.programFolder, "Wave files"), "", kAudioFilter});
  if (!source) {
    return;
  }
  const fs::path wave = convertIntoPcmFolder(*source);
  if (!melovantis::checkWaveFormat(reader_, wave, services_.notifier)) {
    return;
  }
  if (reader_.startDataRead(services_.notifier) != kWaveOk) {
    reader_.closeWave();
    return;
  }
  // The brush re-analyses rows of the table from the recording, so the
  // recording must give as many rows as the table has at the settings in use.
  const int rows =
      ConversionDriver::rowsForData(reader_.dataInFile(), engine_.frameSize, engine_.hopSize);
  if (rows == engine_.frameCount) {
    session_.wavePath = wave;
    updateStatusLine();
    return;
  }
  reader_.closeWave();
  const std::string question =
      "The recording " + wave.filename().string() + " gives " + std::to_string(rows) +
      " frames at the settings in use, but the table has " + std::to_string(engine_.frameCount) +
      ", so it is not the recording the table was made from.\n\nReplace the table with a new "
      "conversion of this recording?";
  if (!services_.notifier.askYesNo(question, "Warning!", MessageIcon::Information)) {
    return;
  }
  session_.wavePath = wave;
  state_.midiPath.clear();
  state_.projectPath.clear();
  services_.player.setFile({});
  convert(true);  // Undo brings the table back
  updateStatusLine();
}

bool MainWindow::checkWaveFormat() {
  if (melovantis::checkWaveFormat(reader_, session_.wavePath, services_.notifier)) {
    updateStatusLine();
    return true;
  }
  session_.wavePath.clear();
  updateStatusLine();
  return false;
}

void MainWindow::startConversion() { convert(tableEdited_); }

void MainWindow::convert(bool keepReplacedTable) {
  const bool keep = keepReplacedTable && engine_.frameCount > 0;
  if (keep) {
    takeUndoSnapshot();
  }
  const double tempoFactorUndo = engine_.tempoFactorUndo;
  keepUndoSnapshot_ = keep;
  const bool wasConverting = converting_;
  converting_ = true;
  driver_.startConversion(session_);
  converting_ = wasConverting;
  keepUndoSnapshot_ = false;
  if (keep) {
    engine_.tempoFactorUndo = tempoFactorUndo;  // the run's reset cleared it
  }
}

bool MainWindow::writeMidiTo(const fs::path& path) {
  services_.player.setFile({});  // the player lets go of the file while it is rewritten
  const bool written = writeMidiFile(engine_, path, services_.notifier);
  if (written) {
    state_.midiPath = path;
  }
  services_.player.setFile(state_.midiPath);
  return written;
}

void MainWindow::saveMidiAs() {
  if (!session_.processed) {
    services_.notifier.message(kNotProcessed, "Error", MessageIcon::Error);
    return;
  }
  const auto chosen = services_.dialogs.saveFile(
      {findDataFolder(state_.programFolder, "MIDI files"), waveBaseName() + ".mid", kMidiFilter});
  if (!chosen || confirmOverwrite(*chosen, services_.notifier)) {
    return;
  }
  // A file that could not be written is not the current MIDI file, and the
  // edits it should have held are still unsaved.
  if (!writeMidiTo(*chosen)) {
    return;
  }
  services_.player.stop();  // loaded, not playing
  playerType_ = 0;
  services_.view.selectPlayerType(playerType_);
  markSaved();
  updateStatusLine();
}

void MainWindow::saveMidi() {
  if (!session_.processed) {
    services_.notifier.message(kNotProcessed, "Error", MessageIcon::Error);
    return;
  }
  if (state_.midiPath.empty()) {
    saveMidiAs();
    return;
  }
  const bool written = writeMidiTo(state_.midiPath);
  updateStatusLine();
  playerType_ = 0;
  services_.view.selectPlayerType(playerType_);
  if (written) {
    markSaved();
  }
}

void MainWindow::saveProject() {
  if (!session_.processed) {
    services_.notifier.message(kNotProcessed, "Error", MessageIcon::Error);
    return;
  }
  if (state_.projectPath.empty()) {
    saveProjectAs();
    return;
  }
  const bool written = writeProjectFile(engine_, state_.projectPath, services_.notifier);
  updateStatusLine();
  if (written) {
    services_.notifier.message("Melovantis file saved as " + state_.projectPath.string(),
                               "Saved OK", MessageIcon::Information);
  }
}

void MainWindow::saveProjectAs() {
  if (!session_.processed) {
    services_.notifier.message(kNotProcessed, "Error", MessageIcon::Error);
    return;
  }
  const auto chosen = services_.dialogs.saveFile({findDataFolder(state_.programFolder,
                                                                 "Melovantis files"),
                                                  waveBaseName() + ".mvt", kProjectFilter});
  if (!chosen || confirmOverwrite(*chosen, services_.notifier)) {
    return;
  }
  if (writeProjectFile(engine_, *chosen, services_.notifier)) {
    state_.projectPath = *chosen;
  }
  updateStatusLine();
}

void MainWindow::openProject() {
  const auto chosen = services_.dialogs.openFile(
      {findDataFolder(state_.programFolder, "Melovantis files"), "", kProjectFilter});
  if (!chosen) {
    return;
  }
  // An edited table that the project replaces stays within Undo's reach.
  const bool keep = tableEdited_ && engine_.frameCount > 0;
  if (keep) {
    takeUndoSnapshot();
  }
  // A file that cannot be read leaves the table, and everything around it, as it was.
  if (!readProjectFile(engine_, *chosen, services_.notifier)) {
    return;
  }
  state_.projectPath = *chosen;
  engine_.runAttackPass();
  resetViewToStart();
  if (!keep) {
    takeUndoSnapshot();  // Undo finds the table as it was opened
  }
  settingsManager_.lookUpWaveSettings(state_.projectPath, false);
  state_.midiPath.clear();
  reader_.closeWave();
  session_.wavePath.clear();
  services_.player.setFile({});
  updateStatusLine();
}

void MainWindow::loadPlayer(int playerType) {
  playerType_ = playerType;
  services_.player.setFile(playerType == 0 ? state_.midiPath : session_.wavePath);
}

void MainWindow::playerTypeChosen(int index) { loadPlayer(index == 1 ? 1 : 0); }

void MainWindow::playerControl(PlayerAction action) {
  // Whatever the user does with the player, it works on the current result:
  // moved range lines convert again, edits are saved first.
  if (state_.reconvertPending) {
    startConversion();
    state_.reconvertPending = false;
  }
  if (state_.unsaved) {
    saveMidi();
  }
  switch (action) {
    case PlayerAction::Play: services_.player.play(); break;
    case PlayerAction::Pause: services_.player.pause(); break;
    case PlayerAction::Stop: services_.player.stop(); break;
  }
}

}  // namespace melovantis
