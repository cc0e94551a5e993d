#include "cli/FrameCsvWriter.h"

#include <cstdio>

#include "engine/AnalysisEngine.h"
#include "engine/AtomicFileWriter.h"

namespace melovantis {

bool writeFrameCsv(const AnalysisEngine& engine, const std::filesystem::path& path,
                   std::string& error) {
  AtomicFileWriter writer(path);
  if (!writer.open()) {
    error = writer.errorText();
    return false;
  }
  std::FILE* f = writer.file();
  // With notes started at their attacks, a last column gives where a note
  // starting at the row begins; with the frame placement the table is as it always was.
  const bool onsets = engine.onsetPlacement == OnsetPlacement::kAttack;
  std::fputs(onsets ? "frame,time_s,pitch,volume,brightness,attack,onset_s\n"
                    : "frame,time_s,pitch,volume,brightness,attack\n",
             f);
  for (int i = 0; i < engine.frameCount; ++i) {
    const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    const double timeSeconds = static_cast<double>(i) * engine.hopSize / 44100.0;
    std::fprintf(f, "%d,%.6f,%.6f,%d,%d,%d", i, timeSeconds, row.pitch, row.volume,
                 row.brightness, row.attack);
    if (onsets) {
      const double onsetSample =
          (static_cast<double>(i) + 1.0) * engine.hopSize + row.onsetOffset;
      std::fprintf(f, ",%.6f", onsetSample / 44100.0);
    }
    std::fputc('\n', f);
  }
  if (!writer.commit()) {
    error = writer.errorText();
    return false;
  }
  return true;
}

}  // namespace melovantis
