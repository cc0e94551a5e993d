#pragma once

#include <QDialog>

namespace melovantis {

class LabelledSlider;

// The Pitch Quantize dialog: how far, in percent, every frame moves to its semitone.
class PitchQuantizeDialog : public QDialog {
 public:
  explicit PitchQuantizeDialog(QWidget* parent);

  void setValues(int percent);
  int values() const;

  LabelledSlider* amount() const { return amount_; }

 private:
  LabelledSlider* amount_;
};

}  // namespace melovantis
