#include "documents/SettingsFile.h"

#include <sys/stat.h>

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

#include "engine/AtomicFileWriter.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

// Files from before the last seven fields existed hold only thirteen numbers;
// these are the values those fields take then.
constexpr int kFirstLaterField = 13;
constexpr std::array<std::int32_t, SettingsRecord::kFieldCount - kFirstLaterField>
    kLaterFieldDefaults = {1, 101, 15, 1, 20, 7, 0};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

// Reads the next whitespace-separated signed decimal integer, as "%ld" would,
// one character at a time. A number beyond the 32-bit range is clamped to it.
// False at the end of the file or when the next text is no number.
bool readNumber(std::FILE* f, std::int32_t& value) {
  int c = std::getc(f);
  while (isSpace(c)) {
    c = std::getc(f);
  }
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(f);
  }
  if (!isDigit(c)) {
    return false;
  }
  // Accumulated as a magnitude that stops growing past the largest one kept,
  // so no run of digits can overflow.
  constexpr std::int64_t kLargestMagnitude = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  while (isDigit(c)) {
    if (magnitude <= kLargestMagnitude) {
      magnitude = magnitude * 10 + (c - '0');
    }
    c = std::getc(f);
  }
  if (c != EOF) {
    std::ungetc(c, f);
  }
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<std::int32_t>::max()) {
    value = std::numeric_limits<std::int32_t>::max();
  } else if (signedValue < std::numeric_limits<std::int32_t>::min()) {
    value = std::numeric_limits<std::int32_t>::min();
  } else {
    value = static_cast<std::int32_t>(signedValue);
  }
  return true;
}

}  // namespace

bool readSettingsFile(const std::filesystem::path& path, SettingsRecord& record) {
  FileHandle file(std::fopen(path.c_str(), "r"));
  if (!file) {
    return false;
  }
  // A folder opens for reading on Linux but holds no settings.
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
    return false;
  }

  for (int k = kFirstLaterField; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = kLaterFieldDefaults[static_cast<std::size_t>(k - kFirstLaterField)];
  }
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    std::int32_t value = 0;
    if (!readNumber(file.get(), value)) {
      break;
    }
    record.field(k) = value;
  }
  return true;
}

bool writeSettingsFile(const std::filesystem::path& path, const SettingsRecord& record,
                       Notifier& notifier) {
  AtomicFileWriter writer(path);
  bool ok = writer.open();
  for (int k = 0; ok && k < SettingsRecord::kFieldCount; ++k) {
    ok = std::fprintf(writer.file(), "%" PRId32 "\n", record.field(k)) > 0;
  }
  if (ok) {
    ok = writer.commit();
  }
  if (!ok) {
    notifier.message("Error saving file", "Error", MessageIcon::Error);
  }
  return ok;
}

}  // namespace melovantis
