#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::readText;
using test::runCli;

// A project file: the count, then one "pitch<TAB>volume<TAB>brightness" line per frame.
void writeProject(const std::filesystem::path& path, const std::vector<double>& pitches) {
  std::string text = std::to_string(pitches.size()) + "\n";
  for (double pitch : pitches) {
    char line[64];
    std::snprintf(line, sizeof line, "%f\t64\t20\n", pitch);
    text += line;
  }
  test::writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The pitch column of a frame CSV, as written.
std::vector<std::string> pitchColumn(const std::filesystem::path& csv) {
  std::vector<std::string> out;
  std::stringstream rows(readText(csv));
  std::string row;
  std::getline(rows, row);  // header
  while (std::getline(rows, row)) {
    std::stringstream fields(row);
    std::string field;
    for (int i = 0; i < 3; ++i) {
      std::getline(fields, field, ',');
    }
    out.push_back(field);
  }
  return out;
}

class CliEdit : public ::testing::Test {
 protected:
  CliEdit() : project(dir / "melody.mvt"), csv(dir / "frames.csv") {}
  test::TempFolder dir;
  std::filesystem::path project;
  std::filesystem::path csv;
};

TEST_F(CliEdit, InTuneWizardPrintsTheShiftAndCentresTheMelody) {
  writeProject(project, {59.8, 61.8, -1000.0, 63.8});
  const auto r = runCli(dir, {"edit", project.string(), "--in-tune", "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "In-Tune Wizard finished!\n\n Your sequence was transposed by 20.0 cents.\n");
  EXPECT_EQ(pitchColumn(csv),
            (std::vector<std::string>{"60.000000", "62.000000", "-1000.000000", "64.000000"}));
}

TEST_F(CliEdit, PitchAndTempoOptionsFormOneRunAtThePlaceOfTheFirst) {
  writeProject(project, {60.0, 60.0});
  // Transposed by 1.3 first, then halfway to 61: 61.15. Cents applied after the
  // quantization would give 61.3.
  const auto r = runCli(dir, {"edit", project.string(), "--transpose", "1", "--quantize", "50",
                              "--cents", "+30", "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Pitch and Tempo modifications done!\nQuantization complete!\n");
  EXPECT_EQ(pitchColumn(csv), (std::vector<std::string>{"61.150000", "61.150000"}));
}

TEST_F(CliEdit, TransposingOutOfTheMidiRangePrintsTheWarningAndSilences) {
  writeProject(project, {120.0, 100.0});
  const auto r =
      runCli(dir, {"edit", project.string(), "--transpose", "12", "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Warning: After transposing, some notes are out of MIDI range!\nTo restore your "
            "original melody, you can press Undo.\n");
  EXPECT_EQ(pitchColumn(csv), (std::vector<std::string>{"-1000.000000", "112.000000"}));
}

TEST_F(CliEdit, AutoCorrectRepairsAnOctaveJumpWithoutAMessage) {
  std::vector<double> pitches(21, 60.0);
  pitches[10] = 72.0;
  writeProject(project, pitches);
  const auto out = dir / "fixed.mvt";
  const auto r = runCli(dir, {"edit", project.string(), "--auto-correct", "3", "--project",
                              out.string(), "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(pitchColumn(csv)[10].substr(0, 6), "60.164");
  EXPECT_EQ(readText(out).substr(0, 3), "21\n");
}

TEST_F(CliEdit, SpeedIsWrittenIntoTheMidiFile) {
  writeProject(project, std::vector<double>(200, 64.0));
  const auto normal = dir / "normal.mid";
  const auto fast = dir / "fast.mid";
  ASSERT_EQ(runCli(dir, {"edit", project.string(), "--midi", normal.string()}).status, 0);
  const auto r = runCli(dir, {"edit", project.string(), "--speed", "200", "--midi", fast.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Pitch and Tempo modifications done!\n");
  EXPECT_EQ(readText(fast).substr(0, 4), "MThd");
  // Same events, shorter deltas: the files differ only in their delta times.
  EXPECT_NE(readText(fast), readText(normal));
}

TEST_F(CliEdit, InvalidValuesAreUsageErrorsAndNothingIsWritten) {
  writeProject(project, {60.0});
  const std::vector<std::vector<std::string>> invalid = {
      {"--auto-correct", "0"},
      {"--auto-correct", "6"},
      {"--auto-correct", "3.5"},
      {"--quantize", "101"},
      {"--quantize", "-1"},
      {"--quantize", "half"},
      {"--transpose", "13"},
      {"--transpose", "-13"},
      {"--cents", "101"},
      {"--cents", "-101"},
      {"--speed", "49"},
      {"--speed", "201"},
      {"--speed", "1e2"},
      {"--speed", ""},
      {"--transpose"},
      {"--transpose", "1", "--transpose", "2"},
      {"--bogus"},
      {"--frames"},
  };
  for (const auto& options : invalid) {
    std::vector<std::string> args = {"edit", project.string(), "--frames", csv.string()};
    args.insert(args.end(), options.begin(), options.end());
    const auto r = runCli(dir, args);
    EXPECT_EQ(r.status, 2) << options.front() << " " << (options.size() > 1 ? options[1] : "");
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(csv));
  }
  EXPECT_EQ(runCli(dir, {"edit"}).status, 2);
  EXPECT_EQ(runCli(dir, {"edit", project.string(), project.string()}).status, 2);
}

TEST_F(CliEdit, ValuesAtTheEndsOfTheirRangesAreTaken) {
  writeProject(project, {60.0});
  const auto r = runCli(
      dir, {"edit", project.string(), "--auto-correct", "5", "--quantize", "0", "--transpose",
            "-12", "--cents", "-100", "--speed", "50", "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(pitchColumn(csv), (std::vector<std::string>{"47.000000"}));
}

TEST_F(CliEdit, AnUnreadableProjectExitsWithOneAndTheProgramsMessage) {
  auto r = runCli(dir, {"edit", (dir / "missing.mvt").string(), "--in-tune"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot open Melovantis file!"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  test::writeBytes(project, {'-', '5', '\n'});
  r = runCli(dir, {"edit", project.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot open Melovantis file!"), std::string::npos) << r.err;

  writeProject(project, {60.0});
  r = runCli(dir, {"edit", project.string(), "--settings", (dir / "none.set").string()});
  EXPECT_EQ(r.status, 1);
}

}  // namespace
}  // namespace melovantis
