#pragma once

#include <QDialog>

#include "ui/MainWindowView.h"

namespace melovantis {

class LabelledSlider;

// "Pitch & Tempo Modification": transpose by semitones and cents, and the
// speed of the MIDI file.
class PitchTempoDialog : public QDialog {
 public:
  explicit PitchTempoDialog(QWidget* parent);

  void setValues(const PitchTempoChoice& choice);
  PitchTempoChoice values() const;

  LabelledSlider* semitones() const { return semitones_; }
  LabelledSlider* cents() const { return cents_; }
  LabelledSlider* speed() const { return speed_; }

 private:
  LabelledSlider* semitones_;
  LabelledSlider* cents_;
  LabelledSlider* speed_;
};

}  // namespace melovantis
