#pragma once

#include <string>
#include <vector>

namespace melovantis {

// melovantis-cli live: sing or play into an input and the MIDI goes out at
// once; Ctrl+C (or --seconds) ends it with the last note-off. Returns the exit status.
int runLiveCommand(const std::vector<std::string>& args);

// What live says at its end about the blocks of sound left out because the
// analysis fell behind ("3 blocks of sound (0.10 s) left out: ..."); empty
// when none were.
std::string blocksLeftOutReport(long long blocks, int blockSamples);

}  // namespace melovantis
