#include "cli/WizardCommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "cli/ArgumentCursor.h"
#include "cli/CliOutputs.h"
#include "cli/CliSettings.h"
#include "cli/StderrNotifier.h"
#include "cli/TerminalObserver.h"
#include "cli/Usage.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionSession.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/NoteName.h"
#include "tools/SettingsWizard.h"

namespace melovantis {

namespace {

struct WizardOptions {
  std::filesystem::path input;
  std::filesystem::path settings;
  std::filesystem::path save;
  WizardChoices choices;
  bool quiet = false;
};

// "range,threshold,resolution,brightness", any of them, in any order.
bool parseChoices(const std::string& list, WizardChoices& choices) {
  choices = WizardChoices{false, false, false, false};
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string item = list.substr(start, comma == std::string::npos ? comma : comma - start);
    if (item == "range") {
      choices.noteRange = true;
    } else if (item == "threshold") {
      choices.harmonicThreshold = true;
    } else if (item == "resolution") {
      choices.timeResolution = true;
    } else if (item == "brightness") {
      choices.brightnessGain = true;
    } else {
      return false;  // also an empty item
    }
    if (comma == std::string::npos) {
      return true;
    }
    start = comma + 1;
  }
}

std::string parseWizardOptions(const std::vector<std::string>& args, WizardOptions& options) {
  ArgumentCursor cursor(args);
  while (!cursor.atEnd()) {
    const std::string& a = cursor.next();
    auto path = [&](std::filesystem::path& out) {
      return cursor.value(out) ? std::string() : a + " needs a value";
    };
    std::string problem;
    if (a == "--only") {
      const std::optional<std::string> list = cursor.value();
      if (!list || !parseChoices(*list, options.choices)) {
        problem = "--only takes a list of range, threshold, resolution and brightness";
      }
    } else if (a == "--settings") {
      problem = path(options.settings);
    } else if (a == "--save") {
      problem = path(options.save);
    } else if (a == "--quiet") {
      options.quiet = true;
    } else if (!a.empty() && a[0] == '-') {
      problem = "unknown option " + a;
    } else if (options.input.empty()) {
      options.input = a;
    } else {
      problem = "only one input file is taken";
    }
    if (!problem.empty()) {
      return problem;
    }
  }
  if (options.input.empty()) {
    return "wizard needs an input file";
  }
  return options.save.empty() ? "wizard needs --save OUT.set" : "";
}

void printDerivedSettings(const SettingsRecord& settings) {
  std::printf("Note range: %s..%s (%d..%d)\n", noteName(settings.lowestNote).c_str(),
              noteName(settings.highestNote).c_str(), settings.lowestNote, settings.highestNote);
  std::printf("Harmonic threshold: %d\n", settings.harmonicThreshold);
  std::printf("Time resolution: %d ms\n", settings.timeResolutionMs);
  std::printf("Brightness gain: %d\n", settings.brightnessGain);
}

}  // namespace

int runWizardCommand(const std::vector<std::string>& args) {
  WizardOptions options;
  if (const std::string problem = parseWizardOptions(args, options); !problem.empty()) {
    return usageError(problem);
  }
  if (options.settings.empty()) {
    options.settings = factoryDefaultSettings();
  }

  StderrNotifier notifier;
  AnalysisEngine engine(notifier);
  SettingsRecord settings;
  if (!loadSettings(options.settings, settings, engine, notifier)) {
    return 1;
  }

  WaveReader reader;
  notifier.about(options.input, FileKind::Wave);
  if (!checkWaveFormat(reader, options.input, notifier)) {
    return 1;
  }

  const std::filesystem::path broad = factoryBroadSettings();
  if (!std::filesystem::is_regular_file(broad)) {
    // The wizard goes on with the settings in force, as the program does.
    printProblem(broad.string() + " not found; examining with " + options.settings.string());
  }
  if (!options.quiet) {
    std::cerr << "Settings Wizard is examining your wave file...\n";
  }
  TerminalObserver observer(options.quiet);
  ConversionDriver driver(engine, reader, notifier, observer);
  ConversionSession session = ConversionSession::unattended(options.input, &settings);
  runSettingsWizard(engine, driver, session, settings, broad, options.choices, observer);

  if (!saveSettings(settings, options.save, notifier)) {
    return 1;
  }
  printDerivedSettings(settings);
  return 0;
}

}  // namespace melovantis
