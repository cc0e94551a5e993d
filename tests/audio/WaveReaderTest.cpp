#include "audio/WaveReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "support/AllocationHooks.h"
#include "support/RecordingNotifier.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

// The format block is the reader's only allocation; its out-of-memory path is
// reached by making that one allocation fail.
using melovantis::test::AllocationHooks;

namespace melovantis {
namespace {

using test::RecordingNotifier;
using test::TempFolder;
using test::WaveFileBuilder;
using Bytes = std::vector<std::uint8_t>;

void append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

Bytes le16(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)};
}

Bytes le32(std::uint32_t value) {
  Bytes bytes = le16(value & 0xFFFF);
  append(bytes, le16(value >> 16));
  return bytes;
}

Bytes id(const char* name) { return Bytes(name, name + 4); }

// A chunk header exactly as given, whatever the contents that follow.
Bytes chunkHeader(const char* name, std::uint32_t size) {
  Bytes bytes = id(name);
  append(bytes, le32(size));
  return bytes;
}

// The 16 bytes from format tag to bits per sample.
Bytes formatFields(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                   std::uint16_t bits) {
  const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * (bits / 8));
  Bytes bytes = le16(tag);
  append(bytes, le16(channels));
  append(bytes, le32(rate));
  append(bytes, le32(rate * blockAlign));
  append(bytes, le16(blockAlign));
  append(bytes, le16(bits));
  return bytes;
}

// Data bytes that are the little-endian samples 0, 1, 2, ..., so any byte
// delivered from a wrong offset shows.
Bytes countingBytes(std::size_t count) {
  Bytes bytes(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t sample = i / 2;
    bytes[i] = static_cast<std::uint8_t>(i % 2 == 0 ? sample & 0xFF : (sample >> 8) & 0xFF);
  }
  return bytes;
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t count) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

class WaveReaderTest : public ::testing::Test {
 protected:
  std::filesystem::path write(const WaveFileBuilder& builder, const std::string& name = "test.wav") {
    const std::filesystem::path path = folder / name;
    builder.write(path);
    return path;
  }

  std::filesystem::path writeRaw(const Bytes& bytes, const std::string& name = "test.wav") {
    const std::filesystem::path path = folder / name;
    test::writeBytes(path, bytes);
    return path;
  }

  // Reads blocks of blockBytes until a read delivers nothing; returns the sizes delivered.
  std::vector<std::size_t> readBlocks(std::size_t blockBytes, Bytes& all) {
    std::vector<std::size_t> sizes;
    Bytes block(blockBytes);
    for (int guard = 0; guard < 100000; ++guard) {
      const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
      EXPECT_EQ(read.result, kWaveOk);
      if (read.bytes == 0) {
        break;
      }
      sizes.push_back(read.bytes);
      all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(read.bytes));
    }
    return sizes;
  }

  void expectClosed() {
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(reader.format(), nullptr);
    EXPECT_TRUE(reader.formatBlock().empty());
    EXPECT_EQ(reader.dataSize(), 0u);
    EXPECT_EQ(reader.dataRemaining(), 0u);
  }

  TempFolder folder;
  RecordingNotifier notifier;
  WaveReader reader;
};

// ---- The format block ----

TEST_F(WaveReaderTest, SixteenBytePcmFormatChunkGivesEighteenByteBlockWithExtraSizeZero) {
  const auto path = write(WaveFileBuilder().fmt(1, 1, 44100, 16).data({1, 2, 3}));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_TRUE(reader.isOpen());

  Bytes expected = formatFields(1, 1, 44100, 16);
  append(expected, {0, 0});
  EXPECT_EQ(reader.formatBlock(), expected);

  ASSERT_NE(reader.format(), nullptr);
  const WaveFormat& format = *reader.format();
  EXPECT_EQ(format.formatTag, 1);
  EXPECT_EQ(format.channels, 1);
  EXPECT_EQ(format.samplesPerSecond, 44100u);
  EXPECT_EQ(format.averageBytesPerSecond, 88200u);
  EXPECT_EQ(format.blockAlign, 2);
  EXPECT_EQ(format.bitsPerSample, 16);
  EXPECT_EQ(format.extraSize, 0);
}

