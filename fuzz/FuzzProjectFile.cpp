// Fuzz target: a project file (.mvt) as a damaged disk or another program may
// leave it, loaded as "Open Melovantis file..." does (read, attack pass), then
// repaired with Auto Correct and saved as MIDI. The input's length picks the
// Auto Correct window (1..5) and whether the attack detector is on.
//
// A count between kFuzzRowLimit and the reader's own limit only makes the
// same loops run longer (and eats the fuzzer's memory); such inputs are
// skipped here and the limit itself is tested in tests/hardening.
//
// Promises checked: no crash, no undefined behaviour, no read or write outside
// the frame table; a refused file leaves the table as it was; attack flags are
// 0 or 1; the MIDI file is complete and every data byte is 7-bit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "documents/EngineSettings.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsRecord.h"
#include "documents/TextScanner.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/FuzzSupport.h"
#include "tools/AutoCorrect.h"

namespace {

constexpr std::int64_t kFuzzRowLimit = 200000;

// The count the file announces, read as the project reader reads it; 0 when there is none.
std::int64_t announcedRows(const std::filesystem::path& path) {
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) {
    return 0;
  }
  std::int64_t count = 0;
  melovantis::TextScanner scanner(f);
  if (!scanner.readInteger(count)) {
    count = 0;
  }
  std::fclose(f);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace melovantis;
  using namespace melovantis::fuzz;
  const std::filesystem::path input = writeScratchInput("input.mvt", data, size);
  const std::int64_t rows = announcedRows(input);
  if (rows > kFuzzRowLimit && rows <= kMaxProjectRows) {
    return 0;
  }

  CountingNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  settings.attackDetection = (size / 5) % 2 == 0 ? 1 : 0;
  applySettingsToEngine(settings, engine);

  // A table from before the load: a refused file must leave it exactly so.
  engine.reserveRows(3);
  engine.frameCount = 3;
  engine.frames[0] = {60.25, 0.0, 90, 20, 1};
  engine.frames[1] = {kNoPitch, 0.0, 0, 0, 0};
  engine.frames[2] = {61.5, 0.0, 80, 30, 1};
  const std::vector<FrameRecord> before(engine.frames.begin(), engine.frames.begin() + 3);

  if (!readProjectFile(engine, input, notifier)) {
    bool same = engine.frameCount == 3;
    for (std::size_t i = 0; same && i < before.size(); ++i) {
      const FrameRecord& row = engine.frames[i];
      same = row.pitch == before[i].pitch && row.volume == before[i].volume &&
             row.brightness == before[i].brightness && row.attack == before[i].attack;
    }
    if (!same) {
      fail("a refused project file changed the frame table");
    }
    return 0;
  }
  requireFrameCountInTable(engine);

  engine.runAttackPass();
  applyAutoCorrect(engine, 1 + static_cast<int>(size % 5));
  for (int i = 0; i < engine.frameCount; ++i) {
    if (engine.frames[static_cast<std::size_t>(i)].attack > 1) {
      fail("attack flag above 1 in row " + std::to_string(i));
    }
  }

  requireWrittenMidiFile(engine, notifier);
  return 0;
}
