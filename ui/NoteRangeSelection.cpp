#include "ui/NoteRangeSelection.h"

#include <cstdio>
#include <utility>

#include "engine/NoteName.h"

namespace melovantis {

namespace {

constexpr int kBlackKeyRows = 51;  // y up to this is where the black keys are
constexpr int kWhiteKeys[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kBlackKeys[7] = {1, 3, -1, 6, 8, 10, -1};  // -1: that border has none

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

int NoteRangeSelection::noteAt(int keyboardX, int y) {
  if (y <= kBlackKeyRows) {
    // Black keys: a 10-pixel column from 5 left to 4 right of a white-key border.
    const int e = floorDiv(keyboardX + 5, 10);
    const int inOctave = ((e % 14) + 14) % 14;
    if (e % 2 == 0 && inOctave != 0 && inOctave != 6) {
      const int j = e / 2 - 1;
      const int pitchClass = kBlackKeys[((j % 7) + 7) % 7];
      if (pitchClass >= 0) {
        return pitchClass + 12 * floorDiv(j, 7);
      }
    }
  }
  const int e = floorDiv(keyboardX, 20);
  return kWhiteKeys[((e % 7) + 7) % 7] + 12 * floorDiv(e, 7);
}

bool NoteRangeSelection::click(int x, int y, int scroll, bool shift) {
  if (y > kKeyboardHeight) {
    return false;
  }
  const int keyboardX = x + scroll;
  const int note = noteAt(keyboardX, y);
  if (shift) {
    range_.highestNote = note;
    range_.highestNoteMarkX = keyboardX;
  } else {
    range_.lowestNote = note;
    range_.lowestNoteMarkX = keyboardX;
  }
  // The lowest end is always the left one.
  if (range_.highestNoteMarkX < range_.lowestNoteMarkX) {
    std::swap(range_.lowestNote, range_.highestNote);
    std::swap(range_.lowestNoteMarkX, range_.highestNoteMarkX);
  }
  return true;
}

std::string NoteRangeSelection::statusText() const {
  char octaves[32];
  std::snprintf(octaves, sizeof octaves, " (%.1f octaves)",
                (range_.highestNote - range_.lowestNote + 1) / 12.0);
  return "Selected range " + noteName(range_.lowestNote) + " to " + noteName(range_.highestNote) +
         octaves;
}

int NoteRangeSelection::firstOctaveX(int scroll) {
  return ((kScrollMaximum - scroll) % kOctaveWidth + kOctaveWidth) % kOctaveWidth - kOctaveWidth;
}

bool NoteRangeSelection::isMarked(int column) const {
  return column + 10 >= range_.lowestNoteMarkX && column <= range_.highestNoteMarkX;
}

}  // namespace melovantis
