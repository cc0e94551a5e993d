// What a user reads when a file is refused: each message names the file and
// gives the reason, in every command and in a batch.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "cli/LiveCommand.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

namespace fs = std::filesystem;
using test::runCli;

class CliMessages : public ::testing::Test {
 protected:
  CliMessages() {
    test::writeMonoWave(dir / "good.wav", test::harmonicTone(69, 22050));
    test::writeText(dir / "garbage.wav", std::string(3000, 'x'));
    test::writeText(dir / "empty.wav", "");
    test::writeMonoWave(dir / "unreadable.wav", test::harmonicTone(69, 22050));
    fs::permissions(dir / "unreadable.wav", fs::perms::none);
    fs::create_directories(dir / "folder.wav");
    // Everyone may enter and write here, so the program can run as another user.
    fs::permissions(dir.path(), fs::perms::all);
    fs::create_directories(dir / "bin");
  }

  // Root reads every file, so the program runs as nobody to meet an
  // unreadable one; empty when that cannot be done here.
  static std::string asUserWhoCannotRead() {
    if (::geteuid() != 0) {
      return " ";
    }
    return std::system("command -v setpriv >/dev/null 2>&1") == 0
               ? "setpriv --reuid=65534 --regid=65534 --clear-groups "
               : "";
  }

  // Nobody may not reach the build or its data (a checkout in root's home is
  // closed to other users), so another user runs a copy of the program laid
  // out as installed, bin/ beside share/melovantis, in this test's own folder.
  std::string programForOtherUser() {
    const fs::path copy = dir / "installed" / "bin" / "melovantis-cli";
    if (!fs::exists(copy)) {
      fs::create_directories(copy.parent_path());
      fs::create_directories(dir / "installed" / "share");
      fs::copy_file(MELOVANTIS_CLI, copy);
      fs::copy(MELOVANTIS_DATA_DIR, dir / "installed" / "share" / "melovantis",
               fs::copy_options::recursive);
      const fs::perms readable = fs::perms::owner_read | fs::perms::owner_write |
                                 fs::perms::group_read | fs::perms::others_read;
      const fs::perms enterable =
          readable | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
      fs::permissions(dir / "installed", enterable);
      for (const auto& entry : fs::recursive_directory_iterator(dir / "installed")) {
        fs::permissions(entry.path(),
                        entry.is_directory() || entry.path() == copy ? enterable : readable);
      }
    }
    return copy.string();
  }

  // A stand-in for ffmpeg that fails as a broken one would.
  std::string failingConverterFirst() {
    test::writeText(dir / "bin" / "ffmpeg", "#!/bin/sh\nexit 1\n");
    fs::permissions(dir / "bin" / "ffmpeg", fs::perms::all);
    return "PATH=" + (dir / "bin").string() + ":/usr/bin:/bin ";
  }

  std::string named(const std::string& file) const { return (dir / file).string(); }

  test::TempFolder dir;
};

TEST_F(CliMessages, EveryCommandNamesTheRefusedFileAndWhy) {
  struct Command {
    std::vector<std::string> before;  // the arguments ahead of the input
    std::vector<std::string> after;
    std::string text;
    std::string contentReason;  // for a file of the wrong kind
  };
  const std::vector<Command> commands = {
      {{"convert"}, {"--no-convert", "--quiet"}, "Not a valid wave file!", "no RIFF WAVE header"},
      {{"wizard"}, {"--save", named("x.set"), "--quiet"}, "Not a valid wave file!",
       "no RIFF WAVE header"},
      {{"live", "--input-file"}, {"--seconds", "1"}, "Not a valid wave file!",
       "no RIFF WAVE header"},
      {{"edit"}, {"--midi", named("x.mid")}, "Cannot open Melovantis file!",
       "no frame count at its start"},
  };
  const std::string user = asUserWhoCannotRead();
  for (const Command& c : commands) {
    for (const auto& [file, reason] : std::vector<std::pair<std::string, std::string>>{
             {"missing.wav", "No such file or directory"},
             {"empty.wav", "empty file"},
             {"garbage.wav", c.contentReason},
             {"folder.wav", "Is a directory"},
             {"unreadable.wav", "Permission denied"}}) {
      if (file == "unreadable.wav" && user.empty()) {
        continue;
      }
      std::vector<std::string> args = c.before;
      args.push_back(named(file));
      args.insert(args.end(), c.after.begin(), c.after.end());
      const auto r = file == "unreadable.wav"
                         ? runCli(dir, args, user, programForOtherUser())
                         : runCli(dir, args);
      EXPECT_EQ(r.status, 1) << c.before[0] << " " << file;
      EXPECT_EQ(r.err,
                "melovantis-cli: " + named(file) + ": " + c.text + " (" + reason + ")\n")
          << c.before[0];
    }
  }
}

