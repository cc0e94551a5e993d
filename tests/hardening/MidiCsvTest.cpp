// Every MIDI file the program writes, from any project or settings file, must
// be read by an independent reader: midicsv (Debian package midicsv) turns each
// file into text, and every channel message it reports must carry a channel of
// 0..15 and 7-bit data (14-bit for pitch bend). Odd projects meet odd settings
// and odd tempo factors, through the edit path (load, attack pass, optionally
// Auto Correct) and through a conversion. Skipped where midicsv is not installed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "HardeningSupport.h"
#include "documents/EngineSettings.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "fuzz/StandardMidiCheck.h"
#include "midi/MidiFileWriter.h"
#include "support/RecordingNotifier.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"
#include "tools/AutoCorrect.h"

namespace melovantis {
namespace {

using test::factoryWith;

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

bool midicsvInstalled() { return std::system("command -v midicsv >/dev/null 2>&1") == 0; }

std::string shellQuoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Runs midicsv on `midi`; empty when it read the file and every message is in range.
std::string midicsvProblems(const std::filesystem::path& midi, const std::filesystem::path& csv) {
  const std::string command = "midicsv " + shellQuoted(midi) + " " + shellQuoted(csv) + " 2>" +
                              shellQuoted(csv.string() + ".err");
  const int status = test::runLimited(command);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::ifstream err(csv.string() + ".err");
    std::stringstream text;
    text << err.rdbuf();
    return "midicsv failed: " + text.str();
  }
  std::ifstream in(csv);
  std::string line;
  std::string problems;
  int channelMessages = 0;
  bool endOfFile = false;
  while (std::getline(in, line)) {
    // "track, time, type, values..." with the values separated by ", ".
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, ',')) {
      const auto first = field.find_first_not_of(' ');
      fields.push_back(first == std::string::npos ? "" : field.substr(first));
    }
    if (fields.size() < 3) {
      continue;
    }
    const std::string& type = fields[2];
    endOfFile = endOfFile || type == "End_of_file";
    auto value = [&](std::size_t i) {
      return i < fields.size() ? std::atol(fields[i].c_str()) : -1L;
    };
    auto require = [&](bool ok) {
      if (!ok) {
        problems += line + "\n";
      }
    };
    if (type == "Note_on_c" || type == "Note_off_c" || type == "Control_c") {
      ++channelMessages;
      require(fields.size() == 6 && value(3) >= 0 && value(3) <= 15 && value(4) >= 0 &&
              value(4) <= 127 && value(5) >= 0 && value(5) <= 127);
    } else if (type == "Program_c") {
      ++channelMessages;
      require(fields.size() == 5 && value(3) >= 0 && value(3) <= 15 && value(4) >= 0 &&
              value(4) <= 127);
    } else if (type == "Pitch_bend_c") {
      ++channelMessages;
      require(fields.size() == 5 && value(3) >= 0 && value(3) <= 15 && value(4) >= 0 &&
              value(4) <= 16383);
    } else if (type.find("_c") != std::string::npos) {
      require(false);  // a kind of channel message the program never writes
    }
  }
  if (!endOfFile) {
    problems += "no End_of_file line\n";
  }
  if (channelMessages == 0) {
    problems += "no channel message at all\n";
  }
  return problems;
}

// Project files a damaged disk or another program may leave.
const std::vector<std::pair<std::string, std::string>> kProjects = {
    {"empty", "0\n"},
    {"held-note",
     "5\n60.000000\t90\t20\n60.010000\t90\t20\n60.020000\t91\t21\n"
     "-1000.000000\t0\t0\n62.000000\t80\t30\n"},
    {"leaps-and-glides",
     "12\n36.0 60 10\n50.0 60 10\n50.5 61 11\n51.0 62 12\n51.5 63 13\n52.0 64 14\n"
     "127.0 127 127\n0.0 1 1\n126.999999 127 127\n-1000 0 0\n0.000001 5 5\n64.0 64 64\n"},
    {"out-of-range-pitch",
     "6\n127.9 90 20\n128.0 90 20\n500.25 90 20\n-0.0 90 20\n"
     "1e300 90 20\n-1e300 90 20\n"},
    {"non-finite", "4\n1e999 10 10\n-1e999 10 10\n60 10 10\n1e999 10 10\n"},
    {"bytes-out-of-range",
     "4\n60 256 -1\n61 1000 70000\n62 -129 255\n"
     "63 99999999999999999999 -99999999999999999999\n"},
    {"fewer-rows-than-count", "9\n60.0 90 20\n62.0 90 20\n"},
    {"crlf-and-exponents", "3\r\n6.0e1\t90\t20\r\n6.1E+1\t90\t20\r\n6.2e0\t90\t20\r\n"},
    {"garbage-after-count", "4\n60.0 90 20\nnot a number\n"},
};

