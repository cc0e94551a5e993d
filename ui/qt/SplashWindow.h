#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace melovantis {

// The picture shown while the program starts: centred on the screen, closed
// after three seconds or by the first key or mouse button anywhere in the
// program, which does nothing else.
class SplashWindow : public QWidget {
 public:
  static constexpr int kShownMilliseconds = 3000;

  explicit SplashWindow(const QString& version);
  ~SplashWindow() override;

  // Called once when the splash has closed.
  void setClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

  bool isOpen() const { return open_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void finish();

  QPixmap picture_;
  QTimer timer_;
  bool open_ = true;
  std::function<void()> closed_;
};

}  // namespace melovantis
