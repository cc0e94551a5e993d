#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace melovantis::test {

// Whole-file helpers for test inputs and outputs. Writers create missing
// parent folders and throw when the file cannot be written; readers give an
// empty result for a file that cannot be read.
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);

// Runs a shell command with a time limit, so that an outside program that
// hangs (ffmpeg, FluidSynth, midicsv) fails its test in seconds instead of
// stalling the suite; returns what std::system returns (124 << 8 on timeout).
int runLimited(const std::string& command, int seconds = 60);

// Converts `from` into `to` (the kind its extension names) with the ffmpeg on
// PATH, as a user's own files would be made; true when it worked.
bool encodeWithFfmpeg(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace melovantis::test
