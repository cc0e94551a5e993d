#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Notifier.h"

namespace melovantis::test {

// Thrown by RecordingNotifier::fatal so a test can see the program would end.
struct FatalErrorRaised : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Records every message and question with its exact text, caption and icon,
// and answers questions from a script (No when the script has run out).
class RecordingNotifier : public Notifier {
 public:
  struct Entry {
    std::string text;
    std::string caption;
    MessageIcon icon;
    bool question;
  };

  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override;
  [[noreturn]] void fatal(std::string_view text) override;

  void answer(bool yes) { answers_.push_back(yes); }

  std::vector<Entry> entries;

 private:
  std::deque<bool> answers_;
};

}  // namespace melovantis::test
