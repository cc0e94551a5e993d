#pragma once

#include <QObject>

namespace melovantis {

// While long work keeps the window painted, the user's input is discarded
// rather than queued for later: no command can start in the middle of a
// conversion. A button release may be let through (the area corrector needs
// to see the button come up).
class InputBlocker : public QObject {
 public:
  void setBlocking(bool blocking, bool letButtonReleaseThrough = false);
  bool isBlocking() const { return blocking_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool blocking_ = false;
  bool letRelease_ = false;
};

}  // namespace melovantis
