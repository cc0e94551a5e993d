#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "cli/CliRunner.h"
#include "support/SmallFileSystem.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::readText;
using test::runCli;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);) {
    out.push_back(line);
  }
  return out;
}

class CliConvert : public ::testing::Test {
 protected:
  CliConvert() {
    wave = dir / "tone.wav";
    test::writeMonoWave(wave, test::concat({test::harmonicTone(69, 44100), test::constant(22050)}));
  }
  test::TempFolder dir;
  std::filesystem::path wave;
};

TEST_F(CliConvert, WritesTheFrameTableAsCsvWithSixDecimalPitches) {
  const auto csv = dir / "tone.csv";
  const auto r = runCli(dir, {"convert", wave.string(), "--frames", csv.string(), "--summary",
                              "--onset-placement", "frame"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto rows = lines(readText(csv));
  ASSERT_GT(rows.size(), 10u);
  EXPECT_EQ(rows[0], "frame,time_s,pitch,volume,brightness,attack");
  const std::regex row(R"(\d+,\d+\.\d{6},-?\d+\.\d{6},\d+,\d+,[01])");
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_TRUE(std::regex_match(rows[i], row)) << rows[i];
  }
  EXPECT_NE(readText(csv).find("-1000.000000"), std::string::npos);  // the silent tail
  EXPECT_NE(r.out.find("pitched"), std::string::npos);
  EXPECT_NE(r.out.find("A5"), std::string::npos);
}

TEST_F(CliConvert, UsageErrorsExitWithTwo) {
  EXPECT_EQ(runCli(dir, {}).status, 2);
  EXPECT_EQ(runCli(dir, {"convert"}).status, 2);
  EXPECT_EQ(runCli(dir, {"convert", wave.string(), "--frames"}).status, 2);
  EXPECT_EQ(runCli(dir, {"convert", wave.string(), "--bogus"}).status, 2);
  const auto r = runCli(dir, {"frobnicate"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("usage:"), std::string::npos);
}

TEST_F(CliConvert, RefusedInputExitsWithOneAndTheProgramsOwnWords) {
  const auto text = dir / "notes.txt";
  test::writeBytes(text, {'h', 'e', 'l', 'l', 'o'});
  auto r = runCli(dir, {"convert", text.string(), "--no-convert"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Not a valid wave file!"), std::string::npos) << r.err;

  const auto stereo = dir / "stereo.wav";
  test::WaveFileBuilder().fmt(1, 2, 44100, 16).data(test::constant(1000)).write(stereo);
  r = runCli(dir, {"convert", stereo.string(), "--no-convert"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"),
            std::string::npos)
      << r.err;

  r = runCli(dir, {"convert", (dir / "missing.wav").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Not a valid wave file!"), std::string::npos);
}

TEST_F(CliConvert, OtherAudioFormatsGoThroughTheConverter) {
  if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "ffmpeg is not installed";
  }
  const auto stereo = dir / "stereo48k.wav";
  const auto tone = test::harmonicTone(69, 48000);
  std::vector<std::int16_t> interleaved;
  for (auto s : tone) {
    interleaved.push_back(s);
    interleaved.push_back(s);
  }
  test::WaveFileBuilder().fmt(1, 2, 48000, 16).data(interleaved).write(stereo);
  const auto csv = dir / "stereo.csv";
  const auto r = runCli(dir, {"convert", stereo.string(), "--frames", csv.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The tone was made for 44100 Hz; played at 48000 Hz it sounds 1.47 semitones higher.
  EXPECT_NE(readText(csv).find(",70.4"), std::string::npos) << r.err << readText(csv).substr(0, 300);
}

TEST_F(CliConvert, UnwritableOutputAndMissingSettingsExitWithOne) {
  auto r = runCli(dir, {"convert", wave.string(), "--frames", (dir / "no" / "x.csv").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot write"), std::string::npos);

  r = runCli(dir, {"convert", wave.string(), "--settings", (dir / "none.set").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot open settings file"), std::string::npos);
}

TEST_F(CliConvert, FullDiskKeepsTheOldMidiFileAndSaysWhy) {
  test::SmallFileSystem disk(64 * 1024);
  if (!disk.mounted()) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  const auto midi = disk / "song.mid";
  test::writeBytes(midi, {'o', 'l', 'd'});
  disk.fill();
  const auto r = runCli(dir, {"convert", wave.string(), "--midi", midi.string(), "--quiet"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("File error!"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  EXPECT_EQ(readText(midi), "old");
}

TEST_F(CliConvert, WizardDerivesTheSettingsBeforeConverting) {
  const auto csv = dir / "wizard.csv";
  const auto r = runCli(dir, {"convert", wave.string(), "--wizard", "--frames", csv.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Settings Wizard: "), std::string::npos) << r.err;
  // The range is the examined notes widened by 8 semitones: about 61..77 around note 69
  // (the onset frame may read a little low).
  std::smatch range;
  ASSERT_TRUE(std::regex_search(r.err, range, std::regex(R"(notes (\d+)\.\.(\d+))"))) << r.err;
  EXPECT_GE(std::stoi(range[1]), 55);
  EXPECT_LE(std::stoi(range[1]), 61);
  EXPECT_EQ(std::stoi(range[2]), 77);
  EXPECT_NE(readText(csv).find(",69.0"), std::string::npos);
}

TEST_F(CliConvert, BatchConvertsEachFileToItsOwnMidiAndSurvivesABadOne) {
  const auto second = dir / "second.wav";
  test::writeMonoWave(second, test::harmonicTone(60, 44100));
  const auto broken = dir / "broken.wav";
  test::writeBytes(broken, {'R', 'I', 'F', 'F'});
  const auto r = runCli(dir, {"convert", wave.string(), broken.string(), second.string(), "--jobs",
                              "2", "--quiet", "--no-convert"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "tone.mid"));
  EXPECT_TRUE(std::filesystem::exists(dir / "second.mid"));
  EXPECT_FALSE(std::filesystem::exists(dir / "broken.mid"));
  EXPECT_NE(r.err.find("Not a valid wave file!"), std::string::npos);
  EXPECT_NE(r.err.find("1 of 3 files failed"), std::string::npos);

  EXPECT_EQ(runCli(dir, {"convert", wave.string(), second.string(), "--quiet"}).status, 0);
  EXPECT_EQ(runCli(dir, {"convert", wave.string(), "--jobs", "0"}).status, 2);
  EXPECT_EQ(runCli(dir, {"convert", wave.string(), second.string(), "--midi", "x.mid"}).status, 2);
}

}  // namespace
}  // namespace melovantis
