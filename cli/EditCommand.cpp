#include "cli/EditCommand.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "cli/ArgumentCursor.h"
#include "cli/CliOutputs.h"
#include "cli/CliSettings.h"
#include "cli/NoteKeysOption.h"
#include "cli/OnsetPlacementOption.h"
#include "cli/StderrNotifier.h"
#include "cli/Usage.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "tools/AutoCorrect.h"
#include "tools/PitchQuantize.h"
#include "tools/PitchTempo.h"

namespace melovantis {

namespace {

enum class Tool { AutoCorrect, Quantize, InTune, PitchTempo };

struct ToolStep {
  Tool tool;
  int value = 0;  // half-width or percentage
};

struct EditOptions {
  std::filesystem::path project;
  std::filesystem::path settings;
  std::filesystem::path projectOut;
  std::filesystem::path midiOut;
  std::filesystem::path framesOut;
  std::vector<ToolStep> steps;
  // --transpose, --cents and --speed form one run at the place of the first.
  std::optional<int> semitones;
  std::optional<int> cents;
  std::optional<int> speed;
  OnsetPlacement onsetPlacement = OnsetPlacement::kAttack;
  NoteKeys noteKeys = NoteKeys::kNearest;
};

// Parses the command line into `options`; an empty string when it is valid,
// else the problem to report.
std::string parseEditOptions(const std::vector<std::string>& args, EditOptions& options) {
  ArgumentCursor cursor(args);
  while (!cursor.atEnd()) {
    const std::string& a = cursor.next();
    auto range = [&](int min, int max) {
      return a + " needs a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    };
    auto pitchTempo = [&](std::optional<int>& slot, int min, int max) -> std::string {
      if (slot) {
        return a + " is given twice";
      }
      if (!options.semitones && !options.cents && !options.speed) {
        options.steps.push_back({Tool::PitchTempo});
      }
      slot = cursor.wholeNumber(min, max);
      return slot ? "" : range(min, max);
    };
    auto path = [&](std::filesystem::path& out) {
      return cursor.value(out) ? std::string() : a + " needs a value";
    };

    std::string problem;
    if (a == "--auto-correct" || a == "--quantize") {
      const bool autoCorrect = a == "--auto-correct";
      const int min = autoCorrect ? kAutoCorrectMinHalfWidth : kQuantizeMinPercent;
      const int max = autoCorrect ? kAutoCorrectMaxHalfWidth : kQuantizeMaxPercent;
      if (const auto value = cursor.wholeNumber(min, max)) {
        options.steps.push_back({autoCorrect ? Tool::AutoCorrect : Tool::Quantize, *value});
      } else {
        problem = range(min, max);
      }
    } else if (a == "--in-tune") {
      options.steps.push_back({Tool::InTune});
    } else if (a == "--transpose") {
      problem = pitchTempo(options.semitones, kMinTransposeSemitones, kMaxTransposeSemitones);
    } else if (a == "--cents") {
      problem = pitchTempo(options.cents, kMinTransposeCents, kMaxTransposeCents);
    } else if (a == "--speed") {
      problem = pitchTempo(options.speed, kMinSpeedPercent, kMaxSpeedPercent);
    } else if (a == "--settings") {
      problem = path(options.settings);
    } else if (a == "--onset-placement") {
      const std::optional<OnsetPlacement> placement =
          parseOnsetPlacement(cursor.value().value_or(""));
      if (placement) {
        options.onsetPlacement = *placement;
      } else {
        problem = "--onset-placement needs attack or frame";
      }
    } else if (a == "--note-keys") {
      if (const std::optional<NoteKeys> keys = parseNoteKeys(cursor.value().value_or(""))) {
        options.noteKeys = *keys;
      } else {
        problem = "--note-keys needs nearest or floor";
      }
    } else if (a == "--project") {
      problem = path(options.projectOut);
    } else if (a == "--midi") {
      problem = path(options.midiOut);
    } else if (a == "--frames") {
      problem = path(options.framesOut);
    } else if (!a.empty() && a[0] == '-') {
      problem = "unknown option " + a;
    } else if (options.project.empty()) {
      options.project = a;
    } else {
      problem = "only one project file is taken";
    }
    if (!problem.empty()) {
      return problem;
    }
  }
  return options.project.empty() ? "edit needs a project file" : "";
}

void applyStep(AnalysisEngine& engine, const ToolStep& step, const EditOptions& options) {
  switch (step.tool) {
    case Tool::AutoCorrect:
      applyAutoCorrect(engine, step.value);  // no message, as in the program
      break;
    case Tool::Quantize:
      quantizePitch(engine, step.value * 0.01);
      std::cout << quantizeResultMessage().text << '\n';
      break;
    case Tool::InTune:
      std::cout << centerTuneResultMessage(centerTune(engine)).text << '\n';
      break;
    case Tool::PitchTempo: {
      const bool outOfRange =
          modifyPitchAndTempo(engine, options.semitones.value_or(0), options.cents.value_or(0),
                              options.speed.value_or(kDefaultSpeedPercent));
      std::cout << pitchTempoResultMessage(outOfRange).text << '\n';
      break;
    }
  }
}

}  // namespace

int runEditCommand(const std::vector<std::string>& args) {
  EditOptions options;
  if (const std::string problem = parseEditOptions(args, options); !problem.empty()) {
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
  engine.onsetPlacement = options.onsetPlacement;
  engine.noteKeys = options.noteKeys;
  notifier.about(options.project, FileKind::Project);
  if (!readProjectFile(engine, options.project, notifier)) {
    return 1;
  }
  notifier.about({}, FileKind::Output);  // the tools' messages are about no one file
  engine.runAttackPass();

  for (const ToolStep& step : options.steps) {
    applyStep(engine, step, options);
  }
  std::cout.flush();

  if (!options.projectOut.empty() && !saveProject(engine, options.projectOut, notifier)) {
    return 1;
  }
  if (!options.midiOut.empty() && !saveMidi(engine, options.midiOut, notifier)) {
    return 1;
  }
  if (!options.framesOut.empty() && !saveFrames(engine, options.framesOut, notifier)) {
    return 1;
  }
  return 0;
}

}  // namespace melovantis
