#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace melovantis {

// Runs the external converter (ffmpeg) that turns any audio or video file into
// the 44100 Hz mono 16-bit PCM WAVE the analysis takes. The program is looked
// for in the program folder first, then on PATH; it is started with an
// argument list (never through a shell) and waited for.
class AudioFileConverter {
 public:
  explicit AudioFileConverter(std::filesystem::path programFolder = {});

  // The converter's arguments for one file, without the program name.
  static std::vector<std::string> arguments(const std::filesystem::path& source,
                                            const std::filesystem::path& target);

  // The converter to run, or an empty path when none is installed.
  std::filesystem::path findProgram() const;

  // Converts source into target, replacing an older target. Returns why the
  // converter failed ("ffmpeg not found", "ffmpeg exited with status 1"), or
  // an empty text when it exited with 0. Even then only the file it leaves
  // behind tells whether it worked.
  std::string convert(const std::filesystem::path& source,
                      const std::filesystem::path& target) const;

 private:
  std::filesystem::path programFolder_;
};

}  // namespace melovantis
