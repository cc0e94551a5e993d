#include "audio/WaveReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace melovantis {

namespace {

constexpr std::int64_t kChunkHeaderBytes = 8;     // identifier and 32-bit size
constexpr std::int64_t kFirstChunkOffset = 12;    // after "RIFF", its size and "WAVE"
constexpr std::size_t kFormatBytes = 16;          // tag .. bits per sample
constexpr std::size_t kFormatBlockBytes = 18;     // the same plus the extra-size field
constexpr std::uint16_t kPcmTag = 1;

std::uint16_t readLe16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t readLe32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool hasId(const std::uint8_t* bytes, const char* id) { return std::memcmp(bytes, id, 4) == 0; }

// A chunk's contents are followed by a pad byte when their size is odd.
std::int64_t paddedSize(std::uint32_t size) {
  return static_cast<std::int64_t>(size) + static_cast<std::int64_t>(size & 1U);
}

}  // namespace

WaveReader::~WaveReader() { closeWave(); }

int WaveReader::openWave(const std::filesystem::path& path) {
  closeWave();
  const int result = openAndReadFormat(path);
  if (result != kWaveOk) {
    closeWave();
  }
  return result;
}

int WaveReader::openAndReadFormat(const std::filesystem::path& path) {
  if (!openFile(path)) {
    return kWaveCannotOpen;
  }
  // The first chunk is taken as it stands, without a search.
  std::uint8_t header[12];
  const std::size_t got = readBytes(header, sizeof header);
  if (std::ferror(file_) != 0) {
    return kWaveCannotRead;
  }
  if (got < static_cast<std::size_t>(kChunkHeaderBytes)) {
    return kWaveChunkNotFound;
  }
  if (got < sizeof header || !hasId(header, "RIFF") || !hasId(header + 8, "WAVE")) {
    return kWaveNotWave;
  }
  // Writers that stream leave 0xFFFFFFFF here; the file's end bounds the searches anyway.
  riffEnd_ = std::min(kChunkHeaderBytes + static_cast<std::int64_t>(readLe32(header + 4)), fileSize_);
  return readFormatChunk();
}

bool WaveReader::openFile(const std::filesystem::path& path) {
  // Non-blocking so that a named pipe cannot hang the open; anything but a
  // regular file is refused before stdio sees it (a directory opens on Linux).
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  file_ = ::fdopen(fd, "rb");
  if (file_ == nullptr) {
    ::close(fd);
    return false;
  }
  fileSize_ = static_cast<std::int64_t>(info.st_size);
  position_ = 0;
  return true;
}

int WaveReader::readFormatChunk() {
  const ChunkSearch chunk = findChunk("fmt ");
  if (chunk.result != kWaveOk) {
    return chunk.result;
  }
  if (chunk.size < kFormatBytes) {
    return kWaveNotWave;
  }
  std::uint8_t fixed[kFormatBytes];
  if (readBytes(fixed, sizeof fixed) < sizeof fixed) {
    return kWaveShortFormat;
  }
  const std::uint16_t formatTag = readLe16(fixed);
  std::uint16_t extraSize = 0;
  // PCM has no extra bytes. A 16-byte chunk of another format has no
  // extra-size field either; the two bytes after it belong to the next chunk.
  if (formatTag != kPcmTag && chunk.size >= kFormatBlockBytes) {
    std::uint8_t sizeField[2];
    if (readBytes(sizeField, sizeof sizeField) < sizeof sizeField) {
      return kWaveShortFormat;
    }
    extraSize = readLe16(sizeField);
    // Extra bytes that are not in the chunk, or not in the file, could never
    // be read; refuse before allocating for them.
    if (extraSize > chunk.size - kFormatBlockBytes || position_ + extraSize > fileSize_) {
      return kWaveNotWave;
    }
  }
  try {
    formatBlock_.assign(kFormatBlockBytes + extraSize, 0);
  } catch (const std::bad_alloc&) {
    return kWaveOutOfMemory;
  }
  std::memcpy(formatBlock_.data(), fixed, sizeof fixed);
  formatBlock_[16] = static_cast<std::uint8_t>(extraSize & 0xFF);
  formatBlock_[17] = static_cast<std::uint8_t>(extraSize >> 8);
  if (extraSize > 0 && readBytes(formatBlock_.data() + kFormatBlockBytes, extraSize) < extraSize) {
    return kWaveNotWave;
  }
  format_.formatTag = formatTag;
  format_.channels = readLe16(fixed + 2);
  format_.samplesPerSecond = readLe32(fixed + 4);
  format_.averageBytesPerSecond = readLe32(fixed + 8);
  format_.blockAlign = readLe16(fixed + 12);
  format_.bitsPerSample = readLe16(fixed + 14);
  format_.extraSize = extraSize;
  // Leave the file just after the chunk, as stepping out of it would.
  if (!seekTo(chunk.dataOffset + paddedSize(chunk.size))) {
    return kWaveCannotSeek;
  }
  return kWaveOk;
}

