#pragma once

#include <QDialog>

#include "ui/qt/LabelledSlider.h"

namespace melovantis {

// A tool's dialog with one slider in a titled group and OK and Cancel: the
// Auto Correct and Pitch Quantize dialogs. Opened with its fixed initial value.
class OneSliderDialog : public QDialog {
 public:
  OneSliderDialog(const QString& title, const QString& groupTitle, const SliderLayout& layout,
                  int initial, QWidget* parent);

  void setValues(int value);
  int values() const;

  LabelledSlider* amount() const { return amount_; }

 private:
  LabelledSlider* amount_;
};

}  // namespace melovantis
