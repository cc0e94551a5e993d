#include "conversion/AudioFileConverter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern char** environ;

namespace melovantis {

namespace {

constexpr const char* kProgramName = "ffmpeg";

bool isExecutable(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

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
  if (!programFolder_.empty() && isExecutable(programFolder_ / kProgramName)) {
    return programFolder_ / kProgramName;
  }
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    if (!folder.empty() && isExecutable(std::filesystem::path(folder) / kProgramName)) {
      return std::filesystem::path(folder) / kProgramName;
    }
    if (colon == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(colon + 1);
  }
  return {};
}

int AudioFileConverter::convert(const std::filesystem::path& source,
                                const std::filesystem::path& target) const {
  const std::filesystem::path program = findProgram();
  if (program.empty()) {
    return -1;
  }
  // The converter runs in the program folder, so relative paths are made absolute here.
  std::error_code ec;
  std::vector<std::string> args =
      arguments(std::filesystem::absolute(source, ec), std::filesystem::absolute(target, ec));
  args.insert(args.begin(), program.string());
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);

  // The converter runs unseen: no terminal input, its chatter discarded.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (!programFolder_.empty() && std::filesystem::is_directory(programFolder_, ec)) {
    posix_spawn_file_actions_addchdir_np(&actions, programFolder_.c_str());
  }
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return -1;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace melovantis
