#include "documents/ProjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "documents/TextScanner.h"
#include "engine/AnalysisEngine.h"
#include "engine/AtomicFileWriter.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

constexpr const char* kOnsetsWord = "onsets";

void cannotOpen(Notifier& notifier) {
  notifier.message("Cannot open Melovantis file!", "Error", MessageIcon::Error);
}

bool hasOnsets(const AnalysisEngine& engine) {
  for (int i = 0; i < engine.frameCount; ++i) {
    const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    if (row.onsetOffset != 0 || row.onsetRise != 0) {
      return true;
    }
  }
  return false;
}

// The onsets after the rows, when the file has them; rows without one start at their own time.
void readOnsets(TextScanner& scanner, AnalysisEngine& engine, int rows) {
  if (!scanner.readWord(kOnsetsWord)) {
    return;
  }
  for (int i = 0; i < rows; ++i) {
    std::int64_t offset = 0;
    std::int64_t rise = 0;
    if (!scanner.readInteger(offset) || !scanner.readInteger(rise)) {
      break;
    }
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    row.onsetOffset = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        offset, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
    row.onsetRise = static_cast<std::uint8_t>(std::clamp<std::int64_t>(rise, 0, 255));
  }
}

}  // namespace

bool writeProjectFile(const AnalysisEngine& engine, const std::filesystem::path& path,
                      Notifier& notifier, std::string* systemError) {
  AtomicFileWriter writer(path);
  bool ok = writer.open();
  if (ok) {
    std::FILE* f = writer.file();
    ok = writer.wrote(std::fprintf(f, "%d\n", engine.frameCount) > 0);
    for (int i = 0; ok && i < engine.frameCount; ++i) {
      const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
      ok = writer.wrote(
          std::fprintf(f, "%lf\t%d\t%d\n", row.pitch, row.volume, row.brightness) > 0);
    }
    if (ok && hasOnsets(engine)) {
      ok = writer.wrote(std::fprintf(f, "%s\n", kOnsetsWord) > 0);
      for (int i = 0; ok && i < engine.frameCount; ++i) {
        const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
        ok = writer.wrote(std::fprintf(f, "%d\t%d\n", static_cast<int>(row.onsetOffset),
                                       static_cast<int>(row.onsetRise)) > 0);
      }
    }
    ok = ok && writer.commit();
  }
  if (!ok) {
    if (systemError != nullptr) {
      *systemError = writer.errorText();
    }
    notifier.message("File error!", "Error", MessageIcon::Error);
  }
  return ok;
}

bool readProjectFile(AnalysisEngine& engine, const std::filesystem::path& path,
                     Notifier& notifier) {
  const FileHandle file = openTextFile(path);
  if (!file) {
    cannotOpen(notifier);
    return false;
  }
  TextScanner scanner(file.get());
  std::int64_t count = 0;
  // An empty or textual first line reads as no count at all; the table
  // would be left with an undefined size, so it is refused like a bad count.
  if (!scanner.readInteger(count) || count < 0 || count > kMaxProjectRows) {
    cannotOpen(notifier);
    return false;
  }

  const int rows = static_cast<int>(count);
  engine.reserveRows(rows);
  engine.frameCount = rows;
  int complete = 0;
  for (int i = 0; i < rows; ++i) {
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    double pitch = 0.0;
    std::int64_t volume = 0;
    std::int64_t brightness = 0;
    if (!scanner.readReal(pitch)) {
      break;
    }
    // A value no pitch can have (infinite) marks the frame as unpitched.
    row.pitch = std::isfinite(pitch) ? pitch : kNoPitch;
    row.onsetOffset = 0;
    row.onsetRise = 0;
    if (!scanner.readInteger(volume)) {
      break;
    }
    row.volume = static_cast<std::uint8_t>(volume & 0xFF);  // the low 8 bits, as stored
    if (!scanner.readInteger(brightness)) {
      break;
    }
    row.brightness = static_cast<std::uint8_t>(brightness & 0xFF);
    row.attack = 0;
    complete = i + 1;
  }
  if (complete == rows) {
    readOnsets(scanner, engine, rows);
  }
  return true;
}

}  // namespace melovantis
