#include "ui/qt/AutoCorrectDialog.h"

#include "tools/AutoCorrect.h"

namespace melovantis {

AutoCorrectDialog::AutoCorrectDialog(QWidget* parent)
    : OneSliderDialog(QStringLiteral("Auto Correct"),
                      QStringLiteral("              Auto Correction Control"),
                      {nullptr, kAutoCorrectMinHalfWidth, kAutoCorrectMaxHalfWidth, 1, 1, 1,
                       "(Less alteration)", "(More alteration)"},
                      kAutoCorrectDefaultHalfWidth, parent) {}

}  // namespace melovantis
