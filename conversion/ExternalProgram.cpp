#include "conversion/ExternalProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

extern char** environ;

namespace melovantis {

namespace {

bool isExecutable(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

// Starts the child with its standard streams on /dev/null; 0 when it failed,
// with the reason in `error` when one is given.
pid_t spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const std::filesystem::path& workingFolder, int* error = nullptr) {
  std::vector<std::string> args = arguments;
  args.insert(args.begin(), program.string());
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::error_code ec;
  if (!workingFolder.empty() && std::filesystem::is_directory(workingFolder, ec)) {
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  }
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0 && error != nullptr) {
    *error = spawned;
  }
  return spawned == 0 ? pid : 0;
}

// The child's raw wait status, or -1 when it could not be waited for.
int waitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return status;
}

}  // namespace

std::filesystem::path findProgram(const std::string& name,
                                  const std::filesystem::path& preferredFolder) {
  if (!preferredFolder.empty() && isExecutable(preferredFolder / name)) {
    return preferredFolder / name;
  }
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  while (!rest.empty()) {
    const auto colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    if (!folder.empty() && isExecutable(std::filesystem::path(folder) / name)) {
      return std::filesystem::path(folder) / name;
    }
    if (colon == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(colon + 1);
  }
  return {};
}

ProgramExit runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingFolder) {
  ProgramExit exit;
  const pid_t pid = spawn(program, arguments, workingFolder, &exit.startError);
  if (pid <= 0) {
    return exit;
  }
  exit.started = true;
  const int raw = waitFor(pid);
  if (raw >= 0 && WIFEXITED(raw)) {
    exit.status = WEXITSTATUS(raw);
  } else if (raw >= 0 && WIFSIGNALED(raw)) {
    exit.signal = WTERMSIG(raw);
  }
  return exit;
}

std::string describeFailure(const std::string& name, const ProgramExit& exit) {
  if (exit.succeeded()) {
    return {};
  }
  if (!exit.started) {
    return name + " could not be started" +
           (exit.startError != 0 ? " (" + std::string(std::strerror(exit.startError)) + ")" : "");
  }
  if (exit.signal != 0) {
    return name + " was ended by signal " + std::to_string(exit.signal);
  }
  if (exit.status < 0) {
    return name + " could not be waited for";
  }
  return name + " exited with status " + std::to_string(exit.status);
}

int runProgramAndWait(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingFolder) {
  const ProgramExit exit = runProgram(program, arguments, workingFolder);
  return exit.started && exit.signal == 0 ? exit.status : -1;
}

bool startProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
  const pid_t pid = spawn(program, arguments, {});
  if (pid <= 0) {
    return false;
  }
  std::thread([pid] { waitFor(pid); }).detach();
  return true;
}

}  // namespace melovantis
