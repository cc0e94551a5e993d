// With --onset-placement frame a conversion writes exactly what the program
// wrote before notes were started at their attacks: the same MIDI bytes, frame
// table and project file. The reference files in reference/ were written by
// that earlier program from the input this test generates; to write them
// again, set MELOVANTIS_WRITE_REFERENCE to the melovantis-cli to write them with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

// Notes that start struck and slowly, a glide, repeated notes, silence and noise.
std::vector<std::int16_t> melody() {
  return test::concat({test::noteWithAttack(60, 20000, 3000, 0, 0.3),
                       test::noteWithAttack(67, 24000, 500, 3528),
                       test::glide(67, 72, 15000),
                       test::noteWithAttack(72, 9000, 0, 0, 0.2),
                       test::noteWithAttack(72, 12000, 0, 0, 0.2),
                       test::constant(7000),
                       test::whiteNoise(5000, 3000),
                       test::noteWithAttack(45, 30000, 2000, 0, 0.5)});
}

// The settings of the factory default before it was tuned again (90 ms, half-frame hop),
// and 60 ms frames at the 300-sample hop.
const std::vector<std::pair<std::string, std::string>> kSettings = {
    {"90ms-double", "90\n15\n1\n1\n1\n1\n31\n108\n360\n1260\n73\n2\n74\n1\n101\n15\n1\n60\n7\n1\n"},
    {"60ms-super", "60\n10\n1\n1\n2\n1\n28\n96\n320\n1120\n73\n2\n74\n1\n101\n15\n1\n40\n7\n1\n"},
};

std::string referencePath(const std::string& name) {
  return std::string(MELOVANTIS_TEST_SOURCE_DIR) + "/cli/reference/" + name;
}

TEST(FramePlacement, ConversionWritesTheSameFilesAsBeforeNotesMovedToTheirAttacks) {
  test::TempFolder dir;
  const auto wave = dir / "melody.wav";
  test::writeMonoWave(wave, melody());
  const char* writer = std::getenv("MELOVANTIS_WRITE_REFERENCE");
  for (const auto& [name, text] : kSettings) {
    const auto settings = dir / (name + ".set");
    test::writeText(settings, text);
    const std::vector<std::string> outputs = {name + ".mid", name + ".csv", name + ".mvt"};
    std::vector<std::string> args = {"convert", wave.string(), "--settings", settings.string(),
                                     "--midi", (dir / outputs[0]).string(),
                                     "--frames", (dir / outputs[1]).string(),
                                     "--project", (dir / outputs[2]).string(), "--quiet"};
    if (writer != nullptr) {
      const std::string command = test::quote(writer) + " " + [&] {
        std::string joined;
        for (const auto& a : args) {
          joined += test::quote(a) + " ";
        }
        return joined;
      }();
      ASSERT_EQ(test::runLimited(command), 0);
      for (const auto& output : outputs) {
        test::writeBytes(referencePath(output), test::readFileBytes(dir / output));
      }
      continue;
    }
    args.push_back("--onset-placement");
    args.push_back("frame");
    const auto r = test::runCli(dir, args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& output : outputs) {
      const auto expected = test::readFileBytes(referencePath(output));
      ASSERT_FALSE(expected.empty()) << output;
      EXPECT_EQ(test::readFileBytes(dir / output), expected) << output;
    }
  }
}

TEST(FramePlacement, AttackPlacementMovesNoteStartsAndAddsTheOnsetColumn) {
  test::TempFolder dir;
  const auto wave = dir / "melody.wav";
  test::writeMonoWave(wave, melody());
  const auto settings = dir / "s.set";
  test::writeText(settings, kSettings.front().second);
  const auto r = test::runCli(dir, {"convert", wave.string(), "--settings", settings.string(),
                                    "--midi", (dir / "a.mid").string(), "--frames",
                                    (dir / "a.csv").string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(test::readFileBytes(dir / "a.mid"),
            test::readFileBytes(referencePath("90ms-double.mid")));
  // The CSV has one more column, the onset.
  const std::string attack = test::readText(dir / "a.csv");
  EXPECT_EQ(attack.substr(0, attack.find('\n')),
            "frame,time_s,pitch,volume,brightness,attack,onset_s");
}

TEST(FramePlacement, UnknownPlacementIsAUsageError) {
  test::TempFolder dir;
  EXPECT_EQ(test::runCli(dir, {"convert", "x.wav", "--onset-placement", "late"}).status, 2);
  EXPECT_EQ(test::runCli(dir, {"convert", "x.wav", "--onset-placement"}).status, 2);
  EXPECT_EQ(test::runCli(dir, {"edit", "x.mvt", "--onset-placement", "late"}).status, 2);
}

}  // namespace
}  // namespace melovantis
