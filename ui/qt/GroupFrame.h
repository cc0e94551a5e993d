#pragma once

#include <QWidget>

namespace melovantis {

// A titled frame around a group of controls: the outline and the caption
// only. What lies inside shows through untouched (the current-note keyboard
// is painted there), and clicks pass through to the window. A value may be
// shown on the right of the top edge.
class GroupFrame : public QWidget {
 public:
  GroupFrame(const QString& title, QWidget* parent);

  QString title() const { return title_; }

  // A second caption at the right end of the top edge: what the control
  // inside holds, in words.
  void setValueText(const QString& text);
  QString valueText() const { return value_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  QString value_;
};

}  // namespace melovantis
