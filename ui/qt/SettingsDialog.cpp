#include "ui/qt/SettingsDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/MainWindowView.h"
#include "ui/SettingsLists.h"
#include "ui/qt/LabelledSlider.h"
#include "ui/qt/MainWindowControls.h"
#include "ui/qt/NoteRangeSelector.h"

namespace melovantis {

namespace {

constexpr int kTipShownMs = 20000;

void tip(QWidget* widget, const char* text) {
  widget->setToolTip(wrappedTooltip(QString::fromUtf8(text), widget->font()));
  widget->setToolTipDuration(kTipShownMs);
}

QComboBox* list(QWidget* parent, const std::vector<std::string>& entries) {
  auto* box = new QComboBox(parent);
  for (const std::string& entry : entries) {
    box->addItem(QString::fromStdString(entry));
  }
  box->setMaxVisibleItems(20);
  return box;
}

// A slider with its value beside it, so the user sees the number it stands for.
QSlider* slider(QWidget* parent, QGridLayout& grid, int row, int minimum, int maximum,
                const QString& unit) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setRange(minimum, maximum);
  auto* value = new QLabel(parent);
  value->setMinimumWidth(48);
  auto show = [value, unit](int v) { value->setText(QString::number(v) + unit); };
  QObject::connect(s, &QSlider::valueChanged, value, show);
  show(s->value());
  grid.addWidget(s, row, 0, 1, 3);
  grid.addWidget(value, row, 3);
  return s;
}

void endLabels(QWidget* parent, QGridLayout& grid, int row, const char* left, const char* right) {
  grid.addWidget(new QLabel(QString::fromUtf8(left), parent), row, 0, 1, 2, Qt::AlignLeft);
  grid.addWidget(new QLabel(QString::fromUtf8(right), parent), row, 2, 1, 2, Qt::AlignRight);
}

void select(QComboBox* box, int index) {
  box->setCurrentIndex(std::clamp(index, 0, box->count() - 1));
}

}  // namespace

SettingsDialog::SettingsDialog(SettingsFileActions& files, QWidget* parent)
    : QDialog(parent), files_(files) {
  setWindowTitle(QStringLiteral("Melovantis Settings"));

  auto* top = new QHBoxLayout;
  for (const char* caption : {"Open", "Save", "Save as..."}) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setAutoDefault(false);
    top->addWidget(b);
  }
  top->addStretch(1);

  QGroupBox* engine =
      toolGroup(QStringLiteral("          Melovantis\u00ae - Engine Control"), true, this);
  auto* engineGrid = new QGridLayout(engine);
  buildEngineGroup(*engineGrid);
  auto* midi = new QGroupBox(QStringLiteral("MIDI Events Control"), this);
  auto* midiGrid = new QGridLayout(midi);
  buildMidiGroup(*midiGrid);
  auto* voice = new QGroupBox(QStringLiteral("MIDI Synthesizer Voice Parameters"), this);
  auto* voiceGrid = new QGridLayout(voice);
  buildVoiceGroup(*voiceGrid);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  for (const char* caption : {"Apply Now!", "OK", "Cancel"}) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setAutoDefault(false);
    bottom->addWidget(b);
  }
  tip(button(QStringLiteral("Apply Now!")),
      "Apply changes immediately (if needed, it will process the wave file again)");
  tip(button(QStringLiteral("OK")), "Do not apply changes until \"Start!\" is pressed.");
  button(QStringLiteral("OK"))->setDefault(true);

  auto* column = new QVBoxLayout(this);
  column->addLayout(top);
  column->addWidget(engine);
  column->addWidget(midi);
  column->addWidget(voice);
  column->addLayout(bottom);

  connect(button(QStringLiteral("Open")), &QPushButton::clicked, this, [this] {
    if (const auto opened = files_.openSettings()) {
      setValues(*opened);
    }
  });
  connect(button(QStringLiteral("Save")), &QPushButton::clicked, this,
          [this] { files_.saveSettings(values()); });
  connect(button(QStringLiteral("Save as...")), &QPushButton::clicked, this,
          [this] { files_.saveSettingsAs(values()); });
  connect(button(QStringLiteral("OK")), &QPushButton::clicked, this, &QDialog::accept);
  connect(button(QStringLiteral("Apply Now!")), &QPushButton::clicked, this, [this] {
    applyNow_ = true;
    accept();
  });
  connect(button(QStringLiteral("Cancel")), &QPushButton::clicked, this, &QDialog::reject);

  // The controls that change the analysis itself.
  for (QSlider* s : {harmonicThreshold_, timeResolution_, brightnessGain_}) {
    connect(s, &QSlider::valueChanged, this, &SettingsDialog::markChanged);
  }
  connect(pitchBoost_, &QCheckBox::toggled, this, &SettingsDialog::markChanged);
  connect(timeBoost_, &QComboBox::currentIndexChanged, this, &SettingsDialog::markChanged);
}

