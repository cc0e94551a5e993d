#include "ui/qt/OneSliderDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace melovantis {

OneSliderDialog::OneSliderDialog(const QString& title, const QString& groupTitle,
                                 const SliderLayout& layout, int initial, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  QGroupBox* group = toolGroup(groupTitle, true, this);
  amount_ = new LabelledSlider(layout, group);
  auto* inside = new QVBoxLayout(group);
  inside->addWidget(amount_);
  auto* column = new QVBoxLayout(this);
  column->addWidget(group);
  column->addWidget(okCancelButtons(this));
  setValues(initial);
}

void OneSliderDialog::setValues(int value) { amount_->setValue(value); }

int OneSliderDialog::values() const { return amount_->value(); }

}  // namespace melovantis
