#pragma once

#include <string>

namespace melovantis {

// The usage text of melovantis-cli.
const char* usageText();

// Prints the problem and the usage on standard error; returns exit status 2.
int usageError(const std::string& problem);

}  // namespace melovantis
