#pragma once

#include <filesystem>
#include <string>

namespace melovantis {

class AnalysisEngine;

// Writes the frame table as CSV: frame,time_s,pitch,volume,brightness,attack,
// one row per frame, time = frame x hop / 44100, pitch with six decimals
// (-1000.000000 for a frame without pitch). Returns false and sets `error`
// when the file cannot be written; an existing file is then left as it was.
bool writeFrameCsv(const AnalysisEngine& engine, const std::filesystem::path& path,
                   std::string& error);

}  // namespace melovantis
