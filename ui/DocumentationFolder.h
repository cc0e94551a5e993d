#pragma once

#include <filesystem>

namespace melovantis {

// The program's own documentation pages, opened by the Help menu: the
// installed share/doc/melovantis/html beside the program, else the docs
// folder of the source tree the program was built from.
std::filesystem::path documentationFolder();

}  // namespace melovantis
