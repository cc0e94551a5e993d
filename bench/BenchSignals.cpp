#include "bench/BenchSignals.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace melovantis::bench {

std::vector<std::int16_t> melody(double seconds) {
  const auto count = static_cast<std::size_t>(seconds * 44100.0);
  std::vector<std::int16_t> out(count);
  const int notes[] = {60, 62, 64, 65, 67, 69, 71, 72, 67, 64};
  const std::size_t noteLength = 22050;  // half a second, the last 10 % silent
  double phase = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t index = i / noteLength;
    const std::size_t within = i % noteLength;
    if (within > noteLength * 9 / 10) {
      out[i] = 0;
      continue;
    }
    const double note = notes[index % 10] + 0.15 * std::sin(2.0 * std::numbers::pi * 5.5 * i / 44100.0);
    const double f = 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
    phase += 2.0 * std::numbers::pi * f / 44100.0;
    double x = 0.0;
    for (int k = 1; k <= 10; ++k) {
      x += std::sin(k * phase) / k;
    }
    out[i] = static_cast<std::int16_t>(4000.0 * x);
  }
  return out;
}

void writeWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    return;
  }
  auto u32 = [f](std::uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [f](std::uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(1);
  u32(44100);
  u32(88200);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(dataBytes);
  std::fwrite(samples.data(), 2, samples.size(), f);
  std::fclose(f);
}

}  // namespace melovantis::bench
