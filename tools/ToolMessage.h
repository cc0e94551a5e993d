#pragma once

#include <string>

#include "engine/Notifier.h"

namespace melovantis {

// The message a tool ends with: the GUI shows it in a message box, the command
// line prints its text on standard output.
struct ToolMessage {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::Information;

  friend bool operator==(const ToolMessage&, const ToolMessage&) = default;
};

}  // namespace melovantis
