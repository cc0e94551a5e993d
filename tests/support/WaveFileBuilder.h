#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace melovantis::test {

// Builds RIFF WAVE files byte by byte, so tests can make well-formed files as
// well as every kind of broken one.
class WaveFileBuilder {
 public:
  // Starts "RIFF" <size patched on build> "WAVE".
  WaveFileBuilder();

  // A "fmt " chunk. With extraSize < 0 the 16-byte PCM form is written (no
  // extra-size field); otherwise the extra-size field and that many bytes follow.
  WaveFileBuilder& fmt(std::uint16_t formatTag = 1, std::uint16_t channels = 1,
                       std::uint32_t sampleRate = 44100, std::uint16_t bitsPerSample = 16,
                       int extraSize = -1);

  // A "data" chunk holding the samples (little-endian 16-bit).
  WaveFileBuilder& data(const std::vector<std::int16_t>& samples);

  // Any chunk with raw contents; odd sizes get the RIFF pad byte.
  WaveFileBuilder& chunk(const std::string& id, const std::vector<std::uint8_t>& contents);

  // Raw bytes appended as they are.
  WaveFileBuilder& raw(const std::vector<std::uint8_t>& bytes);

  // The file's bytes, with the RIFF size set to the bytes that follow it
  // (unless overridden).
  std::vector<std::uint8_t> bytes() const;
  WaveFileBuilder& riffSizeOverride(std::uint32_t size);

  void write(const std::filesystem::path& path) const;

 private:
  std::vector<std::uint8_t> body_;
  bool overrideSize_ = false;
  std::uint32_t riffSize_ = 0;
};

// A plain 44100 Hz mono 16-bit PCM file.
void writeMonoWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples);

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace melovantis::test
