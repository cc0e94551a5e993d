#pragma once

#include <string>
#include <vector>

namespace melovantis {

// The entries of the settings dialog's lists, in index order, as the user
// reads them.

// "001. Acoustic Grand Piano" .. "128. Gun Shot", then "[ NONE ]" (index 128).
const std::vector<std::string>& gmVoiceEntries();

// "000. Bank Select (coarse)" .. "127. Poly Operation": index = controller number.
const std::vector<std::string>& controllerEntries();

// " [SMPTE]", then "020" .. "300": BPM = index + 19.
const std::vector<std::string>& bpmEntries();

// "0. No", "1. Double", "2. Super (5 ms)".
const std::vector<std::string>& timeResolutionBoostEntries();

// The note range as the settings dialog shows it:
// "<lowest> to <highest>\r\n(<octaves> octaves)", octaves = (highest - lowest + 1) / 12.
std::string noteRangeText(int lowestNote, int highestNote);

}  // namespace melovantis
