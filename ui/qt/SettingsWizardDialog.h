#pragma once

#include <QCheckBox>
#include <QDialog>

#include "tools/SettingsWizard.h"

namespace melovantis {

// "Settings Wizard": which settings the wizard may find, all four ticked.
class SettingsWizardDialog : public QDialog {
 public:
  explicit SettingsWizardDialog(QWidget* parent);

  void setValues(const WizardChoices& choices);
  WizardChoices values() const;

  QCheckBox* box(int index) const { return boxes_[index]; }

 private:
  QCheckBox* boxes_[4];
};

}  // namespace melovantis
