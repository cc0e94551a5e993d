#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli devices: the audio inputs and MIDI outputs, numbered as
// `live` takes them; returns the exit status.
int runDevicesCommand(const std::vector<std::string>& args);

}  // namespace melovantis