// Settings that push every MIDI-related field out of its range.
std::vector<std::pair<std::string, SettingsRecord>> oddSettings() {
  return {
      {"factory", SettingsRecord{}},
      {"channel-0", factoryWith({{6, 0}})},
      {"channel-99", factoryWith({{6, 99}})},
      {"channel-min", factoryWith({{6, kInt32Min}})},
      {"controllers-negative", factoryWith({{13, -1}, {19, -128}})},
      {"controllers-above-127", factoryWith({{13, 128}, {19, kInt32Max}})},
      {"controllers-equal-to-rpn", factoryWith({{13, 6}, {19, 101}})},
      {"controllers-equal", factoryWith({{13, 7}, {19, 7}})},
      {"voice-200", factoryWith({{11, 200}})},
      {"voice-negative", factoryWith({{11, -1}})},
      {"voice-none", factoryWith({{11, 128}})},
      {"bend-range-0", factoryWith({{12, 0}})},
      {"bend-range-99", factoryWith({{12, 99}})},
      {"bpm-negative", factoryWith({{15, -5}})},
      {"bpm-beyond-list", factoryWith({{15, 282}})},
      {"bpm-huge", factoryWith({{15, kInt32Max}})},
      {"bpm-smpte", factoryWith({{15, 0}})},
      {"no-tempo", factoryWith({{14, 0}})},
      {"sensitivity-0", factoryWith({{18, 0}})},
      {"sensitivity-min", factoryWith({{18, kInt32Min}})},
      {"attack-off", factoryWith({{17, 0}})},
      {"super-time-resolution", factoryWith({{5, 2}, {1, 20}})},
      {"time-resolution-0", factoryWith({{1, 0}})},
      {"everything", factoryWith({{1, 0},
                                  {2, -1},
                                  {3, 2},
                                  {4, 3},
                                  {5, 9},
                                  {6, 99},
                                  {7, 127},
                                  {8, -5},
                                  {11, 129},
                                  {12, 0},
                                  {13, 200},
                                  {14, 5},
                                  {15, 999},
                                  {16, 0},
                                  {17, 3},
                                  {18, 0},
                                  {19, -7},
                                  {20, 2}})},
  };
}

class MidiCsv : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!midicsvInstalled()) {
      GTEST_SKIP() << "midicsv is not installed (Debian package midicsv)";
    }
  }

  void expectReadable(AnalysisEngine& engine, const std::string& what) {
    const std::filesystem::path midi = folder / "out.mid";
    ASSERT_TRUE(writeMidiFile(engine, midi, notifier)) << what;
    EXPECT_EQ(fuzz::checkStandardMidiFile(test::readFileBytes(midi)), "") << what;
    EXPECT_EQ(midicsvProblems(midi, folder / "out.csv"), "") << what;
    ++filesChecked;
  }

  test::TempFolder folder;
  test::RecordingNotifier notifier;
  int filesChecked = 0;
};

TEST_F(MidiCsv, EveryOddProjectWithEveryOddSettingsGivesAFileMidicsvReads) {
  for (const auto& [projectName, projectText] : kProjects) {
    const std::filesystem::path project = folder / (projectName + ".mvt");
    test::writeText(project, projectText);
    for (auto [settingsName, settings] : oddSettings()) {
      for (const bool autoCorrect : {false, true}) {
        AnalysisEngine engine(notifier);
        // Through a settings file, as the program gets them.
        const std::filesystem::path set = folder / "odd.set";
        ASSERT_TRUE(writeSettingsFile(set, settings, notifier));
        SettingsRecord loaded;
        ASSERT_TRUE(readSettingsFile(set, loaded));
        applySettingsToEngine(loaded, engine);
        ASSERT_TRUE(readProjectFile(engine, project, notifier)) << projectName;
        engine.runAttackPass();
        if (autoCorrect) {
          applyAutoCorrect(engine, 3);
        }
        expectReadable(engine, projectName + " with " + settingsName +
                                   (autoCorrect ? " after Auto Correct" : ""));
      }
    }
  }
  EXPECT_EQ(filesChecked, static_cast<int>(kProjects.size() * oddSettings().size() * 2));
  EXPECT_TRUE(notifier.entries.empty());
}

TEST_F(MidiCsv, OddTempoFactorsGiveFilesMidicsvReads) {
  const std::filesystem::path project = folder / "leaps.mvt";
  test::writeText(project, kProjects[2].second);
  for (const double factor :
       {1e-9, 0.01, 3.0, 1e6, 1e12, -1.0, 0.0, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    for (const std::int32_t bpmChoice : {0, 101, 281}) {
      AnalysisEngine engine(notifier);
      applySettingsToEngine(factoryWith({{15, bpmChoice}}), engine);
      ASSERT_TRUE(readProjectFile(engine, project, notifier));
      engine.runAttackPass();
      engine.tempoFactor = factor;
      expectReadable(engine, "tempo factor " + std::to_string(factor) + ", BPM choice " +
                                 std::to_string(bpmChoice));
    }
  }
}

TEST_F(MidiCsv, ConversionsWithOddSettingsGiveFilesMidicsvReads) {
  const std::filesystem::path wave = folder / "melody.wav";
  test::writeMelodyWave(wave);
  for (auto [settingsName, settings] : oddSettings()) {
    AnalysisEngine engine(notifier);
    test::convertWithSettings(engine, settings, wave, notifier);
    expectReadable(engine, "conversion with " + settingsName);
  }
  EXPECT_TRUE(notifier.entries.empty());
}

}  // namespace
}  // namespace melovantis