TEST_F(WaveReaderTest, NonPcmFormatWithTwentyTwoExtraBytesGivesFortyByteBlockHoldingThem) {
  const auto path = write(WaveFileBuilder().fmt(0xFFFE, 2, 48000, 24, 22).data({1, 2}));
  ASSERT_EQ(reader.openWave(path), kWaveOk);

  const Bytes& block = reader.formatBlock();
  ASSERT_EQ(block.size(), 40u);
  EXPECT_EQ(slice(block, 0, 16), formatFields(0xFFFE, 2, 48000, 24));
  EXPECT_EQ(slice(block, 16, 2), le16(22));
  for (std::size_t i = 0; i < 22; ++i) {
    EXPECT_EQ(block[18 + i], 0xA0 + i) << "extra byte " << i;
  }
  EXPECT_EQ(reader.format()->formatTag, 0xFFFE);
  EXPECT_EQ(reader.format()->extraSize, 22);
}

TEST_F(WaveReaderTest, PcmFormatIgnoresAnExtraSizeFieldAndStillFindsTheData) {
  // PCM carries no extra bytes, whatever the chunk holds after its 16 bytes.
  const Bytes data = countingBytes(40);
  const auto path = write(WaveFileBuilder().fmt(1, 1, 44100, 16, 4).chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.formatBlock().size(), 18u);
  EXPECT_EQ(reader.format()->extraSize, 0);

  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes all;
  readBlocks(64, all);
  EXPECT_EQ(all, data);
}

TEST_F(WaveReaderTest, SixteenByteNonPcmChunkHasNoExtraBytesAndDoesNotReadIntoTheNextChunk) {
  const Bytes data = countingBytes(40);
  const auto path = write(WaveFileBuilder().fmt(3, 1, 44100, 32).chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.formatBlock().size(), 18u);
  EXPECT_EQ(reader.format()->formatTag, 3);
  EXPECT_EQ(reader.format()->extraSize, 0);

  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes all;
  readBlocks(64, all);
  EXPECT_EQ(all, data);
}

TEST_F(WaveReaderTest, OpeningASecondFileReplacesTheFirstAndAFailedOpenLeavesTheReaderClosed) {
  const auto first = write(WaveFileBuilder().fmt(1, 1, 44100, 16).data({1}), "first.wav");
  const auto second = write(WaveFileBuilder().fmt(1, 2, 22050, 8).data({1}), "second.wav");
  ASSERT_EQ(reader.openWave(first), kWaveOk);
  ASSERT_EQ(reader.openWave(second), kWaveOk);
  EXPECT_EQ(reader.format()->channels, 2);
  EXPECT_EQ(reader.format()->samplesPerSecond, 22050u);

  EXPECT_EQ(reader.openWave(folder / "missing.wav"), kWaveCannotOpen);
  expectClosed();
}

TEST_F(WaveReaderTest, CloseIsSafeWhenAlreadyClosedAndClearsEverything) {
  reader.closeWave();
  expectClosed();
  const auto path = write(WaveFileBuilder().fmt().data({1, 2, 3}));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  reader.closeWave();
  expectClosed();
  reader.closeWave();
  expectClosed();
}

// ---- Files that are not WAVE files, or not files ----

