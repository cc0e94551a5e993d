#include "ui/qt/PitchQuantizeDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "tools/PitchQuantize.h"
#include "ui/qt/LabelledSlider.h"

namespace melovantis {

PitchQuantizeDialog::PitchQuantizeDialog(QWidget* parent) : QDialog(parent) {
  // The title keeps the program's own spelling.
  setWindowTitle(QStringLiteral("PItch Quantize"));
  QGroupBox* group =
      toolGroup(QStringLiteral("          Pitch Quantization Control"), true, this);
  amount_ = new LabelledSlider({nullptr, kQuantizeMinPercent, kQuantizeMaxPercent, 1, 10, 10,
                                "( 0% -- No Quantization)", "(100 % -- Full Quantization)"},
                               group);
  auto* inside = new QVBoxLayout(group);
  inside->addWidget(amount_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addWidget(group);
  column->addWidget(buttons);
  setValues(kQuantizeDefaultPercent);
}

void PitchQuantizeDialog::setValues(int percent) { amount_->setValue(percent); }

int PitchQuantizeDialog::values() const { return amount_->value(); }

}  // namespace melovantis
