#pragma once

#include <string>

#include "ui/PreviewPlayer.h"

namespace melovantis {

// Keys the main window handles itself, before any control sees them.
enum class WindowKey { Left, Right, Insert, Delete, Enter };

// What a turn of the mouse wheel over the piano roll does: scroll through the
// notes, through the frames (Shift, or a sideways wheel), or zoom (Ctrl).
enum class WheelAction { Notes, Frames, Zoom };

// Everything the user does in the main window, as the toolkit hands it on:
// the Qt window forwards its events here and draws what the window says.
class MainWindowInput {
 public:
  virtual ~MainWindowInput() = default;

  // A menu command or a button, by its identity (ui/CommandIds.h).
  virtual void activate(int id) = 0;

  virtual void keyPressed(WindowKey key) = 0;

  // A slider moved by the user: the four current-note sliders and the attack sensitivity.
  virtual void sliderMoved(int controlId, int value) = 0;
  virtual void attackDetectorToggled(bool on) = 0;

  // Scroll bars moved by the user (the view reads their values when it draws).
  virtual void horizontalScrolled() = 0;
  virtual void verticalScrolled() = 0;

  virtual void quickSettingsChosen(const std::string& entry) = 0;
  virtual void playerTypeChosen(int index) = 0;
  virtual void playerControl(PlayerAction action) = 0;

  // The left button over the window's client area, in client pixels.
  virtual void mousePressed(int x, int y) = 0;
  virtual void mouseMoved(int x, int y) = 0;
  virtual void mouseReleased() = 0;

  // The wheel turned by `notches` over client pixel (x, y): positive away
  // from the user (up: higher notes, earlier frames, zoom in).
  virtual void wheelTurned(int x, int y, int notches, WheelAction action) = 0;

  // The window is asked to close; true when it may.
  virtual bool closeRequested() = 0;
};

}  // namespace melovantis
