#include "ui/qt/AutoCorrectDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "tools/AutoCorrect.h"
#include "ui/qt/LabelledSlider.h"

namespace melovantis {

AutoCorrectDialog::AutoCorrectDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Auto Correct"));
  QGroupBox* group =
      toolGroup(QStringLiteral("              Auto Correction Control"), true, this);
  amount_ = new LabelledSlider({nullptr, kAutoCorrectMinHalfWidth, kAutoCorrectMaxHalfWidth, 1,
                                1, 1, "(Less alteration)", "(More alteration)"},
                               group);
  auto* inside = new QVBoxLayout(group);
  inside->addWidget(amount_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addWidget(group);
  column->addWidget(buttons);
  setValues(kAutoCorrectDefaultHalfWidth);
}

void AutoCorrectDialog::setValues(int halfWidth) { amount_->setValue(halfWidth); }

int AutoCorrectDialog::values() const { return amount_->value(); }

}  // namespace melovantis
