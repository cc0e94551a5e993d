#include "ui/qt/SettingsWizardDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/qt/LabelledSlider.h"
#include "ui/qt/Pictures.h"

namespace melovantis {

SettingsWizardDialog::SettingsWizardDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Settings Wizard"));
  auto* group = new QGroupBox(QStringLiteral("Settings Wizard"), this);
  auto* inside = new QVBoxLayout(group);
  inside->addWidget(new QLabel(QStringLiteral("Let Wizard find for me the following settings:"), group));
  const char* captions[4] = {"Instrument's Range", "Harmonic Threshold", "Optimal Time Resolution",
                             "Brightness Gain"};
  for (int i = 0; i < 4; ++i) {
    boxes_[i] = new QCheckBox(QString::fromUtf8(captions[i]), group);
    inside->addWidget(boxes_[i]);
  }
  auto* picture = new QLabel(this);
  picture->setPixmap(wizardIconPixmap(96));
  auto* row = new QHBoxLayout;
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addWidget(group, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(row);
  column->addWidget(okCancelButtons(this));
  setValues(WizardChoices{});
}

void SettingsWizardDialog::setValues(const WizardChoices& choices) {
  boxes_[0]->setChecked(choices.noteRange);
  boxes_[1]->setChecked(choices.harmonicThreshold);
  boxes_[2]->setChecked(choices.timeResolution);
  boxes_[3]->setChecked(choices.brightnessGain);
}

WizardChoices SettingsWizardDialog::values() const {
  return {boxes_[0]->isChecked(), boxes_[1]->isChecked(), boxes_[2]->isChecked(),
          boxes_[3]->isChecked()};
}

}  // namespace melovantis
