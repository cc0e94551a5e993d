#include "support/SmallFileSystem.h"

#include <sys/mount.h>

#include <cstdio>
#include <string>
#include <vector>

namespace melovantis::test {

SmallFileSystem::SmallFileSystem(std::size_t bytes) {
  const std::string options = "size=" + std::to_string(bytes);
  mounted_ = ::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
  if (mounted_) {
    ::umount2(folder_.path().c_str(), MNT_DETACH);
  }
}

void SmallFileSystem::fill() {
  std::FILE* f = std::fopen((folder_ / "filler").c_str(), "wb");
  if (f == nullptr) {
    return;
  }
  const std::vector<char> block(4096, 'x');
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
  }
  std::fclose(f);
}

}  // namespace melovantis::test
