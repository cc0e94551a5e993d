#include "cli/ConvertCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "cli/FrameCsvWriter.h"
#include "cli/StderrNotifier.h"
#include "cli/TerminalObserver.h"
#include "cli/Usage.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/NoteName.h"

namespace melovantis {

namespace {

struct ConvertOptions {
  std::filesystem::path input;
  std::filesystem::path settings;
  std::filesystem::path frames;
  bool quiet = false;
  bool summary = false;
};

std::filesystem::path factoryDataFolder() {
  if (const char* env = std::getenv("MELOVANTIS_DATA"); env != nullptr && *env != '\0') {
    return env;
  }
  return MELOVANTIS_DATA_DIR;
}

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
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (a == "--summary") {
      options.summary = true;
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

  WaveReader reader;
  if (!checkWaveFormat(reader, options.input, notifier)) {
    return 1;
  }

  TerminalObserver observer(options.quiet);
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session;
  session.wavePath = options.input;
  session.processed = true;
  session.autoSaveMidi = false;
  session.drawingEnabled = false;
  session.settings = &settings;
  driver.startConversion(session);

  if (!options.frames.empty()) {
    std::string error;
    if (!writeFrameCsv(engine, options.frames, error)) {
      notifier.message("Cannot write " + options.frames.string() + ": " + error, "Error",
                       MessageIcon::Error);
      return 1;
    }
    if (!options.quiet) {
      std::cerr << "Frames written to " << options.frames.string() << '\n';
    }
  }
  if (options.summary) {
    printSummary(engine);
  }
  return 0;
}

}  // namespace melovantis
