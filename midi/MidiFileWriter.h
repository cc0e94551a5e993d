#pragma once

#include <filesystem>
#include <string>

namespace melovantis {

class AnalysisEngine;
class Notifier;

// Writes the engine's whole frame table as a Standard MIDI File, format 0,
// one track: the credits, the tempo (when asked for and a BPM is set), the
// generator's opening messages, every frame's messages, the final note-off
// and the end of track.
//
// Time base: 480 ticks per quarter note at the chosen BPM, or 5000 ticks per
// second (SMPTE, 25 frames of 200 ticks) when the BPM is 0. A frame lasts
// x = hop x BPM x 480 / 2646000 ticks (hop x 5000 / 44100 for SMPTE) times the
// tempo factor. That is rarely a whole number, so frame i's messages are put at
// the whole tick trunc((i + 1) x frame length) rather than at (i + 1) times a
// truncated length, which would make the file run slow against its recording.
// With the engine's onset placement at the attack (the default), a note's
// start goes to the tick of its measured onset instead (NoteStartPlacement).
//
// The file is built in memory and replaces `path` only once it is complete;
// on failure "File error!" is shown, an existing file is left as it was and
// the result is false; `systemError`, when given, receives the system's reason
// ("No space left on device", "Read-only file system", ...).
bool writeMidiFile(AnalysisEngine& engine, const std::filesystem::path& path, Notifier& notifier,
                   std::string* systemError = nullptr);

}  // namespace melovantis
