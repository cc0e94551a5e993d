#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "engine/Notifier.h"

namespace melovantis {

// Result codes of the reader. 261, 263 and 265 keep the numbers of the
// multimedia file I/O errors "cannot read", "cannot seek", "chunk not found".
enum WaveResult : int {
  kWaveOk = 0,
  kWaveNotOpen = 1,            // readData on a closed reader
  kWaveOutOfMemory = 0xE000,   // format block
  kWaveCannotOpen = 0xE100,
  kWaveNotWave = 0xE101,       // not RIFF/WAVE, "fmt " < 16 bytes, extra bytes missing
  kWaveShortFormat = 0xE102,   // short read of the 16-byte format or of the 2-byte extra size
  kWaveDataEnded = 0xE103,     // the file ended before the requested bytes
  kWaveCannotRead = 261,
  kWaveCannotSeek = 263,
  kWaveChunkNotFound = 265,
};

// The parsed format block.
struct WaveFormat {
  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSecond = 0;
  std::uint32_t averageBytesPerSecond = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t extraSize = 0;
};

// Reads the sample data of a RIFF WAVE file block by block. Accepts any
// format; which formats the program can use is decided by checkWaveFormat.
//
// Chunks may stand in any order; both searches start at the first chunk
// inside RIFF and never look past the end of the RIFF chunk or of the file.
// Data reads stop at the data chunk's byte count. Every size taken from the
// file is checked against what the file holds before it is used.
class WaveReader {
 public:
  WaveReader() = default;
  ~WaveReader();
  WaveReader(const WaveReader&) = delete;
  WaveReader& operator=(const WaveReader&) = delete;

  // Closes any open file, then opens `path` and copies its format block,
  // leaving the file positioned after "fmt ". On failure the reader is closed.
  int openWave(const std::filesystem::path& path);

  // Finds the "data" chunk and positions the file at its first byte. -1 when
  // the file cannot be positioned (closed reader), after telling the user.
  int startDataRead(Notifier& notifier);

  struct ReadResult {
    int result;
    std::size_t bytes;
  };
  // Copies up to byteCount bytes of the data chunk. Fewer bytes only when the
  // chunk ends; 0 bytes on any failure (the destination may then hold a part).
  ReadResult readData(void* destination, std::size_t byteCount);

  // Moves the file position by deltaBytes; the data chunk's remaining count
  // follows (moving forward lowers it). 0 or kWaveCannotSeek.
  int seekData(long long deltaBytes);

  void closeWave();
  bool isOpen() const { return file_ != nullptr; }

  // nullptr when no format block is held.
  const WaveFormat* format() const { return formatBlock_.empty() ? nullptr : &format_; }
  // The 18 + extra bytes as in the file (little-endian); empty when none.
  const std::vector<std::uint8_t>& formatBlock() const { return formatBlock_; }

  // The data chunk's size as found by startDataRead (0 before).
  std::uint32_t dataSize() const { return dataSize_; }
  // Bytes of the data chunk not yet read.
  std::uint32_t dataRemaining() const;
  // Bytes of the data chunk that the file really holds: a header written while
  // streaming, or a file cut short, promises more than is there.
  std::uint32_t dataInFile() const;

 private:
  struct ChunkSearch {
    int result;
    std::int64_t dataOffset;
    std::uint32_t size;
  };

  int openAndReadFormat(const std::filesystem::path& path);
  bool openFile(const std::filesystem::path& path);
  int readFormatChunk();
  ChunkSearch findChunk(const char* id);
  std::size_t readBytes(void* destination, std::size_t count);
  bool seekTo(std::int64_t offset);

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> formatBlock_;
  WaveFormat format_;
  std::int64_t fileSize_ = 0;
  std::int64_t riffEnd_ = 0;   // end of the RIFF contents, cut to the file's end
  std::int64_t position_ = 0;  // the file position, kept here so no call needs ftell
  std::uint32_t dataSize_ = 0;
  std::int64_t dataEnd_ = 0;   // file offset just past the data chunk; 0 before it is found
};

}  // namespace melovantis
