#include "ui/MainWindow.h"

#include <algorithm>
#include <cmath>

#include "documents/EngineSettings.h"
#include "documents/FileDialogs.h"
#include "documents/NoteMarks.h"
#include "documents/ProgramFolder.h"
#include "engine/Notifier.h"
#include "tools/AreaCorrector.h"
#include "tools/EditModel.h"
#include "ui/CommandIds.h"
#include "ui/CurrentNoteText.h"
#include "ui/MainWindowView.h"
#include "ui/PreviewPlayer.h"
#include "ui/ProgramLauncher.h"

namespace melovantis {

namespace fs = std::filesystem;

namespace {

// What a path shows in the status line: its base name, without folder and extension.
std::string baseNameOr(const fs::path& path, const char* empty) {
  return path.empty() ? std::string(empty) : path.stem().string();
}

}  // namespace

MainWindow::MainWindow(const MainWindowServices& services, fs::path programFolder,
                       fs::path documentationFolder)
    : services_(services),
      documentationFolder_(std::move(documentationFolder)),
      engine_(services.notifier),
      driver_(engine_, reader_, services.notifier, *this),
      settingsManager_(settings_, engine_, services.notifier, services.dialogs, *this,
                       programFolder) {
  state_.programFolder = std::move(programFolder);
}

void MainWindow::initialise() {
  const fs::path programFolder = state_.programFolder;
  state_ = MainWindowState{};
  state_.programFolder = programFolder;
  session_ = ConversionSession{};
  session_.settings = &settings_;
  services_.player.setFile({});
  services_.view.setTitle(kTitle);
  services_.view.setVerticalScrollMaximum(0);
  for (const int id : {command::kViewPitch, command::kViewVolume, command::kViewBrightness,
                       command::kViewNoteAttack, command::kNotesAtAttacks,
                       command::kNearestKeys}) {
    services_.view.setViewToggleChecked(id, true);
  }
  engine_.onsetPlacement = OnsetPlacement::kAttack;
  engine_.noteKeys = NoteKeys::kNearest;
  settingsManager_.startUp();
  playerType_ = 0;
  services_.view.selectPlayerType(playerType_);
  services_.view.setQuickSettingsEntries(settingsManager_.quickSettingsEntries());
}

void MainWindow::activate(int id) {
  switch (id) {
    case command::kOpenAudioFile: openAudioFile(); break;
    case command::kOpenProject: openProject(); break;
    case command::kSaveProject: saveProject(); break;
    case command::kSaveProjectAs: saveProjectAs(); break;
    case command::kSaveMidi:
    case control::kSaveMidi: saveMidi(); break;
    case command::kSaveMidiAs: saveMidiAs(); break;
    case command::kExit: services_.view.requestClose(); break;
    case command::kUndo:
    case control::kUndo: undoCommand(); break;
    // The menu's twins of the Erase and Repeat buttons do what the buttons do.
    case command::kEraseCurrentNote:
    case control::kErase: eraseCommand(); break;
    case command::kRepeatPreviousNote:
    case control::kRepeatPrevious: repeatCommand(); break;
    case command::kViewPitch: toggleView(id, state_.showPitch); break;
    case command::kViewVolume: toggleView(id, state_.showVolume); break;
    case command::kViewBrightness: toggleView(id, state_.showBrightness); break;
    case command::kViewNoteAttack: toggleView(id, state_.showAttacks); break;
    case command::kNotesAtAttacks:
    case command::kNearestKeys: toggleConversionChoice(id); break;
    case command::kZoom100: setZoom(1); break;
    case command::kZoom200: setZoom(2); break;
    case command::kZoom400: setZoom(4); break;
    case control::kZoomIn: setZoom(std::min(state_.zoom + 1, 5)); break;
    case control::kZoomOut: setZoom(std::max(state_.zoom - 1, 1)); break;
    case command::kStart:
    case control::kStart:
    case control::kDefaultButton: startConversion(); break;
    case command::kStartRealTime:
    case command::kStartRealTimeButton:
    case control::kRealTimeStart: realTimeCommand(); break;
    case command::kSettingsOpen: settingsManager_.open(); break;
    case command::kSettingsSave: settingsManager_.save(session_.wavePath); break;
    case command::kSettingsSaveAs: settingsManager_.saveAs(session_.wavePath); break;
    case command::kCustomize:
    case control::kSettings: customize(); break;
    case command::kAutoSettings:
    case control::kSettingsWizard: settingsWizardCommand(); break;
    case command::kMidiOutputDevice:
    case control::kMidiOut: midiOutputDeviceCommand(); break;
    case command::kLoadDefaults: settingsManager_.loadDefaults(); break;
    case command::kAutoCorrect:
    case control::kAutoCorrect: autoCorrectCommand(); break;
    case command::kPitchQuantize:
    case control::kPitchQuantize: pitchQuantizeCommand(); break;
    case command::kInTuneWizard:
    case control::kInTune: inTuneWizardCommand(); break;
    case command::kModifyPitchTempo:
    case control::kPitchTempo: pitchTempoCommand(); break;
    case command::kAreaCorrectorTool:
    case control::kAreaCorrect: areaCorrectorToggle(); break;
    case control::kCursorLeft: moveCursor(-1); break;
    case control::kCursorRight: moveCursor(+1); break;
    case command::kShowUsersGuide: openHelpPage("user-guide.html", "Show User's Guide"); break;
    case command::kWebsite: openHelpPage("index.html", "Go to Melovantis Website"); break;
    case command::kCheckForUpdates: openHelpPage("updates.html", "Check for Updates!"); break;
    case command::kAbout: services_.view.showAbout(); break;
    default: break;
  }
}

// --- Title, status line, drawing -------------------------------------------

void MainWindow::markUnsaved() {
  state_.unsaved = true;
  // A conversion marks its own result; that is no edit of the user's.
  if (!converting_) {
    tableEdited_ = true;
  }
  services_.view.setTitle(kUnsavedTitle);
}

void MainWindow::markSaved() {
  state_.unsaved = false;
  state_.reconvertPending = false;
  services_.view.setTitle(kTitle);
}

std::string MainWindow::statusLineText() const {
  return "[Wave: " + baseNameOr(session_.wavePath, "-") + "]     [Settings: " +
         baseNameOr(settingsManager_.settingsPath(), "<default>") + "]     [MIDI: " +
         baseNameOr(state_.midiPath, "-") + "]     [Melovantis: " +
         baseNameOr(state_.projectPath, "-") + "]";
}

void MainWindow::updateStatusLine() {
  // The Quick Settings box shows its entry only while that entry's file is the one in use.
  if (settingsManager_.settingsPath() != fs::path(quickChoice_ + ".set")) {
    quickChoice_.clear();
  }
  services_.view.showQuickSettingsEntry(quickChoice_);
  services_.view.setStatusLine(statusLineText());
}

// Unchecked, the conversions place each note at its frame's time and start it on the
// semitone at or below its pitch, as the earliest files do; the next MIDI file written follows.
void MainWindow::toggleConversionChoice(int commandId) {
  bool on = false;
  if (commandId == command::kNotesAtAttacks) {
    on = engine_.onsetPlacement != OnsetPlacement::kAttack;
    engine_.onsetPlacement = on ? OnsetPlacement::kAttack : OnsetPlacement::kFrame;
  } else {
    on = engine_.noteKeys != NoteKeys::kNearest;
    engine_.noteKeys = on ? NoteKeys::kNearest : NoteKeys::kFloor;
  }
  services_.view.setViewToggleChecked(commandId, on);
}

// --- Controls -------------------------------------------------------------

void MainWindow::sliderMoved(int controlId, int value) {
  const int frame = session_.cursorFrame;
  bool changed = false;
  switch (controlId) {
    case control::kOctaveSlider: changed = setOctave(engine_, frame, value); break;
    case control::kCentsSlider: changed = setFineTuning(engine_, frame, value); break;
    case control::kVolumeSlider: changed = setVolume(engine_, frame, value); break;
    case control::kBrightnessSlider: changed = setBrightness(engine_, frame, value); break;
    case control::kAttackSensitivity:
      settings_.attackSensitivity = value;
      engine_.attackSensitivity = value;
      engine_.runAttackPass();
      redrawView();
      markUnsaved();
      return;
    default: return;
  }
  if (changed) {
    // The slider itself is where the user put it; its words follow the frame.
    services_.view.setCurrentNoteText(
        currentNoteText(engine_.frames[static_cast<std::size_t>(frame)]));
    redrawView();
    markUnsaved();
  }
}

void MainWindow::attackDetectorToggled(bool on) {
  settings_.attackDetection = on ? 1 : 0;
  engine_.attackDetectorOn = on;
  services_.view.setAttackControls(on, settings_.attackSensitivity);
  markUnsaved();
  redrawView();
}

void MainWindow::quickSettingsChosen(const std::string& entry) {
  quickChoice_ = entry;
  settingsManager_.selectQuickSettings(entry);
  updateStatusLine();
}

void MainWindow::mousePressed(int x, int y) {
  state_.areaButtonDown = true;
  const int pitchClass = pitchClassAt(x, y);
  if (session_.processed && pitchClass >= 0) {
    if (setPitchClass(engine_, session_.cursorFrame, pitchClass)) {
      markUnsaved();
      updateCursor();
    }
    return;
  }
  if (state_.lowHandle.contains(x, y) || state_.highHandle.contains(x, y)) {
    (state_.lowHandle.contains(x, y) ? state_.draggingLow : state_.draggingHigh) = true;
    state_.reconvertPending = true;
    redrawView();
    return;
  }
  if (x >= state_.viewLeft && x < state_.viewLeft + state_.viewWidth && y >= state_.viewTop &&
      y < state_.viewTop + state_.viewHeight) {
    state_.cursorX = x;
    takeUndoSnapshot();
    updateCursor();
  }
}

void MainWindow::mouseMoved(int x, int y) {
  if (state_.areaCorrectorOn) {
    moveBrush(x, y);
  }
  dragRangeLine(y);
}

void MainWindow::moveBrush(int x, int y) {
  const int r = state_.areaRadius;
  const bool inside = x + r < state_.viewLeft + state_.viewWidth && x - r >= state_.viewLeft &&
                      y + r < state_.viewTop + state_.viewHeight && y - r >= state_.viewTop;
  state_.brushVisible = inside;
  if (inside) {
    state_.brushX = x;
    state_.brushY = y;
    if (state_.areaButtonDown && session_.wavePath.empty()) {
      // The button's release goes to the dialog: the stroke ends here, so
      // later moves neither apply the brush nor ask again.
      state_.areaButtonDown = false;
      chooseAudioForTable();
    } else if (state_.areaButtonDown) {
      const ViewGeometry view = viewGeometry();
      applyAreaBrush(engine_, driver_, session_, *this, view.noteAt(y), view.frameAt(x), r);
    }
  }
  redrawView();
}

void MainWindow::dragRangeLine(int y) {
  // Neither line can be pulled past the other one's handle, nor out of the view.
  const ViewGeometry view = viewGeometry();
  if (state_.draggingLow && y > state_.highHandle.top &&
      y < state_.viewTop + state_.viewHeight - 10) {
    settings_.lowestNote = view.draggedNote(y);
    redrawView();
  } else if (state_.draggingHigh && y < state_.lowHandle.top && y > state_.viewTop) {
    settings_.highestNote = view.draggedNote(y);
    redrawView();
  }
}

void MainWindow::mouseReleased() {
  state_.areaButtonDown = false;
  if (!state_.draggingLow && !state_.draggingHigh) {
    return;
  }
  state_.draggingLow = false;
  state_.draggingHigh = false;
  settings_.lowestNoteMarkX = noteMarkX(settings_.lowestNote);
  settings_.highestNoteMarkX = noteMarkX(settings_.highestNote);
  // The new range takes effect at the next conversion: Start!, or the player's reconversion.
  applySettingsToEngine(settings_, engine_, this);
  redrawView();
}

bool MainWindow::closeRequested() {
  if (!services_.notifier.askYesNo("This will terminate Melovantis.\nAre you sure ?", "Warning!",
                                   MessageIcon::Error)) {
    return false;
  }
  // The program folder's exit script, if the user keeps one; a missing one is no error.
  const fs::path script = findDataFile(state_.programFolder, "clean.sh");
  if (isExistingFile(script)) {
    services_.launcher.runAndWait("/bin/sh", {script.string()}, state_.programFolder);
  }
  services_.view.pauseBeforeClosing();
  return true;
}

// --- ConversionObserver ----------------------------------------------------

void MainWindow::openAudioFile(ConversionSession& /*session*/) { openAudioFile(); }

void MainWindow::checkWaveFormat(ConversionSession& /*session*/, WaveReader& /*reader*/,
                                 Notifier& /*notifier*/) {
  checkWaveFormat();
}

void MainWindow::showProgressWindow(bool visible) {
  // Hidden runs (the wizard's, the area corrector's) have no window to show or close.
  conversionWindowShown_ = visible;
  if (visible) {
    services_.view.showProgressWindow(ProgressKind::Conversion);
  }
}

void MainWindow::setProgress(int percent) { services_.view.setProgress(percent); }

void MainWindow::closeProgressWindow() {
  if (conversionWindowShown_) {
    conversionWindowShown_ = false;
    services_.view.closeProgressWindow(ProgressKind::Conversion);
  }
}

void MainWindow::pumpMessages(bool rangeMode) { services_.view.pumpEvents(rangeMode); }

void MainWindow::drawCurrentNotePanel(int /*frame*/) {
  // The driver has put the cursor on the row it just analysed.
  services_.view.drawCurrentNotePanel();
}

int MainWindow::attackSensitivitySlider(int /*engineValue*/) {
  return services_.view.attackSensitivitySlider();
}

void MainWindow::saveMidiFile() { saveMidi(); }

void MainWindow::takeUndoSnapshot() {
  // A conversion that replaced an edited table keeps that table for Undo.
  if (keepUndoSnapshot_) {
    return;
  }
  melovantis::takeUndoSnapshot(engine_);
  undoFrameCount_ = engine_.frameCount;
}

// --- SettingsManagerHooks --------------------------------------------------

void MainWindow::attackControlsChanged(bool detectorOn, int sensitivity) {
  services_.view.setAttackControls(detectorOn, sensitivity);
}

void MainWindow::settingsDisplayChanged() { redrawView(); }

void MainWindow::setProcessed() { session_.processed = true; }

void MainWindow::runSettingsWizard(const fs::path& /*wavePath*/) { settingsWizardCommand(); }

}  // namespace melovantis
