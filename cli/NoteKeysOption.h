#pragma once

#include <optional>
#include <string>

#include "engine/AnalysisEngine.h"

namespace melovantis {

// The value of --note-keys: "nearest" or "floor"; nullopt for anything else.
std::optional<NoteKeys> parseNoteKeys(const std::string& text);

}  // namespace melovantis
