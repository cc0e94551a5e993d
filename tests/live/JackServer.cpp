#include "JackServer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "conversion/ExternalProgram.h"

extern char** environ;

namespace melovantis::test {

namespace {

bool answers(const std::string& name) {
  jack_status_t status;
  jack_client_t* client = jack_client_open(
      "probe", static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
      name.c_str());
  if (client == nullptr) {
    return false;
  }
  jack_client_close(client);
  return true;
}

}  // namespace

JackServer::JackServer(int sampleRate, int period, bool synchronous) {
  const std::filesystem::path jackd = findProgram("jackd");
  if (jackd.empty()) {
    why_ = "jackd is not installed";
    return;
  }
  installed_ = true;
  // JACK's registry of servers holds eight and frees the entry of a server
  // that died only when one of the same name registers: the tests take
  // their names from a small pool, each held by a lock while in use. The
  // locks live beside the registry and the servers' sockets, in /dev/shm,
  // so that every process that could meet the same name sees them.
  for (int i = 0; i < kNames && name_.empty(); ++i) {
    const std::string lock = "/dev/shm/melovantis-jack-server-" + std::to_string(i) + ".lock";
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lockFd_ = fd;
      name_ = "melovantis-test-" + std::to_string(i);
    } else if (fd >= 0) {
      ::close(fd);
    }
  }
  if (name_.empty()) {
    why_ = "every JACK test server name is in use";
    return;
  }
  ::setenv("JACK_NO_START_SERVER", "1", 1);
  ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  ::setenv("MELOVANTIS_AUDIO_API", "jack", 1);
  ::setenv("MELOVANTIS_MIDI_API", "jack", 1);
  std::vector<std::string> args = {jackd.string(), "--no-realtime", "-n", name_};
  if (synchronous) {
    args.push_back("--sync");
  }
  for (const std::string& driver :
       {std::string("-d"), std::string("dummy"), std::string("-r"), std::to_string(sampleRate),
        std::string("-p"), std::to_string(period)}) {
    args.push_back(driver);
  }
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    why_ = "jackd could not be started";
    return;
  }
  pid_ = pid;
  // A loaded machine can take seconds to start it; a test skipped for that
  // would pass without having run.
  for (int i = 0; i < 400; ++i) {
    if (answers(name_)) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  why_ = "jackd did not answer within 20 s";
  stop();
}

JackServer::~JackServer() {
  stop();
  if (lockFd_ >= 0) {
    ::close(lockFd_);
  }
}

void JackServer::freeze() {
  if (pid_ > 0) {
    ::kill(pid_, SIGSTOP);
  }
}

void JackServer::resume() {
  if (pid_ > 0) {
    ::kill(pid_, SIGCONT);
  }
}

void JackServer::stop() {
  if (pid_ <= 0) {
    return;
  }
  resume();  // a frozen server would not hear the SIGTERM
  ::kill(pid_, SIGTERM);
  int status = 0;
  // A killed server leaves its entry in JACK's registry of servers, which
  // holds eight: it is given time to end by itself.
  for (int i = 0; i < 400; ++i) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = 0;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = 0;
}

}  // namespace melovantis::test