TEST_F(WaveReaderTest, AnMp3FileIsNotWaveAndLeavesNoFormatBlock) {
  // An ID3 tag and the first MPEG audio frame header of a typical MP3 file.
  Bytes mp3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFB, 0x90, 0x64};
  append(mp3, Bytes(400, 0x55));
  EXPECT_EQ(reader.openWave(writeRaw(mp3, "song.mp3")), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, ARiffFileOfAnotherFormIsNotWave) {
  Bytes avi = chunkHeader("RIFF", 100);
  append(avi, id("AVI "));
  append(avi, Bytes(96, 0));
  EXPECT_EQ(reader.openWave(writeRaw(avi)), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, MissingFileDirectoryDeviceAndPipeCannotBeOpened) {
  EXPECT_EQ(reader.openWave(folder / "missing.wav"), kWaveCannotOpen);
  expectClosed();
  EXPECT_EQ(reader.openWave(""), kWaveCannotOpen);
  EXPECT_EQ(reader.openWave(folder.path()), kWaveCannotOpen);
  expectClosed();
  EXPECT_EQ(reader.openWave("/dev/null"), kWaveCannotOpen);
  expectClosed();
  // A named pipe without a writer would block an ordinary open for ever.
  const auto pipe = folder / "pipe.wav";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(reader.openWave(pipe), kWaveCannotOpen);
  expectClosed();
}

TEST_F(WaveReaderTest, FilesTooShortForAChunkHeaderHaveNoChunk) {
  EXPECT_EQ(reader.openWave(writeRaw({})), kWaveChunkNotFound);
  expectClosed();
  EXPECT_EQ(reader.openWave(writeRaw({'R', 'I', 'F', 'F', 4, 0, 0})), kWaveChunkNotFound);
  expectClosed();
}

TEST_F(WaveReaderTest, RiffHeaderWithoutItsFormTypeIsNotWave) {
  Bytes bytes = chunkHeader("RIFF", 4);
  append(bytes, {'W', 'A'});
  EXPECT_EQ(reader.openWave(writeRaw(bytes)), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, AReadErrorAtTheStartIsReported) {
  // The kernel lists this as a regular file, but reading its first bytes fails
  // (address 0 of the process is never mapped).
  const int result = reader.openWave("/proc/self/mem");
  if (result == kWaveCannotOpen) {
    GTEST_SKIP() << "/proc/self/mem cannot be opened here";
  }
  EXPECT_EQ(result, kWaveCannotRead);
  expectClosed();
}

// ---- Broken format chunks ----

TEST_F(WaveReaderTest, MissingFormatChunkIsChunkNotFound) {
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().data({1, 2, 3}))), kWaveChunkNotFound);
  expectClosed();
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder())), kWaveChunkNotFound);
  expectClosed();
}

TEST_F(WaveReaderTest, FormatChunkShorterThanSixteenBytesIsNotWave) {
  const Bytes shortFormat = slice(formatFields(1, 1, 44100, 16), 0, 14);
  const auto path = write(WaveFileBuilder().chunk("fmt ", shortFormat).data({1, 2}));
  EXPECT_EQ(reader.openWave(path), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, FileEndingInsideTheSixteenFormatBytesIsShortFormat) {
  Bytes body = chunkHeader("fmt ", 16);
  append(body, slice(formatFields(1, 1, 44100, 16), 0, 10));
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().raw(body))), kWaveShortFormat);
  expectClosed();
}

TEST_F(WaveReaderTest, FileEndingInsideTheExtraSizeFieldIsShortFormat) {
  Bytes body = chunkHeader("fmt ", 18);
  append(body, formatFields(3, 1, 44100, 32));
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().raw(body))), kWaveShortFormat);
  body.push_back(0);
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().raw(body))), kWaveShortFormat);
  expectClosed();
}

TEST_F(WaveReaderTest, HugeExtraSizeWithFewBytesPresentIsNotWave) {
  Bytes body = chunkHeader("fmt ", 18 + 65535);
  append(body, formatFields(0xFFFE, 2, 44100, 16));
  append(body, le16(65535));
  append(body, Bytes(10, 0xEE));
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().raw(body))), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, ExtraBytesCutShortByTheFileEndAreNotWave) {
  Bytes body = chunkHeader("fmt ", 40);
  append(body, formatFields(0xFFFE, 2, 44100, 16));
  append(body, le16(22));
  append(body, Bytes(21, 0xEE));
  EXPECT_EQ(reader.openWave(write(WaveFileBuilder().raw(body))), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, ExtraSizeLargerThanItsChunkIsNotWaveEvenWhenTheFileGoesOn) {
  // The chunk holds 4 extra bytes but claims 22; the bytes after it are the data chunk's.
  Bytes format = formatFields(0xFFFE, 2, 44100, 16);
  append(format, le16(22));
  append(format, Bytes(4, 0xEE));
  const auto path = write(WaveFileBuilder().chunk("fmt ", format).data(std::vector<std::int16_t>(100, 7)));
  EXPECT_EQ(reader.openWave(path), kWaveNotWave);
  expectClosed();
}

TEST_F(WaveReaderTest, FailingFormatBlockAllocationIsOutOfMemoryAndLeavesTheReaderClosed) {
  const auto path = write(WaveFileBuilder().fmt(0xFFFE, 2, 44100, 16, 1013).data({1, 2}));
  AllocationHooks::failingSize = 18 + 1013;
  EXPECT_EQ(reader.openWave(path), kWaveOutOfMemory);
  EXPECT_EQ(AllocationHooks::failingSize.load(), 0u) << "the format block was never allocated";
  AllocationHooks::failingSize = 0;
  expectClosed();

  EXPECT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.formatBlock().size(), 18u + 1013u);
}

