#include "support/WaveFileBuilder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace melovantis::test {

namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

void putId(std::vector<std::uint8_t>& b, const std::string& id) {
  for (int i = 0; i < 4; ++i) {
    b.push_back(static_cast<std::uint8_t>(i < static_cast<int>(id.size()) ? id[i] : ' '));
  }
}

}  // namespace

WaveFileBuilder::WaveFileBuilder() { putId(body_, "WAVE"); }

WaveFileBuilder& WaveFileBuilder::fmt(std::uint16_t formatTag, std::uint16_t channels,
                                      std::uint32_t sampleRate, std::uint16_t bitsPerSample,
                                      int extraSize) {
  std::vector<std::uint8_t> c;
  const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * ((bitsPerSample + 7) / 8));
  put16(c, formatTag);
  put16(c, channels);
  put32(c, sampleRate);
  put32(c, sampleRate * blockAlign);
  put16(c, blockAlign);
  put16(c, bitsPerSample);
  if (extraSize >= 0) {
    put16(c, static_cast<std::uint32_t>(extraSize));
    for (int i = 0; i < extraSize; ++i) {
      c.push_back(static_cast<std::uint8_t>(0xA0 + i));
    }
  }
  return chunk("fmt ", c);
}

WaveFileBuilder& WaveFileBuilder::data(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> c;
  c.reserve(samples.size() * 2);
  for (std::int16_t s : samples) {
    put16(c, static_cast<std::uint16_t>(s));
  }
  return chunk("data", c);
}

WaveFileBuilder& WaveFileBuilder::chunk(const std::string& id,
                                        const std::vector<std::uint8_t>& contents) {
  putId(body_, id);
  put32(body_, static_cast<std::uint32_t>(contents.size()));
  body_.insert(body_.end(), contents.begin(), contents.end());
  if (contents.size() % 2 != 0) {
    body_.push_back(0);
  }
  return *this;
}

WaveFileBuilder& WaveFileBuilder::raw(const std::vector<std::uint8_t>& bytes) {
  body_.insert(body_.end(), bytes.begin(), bytes.end());
  return *this;
}

WaveFileBuilder& WaveFileBuilder::riffSizeOverride(std::uint32_t size) {
  overrideSize_ = true;
  riffSize_ = size;
  return *this;
}

std::vector<std::uint8_t> WaveFileBuilder::bytes() const {
  std::vector<std::uint8_t> out;
  putId(out, "RIFF");
  put32(out, overrideSize_ ? riffSize_ : static_cast<std::uint32_t>(body_.size()));
  out.insert(out.end(), body_.begin(), body_.end());
  return out;
}

void WaveFileBuilder::write(const std::filesystem::path& path) const { writeBytes(path, bytes()); }

void writeMonoWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
  WaveFileBuilder().fmt().data(samples).write(path);
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "melovantis-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace melovantis::test
