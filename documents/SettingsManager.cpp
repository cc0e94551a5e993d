#include "documents/SettingsManager.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "documents/FileDialogs.h"
#include "documents/ProgramFolder.h"
#include "documents/SettingsFile.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtension = ".set";

constexpr const char* kFoundQuestion =
    "A settings file with the same name was found.\nDo you want to load these settings? "
    "(recommended)";
// The wizard questions keep the program's own spelling of "recommened".
constexpr const char* kWizardQuestion =
    "Do you want Settings Wizard automatically find\nthe right settings for you? (recommened)";
constexpr const char* kNotFoundQuestion =
    "No settings were found for this file.\n\nDo you want Settings Wizard automatically find\n"
    "the right settings for you? (recommened)";

// A quick settings entry names a file in QuickSettings and nothing else.
bool isPlainName(std::string_view entry) {
  return !entry.empty() && entry != "." && entry != ".." &&
         entry.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// The settings file that belongs to a WAVE (or project) file: its base name
// with the settings extension.
std::string settingsNameFor(const fs::path& wave) {
  return wave.stem().string() + std::string(kExtension);
}

std::string folded(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), foldedAscii);
  return name;
}

}  // namespace

SettingsManager::SettingsManager(SettingsRecord& settings, AnalysisEngine& engine,
                                 Notifier& notifier, FileDialogs& dialogs,
                                 SettingsManagerHooks& hooks, fs::path programFolder)
    : settings_(settings),
      engine_(engine),
      notifier_(notifier),
      dialogs_(dialogs),
      hooks_(hooks),
      programFolder_(std::move(programFolder)) {}

fs::path SettingsManager::settingsFolder() const {
  return findDataFolder(programFolder_, "Settings");
}

fs::path SettingsManager::quickSettingsFolder() const {
  return findDataFolder(programFolder_, "QuickSettings");
}

fs::path SettingsManager::defaultSettingsFile() const {
  return findDataFile(findDataFolder(programFolder_, "Private"), "default.set");
}

// A bare name comes from the quick list or the per-file lookup. It is saved
// in the Settings folder: there Save never overwrites a quick settings preset
// (choosing "voice" and saving writes Settings/voice.set), and a WAVE file's
// own settings go back where the lookup found them. Absolute paths, from the
// file dialogs, stay as they are.
fs::path SettingsManager::resolvedSettingsPath() const {
  if (settingsPath_.empty()) {
    return {};
  }
  return settingsFolder() / settingsPath_;
}

bool SettingsManager::readAndApply(const fs::path& file) {
  const bool read = readSettingsFile(file, settings_);
  applySettingsToEngine(settings_, engine_, &hooks_);
  return read;
}

bool SettingsManager::writeTo(const fs::path& file) {
  return writeSettingsFile(file, settings_, notifier_);
}

fs::path SettingsManager::startUp() {
  settingsPath_.clear();
  fs::path loaded = findDataFile(settingsFolder(), "startup.set");
  if (!readSettingsFile(loaded, settings_)) {
    loaded = defaultSettingsFile();
    // With neither file the record keeps what it holds: its built-in values
    // are those of the factory default.set, so the program still analyses.
    if (!readSettingsFile(loaded, settings_)) {
      loaded.clear();
    }
  }
  applySettingsToEngine(settings_, engine_, &hooks_);
  hooks_.updateStatusLine();
  quickSettings_ = listQuickSettings();
  return loaded;
}

bool SettingsManager::open() {
  const auto chosen = dialogs_.openFile({settingsFolder(), "", kFileFilter});
  if (!chosen) {
    return false;
  }
  settingsPath_ = settingsFolder() / *chosen;
  const bool read = readAndApply(settingsPath_);
  hooks_.updateStatusLine();
  return read;
}