// ---- Chunk layout ----

TEST_F(WaveReaderTest, DataChunkBeforeFormatChunkIsFound) {
  const Bytes data = countingBytes(600);
  const auto path = write(WaveFileBuilder().chunk("data", data).fmt());
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.format()->samplesPerSecond, 44100u);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 600u);
  Bytes all;
  readBlocks(256, all);
  EXPECT_EQ(all, data);
}

TEST_F(WaveReaderTest, OddSizedChunksBeforeDataAreSkippedWithTheirPadByte) {
  const Bytes data = countingBytes(300);
  const auto path = write(WaveFileBuilder()
                              .chunk("LIST", Bytes(3, 'x'))
                              .fmt()
                              .chunk("junk", Bytes(7, 'y'))
                              .chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes all;
  readBlocks(100, all);
  EXPECT_EQ(all, data);
}

TEST_F(WaveReaderTest, OddSizedDataChunkStopsAtItsLastByteNotAtThePad) {
  const Bytes data = countingBytes(101);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data).chunk("LIST", Bytes(50, 'z')));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes all;
  EXPECT_EQ(readBlocks(200, all), std::vector<std::size_t>{101});
  EXPECT_EQ(all, data);
}

TEST_F(WaveReaderTest, RiffSizeOfAllOnesIsBoundedByTheFileEnd) {
  const Bytes data = countingBytes(500);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data).riffSizeOverride(0xFFFFFFFF));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes all;
  readBlocks(128, all);
  EXPECT_EQ(all, data);

  // With the data missing, the search runs to the file's end and stops there.
  const auto noData = write(WaveFileBuilder().fmt().riffSizeOverride(0xFFFFFFFF), "nodata.wav");
  ASSERT_EQ(reader.openWave(noData), kWaveOk);
  EXPECT_EQ(reader.startDataRead(notifier), kWaveChunkNotFound);
}

TEST_F(WaveReaderTest, ChunksBeyondTheRiffChunksEndAreNotFound) {
  // "WAVE" and the "fmt " chunk only: the data chunk after them lies outside RIFF.
  const auto path = write(WaveFileBuilder().fmt().data({1, 2, 3}).riffSizeOverride(4 + 24));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.startDataRead(notifier), kWaveChunkNotFound);

  const auto tiny = write(WaveFileBuilder().fmt().data({1}).riffSizeOverride(4), "tiny.wav");
  EXPECT_EQ(reader.openWave(tiny), kWaveChunkNotFound);
  expectClosed();
}

TEST_F(WaveReaderTest, ChunkSizePointingPastTheFileEndEndsTheSearch) {
  Bytes body = chunkHeader("LIST", 0x7FFFFFF0);
  append(body, Bytes(20, 0));
  const auto path = write(WaveFileBuilder().raw(body).fmt().data({1, 2}));
  EXPECT_EQ(reader.openWave(path), kWaveChunkNotFound);
  expectClosed();

  // A format chunk claiming the rest of a 4 GB file swallows the data chunk.
  Bytes format = chunkHeader("fmt ", 0xFFFFFFFF);
  append(format, formatFields(1, 1, 44100, 16));
  const auto swallowing = write(WaveFileBuilder().raw(format).data({1, 2}), "swallow.wav");
  ASSERT_EQ(reader.openWave(swallowing), kWaveOk);
  EXPECT_EQ(reader.startDataRead(notifier), kWaveChunkNotFound);
  Bytes block(16);
  const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveOk);
  EXPECT_EQ(read.bytes, 0u);
}

