// The user's table kept through the commands that replace it: Area Correct on
// a project with no recording, and Undo after a conversion replaced edits.
#include <QTest>

#include "DesktopFixture.h"
#include "ui/CommandIds.h"
#include "ui/qt/ClientArea.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

// A converted melody saved as a project and opened again: a table and no WAVE.
class ProjectWithoutRecording : public DesktopFixture {
 protected:
  ProjectWithoutRecording() {
    script.choose(wave).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
    click(control::kStart);
    const fs::path project = folder("Melovantis files") / "gen.mvt";
    script.choose(project);
    trigger(command::kSaveProjectAs);
    script.choose(project);
    trigger(command::kOpenProject);
    EXPECT_TRUE(script.finished());
    table = rows();
    click(control::kAreaCorrect);
    EXPECT_TRUE(main().state().areaCorrectorOn);
  }
  MainWindow& main() { return desktop->main(); }
  std::vector<double> rows() {
    const AnalysisEngine& engine = main().engine();
    std::vector<double> pitches;
    for (int i = 0; i < engine.frameCount; ++i) {
      pitches.push_back(engine.frames[static_cast<std::size_t>(i)].pitch);
    }
    return pitches;
  }
  // The left button pressed at frame 20 on the height of `note`, moved `moves` times.
  void stroke(double note, int moves) {
    QWidget* area = desktop->window().clientArea();
    const QPoint at(196 + 20, main().viewGeometry().pitchY(note));
    QTest::mousePress(area, Qt::LeftButton, {}, at);
    for (int i = 1; i <= moves; ++i) {
      QTest::mouseMove(area, at + QPoint(i, 0));
    }
    QTest::mouseRelease(area, Qt::LeftButton, {}, at + QPoint(moves, 0));
  }
  int dialogsSeen(const char* kind) const {
    return static_cast<int>(std::count_if(script.seen.begin(), script.seen.end(),
                                          [&](const auto& s) { return s.kind == kind; }));
  }

  fs::path wave = melodyWave("gen.wav");
  std::vector<double> table;
};

TEST_F(ProjectWithoutRecording, TheBrushAsksForTheRecordingOnceAndTheStrokeEnds) {
  const int opens = dialogsSeen("open");
  script.choose({});  // Cancel
  stroke(72.0, 3);
  EXPECT_EQ(dialogsSeen("open"), opens + 1);
  EXPECT_EQ(dialogsSeen("unexpected"), 0);
  EXPECT_FALSE(main().state().areaButtonDown);
  EXPECT_EQ(rows(), table);
  // The next move over the view shows the brush released, and asks nothing.
  // Two moves: Qt drops a move to where the pointer already is.
  QTest::mouseMove(desktop->window().clientArea(), QPoint(299, 150));
  QTest::mouseMove(desktop->window().clientArea(), QPoint(300, 150));
  const QImage picture = desktop->window().clientArea()->grab().toImage();
  EXPECT_EQ(picture.pixelColor(300 + 9, 150 - 9), QColor(50, 0, 255));
  EXPECT_EQ(dialogsSeen("open"), opens + 1);
}

TEST_F(ProjectWithoutRecording, TheRecordingTheTableCameFromIsTakenAndTheBrushThenWorksOnTheTable) {
  script.choose(wave);
  stroke(72.0, 2);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(rows(), table);  // kept, not emptied
  EXPECT_TRUE(statusLine().startsWith("[Wave: gen]")) << statusLine().toStdString();
  EXPECT_TRUE(statusLine().endsWith("[Melovantis: gen]")) << statusLine().toStdString();

  // Now a stroke analyses the rows under the brush again from that recording.
  AnalysisEngine& engine = main().engine();
  for (int i = 5; i < 36; ++i) {
    engine.frames[static_cast<std::size_t>(i)].pitch = 30.0;  // a wrong reading
  }
  stroke(72.0, 1);
  EXPECT_NEAR(engine.frames[20].pitch, table[20], 0.05);
  click(control::kUndo);
  EXPECT_EQ(engine.frames[20].pitch, 30.0);
}

TEST_F(ProjectWithoutRecording, AnotherRecordingReplacesTheTableOnlyOnYesAndUndoBringsItBack) {
  const fs::path other = melodyWave("other.wav", 3.0);
  script.choose(other).answer(QMessageBox::No);
  stroke(72.0, 2);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen.back().caption, "Warning!");
  EXPECT_TRUE(script.seen.back().text.startsWith("The recording other.wav gives "))
      << script.seen.back().text.toStdString();
  EXPECT_EQ(rows(), table);
  EXPECT_TRUE(statusLine().startsWith("[Wave: -]"));

  script.choose(other).answer(QMessageBox::Yes).choose(folder("MIDI files") / "other.mid");
  stroke(72.0, 2);
  ASSERT_TRUE(script.finished());
  EXPECT_GT(main().engine().frameCount, static_cast<int>(table.size()));  // three seconds now
  EXPECT_TRUE(statusLine().startsWith("[Wave: other]"));
  click(control::kUndo);
  EXPECT_EQ(rows(), table);
}

using ReconversionUndo = DesktopFixture;

TEST_F(ReconversionUndo, AnExtraEnterReplacesTheEditsAndUndoBringsThemBack) {
  script.choose(melodyWave("gen.wav"))
      .answer(QMessageBox::No)
      .choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  const AnalysisEngine& engine = desktop->main().engine();
  const double analysed = engine.frames[10].pitch;
  QTest::mouseClick(desktop->window().clientArea(), Qt::LeftButton, {}, QPoint(196 + 10, 150));
  click(control::kErase);
  ASSERT_EQ(engine.frames[10].pitch, -1000.0);

  QTest::keyClick(&desktop->window(), Qt::Key_Return);  // converts and saves again
  EXPECT_EQ(engine.frames[10].pitch, analysed);
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae"));
  click(control::kUndo);
  EXPECT_EQ(engine.frames[10].pitch, -1000.0);
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae [unsaved]"));
}

}  // namespace
}  // namespace melovantis::test
