#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <map>
#include <memory>

#include "ui/MainWindowView.h"
#include "ui/qt/InputBlocker.h"
#include "ui/qt/MainWindowControls.h"

namespace melovantis {

class ClientArea;
class MainWindow;
class MainWindowInput;
class PreviewPlayer;
class ProgressWindow;

// The program's window: a fixed-size Qt window laid out as the main window's
// controls were designed, with its menu bar. It forwards what the user does to
// the main window's commands and shows what they ask; it decides nothing itself.
class QtMainWindow : public QMainWindow, public MainWindowView {
 public:
  QtMainWindow(PreviewPlayer& player, QString version);
  ~QtMainWindow() override;

  // Where the user's input goes, and the window state the view is drawn from
  // (none in tests of the wiring alone).
  void attach(MainWindowInput* input, const MainWindow* model);

  QAction* action(int commandId) const;
  QWidget* control(int controlId) const;
  const MainWindowControls& controls() const { return controls_; }
  ClientArea* clientArea() const { return client_; }
  QWidget* progressWindow(ProgressKind kind) const;

  // MainWindowView.
  void setTitle(const std::string& title) override;
  void setStatusLine(const std::string& text) override;
  void redrawView() override;
  void drawCurrentNotePanel() override;
  void setCurrentNoteSliders(int octave, int cents, int volume, int brightness) override;
  void setCurrentNoteText(const CurrentNoteText& text) override;
  void setHorizontalScroll(int value, int maximum) override;
  int horizontalScrollValue() const override;
  void setVerticalScrollMaximum(int maximum) override;
  void setVerticalScrollValue(int value) override;
  int verticalScrollValue() const override;
  void setAttackControls(bool detectorOn, int sensitivity) override;
  int attackSensitivitySlider() const override;
  void setAreaCorrectorChecked(bool on) override;
  void setViewToggleChecked(int commandId, bool on) override;
  void setQuickSettingsEntries(const std::vector<std::string>& entries) override;
  void showQuickSettingsEntry(const std::string& entry) override;
  void selectPlayerType(int index) override;
  void showProgressWindow(ProgressKind kind) override;
  void closeProgressWindow(ProgressKind kind) override;
  void setProgress(int percent) override;
  void pumpEvents(bool letButtonReleaseThrough) override;
  std::optional<SettingsDialogOutcome> runSettingsDialog(SettingsRecord& settings,
                                                         SettingsFileActions& files) override;
  std::optional<WizardChoices> runSettingsWizardDialog() override;
  std::optional<int> runAutoCorrectDialog() override;
  std::optional<int> runPitchQuantizeDialog() override;
  std::optional<PitchTempoChoice> runPitchTempoDialog() override;
  void runRealTimeWindow(RealTimeMode& mode) override;
  void showAbout() override;
  bool openDocument(const std::filesystem::path& page) override;
  void requestClose() override;
  void pauseBeforeClosing() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connectControls();
  // Sets a control from the program without reporting it as the user's move.
  template <typename Change>
  void quietly(Change change);

  QString version_;
  ClientArea* client_;
  MainWindowControls controls_;
  std::map<int, QAction*> actions_;
  MainWindowInput* input_ = nullptr;
  const MainWindow* model_ = nullptr;
  bool updating_ = false;
  InputBlocker blocker_;
  QElapsedTimer sincePump_;
  std::map<ProgressKind, std::unique_ptr<ProgressWindow>> progressWindows_;
};

}  // namespace melovantis
