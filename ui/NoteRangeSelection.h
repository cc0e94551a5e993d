#pragma once

#include <string>

namespace melovantis {

// The note range of the settings, with the keyboard positions of the clicks
// that chose its two ends.
struct NoteRange {
  int lowestNote = 0;
  int highestNote = 0;
  int lowestNoteMarkX = 0;
  int highestNoteMarkX = 0;

  friend bool operator==(const NoteRange&, const NoteRange&) = default;
};

// The note range selector's keyboard without a toolkit: a strip of octaves
// 140 pixels wide and 103 high (white keys 20 wide, black keys a 10-pixel
// column in the upper 52 rows centred on the borders that have one), which
// scrolls horizontally. A click picks the lowest note, a Shift+click the
// highest; the two ends are kept in keyboard order.
class NoteRangeSelection {
 public:
  static constexpr int kOctaveWidth = 140;
  static constexpr int kKeyboardHeight = 103;
  static constexpr int kScrollMaximum = 700;
  static constexpr int kOctavesShown = 6;

  explicit NoteRangeSelection(const NoteRange& range) : range_(range) {}

  // The note at keyboard x (from the left end of octave 0) and row y.
  static int noteAt(int keyboardX, int y);

  // A click at window point (x, y) with the keyboard scrolled by `scroll`;
  // false (and nothing changes) below the keyboard.
  bool click(int x, int y, int scroll, bool shift);

  const NoteRange& range() const { return range_; }

  // "Selected range C5 to A5 (0.8 octaves)".
  std::string statusText() const;

  // The window x of the first octave drawn at scroll position `scroll`: the
  // one that begins at or left of the window's left edge.
  static int firstOctaveX(int scroll);

  // Whether the 10-pixel keyboard column starting at keyboard x `column`
  // touches the marked span (it is drawn inverted).
  bool isMarked(int column) const;

 private:
  NoteRange range_;
};

}  // namespace melovantis
