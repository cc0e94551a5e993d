#include "cli/CliSettings.h"

#include "documents/EngineSettings.h"
#include "documents/FactoryData.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "cli/StderrNotifier.h"

namespace melovantis {

std::filesystem::path factoryDefaultSettings() {
  return factoryDataFolder() / "Private" / "default.set";
}

std::filesystem::path factoryRealtimeSettings() {
  return factoryDataFolder() / "Private" / "default_realtime.set";
}

std::filesystem::path factoryBroadSettings() {
  return factoryDataFolder() / "Private" / "broad.set";
}

bool loadSettings(const std::filesystem::path& path, SettingsRecord& settings,
                  AnalysisEngine& engine, StderrNotifier& notifier) {
  notifier.about(path, FileKind::Settings);
  if (!readSettingsFile(path, settings)) {
    notifier.message("Cannot open settings file " + path.string(), "Error", MessageIcon::Error);
    return false;
  }
  applySettingsToEngine(settings, engine);
  return true;
}

}  // namespace melovantis
