#include "documents/ProjectFile.h"

#include <cmath>
#include <cstdio>

#include "documents/TextScanner.h"
#include "engine/AnalysisEngine.h"
#include "engine/AtomicFileWriter.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

void cannotOpen(Notifier& notifier) {
  notifier.message("Cannot open Melovantis file!", "Error", MessageIcon::Error);
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
    if (!scanner.readInteger(volume)) {
      break;
    }
    row.volume = static_cast<std::uint8_t>(volume & 0xFF);  // the low 8 bits, as stored
    if (!scanner.readInteger(brightness)) {
      break;
    }
    row.brightness = static_cast<std::uint8_t>(brightness & 0xFF);
    row.attack = 0;
  }
  return true;
}

}  // namespace melovantis
