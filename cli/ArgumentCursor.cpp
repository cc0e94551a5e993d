#include "cli/ArgumentCursor.h"

#include <charconv>
#include <string_view>

namespace melovantis {

std::optional<std::string> ArgumentCursor::value() {
  if (atEnd()) {
    return std::nullopt;
  }
  return args_[next_++];
}

bool ArgumentCursor::value(std::filesystem::path& out) {
  const std::optional<std::string> text = value();
  if (text) {
    out = *text;
  }
  return text.has_value();
}

std::optional<int> ArgumentCursor::wholeNumber(int min, int max) {
  const std::optional<std::string> text = value();
  return text ? parseWholeNumber(*text, min, max) : std::nullopt;
}

std::optional<int> parseWholeNumber(const std::string& text, int min, int max) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') {
      return std::nullopt;  // one sign only: "+-3" is not a number
    }
  }
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

}  // namespace melovantis
