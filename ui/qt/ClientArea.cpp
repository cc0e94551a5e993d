#include "ui/qt/ClientArea.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/MainWindow.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/Pictures.h"

namespace melovantis {

namespace {

constexpr int kKeyboardX = 16;
constexpr int kKeyboardY = 45;

}  // namespace

ClientArea::ClientArea(QWidget* parent) : QWidget(parent), keyboard_(keyboardPicture()) {
  setFixedSize(kClientWidth, kClientHeight);
  setMouseTracking(true);  // the area corrector's brush follows the pointer without a button
}

QRect ClientArea::panelRect() {
  return {kKeyboardX, kKeyboardY, 163, 107};
}

QRect ClientArea::viewRect() const {
  if (model_ == nullptr) {
    return {};
  }
  const MainWindowState& s = model_->state();
  return QRect(s.viewLeft - 4, s.viewTop - 4, s.viewWidth + 9, s.viewHeight + 9);
}

void ClientArea::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(kKeyboardX, kKeyboardY, keyboard_);
  if (model_ == nullptr || !model_->session().drawingEnabled) {
    return;
  }
  const MainWindowState& s = model_->state();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::darkGray);
  painter.drawRoundedRect(QRect(s.viewLeft - 4, s.viewTop - 4, s.viewWidth + 8, s.viewHeight + 8),
                          4, 4);
  painter.setPen(QColor(255, 0, 0));
  painter.drawLine(s.cursorX, s.viewTop, s.cursorX, s.viewBottom);
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
