#include "engine/AtomicFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

namespace melovantis {

namespace {

std::atomic<unsigned> temporaryCounter{0};

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::open() {
  discard();
  error_.clear();
  // Through a symbolic link, save into the file it names, as an ordinary write
  // would: renaming over the link itself would leave that file behind, unsaved.
  std::error_code ec;
  if (std::filesystem::is_symlink(target_, ec)) {
    std::filesystem::path resolved = std::filesystem::canonical(target_, ec);
    if (!ec) {
      target_ = std::move(resolved);
    }
  }
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    // A short name of its own, so a target whose name is as long as the file
    // system allows can still be replaced.
    const std::string name = ".melovantis-" + std::to_string(::getpid()) + "-" +
                             std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
    const std::filesystem::path candidate = folder / name;
    // 0666 less the user's umask, as for any other file the user creates.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) {
        continue;
      }
      fail(errno);
      return false;
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      fail(errno);
      ::close(fd);
      ::unlink(candidate.c_str());
      return false;
    }
    temporary_ = candidate;
    return true;
  }
  fail(EEXIST);
  return false;
}

bool AtomicFileWriter::wrote(bool succeeded) {
  if (!succeeded) {
    fail(errno != 0 ? errno : EIO);
  }
  return succeeded;
}

bool AtomicFileWriter::commit() {
  if (file_ == nullptr) {
    if (error_.empty()) {
      fail(EBADF);
    }
    return false;
  }
  bool ok = wrote(std::ferror(file_) == 0);
  if (ok && std::fflush(file_) != 0) {
    fail(errno);
    ok = false;
  }
  if (ok && ::fsync(::fileno(file_)) != 0) {
    fail(errno);
    ok = false;
  }
  const int closeResult = std::fclose(file_);
  file_ = nullptr;
  if (ok && closeResult != 0) {
    fail(errno);
    ok = false;
  }
  if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    fail(errno);
    ok = false;
  }
  if (!ok) {
    ::unlink(temporary_.c_str());
  }
  temporary_.clear();
  return ok;
}

void AtomicFileWriter::fail(int errorNumber) {
  if (error_.empty()) {
    error_ = std::strerror(errorNumber);
  }
}

void AtomicFileWriter::discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace melovantis
