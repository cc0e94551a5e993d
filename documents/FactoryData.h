#pragma once

#include <filesystem>

namespace melovantis {

// The shipped factory files (Private/, QuickSettings/): the folder named by
// MELOVANTIS_DATA when set; else share/melovantis beside the installed
// program (bin/../share/melovantis); else the data folder of the source tree
// the program was built from, so it runs from its build folder too.
std::filesystem::path factoryDataFolder();

}  // namespace melovantis
