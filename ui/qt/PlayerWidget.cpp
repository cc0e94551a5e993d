#include "ui/qt/PlayerWidget.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

namespace melovantis {

namespace {

QString minutesAndSeconds(double seconds) {
  const int whole = static_cast<int>(std::floor(std::max(0.0, seconds)));
  return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

PlayerWidget::PlayerWidget(PreviewPlayer& player, QWidget* parent)
    : QWidget(parent), player_(player) {
  auto makeButton = [this](QStyle::StandardPixmap icon, const QString& tip, PlayerAction action) {
    auto* button = new QToolButton(this);
    button->setIcon(style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, action] {
      if (handler_) {
        handler_(action);
      }
      refresh();
    });
    return button;
  };
  play_ = makeButton(QStyle::SP_MediaPlay, QStringLiteral("Play"), PlayerAction::Play);
  pause_ = makeButton(QStyle::SP_MediaPause, QStringLiteral("Pause"), PlayerAction::Pause);
  stop_ = makeButton(QStyle::SP_MediaStop, QStringLiteral("Stop"), PlayerAction::Stop);
  position_ = new QSlider(Qt::Horizontal, this);
  position_->setFocusPolicy(Qt::NoFocus);
  connect(position_, &QSlider::sliderMoved, this,
          [this](int tenths) { player_.seek(tenths / 10.0); });
  time_ = new QLabel(this);
  note_ = new QLabel(this);
  QFont small = note_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  note_->setFont(small);
  note_->setStyleSheet(QStringLiteral("color: #7a4b00;"));

  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  row->addWidget(play_);
  row->addWidget(pause_);
  row->addWidget(stop_);
  row->addWidget(position_, 1);
  row->addWidget(time_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 0, 2, 0);
  column->setSpacing(0);
  column->addLayout(row);
  column->addWidget(note_);

  timer_.setInterval(200);
  connect(&timer_, &QTimer::timeout, this, &PlayerWidget::refresh);
  timer_.start();
  refresh();
}

QToolButton* PlayerWidget::button(PlayerAction action) const {
  switch (action) {
    case PlayerAction::Play: return play_;
    case PlayerAction::Pause: return pause_;
    case PlayerAction::Stop: return stop_;
  }
  return nullptr;
}

void PlayerWidget::refresh() {
  player_.noticeEnd();
  const bool loaded = !player_.file().empty();
  const PlayState state = player_.state();
  play_->setEnabled(loaded && state != PlayState::Playing);
  pause_->setEnabled(state == PlayState::Playing);
  stop_->setEnabled(state != PlayState::Stopped);
  const double length = player_.lengthSeconds();
  position_->setEnabled(loaded && length > 0.0);
  if (!position_->isSliderDown()) {
    position_->setRange(0, static_cast<int>(length * 10));
    position_->setValue(static_cast<int>(player_.positionSeconds() * 10));
  }
  time_->setText(minutesAndSeconds(player_.positionSeconds()) + QStringLiteral(" / ") +
                 minutesAndSeconds(length));
  const std::string silent = player_.silentReason();
  QString note = QString::fromStdString(silent);
  if (note.isEmpty()) {
    note = loaded ? QString::fromStdString(player_.file().filename().string())
                  : QStringLiteral("Nothing to play yet");
  } else if (state == PlayState::Playing) {
    note += QStringLiteral(" (playing silently)");
  }
  note_->setText(note);
}

}  // namespace melovantis
