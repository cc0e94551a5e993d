#include "documents/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "support/RecordingNotifier.h"
#include "support/SmallFileSystem.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;
using test::SmallFileSystem;
using test::readText;
using test::TempFolder;
using test::writeText;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

std::vector<std::int32_t> fieldsOf(const SettingsRecord& record) {
  std::vector<std::int32_t> fields;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    fields.push_back(record.field(k));
  }
  return fields;
}

// A record whose every field differs from the file defaults and from 1..20,
// so a test sees exactly which fields a read touched.
SettingsRecord distinctRecord() {
  SettingsRecord record;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = 1000 + k;
  }
  return record;
}

const std::vector<std::int32_t> kLaterDefaults = {1, 101, 15, 1, 20, 7, 0};

TEST(SettingsRecord, IndexedFieldsFollowTheFileOrder) {
  SettingsRecord record;
  record.timeResolutionMs = 11;
  record.midiChannel = 66;
  record.highestNoteMarkX = 1010;
  record.pitchResolutionBoost = 2020;
  EXPECT_EQ(record.field(0), 11);
  EXPECT_EQ(record.field(5), 66);
  EXPECT_EQ(record.field(9), 1010);
  EXPECT_EQ(record.field(19), 2020);

  record.field(1) = 22;
  record.field(12) = 1313;
  record.field(13) = 1414;
  record.field(18) = 1919;
  EXPECT_EQ(record.harmonicThreshold, 22);
  EXPECT_EQ(record.brightnessController, 1313);
  EXPECT_EQ(record.sendTempo, 1414);
  EXPECT_EQ(record.volumeController, 1919);
}

TEST(SettingsRecord, EveryIndexReachesADifferentField) {
  SettingsRecord record;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = -1;
  }
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = k;
    for (int j = 0; j < SettingsRecord::kFieldCount; ++j) {
      EXPECT_EQ(record.field(j), j <= k ? j : -1) << "after writing field " << k;
    }
  }
}

TEST(ReadSettingsFile, ThirteenLineFileSetsTheFirstThirteenAndDefaultsTheRest) {
  TempFolder folder;
  writeText(folder / "old.set", "20\n35\n0\n1\n2\n16\n40\n76\n460\n890\n128\n12\n74\n");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "old.set", record));

  std::vector<std::int32_t> expected = {20, 35, 0, 1, 2, 16, 40, 76, 460, 890, 128, 12, 74};
  expected.insert(expected.end(), kLaterDefaults.begin(), kLaterDefaults.end());
  EXPECT_EQ(fieldsOf(record), expected);
}

TEST(ReadSettingsFile, EmptyFileKeepsTheFirstThirteenAndSetsTheSevenDefaults) {
  TempFolder folder;
  writeText(folder / "empty.set", "");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "empty.set", record));

  std::vector<std::int32_t> expected = fieldsOf(distinctRecord());
  std::copy(kLaterDefaults.begin(), kLaterDefaults.end(), expected.begin() + 13);
  EXPECT_EQ(fieldsOf(record), expected);
}

TEST(ReadSettingsFile, MissingFileChangesNothingAndReturnsFalse) {
  TempFolder folder;
  SettingsRecord record = distinctRecord();

  EXPECT_FALSE(readSettingsFile(folder / "missing.set", record));
  EXPECT_FALSE(readSettingsFile(folder / "no folder" / "x.set", record));
  EXPECT_EQ(record, distinctRecord());
}

TEST(ReadSettingsFile, FolderInPlaceOfAFileChangesNothingAndReturnsFalse) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "folder.set");
  SettingsRecord record = distinctRecord();

  EXPECT_FALSE(readSettingsFile(folder / "folder.set", record));
  EXPECT_EQ(record, distinctRecord());
}

