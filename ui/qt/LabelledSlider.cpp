#include "ui/qt/LabelledSlider.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "ui/qt/Pictures.h"

namespace melovantis {

LabelledSlider::LabelledSlider(const SliderLayout& layout, QWidget* parent)
    : QWidget(parent), slider_(new QSlider(Qt::Horizontal, this)) {
  slider_->setRange(layout.minimum, layout.maximum);
  slider_->setSingleStep(layout.smallStep);
  slider_->setPageStep(layout.largeStep);
  slider_->setTickInterval(layout.tickInterval);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setMinimumWidth(260);
  auto* value = new QLabel(this);
  value->setMinimumWidth(36);
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto show = [value](int v) { value->setText(QString::number(v)); };
  connect(slider_, &QSlider::valueChanged, value, show);
  show(slider_->value());

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  int row = 0;
  if (layout.caption != nullptr) {
    grid->addWidget(new QLabel(QString::fromUtf8(layout.caption), this), row++, 0, 1, 3);
  }
  grid->addWidget(slider_, row, 0, 1, 2);
  grid->addWidget(value, row++, 2);
  grid->addWidget(new QLabel(QString::fromUtf8(layout.leftEnd), this), row, 0, Qt::AlignLeft);
  grid->addWidget(new QLabel(QString::fromUtf8(layout.rightEnd), this), row, 1, Qt::AlignRight);
}

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QGroupBox* toolGroup(const QString& title, bool withIcon, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  if (withIcon) {
    auto* icon = new QLabel(group);
    icon->setPixmap(appIconPixmap(16));
    icon->move(10, 0);
  }
  return group;
}

}  // namespace melovantis
