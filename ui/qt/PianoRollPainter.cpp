#include "ui/qt/PianoRollPainter.h"

#include <QFont>
#include <algorithm>

#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "ui/MainWindowState.h"
#include "ui/ViewGeometry.h"

namespace melovantis {

namespace {

const QColor kBackground(64, 64, 64);  // the stock dark-grey brush
const QColor kGrid(128, 128, 128);
const QColor kRangeLine(0, 0, 255);
const QColor kRangeLineDragged(255, 255, 0);
const QColor kHandle(0, 170, 0);
const QColor kCursor(255, 0, 0);
const QColor kAttackTick(255, 255, 0);
const QColor kPitchDot(0, 255, 0);
const QColor kVolumeDot(0, 255, 255);
const QColor kBrightnessDot(255, 128, 255);
const QColor kBrushUp(50, 0, 255);
const QColor kBrushDown(50, 0, 50);

constexpr int kAttackTickHalf = 10;
constexpr int kCursorCircle = 4;
constexpr int kKeyboardX = 16;
constexpr int kKeyboardY = 45;
constexpr int kOctaveDigitX = 23;
constexpr int kOctaveDigitY = 132;
constexpr int kOctaveDigitHeight = 15;

// Rectangles and ellipses are given as left, top, right, bottom with the right
// and bottom edges outside the shape; Qt's outlines include both edges, hence one less.
QRect outlineRect(int left, int top, int right, int bottom) {
  return {left, top, right - left - 1, bottom - top - 1};
}

QPen pen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
  QPen p(colour, 0, style);  // cosmetic: one pixel at any scale
  return p;
}

// A dot of one pixel, and the white circle around it when it is the cursor's frame.
void dot(QPainter& painter, int x, int y, const QColor& colour, bool atCursor) {
  painter.setPen(pen(colour));
  painter.drawPoint(x, y);
  if (atCursor) {
    painter.setPen(pen(Qt::white));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(
        outlineRect(x - kCursorCircle, y - kCursorCircle, x + kCursorCircle, y + kCursorCircle));
  }
}

void rangeLine(QPainter& painter, const ViewGeometry& view, int note, bool dragged,
               const HandleRect& handle) {
  const int y = static_cast<int>(view.yOf(note));
  if (!view.isInside(y)) {
    return;
  }
  painter.setPen(pen(dragged ? kRangeLineDragged : kRangeLine, Qt::DashLine));
  painter.drawLine(view.left(), y, view.left() + view.width(), y);
  painter.setPen(pen(Qt::white));
  painter.setBrush(dragged ? QColor(Qt::white) : kHandle);
  painter.drawRect(outlineRect(handle.left, handle.top, handle.right, handle.bottom));
}

}  // namespace

void paintViewBackground(QPainter& painter, const ViewGeometry& view) {
  painter.setPen(pen(Qt::black));
  painter.setBrush(kBackground);
  painter.drawRoundedRect(outlineRect(view.left() - 4, view.top() - 4,
                                      view.left() + view.width() + 4, view.bottom() + 4),
                          4, 4);
}

void paintAreaBrush(QPainter& painter, const MainWindowState& state) {
  if (!state.areaCorrectorOn || !state.brushVisible) {
    return;
  }
  painter.setPen(pen(state.areaButtonDown ? Qt::white : Qt::black));
  painter.setBrush(state.areaButtonDown ? kBrushDown : kBrushUp);
  const int r = state.areaRadius;
  painter.drawEllipse(outlineRect(state.brushX - r, state.brushY - r, state.brushX + r,
                                  state.brushY + r));
}

void paintGrid(QPainter& painter, const ViewGeometry& view) {
  painter.setPen(pen(kGrid, Qt::DotLine));
  for (const int y : view.gridRows()) {
    painter.drawLine(view.left(), y, view.left() + view.width(), y);
  }
  for (const int x : view.gridColumns()) {
    painter.drawLine(x, view.top(), x, view.bottom());
  }
}

void paintRangeLines(QPainter& painter, const ViewGeometry& view, const MainWindowState& state,
                     const SettingsRecord& settings) {
  rangeLine(painter, view, settings.lowestNote, state.draggingLow, state.lowHandle);
  rangeLine(painter, view, settings.highestNote, state.draggingHigh, state.highHandle);
}

void paintCursor(QPainter& painter, const ViewGeometry& view, const MainWindowState& state) {
  painter.setPen(pen(kCursor));
  painter.drawLine(state.cursorX, view.top(), state.cursorX, view.bottom());
}

void paintFrames(QPainter& painter, const ViewGeometry& view, const MainWindowState& state,
                 const AnalysisEngine& engine) {
  const int shown = std::min(view.width(), engine.frameCount);
  const bool ticks = engine.attackDetectorOn && state.showAttacks;
  for (int i = 0; i < shown; ++i) {
    const int k = view.firstFrame() + i;
    if (k < 0 || k >= engine.frameCount) {
      continue;
    }
    const FrameRecord& frame = engine.frames[static_cast<std::size_t>(k)];
    if (frame.pitch < 0.0) {
      continue;
    }
    const int x = view.left() + i;
    const bool atCursor = x == state.cursorX;
    const int yPitch = view.pitchY(frame.pitch);
    if (ticks && frame.attack != 0 && view.isInside(yPitch)) {
      painter.setPen(pen(kAttackTick));
      painter.drawLine(x, std::min(yPitch + kAttackTickHalf, view.bottom()), x,
                       std::max(yPitch - kAttackTickHalf, view.top()));
    }
    if (state.showPitch && view.isInside(yPitch)) {
      dot(painter, x, yPitch, kPitchDot, atCursor);
    }
    const int yVolume = view.levelY(frame.volume);
    if (state.showVolume && view.isInside(yVolume)) {
      dot(painter, x, yVolume, kVolumeDot, atCursor);
    }
    const int yBrightness = view.levelY(frame.brightness);
    if (state.showBrightness && view.isInside(yBrightness)) {
      dot(painter, x, yBrightness, kBrightnessDot, atCursor);
    }
  }
}

void paintCurrentNotePanel(QPainter& painter, const QPixmap& keyboard, const AnalysisEngine& engine,
                           int cursorFrame) {
  painter.drawPixmap(kKeyboardX, kKeyboardY, keyboard);
  // During a conversion the cursor is on the row just analysed, which the
  // frame count does not include yet; the frames outside the table's storage are never read.
  if (cursorFrame < 0 || cursorFrame > engine.frameCount || engine.frameCount == 0 ||
      static_cast<std::size_t>(cursorFrame) >= engine.frames.size()) {
    return;
  }
  const FrameRecord& frame = engine.frames[static_cast<std::size_t>(cursorFrame)];
  if (frame.pitch < 0.0) {
    return;
  }
  const CurrentNoteDot note = currentNoteDot(frame);
  painter.setPen(pen(Qt::black));
  painter.setBrush(QColor(note.red, note.green, note.blue));
  painter.drawEllipse(outlineRect(note.x, note.y, note.x + 2 * note.radius + 1,
                                  note.y + 2 * note.radius + 1));
  QFont digit(QStringLiteral("Tahoma"));
  digit.setStyleHint(QFont::SansSerif);
  digit.setPixelSize(kOctaveDigitHeight);
  painter.setFont(digit);
  painter.setPen(Qt::black);
  painter.drawText(QRect(kOctaveDigitX, kOctaveDigitY, 40, kOctaveDigitHeight + 4),
                   Qt::AlignLeft | Qt::AlignTop, QString::number(note.octave));
}

}  // namespace melovantis
