#include "cli/ConvertCommand.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <thread>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "cli/ArgumentCursor.h"
#include "cli/CliOutputs.h"
#include "cli/CliSettings.h"
#include "cli/NoteKeysOption.h"
#include "cli/OnsetPlacementOption.h"
#include "cli/StderrNotifier.h"
#include "cli/TemporaryFolder.h"
#include "cli/TerminalObserver.h"
#include "cli/Usage.h"
#include "conversion/AudioFileConverter.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionSession.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/NoteName.h"
#include "tools/SettingsWizard.h"

namespace melovantis {

namespace {

struct ConvertOptions {
  std::vector<std::filesystem::path> inputs;
  std::filesystem::path settings;
  std::filesystem::path frames;
  std::filesystem::path midi;
  std::filesystem::path project;
  int jobs = 0;  // 0 = one per core
  OnsetPlacement onsetPlacement = OnsetPlacement::kAttack;
  NoteKeys noteKeys = NoteKeys::kNearest;
  bool quiet = false;
  bool summary = false;
  bool useConverter = true;
  bool wizard = false;
};

bool isSuitableWave(const std::filesystem::path& path) {
  WaveReader probe;
  return probe.openWave(path) == kWaveOk && probe.format() != nullptr &&
         isAnalysableFormat(*probe.format());
}

// A regular file with something in it that we may read: worth handing to the converter.
bool isReadableContent(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 &&
         !ec && ::access(path.c_str(), R_OK) == 0;
}

// Frames, pitched frames, and the lowest and highest note found.
std::string summaryLine(const AnalysisEngine& engine) {
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
  char line[256];
  int used = std::snprintf(line, sizeof line, "%d frames (%.2f s), %d pitched", engine.frameCount,
                           engine.frameCount * static_cast<double>(engine.hopSize) / 44100.0,
                           pitched);
  if (pitched > 0 && used > 0 && used < static_cast<int>(sizeof line)) {
    std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used),
                  ", lowest %s (%.2f), highest %s (%.2f)",
                  noteName(static_cast<int>(lowest + 0.5)).c_str(), lowest,
                  noteName(static_cast<int>(highest + 0.5)).c_str(), highest);
  }
  return line;
}

void say(const ConvertOptions& options, const std::string& text) {
  if (!options.quiet) {
    std::fputs((text + "\n").c_str(), stderr);  // one write, so parallel jobs do not interleave
  }
}

int cores() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

// Converts one input with its own engine, its analysis on `threads` cores;
// returns the exit status.
int convertFile(const ConvertOptions& options, const std::filesystem::path& input,
                bool showProgress, int threads) {
  StderrNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  if (!loadSettings(options.settings, settings, engine, notifier)) {
    return 1;
  }
  engine.onsetPlacement = options.onsetPlacement;
  engine.noteKeys = options.noteKeys;

  // Anything readable but the one WAVE form the analysis takes goes through
  // the external converter first, into a temporary WAVE file. When the
  // converter fails, its reason leads the message about the input itself, so
  // a WAVE in another format is still described as it is.
  std::filesystem::path wavePath = input;
  std::string converterProblem;
  TemporaryFolder scratch;
  if (options.useConverter && isReadableContent(input) && !isSuitableWave(input)) {
    const AudioFileConverter converter;
    if (scratch.create()) {
      if (!converter.findProgram().empty()) {
        say(options, "Converting " + input.string() + " with ffmpeg");
      }
      const std::filesystem::path converted = scratch.path() / (input.stem().string() + ".wav");
      converterProblem = converter.convert(input, converted);
      if (converterProblem.empty()) {
        wavePath = converted;
      }
    }
  }

  notifier.about(input, FileKind::Wave, converterProblem);
  WaveReader reader;
  if (!checkWaveFormat(reader, wavePath, notifier)) {
    return 1;
  }

  TerminalObserver observer(options.quiet || !showProgress);
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session = ConversionSession::unattended(wavePath, &settings);
  session.analysisThreads = threads;
  if (options.wizard) {
    // Let the wizard examine the file and derive the settings first.
    runSettingsWizard(engine, driver, session, settings, factoryBroadSettings(), WizardChoices{},
                      observer);
    say(options, "Settings Wizard: " + std::to_string(settings.timeResolutionMs) + " ms, notes " +
                     std::to_string(settings.lowestNote) + ".." +
                     std::to_string(settings.highestNote) + ", harmonic threshold " +
                     std::to_string(settings.harmonicThreshold));
  }
  driver.startConversion(session);

  const std::filesystem::path midi =
      !options.midi.empty() ? options.midi
      : (options.frames.empty() && options.project.empty())
          // MIDI is what a conversion is for: beside the input unless only other outputs are asked.
          ? std::filesystem::path(input).replace_extension(".mid")
          : std::filesystem::path();

  bool written = true;
  auto report = [&](const std::filesystem::path& path, bool ok) {
    written = written && ok;
    if (ok) {
      say(options, "Written " + path.string());
    }
  };
  if (!midi.empty()) {
    report(midi, saveMidi(engine, midi, notifier));
  }
  if (!options.project.empty()) {
    report(options.project, saveProject(engine, options.project, notifier));
  }
  if (!options.frames.empty()) {
    report(options.frames, saveFrames(engine, options.frames, notifier));
  }
  if (options.summary) {
    std::fputs((input.filename().string() + ": " + summaryLine(engine) + "\n").c_str(), stdout);
  }
  return written ? 0 : 1;
}