WaveReader::ChunkSearch WaveReader::findChunk(const char* id) {
  std::int64_t offset = kFirstChunkOffset;
  // Offsets only grow (by at least a header each step), so this ends.
  while (offset + kChunkHeaderBytes <= riffEnd_) {
    if (!seekTo(offset)) {
      return {kWaveCannotSeek, 0, 0};
    }
    std::uint8_t header[kChunkHeaderBytes];
    if (readBytes(header, sizeof header) < sizeof header) {
      return {std::ferror(file_) != 0 ? kWaveCannotRead : kWaveChunkNotFound, 0, 0};
    }
    const std::uint32_t size = readLe32(header + 4);
    if (hasId(header, id)) {
      return {kWaveOk, offset + kChunkHeaderBytes, size};
    }
    offset += kChunkHeaderBytes + paddedSize(size);
  }
  return {kWaveChunkNotFound, 0, 0};
}

int WaveReader::startDataRead(Notifier& notifier) {
  dataSize_ = 0;
  dataEnd_ = 0;
  if (file_ == nullptr || !seekTo(kFirstChunkOffset)) {
    notifier.message("Error reading wave file", "Error", MessageIcon::Error);
    return -1;
  }
  const ChunkSearch chunk = findChunk("data");
  if (chunk.result != kWaveOk) {
    return chunk.result;
  }
  dataSize_ = chunk.size;
  dataEnd_ = chunk.dataOffset + chunk.size;
  return kWaveOk;
}

WaveReader::ReadResult WaveReader::readData(void* destination, std::size_t byteCount) {
  if (file_ == nullptr) {
    return {kWaveNotOpen, 0};
  }
  const std::uint64_t remaining =
      dataEnd_ > position_ ? static_cast<std::uint64_t>(dataEnd_ - position_) : 0;
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(byteCount, remaining));
  if (count == 0) {
    return {kWaveOk, 0};
  }
  if (readBytes(destination, count) < count) {
    return {std::ferror(file_) != 0 ? kWaveCannotRead : kWaveDataEnded, 0};
  }
  return {kWaveOk, count};
}

int WaveReader::seekData(long long deltaBytes) {
  if (file_ == nullptr) {
    return kWaveCannotSeek;
  }
  // Refuse a target before the file's start (and any overflowing sum).
  if (deltaBytes < -position_ || deltaBytes > std::numeric_limits<std::int64_t>::max() - position_) {
    return kWaveCannotSeek;
  }
  return seekTo(position_ + deltaBytes) ? kWaveOk : kWaveCannotSeek;
}

void WaveReader::closeWave() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  formatBlock_.clear();
  format_ = WaveFormat{};
  fileSize_ = 0;
  riffEnd_ = 0;
  position_ = 0;
  dataSize_ = 0;
  dataEnd_ = 0;
}

std::uint32_t WaveReader::dataRemaining() const {
  if (file_ == nullptr || dataEnd_ <= position_) {
    return 0;
  }
  // Only after a step back before the data's start can this exceed 32 bits.
  return static_cast<std::uint32_t>(
      std::min<std::int64_t>(dataEnd_ - position_, std::numeric_limits<std::uint32_t>::max()));
}

std::uint32_t WaveReader::dataInFile() const {
  const std::int64_t dataStart = dataEnd_ - dataSize_;
  const std::int64_t held = std::min(dataEnd_, fileSize_) - dataStart;
  return file_ == nullptr || held <= 0 ? 0 : static_cast<std::uint32_t>(held);
}

std::size_t WaveReader::readBytes(void* destination, std::size_t count) {
  const std::size_t got = std::fread(destination, 1, count, file_);
  position_ += static_cast<std::int64_t>(got);
  if (got < count && std::ferror(file_) != 0) {
    // After an I/O error the stream's position is whatever the system says.
    const off_t where = ::ftello(file_);
    if (where >= 0) {
      position_ = static_cast<std::int64_t>(where);
    }
  }
  return got;
}

bool WaveReader::seekTo(std::int64_t offset) {
  if (offset == position_) {
    return true;
  }
  if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
    return false;
  }
  position_ = offset;
  return true;
}

}  // namespace melovantis
