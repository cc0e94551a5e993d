#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace melovantis {

// The program folder holds the data folders every file command works in
// ("Settings", "QuickSettings", "Private", "Wave files/PCM", "MIDI files",
// "Melovantis files"). Folder and file names inside it are matched without
// regard to case, so a folder spelled "settings" is the Settings folder.

// The environment variable that names the program folder.
inline constexpr const char* kProgramFolderVariable = "MELOVANTIS_HOME";

// The folder made in the user's home when nothing else names one.
inline constexpr std::string_view kHomeProgramFolderName = "Melovantis";

// The data folders a program folder is given when it is set up.
inline constexpr std::array<std::string_view, 6> kDataFolderNames = {
    "Private", "QuickSettings", "Settings", "Wave files/PCM", "MIDI files", "Melovantis files"};

// Where the program folder came from, in the order the candidates are tried.
enum class ProgramFolderSource { Option, Environment, WorkingDirectory, Home };

// Everything the choice depends on; empty paths count as not given.
struct ProgramFolderSearch {
  std::filesystem::path option;            // --program-folder
  std::filesystem::path environment;       // MELOVANTIS_HOME
  std::filesystem::path workingDirectory;  // relative paths above are taken from here
  std::filesystem::path home;              // $HOME
  std::filesystem::path shippedData;       // the factory files: Private/, QuickSettings/
};

struct ProgramFolder {
  std::filesystem::path path;  // empty only when there is no home folder to use
  ProgramFolderSource source = ProgramFolderSource::Home;
  bool ok = true;       // false when the folder could not be set up completely
  std::string problem;  // what went wrong, for the caller to show or ignore
};

struct SeedResult {
  bool ok = true;
  std::string problem;  // the first failure
};

// The search as this process sees it: MELOVANTIS_HOME, the working directory
// and $HOME (or the password entry's home when $HOME is unset).
ProgramFolderSearch programFolderSearchFromEnvironment(std::filesystem::path option,
                                                       std::filesystem::path shippedData);

// Picks the program folder: the option, else the environment variable, else
// the working directory when it holds Private/default.set, else ~/Melovantis.
// A folder named by the option, the environment or the home is set up with
// seedProgramFolder; a working directory is taken as it is, since it already
// holds the factory settings. Never fails hard: the result says what went wrong.
ProgramFolder locateProgramFolder(const ProgramFolderSearch& search);

// Creates the folder and its data folders where missing and copies in every
// factory file from the shipped data folder's subfolders that the user does
// not have yet (by name, without regard to case). Existing files are never
// overwritten. Carries on after a failure so as much as possible is usable.
SeedResult seedProgramFolder(const std::filesystem::path& folder,
                             const std::filesystem::path& shippedData);

// The folder `name` (one name, or several joined by '/') under `parent`, in
// the spelling it exists in: an exact match first, else the first of the
// names equal without regard to case. Where none exists, parent / name.
std::filesystem::path findDataFolder(const std::filesystem::path& parent,
                                     const std::filesystem::path& name);

// The same for a file (anything but a folder) inside `folder`.
std::filesystem::path findDataFile(const std::filesystem::path& folder,
                                   const std::filesystem::path& name);

// True when `path` names something that exists and is no folder (a symbolic
// link counts as what it points to); a path that cannot be examined is none.
bool isExistingFile(const std::filesystem::path& path);

// Equal names without regard to the case of ASCII letters.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

// An ASCII capital letter in lower case, every other byte as it is, so names
// beyond ASCII compare byte for byte.
char foldedAscii(char c);

}  // namespace melovantis
