#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"

namespace melovantis {

class AnalysisEngine;
class FileDialogs;
class Notifier;

// What the settings commands need from the main window. Besides the display
// of the applied settings (SettingsApplyHook), the status line, the
// `processed` flag and the Settings Wizard, which lives above this layer.
class SettingsManagerHooks : public SettingsApplyHook {
 public:
  virtual void updateStatusLine() {}
  virtual void setProcessed() {}
  virtual void runSettingsWizard(const std::filesystem::path& /*wavePath*/) {}
};

// How the per-file lookup ended.
enum class WaveSettingsOutcome {
  LoadedFound,     // the file's own settings were loaded
  KeptCurrent,     // the user declined them and the wizard
  WizardRun,       // the Settings Wizard was started
  LoadedDefaults,  // no own settings (or declined wizard): Private/default.set
};

// Decides which settings file fills the one settings record: the start-up
// file, the factory defaults, named files, the quick settings presets and the
// settings that belong to a WAVE file by its name. Keeps the name of the
// current settings file, to which Save writes. Every load is followed by
// applySettingsToEngine and the status line.
class SettingsManager {
 public:
  static constexpr const char* kFileFilter = "Melovantis settings|*.set";

  SettingsManager(SettingsRecord& settings, AnalysisEngine& engine, Notifier& notifier,
                  FileDialogs& dialogs, SettingsManagerHooks& hooks,
                  std::filesystem::path programFolder);

  // Settings/startup.set, else Private/default.set; applies them, updates the
  // status line and fills the quick settings list. Returns the file read,
  // empty when neither could be read.
  std::filesystem::path startUp();

  // "Open": a file chosen in the Settings folder becomes the current file and
  // is read and applied. True when the file was read.
  bool open();

  // "Save": writes to the current file, or does Save As when there is none.
  // `wavePath` is the open WAVE file, empty when none. The confirmation names
  // the path written, so a bare name shows which folder it went to. True
  // when written.
  bool save(const std::filesystem::path& wavePath);

  // "Save As": proposes "<wave base name>.set" or "noname.set" in the Settings
  // folder and asks before overwriting. True when written.
  bool saveAs(const std::filesystem::path& wavePath);

  // "Load Defaults": Private/default.set; always leaves no current file.
  // True when the file was read.
  bool loadDefaults();

  // A choice in the quick settings list: QuickSettings/<entry>.set, after
  // which the current file is "<entry>.set". An entry that is no plain file
  // name changes nothing and gives false; else true when the file was read.
  bool selectQuickSettings(std::string_view entry);

  // The names of the *.set files in QuickSettings without ".set", sorted
  // alphabetically; empty when the folder is missing.
  std::vector<std::string> listQuickSettings() const;

  // The list as filled at start-up.
  const std::vector<std::string>& quickSettingsEntries() const { return quickSettings_; }

  // The settings that belong to a WAVE (or project) file: Settings/<base>.set,
  // offered with a question, else the Settings Wizard (when `offerWizard`) or
  // the factory defaults. Sets `processed` first.
  WaveSettingsOutcome lookUpWaveSettings(const std::filesystem::path& wavePath, bool offerWizard);

  // The current settings file as the user knows it; empty means none. A bare
  // name (from the quick list or the per-file lookup) is kept bare.
  const std::filesystem::path& settingsPath() const { return settingsPath_; }
  void setSettingsPath(std::filesystem::path path) { settingsPath_ = std::move(path); }

  // Where Save writes the current file: a bare or relative name is taken from
  // the Settings folder.
  std::filesystem::path resolvedSettingsPath() const;

  std::filesystem::path settingsFolder() const;
  std::filesystem::path quickSettingsFolder() const;
  std::filesystem::path defaultSettingsFile() const;

 private:
  bool readAndApply(const std::filesystem::path& file);
  bool writeTo(const std::filesystem::path& file);

  SettingsRecord& settings_;
  AnalysisEngine& engine_;
  Notifier& notifier_;
  FileDialogs& dialogs_;
  SettingsManagerHooks& hooks_;
  std::filesystem::path programFolder_;
  std::filesystem::path settingsPath_;
  std::vector<std::string> quickSettings_;
};

}  // namespace melovantis
