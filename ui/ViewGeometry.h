#pragma once

#include <vector>

#include "ui/MainWindowState.h"

namespace melovantis {

struct FrameRecord;

// Where things are in the piano roll, in client pixels: one column per frame,
// `pixelsPerSemitone` rows per semitone, note 0 at the bottom edge when the
// vertical scroll bar is at its bottom. No toolkit: the painter and the mouse
// handlers both ask it.
class ViewGeometry {
 public:
  // The view as `state` has it, scrolled to `firstFrame`.
  ViewGeometry(const MainWindowState& state, int firstFrame);

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  int bottom() const { return bottom_; }
  int firstFrame() const { return firstFrame_; }

  // The frame shown in column x, and the column of a frame.
  int frameAt(int x) const { return firstFrame_ + x - left_; }
  int xOf(int frame) const { return left_ + frame - firstFrame_; }

  // A value's height before rounding: bottom + verticalOffset - value x pixelsPerSemitone.
  double yOf(double value) const;
  // A pitch's row, and a volume's or brightness's row (a quarter of the note scale).
  int pitchY(double pitch) const;
  int levelY(int level) const;
  // Rows strictly between the top and bottom edges are drawn; the edges are not.
  bool isInside(int y) const { return y > top_ && y < bottom_; }
  bool contains(int x, int y) const;

  // The inverse of yOf: the (real) note at row y.
  double noteAt(int y) const;
  // The note a range line dragged to row y stands for.
  int draggedNote(int y) const;

  // The drag handle of a note-range line at `note`: 10 pixels wide at the
  // view's right edge, 10 high around the line.
  HandleRect handleFor(int note) const;

  // Octave lines counted from the bottom edge, and a line every 25 frames.
  std::vector<int> gridRows() const;
  std::vector<int> gridColumns() const;

 private:
  int left_;
  int top_;
  int width_;
  int height_;
  int bottom_;
  double pixelsPerSemitone_;
  int verticalOffset_;
  int firstFrame_;
};

// The current-note panel's dot for a frame: where it sits on the keyboard
// picture (between two keys by its cents), how large (by its volume) and how
// pale (by its brightness), and the octave digit beside it.
struct CurrentNoteDot {
  int x = 0;  // top-left of the ellipse's bounding square, client pixels
  int y = 0;
  int radius = 0;
  int red = 0;
  int green = 0;
  int blue = 255;
  int octave = 0;
};

// The dot of a pitched frame; the panel shows none for an unpitched one.
CurrentNoteDot currentNoteDot(const FrameRecord& frame);

}  // namespace melovantis