bool SettingsManager::save(const fs::path& wavePath) {
  if (settingsPath_.empty()) {
    return saveAs(wavePath);
  }
  const fs::path target = resolvedSettingsPath();
  if (settingsPath_.is_relative()) {
    // The Settings folder may have been removed since start-up.
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
  }
  const bool written = writeTo(target);
  if (written) {
    notifier_.message("Settings saved as " + target.string(), "Saved OK", MessageIcon::Information);
  }
  hooks_.updateStatusLine();
  return written;
}

bool SettingsManager::saveAs(const fs::path& wavePath) {
  const std::string proposed =
      wavePath.empty() ? std::string("noname.set") : settingsNameFor(wavePath);
  const auto chosen = dialogs_.saveFile({settingsFolder(), proposed, kFileFilter});
  if (!chosen) {
    return false;
  }
  const fs::path target = settingsFolder() / *chosen;
  if (confirmOverwrite(target, notifier_)) {
    return false;
  }
  settingsPath_ = target;
  const bool written = writeTo(target);
  hooks_.updateStatusLine();
  return written;
}

bool SettingsManager::loadDefaults() {
  const bool read = readSettingsFile(defaultSettingsFile(), settings_);
  if (read) {
    applySettingsToEngine(settings_, engine_, &hooks_);
    notifier_.message("Default settings loaded", "Success", MessageIcon::Information);
  }
  settingsPath_.clear();
  hooks_.updateStatusLine();
  return read;
}

bool SettingsManager::selectQuickSettings(std::string_view entry) {
  if (!isPlainName(entry)) {
    return false;
  }
  const std::string name = std::string(entry) + std::string(kExtension);
  const bool read = readAndApply(findDataFile(quickSettingsFolder(), name));
  settingsPath_ = name;
  hooks_.updateStatusLine();
  return read;
}

std::vector<std::string> SettingsManager::listQuickSettings() const {
  // (folded name, name): the list control sorts without regard to case, and
  // names equal but for case keep a fixed order. Folded once, not per compare.
  std::vector<std::pair<std::string, std::string>> keyed;
  std::error_code ec;
  for (fs::directory_iterator it(quickSettingsFolder(), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= kExtension.size() || !isExistingFile(it->path()) ||
        !sameNameIgnoringCase(std::string_view(name).substr(name.size() - kExtension.size()),
                              kExtension)) {
      continue;
    }
    std::string entry = name.substr(0, name.size() - kExtension.size());
    keyed.emplace_back(folded(entry), std::move(entry));
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> entries;
  entries.reserve(keyed.size());
  for (auto& keyAndName : keyed) {
    entries.push_back(std::move(keyAndName.second));
  }
  return entries;
}

WaveSettingsOutcome SettingsManager::lookUpWaveSettings(const fs::path& wavePath,
                                                        bool offerWizard) {
  // From here on the save commands are allowed, even before a conversion.
  hooks_.setProcessed();

  const fs::path own = findDataFile(settingsFolder(), settingsNameFor(wavePath));
  WaveSettingsOutcome outcome = WaveSettingsOutcome::KeptCurrent;
  if (isExistingFile(own)) {
    if (notifier_.askYesNo(kFoundQuestion, "Settings found", MessageIcon::Information)) {
      readAndApply(own);
      settingsPath_ = own.filename();
      outcome = WaveSettingsOutcome::LoadedFound;
    } else if (offerWizard && notifier_.askYesNo(kWizardQuestion, "Settings not found",
                                                 MessageIcon::Information)) {
      hooks_.runSettingsWizard(wavePath);
      outcome = WaveSettingsOutcome::WizardRun;
    }
  } else if (offerWizard && notifier_.askYesNo(kNotFoundQuestion, "Settings not found",
                                               MessageIcon::Information)) {
    hooks_.runSettingsWizard(wavePath);
    outcome = WaveSettingsOutcome::WizardRun;
  } else {
    readAndApply(defaultSettingsFile());
    settingsPath_.clear();
    outcome = WaveSettingsOutcome::LoadedDefaults;
  }
  hooks_.updateStatusLine();
  return outcome;
}

}  // namespace melovantis