TEST(ReadSettingsFile, ReadingStopsAtTheFirstTextThatIsNoNumber) {
  TempFolder folder;
  writeText(folder / "words.set", "60\n25\nabc\n1\n1\n");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "words.set", record));

  EXPECT_EQ(record.timeResolutionMs, 60);
  EXPECT_EQ(record.harmonicThreshold, 25);
  EXPECT_EQ(record.sendBrightness, 1002);  // "abc" ends the reading
  EXPECT_EQ(record.sendVolume, 1003);
  EXPECT_EQ(record.sendTempo, 1);  // the later defaults were set before reading
}

TEST(ReadSettingsFile, NumberFollowedByTextKeepsTheNumberAndStops) {
  TempFolder folder;
  writeText(folder / "glued.set", "60\n25ms\n7\n");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "glued.set", record));

  EXPECT_EQ(record.timeResolutionMs, 60);
  EXPECT_EQ(record.harmonicThreshold, 25);
  EXPECT_EQ(record.sendBrightness, 1002);
}

TEST(ReadSettingsFile, SignWithoutDigitsIsNoNumber) {
  TempFolder folder;
  writeText(folder / "sign.set", "60\n- 5\n");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "sign.set", record));

  EXPECT_EQ(record.timeResolutionMs, 60);
  EXPECT_EQ(record.harmonicThreshold, 1001);
}

TEST(ReadSettingsFile, AnyWhitespaceSeparatesAndSignsAreRead) {
  TempFolder folder;
  // Line ends of a file made on Windows, spaces, tabs and explicit signs.
  writeText(folder / "mixed.set", "  +60\r\n-3\t\t7 \r\n\r\n\v\f0\n");
  SettingsRecord record = distinctRecord();

  ASSERT_TRUE(readSettingsFile(folder / "mixed.set", record));

  EXPECT_EQ(record.timeResolutionMs, 60);
  EXPECT_EQ(record.harmonicThreshold, -3);
  EXPECT_EQ(record.sendBrightness, 7);
  EXPECT_EQ(record.sendVolume, 0);
  EXPECT_EQ(record.timeResolutionBoost, 1004);
}

TEST(ReadSettingsFile, ReadsAtMostTwentyNumbers) {
  TempFolder folder;
  std::string text;
  for (int k = 1; k <= 25; ++k) {
    text += std::to_string(k) + "\n";
  }
  writeText(folder / "long.set", text);
  SettingsRecord record;

  ASSERT_TRUE(readSettingsFile(folder / "long.set", record));

  std::vector<std::int32_t> expected;
  for (int k = 1; k <= 20; ++k) {
    expected.push_back(k);
  }
  EXPECT_EQ(fieldsOf(record), expected);
}

TEST(ReadSettingsFile, NumbersBeyondThirtyTwoBitsAreClampedToTheRange) {
  TempFolder folder;
  writeText(folder / "huge.set",
            "2147483647\n-2147483648\n2147483648\n-2147483649\n99999999999999999999\n"
            "-99999999999999999999\n" +
                std::string(5000, '9') + "\n-" + std::string(5000, '9') + "\n000000000000042\n");
  SettingsRecord record;

  ASSERT_TRUE(readSettingsFile(folder / "huge.set", record));

  EXPECT_EQ(record.field(0), kInt32Max);
  EXPECT_EQ(record.field(1), kInt32Min);
  EXPECT_EQ(record.field(2), kInt32Max);
  EXPECT_EQ(record.field(3), kInt32Min);
  EXPECT_EQ(record.field(4), kInt32Max);
  EXPECT_EQ(record.field(5), kInt32Min);
  EXPECT_EQ(record.field(6), kInt32Max);
  EXPECT_EQ(record.field(7), kInt32Min);
  EXPECT_EQ(record.field(8), 42);  // leading zeros are no overflow
}

