#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Notifier.h"

namespace melovantis {
class AnalysisEngine;
}  // namespace melovantis

namespace melovantis::fuzz {

// Takes every message silently and answers No. A fatal error ends the run
// like a crash, so the fuzzer keeps the input that led there.
class CountingNotifier : public Notifier {
 public:
  void message(std::string_view text, std::string_view caption, MessageIcon icon) override;
  bool askYesNo(std::string_view text, std::string_view caption, MessageIcon icon) override;
  [[noreturn]] void fatal(std::string_view text) override;

  int messageCount = 0;
  std::string lastText;
};

// A file named `name` in this process's scratch folder: on /dev/shm where
// there is one, so the writers' fsync costs nothing, else in the temporary folder.
std::filesystem::path scratchPath(const std::string& name);

// Writes the fuzzer's input to the scratch file `name` and returns its path.
std::filesystem::path writeScratchInput(const std::string& name, const std::uint8_t* data,
                                        std::size_t size);

void writeBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

// Prints `what` and aborts: a broken promise of the program is a finding.
[[noreturn]] void fail(const std::string& what);

// Aborts unless `path` holds a Standard MIDI File as the program must write it.
void requireValidMidiFile(const std::filesystem::path& path);

// Writes the engine's MIDI file to the scratch file output.mid and aborts
// unless that succeeds and the file is valid; a failure quotes the notifier's
// last message.
void requireWrittenMidiFile(AnalysisEngine& engine, CountingNotifier& notifier);

// Aborts unless the engine's frameCount lies inside its frame table.
void requireFrameCountInTable(const AnalysisEngine& engine);

// A harmonic tone (eight partials) of `sampleCount` samples whose note moves
// from `fromNote` to `toNote`.
std::vector<std::int16_t> toneSamples(double fromNote, double toNote, int sampleCount,
                                      double amplitude = 12000.0);

// A plain 44100 Hz mono 16-bit PCM WAVE file.
std::vector<std::uint8_t> monoWaveBytes(const std::vector<std::int16_t>& samples);

}  // namespace melovantis::fuzz
