#include "cli/ConvertCommand.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "cli/FrameCsvWriter.h"
#include "cli/StderrNotifier.h"
#include "cli/TerminalObserver.h"
#include "cli/Usage.h"
#include "conversion/AudioFileConverter.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/NoteName.h"
#include "midi/MidiFileWriter.h"

namespace melovantis {

namespace {

struct ConvertOptions {
  std::filesystem::path input;
  std::filesystem::path settings;
  std::filesystem::path frames;
  std::filesystem::path midi;
  std::filesystem::path project;
  bool quiet = false;
  bool summary = false;
  bool useConverter = true;
};

std::filesystem::path factoryDataFolder() {
  if (const char* env = std::getenv("MELOVANTIS_DATA"); env != nullptr && *env != '\0') {
    return env;
  }
  return MELOVANTIS_DATA_DIR;
}

bool isSuitableWave(const std::filesystem::path& path) {
  WaveReader probe;
  if (probe.openWave(path) != kWaveOk || probe.format() == nullptr) {
    return false;
  }
  const WaveFormat& f = *probe.format();
  return f.formatTag == 1 && f.channels == 1 && f.samplesPerSecond == 44100 &&
         f.bitsPerSample == 16;
}

// A private folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() = default;
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    if (!path_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(path_, ec);
    }
  }
  bool create() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "melovantis-XXXXXX").string();
    if (ec || ::mkdtemp(pattern.data()) == nullptr) {
      return false;
    }
    path_ = pattern;
    return true;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Frames, pitched frames, and the lowest and highest note found.
void printSummary(const AnalysisEngine& engine) {
  int pitched = 0;
  double lowest = 1e9;
  double highest = -1e9;
  for (int i = 0; i < engine.frameCount; ++i) {
    const double p = engine.frames[static_cast<std::size_t>(i)].pitch;
    if (p >= 0.0) {
      ++pitched;
      lowest = std::min(lowest, p);
      highest = std::max(highest, p);
    }
  }
  std::printf("%d frames (%.2f s), %d pitched", engine.frameCount,
              engine.frameCount * static_cast<double>(engine.hopSize) / 44100.0, pitched);
  if (pitched > 0) {
    std::printf(", lowest %s (%.2f), highest %s (%.2f)",
                noteName(static_cast<int>(lowest + 0.5)).c_str(), lowest,
                noteName(static_cast<int>(highest + 0.5)).c_str(), highest);
  }
  std::printf("\n");
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& args) {
  ConvertOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::filesystem::path& out) {
      if (i + 1 >= args.size()) {
        return false;
      }
      out = args[++i];
      return true;
    };
    bool ok = true;
    if (a == "--settings") {
      ok = value(options.settings);
    } else if (a == "--frames") {
      ok = value(options.frames);
    } else if (a == "--midi") {
      ok = value(options.midi);
    } else if (a == "--project") {
      ok = value(options.project);
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (a == "--summary") {
      options.summary = true;
    } else if (a == "--no-convert") {
      options.useConverter = false;
    } else if (!a.empty() && a[0] == '-') {
      return usageError("unknown option " + a);
    } else if (options.input.empty()) {
      options.input = a;
    } else {
      return usageError("only one input file is taken");
    }
    if (!ok) {
      return usageError(a + " needs a value");
    }
  }
  if (options.input.empty()) {
    return usageError("convert needs an input file");
  }
  // MIDI is what a conversion is for: written beside the input unless only other outputs are asked.
  if (options.midi.empty() && options.frames.empty() && options.project.empty()) {
    options.midi = std::filesystem::path(options.input).replace_extension(".mid");
  }
  if (options.settings.empty()) {
    options.settings = factoryDataFolder() / "Private" / "default.set";
  }

  StderrNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  if (!readSettingsFile(options.settings, settings)) {
    notifier.message("Cannot open settings file " + options.settings.string(), "Error",
                     MessageIcon::Error);
    return 1;
  }
  applySettingsToEngine(settings, engine);

  // Anything but the one WAVE form the analysis takes goes through the
  // external converter first, into a temporary WAVE file.
  std::filesystem::path wavePath = options.input;
  TemporaryFolder scratch;
  if (options.useConverter && !isSuitableWave(options.input) &&
      std::filesystem::is_regular_file(options.input)) {
    const AudioFileConverter converter;
    if (!converter.findProgram().empty() && scratch.create()) {
      if (!options.quiet) {
        std::cerr << "Converting " << options.input.string() << " with ffmpeg\n";
      }
      wavePath = scratch.path() / (options.input.stem().string() + ".wav");
      converter.convert(options.input, wavePath);
    }
  }

  WaveReader reader;
  if (!checkWaveFormat(reader, wavePath, notifier)) {
    return 1;
  }

  TerminalObserver observer(options.quiet);
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session;
  session.wavePath = wavePath;
  session.processed = true;
  session.autoSaveMidi = false;
  session.drawingEnabled = false;
  session.settings = &settings;
  driver.startConversion(session);

  bool written = true;
  auto report = [&](const std::filesystem::path& path, bool ok) {
    written = written && ok;
    if (ok && !options.quiet) {
      std::cerr << "Written " << path.string() << '\n';
    }
  };
  if (!options.midi.empty()) {
    report(options.midi, writeMidiFile(engine, options.midi, notifier));
  }
  if (!options.project.empty()) {
    report(options.project, writeProjectFile(engine, options.project, notifier));
  }
  if (!options.frames.empty()) {
    std::string error;
    const bool ok = writeFrameCsv(engine, options.frames, error);
    if (!ok) {
      notifier.message("Cannot write " + options.frames.string() + ": " + error, "Error",
                       MessageIcon::Error);
    }
    report(options.frames, ok);
  }
  if (options.summary) {
    printSummary(engine);
  }
  return written ? 0 : 1;
}

}  // namespace melovantis
