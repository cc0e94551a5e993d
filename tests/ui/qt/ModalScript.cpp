#include "ModalScript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace melovantis::test {

namespace {

constexpr int kPollMs = 10;
constexpr int kUnansweredPolls = 500;  // five seconds

ModalScript::Seen message(const char* kind, QWidget* widget) {
  ModalScript::Seen seen;
  seen.kind = kind;
  seen.caption = widget->windowTitle();
  if (auto* box = qobject_cast<QMessageBox*>(widget)) {
    seen.text = box->text();
    seen.icon = box->icon();
  }
  return seen;
}

}  // namespace

ModalScript::ModalScript() { QTimer::singleShot(kPollMs, this, &ModalScript::poll); }

ModalScript& ModalScript::answer(QMessageBox::StandardButton button) {
  responders_.push_back([this, button](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
      seen.push_back(message("unexpected", widget));
      static_cast<QDialog*>(widget)->reject();
      return;
    }
    seen.push_back(message("message", box));
    if (QAbstractButton* b = box->button(button)) {
      b->click();
    } else {
      box->reject();
    }
  });
  return *this;
}

ModalScript& ModalScript::choose(const std::filesystem::path& path) {
  responders_.push_back([this, path](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (dialog == nullptr) {
      seen.push_back(message("unexpected", widget));
      static_cast<QDialog*>(widget)->reject();
      return;
    }
    Seen shown;
    shown.kind = dialog->acceptMode() == QFileDialog::AcceptSave ? "save" : "open";
    shown.caption = dialog->windowTitle();
    shown.folder = dialog->directory().absolutePath();
    if (!dialog->selectedFiles().isEmpty()) {
      shown.initialName = QFileInfo(dialog->selectedFiles().constFirst()).fileName();
    }
    shown.filters = dialog->nameFilters();
    seen.push_back(shown);
    if (path.empty()) {
      dialog->reject();
      return;
    }
    // Typed into the name field, as a user would; selectFile() leaves that field
    // alone while it has the focus.
    const QString typed = QString::fromStdString(path.string());
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setText(typed);
    } else {
      dialog->selectFile(typed);
    }
    static_cast<QDialog*>(dialog)->accept();
  });
  return *this;
}

ModalScript& ModalScript::act(std::function<void(QWidget*)> work) {
  responders_.push_back([this, work](QWidget* widget) {
    seen.push_back(message("dialog", widget));
    work(widget);
  });
  return *this;
}

void ModalScript::poll() {
  // The next look is a timer of its own, so it also fires inside a dialog
  // that an answer below opens (a timer does not fire again inside its own slot).
  QTimer::singleShot(kPollMs, this, &ModalScript::poll);
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == handled_) {
    unansweredPolls_ = 0;
    return;
  }
  if (responders_.empty()) {
    if (++unansweredPolls_ >= kUnansweredPolls) {
      seen.push_back(message("unexpected", modal));
      handled_ = modal;
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      }
    }
    return;
  }
  handled_ = modal;
  Responder respond = std::move(responders_.front());
  responders_.pop_front();
  respond(modal);
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > seconds * 1000) {
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

}  // namespace melovantis::test
