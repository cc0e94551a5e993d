#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWheelEvent>
#include <set>

#include "DesktopFixture.h"
#include "ui/CommandIds.h"
#include "ui/qt/ClientArea.h"
#include "ui/qt/GroupFrame.h"

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
  // A turn of the wheel over client pixel `at`, in notches of 120 eighths of a degree.
  void wheel(QPoint at, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* area = desktop->window().clientArea();
    QWheelEvent event(QPointF(at), QPointF(area->mapToGlobal(at)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(area, &event);
  }
  // The rows of column x where a pitch dot is drawn.
  std::set<int> greenRows(int x) {
    const QImage image = picture();
    std::set<int> rows;
    for (int y = 44; y <= 298; ++y) {
      if (image.pixelColor(x, y) == kGreen) {
        rows.insert(y);
      }
    }
    return rows;
  }
  QScrollBar* verticalScroll() { return desktop->window().controls().verticalScroll; }
  QString sliderWords(int id) {
    return desktop->window().controls().sliderFrames.at(id)->valueText();
  }
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

TEST_F(PianoRollPaint, TheCurrentNoteDotSitsBetweenTwoKeysByItsCentsLoudAndDullInBlue) {
  // The dot's centre, x = f x keyX[c + 1] + (1 - f) x keyX[c] + 24 and likewise y + 50
  // plus 8 for the radius of a loud frame, truncated as the corner is.
  struct Case {
    double pitch;
    QPoint centre;
  };
  const Case cases[] = {{60.25, {28, 121}}, {60.5, {31, 106}}, {60.75, {33, 91}},
                        {64.25, {71, 136}}, {64.75, {81, 136}}};
  for (const Case& c : cases) {
    setTable({frame(c.pitch, 127, 0)});
    const QImage image = picture();
    // The blue pixels of the panel: a disc of radius 8 around the centre.
    long long sumX = 0;
    long long sumY = 0;
    int count = 0;
    for (int y = 45; y < 152; ++y) {
      for (int x = 16; x < 179; ++x) {
        if (image.pixelColor(x, y) == kBlue) {
          sumX += x;
          sumY += y;
          ++count;
        }
      }
    }
    ASSERT_GT(count, 150) << c.pitch;  // about pi x 8 x 8
    EXPECT_NEAR(static_cast<double>(sumX) / count, c.centre.x(), 1.0) << c.pitch;
    EXPECT_NEAR(static_cast<double>(sumY) / count, c.centre.y(), 1.0) << c.pitch;
  }
  // The octave digit is written at (23, 132) on the white C key.
  setTable({frame(61.0, 127, 0)});
  const QImage image = picture();
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
  rows[7] = frame(60.3);    // 120.6 pixels up rounds to 121: row 177
  setTable(rows);
  const QImage image = picture();
  EXPECT_NE(image.pixelColor(196 + 5, 44), kGreen);
  EXPECT_EQ(image.pixelColor(196 + 6, 45), kGreen);
  EXPECT_EQ(image.pixelColor(196 + 7, 177), kGreen);
  EXPECT_NE(image.pixelColor(196 + 7, 178), kGreen);
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

TEST_F(PianoRollPaint, TheVerticalBarAndTheWheelScrollThroughTheNotesAtEveryZoom) {
  std::vector<FrameRecord> rows(10, frame(-1000.0));
  rows[5] = frame(60.0);
  setTable(rows);
  for (int i = 0; i < 2; ++i) {
    click(control::kZoomIn);
  }
  ASSERT_EQ(verticalScroll()->maximum(), 508);  // zoom 3: 6 pixels a semitone
  verticalScroll()->setValue(300);               // as the user drags it
  // Note 60 is drawn 360 pixels above the bottom edge shifted by 508 - 300.
  EXPECT_EQ(greenRows(201), std::set<int>{298 + 208 - 360});
  // One notch up: three semitones higher notes come into view, the dot moves down.
  wheel(QPoint(400, 150), 1);
  EXPECT_EQ(verticalScroll()->value(), 300 - 18);
  EXPECT_EQ(greenRows(201), std::set<int>{298 + 226 - 360});
  wheel(QPoint(400, 150), -2);
  EXPECT_EQ(greenRows(201), std::set<int>{298 + 190 - 360});
}

TEST_F(PianoRollPaint, ZoomKeepsTheCursorsNoteOrTheNoteUnderThePointerWhereItWas) {
  std::vector<FrameRecord> rows(10, frame(76.0));
  rows[5] = frame(52.0);
  setTable(rows);  // the cursor on frame 0, note 76 at row 146
  for (int i = 0; i < 4; ++i) {
    click(control::kZoomIn);
    EXPECT_EQ(greenRows(200), std::set<int>{146}) << "zoom " << i + 2;
  }
  EXPECT_EQ(desktop->main().state().zoom, 5);
  trigger(command::kZoom100);
  EXPECT_EQ(greenRows(200), std::set<int>{146});

  // Ctrl and the wheel over note 52 (row 194): it stays under the pointer.
  wheel(QPoint(201, 194), 2, Qt::ControlModifier);
  EXPECT_EQ(desktop->main().state().zoom, 3);
  EXPECT_EQ(greenRows(201), std::set<int>{194});
  wheel(QPoint(201, 194), -1, Qt::ControlModifier);
  EXPECT_EQ(desktop->main().state().zoom, 2);
  EXPECT_EQ(greenRows(201), std::set<int>{194});
}

TEST_F(PianoRollPaint, ShiftAndTheWheelScrollThroughTheFramesAndMoveTheCursorWithThem) {
  setTable(std::vector<FrameRecord>(600, frame(60.0, 60, 60)));
  wheel(QPoint(400, 150), -1, Qt::ShiftModifier);
  EXPECT_EQ(desktop->window().controls().horizontalScroll->value(), 25);
  EXPECT_EQ(desktop->main().session().cursorFrame, 25);
  wheel(QPoint(400, 150), -3, Qt::ShiftModifier);
  EXPECT_EQ(desktop->window().controls().horizontalScroll->value(), 50);  // the last 550 frames
  wheel(QPoint(400, 150), 1, Qt::ShiftModifier);
  EXPECT_EQ(desktop->main().session().cursorFrame, 25);
  wheel(QPoint(100, 400), -1, Qt::ShiftModifier);  // not over the piano roll
  EXPECT_EQ(desktop->main().session().cursorFrame, 25);
}

TEST_F(PianoRollPaint, TheCurrentNoteSlidersSayWhatTheyHold) {
  setTable({frame(61.25, 90, 30), frame(-1000.0)});
  EXPECT_EQ(sliderWords(control::kOctaveSlider), "C#5");
  EXPECT_EQ(sliderWords(control::kCentsSlider), "25");
  EXPECT_EQ(sliderWords(control::kVolumeSlider), "90");
  EXPECT_EQ(sliderWords(control::kBrightnessSlider), "30");
  desktop->window().controls().sliders.at(control::kOctaveSlider)->setValue(3);
  desktop->window().controls().sliders.at(control::kVolumeSlider)->setValue(100);
  EXPECT_EQ(sliderWords(control::kOctaveSlider), "C#3");
  EXPECT_EQ(sliderWords(control::kVolumeSlider), "100");
  click(control::kCursorRight);
  EXPECT_EQ(sliderWords(control::kOctaveSlider), "no pitch");
  EXPECT_EQ(sliderWords(control::kCentsSlider), "-");
  // Nearer the D, but C# and 75 cents: the words count from the semitone below, as the slider does.
  setTable({frame(61.75, 90, 30)});
  EXPECT_EQ(sliderWords(control::kOctaveSlider), "C#5");
  EXPECT_EQ(sliderWords(control::kCentsSlider), "75");
}

}  // namespace
}  // namespace melovantis::test
