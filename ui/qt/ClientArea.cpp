#include "ui/qt/ClientArea.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/MainWindow.h"
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

}  // namespace melovantis
