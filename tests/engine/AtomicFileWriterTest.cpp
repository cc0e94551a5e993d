#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/AtomicFileWriter.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

std::string contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(AtomicFileWriter, ReplacesTheTargetOnlyOnCommitAndLeavesNoTemporaryFile) {
  test::TempFolder dir;
  const auto target = dir / "song.mid";
  test::writeBytes(target, {'o', 'l', 'd'});
  {
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    std::fputs("new", writer.file());
    EXPECT_EQ(contents(target), "old");
    ASSERT_TRUE(writer.commit());
  }
  EXPECT_EQ(contents(target), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(AtomicFileWriter, AbandonedWriteKeepsTheOldFile) {
  test::TempFolder dir;
  const auto target = dir / "keep.mvt";
  test::writeBytes(target, {'o', 'l', 'd'});
  {
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    std::fputs("half", writer.file());
  }
  EXPECT_EQ(contents(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(AtomicFileWriter, MissingFolderFailsWithTheSystemsMessage) {
  test::TempFolder dir;
  AtomicFileWriter writer(dir / "no-such-folder" / "x.set");
  EXPECT_FALSE(writer.open());
  EXPECT_FALSE(writer.errorText().empty());
  EXPECT_FALSE(writer.commit());
}

TEST(AtomicFileWriter, FullDiskFailsAtCommitAndKeepsTheOldFile) {
  if (!std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full here";
  }
  // /dev/full takes the open but fails every write with ENOSPC; a rename onto
  // it would fail as well, so the writer must report failure either way.
  test::TempFolder dir;
  const auto target = dir / "old.mid";
  test::writeBytes(target, {'o', 'k'});
  AtomicFileWriter writer(target);
  ASSERT_TRUE(writer.open());
  std::FILE* full = std::freopen("/dev/full", "wb", writer.file());
  ASSERT_NE(full, nullptr);
  std::vector<char> block(1 << 16, 'x');
  std::fwrite(block.data(), 1, block.size(), full);
  EXPECT_FALSE(writer.commit());
  EXPECT_EQ(contents(target), "ok");
}

}  // namespace
}  // namespace melovantis
