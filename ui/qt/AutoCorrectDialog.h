#pragma once

#include <QDialog>

namespace melovantis {

class LabelledSlider;

// "Auto Correct": the amount of alteration, the half-width of the correction's window.
class AutoCorrectDialog : public QDialog {
 public:
  explicit AutoCorrectDialog(QWidget* parent);

  void setValues(int halfWidth);
  int values() const;

  LabelledSlider* amount() const { return amount_; }

 private:
  LabelledSlider* amount_;
};

}  // namespace melovantis
