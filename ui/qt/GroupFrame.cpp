#include "ui/qt/GroupFrame.h"

#include <QPainter>

namespace melovantis {

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void GroupFrame::setValueText(const QString& text) {
  if (text != value_) {
    value_ = text;
    update();
  }
}

void GroupFrame::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int lineY = metrics.height() / 2;
  const QRect outline = rect().adjusted(0, lineY, -1, -1);
  // An etched line: a dark edge with a light one inside it.
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(outline);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(outline.adjusted(1, 1, -1, -1));
  if (!title_.isEmpty()) {
    const QRect caption(6, 0, metrics.horizontalAdvance(title_) + 4, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title_);
  }
  if (!value_.isEmpty()) {
    const int width = metrics.horizontalAdvance(value_) + 4;
    const QRect caption(rect().width() - 6 - width, 0, width, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, value_);
  }
}

}  // namespace melovantis
