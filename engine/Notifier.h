#pragma once

#include <cstdlib>
#include <string_view>

namespace melovantis {

// How a message presents itself; the GUI maps these to message-box icons.
enum class MessageIcon { Information, Warning, Error };

// The core never shows anything itself. Whatever the program says to the user
// goes through this interface: the GUI shows message boxes, the command line
// prints to standard error, and the tests record the exact texts.
class Notifier {
 public:
  virtual ~Notifier() = default;

  // A message with an OK button.
  virtual void message(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // A question with Yes and No buttons; true means Yes.
  virtual bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // An error the program cannot continue from; ends the program with exit status 1.
  [[noreturn]] virtual void fatal(std::string_view text) = 0;
};

// Says nothing and answers No: for reading a file whose problems are reported
// elsewhere, or not at all.
class SilentNotifier : public Notifier {
 public:
  void message(std::string_view, std::string_view, MessageIcon) override {}
  bool askYesNo(std::string_view, std::string_view, MessageIcon) override { return false; }
  [[noreturn]] void fatal(std::string_view) override { std::abort(); }
};

}  // namespace melovantis
