#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "documents/ProgramFolder.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempFolder;
using test::writeText;

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A folder as a finished installation leaves it: Private/default.set present.
void makeInstalledFolder(const fs::path& folder) {
  writeText(folder / "Private" / "default.set", "60\n");
}

// A small shipped data folder whose files the tests can tell apart.
class ProgramFolderSetup : public ::testing::Test {
 protected:
  ProgramFolderSetup() {
    writeText(shipped / "Private" / "default.set", "factory default\n");
    writeText(shipped / "Private" / "broad.set", "factory broad\n");
    writeText(shipped / "QuickSettings" / "voice.set", "factory voice\n");
    writeText(shipped / "README", "not a setting\n");
  }

  ProgramFolderSearch search() const {
    ProgramFolderSearch s;
    s.workingDirectory = root / "work";
    s.home = root / "home";
    s.shippedData = shipped;
    fs::create_directories(s.workingDirectory);
    fs::create_directories(s.home);
    return s;
  }

  TempFolder root;
  fs::path shipped = root / "shipped";
};

// ---------------------------------------------------------------------------
// Which folder

TEST_F(ProgramFolderSetup, OptionComesBeforeTheEnvironmentTheWorkingDirectoryAndHome) {
  ProgramFolderSearch s = search();
  s.option = root / "option";
  s.environment = root / "environment";
  makeInstalledFolder(s.workingDirectory);

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.path, root / "option");
  EXPECT_EQ(folder.source, ProgramFolderSource::Option);
  EXPECT_TRUE(folder.ok) << folder.problem;
}

TEST_F(ProgramFolderSetup, EnvironmentComesBeforeTheWorkingDirectoryAndHome) {
  ProgramFolderSearch s = search();
  s.environment = root / "environment";
  makeInstalledFolder(s.workingDirectory);

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.path, root / "environment");
  EXPECT_EQ(folder.source, ProgramFolderSource::Environment);
  EXPECT_TRUE(folder.ok) << folder.problem;
}

TEST_F(ProgramFolderSetup, WorkingDirectoryHoldingPrivateDefaultSetComesBeforeHome) {
  ProgramFolderSearch s = search();
  makeInstalledFolder(s.workingDirectory);

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.path, s.workingDirectory);
  EXPECT_EQ(folder.source, ProgramFolderSource::WorkingDirectory);
  EXPECT_TRUE(folder.ok);
  // Taken as it is: nothing is added to an installed folder.
  EXPECT_EQ(namesIn(s.workingDirectory), std::vector<std::string>{"Private"});
  EXPECT_FALSE(fs::exists(s.home / "Melovantis"));
}

TEST_F(ProgramFolderSetup, WorkingDirectoryIsRecognisedWhateverTheCaseOfItsNames) {
  ProgramFolderSearch s = search();
  writeText(s.workingDirectory / "PRIVATE" / "Default.Set", "60\n");

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.source, ProgramFolderSource::WorkingDirectory);
  EXPECT_EQ(folder.path, s.workingDirectory);
}

TEST_F(ProgramFolderSetup, WorkingDirectoryWithoutDefaultSetGivesMelovantisInHome) {
  ProgramFolderSearch s = search();
  writeText(s.workingDirectory / "Private" / "broad.set", "60\n");  // not enough

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.path, s.home / "Melovantis");
  EXPECT_EQ(folder.source, ProgramFolderSource::Home);
  EXPECT_TRUE(folder.ok) << folder.problem;
  EXPECT_EQ(readText(s.home / "Melovantis" / "Private" / "default.set"), "factory default\n");
}

TEST_F(ProgramFolderSetup, EmptyOptionAndEnvironmentCountAsNotGiven) {
  ProgramFolderSearch s = search();
  s.option = "";
  s.environment = "";
  EXPECT_EQ(locateProgramFolder(s).source, ProgramFolderSource::Home);
}

TEST_F(ProgramFolderSetup, RelativeNamesAreTakenFromTheWorkingDirectory) {
  ProgramFolderSearch s = search();
  s.option = "mine";
  EXPECT_EQ(locateProgramFolder(s).path, s.workingDirectory / "mine");

  s.option.clear();
  s.environment = "../elsewhere";
  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_EQ(folder.path, s.workingDirectory / "../elsewhere");
  EXPECT_TRUE(fs::is_directory(root / "elsewhere" / "Settings"));
}

TEST_F(ProgramFolderSetup, NamedFoldersAreSetUpLikeHome) {
  ProgramFolderSearch s = search();
  s.option = root / "new" / "folder";
  const ProgramFolder folder = locateProgramFolder(s);
  ASSERT_TRUE(folder.ok) << folder.problem;
  EXPECT_EQ(readText(folder.path / "QuickSettings" / "voice.set"), "factory voice\n");
}

