#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli wizard INPUT.wav [options] --save OUT.set: runs the settings
// wizard on a recording and writes the derived settings. Returns the exit status.
int runWizardCommand(const std::vector<std::string>& args);

}  // namespace melovantis
