#include "ui/qt/QtNotifier.h"

#include <QMessageBox>
#include <cstdlib>

namespace melovantis {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

void QtNotifier::message(std::string_view body, std::string_view caption, MessageIcon icon) {
  QMessageBox box(boxIcon(icon), text(caption), text(body), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtNotifier::askYesNo(std::string_view body, std::string_view caption, MessageIcon icon) {
  QMessageBox box(boxIcon(icon), text(caption), text(body), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  return box.exec() == QMessageBox::Yes;
}

void QtNotifier::fatal(std::string_view body) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text(body), QMessageBox::Ok,
                  parent_);
  box.exec();
  std::exit(1);
}

}  // namespace melovantis
