#pragma once

#include <filesystem>
#include <string>

namespace melovantis {

class AnalysisEngine;
class Notifier;

// The project file (.mvt) keeps the analysed frame table for later editing:
// the frame count on the first line, then one "pitch<TAB>volume<TAB>brightness"
// line per frame, pitch with six decimals. Attack flags are not stored; the
// attack pass recomputes them after loading. No settings, no timing.
//
// When any row has a measured onset, the rows are followed by a line "onsets"
// and one line per row with its onset offset (samples, FrameRecord::onsetOffset)
// and its rise (FrameRecord::onsetRise), tab-separated. A reader
// that knows only the rows stops before it, so older programs still open the
// file; a file without it loads with every onset at its row's own time.

// The most rows a project may announce: a day of audio at the finest hop.
inline constexpr long long kMaxProjectRows = 86400LL * 44100 / 300;

// Writes rows 0..frameCount-1, replacing the file only when it is complete.
// On failure shows "File error!" and returns false; an older file stays and
// `systemError`, when given, receives the system's reason.
bool writeProjectFile(const AnalysisEngine& engine, const std::filesystem::path& path,
                      Notifier& notifier, std::string* systemError = nullptr);

// Replaces frameCount and the rows the file supplies; rows it announces but
// does not supply keep their previous contents. A file that cannot be opened,
// or announces a negative or absurd count, shows "Cannot open Melovantis file!"
// and leaves the table as it was.
bool readProjectFile(AnalysisEngine& engine, const std::filesystem::path& path,
                     Notifier& notifier);

}  // namespace melovantis
