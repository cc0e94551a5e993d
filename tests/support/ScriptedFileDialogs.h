#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "documents/FileDialogs.h"

namespace melovantis::test {

// Open and save dialogs answering from a script; a dialog with no answer left
// is cancelled. Every dialog shown is recorded with what it opened with.
class ScriptedDialogs : public FileDialogs {
 public:
  struct Shown {
    std::string kind;  // "open" or "save"
    FileDialogRequest request;
  };

  std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override {
    shown.push_back({"open", request});
    return next();
  }
  std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override {
    shown.push_back({"save", request});
    return next();
  }
  void choose(std::optional<std::filesystem::path> path) { answers_.push_back(std::move(path)); }

  std::vector<Shown> shown;

 private:
  std::optional<std::filesystem::path> next() {
    if (answers_.empty()) {
      return std::nullopt;
    }
    std::optional<std::filesystem::path> answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  std::deque<std::optional<std::filesystem::path>> answers_;
};

}  // namespace melovantis::test
