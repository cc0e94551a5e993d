#include "ui/qt/InputBlocker.h"

#include <QEvent>

namespace melovantis {

void InputBlocker::setBlocking(bool blocking, bool letButtonReleaseThrough) {
  blocking_ = blocking;
  letRelease_ = letButtonReleaseThrough;
}

bool InputBlocker::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (!blocking_) {
    return false;
  }
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
      return !letRelease_;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace melovantis
