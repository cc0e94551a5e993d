#include "documents/FactoryData.h"

#include <cstdlib>
#include <system_error>

#include "documents/ProgramFolder.h"

namespace melovantis {

namespace fs = std::filesystem;

fs::path factoryDataFolder() {
  if (const char* env = std::getenv("MELOVANTIS_DATA"); env != nullptr && *env != '\0') {
    return env;
  }
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = executable.parent_path().parent_path() / "share" / "melovantis";
    if (isExistingFile(installed / "Private" / "default.set")) {
      return installed;
    }
  }
  return MELOVANTIS_SOURCE_DATA_DIR;
}

}  // namespace melovantis
