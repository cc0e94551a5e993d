#include "conversion/AudioFileConverter.h"

#include "conversion/ExternalProgram.h"

namespace melovantis {

namespace {

constexpr const char* kProgramName = "ffmpeg";

}  // namespace

AudioFileConverter::AudioFileConverter(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)) {}

std::vector<std::string> AudioFileConverter::arguments(const std::filesystem::path& source,
                                                       const std::filesystem::path& target) {
  return {"-i",  source.string(), "-y",     "-ar",       "44100",
          "-ab", "16k",           "-ac",    "1",         "-acodec",
          "pcm_s16le", target.string()};
}

std::filesystem::path AudioFileConverter::findProgram() const {
  return melovantis::findProgram(kProgramName, programFolder_);
}

std::string AudioFileConverter::convert(const std::filesystem::path& source,
                                        const std::filesystem::path& target) const {
  const std::filesystem::path program = findProgram();
  if (program.empty()) {
    return std::string(kProgramName) + " not found";
  }
  // The converter runs in the program folder, so relative paths are made absolute here.
  std::error_code ec;
  const ProgramExit exit = runProgram(
      program,
      arguments(std::filesystem::absolute(source, ec), std::filesystem::absolute(target, ec)),
      programFolder_);
  return describeFailure(kProgramName, exit);
}

}  // namespace melovantis
