#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace melovantis::test {

// Answers the modal dialogs a command opens, in order, from inside their own
// event loops, and records what each showed. A dialog nobody scripted is
// closed after a few seconds and recorded as unexpected, so a test fails
// instead of hanging.
class ModalScript : public QObject {
 public:
  struct Seen {
    std::string kind;  // "message", "open", "save", "dialog" or "unexpected"
    QString caption;
    QString text;                // a message's text
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString folder;              // a file dialog's folder
    QString initialName;         // a save dialog's proposed name
    QStringList filters;
  };

  ModalScript();

  // Presses `button` in the next message box.
  ModalScript& answer(QMessageBox::StandardButton button);
  // Chooses `path` in the next file dialog; an empty path cancels it.
  ModalScript& choose(const std::filesystem::path& path);
  // Hands the next dialog to `work`, which must close it (and may open others,
  // which the following steps answer).
  ModalScript& act(std::function<void(QWidget*)> work);

  bool finished() const { return responders_.empty(); }
  std::vector<Seen> seen;

 private:
  using Responder = std::function<void(QWidget*)>;
  void poll();

  std::deque<Responder> responders_;
  QPointer<QWidget> handled_;
  int unansweredPolls_ = 0;
};

// Runs the event loop until `done` holds or `seconds` pass; true when it held.
bool waitUntil(const std::function<bool()>& done, double seconds = 20.0);

}  // namespace melovantis::test