TEST_F(CliMessages, ABatchGoesOnPastEachFailureAndListsThemAtTheEnd) {
  const std::string user = asUserWhoCannotRead();
  std::vector<std::string> inputs = {"missing.wav", "garbage.wav", "good.wav"};
  if (!user.empty()) {
    inputs.insert(inputs.begin() + 1, "unreadable.wav");
  }
  std::vector<std::string> args = {"convert", "--jobs", "2", "--quiet"};
  for (const auto& input : inputs) {
    args.push_back(named(input));
  }
  const auto r = user.empty() ? runCli(dir, args, failingConverterFirst())
                              : runCli(dir, args, failingConverterFirst() + user,
                                       programForOtherUser());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_regular_file(dir / "good.mid"));
  EXPECT_NE(r.err.find(named("missing.wav") +
                       ": Not a valid wave file! (No such file or directory)\n"),
            std::string::npos)
      << r.err;
  // The converter was tried on the garbage and said why it failed.
  EXPECT_NE(r.err.find(named("garbage.wav") + ": ffmpeg exited with status 1; Not a valid wave "
                                              "file! (no RIFF WAVE header)\n"),
            std::string::npos)
      << r.err;
  std::string list;
  for (const auto& input : inputs) {
    if (input != "good.wav") {
      list += "\n  " + named(input);
    }
  }
  const std::string summary = "melovantis-cli: " + std::to_string(inputs.size() - 1) + " of " +
                              std::to_string(inputs.size()) + " files failed:" + list + "\n";
  ASSERT_GE(r.err.size(), summary.size());
  EXPECT_EQ(r.err.substr(r.err.size() - summary.size()), summary);
  if (!user.empty()) {
    EXPECT_NE(r.err.find(named("unreadable.wav") + ": Not a valid wave file! (Permission denied)"),
              std::string::npos)
        << r.err;
  }
}

TEST_F(CliMessages, AMissingConverterIsSaidBeforeWhatTheFileIs) {
  test::WaveFileBuilder().fmt(1, 2, 48000, 16).data(test::harmonicTone(69, 4800)).write(
      dir / "stereo.wav");
  const std::string noConverter = "PATH=" + (dir / "bin").string() + " ";
  test::writeText(dir / "garbage.mp3", "ID3 not really");
  auto r = runCli(dir, {"convert", named("garbage.mp3"), "--quiet"}, noConverter);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "melovantis-cli: " + named("garbage.mp3") +
                       ": ffmpeg not found; Not a valid wave file! (no RIFF WAVE header)\n");

  r = runCli(dir, {"convert", named("stereo.wav"), "--quiet"}, noConverter);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("melovantis-cli: " + named("stereo.wav") +
                            ": ffmpeg not found; Not suitable format.\nThis wave file was "
                            "recorded with the following settings:\nType: Uncompressed PCM, "
                            "Stereo, Sample rate:48000 Hz",
                        0),
            0u)
      << r.err;
}

TEST_F(CliMessages, AShortNameInsideTheMessagesWordsIsStillNamed) {
  const auto r = runCli(dir, {"convert", "a"}, "cd " + test::quote(dir.path().string()) + " && ");
  EXPECT_EQ(r.err, "melovantis-cli: a: Not a valid wave file! (No such file or directory)\n");
}

TEST_F(CliMessages, FilesWrittenOrReadBesideTheInputAreNamedToo) {
  auto r = runCli(dir, {"convert", named("good.wav"), "--settings", named("none.set")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "melovantis-cli: Cannot open settings file " + named("none.set") +
                       " (No such file or directory)\n");
  const std::string target = named("no/such/folder/x.mid");
  r = runCli(dir, {"convert", named("good.wav"), "--quiet", "--midi", target});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "melovantis-cli: " + target + ": File error! (No such file or directory)\n");
}

TEST_F(CliMessages, LiveRefusesValuesOutsideTheirRangesBeforeItOpensAnyDevice) {
  test::writeMonoWave(dir / "tone.wav", test::harmonicTone(69, 4410));
  const std::string tone = named("tone.wav");
  for (const auto& [args, text] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--seconds", "0"}, "--seconds needs a value"},
           {{"--seconds", "86401"}, "--seconds needs a value"},
           {{"--audio-in", "-1"}, "--audio-in needs a value"},
           {{"--midi-out", "1001"}, "--midi-out needs a value"},
           {{"--virtual", ""}, "--virtual needs a value"},
           {{"--audio-in", "0", "--input-file", tone},
            "--audio-in and --input-file name two different inputs; give one"},
           {{"--midi-out", "1", "--virtual", "x"},
            "--midi-out and --virtual name two different outputs; give one"}}) {
    std::vector<std::string> all = {"live"};
    all.insert(all.end(), args.begin(), args.end());
    const auto r = runCli(dir, all);
    EXPECT_EQ(r.status, 2) << text;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "melovantis-cli: " + text + "\n");
  }
}

TEST(LiveCommandReport, BlocksLeftOutAreCountedInBlocksAndSecondsFromTheFirstOne) {
  EXPECT_EQ(blocksLeftOutReport(0, 1411), "");
  EXPECT_EQ(blocksLeftOutReport(1, 1411),
            "1 block of sound (0.03 s) left out: the analysis fell behind the input");
  EXPECT_EQ(blocksLeftOutReport(25, 1764),
            "25 blocks of sound (1.00 s) left out: the analysis fell behind the input");
}

}  // namespace
}  // namespace melovantis
