#pragma once

#include <optional>
#include <string>

#include "engine/AnalysisEngine.h"

namespace melovantis {

// The value of --onset-placement: "attack" or "frame"; nullopt for anything else.
std::optional<OnsetPlacement> parseOnsetPlacement(const std::string& text);

}  // namespace melovantis
