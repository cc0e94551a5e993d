#pragma once

#include <filesystem>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/WaveReader.h"
#include "engine/Notifier.h"

namespace melovantis {

// The program analyses only uncompressed PCM, mono, 44100 Hz, 16 bits: true
// when `format` is exactly that.
bool isAnalysableFormat(const WaveFormat& format);

// Opens `path` with `reader` and returns true when the file has the one
// format the program analyses; the reader then stays open for the conversion.
// Otherwise tells the user why, leaves the reader closed and returns false.
bool checkWaveFormat(WaveReader& reader, const std::filesystem::path& path, Notifier& notifier);

// All the samples of a file in that one format, read at once; none, after
// telling the user why, when the file cannot be used.
std::vector<std::int16_t> readAnalysableSamples(const std::filesystem::path& path,
                                                Notifier& notifier);

// The text of the "Not suitable format." message for `format`.
std::string unsuitableFormatText(const WaveFormat& format);

}  // namespace melovantis
