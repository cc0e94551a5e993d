#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace melovantis::fuzz {

// An independent check of a Standard MIDI File as the program writes it:
// format 0 with one track whose length field matches the bytes that follow,
// deltas of at most four bytes, every channel message complete with its status
// byte (no running status) and 7-bit data bytes, meta events that fit, and the
// end of track as the very last event. Empty when the file passes, else what
// is wrong and where.
std::string checkStandardMidiFile(const std::vector<std::uint8_t>& bytes);

}  // namespace melovantis::fuzz
