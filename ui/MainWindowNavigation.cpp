// The main window's view of the table: drawing, the cursor and what the
// current-note sliders show, the keys that move the cursor, scrolling by the
// bars and the wheel, and zoom.
#include <algorithm>
#include <cmath>

#include "ui/CommandIds.h"
#include "ui/CurrentNoteText.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowView.h"

namespace melovantis {

namespace {

constexpr int kZoomMinimum = 1;
constexpr int kZoomMaximum = 5;
constexpr double kWheelSemitones = 3.0;  // one notch of the wheel through the notes
constexpr int kWheelFrames = 25;         // one notch through the frames: a grid column

}  // namespace

ViewGeometry MainWindow::viewGeometry() const {
  return ViewGeometry(state_, services_.view.horizontalScrollValue());
}

void MainWindow::redrawView() {
  if (!session_.drawingEnabled) {
    return;
  }
  state_.verticalOffset = state_.viewHeight * state_.zoom - state_.viewHeight -
                          services_.view.verticalScrollValue();
  // The handles move with their lines; a press finds them where they were last drawn.
  const ViewGeometry view = viewGeometry();
  state_.lowHandle = view.handleFor(settings_.lowestNote);
  state_.highHandle = view.handleFor(settings_.highestNote);
  services_.view.redrawView();
}

// --- Cursor and the current note -------------------------------------------

void MainWindow::updateCursor() {
  const int k = services_.view.horizontalScrollValue() + state_.cursorX - state_.viewLeft;
  if (k >= engine_.frameCount || k < 0) {
    state_.cursorX = state_.lastCursorX;
    return;
  }
  session_.cursorFrame = k;
  showCurrentNote();
  redrawView();
  state_.lastCursorX = state_.cursorX;
}

void MainWindow::showCurrentNote() {
  const int k = session_.cursorFrame;
  if (k < 0 || k >= engine_.frameCount) {
    services_.view.setCurrentNoteSliders(0, 0, 0, 0);
    services_.view.setCurrentNoteText({});
    return;
  }
  const FrameRecord& row = engine_.frames[static_cast<std::size_t>(k)];
  // An erased frame's -1000 gives the octave slider -84; its cents slider shows 0.
  const double whole = std::floor(row.pitch);
  const int octave = static_cast<int>(std::floor(row.pitch / 12.0));
  const int cents = row.pitch < 0.0 ? 0 : static_cast<int>((row.pitch - whole) * 100.0);
  services_.view.setCurrentNoteSliders(octave, cents, row.volume, row.brightness);
  services_.view.setCurrentNoteText(currentNoteText(row));
}

void MainWindow::showEmptyTable() {
  updateScrollRange();
  state_.cursorX = state_.viewLeft;
  state_.lastCursorX = state_.viewLeft;
  session_.cursorFrame = 0;
  showCurrentNote();
  redrawView();
}

void MainWindow::updateScrollRange() {
  const int maximum = std::max(0, engine_.frameCount - state_.viewWidth);
  services_.view.setHorizontalScroll(std::min(services_.view.horizontalScrollValue(), maximum),
                                     maximum);
}

void MainWindow::resetViewToStart() {
  services_.view.setHorizontalScroll(0, std::max(0, engine_.frameCount - state_.viewWidth));
  session_.processed = true;
  state_.cursorX = state_.viewLeft;
  state_.lastCursorX = state_.viewLeft;
  session_.cursorFrame = 0;
  // A new table: nothing in it is the user's edit yet.
  tableEdited_ = false;
  if (engine_.frameCount == 0) {
    showEmptyTable();
    return;
  }
  updateCursor();
}

void MainWindow::moveCursor(int step) {
  // The cursor moves only inside the visible part of the view; it never scrolls it.
  if (step < 0 && state_.cursorX > state_.viewLeft) {
    --state_.cursorX;
    updateCursor();
  } else if (step > 0 && state_.cursorX < state_.viewLeft + state_.viewWidth) {
    ++state_.cursorX;
    updateCursor();
  }
}

void MainWindow::keyPressed(WindowKey key) {
  switch (key) {
    case WindowKey::Left: moveCursor(-1); break;
    case WindowKey::Right: moveCursor(+1); break;
    case WindowKey::Insert:
      repeatCommand();
      moveCursor(+1);
      break;
    case WindowKey::Delete:
      eraseCommand();
      moveCursor(+1);
      break;
    case WindowKey::Enter: activate(control::kDefaultButton); break;
  }
}

// --- Scrolling and zoom ----------------------------------------------------

void MainWindow::horizontalScrolled() {
  takeUndoSnapshot();
  updateCursor();
  redrawView();  // the cursor may have stayed put, but the frames moved under it
}

void MainWindow::verticalScrolled() { redrawView(); }

void MainWindow::wheelTurned(int x, int y, int notches, WheelAction action) {
  if (notches == 0 || !viewGeometry().contains(x, y)) {
    return;
  }
  switch (action) {
    case WheelAction::Notes: scrollNotes(notches); break;
    case WheelAction::Frames: scrollFrames(notches); break;
    case WheelAction::Zoom: {
      // The note under the pointer stays under it.
      const double note = viewGeometry().noteAt(y);
      zoomKeeping(std::clamp(state_.zoom + notches, kZoomMinimum, kZoomMaximum), note, y);
      break;
    }
  }
}

void MainWindow::scrollNotes(int notches) {
  const int maximum = state_.viewHeight * state_.zoom - state_.viewHeight;
  const int step = static_cast<int>(kWheelSemitones * state_.pixelsPerSemitone);
  // The bar's top shows the highest notes: up is towards smaller values.
  const int value = std::clamp(services_.view.verticalScrollValue() - notches * step, 0, maximum);
  if (value != services_.view.verticalScrollValue()) {
    services_.view.setVerticalScrollValue(value);
    verticalScrolled();
  }
}

void MainWindow::scrollFrames(int notches) {
  const int maximum = std::max(0, engine_.frameCount - state_.viewWidth);
  const int value =
      std::clamp(services_.view.horizontalScrollValue() - notches * kWheelFrames, 0, maximum);
  if (value != services_.view.horizontalScrollValue()) {
    services_.view.setHorizontalScroll(value, maximum);
    horizontalScrolled();  // as if the user had moved the bar
  }
}

void MainWindow::setZoom(int zoom) {
  // The cursor's note stays where it is on the screen, or comes to the middle
  // of the view when it is out of sight; without one, the middle stays.
  const ViewGeometry view = viewGeometry();
  const int middle = (view.top() + view.bottom()) / 2;
  double note = view.noteAt(middle);
  int row = middle;
  const int k = session_.cursorFrame;
  const bool onFrame = k >= 0 && k < engine_.frameCount;
  if (onFrame && engine_.frames[static_cast<std::size_t>(k)].pitch >= 0.0) {
    note = engine_.frames[static_cast<std::size_t>(k)].pitch;
    const int y = view.pitchY(note);
    row = view.isInside(y) ? y : middle;
  }
  zoomKeeping(zoom, note, row);
}

void MainWindow::zoomKeeping(int zoom, double note, int row) {
  state_.zoom = zoom;
  state_.pixelsPerSemitone = 2.0 * zoom;
  const int maximum = state_.viewHeight * zoom - state_.viewHeight;
  // row = bottom + offset - note x pixelsPerSemitone, and offset = maximum - value.
  const double offset = row - state_.viewBottom + note * state_.pixelsPerSemitone;
  const int value = std::clamp(maximum - static_cast<int>(std::lround(offset)), 0, maximum);
  services_.view.setVerticalScrollMaximum(maximum);
  services_.view.setVerticalScrollValue(value);
  redrawView();
}

void MainWindow::toggleView(int commandId, bool& flag) {
  flag = !flag;
  services_.view.setViewToggleChecked(commandId, flag);
  redrawView();
}

}  // namespace melovantis
