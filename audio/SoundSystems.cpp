#include "audio/SoundSystems.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/BoundedCall.h"

namespace melovantis {

namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void ignoreJackMessage(const char*) {}

}  // namespace

JackServerState jackServerState() {
  // A server that is there but frozen would keep the probe waiting for ever.
  auto answered = std::make_shared<std::atomic<bool>>(false);
  quietJackLibrary();
  const bool finished = finishesWithin(kSoundServerAnswer, [answered] {
    jack_status_t status;
    jack_client_t* client = jack_client_open("melovantis-probe", JackNoStartServer, &status);
    if (client != nullptr) {
      jack_client_close(client);
      *answered = true;
    }
  });
  if (!finished) {
    return JackServerState::NotAnswering;
  }
  return *answered ? JackServerState::Running : JackServerState::Absent;
}

bool jackServerRunning() { return jackServerState() == JackServerState::Running; }

bool pulseServerPresent() {
  if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0') {
    return true;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string socket =
      std::string(runtime != nullptr ? runtime : ("/run/user/" + std::to_string(::getuid())).c_str()) +
      "/pulse/native";
  return ::access(socket.c_str(), R_OK | W_OK) == 0;
}

bool alsaSequencerPresent() { return ::access("/dev/snd/seq", R_OK | W_OK) == 0; }

void quietAlsaLibrary() { snd_lib_error_set_handler(&ignoreAlsaError); }

void quietJackLibrary() {
  jack_set_error_function(&ignoreJackMessage);
  jack_set_info_function(&ignoreJackMessage);
}

}  // namespace melovantis
