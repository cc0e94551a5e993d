#pragma once

#include "ui/qt/OneSliderDialog.h"

namespace melovantis {

// The Pitch Quantize dialog: how far, in percent, every frame moves to its semitone.
class PitchQuantizeDialog : public OneSliderDialog {
 public:
  explicit PitchQuantizeDialog(QWidget* parent);
};

}  // namespace melovantis
