#include "ui/qt/ClientArea.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "ui/MainWindow.h"
#include "ui/MainWindowInput.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/PianoRollPainter.h"
#include "ui/qt/Pictures.h"

namespace melovantis {

ClientArea::ClientArea(QWidget* parent) : QWidget(parent), keyboard_(keyboardPicture()) {
  setFixedSize(kClientWidth, kClientHeight);
  setMouseTracking(true);  // the area corrector's brush follows the pointer without a button
}

QRect ClientArea::panelRect() { return {16, 45, 163, 107}; }

void ClientArea::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // While the real-time window has the engine, its table is not the user's to see.
  if (model_ == nullptr || model_->engineLive()) {
    painter.drawPixmap(panelRect().topLeft(), keyboard_);
    return;
  }
  const AnalysisEngine& engine = model_->engine();
  paintCurrentNotePanel(painter, keyboard_, engine, model_->session().cursorFrame);
  const ViewGeometry view = model_->viewGeometry();
  const MainWindowState& state = model_->state();
  paintViewBackground(painter, view);
  paintAreaBrush(painter, state);
  paintGrid(painter, view);
  paintRangeLines(painter, view, state, model_->settings());
  paintCursor(painter, view, state);
  paintFrames(painter, view, state, engine);
}

void ClientArea::mousePressEvent(QMouseEvent* event) {
  if (input_ != nullptr && event->button() == Qt::LeftButton) {
    input_->mousePressed(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void ClientArea::mouseMoveEvent(QMouseEvent* event) {
  if (input_ != nullptr) {
    input_->mouseMoved(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void ClientArea::mouseReleaseEvent(QMouseEvent* event) {
  if (input_ != nullptr && event->button() == Qt::LeftButton) {
    input_->mouseReleased();
  }
}

void ClientArea::wheelEvent(QWheelEvent* event) {
  if (input_ == nullptr) {
    event->ignore();
    return;
  }
  // Ctrl zooms, Shift or a sideways wheel scrolls through the frames, a plain
  // wheel through the notes.
  const QPoint delta = event->angleDelta();
  const bool sideways = delta.y() == 0 && delta.x() != 0;
  const int amount = sideways ? delta.x() : delta.y();
  WheelAction action = WheelAction::Notes;
  if (event->modifiers().testFlag(Qt::ControlModifier)) {
    action = WheelAction::Zoom;
  } else if (sideways || event->modifiers().testFlag(Qt::ShiftModifier)) {
    action = WheelAction::Frames;
  }
  constexpr int kNotch = 120;
  pendingWheel_ += amount;
  const int notches = pendingWheel_ / kNotch;
  pendingWheel_ -= notches * kNotch;
  const QPoint at = event->position().toPoint();
  if (notches != 0) {
    input_->wheelTurned(at.x(), at.y(), notches, action);
  }
  event->accept();
}

}  // namespace melovantis
