// Inputs that are not what their name says: named pipes, devices and folders
// given as settings, project or WAVE files, and WAVE headers that promise more
// than the file holds. None may hang the program or make it take memory for
// data that is not there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "HardeningSupport.h"
#include "audio/WaveFormatCheck.h"
#include "audio/WaveReader.h"
#include "documents/ProjectFile.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::RecordingNotifier;
using test::TempFolder;

// Runs `read` on a named pipe that nobody writes to. If the read is still
// waiting after a few seconds (a regression), the pipe gets a writer that
// closes at once, so the test fails instead of hanging.
template <typename Read>
bool readFromSilentPipe(const std::filesystem::path& pipe, Read read) {
  EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::future<bool> result = std::async(std::launch::async, [&] { return read(pipe); });
  if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "reading " << pipe << " blocked";
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      ::close(fd);
    }
  }
  return result.get();
}

TEST(SpecialInputFiles, NamedPipeAsSettingsIsRefusedAtOnceAndChangesNothing) {
  TempFolder folder;
  SettingsRecord record = test::factoryWith({{1, 33}});
  const bool read = readFromSilentPipe(folder / "pipe.set", [&](const std::filesystem::path& p) {
    return readSettingsFile(p, record);
  });
  EXPECT_FALSE(read);
  EXPECT_EQ(record, test::factoryWith({{1, 33}}));
}

TEST(SpecialInputFiles, NamedPipeAsProjectSaysCannotOpenAndKeepsTheTable) {
  TempFolder folder;
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  engine.reserveRows(2);
  engine.frameCount = 2;
  engine.frames[1].pitch = 61.0;
  const bool read = readFromSilentPipe(folder / "pipe.mvt", [&](const std::filesystem::path& p) {
    return readProjectFile(engine, p, notifier);
  });
  EXPECT_FALSE(read);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Cannot open Melovantis file!");
  EXPECT_EQ(engine.frameCount, 2);
  EXPECT_EQ(engine.frames[1].pitch, 61.0);
}

TEST(SpecialInputFiles, NamedPipeAsWaveIsNotAValidWaveFile) {
  TempFolder folder;
  RecordingNotifier notifier;
  WaveReader reader;
  const bool accepted = readFromSilentPipe(
      folder / "pipe.wav",
      [&](const std::filesystem::path& p) { return checkWaveFormat(reader, p, notifier); });
  EXPECT_FALSE(accepted);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Not a valid wave file!");
}

TEST(SpecialInputFiles, EndlessDevicesAndFoldersAreRefusedAsSettingsAndProjects) {
  TempFolder folder;
  RecordingNotifier notifier;
  AnalysisEngine engine(notifier);
  for (const std::filesystem::path& path :
       {std::filesystem::path("/dev/zero"), std::filesystem::path("/dev/urandom"),
        std::filesystem::path("/dev/null"), folder.path()}) {
    SettingsRecord record;
    EXPECT_FALSE(readSettingsFile(path, record)) << path;
    EXPECT_EQ(record, SettingsRecord{}) << path;
    notifier.entries.clear();
    EXPECT_FALSE(readProjectFile(engine, path, notifier)) << path;
    ASSERT_EQ(notifier.entries.size(), 1u) << path;
    EXPECT_EQ(notifier.entries[0].text, "Cannot open Melovantis file!");
  }
}

// A data chunk whose size field says far more than the file holds, as a
// recorder that was stopped before it could finish its header leaves it.
std::vector<std::uint8_t> waveWithDataSize(const std::vector<std::int16_t>& samples,
                                           std::uint32_t sizeField) {
  std::vector<std::uint8_t> bytes = test::WaveFileBuilder().fmt().data(samples).bytes();
  const std::size_t sizeAt = bytes.size() - samples.size() * 2 - 4;
  for (int i = 0; i < 4; ++i) {
    bytes[sizeAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sizeField >> (8 * i));
  }
  return bytes;
}

TEST(WaveHeaderPromises, ReaderTellsHowMuchOfTheDataChunkTheFileHolds) {
  TempFolder folder;
  RecordingNotifier notifier;
  const auto path = folder / "cut.wav";
  test::writeBytes(path, waveWithDataSize(test::constant(1000), 0xFFFFFFFF));
  WaveReader reader;
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 0xFFFFFFFFu);
  EXPECT_EQ(reader.dataInFile(), 2000u);

  test::writeBytes(path, waveWithDataSize(test::constant(1000), 600));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataInFile(), 600u);  // the chunk ends before the file

  reader.closeWave();
  EXPECT_EQ(reader.dataInFile(), 0u);
}

TEST(WaveHeaderPromises, ConversionTakesMemoryForTheRowsTheFileHoldsNotForTheHeader) {
  TempFolder folder;
  RecordingNotifier notifier;
  const auto path = folder / "streamed.wav";
  // A second of tone under a header that claims 4 GB: at a hop of 300 samples
  // that would be seven million rows, over 300 MB.
  test::writeBytes(path, waveWithDataSize(test::harmonicTone(60.0, 44100), 0xFFFFFFFF));
  AnalysisEngine engine(notifier);
  SettingsRecord settings = test::factoryWith({{1, 20}, {5, 2}});
  test::convertWithSettings(engine, settings, path, notifier);
  EXPECT_EQ(engine.frameCount, (44100 - 880) / 300 + 1);
  EXPECT_LE(engine.frames.size(), static_cast<std::size_t>(engine.frameCount) + 1);
  EXPECT_LE(engine.undoFrames.size(), static_cast<std::size_t>(engine.frameCount) + 1);
  EXPECT_TRUE(notifier.entries.empty());
}

}  // namespace
}  // namespace melovantis