TEST_F(ProgramFolderSetup, NoHomeFolderIsReportedWithoutAPath) {
  ProgramFolderSearch s = search();
  s.home.clear();
  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_FALSE(folder.ok);
  EXPECT_TRUE(folder.path.empty());
  EXPECT_FALSE(folder.problem.empty());
}

TEST(ProgramFolderEnvironment, SearchReadsTheVariableTheWorkingDirectoryAndHome) {
  TempFolder root;
  const char* oldHome = std::getenv("HOME");
  const std::optional<std::string> savedHome =
      oldHome != nullptr ? std::optional<std::string>(oldHome) : std::nullopt;
  ::setenv("MELOVANTIS_HOME", (root / "from-variable").c_str(), 1);
  ::setenv("HOME", (root / "home").c_str(), 1);

  const ProgramFolderSearch s = programFolderSearchFromEnvironment("opt", root / "data");

  ::unsetenv("MELOVANTIS_HOME");
  if (savedHome) {
    ::setenv("HOME", savedHome->c_str(), 1);
  } else {
    ::unsetenv("HOME");
  }
  EXPECT_EQ(s.option, "opt");
  EXPECT_EQ(s.environment, root / "from-variable");
  EXPECT_EQ(s.workingDirectory, fs::current_path());
  EXPECT_EQ(s.home, root / "home");
  EXPECT_EQ(s.shippedData, root / "data");
}

TEST(ProgramFolderEnvironment, UnsetVariableLeavesTheEnvironmentChoiceEmpty) {
  ::unsetenv("MELOVANTIS_HOME");
  EXPECT_TRUE(programFolderSearchFromEnvironment({}, {}).environment.empty());
}

// ---------------------------------------------------------------------------
// Names without regard to case

TEST(FindDataFolder, FindsAFolderWhateverTheCaseOfItsName) {
  TempFolder root;
  fs::create_directories(root / "settings");
  EXPECT_EQ(findDataFolder(root.path(), "Settings"), root / "settings");
  EXPECT_EQ(findDataFolder(root.path(), "SETTINGS"), root / "settings");
}

TEST(FindDataFolder, PrefersTheExactSpellingWhenSeveralExist) {
  TempFolder root;
  fs::create_directories(root / "settings");
  fs::create_directories(root / "Settings");
  fs::create_directories(root / "SETTINGS");
  EXPECT_EQ(findDataFolder(root.path(), "Settings"), root / "Settings");
  // Without an exact match the choice is fixed, not the directory's order.
  EXPECT_EQ(findDataFolder(root.path(), "sETTINGS"), root / "SETTINGS");
}

TEST(FindDataFolder, GivesTheNameAsWrittenWhenNoFolderExists) {
  TempFolder root;
  EXPECT_EQ(findDataFolder(root.path(), "QuickSettings"), root / "QuickSettings");
  EXPECT_EQ(findDataFolder(root / "missing", "Settings"), root / "missing" / "Settings");
}

TEST(FindDataFolder, IgnoresAFileOfTheSameName) {
  TempFolder root;
  writeText(root / "settings", "a file\n");
  EXPECT_EQ(findDataFolder(root.path(), "Settings"), root / "Settings");
}

TEST(FindDataFolder, MatchesEveryPartOfANestedName) {
  TempFolder root;
  fs::create_directories(root / "WAVE FILES" / "pcm");
  EXPECT_EQ(findDataFolder(root.path(), "Wave files/PCM"), root / "WAVE FILES" / "pcm");
  fs::remove(root / "WAVE FILES" / "pcm");
  EXPECT_EQ(findDataFolder(root.path(), "Wave files/PCM"), root / "WAVE FILES" / "PCM");
}

TEST(FindDataFile, FindsAFileWhateverTheCaseOfItsName) {
  TempFolder root;
  writeText(root / "Default.SET", "60\n");
  EXPECT_EQ(findDataFile(root.path(), "default.set"), root / "Default.SET");
  EXPECT_EQ(findDataFile(root.path(), "startup.set"), root / "startup.set");
}

TEST(FindDataFile, IgnoresAFolderOfTheSameName) {
  TempFolder root;
  fs::create_directories(root / "Voice.set");
  EXPECT_EQ(findDataFile(root.path(), "voice.set"), root / "voice.set");
}

TEST(SameNameIgnoringCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(sameNameIgnoringCase("QuickSettings", "quicksettings"));
  EXPECT_FALSE(sameNameIgnoringCase("Settings", "Setting"));
  EXPECT_FALSE(sameNameIgnoringCase("a[", "A{"));  // '[' and '{' are 32 apart, not letters
  EXPECT_TRUE(sameNameIgnoringCase("", ""));
}

// ---------------------------------------------------------------------------
// Setting up a folder

TEST_F(ProgramFolderSetup, SeedingCreatesEveryDataFolder) {
  const fs::path folder = root / "fresh";
  const SeedResult result = seedProgramFolder(folder, shipped);
  ASSERT_TRUE(result.ok) << result.problem;
  for (const char* name : {"Private", "QuickSettings", "Settings", "Wave files", "Wave files/PCM",
                           "MIDI files", "Melovantis files"}) {
    EXPECT_TRUE(fs::is_directory(folder / name)) << name;
  }
}

