#include "documents/TextScanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace melovantis {

FileHandle openTextFile(const std::filesystem::path& path) {
  // Non-blocking, so that opening a named pipe with no writer returns at once.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  FileHandle file(::fdopen(fd, "r"));
  if (file == nullptr) {
    ::close(fd);
  }
  return file;
}

namespace {

bool isDigit(int c) { return c >= '0' && c <= '9'; }

bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Digits beyond this add nothing a double or a 64-bit integer could keep.
constexpr std::size_t kMaxKeptChars = 400;

}  // namespace

int TextScanner::skipSpace() {
  int c = std::getc(file_);
  while (isSpace(c)) {
    c = std::getc(file_);
  }
  return c;
}

bool TextScanner::readWord(const char* word) {
  int c = skipSpace();
  for (const char* w = word; *w != '\0'; ++w) {
    if (c != static_cast<unsigned char>(*w)) {
      if (c != EOF) {
        std::ungetc(c, file_);
      }
      return false;
    }
    c = std::getc(file_);
  }
  if (c != EOF) {
    std::ungetc(c, file_);
  }
  return true;
}

bool TextScanner::readInteger(std::int64_t& value) {
  int c = skipSpace();
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(file_);
  }
  if (!isDigit(c)) {
    if (c != EOF) {
      std::ungetc(c, file_);
    }
    return false;
  }
  constexpr std::int64_t kLimit = INT64_MAX / 10 - 1;
  std::int64_t magnitude = 0;
  while (isDigit(c)) {
    if (magnitude < kLimit) {
      magnitude = magnitude * 10 + (c - '0');
    }
    c = std::getc(file_);
  }
  if (c != EOF) {
    std::ungetc(c, file_);
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

bool TextScanner::readReal(double& value) {
  std::string text;
  auto keep = [&text](int ch) {
    if (text.size() < kMaxKeptChars) {
      text.push_back(static_cast<char>(ch));
    }
  };
  int c = skipSpace();
  if (c == '+' || c == '-') {
    keep(c);
    c = std::getc(file_);
  }
  bool digits = false;
  while (isDigit(c)) {
    keep(c);
    digits = true;
    c = std::getc(file_);
  }
  if (c == '.') {
    keep(c);
    c = std::getc(file_);
    while (isDigit(c)) {
      keep(c);
      digits = true;
      c = std::getc(file_);
    }
  }
  if (!digits) {
    if (c != EOF) {
      std::ungetc(c, file_);
    }
    return false;
  }
  if (c == 'e' || c == 'E') {
    // An exponent needs digits; "1e" reads as 1 followed by an unread "e",
    // close enough to the C library for a file that is not ours.
    const int mark = c;
    c = std::getc(file_);
    std::string exponent(1, static_cast<char>(mark));
    if (c == '+' || c == '-') {
      exponent.push_back(static_cast<char>(c));
      c = std::getc(file_);
    }
    if (isDigit(c)) {
      text += exponent;
      while (isDigit(c)) {
        keep(c);
        c = std::getc(file_);
      }
    }
  }
  if (c != EOF) {
    std::ungetc(c, file_);
  }
  value = std::strtod(text.c_str(), nullptr);
  return true;
}

}  // namespace melovantis
