#include "support/TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace melovantis::test {

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path());
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write test file " + path.string());
  }
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int runLimited(const std::string& command, int seconds) {
  // The second signal is for a program that ignores the first.
  const std::string limited =
      "timeout -k 5 " + std::to_string(seconds) + " sh -c '" + [&] {
        std::string quoted;
        for (char c : command) {
          quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted;
      }() + "'";
  return std::system(limited.c_str());
}

bool encodeWithFfmpeg(const std::filesystem::path& from, const std::filesystem::path& to) {
  return runLimited("ffmpeg -nostdin -loglevel error -y -i '" + from.string() + "' '" +
                    to.string() + "'") == 0;
}

}  // namespace melovantis::test
