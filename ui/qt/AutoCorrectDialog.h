#pragma once

#include "ui/qt/OneSliderDialog.h"

namespace melovantis {

// "Auto Correct": the amount of alteration, the half-width of the correction's window.
class AutoCorrectDialog : public OneSliderDialog {
 public:
  explicit AutoCorrectDialog(QWidget* parent);
};

}  // namespace melovantis
