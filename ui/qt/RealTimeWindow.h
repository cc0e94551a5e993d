#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace melovantis {

class RealTimeMode;

// The "Real-time" window: the live controls, the MIDI output and Quick
// Settings lists, Custom Settings and Select Audio In, and the display of
// what is being sung or played: a level meter, the one-octave keyboard with
// its dot and octave digit, and the note and frequency. The live run starts
// once the window has been shown and stops when it closes.
class RealTimeWindow : public QDialog {
 public:
  RealTimeWindow(RealTimeMode& mode, QWidget* parent);

  QSlider* gain() const { return gain_; }
  QSlider* quantize() const { return quantize_; }
  QSlider* transpose() const { return transpose_; }
  QCheckBox* attackDetector() const { return attack_; }
  QSlider* sensitivity() const { return sensitivity_; }
  QComboBox* midiOutput() const { return midiOutput_; }
  QComboBox* quickSettings() const { return quickSettings_; }
  QLineEdit* note() const { return note_; }
  QLineEdit* frequency() const { return frequency_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void done(int result) override;

 private:
  void showControls();
  void refresh();

  RealTimeMode& mode_;
  QPixmap keyboard_;
  QTimer display_;
  bool started_ = false;
  bool loading_ = false;
  QSlider* gain_;
  QSlider* quantize_;
  QSlider* transpose_;
  QCheckBox* attack_;
  QSlider* sensitivity_;
  QComboBox* midiOutput_;
  QComboBox* quickSettings_;
  QLineEdit* note_;
  QLineEdit* frequency_;
};

}  // namespace melovantis
