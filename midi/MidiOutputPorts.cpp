#include "midi/MidiOutputPorts.h"

namespace melovantis {

std::vector<std::string> midiDeviceEntries(MidiOutputPorts& ports) {
  std::vector<std::string> entries;
  const std::vector<std::string> names = ports.names();
  for (std::size_t id = 0; id < names.size(); ++id) {
    entries.push_back(std::to_string(id) + ". " + names[id]);
  }
  return entries;
}

}  // namespace melovantis
