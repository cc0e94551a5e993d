#include "ui/qt/QtMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QThread>
#include <QUrl>

#include "ui/CommandIds.h"
#include "ui/MainWindow.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/AutoCorrectDialog.h"
#include "ui/qt/ClientArea.h"
#include "ui/qt/GroupFrame.h"
#include "ui/qt/MainMenu.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/PitchQuantizeDialog.h"
#include "ui/qt/PitchTempoDialog.h"
#include "ui/qt/PlayerWidget.h"
#include "ui/qt/ProgressWindow.h"
#include "ui/qt/RealTimeWindow.h"
#include "ui/qt/SettingsDialog.h"
#include "ui/qt/SettingsWizardDialog.h"

namespace melovantis {

namespace {

// Long work lets the window repaint at about this interval, not after every frame.
constexpr qint64 kPumpIntervalMs = 15;

QString fromStd(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

QtMainWindow::QtMainWindow(PreviewPlayer& player, QString version)
    : version_(std::move(version)), client_(new ClientArea(this)) {
  setWindowIcon(appIcon());
  setCentralWidget(client_);
  controls_ = buildMainWindowControls(*client_, player);
  actions_ = buildMainMenu(*menuBar());
  connectControls();
  qApp->installEventFilter(&blocker_);
  qApp->installEventFilter(this);
  // Fixed size: the controls sit at fixed places, as they were designed.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  sincePump_.start();
}

QtMainWindow::~QtMainWindow() {
  qApp->removeEventFilter(this);
  qApp->removeEventFilter(&blocker_);
}

void QtMainWindow::attach(MainWindowInput* input, const MainWindow* model) {
  input_ = input;
  model_ = model;
  client_->setInput(input);
  client_->setModel(model);
}

QAction* QtMainWindow::action(int commandId) const {
  const auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

QWidget* QtMainWindow::control(int controlId) const {
  const auto it = controls_.byId.find(controlId);
  return it == controls_.byId.end() ? nullptr : it->second;
}

QWidget* QtMainWindow::progressWindow(ProgressKind kind) const {
  const auto it = progressWindows_.find(kind);
  return it == progressWindows_.end() ? nullptr : it->second.get();
}

template <typename Change>
void QtMainWindow::quietly(Change change) {
  const bool was = updating_;
  updating_ = true;
  change();
  updating_ = was;
}

void QtMainWindow::connectControls() {
  for (const auto& [id, qaction] : actions_) {
    const int commandId = id;
    connect(qaction, &QAction::triggered, this, [this, commandId] {
      if (commandId == command::kAreaCorrectorTool) {
        // The menu item works the toggle button, so its look and the mode change together.
        controls_.buttons.at(control::kAreaCorrect)->click();
        return;
      }
      if (input_ != nullptr) {
        input_->activate(commandId);
      }
    });
  }
  for (const auto& [id, button] : controls_.buttons) {
    const int controlId = id;
    connect(button, &QAbstractButton::clicked, this, [this, controlId] {
      if (input_ != nullptr) {
        input_->activate(controlId);
      }
    });
  }
  for (const auto& [id, slider] : controls_.sliders) {
    const int controlId = id;
    connect(slider, &QSlider::valueChanged, this, [this, controlId](int value) {
      if (!updating_ && input_ != nullptr) {
        input_->sliderMoved(controlId, value);
      }
    });
  }
  connect(controls_.attackDetector, &QCheckBox::clicked, this, [this](bool on) {
    if (input_ != nullptr) {
      input_->attackDetectorToggled(on);
    }
  });
  connect(controls_.horizontalScroll, &QScrollBar::valueChanged, this, [this] {
    if (!updating_ && input_ != nullptr) {
      input_->horizontalScrolled();
    }
  });
  connect(controls_.verticalScroll, &QScrollBar::valueChanged, this, [this] {
    if (!updating_ && input_ != nullptr) {
      input_->verticalScrolled();
    }
  });
  connect(controls_.quickSettings, &QComboBox::activated, this, [this](int index) {
    if (input_ != nullptr && index >= 0) {
      input_->quickSettingsChosen(controls_.quickSettings->itemText(index).toStdString());
    }
  });
  connect(controls_.playerType, &QComboBox::activated, this, [this](int index) {
    if (input_ != nullptr) {
      input_->playerTypeChosen(index);
    }
  });
  controls_.player->setActionHandler([this](PlayerAction playerAction) {
    if (input_ != nullptr) {
      input_->playerControl(playerAction);
    }
  });
}

// --- What the commands show ------------------------------------------------

void QtMainWindow::setTitle(const std::string& title) { setWindowTitle(fromStd(title)); }

void QtMainWindow::setStatusLine(const std::string& text) {
  controls_.statusLine->setText(fromStd(text));
}

void QtMainWindow::redrawView() { client_->update(); }

void QtMainWindow::drawCurrentNotePanel() { client_->update(ClientArea::panelRect()); }

void QtMainWindow::setCurrentNoteSliders(int octave, int cents, int volume, int brightness) {
  quietly([&] {
    controls_.sliders.at(control::kOctaveSlider)->setValue(octave);
    controls_.sliders.at(control::kCentsSlider)->setValue(cents);
    controls_.sliders.at(control::kVolumeSlider)->setValue(volume);
    controls_.sliders.at(control::kBrightnessSlider)->setValue(brightness);
  });
}

void QtMainWindow::setCurrentNoteText(const CurrentNoteText& text) {
  controls_.sliderFrames.at(control::kOctaveSlider)->setValueText(fromStd(text.note));
  controls_.sliderFrames.at(control::kCentsSlider)->setValueText(fromStd(text.cents));
  controls_.sliderFrames.at(control::kVolumeSlider)->setValueText(fromStd(text.volume));
  controls_.sliderFrames.at(control::kBrightnessSlider)->setValueText(fromStd(text.brightness));
}

void QtMainWindow::setHorizontalScroll(int value, int maximum) {
  quietly([&] {
    controls_.horizontalScroll->setRange(0, maximum);
    controls_.horizontalScroll->setValue(value);
  });
}

int QtMainWindow::horizontalScrollValue() const { return controls_.horizontalScroll->value(); }

void QtMainWindow::setVerticalScrollMaximum(int maximum) {
  quietly([&] { controls_.verticalScroll->setMaximum(maximum); });
}

void QtMainWindow::setVerticalScrollValue(int value) {
  quietly([&] { controls_.verticalScroll->setValue(value); });
}

int QtMainWindow::verticalScrollValue() const { return controls_.verticalScroll->value(); }

void QtMainWindow::setAttackControls(bool detectorOn, int sensitivity) {
  quietly([&] {
    controls_.attackDetector->setChecked(detectorOn);
    QSlider* slider = controls_.sliders.at(control::kAttackSensitivity);
    slider->setValue(sensitivity);
    slider->setEnabled(detectorOn);
  });
}

int QtMainWindow::attackSensitivitySlider() const {
  return controls_.sliders.at(control::kAttackSensitivity)->value();
}

void QtMainWindow::setAreaCorrectorChecked(bool on) {
  quietly([&] { controls_.buttons.at(control::kAreaCorrect)->setChecked(on); });
  client_->setCursor(on ? areaCursor() : QCursor(Qt::ArrowCursor));
}

void QtMainWindow::setViewToggleChecked(int commandId, bool on) {
  if (QAction* toggle = action(commandId)) {
    toggle->setChecked(on);
  }
}

void QtMainWindow::setQuickSettingsEntries(const std::vector<std::string>& entries) {
  quietly([&] {
    controls_.quickSettings->clear();
    for (const std::string& entry : entries) {
      controls_.quickSettings->addItem(fromStd(entry));
    }
    controls_.quickSettings->setCurrentIndex(-1);
  });
}

void QtMainWindow::showQuickSettingsEntry(const std::string& entry) {
  quietly([&] {
    controls_.quickSettings->setCurrentIndex(
        entry.empty() ? -1 : controls_.quickSettings->findText(fromStd(entry)));
  });
}

void QtMainWindow::selectPlayerType(int index) {
  quietly([&] { controls_.playerType->setCurrentIndex(index); });
  controls_.player->refresh();
}

void QtMainWindow::showProgressWindow(ProgressKind kind) {
  auto window = std::make_unique<ProgressWindow>(kind, this);
  window->show();
  progressWindows_[kind] = std::move(window);
}

void QtMainWindow::closeProgressWindow(ProgressKind kind) {
  progressWindows_.erase(kind);
  controls_.player->refresh();
}

void QtMainWindow::setProgress(int percent) { controls_.progress->setValue(percent); }

void QtMainWindow::pumpEvents(bool letButtonReleaseThrough) {
  if (sincePump_.elapsed() < kPumpIntervalMs) {
    return;
  }
  blocker_.setBlocking(true, letButtonReleaseThrough);
  QApplication::processEvents(QEventLoop::AllEvents);
  blocker_.setBlocking(false);
  sincePump_.restart();
}

std::optional<SettingsDialogOutcome> QtMainWindow::runSettingsDialog(SettingsRecord& settings,
                                                                     SettingsFileActions& files) {
  SettingsDialog dialog(files, this);
  dialog.setValues(settings);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  settings = dialog.values();
  return SettingsDialogOutcome{dialog.applyNow(), dialog.changed()};
}

// Each tool dialog opens with its fixed initial values; nothing is remembered between uses.
std::optional<WizardChoices> QtMainWindow::runSettingsWizardDialog() {
  SettingsWizardDialog dialog(this);
  return dialog.exec() == QDialog::Accepted ? std::optional(dialog.values()) : std::nullopt;
}

std::optional<int> QtMainWindow::runAutoCorrectDialog() {
  AutoCorrectDialog dialog(this);
  return dialog.exec() == QDialog::Accepted ? std::optional(dialog.values()) : std::nullopt;
}

std::optional<int> QtMainWindow::runPitchQuantizeDialog() {
  PitchQuantizeDialog dialog(this);
  return dialog.exec() == QDialog::Accepted ? std::optional(dialog.values()) : std::nullopt;
}

std::optional<PitchTempoChoice> QtMainWindow::runPitchTempoDialog() {
  PitchTempoDialog dialog(this);
  return dialog.exec() == QDialog::Accepted ? std::optional(dialog.values()) : std::nullopt;
}

void QtMainWindow::runRealTimeWindow(RealTimeMode& mode) {
  RealTimeWindow window(mode, this);
  window.exec();
}

void QtMainWindow::showAbout() {
  AboutBox box(version_, [this] {
    if (input_ != nullptr) {
      input_->activate(command::kWebsite);
    }
  }, this);
  box.exec();
}

bool QtMainWindow::openDocument(const std::filesystem::path& page) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page.string())));
}

void QtMainWindow::requestClose() { close(); }

void QtMainWindow::pauseBeforeClosing() { QThread::msleep(500); }

// --- Events ----------------------------------------------------------------

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (input_ != nullptr && !input_->closeRequested()) {
    event->ignore();
    return;
  }
  event->accept();
}

bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The window's own keys come before any control's: the arrows move the
  // cursor even while a slider has the focus, and Enter starts the conversion.
  if (event->type() != QEvent::KeyPress || input_ == nullptr || !watched->isWidgetType() ||
      static_cast<QWidget*>(watched)->window() != this ||
      QApplication::activePopupWidget() != nullptr ||
      QApplication::activeModalWidget() != nullptr) {
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
    return false;
  }
  switch (key->key()) {
    case Qt::Key_Left: input_->keyPressed(WindowKey::Left); return true;
    case Qt::Key_Right: input_->keyPressed(WindowKey::Right); return true;
    case Qt::Key_Insert: input_->keyPressed(WindowKey::Insert); return true;
    case Qt::Key_Delete: input_->keyPressed(WindowKey::Delete); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter is the window's default button whatever has the focus; Space presses a focused button.
      input_->keyPressed(WindowKey::Enter);
      return true;
    default: return false;
  }
}

}  // namespace melovantis
