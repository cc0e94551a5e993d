#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace melovantis {

// The program's overview: each command's usage line, the options every
// command takes, and the exit statuses.
std::string usageText();

// One command's help: its usage, what it does and every option it takes;
// nothing for a name that is no command.
std::optional<std::string> commandHelp(std::string_view command);

// "melovantis-cli" and the version it was built as.
std::string versionText();

// Prints the problem and the usage on standard error; returns exit status 2.
int usageError(const std::string& problem);

}  // namespace melovantis
