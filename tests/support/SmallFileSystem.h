#pragma once

#include <filesystem>

#include "support/WaveFileBuilder.h"

namespace melovantis::test {

// A tiny tmpfs mounted for a test, to see what a full disk does to a save.
// Mounting needs root (or a user namespace); where it is not allowed,
// mounted() is false and the test skips.
class SmallFileSystem {
 public:
  explicit SmallFileSystem(std::size_t bytes);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  const std::filesystem::path& path() const { return folder_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }

  // Writes filler until the file system is full.
  void fill();

 private:
  TempFolder folder_;
  bool mounted_ = false;
};

}  // namespace melovantis::test
