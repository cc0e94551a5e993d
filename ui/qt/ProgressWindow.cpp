#include "ui/qt/ProgressWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/qt/DialogUnits.h"
#include "ui/qt/Pictures.h"

namespace melovantis {

QString ProgressWindow::textFor(ProgressKind kind) {
  return kind == ProgressKind::Conversion
             ? QStringLiteral("Converting your audio file to MIDI.")
             : QStringLiteral("Settings Wizard is examining your wave file...");
}

ProgressWindow::ProgressWindow(ProgressKind kind, QWidget* over)
    : QWidget(over, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  const QRect size = unitRect(0, 0, 258, 29);
  setFixedSize(size.size());

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setLineWidth(2);
  frame->setGeometry(rect());
  auto* icon = new QLabel(frame);
  icon->setPixmap(kind == ProgressKind::Conversion ? appIconPixmap(32) : wizardIconPixmap(32));
  auto* text = new QLabel(textFor(kind), frame);
  auto* row = new QHBoxLayout(frame);
  row->setContentsMargins(14, 6, 14, 6);
  row->setSpacing(14);
  row->addWidget(icon);
  row->addWidget(text, 1);

  if (over != nullptr) {
    const QRect area = over->window()->geometry();
    move(area.center() - rect().center());
  }
}

}  // namespace melovantis
