#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::runCli;

// The wizard reads its broad settings from the data folder; the tests give it
// one of their own through MELOVANTIS_DATA.
class CliWizard : public ::testing::Test {
 protected:
  CliWizard() {
    std::filesystem::create_directories(data / "Private");
    SettingsRecord broad;
    broad.timeResolutionMs = 60;
    broad.harmonicThreshold = 10;
    broad.lowestNote = 24;
    broad.highestNote = 120;
    broad.pitchResolutionBoost = 1;
    EXPECT_TRUE(writeSettingsFile(data / "Private" / "broad.set", broad, notifier));
    EXPECT_TRUE(writeSettingsFile(data / "Private" / "default.set", SettingsRecord{}, notifier));
    ::setenv("MELOVANTIS_DATA", data.c_str(), 1);

    wave = dir / "melody.wav";
    test::writeMonoWave(
        wave, test::concat({test::harmonicTone(57.3, 66150), test::harmonicTone(64.3, 66150)}));
  }
  ~CliWizard() override { ::unsetenv("MELOVANTIS_DATA"); }

  SettingsRecord saved() {
    SettingsRecord record;
    EXPECT_TRUE(readSettingsFile(out, record));
    return record;
  }

  test::TempFolder dir;
  test::RecordingNotifier notifier;
  std::filesystem::path data = dir / "data";
  std::filesystem::path wave;
  std::filesystem::path out = dir / "melody.set";
};

TEST_F(CliWizard, DerivesAllFourSettingsAndSavesThem) {
  const auto r = runCli(dir, {"wizard", wave.string(), "--save", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const SettingsRecord settings = saved();
  EXPECT_EQ(settings.lowestNote, 49);
  EXPECT_EQ(settings.highestNote, 72);
  EXPECT_EQ(settings.timeResolutionMs, 40);
  EXPECT_EQ(settings.timeResolutionBoost, 1);
  EXPECT_NE(r.out.find("Note range: C#4..C6 (49..72)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Time resolution: 40 ms\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Settings Wizard is examining your wave file..."), std::string::npos);
}

TEST_F(CliWizard, OnlyTheChosenSettingsAreDerived) {
  const auto r = runCli(dir, {"wizard", wave.string(), "--only", "brightness,resolution", "--save",
                              out.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const SettingsRecord settings = saved();
  EXPECT_EQ(settings.lowestNote, 24);
  EXPECT_EQ(settings.highestNote, 120);
  EXPECT_EQ(settings.harmonicThreshold, 10);
  EXPECT_EQ(settings.timeResolutionMs, 40);
}

TEST_F(CliWizard, ARefusedWaveExitsWithOneAndSavesNothing) {
  const auto stereo = dir / "stereo.wav";
  test::WaveFileBuilder().fmt(1, 2, 44100, 16).data(test::constant(1000)).write(stereo);
  const auto r = runCli(dir, {"wizard", stereo.string(), "--save", out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Stereo"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  EXPECT_EQ(runCli(dir, {"wizard", (dir / "missing.wav").string(), "--save", out.string()}).status,
            1);
  EXPECT_EQ(runCli(dir, {"wizard", wave.string(), "--settings", (dir / "none.set").string(),
                         "--save", out.string()})
                .status,
            1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliWizard, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> invalid = {
      {"wizard"},
      {"wizard", wave.string()},
      {"wizard", "--save", out.string()},
      {"wizard", wave.string(), "--save"},
      {"wizard", wave.string(), "--only", "range,pitch", "--save", out.string()},
      {"wizard", wave.string(), "--only", "", "--save", out.string()},
      {"wizard", wave.string(), "--only", "range,", "--save", out.string()},
      {"wizard", wave.string(), "--fast", "--save", out.string()},
  };
  for (const auto& args : invalid) {
    const auto r = runCli(dir, args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliWizard, WorksWithTheFactoryFiles) {
  ::unsetenv("MELOVANTIS_DATA");
  const auto r = runCli(dir, {"wizard", wave.string(), "--save", out.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines;
  std::stringstream text(test::readText(out));
  for (std::string line; std::getline(text, line);) {
    lines.push_back(line);
  }
  EXPECT_EQ(lines.size(), 20u);
}

}  // namespace
}  // namespace melovantis
