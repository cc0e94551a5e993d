#pragma once

#include <filesystem>
#include <string>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/SettingsManager.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "ui/MainWindowInput.h"
#include "ui/MainWindowState.h"
#include "ui/MainWindowView.h"
#include "ui/ViewGeometry.h"

namespace melovantis {

class AudioCaptureBackend;
class FileDialogs;
class MidiOutputPorts;
class MainWindowView;
class Notifier;
class PreviewPlayer;
class ProgramLauncher;

// What the main window talks to. All live as long as the window.
struct MainWindowServices {
  Notifier& notifier;
  FileDialogs& dialogs;
  MainWindowView& view;
  PreviewPlayer& player;
  ProgramLauncher& launcher;
  AudioCaptureBackend& capture;  // the real-time mode's input
  MidiOutputPorts& midiPorts;    // and its MIDI outputs
};

// The main window without its widgets: the state of the run (paths, flags,
// cursor, view geometry, toggles), the one engine and settings record, and
// every menu command and button. The toolkit forwards the user's input here
// (MainWindowInput) and shows what the window asks of its view; so every
// command runs, and is tested, without a display.
class MainWindow : public MainWindowInput,
                   public ConversionObserver,
                   public SettingsManagerHooks,
                   public SettingsFileActions {
 public:
  static constexpr const char* kTitle = "Melovantis\u00ae";
  static constexpr const char* kUnsavedTitle = "Melovantis\u00ae [unsaved]";

  MainWindow(const MainWindowServices& services, std::filesystem::path programFolder,
             std::filesystem::path documentationFolder);

  // The window's start: state to its initial values, the start-up settings
  // applied, the status line, the player list and the quick settings list.
  void initialise();

  // MainWindowInput.
  void activate(int id) override;
  void keyPressed(WindowKey key) override;
  void sliderMoved(int controlId, int value) override;
  void attackDetectorToggled(bool on) override;
  void horizontalScrolled() override;
  void verticalScrolled() override;
  void quickSettingsChosen(const std::string& entry) override;
  void playerTypeChosen(int index) override;
  void playerControl(PlayerAction action) override;
  void mousePressed(int x, int y) override;
  void mouseMoved(int x, int y) override;
  void mouseReleased() override;
  void wheelTurned(int x, int y, int notches, WheelAction action) override;
  bool closeRequested() override;

  // The window's own operations.
  void markUnsaved() override;
  void markSaved();
  void updateStatusLine() override;
  std::string statusLineText() const;
  void updateCursor();
  void resetViewToStart() override;
  void redrawView() override;
  // A conversion of the current WAVE file (Start!, Enter, Apply Now!, Play
  // after the range lines moved). When it replaces an edited table, Undo
  // brings the edits back.
  void startConversion();

  // The piano roll's geometry as it is now (zoom, scroll positions).
  ViewGeometry viewGeometry() const;

  // File commands.
  void openAudioFile();
  bool checkWaveFormat();
  void openProject();
  void saveProject();
  void saveProjectAs();
  void saveMidi();
  void saveMidiAs();

  // What the view draws from.
  const MainWindowState& state() const { return state_; }
  const ConversionSession& session() const { return session_; }
  const AnalysisEngine& engine() const { return engine_; }
  const SettingsRecord& settings() const { return settings_; }
  const std::filesystem::path& wavePath() const { return session_.wavePath; }
  const std::filesystem::path& settingsPath() const { return settingsManager_.settingsPath(); }
  // The real-time window has the engine: the view must not read it meanwhile.
  bool engineLive() const { return engineLive_; }
  SettingsManager& settingsManager() { return settingsManager_; }

  // Tests and the real-time window reach the engine and the record directly.
  AnalysisEngine& engine() { return engine_; }
  SettingsRecord& settings() { return settings_; }

  // ConversionObserver: how a conversion shows itself in this window.
  void openAudioFile(ConversionSession& session) override;
  void checkWaveFormat(ConversionSession& session, WaveReader& reader, Notifier& notifier) override;
  void showProgressWindow(bool visible) override;
  void setProgress(int percent) override;
  void closeProgressWindow() override;
  void pumpMessages(bool rangeMode) override;
  void drawCurrentNotePanel(int frame) override;
  int attackSensitivitySlider(int engineValue) override;
  void saveMidiFile() override;
  void takeUndoSnapshot() override;

  // SettingsManagerHooks: the display of applied settings, `processed`, the wizard.
  void attackControlsChanged(bool detectorOn, int sensitivity) override;
  void settingsDisplayChanged() override;
  void setProcessed() override;
  void runSettingsWizard(const std::filesystem::path& wavePath) override;

  // SettingsFileActions: the settings dialog's file buttons.
  std::optional<SettingsRecord> openSettings() override;
  void saveSettings(const SettingsRecord& shown) override;
  void saveSettingsAs(const SettingsRecord& shown) override;

 private:
  // Commands by area (MainWindowCommands.cpp, MainWindowTools.cpp).
  void settingsWizardCommand();
  void customize();
  void autoCorrectCommand();
  void pitchQuantizeCommand();
  void inTuneWizardCommand();
  void pitchTempoCommand();
  void undoCommand();
  void eraseCommand();
  void repeatCommand();
  void realTimeCommand();
  void midiOutputDeviceCommand();
  void areaCorrectorToggle();
  void toggleView(int commandId, bool& flag);
  void toggleConversionChoice(int commandId);
  void setZoom(int zoom);
  // The new zoom with `note` kept at client row `row`, as near as the scroll range allows.
  void zoomKeeping(int zoom, double note, int row);
  void scrollNotes(int notches);
  void scrollFrames(int notches);
  void moveCursor(int step);
  void openHelpPage(const char* page, const char* caption);
  void moveBrush(int x, int y);
  void dragRangeLine(int y);

  // The current-note sliders and their words for the frame at the cursor, or
  // empty ones when the cursor is on no frame.
  void showCurrentNote();
  // After the table was emptied: no frame to show, the cursor at the start.
  void showEmptyTable();
  // The horizontal scroll range for the table as it now is.
  void updateScrollRange();

  // A conversion; with `keepReplacedTable` the undo snapshot holds the table
  // it replaces, else the one it makes.
  void convert(bool keepReplacedTable);
  // Work that replaces the whole table: an edited table goes into the undo
  // snapshot first, otherwise the snapshot holds the new one.
  template <typename Replace>
  void replaceTable(Replace replace);
  // The brush has a table but no recording: asks for the recording the table
  // was made from, and ends the brush stroke.
  void chooseAudioForTable();
  // Brings `source` into the PCM folder through the external converter.
  std::filesystem::path convertIntoPcmFolder(const std::filesystem::path& source);

  // The media player's file for the player-type list's current entry.
  void loadPlayer(int playerType);
  bool writeMidiTo(const std::filesystem::path& path);
  std::string waveBaseName() const;

  MainWindowServices services_;
  std::filesystem::path documentationFolder_;
  SettingsRecord settings_;
  AnalysisEngine engine_;
  WaveReader reader_;
  ConversionDriver driver_;
  SettingsManager settingsManager_;
  ConversionSession session_;
  MainWindowState state_;
  int playerType_ = 0;  // 0 "MIDI Player", 1 "WAVE Player"
  bool conversionWindowShown_ = false;
  bool engineLive_ = false;
  int realTimeMidiDevice_ = 0;  // the real-time window's MIDI device, kept for the run
  bool tableEdited_ = false;    // edited since the last conversion or file put it there
  bool converting_ = false;     // a conversion's own unsaved mark is no edit
  bool keepUndoSnapshot_ = false;
  int undoFrameCount_ = 0;      // the rows the undo snapshot holds
  std::string quickChoice_;     // the Quick Settings entry in use, if any
};

}  // namespace melovantis
