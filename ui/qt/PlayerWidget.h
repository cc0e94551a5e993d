#pragma once

#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "ui/PreviewPlayer.h"

namespace melovantis {

// The preview player's controls: play, pause and stop, a position bar and
// the time, and a line that says so when no sound output is attached. The
// buttons go to the window (which may save or convert first); the widget only
// shows what the player reports.
class PlayerWidget : public QWidget {
  Q_OBJECT

 public:
  PlayerWidget(PreviewPlayer& player, QWidget* parent);

  // Called with the user's button.
  void setActionHandler(std::function<void(PlayerAction)> handler) { handler_ = std::move(handler); }

  QToolButton* button(PlayerAction action) const;
  QString noteText() const { return note_->text(); }
  QSlider* positionBar() const { return position_; }
  QString timeText() const { return time_->text(); }

  // Reads the player's state, position and length again.
  void refresh();

 private:
  PreviewPlayer& player_;
  std::function<void(PlayerAction)> handler_;
  QToolButton* play_;
  QToolButton* pause_;
  QToolButton* stop_;
  QSlider* position_;
  QLabel* time_;
  QLabel* note_;
  QTimer timer_;
};

}  // namespace melovantis
