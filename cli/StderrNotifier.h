#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "cli/FileProblem.h"
#include "engine/Notifier.h"

namespace melovantis {

// Writes "melovantis-cli: " and `text` to standard error in one write, so that
// lines from parallel conversions do not interleave.
void printProblem(std::string_view text);

// Messages go to standard error in the program's own words. Questions are
// asked on the terminal when there is one; without a terminal the answer is No.
//
// A command says which file it is reading before it reads it; every message
// then names that file and adds why it was refused, so that in a batch of a
// hundred files each failure can be told apart.
class StderrNotifier : public Notifier {
 public:
  // The file the next messages are about. `before` (the converter's failure,
  // say) comes ahead of the message's own words; `reason`, when given, is
  // the reason added after them instead of what the file itself shows.
  void about(std::filesystem::path file, FileKind kind, std::string before = {},
             std::string reason = {});

  // A device instead of a file: `describe` names it and says why it failed,
  // asked when a message is printed, as the reason is known only after the
  // failure.
  struct DeviceNote {
    std::string device;
    std::string reason;
  };
  void aboutDevice(std::function<DeviceNote()> describe);

  // How many messages were printed so far.
  int printed() const { return printed_; }

  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override;
  [[noreturn]] void fatal(std::string_view text) override;

 private:
  void print(std::string_view text, std::string_view caption);

  std::filesystem::path file_;
  FileKind kind_ = FileKind::Output;
  std::string before_;
  std::string reason_;
  std::function<DeviceNote()> describeDevice_;
  int printed_ = 0;
};

}  // namespace melovantis