// Converts many files, `jobs` at a time, each to its own MIDI file. One file
// that fails is reported and the others still convert; the status is 1 then.
// The cores left over when there are fewer files than jobs go to each file's analysis.
int convertMany(const ConvertOptions& options) {
  const int budget = options.jobs > 0 ? options.jobs : cores();
  const int workers = std::clamp(budget, 1, static_cast<int>(options.inputs.size()));
  const int threads = std::max(1, budget / workers);
  std::atomic<std::size_t> next{0};
  std::vector<char> failed(options.inputs.size(), 0);  // one element per worker write, no sharing
  auto work = [&] {
    for (std::size_t i = next++; i < options.inputs.size(); i = next++) {
      failed[i] = convertFile(options, options.inputs[i], false, threads) != 0 ? 1 : 0;
    }
  };
  std::vector<std::thread> pool;
  for (int w = 1; w < workers; ++w) {
    pool.emplace_back(work);
  }
  work();
  for (auto& t : pool) {
    t.join();
  }
  // The failures again at the end, in the order given, where a batch's
  // scrolled-away messages would otherwise hide them.
  std::string names;
  int failures = 0;
  for (std::size_t i = 0; i < failed.size(); ++i) {
    if (failed[i] != 0) {
      ++failures;
      names += "\n  " + options.inputs[i].string();
    }
  }
  if (failures > 0) {
    printProblem(std::to_string(failures) + " of " + std::to_string(options.inputs.size()) +
                 " files failed:" + names);
  }
  return failures > 0 ? 1 : 0;
}

}  // namespace

int runConvertCommand(const std::vector<std::string>& args) {
  ConvertOptions options;
  ArgumentCursor cursor(args);
  while (!cursor.atEnd()) {
    const std::string& a = cursor.next();
    bool ok = true;
    if (a == "--settings") {
      ok = cursor.value(options.settings);
    } else if (a == "--frames") {
      ok = cursor.value(options.frames);
    } else if (a == "--midi") {
      ok = cursor.value(options.midi);
    } else if (a == "--project") {
      ok = cursor.value(options.project);
    } else if (a == "--jobs") {
      const std::optional<int> jobs = cursor.wholeNumber(1, 256);
      if (!jobs) {
        return usageError("--jobs needs a number from 1 to 256");
      }
      options.jobs = *jobs;
    } else if (a == "--onset-placement") {
      const std::optional<OnsetPlacement> placement =
          parseOnsetPlacement(cursor.value().value_or(""));
      if (!placement) {
        return usageError("--onset-placement needs attack or frame");
      }
      options.onsetPlacement = *placement;
    } else if (a == "--note-keys") {
      const std::optional<NoteKeys> keys = parseNoteKeys(cursor.value().value_or(""));
      if (!keys) {
        return usageError("--note-keys needs nearest or floor");
      }
      options.noteKeys = *keys;
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (a == "--summary") {
      options.summary = true;
    } else if (a == "--no-convert") {
      options.useConverter = false;
    } else if (a == "--wizard") {
      options.wizard = true;
    } else if (!a.empty() && a[0] == '-') {
      return usageError("unknown option " + a);
    } else {
      options.inputs.emplace_back(a);
    }
    if (!ok) {
      return usageError(a + " needs a value");
    }
  }
  if (options.inputs.empty()) {
    return usageError("convert needs an input file");
  }
  if (options.inputs.size() > 1 &&
      !(options.midi.empty() && options.frames.empty() && options.project.empty())) {
    return usageError("--midi, --project and --frames name one file; with several inputs each "
                      "gets its own NAME.mid");
  }
  if (options.settings.empty()) {
    options.settings = factoryDefaultSettings();
  }
  if (options.inputs.size() == 1) {
    return convertFile(options, options.inputs.front(), true,
                       options.jobs > 0 ? options.jobs : cores());
  }
  return convertMany(options);
}

}  // namespace melovantis
