// Fuzz target: a WAVE file as a recorder, a converter or an old disk may give
// it, read and converted exactly as the Start! command does, then written as
// MIDI. The last input byte picks the analysis geometry, so every time
// resolution mode and both pitch resolutions meet the same broken files.
//
// Promises checked: no crash and no undefined behaviour anywhere; every row
// holds a pitch in 0..127 or none, volume and brightness in 0..127, an attack
// flag of 0 or 1; no more rows reserved than analysed; the MIDI file is
// complete and every data byte is 7-bit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/FuzzSupport.h"

namespace melovantis::fuzz {

namespace {

SettingsRecord settingsForVariant(std::uint8_t variant) {
  SettingsRecord settings;  // the factory defaults
  settings.timeResolutionBoost = variant % 3;
  settings.pitchResolutionBoost = (variant >> 2) & 1;
  // Short frames, so that a few kilobytes already make several rows.
  settings.timeResolutionMs = (variant & 0x08) != 0 ? 40 : 20;
  settings.attackDetection = (variant >> 4) & 1;
  settings.bpmChoice = (variant & 0x20) != 0 ? 0 : 101;  // SMPTE or 120 BPM
  return settings;
}

void requireSaneRows(const AnalysisEngine& engine) {
  requireFrameCountInTable(engine);
  for (int i = 0; i < engine.frameCount; ++i) {
    const FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    const bool pitchOk = row.pitch == kNoPitch || (row.pitch >= 0.0 && row.pitch <= 127.0);
    if (!pitchOk || row.volume > 127 || row.brightness > 127 || row.attack > 1) {
      fail("row " + std::to_string(i) + " out of range: pitch " + std::to_string(row.pitch) +
           ", volume " + std::to_string(row.volume) + ", brightness " +
           std::to_string(row.brightness) + ", attack " + std::to_string(row.attack));
    }
  }
}

// The reader on its own, whatever the format: every byte of the data chunk, in odd-sized reads.
void readEveryBlock(const std::filesystem::path& input, Notifier& notifier) {
  WaveReader reader;
  if (reader.openWave(input) != kWaveOk || reader.startDataRead(notifier) != kWaveOk) {
    return;
  }
  std::vector<std::uint8_t> block(1021);
  std::uint64_t total = 0;
  for (;;) {
    const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
    if (read.bytes == 0) {
      break;
    }
    total += read.bytes;
    if (total > reader.dataSize()) {
      fail("read " + std::to_string(total) + " bytes from a data chunk of " +
           std::to_string(reader.dataSize()));
    }
  }
}

}  // namespace

}  // namespace melovantis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace melovantis;
  using namespace melovantis::fuzz;
  const std::filesystem::path input = writeScratchInput("input.wav", data, size);

  CountingNotifier notifier;
  readEveryBlock(input, notifier);

  AnalysisEngine engine(notifier);
  SettingsRecord settings = settingsForVariant(size > 0 ? data[size - 1] : 0);
  applySettingsToEngine(settings, engine);

  WaveReader reader;
  if (!checkWaveFormat(reader, input, notifier)) {
    return 0;
  }
  ConversionObserver observer;
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session = ConversionSession::unattended(input, &settings);
  driver.startConversion(session);
  requireSaneRows(engine);
  // Memory follows what the file holds, not what its header promises.
  if (engine.frames.size() > static_cast<std::size_t>(engine.frameCount) + 1) {
    fail(std::to_string(engine.frames.size()) + " rows reserved for " +
         std::to_string(engine.frameCount) + " analysed");
  }

  // The area corrector's re-analysis of a middle stretch reopens and seeks into the file.
  if (engine.frameCount > 2) {
    const int rows = engine.frameCount;
    session.rangeMode = true;
    session.rangeStartFrame = rows / 3;
    session.rangeEndFrame = rows / 2 + 1;
    driver.startConversion(session);
    if (engine.frameCount != rows) {
      fail("a range re-analysis changed the frame count");
    }
    requireSaneRows(engine);
  }

  requireWrittenMidiFile(engine, notifier);
  return 0;
}
