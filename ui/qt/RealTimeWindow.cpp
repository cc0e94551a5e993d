#include "ui/qt/RealTimeWindow.h"

#include <QLabel>
#include <QPainter>

#include "conversion/LiveDisplay.h"
#include "ui/RealTimeMode.h"
#include "ui/qt/GroupFrame.h"
#include "ui/qt/Pictures.h"

namespace melovantis {

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 340;
constexpr int kDisplayIntervalMs = 15;
constexpr int kDigitPixels = 15;

// Bright and dark colours of the meter's three zones.
const QColor kMeterBright[3] = {QColor(0, 255, 0), QColor(255, 255, 0), QColor(255, 0, 0)};
const QColor kMeterDark[3] = {QColor(0, 96, 0), QColor(128, 128, 0), QColor(128, 0, 0)};

QSlider* framedSlider(QWidget* parent, const char* title, int y, int minimum, int maximum) {
  auto* frame = new GroupFrame(QString::fromUtf8(title), parent);
  frame->setGeometry(10, y, 200, 42);
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(minimum, maximum);
  slider->setGeometry(18, y + 16, 184, 22);
  return slider;
}

QLineEdit* field(QWidget* parent, const char* label, int y) {
  auto* caption = new QLabel(QString::fromUtf8(label), parent);
  caption->setGeometry(220, y, 100, 20);
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  edit->setGeometry(320, y, 90, 22);
  return edit;
}

void fill(QComboBox* box, const std::vector<std::string>& entries) {
  box->clear();
  for (const std::string& entry : entries) {
    box->addItem(QString::fromStdString(entry));
  }
  box->setCurrentIndex(-1);  // no selection at first
}

}  // namespace

RealTimeWindow::RealTimeWindow(RealTimeMode& mode, QWidget* parent)
    : QDialog(parent), mode_(mode), keyboard_(keyboardPicture()) {
  setWindowTitle(QStringLiteral("Real-time"));
  setFixedSize(kWidth, kHeight);

  auto* midiLabel = new QLabel(QStringLiteral("MIDI output:"), this);
  midiLabel->setGeometry(10, 6, 200, 18);
  midiOutput_ = new QComboBox(this);
  midiOutput_->setGeometry(10, 24, 200, 24);
  auto* quickLabel = new QLabel(QStringLiteral("Quick Settings:"), this);
  quickLabel->setGeometry(10, 52, 200, 18);
  quickSettings_ = new QComboBox(this);
  quickSettings_->setGeometry(10, 70, 200, 24);
  auto* custom = new QPushButton(QStringLiteral("Custom Settings"), this);
  custom->setGeometry(10, 100, 98, 28);
  auto* audioIn = new QPushButton(QStringLiteral("Select Audio In"), this);
  audioIn->setGeometry(112, 100, 98, 28);
  for (QPushButton* b : {custom, audioIn}) {
    b->setAutoDefault(false);
  }

  gain_ = framedSlider(this, "Microphone Gain", 136, 100, 500);
  quantize_ = framedSlider(this, "Soft Quantization", 182, 0, 100);
  transpose_ = framedSlider(this, "Transpose (semitones)", 228, -48, 48);
  attack_ = new QCheckBox(QStringLiteral(" Smart Attack Detector"), this);
  attack_->setGeometry(14, 276, 196, 22);
  sensitivity_ = new QSlider(Qt::Horizontal, this);
  sensitivity_->setRange(1, 100);
  sensitivity_->setGeometry(18, 300, 184, 22);

  auto* level = new QLabel(QStringLiteral("Level"), this);
  level->setGeometry(220, 48, 100, 18);
  note_ = field(this, "Note", 216);
  frequency_ = field(this, "Frequency (Hz)", 246);

  fill(midiOutput_, mode_.midiDeviceEntries());
  fill(quickSettings_, mode_.quickSettingsEntries());
  showControls();

  connect(gain_, &QSlider::valueChanged, this, [this](int v) {
    if (!loading_) mode_.setGain(v);
  });
  connect(quantize_, &QSlider::valueChanged, this, [this](int v) {
    if (!loading_) mode_.setQuantize(v);
  });
  connect(transpose_, &QSlider::valueChanged, this, [this](int v) {
    if (!loading_) mode_.setTranspose(v);
  });
  connect(sensitivity_, &QSlider::valueChanged, this, [this](int v) {
    if (!loading_) mode_.setSensitivity(v);
  });
  connect(attack_, &QCheckBox::clicked, this, [this](bool on) {
    mode_.setAttackDetector(on);
    sensitivity_->setEnabled(on);
  });
  connect(midiOutput_, &QComboBox::activated, this, [this](int index) {
    mode_.chooseMidiDevice(index);
    showControls();
  });
  connect(quickSettings_, &QComboBox::activated, this, [this](int index) {
    mode_.chooseQuickSettings(quickSettings_->itemText(index).toStdString());
    showControls();
  });
  connect(custom, &QPushButton::clicked, this, [this] {
    mode_.customSettings();
    showControls();
  });
  connect(audioIn, &QPushButton::clicked, this, [this] { mode_.selectAudioIn(); });

  display_.setInterval(kDisplayIntervalMs);
  connect(&display_, &QTimer::timeout, this, &RealTimeWindow::refresh);
}

