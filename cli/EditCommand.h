#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli edit PROJECT.mvt [options]: loads a project, runs the attack
// pass, applies the tools in command-line order, prints each tool's result
// message and writes what is asked. Returns the exit status.
int runEditCommand(const std::vector<std::string>& args);

}  // namespace melovantis
