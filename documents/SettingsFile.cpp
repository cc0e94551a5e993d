#include "documents/SettingsFile.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "documents/TextScanner.h"
#include "engine/AtomicFileWriter.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

// Files from before the last seven fields existed hold only thirteen numbers;
// these are the values those fields take then.
constexpr int kFirstLaterField = 13;
constexpr std::array<std::int32_t, SettingsRecord::kFieldCount - kFirstLaterField>
    kLaterFieldDefaults = {1, 101, 15, 1, 20, 7, 0};

// A number beyond the 32-bit range is clamped to it.
std::int32_t clampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool readSettingsFile(const std::filesystem::path& path, SettingsRecord& record) {
  const FileHandle file = openTextFile(path);
  if (!file) {
    return false;
  }

  for (int k = kFirstLaterField; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = kLaterFieldDefaults[static_cast<std::size_t>(k - kFirstLaterField)];
  }
  TextScanner scanner(file.get());
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    std::int64_t value = 0;
    if (!scanner.readInteger(value)) {
      break;
    }
    record.field(k) = clampToInt32(value);
  }
  return true;
}

bool writeSettingsFile(const std::filesystem::path& path, const SettingsRecord& record,
                       Notifier& notifier, std::string* systemError) {
  AtomicFileWriter writer(path);
  bool ok = writer.open();
  for (int k = 0; ok && k < SettingsRecord::kFieldCount; ++k) {
    ok = writer.wrote(std::fprintf(writer.file(), "%" PRId32 "\n", record.field(k)) > 0);
  }
  if (ok) {
    ok = writer.commit();
  }
  if (!ok) {
    if (systemError != nullptr) {
      *systemError = writer.errorText();
    }
    notifier.message("Error saving file", "Error", MessageIcon::Error);
  }
  return ok;
}

}  // namespace melovantis