TEST_F(WaveReaderTest, MissingDataChunkIsChunkNotFoundAndReadsDeliverNothing) {
  const auto path = write(WaveFileBuilder().fmt().chunk("LIST", Bytes(10, 1)));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  EXPECT_EQ(reader.startDataRead(notifier), kWaveChunkNotFound);
  EXPECT_TRUE(notifier.entries.empty());
  EXPECT_EQ(reader.dataSize(), 0u);
  EXPECT_EQ(reader.dataRemaining(), 0u);
  Bytes block(16);
  const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveOk);
  EXPECT_EQ(read.bytes, 0u);
}

// ---- Reading the data ----

TEST_F(WaveReaderTest, DataNotAMultipleOfTheBlockEndsWithTheRemainderThenNothing) {
  const Bytes data = countingBytes(1000);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 1000u);
  EXPECT_EQ(reader.dataRemaining(), 1000u);

  Bytes block(300);
  for (std::size_t expected : {300u, 300u, 300u, 100u, 0u, 0u}) {
    const std::uint32_t before = reader.dataRemaining();
    const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
    EXPECT_EQ(read.result, kWaveOk);
    ASSERT_EQ(read.bytes, expected);
    EXPECT_EQ(reader.dataRemaining(), before - expected);
    if (expected > 0) {
      EXPECT_EQ(slice(block, 0, expected), slice(data, 1000 - before, expected));
    }
  }
  EXPECT_EQ(reader.dataSize(), 1000u);
}

TEST_F(WaveReaderTest, AnalysisSizedBlocksOfALongRecordingArriveIntact) {
  const std::vector<std::int16_t> samples = test::harmonicTone(69.0, 44100);
  const auto path = write(WaveFileBuilder().fmt().data(samples));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);

  constexpr std::size_t kFrameSamples = 7840;  // the longest analysis frame
  std::vector<std::int16_t> block(kFrameSamples);
  std::vector<std::int16_t> all;
  for (;;) {
    const WaveReader::ReadResult read = reader.readData(block.data(), block.size() * 2);
    ASSERT_EQ(read.result, kWaveOk);
    if (read.bytes == 0) {
      break;
    }
    all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(read.bytes / 2));
  }
  EXPECT_EQ(all, samples);
}

TEST_F(WaveReaderTest, DataChunkEndingEarlyOnDiskGivesDataEndedAndNoBytes) {
  // The header promises 1000 data bytes; only 500 were written.
  Bytes body = chunkHeader("data", 1000);
  const Bytes present = countingBytes(500);
  append(body, present);
  const auto path = write(WaveFileBuilder().fmt().raw(body));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 1000u);

  Bytes block(200);
  WaveReader::ReadResult read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveOk);
  EXPECT_EQ(read.bytes, 200u);
  read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveOk);
  EXPECT_EQ(read.bytes, 200u);
  EXPECT_EQ(slice(block, 0, 200), slice(present, 200, 200));
  read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveDataEnded);
  EXPECT_EQ(read.bytes, 0u);
  read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveDataEnded);
  EXPECT_EQ(read.bytes, 0u);
}

TEST_F(WaveReaderTest, StreamingHeaderClaimingFourGigabytesReadsWhatExistsThenDataEnded) {
  Bytes body = chunkHeader("data", 0xFFFFFFFF);
  append(body, countingBytes(64));
  const auto path = write(WaveFileBuilder().fmt().raw(body).riffSizeOverride(0xFFFFFFFF));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataSize(), 0xFFFFFFFFu);

  Bytes block(48);
  EXPECT_EQ(reader.readData(block.data(), block.size()).bytes, 48u);
  const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveDataEnded);
  EXPECT_EQ(read.bytes, 0u);
}

TEST_F(WaveReaderTest, StartingAgainRewindsToTheFirstDataByte) {
  const Bytes data = countingBytes(100);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes block(60);
  EXPECT_EQ(reader.readData(block.data(), block.size()).bytes, 60u);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  EXPECT_EQ(reader.dataRemaining(), 100u);
  EXPECT_EQ(reader.readData(block.data(), block.size()).bytes, 60u);
  EXPECT_EQ(block, slice(data, 0, 60));
}

