#pragma once

#include <filesystem>

namespace melovantis {

class AnalysisEngine;
class Notifier;
struct SettingsRecord;

// The command line's writers: the program's own message through the notifier,
// then the system's reason (a full disk, a read-only folder) on standard error.
bool saveMidi(AnalysisEngine& engine, const std::filesystem::path& path, Notifier& notifier);
bool saveProject(const AnalysisEngine& engine, const std::filesystem::path& path,
                 Notifier& notifier);
bool saveSettings(const SettingsRecord& settings, const std::filesystem::path& path,
                  Notifier& notifier);
bool saveFrames(const AnalysisEngine& engine, const std::filesystem::path& path,
                Notifier& notifier);

}  // namespace melovantis
