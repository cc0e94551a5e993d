#pragma once

#include <QPixmap>
#include <QWidget>

namespace melovantis {

class MainWindow;
class MainWindowInput;

// The main window's client area below the menu bar. The piano roll and the
// current-note panel have no control of their own: they are painted here,
// from the main window's state, and the left button's presses, moves and
// releases over the area go to the window in client pixels.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget* parent);

  void setModel(const MainWindow* model) { model_ = model; }
  void setInput(MainWindowInput* input) { input_ = input; }

  // The part of the area the current-note panel covers.
  static QRect panelRect();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  const MainWindow* model_ = nullptr;
  MainWindowInput* input_ = nullptr;
  QPixmap keyboard_;
  int pendingWheel_ = 0;  // eighths of a degree not yet a whole notch (fine-grained wheels)
};

}  // namespace melovantis
