#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli convert INPUT [options]; returns the exit status.
int runConvertCommand(const std::vector<std::string>& args);

}  // namespace melovantis
