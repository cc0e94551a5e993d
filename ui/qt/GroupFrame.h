#pragma once

#include <QWidget>

namespace melovantis {

// A titled frame around a group of controls: the outline and the caption
// only. What lies inside shows through untouched (the current-note keyboard
// is painted there), and clicks pass through to the window.
class GroupFrame : public QWidget {
 public:
  GroupFrame(const QString& title, QWidget* parent);

  QString title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
};

}  // namespace melovantis