void RealTimeWindow::showControls() {
  loading_ = true;
  const LiveControlValues c = mode_.controls();
  gain_->setValue(c.gain);
  quantize_->setValue(c.quantize);
  transpose_->setValue(c.transpose);
  attack_->setChecked(c.attackDetector);
  sensitivity_->setValue(c.sensitivity);
  sensitivity_->setEnabled(c.attackDetector);
  loading_ = false;
}

void RealTimeWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_) {
    return;
  }
  started_ = true;
  // The run starts once the window is on the screen, so a failure's message
  // appears over it and the window stays, idle, for another choice.
  QTimer::singleShot(0, this, [this] {
    mode_.start();
    display_.start();
  });
}

void RealTimeWindow::refresh() {
  mode_.watchInput();
  const LiveDisplay d = mode_.display();
  note_->setText(QString::fromStdString(d.note));
  frequency_->setText(QString::fromStdString(d.frequency));
  update(QRect(LiveDisplay::kMeterX - 2, LiveDisplay::kMeterY - 2, 200, 150));
}

void RealTimeWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const LiveDisplay d = mode_.display();
  for (int i = 0; i < LiveDisplay::kMeterSegments; ++i) {
    const int zone = i < 5 ? 0 : i < 10 ? 1 : 2;
    painter.fillRect(QRect(LiveDisplay::kMeterX + i * LiveDisplay::kSegmentStep, LiveDisplay::kMeterY,
                           LiveDisplay::kSegmentWidth, LiveDisplay::kSegmentHeight),
                     i < d.litSegments ? kMeterBright[zone] : kMeterDark[zone]);
  }
  painter.drawPixmap(LiveDisplay::kKeyboardX, LiveDisplay::kKeyboardY, keyboard_);
  if (!d.dot) {
    return;
  }
  painter.setPen(Qt::black);
  painter.setBrush(QColor(d.red, d.green, d.blue));
  painter.drawEllipse(QRect(d.dotX, d.dotY, 2 * d.radius, 2 * d.radius));
  QFont digit(QStringLiteral("Tahoma"));
  digit.setStyleHint(QFont::SansSerif);
  digit.setPixelSize(kDigitPixels);
  painter.setFont(digit);
  painter.drawText(QRect(d.digitX, d.digitY, 40, kDigitPixels + 4), Qt::AlignLeft | Qt::AlignTop,
                   QString::number(d.octave));
}

void RealTimeWindow::done(int result) {
  display_.stop();
  mode_.close();
  QDialog::done(result);
}

}  // namespace melovantis
