// A picture of the whole window after a conversion, as a user sees it on an X
// display. Runs under Xvfb (run-under-xvfb.sh); elsewhere it is skipped.
#include <QGuiApplication>
#include <QScreen>
#include <QDialog>
#include <QPushButton>
#include <QTest>

#include "DesktopFixture.h"
#include "ui/CommandIds.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

using Screenshot = DesktopFixture;

TEST_F(Screenshot, OfTheWholeWindowAfterConvertingTheExampleMelody) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
    GTEST_SKIP() << "needs an X display";
  }
  const fs::path melody = fs::path(MELOVANTIS_SOURCE_DIR) / "examples" / "melody.wav";
  script.choose(melody).answer(QMessageBox::No).choose(folder("MIDI files") / "melody.mid");
  click(control::kStart);
  ASSERT_TRUE(script.finished());
  QTest::qWait(300);  // let the window repaint after the conversion

  const char* where = std::getenv("MELOVANTIS_SCREENSHOT_DIR");
  const fs::path folderPath = where != nullptr ? fs::path(where) : fs::current_path();
  fs::create_directories(folderPath);
  QtMainWindow& window = desktop->window();
  auto save = [&](const char* name) {
    const QPixmap picture = window.screen()->grabWindow(window.winId());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), window.width());
    const fs::path file = folderPath / name;
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string()), "PNG"));
    std::printf("Screenshot written to %s\n", file.c_str());
  };
  save("main-window.png");
  trigger(command::kZoom200);
  QTest::qWait(300);
  save("main-window-zoom2.png");
  trigger(command::kZoom100);

  // Each dialog as it opens, pictured from inside its own event loop, then cancelled.
  auto picture = [&](const char* name) {
    return [&, name](QWidget* dialog) {
      QTest::qWait(300);
      const fs::path file = folderPath / name;
      EXPECT_TRUE(dialog->grab().save(QString::fromStdString(file.string()), "PNG"));
      static_cast<QDialog*>(dialog)->reject();
    };
  };
  script.act([&](QWidget* dialog) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
      if (b->text() == "Define...") {
        b->click();  // the range selector, pictured by the next step
      }
    }
    picture("settings-dialog.png")(dialog);
  });
  script.act(picture("note-range-selector.png"));
  click(control::kSettings);
  script.act(picture("auto-correct.png"));
  click(control::kAutoCorrect);
  script.act(picture("pitch-quantize.png"));
  click(control::kPitchQuantize);
  script.act(picture("pitch-tempo.png"));
  click(control::kPitchTempo);
  script.act(picture("settings-wizard.png"));
  click(control::kSettingsWizard);
  // The scripted input sings its three notes in 0.75 s: pictured in the middle of them.
  script.act(picture("real-time.png"));
  click(control::kRealTimeStart);
  EXPECT_TRUE(script.finished());
}

}  // namespace
}  // namespace melovantis::test