TEST(WriteSettingsFile, WritesTwentyLinesInFieldOrder) {
  TempFolder folder;
  SettingsRecord record;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    record.field(k) = (k + 1) * 10;
  }
  RecordingNotifier notifier;

  ASSERT_TRUE(writeSettingsFile(folder / "out.set", record, notifier));

  EXPECT_EQ(readText(folder / "out.set"),
            "10\n20\n30\n40\n50\n60\n70\n80\n90\n100\n110\n120\n130\n140\n150\n160\n170\n180\n"
            "190\n200\n");
  EXPECT_TRUE(notifier.entries.empty());
}

TEST(WriteSettingsFile, WriteThenReadGivesTheSameTwentyNumbersNegativesIncluded) {
  TempFolder folder;
  SettingsRecord written;
  for (int k = 0; k < SettingsRecord::kFieldCount; ++k) {
    written.field(k) = (k % 2 == 0 ? -1 : 1) * (k * 37 + 1);
  }
  written.field(3) = kInt32Min;
  written.field(4) = kInt32Max;
  written.field(5) = 0;
  RecordingNotifier notifier;
  ASSERT_TRUE(writeSettingsFile(folder / "round.set", written, notifier));

  SettingsRecord read = distinctRecord();
  ASSERT_TRUE(readSettingsFile(folder / "round.set", read));

  EXPECT_EQ(fieldsOf(read), fieldsOf(written));
}

TEST(WriteSettingsFile, ReplacesAnOldFileWholeAndLeavesNoTemporaryFile) {
  TempFolder folder;
  writeText(folder / "old.set", std::string(500, '7') + "\n");
  SettingsRecord record;
  RecordingNotifier notifier;

  ASSERT_TRUE(writeSettingsFile(folder / "old.set", record, notifier));

  SettingsRecord read = distinctRecord();
  ASSERT_TRUE(readSettingsFile(folder / "old.set", read));
  EXPECT_EQ(read, record);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(WriteSettingsFile, FolderThatDoesNotExistSaysErrorSavingFile) {
  TempFolder folder;
  RecordingNotifier notifier;

  EXPECT_FALSE(writeSettingsFile(folder / "no folder" / "x.set", SettingsRecord{}, notifier));

  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Error saving file");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_FALSE(notifier.entries[0].question);
  EXPECT_FALSE(std::filesystem::exists(folder / "no folder"));
}

TEST(WriteSettingsFile, FailedWriteLeavesWhatWasThereUntouched) {
  // Tests may run as root, who can write anywhere; a folder in the target's
  // place makes the final replace fail for everyone.
  TempFolder folder;
  std::filesystem::create_directory(folder / "taken.set");
  writeText(folder / "taken.set" / "keep.txt", "keep me");
  RecordingNotifier notifier;

  EXPECT_FALSE(writeSettingsFile(folder / "taken.set", SettingsRecord{}, notifier));

  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Error saving file");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.set"));
  EXPECT_EQ(readText(folder / "taken.set" / "keep.txt"), "keep me");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++files;
  }
  EXPECT_EQ(files, 1) << "the temporary file must be gone";
}

TEST(WriteSettingsFile, FullDiskLeavesAnOldFileIntact) {
  SmallFileSystem disk(64 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const std::filesystem::path target = disk / "mine.set";
  writeText(target, "60\n15\n");
  disk.fill();
  RecordingNotifier notifier;

  EXPECT_FALSE(writeSettingsFile(target, SettingsRecord{}, notifier));

  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Error saving file");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_EQ(readText(target), "60\n15\n");
}

TEST(WriteSettingsFile, TargetWithTheLongestNameAllowedCanBeReplaced) {
  TempFolder folder;
  const std::filesystem::path target = folder / (std::string(251, 'a') + ".set");
  writeText(target, "60\n15\n");
  RecordingNotifier notifier;
  EXPECT_TRUE(writeSettingsFile(target, SettingsRecord{}, notifier));
  EXPECT_TRUE(notifier.entries.empty());
}

}  // namespace
}  // namespace melovantis
