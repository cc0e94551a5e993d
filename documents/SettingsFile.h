#pragma once

#include <filesystem>
#include <string>

#include "documents/SettingsRecord.h"

namespace melovantis {

class Notifier;

// Settings files (.set): twenty signed decimal integers, one per line, in the
// field order of SettingsRecord. No header, no names, no checksum.

// Reads a settings file into `record`. False, with `record` untouched, when
// the file cannot be opened. Otherwise the last seven fields first take their
// defaults (older files hold only thirteen numbers), then up to twenty numbers
// are read into the fields in order, stopping at the end of the file or at the
// first text that is no number. Values are taken as they are; a number beyond
// the 32-bit range is clamped to it.
bool readSettingsFile(const std::filesystem::path& path, SettingsRecord& record);

// Writes the record, replacing any old file only once the new one is complete.
// On failure says "Error saving file" and returns false; the old file stays
// and `systemError`, when given, receives the system's reason.
bool writeSettingsFile(const std::filesystem::path& path, const SettingsRecord& record,
                       Notifier& notifier, std::string* systemError = nullptr);

}  // namespace melovantis
