// With --onset-placement frame --note-keys floor a conversion (and an edit)
// writes exactly what the program wrote before notes were started at their
// attacks, at their pitch changes and on their nearest keys: the same MIDI
// bytes, frame table and project file. The reference files in reference/ were
// written by that earlier program from the input this test generates; to write
// them again, set MELOVANTIS_WRITE_REFERENCE to the melovantis-cli to write
// them with (one that knows --onset-placement but not --note-keys).
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

// Notes a little flat and sharp of their keys (where the nearest key and the
// one below differ), a legato step inside the bend range, vibrato, a bass line
// whose partials outweigh its fundamental at times, and a glide.
std::vector<std::int16_t> detunedMelody() {
  return test::concat({test::noteWithAttack(71.7, 18000, 2000, 0, 0.4),
                       test::harmonicTone(64.35, 12000), test::harmonicTone(65.3, 12000),
                       test::constant(4000),
                       test::noteWithAttack(40.0, 26000, 0, 300, 0.8, 20000),
                       test::noteWithAttack(33.0, 26000, 0, 300, 0.8, 20000),
                       test::glide(76.2, 80.8, 16000), test::harmonicTone(80.8, 9000),
                       test::noteWithAttack(88.6, 9000, 0, 0, 0.3),
                       test::noteWithAttack(88.6, 9000, 0, 0, 0.3)});
}

// The settings of the factory default before it was tuned again (90 ms, half-frame hop),
// 60 ms frames at the 300-sample hop, and the factory default of the time the notes
// moved to their pitch changes and nearest keys.
const char* const kFactorySettings =
    "90\n0\n1\n1\n1\n1\n28\n108\n320\n1260\n73\n2\n74\n1\n101\n15\n1\n90\n7\n1\n";
const std::vector<std::pair<std::string, std::string>> kSettings = {
    {"90ms-double", "90\n15\n1\n1\n1\n1\n31\n108\n360\n1260\n73\n2\n74\n1\n101\n15\n1\n60\n7\n1\n"},
    {"60ms-super", "60\n10\n1\n1\n2\n1\n28\n96\n320\n1120\n73\n2\n74\n1\n101\n15\n1\n40\n7\n1\n"},
    {"factory-detuned", kFactorySettings},
};

// `args` with the earlier program's choices. The references are written by a program that
// knows only the first of them.
std::vector<std::string> withEarlierChoice(std::vector<std::string> args, bool writing) {
  args.insert(args.end(), {"--onset-placement", "frame"});
  if (!writing) {
    args.insert(args.end(), {"--note-keys", "floor"});
  }
  return args;
}

