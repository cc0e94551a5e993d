#include "ui/CurrentNoteText.h"

#include <cmath>

#include "engine/FrameRecord.h"
#include "engine/NoteName.h"

namespace melovantis {

CurrentNoteText currentNoteText(const FrameRecord& frame) {
  CurrentNoteText text;
  if (frame.pitch >= 0.0) {
    const double whole = std::floor(frame.pitch);
    text.note = noteName(static_cast<int>(whole));
    text.cents = std::to_string(static_cast<int>((frame.pitch - whole) * 100.0));
  } else {
    text.note = "no pitch";
    text.cents = "-";
  }
  text.volume = std::to_string(frame.volume);
  text.brightness = std::to_string(frame.brightness);
  return text;
}

}  // namespace melovantis