TEST_F(ProgramFolderSetup, SeedingCopiesTheFactoryFilesButNoLooseFiles) {
  const fs::path folder = root / "fresh";
  ASSERT_TRUE(seedProgramFolder(folder, shipped).ok);
  EXPECT_EQ(readText(folder / "Private" / "default.set"), "factory default\n");
  EXPECT_EQ(readText(folder / "Private" / "broad.set"), "factory broad\n");
  EXPECT_EQ(readText(folder / "QuickSettings" / "voice.set"), "factory voice\n");
  EXPECT_FALSE(fs::exists(folder / "README"));
  // No temporary copy is left behind.
  EXPECT_EQ(namesIn(folder / "Private"), (std::vector<std::string>{"broad.set", "default.set"}));
}

TEST_F(ProgramFolderSetup, SeedingNeverOverwritesWhatTheUserHas) {
  const fs::path folder = root / "used";
  writeText(folder / "Private" / "default.set", "user default\n");
  writeText(folder / "quicksettings" / "VOICE.set", "user voice\n");
  fs::create_directories(folder / "settings");

  const SeedResult result = seedProgramFolder(folder, shipped);
  ASSERT_TRUE(result.ok) << result.problem;
  EXPECT_EQ(readText(folder / "Private" / "default.set"), "user default\n");
  EXPECT_EQ(readText(folder / "Private" / "broad.set"), "factory broad\n");
  // The existing spellings are used, not doubled.
  EXPECT_EQ(namesIn(folder / "quicksettings"), std::vector<std::string>{"VOICE.set"});
  EXPECT_EQ(readText(folder / "quicksettings" / "VOICE.set"), "user voice\n");
  EXPECT_FALSE(fs::exists(folder / "QuickSettings"));
  EXPECT_FALSE(fs::exists(folder / "Settings"));
}

TEST_F(ProgramFolderSetup, SeedingTwiceChangesNothingTheSecondTime) {
  const fs::path folder = root / "fresh";
  ASSERT_TRUE(seedProgramFolder(folder, shipped).ok);
  writeText(folder / "Private" / "default.set", "edited\n");
  const SeedResult again = seedProgramFolder(folder, shipped);
  EXPECT_TRUE(again.ok) << again.problem;
  EXPECT_EQ(readText(folder / "Private" / "default.set"), "edited\n");
}

TEST_F(ProgramFolderSetup, SeedingCopiesEveryShippedFactoryFile) {
  const fs::path data = MELOVANTIS_DATA_DIR;
  const fs::path folder = root / "fresh";
  ASSERT_TRUE(seedProgramFolder(folder, data).ok);
  int copied = 0;
  for (const auto& entry : fs::recursive_directory_iterator(data)) {
    if (entry.is_regular_file() && entry.path().parent_path() != data) {
      const fs::path relative = fs::relative(entry.path(), data);
      EXPECT_EQ(readText(folder / relative), readText(entry.path())) << relative;
      ++copied;
    }
  }
  EXPECT_GE(copied, 3 + 8);  // three private files and the quick settings presets
}

TEST_F(ProgramFolderSetup, UnwritableHomeIsReportedWithoutACrash) {
  ProgramFolderSearch s = search();
  // Running as root, permissions stop nothing; a path through a regular file does.
  writeText(root / "not-a-folder", "plain file\n");
  s.home = root / "not-a-folder";

  const ProgramFolder folder = locateProgramFolder(s);
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.source, ProgramFolderSource::Home);
  EXPECT_EQ(folder.path, root / "not-a-folder" / "Melovantis");
  EXPECT_NE(folder.problem.find((root / "not-a-folder" / "Melovantis").string()), std::string::npos)
      << folder.problem;
  EXPECT_EQ(readText(root / "not-a-folder"), "plain file\n");
}

TEST_F(ProgramFolderSetup, DataFolderThatCannotBeMadeIsReportedAndTheRestIsSetUp) {
  const fs::path folder = root / "partly";
  writeText(folder / "MIDI files", "a file where a folder belongs\n");
  const SeedResult result = seedProgramFolder(folder, shipped);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.problem.find("MIDI files"), std::string::npos) << result.problem;
  EXPECT_TRUE(fs::is_directory(folder / "Melovantis files"));
  EXPECT_EQ(readText(folder / "Private" / "default.set"), "factory default\n");
}

TEST_F(ProgramFolderSetup, MissingFactoryFilesAreReportedAfterTheFoldersAreMade) {
  const fs::path folder = root / "fresh";
  const SeedResult result = seedProgramFolder(folder, root / "no-such-data");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.problem.find("no-such-data"), std::string::npos) << result.problem;
  EXPECT_TRUE(fs::is_directory(folder / "Settings"));
}

}  // namespace
}  // namespace melovantis
