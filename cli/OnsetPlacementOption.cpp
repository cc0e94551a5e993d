#include "cli/OnsetPlacementOption.h"

namespace melovantis {

std::optional<OnsetPlacement> parseOnsetPlacement(const std::string& text) {
  if (text == "attack") {
    return OnsetPlacement::kAttack;
  }
  if (text == "frame") {
    return OnsetPlacement::kFrame;
  }
  return std::nullopt;
}

}  // namespace melovantis