void SettingsDialog::buildEngineGroup(QGridLayout& grid) {
  QWidget* group = grid.parentWidget();
  grid.addWidget(new QLabel(QStringLiteral("Harmonic Threshold:"), group), 0, 0, 1, 4);
  harmonicThreshold_ = slider(group, grid, 1, 0, 150, QString());
  endLabels(group, grid, 2, "(Recognize everything)", "(Recognize only harmonic sounds)");
  tip(harmonicThreshold_,
      "Use this to eliminate noisy sounds. Start with the slider positioned at left (zero). "
      "Progressively, move the slider to the right until most of \"noise\" is eliminated.");
  grid.addWidget(new QLabel(QStringLiteral("Time Resolution (ms):"), group), 3, 0, 1, 4);
  timeResolution_ = slider(group, grid, 4, 20, 90, QStringLiteral(" ms"));
  endLabels(group, grid, 5, "20ms (Hi-Res: for high-pitched sounds)",
            "90ms (Lo-Res: for low-pitched sounds)");
  tip(timeResolution_,
      "Small values, will result more events/second to be send to your synthesizer. However low "
      "pitched sounds (i.e. bass) require lower resolution.");

  pitchBoost_ = new QCheckBox(QStringLiteral("Increase pitch resolution:"), group);
  pitchBoost_->setLayoutDirection(Qt::RightToLeft);  // the box after its words
  tip(pitchBoost_,
      "Enabling this will enhance frequency resolution. But, it will slow down the recognition "
      "process.");
  grid.addWidget(pitchBoost_, 6, 0, 1, 2, Qt::AlignLeft);
  auto* boostRow = new QHBoxLayout;
  boostRow->addWidget(new QLabel(QStringLiteral("Increase time resolution:"), group));
  timeBoost_ = list(group, timeResolutionBoostEntries());
  tip(timeBoost_,
      "Enabling this will double your time resolution. But, it will slow down the recognition "
      "process. NOT EFFECTIVE IN REAL-TIME MODE");
  boostRow->addWidget(timeBoost_);
  grid.addLayout(boostRow, 6, 2, 1, 2, Qt::AlignRight);

  grid.addWidget(new QLabel(QStringLiteral("Note  Range:\n(As narrow as possible)"), group), 7, 0);
  noteRange_ = new QLabel(group);
  noteRange_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  noteRange_->setMinimumWidth(140);
  grid.addWidget(noteRange_, 7, 1, 1, 2);
  auto* define = new QPushButton(QStringLiteral("Define..."), group);
  define->setAutoDefault(false);
  tip(define,
      "Define the note range of your instrument or voice. It is very important to narrow this "
      "range as much as possible.");
  connect(define, &QPushButton::clicked, this, &SettingsDialog::defineRange);
  grid.addWidget(define, 7, 3);
}

void SettingsDialog::buildMidiGroup(QGridLayout& grid) {
  QWidget* group = grid.parentWidget();
  sendVolume_ = new QCheckBox(QStringLiteral("Send Volume to"), group);
  volumeController_ = list(group, controllerEntries());
  grid.addWidget(sendVolume_, 0, 0);
  grid.addWidget(volumeController_, 0, 1, 1, 3);
  sendBrightness_ = new QCheckBox(QStringLiteral("Send Brightness to"), group);
  brightnessController_ = list(group, controllerEntries());
  tip(brightnessController_,
      "Select the controller that Melovantis will send the brightness events (usually #74). "
      "Creative users can send brightness information to control any parameter of the "
      "synthesizer (e.g. the output level of an FM operator)");
  grid.addWidget(sendBrightness_, 1, 0);
  grid.addWidget(brightnessController_, 1, 1, 1, 3);
  grid.addWidget(new QLabel(QStringLiteral("Brightness Gain:"), group), 2, 0, 1, 4);
  brightnessGain_ = slider(group, grid, 3, 1, 50, QString());
  tip(brightnessGain_,
      "Use this slider to amplify brightness events send to your synthesizer. Try to exploit the "
      "full dynamic range avoiding clipping.");
  auto* tempoRow = new QHBoxLayout;
  tempoRow->addWidget(new QLabel(QStringLiteral("Wave file BPM is:"), group));
  bpm_ = list(group, bpmEntries());
  tip(bpm_,
      "This value must match exactly the BPM of your original recording (.wav file), especially "
      "if you plan to mix this track with other MIDI tracks.");
  tempoRow->addWidget(bpm_);
  tempoRow->addStretch(1);
  sendTempo_ = new QCheckBox(QStringLiteral("Send Tempo Information"), group);
  tip(sendTempo_,
      "Enabling this will force Melovantis to include BPM information inside your MIDI file. If "
      "you do not enable it, your sequencer will select a default value (typically 120 BPM) and "
      "your sequence may be played slower or faster than the original. This has no effect if "
      "[ SMPTE ] timecode is selected.");
  tempoRow->addWidget(sendTempo_);
  grid.addLayout(tempoRow, 4, 0, 1, 4);
}

