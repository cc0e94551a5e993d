#include "cli/CliOutputs.h"

#include <cstdio>
#include <string>

#include "cli/FrameCsvWriter.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "engine/Notifier.h"
#include "midi/MidiFileWriter.h"

namespace melovantis {

namespace {

bool explained(bool ok, const std::filesystem::path& path, const std::string& reason) {
  if (!ok && !reason.empty()) {
    std::fputs(("melovantis: " + path.string() + ": " + reason + "\n").c_str(), stderr);
  }
  return ok;
}

}  // namespace

bool saveMidi(AnalysisEngine& engine, const std::filesystem::path& path, Notifier& notifier) {
  std::string reason;
  return explained(writeMidiFile(engine, path, notifier, &reason), path, reason);
}

bool saveProject(const AnalysisEngine& engine, const std::filesystem::path& path,
                 Notifier& notifier) {
  std::string reason;
  return explained(writeProjectFile(engine, path, notifier, &reason), path, reason);
}

bool saveSettings(const SettingsRecord& settings, const std::filesystem::path& path,
                  Notifier& notifier) {
  std::string reason;
  return explained(writeSettingsFile(path, settings, notifier, &reason), path, reason);
}

bool saveFrames(const AnalysisEngine& engine, const std::filesystem::path& path,
                Notifier& notifier) {
  std::string reason;
  if (!writeFrameCsv(engine, path, reason)) {
    notifier.message("Cannot write " + path.string() + ": " + reason, "Error", MessageIcon::Error);
    return false;
  }
  return true;
}

}  // namespace melovantis
