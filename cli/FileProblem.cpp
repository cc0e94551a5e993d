#include "cli/FileProblem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "audio/WaveReader.h"
#include "documents/ProjectFile.h"
#include "documents/TextScanner.h"

namespace melovantis {

namespace {

std::string systemText(int error) { return std::strerror(error); }

std::string waveProblem(const std::filesystem::path& path, int descriptor) {
  std::array<char, 12> header{};
  if (::read(descriptor, header.data(), header.size()) != static_cast<ssize_t>(header.size()) ||
      std::memcmp(header.data(), "RIFF", 4) != 0 || std::memcmp(header.data() + 8, "WAVE", 4) != 0) {
    return "no RIFF WAVE header";
  }
  WaveReader reader;
  switch (reader.openWave(path)) {
    case kWaveOk:
      return {};
    case kWaveChunkNotFound:
      return "no format chunk";
    case kWaveShortFormat:
      return "format chunk cut short";
    case kWaveNotWave:
      return "damaged format chunk";
    case kWaveOutOfMemory:
      return "out of memory";
    default:
      return "read error";
  }
}

std::string projectProblem(const std::filesystem::path& path) {
  const FileHandle file = openTextFile(path);
  if (!file) {
    return "not a regular file";
  }
  TextScanner scanner(file.get());
  std::int64_t count = 0;
  if (!scanner.readInteger(count) || count < 0 || count > kMaxProjectRows) {
    return "no frame count at its start";
  }
  return {};
}

}  // namespace

std::string fileProblem(const std::filesystem::path& path, FileKind kind) {
  if (kind == FileKind::Output) {
    return {};
  }
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return systemText(errno);
  }
  if (S_ISDIR(status.st_mode)) {
    return systemText(EISDIR);
  }
  if (!S_ISREG(status.st_mode)) {
    return "not a regular file";  // never opened: a pipe or a device could block
  }
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return systemText(errno);
  }
  std::string problem;
  if (status.st_size == 0) {
    problem = "empty file";
  } else if (kind == FileKind::Wave) {
    problem = waveProblem(path, descriptor);
  } else if (kind == FileKind::Project) {
    problem = projectProblem(path);
  }
  ::close(descriptor);
  return problem;
}

}  // namespace melovantis
