#include <gtest/gtest.h>


#include "documents/ProjectFile.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::readText;
using test::writeText;

class ProjectFile : public ::testing::Test {
 protected:
  void fill(const std::vector<FrameRecord>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    std::copy(rows.begin(), rows.end(), engine.frames.begin());
    engine.frameCount = static_cast<int>(rows.size());
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(ProjectFile, WritesTheCountThenTabSeparatedRowsWithSixDecimals) {
  fill({{60.1234567, 0, 90, 11, 1}, {kNoPitch, 0, 0, 0, 0}, {0.0, 0, 127, 127, 0}});
  const auto path = dir / "song.mvt";
  ASSERT_TRUE(writeProjectFile(engine, path, notifier));
  EXPECT_EQ(readText(path), "3\n60.123457\t90\t11\n-1000.000000\t0\t0\n0.000000\t127\t127\n");
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(ProjectFile, RoundTripKeepsEveryRowToSixDecimalsAndClearsAttacks) {
  fill({{60.1234567, 0, 90, 11, 1}, {kNoPitch, 0, 5, 6, 1}, {127.0, 0, 127, 0, 1}});
  const auto path = dir / "song.mvt";
  ASSERT_TRUE(writeProjectFile(engine, path, notifier));

  AnalysisEngine loaded(notifier);
  ASSERT_TRUE(readProjectFile(loaded, path, notifier));
  ASSERT_EQ(loaded.frameCount, 3);
  EXPECT_NEAR(loaded.frames[0].pitch, 60.1234567, 5e-7);
  EXPECT_EQ(loaded.frames[1].pitch, kNoPitch);  // exactly, not approximately
  EXPECT_EQ(loaded.frames[2].pitch, 127.0);
  EXPECT_EQ(loaded.frames[0].volume, 90);
  EXPECT_EQ(loaded.frames[0].brightness, 11);
  EXPECT_EQ(loaded.frames[1].volume, 5);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(loaded.frames[i].attack, 0);
  }
}

TEST_F(ProjectFile, EmptyTableIsTheSingleLineZero) {
  engine.frameCount = 0;
  const auto path = dir / "empty.mvt";
  ASSERT_TRUE(writeProjectFile(engine, path, notifier));
  EXPECT_EQ(readText(path), "0\n");

  fill({{60, 0, 1, 1, 0}});
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frameCount, 0);
}

TEST_F(ProjectFile, ReadsAnyWhiteSpaceAndWindowsLineEnds) {
  const auto path = dir / "crlf.mvt";
  writeText(path, "2\r\n  61.5 \t 70   12\r\n-1000.000000\n0 0\r\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  ASSERT_EQ(engine.frameCount, 2);
  EXPECT_EQ(engine.frames[0].pitch, 61.5);
  EXPECT_EQ(engine.frames[0].volume, 70);
  EXPECT_EQ(engine.frames[1].pitch, kNoPitch);
}

TEST_F(ProjectFile, ShortFileTakesTheCountAndKeepsTheRowsItDoesNotSupply) {
  fill({{50, 0, 1, 1, 0}, {51, 0, 2, 2, 0}, {52, 0, 3, 3, 0}, {53, 0, 4, 4, 0}});
  const auto path = dir / "short.mvt";
  writeText(path, "4\n70.000000\t9\t9\n71.0 8");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frameCount, 4);
  EXPECT_EQ(engine.frames[0].pitch, 70.0);
  EXPECT_EQ(engine.frames[1].pitch, 71.0);
  EXPECT_EQ(engine.frames[1].volume, 8);
  EXPECT_EQ(engine.frames[1].brightness, 2);  // not in the file
  EXPECT_EQ(engine.frames[2].pitch, 52.0);
  EXPECT_EQ(engine.frames[3].pitch, 53.0);
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(ProjectFile, VolumeAndBrightnessKeepTheirLowEightBits) {
  const auto path = dir / "wide.mvt";
  writeText(path, "1\n60.0 300 -1\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].volume, 300 & 0xFF);
  EXPECT_EQ(engine.frames[0].brightness, 255);
}

TEST_F(ProjectFile, HostileCountsAndMissingFilesLeaveTheTableAlone) {
  fill({{60, 0, 1, 1, 0}, {61, 0, 1, 1, 0}});
  const std::string hostile[] = {"-1\n",
                                 "-2147483648\n",
                                 "99999999999999999999999\n",
                                 "12700801\n",  // one row more than a day at a 300-sample hop
                                 "",
                                 "hello\n"};
  for (const std::string& text : hostile) {
    const auto path = dir / "bad.mvt";
    writeText(path, text);
    notifier.entries.clear();
    EXPECT_FALSE(readProjectFile(engine, path, notifier)) << text;
    ASSERT_EQ(notifier.entries.size(), 1u) << text;
    EXPECT_EQ(notifier.entries[0].text, "Cannot open Melovantis file!");
    EXPECT_EQ(engine.frameCount, 2);
    EXPECT_EQ(engine.frames[1].pitch, 61.0);
  }
  notifier.entries.clear();
  EXPECT_FALSE(readProjectFile(engine, dir / "missing.mvt", notifier));
  EXPECT_FALSE(readProjectFile(engine, dir.path(), notifier));
  EXPECT_EQ(notifier.entries.size(), 2u);
  EXPECT_EQ(engine.frameCount, 2);
}

TEST_F(ProjectFile, NonFiniteAndHugePitchesBecomeSafeValues) {
  const auto path = dir / "odd.mvt";
  writeText(path, "3\n1e999 10 10\n-1e999 10 10\n1e300 10 10\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].pitch, kNoPitch);
  EXPECT_EQ(engine.frames[1].pitch, kNoPitch);
  EXPECT_EQ(engine.frames[2].pitch, 1e300);  // finite values stay as the file says
  engine.runAttackPass();
}

TEST_F(ProjectFile, FailedWriteShowsFileErrorAndKeepsTheOldFile) {
  const auto path = dir / "keep.mvt";
  writeText(path, "1\n60.000000\t1\t1\n");
  fill({{70, 0, 2, 2, 0}});
  EXPECT_FALSE(writeProjectFile(engine, dir / "no-folder" / "x.mvt", notifier));
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "File error!");
  EXPECT_EQ(readText(path), "1\n60.000000\t1\t1\n");
}

}  // namespace
}  // namespace melovantis

namespace melovantis {
namespace {

class ProjectOnsets : public ::testing::Test {
 protected:
  void fill(const std::vector<FrameRecord>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    std::copy(rows.begin(), rows.end(), engine.frames.begin());
    engine.frameCount = static_cast<int>(rows.size());
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(ProjectOnsets, OnsetsFollowTheRowsAndSurviveASaveAndLoad) {
  fill({{60.5, 0, 90, 11, 1, -1234, 31},
        {kNoPitch, 0, 0, 0, 0, 0, 10},
        {62.0, 0, 80, 10, 1, 567, 255}});
  const auto path = dir / "song.mvt";
  ASSERT_TRUE(writeProjectFile(engine, path, notifier));
  EXPECT_EQ(readText(path), "3\n60.500000\t90\t11\n-1000.000000\t0\t0\n62.000000\t80\t10\n"
                            "onsets\n-1234\t31\n0\t10\n567\t255\n");

  AnalysisEngine loaded(notifier);
  ASSERT_TRUE(readProjectFile(loaded, path, notifier));
  ASSERT_EQ(loaded.frameCount, 3);
  EXPECT_EQ(loaded.frames[0].onsetOffset, -1234);
  EXPECT_EQ(loaded.frames[1].onsetOffset, 0);
  EXPECT_EQ(loaded.frames[2].onsetOffset, 567);
  EXPECT_EQ(loaded.frames[0].onsetRise, 31);
  EXPECT_EQ(loaded.frames[1].onsetRise, 10);
  EXPECT_EQ(loaded.frames[2].onsetRise, 255);
  EXPECT_EQ(loaded.frames[2].volume, 80);
}

TEST_F(ProjectOnsets, TableWithoutOnsetsIsWrittenAsBefore) {
  fill({{60.5, 0, 90, 11, 1, 0}, {61.0, 0, 91, 12, 0, 0}});
  const auto path = dir / "song.mvt";
  ASSERT_TRUE(writeProjectFile(engine, path, notifier));
  EXPECT_EQ(readText(path), "2\n60.500000\t90\t11\n61.000000\t91\t12\n");
}

TEST_F(ProjectOnsets, OlderFileWithoutOnsetsLoadsWithEveryOnsetAtItsRowsTime) {
  fill({{50.0, 0, 1, 1, 0, 999, 40}, {50.0, 0, 1, 1, 0, 999, 40}});  // the table loaded before
  const auto path = dir / "old.mvt";
  writeText(path, "2\r\n60.000000\t90\t11\r\n-1000.000000\t0\t0\r\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].pitch, 60.0);
  EXPECT_EQ(engine.frames[0].onsetOffset, 0);
  EXPECT_EQ(engine.frames[1].onsetOffset, 0);
  EXPECT_EQ(engine.frames[1].onsetRise, 0);  // not measured: the detector's starts stand
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(ProjectOnsets, ShortOnsetListLeavesTheRestAtTheirRowsTimeAndTextAfterItIsIgnored) {
  const auto path = dir / "short.mvt";
  writeText(path, "3\n60 90 11\n61 91 12\n62 92 13\nonsets\n-5 20\n7\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].onsetOffset, -5);
  EXPECT_EQ(engine.frames[0].onsetRise, 20);
  EXPECT_EQ(engine.frames[1].onsetOffset, 0);  // a row without its rise is not taken
  writeText(path, "1\n60 90 11\nsomething else\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].onsetOffset, 0);
  writeText(path, "1\n60 90 11\nonsets\n99999999999 300\n");
  ASSERT_TRUE(readProjectFile(engine, path, notifier));
  EXPECT_EQ(engine.frames[0].onsetOffset, 2147483647);  // clamped, not wrapped
  EXPECT_EQ(engine.frames[0].onsetRise, 255);
}

}  // namespace
}  // namespace melovantis
