#include "conversion/AudioFileConverter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

namespace fs = std::filesystem;

// Stand-ins for ffmpeg: shell scripts that leave behind which of them ran and
// with which source, and end as each case needs.
class AudioFileConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    oldPath_ = path != nullptr ? path : "";
    ::setenv("PATH", (dir_ / "bin").c_str(), 1);
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "program");
  }
  void TearDown() override { ::setenv("PATH", oldPath_.c_str(), 1); }

  void fakeConverter(const fs::path& where, const std::string& name, const std::string& ending) {
    // $2 is the source, ${12} the target, as the converter's arguments place them.
    test::writeText(where / "ffmpeg", "#!/bin/sh\necho \"" + name + " $2 $PWD\" > \"${12}\"\n" +
                                          ending + "\n");
    fs::permissions(where / "ffmpeg", fs::perms::owner_all);
  }

  std::string convert() const {
    return AudioFileConverter(dir_ / "program").convert(dir_ / "song.mp3", dir_ / "song.wav");
  }

  test::TempFolder dir_;
  std::string oldPath_;
};

TEST_F(AudioFileConverterTest, TheProgramFolderComesBeforePathAndRunsThere) {
  fakeConverter(dir_ / "bin", "path", "exit 0");
  fakeConverter(dir_ / "program", "folder", "exit 0");
  EXPECT_EQ(AudioFileConverter(dir_ / "program").findProgram(), dir_ / "program" / "ffmpeg");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(test::readText(dir_ / "song.wav"),
            "folder " + (dir_ / "song.mp3").string() + " " + (dir_ / "program").string() + "\n");

  fs::remove(dir_ / "program" / "ffmpeg");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(test::readText(dir_ / "song.wav").substr(0, 5), "path ");
}

TEST_F(AudioFileConverterTest, RelativePathsReachTheConverterWhole) {
  fakeConverter(dir_ / "program", "folder", "exit 0");
  const fs::path before = fs::current_path();
  fs::current_path(dir_.path());
  const std::string problem =
      AudioFileConverter(dir_ / "program").convert("song.mp3", "./song.wav");
  fs::current_path(before);
  EXPECT_EQ(problem, "");
  EXPECT_NE(test::readText(dir_ / "song.wav").find(" " + (dir_ / "song.mp3").string() + " "),
            std::string::npos);
}

TEST_F(AudioFileConverterTest, EachFailureIsSaidInAFewWords) {
  EXPECT_TRUE(AudioFileConverter(dir_ / "program").findProgram().empty());
  EXPECT_EQ(convert(), "ffmpeg not found");

  fakeConverter(dir_ / "program", "folder", "exit 3");
  EXPECT_EQ(convert(), "ffmpeg exited with status 3");

  fakeConverter(dir_ / "program", "folder", "kill -9 $$");
  EXPECT_EQ(convert(), "ffmpeg was ended by signal 9");

  // Executable, but its interpreter is missing: the start itself fails.
  test::writeText(dir_ / "program" / "ffmpeg", "#!/nonexistent/interpreter\n");
  EXPECT_EQ(convert(), "ffmpeg could not be started (No such file or directory)");
}

}  // namespace
}  // namespace melovantis
