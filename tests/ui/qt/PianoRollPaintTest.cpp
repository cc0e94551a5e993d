#include <QImage>
#include <QTest>
#include <set>

#include "DesktopFixture.h"
#include "ui/CommandIds.h"
#include "ui/qt/ClientArea.h"

namespace melovantis::test {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kGrey(128, 128, 128);

// The client area with a table of its own, painted by the real widget.
class PianoRollPaint : public DesktopFixture {
 protected:
  void setTable(const std::vector<FrameRecord>& rows) {
    AnalysisEngine& engine = desktop->main().engine();
    engine.reserveRows(static_cast<int>(rows.size()) + 1);
    std::copy(rows.begin(), rows.end(), engine.frames.begin());
    engine.frameCount = static_cast<int>(rows.size());
    desktop->main().resetViewToStart();
  }
  static FrameRecord frame(double pitch, int volume = 0, int brightness = 0, int attack = 0) {
    FrameRecord row;
    row.pitch = pitch;
    row.volume = static_cast<std::uint8_t>(volume);
    row.brightness = static_cast<std::uint8_t>(brightness);
    row.attack = static_cast<std::uint8_t>(attack);
    return row;
  }
  QImage picture() { return desktop->window().clientArea()->grab().toImage(); }
  static bool rowHas(const QImage& image, int y, const QColor& colour) {
    for (int x = 200; x < 730; ++x) {
      if (image.pixelColor(x, y) == colour) {
        return true;
      }
    }
    return false;
  }
  // The rows between 46 and 300 where some pixel of columns 200..215 is `colour`.
  std::set<int> rowsWith(const QImage& image, const QColor& colour) {
    std::set<int> rows;
    for (int y = 40; y <= 300; ++y) {
      for (int x = 200; x <= 215; ++x) {
        if (image.pixelColor(x, y) == colour) {
          rows.insert(y);
        }
      }
    }
    return rows;
  }
};

TEST_F(PianoRollPaint, ALoudDullFrameAtSixtyAndAHalfDrawsABlueDotOfRadius8BetweenCAndCSharp) {
  setTable({frame(60.5, 127, 0)});
  const QImage image = picture();
  // The dot's square is (23, 98) to (40, 115): its centre is blue, 7 pixels out still
  // is, 10 pixels out is the keyboard again.
  EXPECT_EQ(image.pixelColor(31, 106), kBlue);
  EXPECT_EQ(image.pixelColor(31 - 7, 106), kBlue);
  EXPECT_EQ(image.pixelColor(31 + 7, 106), kBlue);
  EXPECT_EQ(image.pixelColor(31, 106 - 7), kBlue);
  EXPECT_NE(image.pixelColor(31 - 10, 106), kBlue);
  EXPECT_NE(image.pixelColor(31 + 10, 106), kBlue);
  // The octave digit is written at (23, 132) on the white C key.
  int ink = 0;
  for (int y = 132; y < 148; ++y) {
    for (int x = 23; x < 33; ++x) {
      ink += image.pixelColor(x, y).lightness() < 100 ? 1 : 0;
    }
  }
  EXPECT_GT(ink, 10);
}

TEST_F(PianoRollPaint, OctaveGridLinesLie24PixelsApartAtZoom1And48AtZoom2) {
  desktop->main().settings().highestNote = 100;  // its line would cover the grid's at row 82
  setTable({});
  EXPECT_EQ(rowsWith(picture(), kGrey),
            (std::set<int>{58, 82, 106, 130, 154, 178, 202, 226, 250, 274, 298}));
  trigger(command::kZoom200);
  EXPECT_EQ(rowsWith(picture(), kGrey), (std::set<int>{58, 106, 154, 202, 250, 298}));
}

TEST_F(PianoRollPaint, APitchDotOnTheTopEdgeIsNotDrawnOneRowBelowItIs) {
  std::vector<FrameRecord> rows(8, frame(-1000.0));
  rows[5] = frame(127.0);   // row 44, the view's top edge
  rows[6] = frame(126.5);   // row 45
  setTable(rows);
  const QImage image = picture();
  EXPECT_NE(image.pixelColor(196 + 5, 44), kGreen);
  EXPECT_EQ(image.pixelColor(196 + 6, 45), kGreen);
}

TEST_F(PianoRollPaint, AttackTicksNeedTheDetectorAndTheViewToggle) {
  std::vector<FrameRecord> rows(12, frame(-1000.0));
  rows[10] = frame(60.0, 0, 0, 1);  // dot at row 178, tick from 188 to 168
  setTable(rows);
  AnalysisEngine& engine = desktop->main().engine();
  engine.attackDetectorOn = true;
  desktop->main().redrawView();
  EXPECT_EQ(picture().pixelColor(206, 185), kYellow);
  engine.attackDetectorOn = false;
  desktop->main().redrawView();
  EXPECT_NE(picture().pixelColor(206, 185), kYellow);
  engine.attackDetectorOn = true;
  trigger(command::kViewNoteAttack);
  EXPECT_NE(picture().pixelColor(206, 185), kYellow);
  EXPECT_EQ(picture().pixelColor(206, 178), kGreen);  // the pitch dot itself stays
}

TEST_F(PianoRollPaint, TheCursorSlidersAndRangeLinesFollowTheTable) {
  setTable({frame(61.25, 90, 30), frame(-1000.0)});
  const auto& sliders = desktop->window().controls().sliders;
  EXPECT_EQ(sliders.at(control::kOctaveSlider)->value(), 5);
  EXPECT_EQ(sliders.at(control::kCentsSlider)->value(), 25);
  EXPECT_EQ(sliders.at(control::kVolumeSlider)->value(), 90);
  sliders.at(control::kOctaveSlider)->setValue(3);  // as the user moves it
  EXPECT_DOUBLE_EQ(desktop->main().engine().frames[0].pitch, 37.25);
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae [unsaved]"));

  // The range lines of the factory settings, 28 and 108, in blue.
  const QImage image = picture();
  EXPECT_EQ(image.pixelColor(300, 298 - 56).blue(), 255);
  EXPECT_EQ(image.pixelColor(741, 298 - 216), QColor(0, 170, 0));  // a handle
}

TEST_F(PianoRollPaint, AClickInTheViewMovesTheCursorAndADraggedHandleMovesItsLine) {
  setTable(std::vector<FrameRecord>(100, frame(60.0, 60, 60)));
  QWidget* area = desktop->window().clientArea();
  QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(240, 200));
  EXPECT_EQ(desktop->main().session().cursorFrame, 44);
  EXPECT_EQ(picture().pixelColor(240, 100), QColor(255, 0, 0));

  // The lowest line (28, row 242) dragged down by its handle to row 256.
  QTest::mousePress(area, Qt::LeftButton, {}, QPoint(741, 242));
  QTest::mouseMove(area, QPoint(741, 249));
  QTest::mouseMove(area, QPoint(741, 256));
  // The pointer holds the handle 5 pixels below the line: note 18, line at row 262.
  EXPECT_EQ(desktop->main().settings().lowestNote, 18);
  EXPECT_TRUE(rowHas(picture(), 262, kYellow));  // dashed yellow while dragged
  QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(741, 256));
  EXPECT_TRUE(rowHas(picture(), 262, kBlue));
  EXPECT_FALSE(rowHas(picture(), 262, kYellow));
  EXPECT_EQ(desktop->main().session().cursorFrame, 44);  // a handle press is no cursor click
}

}  // namespace
}  // namespace melovantis::test
