#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace melovantis::bench {

// A sung-like melody: harmonic notes with small vibrato, short gaps between them.
std::vector<std::int16_t> melody(double seconds);

// Writes a 44100 Hz mono 16-bit WAVE file.
void writeWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples);

}  // namespace melovantis::bench
