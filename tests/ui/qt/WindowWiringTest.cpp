#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextDocument>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "ui/CommandIds.h"
#include "ui/MainWindowInput.h"
#include "ui/SilentPlayer.h"
#include "ui/qt/ClientArea.h"
#include "ui/qt/MainWindowControls.h"
#include "ui/qt/PlayerWidget.h"
#include "ui/qt/QtFileDialogs.h"
#include "ui/qt/QtMainWindow.h"

namespace melovantis::test {
namespace {

// Records what the window hands on, in order.
class RecordingInput : public MainWindowInput {
 public:
  void activate(int id) override { events.push_back("activate " + std::to_string(id)); }
  void keyPressed(WindowKey key) override {
    events.push_back("key " + std::to_string(static_cast<int>(key)));
  }
  void sliderMoved(int id, int value) override {
    events.push_back("slider " + std::to_string(id) + " " + std::to_string(value));
  }
  void attackDetectorToggled(bool on) override { events.push_back(on ? "attack on" : "attack off"); }
  void horizontalScrolled() override { events.push_back("hscroll"); }
  void verticalScrolled() override { events.push_back("vscroll"); }
  void quickSettingsChosen(const std::string& entry) override { events.push_back("quick " + entry); }
  void playerTypeChosen(int index) override { events.push_back("player " + std::to_string(index)); }
  void playerControl(PlayerAction action) override {
    events.push_back("play " + std::to_string(static_cast<int>(action)));
  }
  void mousePressed(int x, int y) override {
    events.push_back("press " + std::to_string(x) + "," + std::to_string(y));
  }
  void mouseMoved(int, int) override {}
  void mouseReleased() override { events.push_back("release"); }
  void wheelTurned(int x, int y, int notches, WheelAction action) override {
    events.push_back("wheel " + std::to_string(x) + "," + std::to_string(y) + " " +
                     std::to_string(notches) + " " + std::to_string(static_cast<int>(action)));
  }
  bool closeRequested() override { return true; }

