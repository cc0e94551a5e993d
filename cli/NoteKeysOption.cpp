#include "cli/NoteKeysOption.h"

namespace melovantis {

std::optional<NoteKeys> parseNoteKeys(const std::string& text) {
  if (text == "nearest") {
    return NoteKeys::kNearest;
  }
  if (text == "floor") {
    return NoteKeys::kFloor;
  }
  return std::nullopt;
}

}  // namespace melovantis
