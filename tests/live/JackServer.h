#pragma once

#include <sys/types.h>

#include <string>

namespace melovantis::test {

// A JACK server of the test's own, with the dummy driver (no sound card):
// started under a name no other running test uses, waited for until it answers, and
// stopped by its process id. The process's clients find it through
// JACK_DEFAULT_SERVER, and JACK_NO_START_SERVER keeps them from starting
// another one when it is gone.
class JackServer {
 public:
  static constexpr int kPeriod = 256;  // frames: 5.8 ms at 44100 Hz

  // Synchronous: each period waits until every client has finished it, so
  // that a test client the loaded machine schedules late misses no MIDI. A
  // server the tests freeze runs asynchronously, as servers do by default.
  explicit JackServer(int sampleRate = 44100, int period = kPeriod, bool synchronous = true);
  ~JackServer();
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  // False (and why()) when jackd is not installed or did not come up.
  bool running() const { return pid_ > 0; }
  bool installed() const { return installed_; }
  const std::string& why() const { return why_; }
  const std::string& name() const { return name_; }

  void stop();

  // A frozen server (stopped with SIGSTOP) is there but answers nothing,
  // as one that hangs; resume() lets it run on.
  void freeze();
  void resume();

 private:
  std::string name_;
  std::string why_;
  static constexpr int kNames = 4;
  pid_t pid_ = 0;
  int lockFd_ = -1;
  bool installed_ = false;
};

}  // namespace melovantis::test

// Skips a test where jackd is not installed, and fails it where jackd is
// installed but would not start: a test skipped for that would pass unrun.
#define MELOVANTIS_NEEDS_JACK(server)          \
  do {                                         \
    if (!(server).running()) {                 \
      if (!(server).installed()) {             \
        GTEST_SKIP() << (server).why();        \
      }                                        \
      FAIL() << (server).why();                \
    }                                          \
  } while (false)
