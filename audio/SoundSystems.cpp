#include "audio/SoundSystems.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <string>

namespace melovantis {

namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void ignoreJackMessage(const char*) {}

}  // namespace

bool jackServerRunning() {
  // libjack reports a missing server on its own; nothing to tell the user here.
  jack_set_error_function(&ignoreJackMessage);
  jack_set_info_function(&ignoreJackMessage);
  jack_status_t status;
  jack_client_t* client = jack_client_open("melovantis-probe", JackNoStartServer, &status);
  jack_set_error_function(nullptr);
  jack_set_info_function(nullptr);
  if (client == nullptr) {
    return false;
  }
  jack_client_close(client);
  return true;
}

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

}  // namespace melovantis
