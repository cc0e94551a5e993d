#include "ui/DocumentationFolder.h"

#include <system_error>

#include "documents/ProgramFolder.h"

namespace melovantis {

namespace fs = std::filesystem;

fs::path documentationFolder() {
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed =
        executable.parent_path().parent_path() / "share" / "doc" / "melovantis" / "html";
    if (isExistingFile(installed / "index.html")) {
      return installed;
    }
  }
  return MELOVANTIS_SOURCE_DOCS_DIR;
}

}  // namespace melovantis
