#include "ui/qt/PitchQuantizeDialog.h"

#include "tools/PitchQuantize.h"

namespace melovantis {

// The title keeps the program's own spelling.
PitchQuantizeDialog::PitchQuantizeDialog(QWidget* parent)
    : OneSliderDialog(QStringLiteral("PItch Quantize"),
                      QStringLiteral("          Pitch Quantization Control"),
                      {nullptr, kQuantizeMinPercent, kQuantizeMaxPercent, 1, 10, 10,
                       "( 0% -- No Quantization)", "(100 % -- Full Quantization)"},
                      kQuantizeDefaultPercent, parent) {}

}  // namespace melovantis
