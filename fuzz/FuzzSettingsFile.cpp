// Fuzz target: a settings file (.set) with any numbers at all (note range
// reversed or outside 0..127, time resolution 0 or negative, channel 0 or 99,
// controller numbers outside 0..127, a BPM choice outside the list, sensitivity
// 0), read, applied to the engine, used for a short conversion of a fixed
// melody and for a MIDI file, then saved and read back.
//
// Promises checked: no crash, no undefined behaviour; the geometry stays
// usable (a frame length from the table, a positive hop, a lag range inside
// the cepstrum); the MIDI file is complete and every data byte is 7-bit
// whatever the settings say; a saved record reads back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/FrameLengthTable.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/FuzzSupport.h"

namespace melovantis::fuzz {

namespace {

// A third of a second: a glide, a short silence and a held note.
const std::filesystem::path& melodyWave() {
  static const std::filesystem::path path = [] {
    std::vector<std::int16_t> samples = toneSamples(55.0, 67.0, 7000);
    samples.resize(samples.size() + 1500, 0);
    const std::vector<std::int16_t> held = toneSamples(72.3, 72.3, 6000, 20000.0);
    samples.insert(samples.end(), held.begin(), held.end());
    const std::filesystem::path p = scratchPath("melody.wav");
    writeBytes(p, monoWaveBytes(samples));
    return p;
  }();
  return path;
}

void requireUsableGeometry(const AnalysisEngine& engine) {
  const bool lengthOk = engine.frameSize == kLargeFrameLength ||
                        std::find(frameLengthTable.begin(), frameLengthTable.end(),
                                  engine.frameSize) != frameLengthTable.end();
  if (!lengthOk || engine.hopSize <= 0 || engine.cepstrumSize <= 0 ||
      engine.maxLag >= engine.cepstrumSize / 2 + 1 || engine.minLag < 0) {
    fail("unusable geometry: frame " + std::to_string(engine.frameSize) + ", hop " +
         std::to_string(engine.hopSize) + ", cepstrum " + std::to_string(engine.cepstrumSize) +
         ", lags " + std::to_string(engine.minLag) + ".." + std::to_string(engine.maxLag));
  }
}

}  // namespace

}  // namespace melovantis::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace melovantis;
  using namespace melovantis::fuzz;
  static const std::filesystem::path saved = scratchPath("saved.set");
  const std::filesystem::path& wave = melodyWave();
  const std::filesystem::path input = writeScratchInput("input.set", data, size);

  SettingsRecord settings;
  if (!readSettingsFile(input, settings)) {
    fail("a settings file that exists could not be read");
  }

  CountingNotifier notifier;
  AnalysisEngine engine(notifier);
  applySettingsToEngine(settings, engine);
  requireUsableGeometry(engine);

  WaveReader reader;
  if (!checkWaveFormat(reader, wave, notifier)) {
    fail("the melody is not a valid wave file");
  }
  ConversionObserver observer;
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session = ConversionSession::unattended(wave, &settings);
  driver.startConversion(session);

  requireWrittenMidiFile(engine, notifier);

  SettingsRecord reread;
  if (!writeSettingsFile(saved, settings, notifier) || !readSettingsFile(saved, reread) ||
      !(reread == settings)) {
    fail("a saved settings record did not read back the same");
  }
  return 0;
}
