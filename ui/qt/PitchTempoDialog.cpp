#include "ui/qt/PitchTempoDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "tools/PitchTempo.h"
#include "ui/qt/LabelledSlider.h"

namespace melovantis {

PitchTempoDialog::PitchTempoDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Pitch & Tempo Modification"));
  QGroupBox* transpose = toolGroup(QStringLiteral("Transpose Melody"), false, this);
  semitones_ = new LabelledSlider({"Semitones:", kMinTransposeSemitones, kMaxTransposeSemitones,
                                   1, 1, 1, "-12", "+12"},
                                  transpose);
  cents_ = new LabelledSlider({"Cents (1/100 of a semitone):", kMinTransposeCents,
                               kMaxTransposeCents, 1, 1, 10, "-100", "+100"},
                              transpose);
  auto* transposeColumn = new QVBoxLayout(transpose);
  transposeColumn->addWidget(semitones_);
  transposeColumn->addWidget(cents_);
  QGroupBox* tempo = toolGroup(QStringLiteral("Tempo"), false, this);
  speed_ = new LabelledSlider(
      {"Speed:", kMinSpeedPercent, kMaxSpeedPercent, 5, 30, 10, "50%", "200%"}, tempo);
  auto* tempoColumn = new QVBoxLayout(tempo);
  tempoColumn->addWidget(speed_);

  auto* column = new QVBoxLayout(this);
  column->addWidget(transpose);
  column->addWidget(tempo);
  column->addWidget(okCancelButtons(this));
  setValues(PitchTempoChoice{});
}

void PitchTempoDialog::setValues(const PitchTempoChoice& choice) {
  semitones_->setValue(choice.semitones);
  cents_->setValue(choice.cents);
  speed_->setValue(choice.speedPercent);
}

PitchTempoChoice PitchTempoDialog::values() const {
  return {semitones_->value(), cents_->value(), speed_->value()};
}

}  // namespace melovantis
