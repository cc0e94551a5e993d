#pragma once

#include <QPushButton>

namespace melovantis {

// A push button whose caption wraps onto a second line when it is wider than
// the button, as the window's narrow, tall buttons need ("Real-time Start!").
// The caption itself stays as given.
class WrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace melovantis
