#include "ui/qt/MainWindowControls.h"

#include <QFontMetrics>
#include <QLabel>

#include "ui/CommandIds.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/GroupFrame.h"
#include "ui/qt/Pictures.h"
#include "ui/qt/PlayerWidget.h"
#include "ui/qt/WrappingButton.h"

namespace melovantis {

namespace {

constexpr int kTooltipWidth = 200;     // pixels, then the text wraps
constexpr int kTooltipShownMs = 20000;

struct Tip {
  int id;
  const char* text;
};

// The texts keep the program's own wording and spelling.
constexpr Tip kTips[] = {
    {control::kZoomIn, "Zoom In"},
    {control::kZoomOut, "Zoom Out"},
    {control::kRealTimeStart, "Start in REAL-TIME mode!"},
    {control::kErase,
     "Erase the note at the cursor.Pressing \"Delete\" on you keyboard, will have the same "
     "effect, but it will also advance the cursor to the right."},
    {control::kRepeatPrevious,
     "Copy the previous note over the current one. Pressing \"Insert\" on you keyboard, will "
     "have the same effect, but it will also advance the cursor to the right"},
    {control::kUndo, "Undo your last action"},
    {control::kPitchTempo, "Precisely transpose and/or change the tempo of the whole melody"},
    {control::kMidiOut, "Select the output MIDI device (e.g. Internal Soundcard or MIDI out port.)"},
    {control::kSaveMidi, "Save the converted wave, as a standard MIDI file."},
    {control::kSettingsWizard,
     "Let Settings Wizard scan your audio file and try to find the optimal settings for you."},
    {control::kPlayerType,
     "Preview your MIDI or WAVE file by selecting the appropriate type here."},
    {control::kStart, "Start the WAVE-to-MIDI conversion here!"},
    {control::kSettings,
     "Make the recognition more accurate by changing important engine settings. Also take "
     "control of various MIDI events (e.g. channel, output voice)."},
    {control::kAutoCorrect,
     "This will correct most of the errors that may happen during the recognition process."},
    {control::kInTune, "Transpose the whole sequence, so that it is center-tuned."},
    {control::kPitchQuantize, "Quantize the whole sequence into the nearest semitone value."},
    {control::kAreaCorrect,
     "Drag the mouse pointer approximately over the area where the correct pitch should exist. "
     "You will immediately see the corrected results on the screen!"},
    {control::kAttackSensitivity,
     "Select the sensitivity of the note detector. Increasing the sensitivity will result more "
     "MIDI \"Note On\" events to be triggered."},
    {control::kAttackDetector,
     "Will enable the smart recognition of the notes onsets. This feature is particularly "
     "effective for plucked instruments."},
    {control::kOctaveSlider,
     "Shows you the octave of the note at cursor. You can change it by moving this slider."},
    {control::kCentsSlider,
     "Shows you the pitch-bend in cents (1/100 of the semitone) of the note at cursor. You can "
     "change it by moving this slider."},
    {control::kVolumeSlider,
     "Shows you the volume of the note at cursor. You can change it by moving this slider."},
    {control::kBrightnessSlider,
     "Shows you the brightness of the note at cursor. You can change it by moving this slider."},
    {control::kCursorRight,
     "Move cursor one time-slice right. You can use the arrows of your keyboard also."},
    {control::kCursorLeft,
     "Move cursor one time-slice left.You can use the arrows of your keyboard also."},
    {control::kQuickSettings,
     "Select some common settings here. Create your own by saving them in the \"Quick "
     "Settings\" folder."},
};

struct ButtonSpec {
  int id;
  const char* caption;
  int x, y, width, height;
};

constexpr ButtonSpec kButtons[] = {
    {control::kRepeatPrevious, "Repeat previous", 8, 80, 47, 19},
    {control::kErase, " Erase", 59, 80, 47, 19},
    {control::kStart, "Start!", 125, 179, 52, 22},
    {control::kRealTimeStart, "Real-time Start!", 181, 179, 52, 22},
    {control::kSettings, "Settings", 257, 179, 52, 22},
    {control::kSettingsWizard, "Settings Wizard", 313, 179, 52, 22},
    {control::kUndo, " Undo", 20, 210, 52, 22},
    {control::kInTune, "In-Tune", 74, 210, 52, 22},
    {control::kPitchQuantize, "Pitch Quantize", 128, 210, 52, 22},
    {control::kAutoCorrect, "Auto-Correct", 182, 210, 52, 22},
    {control::kAreaCorrect, "Area Correct", 236, 210, 52, 22},
    {control::kPitchTempo, "Pitch-Tempo", 290, 210, 52, 22},
    {control::kMidiOut, "Midi Out", 7, 238, 43, 20},
    {control::kSaveMidi, "Save MIDI", 52, 238, 43, 20},
};

struct PictureButtonSpec {
  int id;
  ButtonPicture picture;
  int x, y;
};

constexpr PictureButtonSpec kPictureButtons[] = {
    {control::kCursorLeft, ButtonPicture::CursorLeft, 113, 151},
    {control::kCursorRight, ButtonPicture::CursorRight, 128, 151},
    {control::kZoomIn, ButtonPicture::ZoomIn, 414, 151},
    {control::kZoomOut, ButtonPicture::ZoomOut, 429, 151},
};

struct SliderSpec {
  int id;
  const char* frame;  // nullptr: no frame of its own
  int minimum, maximum;
  int x, y, width, height;
};

constexpr SliderSpec kSliders[] = {
    {control::kOctaveSlider, "Octave", 0, 9, 9, 108, 95, 16},
    {control::kCentsSlider, "Fine tuning (cents)", 0, 99, 9, 133, 95, 16},
    {control::kVolumeSlider, "Volume", 0, 127, 9, 159, 95, 16},
    {control::kBrightnessSlider, "Brightness", 0, 127, 9, 184, 95, 16},
    {control::kAttackSensitivity, nullptr, 1, 100, 343, 217, 99, 16},
};

GroupFrame* frame(QWidget& client, const QString& title, const QRect& area) {
  auto* box = new GroupFrame(title, &client);
  box->setGeometry(area);
  return box;
}

QLabel* label(QWidget& client, const QString& text, const QRect& area) {
  auto* widget = new QLabel(text, &client);
  widget->setGeometry(area);
  return widget;
}

}  // namespace

QString tooltipText(int id) {
  for (const Tip& tip : kTips) {
    if (tip.id == id) {
      return QString::fromUtf8(tip.text);
    }
  }
  return {};
}

QString wrappedTooltip(const QString& text, const QFont& font) {
  if (QFontMetrics(font).horizontalAdvance(text) <= kTooltipWidth) {
    return text;
  }
  return QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
      .arg(kTooltipWidth)
      .arg(text.toHtmlEscaped());
}

MainWindowControls buildMainWindowControls(QWidget& client, PreviewPlayer& player) {
  MainWindowControls c;

  // Frames first, so the controls inside them lie above.
  frame(client, QStringLiteral("Current Note"), unitRect(7, 13, 98, 65));
  frame(client, QStringLiteral("Engine Control"), unitRect(111, 170, 131, 34));
  frame(client, QStringLiteral("Customize"), unitRect(244, 170, 199, 34));
  frame(client, QStringLiteral("Power Tools"), unitRect(7, 201, 437, 35));
  for (const SliderSpec& s : kSliders) {
    if (s.frame != nullptr) {
      c.sliderFrames[s.id] =
          frame(client, QString::fromUtf8(s.frame), unitRect(7, s.y - 8, 99, 25));
    }
  }
  label(client, QStringLiteral("Voice Features Display"), unitRect(116, 12, 75, 8));
  label(client, QStringLiteral("Quick Settings:"), unitRect(369, 179, 69, 9));
  label(client, QStringLiteral("Player type:"), unitRect(101, 237, 67, 9));

  c.statusLine = new QLineEdit(&client);
  c.statusLine->setReadOnly(true);
  c.statusLine->setFocusPolicy(Qt::NoFocus);
  c.statusLine->setGeometry(unitRect(7, 0, 435, 12));
  c.byId[control::kStatusLine] = c.statusLine;

  for (const ButtonSpec& b : kButtons) {
    auto* button = new WrappingButton(QString::fromUtf8(b.caption), &client);
    button->setGeometry(unitRect(b.x, b.y, b.width, b.height));
    button->setCheckable(b.id == control::kAreaCorrect);
    c.buttons[b.id] = button;
  }
  for (const PictureButtonSpec& b : kPictureButtons) {
    auto* button = new QPushButton(&client);
    button->setIcon(buttonIcon(b.picture));
    button->setGeometry(unitRect(b.x, b.y, 15, 13));
    button->setFocusPolicy(Qt::NoFocus);
    c.buttons[b.id] = button;
  }
  for (const SliderSpec& s : kSliders) {
    auto* slider = new QSlider(Qt::Horizontal, &client);
    slider->setRange(s.minimum, s.maximum);
    slider->setGeometry(unitRect(s.x, s.y, s.width, s.height));
    c.sliders[s.id] = slider;
  }

  c.attackDetector = new QCheckBox(QStringLiteral(" Enable Attack Detector"), &client);
  c.attackDetector->setGeometry(unitRect(347, 208, 92, 10));

  c.verticalScroll = new QScrollBar(Qt::Vertical, &client);
  c.verticalScroll->setGeometry(unitRect(429, 17, 15, 134));
  c.verticalScroll->setSingleStep(10);
  c.verticalScroll->setPageStep(20);
  c.verticalScroll->setRange(0, 0);
  c.horizontalScroll = new QScrollBar(Qt::Horizontal, &client);
  c.horizontalScroll->setGeometry(unitRect(143, 151, 270, 13));
  c.horizontalScroll->setSingleStep(20);
  c.horizontalScroll->setPageStep(100);
  c.horizontalScroll->setRange(0, 0);

  c.progress = new QProgressBar(&client);
  c.progress->setGeometry(unitRect(114, 164, 328, 6));
  c.progress->setRange(0, 100);
  c.progress->setValue(0);
  c.progress->setTextVisible(false);

  // Drop-down lists: their rectangles include the opened list; closed they are one line high.
  c.quickSettings = new QComboBox(&client);
  c.quickSettings->setGeometry(unitRect(369, 188, 69, 12));
  c.playerType = new QComboBox(&client);
  c.playerType->setGeometry(unitRect(101, 246, 67, 12));
  c.playerType->addItems({QStringLiteral("MIDI Player"), QStringLiteral("WAVE Player")});

  c.player = new PlayerWidget(player, &client);
  c.player->setGeometry(unitRect(177, 239, 271, 21));

  for (const auto& [id, button] : c.buttons) {
    c.byId[id] = button;
  }
  for (const auto& [id, slider] : c.sliders) {
    c.byId[id] = slider;
  }
  c.byId[control::kAttackDetector] = c.attackDetector;
  c.byId[control::kVerticalScroll] = c.verticalScroll;
  c.byId[control::kHorizontalScroll] = c.horizontalScroll;
  c.byId[control::kProgressBar] = c.progress;
  c.byId[control::kQuickSettings] = c.quickSettings;
  c.byId[control::kPlayerType] = c.playerType;
  c.byId[control::kMediaPlayer] = c.player;

  for (const Tip& tip : kTips) {
    QWidget* widget = c.byId.at(tip.id);
    widget->setToolTip(wrappedTooltip(QString::fromUtf8(tip.text), widget->font()));
    widget->setToolTipDuration(kTooltipShownMs);
  }
  return c;
}

}  // namespace melovantis
