#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli live: sing or play into an input and the MIDI goes out at
// once; Ctrl+C (or --seconds) ends it with the last note-off. Returns the exit status.
int runLiveCommand(const std::vector<std::string>& args);

}  // namespace melovantis
