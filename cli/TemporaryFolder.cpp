#include "cli/TemporaryFolder.h"

#include <stdlib.h>

#include <string>

namespace melovantis {

TemporaryFolder::~TemporaryFolder() {
  if (!path_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
}

bool TemporaryFolder::create() {
  std::error_code ec;
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "melovantis-XXXXXX").string();
  if (ec || ::mkdtemp(pattern.data()) == nullptr) {
    return false;
  }
  path_ = pattern;
  return true;
}

}  // namespace melovantis