void SettingsDialog::buildVoiceGroup(QGridLayout& grid) {
  QWidget* group = grid.parentWidget();
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Send to MIDI channel:"), group));
  channel_ = new QSpinBox(group);
  channel_->setRange(1, 16);
  row->addWidget(channel_);
  row->addSpacing(16);
  row->addWidget(new QLabel(QStringLiteral("GM Voice:"), group));
  voice_ = list(group, gmVoiceEntries());
  tip(voice_,
      "Select your voice for MIDI output. Select [ None ] if you want to manually select a voice "
      "on your synthesizer.");
  row->addWidget(voice_, 1);
  grid.addLayout(row, 0, 0, 1, 4);
  grid.addWidget(new QLabel(QStringLiteral("Pitch bend range (+/- semitones):"), group), 1, 0, 1,
                 4);
  pitchBendRange_ = slider(group, grid, 2, 1, 12, QString());
  tip(pitchBendRange_,
      "FOR NON-XG COMPATIBLE SYNTHESIZERS ONLY: This value must exactly match the range (in "
      "semitones) of the pitch bend controller of your synthesizer.");
}

QPushButton* SettingsDialog::button(const QString& caption) const {
  for (QPushButton* b : findChildren<QPushButton*>()) {
    if (b->text() == caption) {
      return b;
    }
  }
  return nullptr;
}

void SettingsDialog::markChanged() {
  if (!loading_) {
    changed_ = true;
  }
}

void SettingsDialog::setValues(const SettingsRecord& record) {
  loading_ = true;
  record_ = record;
  harmonicThreshold_->setValue(record.harmonicThreshold);
  timeResolution_->setValue(record.timeResolutionMs);
  pitchBoost_->setChecked(record.pitchResolutionBoost != 0);
  select(timeBoost_, record.timeResolutionBoost);
  range_ = {record.lowestNote, record.highestNote, record.lowestNoteMarkX, record.highestNoteMarkX};
  showRange();
  sendVolume_->setChecked(record.sendVolume != 0);
  select(volumeController_, record.volumeController);
  sendBrightness_->setChecked(record.sendBrightness != 0);
  select(brightnessController_, record.brightnessController);
  brightnessGain_->setValue(record.brightnessGain);
  select(bpm_, record.bpmChoice);
  sendTempo_->setChecked(record.sendTempo != 0);
  channel_->setValue(record.midiChannel);
  select(voice_, record.gmVoice);
  pitchBendRange_->setValue(record.pitchBendRange);
  loading_ = false;
}

SettingsRecord SettingsDialog::values() const {
  SettingsRecord record = record_;
  record.harmonicThreshold = harmonicThreshold_->value();
  record.timeResolutionMs = timeResolution_->value();
  record.pitchResolutionBoost = pitchBoost_->isChecked() ? 1 : 0;
  record.timeResolutionBoost = timeBoost_->currentIndex();
  record.lowestNote = range_.lowestNote;
  record.highestNote = range_.highestNote;
  record.lowestNoteMarkX = range_.lowestNoteMarkX;
  record.highestNoteMarkX = range_.highestNoteMarkX;
  record.sendVolume = sendVolume_->isChecked() ? 1 : 0;
  record.volumeController = volumeController_->currentIndex();
  record.sendBrightness = sendBrightness_->isChecked() ? 1 : 0;
  record.brightnessController = brightnessController_->currentIndex();
  record.brightnessGain = brightnessGain_->value();
  record.bpmChoice = bpm_->currentIndex();
  record.sendTempo = sendTempo_->isChecked() ? 1 : 0;
  record.midiChannel = channel_->value();
  record.gmVoice = voice_->currentIndex();
  record.pitchBendRange = pitchBendRange_->value();
  return record;
}

void SettingsDialog::showRange() {
  QString text = QString::fromStdString(noteRangeText(range_.lowestNote, range_.highestNote));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  noteRange_->setText(text);
}

void SettingsDialog::defineRange() {
  NoteRangeSelector selector(this);
  selector.setValues(range_);
  // Cancel keeps the range the dialog had before.
  if (selector.exec() == QDialog::Accepted) {
    range_ = selector.values();
    changed_ = true;
    showRange();
  }
}

}  // namespace melovantis