  std::vector<std::string> events;
};

class WindowWiring : public ::testing::Test {
 protected:
  WindowWiring() : window(player, QStringLiteral("test")) {
    window.attach(&input, nullptr);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  SilentPlayer player;
  QtMainWindow window;
  RecordingInput input;
};

TEST_F(WindowWiring, EveryMenuItemCarriesItsCommandInMenuOrder) {
  std::vector<std::string> texts;
  for (QAction* menu : window.menuBar()->actions()) {
    for (QAction* item : menu->menu()->actions()) {
      if (item->isSeparator()) {
        continue;
      }
      texts.push_back(item->text().toStdString());
      input.events.clear();
      item->trigger();
      const int id = item->data().toInt();
      // The area corrector's menu item works its toggle button, as a click would.
      const int expected = id == command::kAreaCorrectorTool ? control::kAreaCorrect : id;
      EXPECT_EQ(input.events, std::vector<std::string>{"activate " + std::to_string(expected)})
          << item->text().toStdString();
    }
  }
  const std::vector<std::string> menu149 = {
      "Open Audio file...", "Open Melovantis file...", "Save Melovantis file",
      "Save Melovantis file As...", "Save MIDI file", "Save MIDI file as...", "Exit", "Undo",
      "Erase current note", "Repeat previous note", "Pitch", "Volume", "Brightness",
      "Note Attack", "Zoom 100%", "Zoom 200%", "Zoom 400%", "Start!", "Start real-time!",
      // The conversions' two choices, after the menu of the original program.
      "Notes at their attacks", "Notes on their nearest keys",
      "Open...", "Save", "Save As..", "Customize", "Auto Settings", "MIDI Output Device...",
      "Load Defaults", "Auto Correct", "Pitch Quantize", "Modify Pitch/Tempo", "In-Tune Wizard",
      "Area corrector tool", "Show User's Guide", "Go to Melovantis Website",
      "Check for Updates!", "About Melovantis..."};
  EXPECT_EQ(texts, menu149);
  EXPECT_EQ(window.action(command::kStart)->data().toInt(), 32786);
}

TEST_F(WindowWiring, EveryButtonAndControlReachesTheWindow) {
  for (const auto& [id, button] : window.controls().buttons) {
    input.events.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(input.events, std::vector<std::string>{"activate " + std::to_string(id)}) << id;
  }
  input.events.clear();
  window.controls().sliders.at(control::kVolumeSlider)->setValue(90);
  ASSERT_FALSE(window.controls().attackDetector->isChecked());
  window.controls().attackDetector->click();
  window.controls().horizontalScroll->setMaximum(100);
  window.controls().horizontalScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  window.setQuickSettingsEntries({"flute", "voice"});
  window.controls().quickSettings->activated(1);
  window.controls().playerType->activated(1);
  window.controls().player->setActionHandler(nullptr);
  EXPECT_EQ(input.events, (std::vector<std::string>{"slider 1013 90", "attack on", "hscroll",
                                                    "quick voice", "player 1"}));
}

TEST_F(WindowWiring, ProgramSetControlsAreNotReportedAsTheUsersMoves) {
  window.setCurrentNoteSliders(3, 40, 100, 20);
  window.setHorizontalScroll(5, 100);
  window.setAttackControls(false, 33);
  EXPECT_TRUE(input.events.empty());
  EXPECT_EQ(window.controls().sliders.at(control::kCentsSlider)->value(), 40);
  EXPECT_FALSE(window.controls().sliders.at(control::kAttackSensitivity)->isEnabled());
  EXPECT_EQ(window.attackSensitivitySlider(), 33);
}

TEST_F(WindowWiring, TheWindowsKeysComeFirstEvenWhenASliderHasTheFocus) {
  QSlider* slider = window.controls().sliders.at(control::kOctaveSlider);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  QTest::keyClick(slider, Qt::Key_Left);
  QTest::keyClick(slider, Qt::Key_Delete);
  QTest::keyClick(slider, Qt::Key_Insert);
  QTest::keyClick(slider, Qt::Key_Return);
  EXPECT_EQ(input.events,
            (std::vector<std::string>{"key 1", "key 0", "key 3", "key 2", "key 4"}));
  EXPECT_EQ(slider->value(), 0);
}

TEST_F(WindowWiring, TheWheelOverTheClientAreaArrivesAsWholeNotchesWithItsAction) {
  const auto wheel = [&](QPoint angle, Qt::KeyboardModifiers modifiers) {
    const QPoint at(300, 100);
    QWheelEvent event(QPointF(at), QPointF(window.clientArea()->mapToGlobal(at)), QPoint(), angle,
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.clientArea(), &event);
  };
  wheel(QPoint(0, 120), Qt::NoModifier);
  wheel(QPoint(0, -240), Qt::ShiftModifier);
  wheel(QPoint(60, 0), Qt::NoModifier);  // half a notch sideways: nothing yet
  wheel(QPoint(60, 0), Qt::NoModifier);
  wheel(QPoint(0, 120), Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(input.events, (std::vector<std::string>{"wheel 300,100 1 0", "wheel 300,100 -2 1",
                                                    "wheel 300,100 1 1", "wheel 300,100 1 2"}));
}

TEST_F(WindowWiring, ClicksOnTheClientAreaArriveInClientPixels) {
  QTest::mouseClick(window.clientArea(), Qt::LeftButton, {}, QPoint(300, 100));
  // Inside the "Current Note" frame the keyboard picture gets the click, not the frame.
  QTest::mouseClick(window.clientArea(), Qt::LeftButton, {}, QPoint(40, 120));
  EXPECT_EQ(input.events,
            (std::vector<std::string>{"press 300,100", "release", "press 40,120", "release"}));
}

TEST_F(WindowWiring, TheLayoutFollowsTheDialogUnits) {
  EXPECT_EQ(window.clientArea()->size(), QSize(789, 520));
  EXPECT_EQ(window.control(control::kStart)->geometry(), QRect(219, 358, 91, 44));
  EXPECT_EQ(window.control(control::kStatusLine)->geometry(), QRect(12, 0, 761, 24));
  EXPECT_EQ(window.control(control::kHorizontalScroll)->geometry(), QRect(250, 302, 473, 26));
  EXPECT_EQ(window.control(control::kVerticalScroll)->geometry(), QRect(751, 34, 26, 268));
  EXPECT_EQ(window.controls().horizontalScroll->singleStep(), 20);
  EXPECT_EQ(window.controls().horizontalScroll->pageStep(), 100);
  EXPECT_EQ(window.controls().verticalScroll->singleStep(), 10);
  EXPECT_EQ(window.controls().verticalScroll->pageStep(), 20);
  EXPECT_EQ(window.controls().sliders.at(control::kOctaveSlider)->maximum(), 9);
  EXPECT_EQ(window.controls().sliders.at(control::kAttackSensitivity)->minimum(), 1);
  EXPECT_EQ(window.controls().playerType->itemText(0), "MIDI Player");
  EXPECT_EQ(window.controls().playerType->itemText(1), "WAVE Player");
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  const QSize size = window.size();
  window.resize(size + QSize(200, 100));  // as a window manager would ask
  EXPECT_EQ(window.size(), size);
}

TEST_F(WindowWiring, TooltipsCarryTheProgramsTextsWrappedAt200PixelsForTwentySeconds) {
  const int ids[] = {control::kZoomIn, control::kErase, control::kQuickSettings,
                     control::kAttackSensitivity, control::kPlayerType};
  for (const int id : ids) {
    QWidget* widget = window.control(id);
    QTextDocument shown;
    shown.setHtml(widget->toolTip());
    EXPECT_EQ(shown.toPlainText().trimmed().toStdString(), tooltipText(id).toStdString()) << id;
    EXPECT_EQ(widget->toolTipDuration(), 20000);
  }
  EXPECT_EQ(window.control(control::kZoomIn)->toolTip(), "Zoom In");
  EXPECT_TRUE(window.control(control::kErase)->toolTip().startsWith("<table width=\"200\">"));
  EXPECT_EQ(tooltipText(control::kCursorLeft),
            "Move cursor one time-slice left.You can use the arrows of your keyboard also.");
}

TEST_F(WindowWiring, ThePlayerSaysPlainlyThatItHasNoSoundOutput) {
  auto* widget = static_cast<PlayerWidget*>(window.control(control::kMediaPlayer));
  EXPECT_EQ(widget->noteText(), "No sound output is attached yet");
  EXPECT_FALSE(widget->button(PlayerAction::Play)->isEnabled());  // nothing to play
}

TEST(FileDialogFilters, TheProgramsFiltersBecomeQtNameFilters) {
  EXPECT_EQ(qtNameFilter("MIDI files|*.mid"), "MIDI files (*.mid)");
  EXPECT_EQ(qtNameFilter("Audio/Video Files (*.*)|*.*"), "Audio/Video Files (*)");
  EXPECT_EQ(defaultSuffix("Melovantis files|*.mvt"), "mvt");
  EXPECT_EQ(defaultSuffix("Audio/Video Files (*.*)|*.*"), "");
}

}  // namespace
}  // namespace melovantis::test
