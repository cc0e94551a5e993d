#pragma once

#include <filesystem>

namespace melovantis {

class AnalysisEngine;
class StderrNotifier;
struct SettingsRecord;

// The command line's writers: the program's own message through the notifier,
// naming the file, then the system's reason (a full disk, a read-only folder).
bool saveMidi(AnalysisEngine& engine, const std::filesystem::path& path, StderrNotifier& notifier);
bool saveProject(const AnalysisEngine& engine, const std::filesystem::path& path,
                 StderrNotifier& notifier);
bool saveSettings(const SettingsRecord& settings, const std::filesystem::path& path,
                  StderrNotifier& notifier);
bool saveFrames(const AnalysisEngine& engine, const std::filesystem::path& path,
                StderrNotifier& notifier);

}  // namespace melovantis
