#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "documents/SettingsRecord.h"
#include "ui/NoteRangeSelection.h"

namespace melovantis {

class SettingsFileActions;

// "Melovantis Settings": every setting of the record but the attack detector
// (which lives on the main window), in three groups. setValues on opening and
// after Open, values() for OK, "Apply Now!", Save and Save as...; the file
// buttons go to the program's settings management, the dialog writes nothing.
class SettingsDialog : public QDialog {
 public:
  SettingsDialog(SettingsFileActions& files, QWidget* parent);

  void setValues(const SettingsRecord& record);
  SettingsRecord values() const;

  // Closed with "Apply Now!" (rather than OK).
  bool applyNow() const { return applyNow_; }
  // A control that affects the analysis was touched: converting again is needed.
  bool changed() const { return changed_; }

  // The controls, for tests and for the keyboard.
  QSlider* harmonicThreshold() const { return harmonicThreshold_; }
  QSlider* timeResolution() const { return timeResolution_; }
  QSlider* brightnessGain() const { return brightnessGain_; }
  QSlider* pitchBendRange() const { return pitchBendRange_; }
  QCheckBox* pitchResolutionBoost() const { return pitchBoost_; }
  QComboBox* timeResolutionBoost() const { return timeBoost_; }
  QSpinBox* midiChannel() const { return channel_; }
  QComboBox* gmVoice() const { return voice_; }
  QComboBox* bpm() const { return bpm_; }
  QLabel* noteRange() const { return noteRange_; }
  QPushButton* button(const QString& caption) const;

 private:
  void buildEngineGroup(QGridLayout& grid);
  void buildMidiGroup(QGridLayout& grid);
  void buildVoiceGroup(QGridLayout& grid);
  void defineRange();
  void showRange();
  void markChanged();

  SettingsFileActions& files_;
  SettingsRecord record_;  // the fields the dialog does not show come back as they were
  NoteRange range_;
  bool applyNow_ = false;
  bool changed_ = false;
  bool loading_ = false;

  QSlider* harmonicThreshold_ = nullptr;
  QSlider* timeResolution_ = nullptr;
  QCheckBox* pitchBoost_ = nullptr;
  QComboBox* timeBoost_ = nullptr;
  QLabel* noteRange_ = nullptr;
  QCheckBox* sendVolume_ = nullptr;
  QComboBox* volumeController_ = nullptr;
  QCheckBox* sendBrightness_ = nullptr;
  QComboBox* brightnessController_ = nullptr;
  QSlider* brightnessGain_ = nullptr;
  QComboBox* bpm_ = nullptr;
  QCheckBox* sendTempo_ = nullptr;
  QSpinBox* channel_ = nullptr;
  QComboBox* voice_ = nullptr;
  QSlider* pitchBendRange_ = nullptr;
};

}  // namespace melovantis
