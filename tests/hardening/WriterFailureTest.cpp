// Every writer (MIDI, project, settings) under every failure we can make
// happen: a read-only folder, a disk that is already full, a disk that fills
// up halfway through the file, a folder that is not there, a folder standing
// in the file's place; and a save through a symbolic link. Each time the file
// the user had must survive byte for byte, no temporary file may be left
// behind, the user must see the program's own message, and the caller must get
// the system's reason.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/StandardMidiCheck.h"
#include "midi/MidiFileWriter.h"
#include "support/RecordingNotifier.h"
#include "support/SmallFileSystem.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;
using test::SmallFileSystem;
using test::TempFolder;
using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// What the user's old file holds before each attempt: recognisably not ours.
const Bytes kOldContents = {'o', 'l', 'd', ' ', 'w', 'o', 'r', 'k', '\n'};

// One writer of the program, with the content it writes and the text it shows on failure.
struct WriterCase {
  std::string name;
  std::string message;
  std::function<bool(const std::filesystem::path&, Notifier&, std::string*)> write;
};

// A table big enough to outgrow a small disk: a slow vibrato with a changing
// volume, so that nearly every frame gives MIDI messages.
void fillLargeTable(AnalysisEngine& engine, int rows) {
  engine.reserveRows(rows);
  engine.frameCount = rows;
  for (int i = 0; i < rows; ++i) {
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    row.pitch = i % 50 == 49 ? kNoPitch : 60.0 + 0.01 * (i % 40);
    row.volume = static_cast<std::uint8_t>(40 + i % 60);
    row.brightness = static_cast<std::uint8_t>(20 + i % 30);
  }
}

void PrintTo(const WriterCase& writer, std::ostream* os) { *os << writer.name; }

class WriterFailure : public ::testing::TestWithParam<WriterCase> {
 protected:
  // The attempt that must fail: the old file stays, nothing is left beside it,
  // the program's message is shown once and the system's reason is returned.
  void expectRefusedKeepingOldFile(const std::filesystem::path& target,
                                   const std::string& expectedReason) {
    const std::set<std::string> before = namesIn(target.parent_path());
    RecordingNotifier notifier;
    std::string reason;

    EXPECT_FALSE(GetParam().write(target, notifier, &reason));

    ASSERT_EQ(notifier.entries.size(), 1u);
    EXPECT_EQ(notifier.entries[0].text, GetParam().message);
    EXPECT_EQ(notifier.entries[0].caption, "Error");
    EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
    EXPECT_FALSE(notifier.entries[0].question);
    EXPECT_EQ(reason, expectedReason);
    EXPECT_EQ(readAll(target), kOldContents);
    EXPECT_EQ(namesIn(target.parent_path()), before) << "no temporary file may be left behind";
  }
};