TEST_F(WaveReaderTest, ClosedReaderRefusesToStartWithAMessageAndReadsNothing) {
  EXPECT_EQ(reader.startDataRead(notifier), -1);
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "Error reading wave file");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_FALSE(notifier.entries[0].question);

  Bytes block(16);
  const WaveReader::ReadResult read = reader.readData(block.data(), block.size());
  EXPECT_EQ(read.result, kWaveNotOpen);
  EXPECT_EQ(read.bytes, 0u);
  EXPECT_EQ(reader.seekData(2), kWaveCannotSeek);
}

// ---- Moving the position ----

TEST_F(WaveReaderTest, SeekingBackAndForthKeepsTheRemainingCountAndTheBytesInStep) {
  const Bytes data = countingBytes(1000);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes block(100);

  ASSERT_EQ(reader.readData(block.data(), 100).bytes, 100u);
  ASSERT_EQ(reader.readData(block.data(), 100).bytes, 100u);
  EXPECT_EQ(reader.dataRemaining(), 800u);

  EXPECT_EQ(reader.seekData(-150), kWaveOk);
  EXPECT_EQ(reader.dataRemaining(), 950u);
  ASSERT_EQ(reader.readData(block.data(), 100).bytes, 100u);
  EXPECT_EQ(block, slice(data, 50, 100));

  EXPECT_EQ(reader.seekData(750), kWaveOk);
  EXPECT_EQ(reader.dataRemaining(), 100u);
  ASSERT_EQ(reader.readData(block.data(), 100).bytes, 100u);
  EXPECT_EQ(block, slice(data, 900, 100));
  EXPECT_EQ(reader.dataRemaining(), 0u);

  // Past the chunk's end nothing is left; coming back restores the count exactly.
  EXPECT_EQ(reader.seekData(5000), kWaveOk);
  EXPECT_EQ(reader.dataRemaining(), 0u);
  WaveReader::ReadResult read = reader.readData(block.data(), 100);
  EXPECT_EQ(read.result, kWaveOk);
  EXPECT_EQ(read.bytes, 0u);
  EXPECT_EQ(reader.seekData(-5300), kWaveOk);
  EXPECT_EQ(reader.dataRemaining(), 300u);
  ASSERT_EQ(reader.readData(block.data(), 100).bytes, 100u);
  EXPECT_EQ(block, slice(data, 700, 100));
}

TEST_F(WaveReaderTest, SeekingBeforeTheFileStartFailsAndMovesNothing) {
  const Bytes data = countingBytes(200);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);
  Bytes block(50);
  ASSERT_EQ(reader.readData(block.data(), 50).bytes, 50u);

  EXPECT_EQ(reader.seekData(-1000000), kWaveCannotSeek);
  EXPECT_EQ(reader.seekData(std::numeric_limits<long long>::min()), kWaveCannotSeek);
  EXPECT_EQ(reader.seekData(std::numeric_limits<long long>::max()), kWaveCannotSeek);
  EXPECT_EQ(reader.dataRemaining(), 150u);
  ASSERT_EQ(reader.readData(block.data(), 50).bytes, 50u);
  EXPECT_EQ(block, slice(data, 50, 50));
}

TEST_F(WaveReaderTest, OverlappingBlocksReadWithBackStepsStartOneHopApart) {
  // As the conversion reads: a block of 2N bytes, then a step back of 2N - 2H.
  constexpr std::size_t kBlockBytes = 64;
  constexpr std::size_t kHopBytes = 16;
  const Bytes data = countingBytes(256);
  const auto path = write(WaveFileBuilder().fmt().chunk("data", data));
  ASSERT_EQ(reader.openWave(path), kWaveOk);
  ASSERT_EQ(reader.startDataRead(notifier), kWaveOk);

  Bytes block(kBlockBytes);
  std::size_t blocks = 0;
  for (;;) {
    const WaveReader::ReadResult read = reader.readData(block.data(), kBlockBytes);
    ASSERT_EQ(read.result, kWaveOk);
    if (read.bytes < kBlockBytes) {
      break;
    }
    EXPECT_EQ(block, slice(data, blocks * kHopBytes, kBlockBytes)) << "block " << blocks;
    ASSERT_EQ(reader.seekData(-static_cast<long long>(kBlockBytes - kHopBytes)), kWaveOk);
    ++blocks;
  }
  // Blocks i with i * 16 + 64 <= 256.
  EXPECT_EQ(blocks, 13u);
}

}  // namespace
}  // namespace melovantis
