#pragma once

#include <filesystem>
#include <string>

namespace melovantis {

// What the command expects a file to be, so that the reason given for a
// refused file can look at its content as well as at the file system.
enum class FileKind { Wave, Project, Settings, Output };

// Why `path` cannot be read as a file of `kind`: the system's words where it
// has any ("No such file or directory", "Permission denied"), else a few of
// our own ("empty file", "no RIFF WAVE header"). Empty when nothing is found
// wrong, and always for outputs, whose writers give their own reasons.
std::string fileProblem(const std::filesystem::path& path, FileKind kind);

}  // namespace melovantis
