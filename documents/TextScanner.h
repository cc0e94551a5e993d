#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace melovantis {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// A C file that is closed when the handle goes away, on every return path.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a text file for reading, or nullptr when `path` is not a regular file:
// a folder holds no text, and a named pipe or a device could block the open
// or never end.
FileHandle openTextFile(const std::filesystem::path& path);

// Reads white-space separated numbers from a text file the way "%d" and "%lf"
// do, one character at a time, but without their undefined behaviour on
// numbers out of range: integers are clamped to 64 bits, reals go to infinity.
class TextScanner {
 public:
  explicit TextScanner(std::FILE* file) : file_(file) {}

  // False at the end of the file or when the next text is no number; the
  // offending character is left unread, so every later read fails as well.
  bool readInteger(std::int64_t& value);
  bool readReal(double& value);

  // True when the next text, after white space, is `word`; the word is taken.
  bool readWord(const char* word);

 private:
  int skipSpace();

  std::FILE* file_;
};

}  // namespace melovantis
