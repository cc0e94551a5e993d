#include "ui/qt/SplashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>

#include "ui/qt/Pictures.h"

namespace melovantis {

SplashWindow::SplashWindow(const QString& version)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(splashPicture(version)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFixedSize(picture_.size());
  setCursor(Qt::ArrowCursor);
  if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
    move(screen->geometry().center() - rect().center());
  }
  qApp->installEventFilter(this);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &SplashWindow::finish);
  timer_.start(kShownMilliseconds);
}

SplashWindow::~SplashWindow() { qApp->removeEventFilter(this); }

void SplashWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

bool SplashWindow::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (!open_) {
    return false;
  }
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
      finish();
      return true;  // the press only closes the splash
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonRelease:
      return true;  // nor does its release reach a control
    default:
      return false;
  }
}

void SplashWindow::finish() {
  if (!open_) {
    return;
  }
  open_ = false;
  timer_.stop();
  hide();
  if (closed_) {
    closed_();
  }
}

}  // namespace melovantis