TEST_P(WriterFailure, ReadOnlyFolderKeepsTheOldFileAndSaysWhy) {
  SmallFileSystem disk(1024 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const std::filesystem::path target = disk / "mine";
  test::writeBytes(target, kOldContents);
  // Tests run as root, whom file modes do not stop; a read-only mount does.
  if (::mount("tmpfs", disk.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    GTEST_SKIP() << "cannot remount read-only here: " << std::strerror(errno);
  }
  expectRefusedKeepingOldFile(target, std::strerror(EROFS));
}

TEST_P(WriterFailure, FullDiskKeepsTheOldFileAndSaysWhy) {
  SmallFileSystem disk(64 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const std::filesystem::path target = disk / "mine";
  test::writeBytes(target, kOldContents);
  disk.fill();
  expectRefusedKeepingOldFile(target, std::strerror(ENOSPC));
}

// The writers whose files outgrow a small disk (a settings file fits in any
// page the disk has left).
class LargeWriterFailure : public WriterFailure {};

TEST_P(LargeWriterFailure, DiskThatFillsUpHalfwayKeepsTheOldFileAndSaysWhy) {
  SmallFileSystem disk(128 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const std::filesystem::path target = disk / "mine";
  test::writeBytes(target, kOldContents);
  expectRefusedKeepingOldFile(target, std::strerror(ENOSPC));
}

TEST_P(WriterFailure, SpaceMadeAfterAFullDiskLetsTheNextSaveSucceed) {
  SmallFileSystem disk(4 * 1024 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const std::filesystem::path target = disk / "mine";
  test::writeBytes(target, kOldContents);
  disk.fill();
  RecordingNotifier notifier;
  EXPECT_FALSE(GetParam().write(target, notifier, nullptr));
  std::filesystem::remove(disk / "filler");

  EXPECT_TRUE(GetParam().write(target, notifier, nullptr));
  EXPECT_EQ(notifier.entries.size(), 1u) << "only the first attempt may complain";
  EXPECT_NE(readAll(target), kOldContents);
  EXPECT_EQ(namesIn(disk.path()), std::set<std::string>{"mine"});
}

TEST_P(WriterFailure, MissingFolderCreatesNothingAndSaysWhy) {
  TempFolder folder;
  RecordingNotifier notifier;
  std::string reason;
  EXPECT_FALSE(GetParam().write(folder / "not there" / "mine", notifier, &reason));
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, GetParam().message);
  EXPECT_EQ(reason, std::strerror(ENOENT));
  EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST_P(WriterFailure, FolderInTheFilesPlaceIsLeftAsItWas) {
  TempFolder folder;
  const std::filesystem::path target = folder / "mine";
  std::filesystem::create_directory(target);
  test::writeBytes(target / "inside", kOldContents);
  RecordingNotifier notifier;
  std::string reason;
  EXPECT_FALSE(GetParam().write(target, notifier, &reason));
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, GetParam().message);
  EXPECT_EQ(reason, std::strerror(EISDIR));
  EXPECT_EQ(readAll(target / "inside"), kOldContents);
  EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"mine"});
}

TEST_P(WriterFailure, SuccessfulSaveReplacesTheOldFileWhole) {
  TempFolder folder;
  const std::filesystem::path target = folder / "mine";
  // Longer than anything written here, and of a byte none of the writers writes.
  test::writeBytes(target, Bytes(2'000'000, 0xFE));
  RecordingNotifier notifier;
  std::string reason = "untouched";
  EXPECT_TRUE(GetParam().write(target, notifier, &reason));
  EXPECT_TRUE(notifier.entries.empty());
  EXPECT_EQ(reason, "untouched");
  const Bytes written = readAll(target);
  EXPECT_LT(written.size(), 2'000'000u);
  EXPECT_EQ(std::count(written.begin(), written.end(), 0xFE), 0);
  EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"mine"});
}

TEST_P(WriterFailure, SaveThroughASymbolicLinkWritesTheFileItNames) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "elsewhere");
  const std::filesystem::path real = folder / "elsewhere" / "mine";
  const std::filesystem::path link = folder / "link";
  test::writeBytes(real, kOldContents);
  std::filesystem::create_symlink(real, link);
  RecordingNotifier notifier;
  EXPECT_TRUE(GetParam().write(link, notifier, nullptr));
  EXPECT_TRUE(notifier.entries.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the user's link must stay a link";
  EXPECT_NE(readAll(real), kOldContents);
  EXPECT_EQ(readAll(link), readAll(real));
  EXPECT_EQ(namesIn(folder / "elsewhere"), std::set<std::string>{"mine"});
}

// Each writer gets its own engine with a large table; the engines live as long as the test program.
AnalysisEngine& largeEngine() {
  static RecordingNotifier notifier;
  static AnalysisEngine engine(notifier);
  static const bool filled = (fillLargeTable(engine, 40000), true);
  (void)filled;
  return engine;
}

const WriterCase kWriters[] = {
    {"MidiFile", "File error!",
     [](const std::filesystem::path& path, Notifier& notifier, std::string* reason) {
       AnalysisEngine& engine = largeEngine();
       const bool ok = writeMidiFile(engine, path, notifier, reason);
       if (ok) {
         EXPECT_EQ(fuzz::checkStandardMidiFile(readAll(path)), "");
       }
       return ok;
     }},
    {"ProjectFile", "File error!",
     [](const std::filesystem::path& path, Notifier& notifier, std::string* reason) {
       return writeProjectFile(largeEngine(), path, notifier, reason);
     }},
    {"SettingsFile", "Error saving file",
     [](const std::filesystem::path& path, Notifier& notifier, std::string* reason) {
       return writeSettingsFile(path, SettingsRecord{}, notifier, reason);
     }},
};

std::string writerName(const ::testing::TestParamInfo<WriterCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriterFailure, ::testing::ValuesIn(kWriters), writerName);
INSTANTIATE_TEST_SUITE_P(MidiAndProjectWriters, LargeWriterFailure,
                         ::testing::Values(kWriters[0], kWriters[1]), writerName);

}  // namespace
}  // namespace melovantis
