#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/Notifier.h"

namespace melovantis {

// What a file dialog opens with.
struct FileDialogRequest {
  std::filesystem::path startFolder;
  std::string initialName;  // empty for an open dialog
  std::string filter;       // "Description|*.ext"
};

// The open and save dialogs, as the core asks for them. The GUI shows real
// dialogs; the tests script the answers. An empty result means cancelled, and
// a cancelled dialog ends its command with nothing read, written or changed.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  virtual std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) = 0;
};

// The overwrite question before a save: true when the caller must not write,
// that is when the file exists and the user does not answer Yes.
inline bool confirmOverwrite(const std::filesystem::path& path, Notifier& notifier) {
  std::FILE* existing = std::fopen(path.c_str(), "r");
  if (existing == nullptr) {
    return false;
  }
  std::fclose(existing);
  return !notifier.askYesNo("File exists. Overwrite?", "Warning!", MessageIcon::Information);
}

}  // namespace melovantis
