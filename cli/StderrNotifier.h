#pragma once

#include "engine/Notifier.h"

namespace melovantis {

// Messages go to standard error in the program's own words. Questions are
// asked on the terminal when there is one; without a terminal the answer is No.
class StderrNotifier : public Notifier {
 public:
  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override;
  [[noreturn]] void fatal(std::string_view text) override;
};

}  // namespace melovantis
