#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace melovantis {

// Writes a file so that the old one survives any failure: everything goes to a
// temporary file in the target's folder, which replaces the target only once
// every byte is written and flushed to disk. A writer that is destroyed
// without a successful commit() removes its temporary file.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::filesystem::path target);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file; false when the folder cannot be written.
  bool open();

  // The open temporary file (binary mode), or nullptr before open().
  std::FILE* file() const { return file_; }

  // Takes the outcome of a write through file(); a failed one keeps the
  // system's reason (errno) for errorText(). Returns `succeeded`.
  bool wrote(bool succeeded);

  // Flushes, syncs and closes the temporary file and renames it over the
  // target. False when any step (or any earlier write) failed; the target is
  // then untouched and the temporary file is gone.
  bool commit();

  // The system's description of the first failure, empty when none.
  const std::string& errorText() const { return error_; }

 private:
  void fail(int errorNumber);
  void discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace melovantis
