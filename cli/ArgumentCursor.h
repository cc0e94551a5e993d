#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace melovantis {

// Walks a command's arguments in order. An option that takes a value reads it
// from the argument after it, so an option given last is reported as missing
// its value instead of being read past the end.
class ArgumentCursor {
 public:
  explicit ArgumentCursor(const std::vector<std::string>& args) : args_(args) {}

  bool atEnd() const { return next_ >= args_.size(); }

  // The next option or operand; only when !atEnd().
  const std::string& next() { return args_[next_++]; }

  // The value after the option just read, or nullopt when none is left.
  std::optional<std::string> value();

  // Stores the value after the option just read in `out`; false when none is left.
  bool value(std::filesystem::path& out);

  // The value after the option just read as a whole number inside min..max;
  // nullopt when none is left or it is not such a number.
  std::optional<int> wholeNumber(int min, int max);

 private:
  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
};

// A whole decimal number inside min..max, with an optional sign.
std::optional<int> parseWholeNumber(const std::string& text, int min, int max);

}  // namespace melovantis