// Runs melovantis-cli (or, writing the references, the program named) in `dir`.
int run(const test::TempFolder& dir, const std::vector<std::string>& args, const char* writer) {
  if (writer == nullptr) {
    const auto r = test::runCli(dir, args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.status;
  }
  std::string command = test::quote(writer);
  for (const auto& a : args) {
    command += " " + test::quote(a);
  }
  return test::runLimited(command + " >/dev/null 2>&1");
}

std::string referencePath(const std::string& name) {
  return std::string(MELOVANTIS_TEST_SOURCE_DIR) + "/cli/reference/" + name;
}

// Each output in `dir` equals its reference file; or, writing the references, becomes it.
void matchReferences(const test::TempFolder& dir, const std::vector<std::string>& outputs,
                     const char* writer) {
  for (const auto& output : outputs) {
    if (writer != nullptr) {
      test::writeBytes(referencePath(output), test::readFileBytes(dir / output));
      continue;
    }
    const auto expected = test::readFileBytes(referencePath(output));
    ASSERT_FALSE(expected.empty()) << output;
    EXPECT_EQ(test::readFileBytes(dir / output), expected) << output;
  }
}

TEST(FramePlacement, ConversionWritesTheSameFilesAsBeforeNotesMovedToTheirAttacks) {
  test::TempFolder dir;
  const auto wave = dir / "melody.wav";
  test::writeMonoWave(wave, melody());
  const char* writer = std::getenv("MELOVANTIS_WRITE_REFERENCE");
  const auto detuned = dir / "detuned.wav";
  test::writeMonoWave(detuned, detunedMelody());
  for (const auto& [name, text] : kSettings) {
    const auto settings = dir / (name + ".set");
    test::writeText(settings, text);
    const std::vector<std::string> outputs = {name + ".mid", name + ".csv", name + ".mvt"};
    const std::string input = name == "factory-detuned" ? detuned.string() : wave.string();
    const std::vector<std::string> args = {"convert", input, "--settings", settings.string(),
                                           "--midi", (dir / outputs[0]).string(),
                                           "--frames", (dir / outputs[1]).string(),
                                           "--project", (dir / outputs[2]).string(), "--quiet"};
    ASSERT_EQ(run(dir, withEarlierChoice(args, writer != nullptr), writer), 0) << name;
    ASSERT_NO_FATAL_FAILURE(matchReferences(dir, outputs, writer));
  }
}

// An edit of a project (its attack pass, a correction tool and the three writers) the same way.
TEST(FramePlacement, EditWritesTheSameFilesAsBefore) {
  test::TempFolder dir;
  const char* writer = std::getenv("MELOVANTIS_WRITE_REFERENCE");
  const auto settings = dir / "factory.set";
  test::writeText(settings, kFactorySettings);
  const std::vector<std::string> outputs = {"edited.mid", "edited.csv", "edited.mvt"};
  const std::vector<std::string> args = {
      "edit", referencePath("factory-detuned.mvt"), "--settings", settings.string(),
      "--auto-correct", "2", "--midi", (dir / outputs[0]).string(),
      "--frames", (dir / outputs[1]).string(), "--project", (dir / outputs[2]).string()};
  ASSERT_EQ(run(dir, withEarlierChoice(args, writer != nullptr), writer), 0);
  ASSERT_NO_FATAL_FAILURE(matchReferences(dir, outputs, writer));
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

// The nearest keys change the MIDI file alone: the frame table and project are the same.
TEST(FramePlacement, NearestKeysChangeOnlyTheMidiFile) {
  test::TempFolder dir;
  const auto wave = dir / "detuned.wav";
  test::writeMonoWave(wave, detunedMelody());
  const auto settings = dir / "factory.set";
  test::writeText(settings, kFactorySettings);
  const auto r = test::runCli(dir, {"convert", wave.string(), "--settings", settings.string(),
                                    "--midi", (dir / "n.mid").string(), "--frames",
                                    (dir / "n.csv").string(), "--project",
                                    (dir / "n.mvt").string(), "--onset-placement", "frame",
                                    "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(test::readFileBytes(dir / "n.mid"),
            test::readFileBytes(referencePath("factory-detuned.mid")));
  EXPECT_EQ(test::readFileBytes(dir / "n.csv"),
            test::readFileBytes(referencePath("factory-detuned.csv")));
  EXPECT_EQ(test::readFileBytes(dir / "n.mvt"),
            test::readFileBytes(referencePath("factory-detuned.mvt")));
}

TEST(FramePlacement, UnknownPlacementOrKeysIsAUsageError) {
  test::TempFolder dir;
  EXPECT_EQ(test::runCli(dir, {"convert", "x.wav", "--onset-placement", "late"}).status, 2);
  EXPECT_EQ(test::runCli(dir, {"convert", "x.wav", "--onset-placement"}).status, 2);
  EXPECT_EQ(test::runCli(dir, {"edit", "x.mvt", "--onset-placement", "late"}).status, 2);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"convert", "x.wav"}, {"edit", "x.mvt"}, {"live"}}) {
    std::vector<std::string> args = command;
    args.insert(args.end(), {"--note-keys", "round"});
    const auto r = test::runCli(dir, args);
    EXPECT_EQ(r.status, 2) << command[0];
    EXPECT_NE(r.err.find("--note-keys needs nearest or floor"), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::runCli(dir, {"convert", "x.wav", "--note-keys"}).status, 2);
}

}  // namespace
}  // namespace melovantis
