#pragma once

#include <filesystem>

namespace melovantis {

class AnalysisEngine;
class StderrNotifier;
struct SettingsRecord;

// The factory Private/default.set.
std::filesystem::path factoryDefaultSettings();

// The factory Private/default_realtime.set, the settings live starts with.
std::filesystem::path factoryRealtimeSettings();

// The factory Private/broad.set, the wide settings the Settings Wizard examines with.
std::filesystem::path factoryBroadSettings();

// Reads a settings file into the record and applies it to the engine. A file
// that cannot be read is reported and nothing is applied.
bool loadSettings(const std::filesystem::path& path, SettingsRecord& settings,
                  AnalysisEngine& engine, StderrNotifier& notifier);

}  // namespace melovantis
