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

// Converts `from` into `to` (the kind its extension names) with the ffmpeg on
// PATH, as a user's own files would be made; true when it worked.
bool encodeWithFfmpeg(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace melovantis::test
