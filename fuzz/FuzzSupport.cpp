#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "engine/AnalysisEngine.h"
#include "fuzz/StandardMidiCheck.h"
#include "midi/MidiFileWriter.h"

namespace melovantis::fuzz {

void CountingNotifier::message(std::string_view text, std::string_view, MessageIcon) {
  ++messageCount;
  lastText = text;
}

bool CountingNotifier::askYesNo(std::string_view text, std::string_view, MessageIcon) {
  ++messageCount;
  lastText = text;
  return false;
}

void CountingNotifier::fatal(std::string_view text) { fail("fatal error: " + std::string(text)); }

namespace {

// The scratch folder, made on first use and removed when the fuzzer exits
// normally; after a crash it stays for inspection.
std::filesystem::path& scratchFolder() {
  static std::filesystem::path folder;
  return folder;
}

void removeScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(scratchFolder(), ignored);
}

}  // namespace

std::filesystem::path scratchPath(const std::string& name) {
  std::filesystem::path& folder = scratchFolder();
  if (folder.empty()) {
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec)) {
      base = std::filesystem::temp_directory_path(ec);
    }
    folder = base / ("melovantis-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder, ec);
    if (ec) {
      fail("cannot create the scratch folder " + folder.string() + ": " + ec.message());
    }
    std::atexit(removeScratchFolder);
  }
  return folder / name;
}

std::filesystem::path writeScratchInput(const std::string& name, const std::uint8_t* data,
                                        std::size_t size) {
  const std::filesystem::path path = scratchPath(name);
  writeBytes(path, data, size);
  return path;
}

void writeBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    fail("cannot write the input file " + path.string());
  }
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !ok) {
    fail("cannot write the input file " + path.string());
  }
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  writeBytes(path, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    return bytes;
  }
  std::uint8_t block[65536];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, f)) > 0) {
    bytes.insert(bytes.end(), block, block + got);
  }
  std::fclose(f);
  return bytes;
}

void fail(const std::string& what) {
  std::fprintf(stderr, "melovantis fuzz: %s\n", what.c_str());
  std::abort();
}

void requireValidMidiFile(const std::filesystem::path& path) {
  const std::string problem = checkStandardMidiFile(readBytes(path));
  if (!problem.empty()) {
    fail("bad MIDI file " + path.string() + ": " + problem);
  }
}

void requireWrittenMidiFile(AnalysisEngine& engine, CountingNotifier& notifier) {
  static const std::filesystem::path midi = scratchPath("output.mid");
  if (!writeMidiFile(engine, midi, notifier)) {
    fail("the MIDI file could not be written: " + notifier.lastText);
  }
  requireValidMidiFile(midi);
}

void requireFrameCountInTable(const AnalysisEngine& engine) {
  if (engine.frameCount < 0 || static_cast<std::size_t>(engine.frameCount) > engine.frames.size()) {
    fail("frameCount " + std::to_string(engine.frameCount) + " outside the table");
  }
}

std::vector<std::int16_t> toneSamples(double fromNote, double toNote, int sampleCount,
                                      double amplitude) {
  constexpr int kHarmonics = 8;
  std::vector<std::int16_t> out(static_cast<std::size_t>(sampleCount));
  double phase = 0.0;
  for (int i = 0; i < sampleCount; ++i) {
    const double t = sampleCount > 1 ? static_cast<double>(i) / (sampleCount - 1) : 0.0;
    const double frequency =
        440.0 * std::pow(2.0, (fromNote + (toNote - fromNote) * t - 69.0) / 12.0);
    double x = 0.0;
    for (int k = 1; k <= kHarmonics; ++k) {
      if (k * frequency < 22050.0) {
        x += std::sin(k * phase) / k;
      }
    }
    out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
        std::lround(std::fmax(-32768.0, std::fmin(32767.0, amplitude * x / 2.72))));
    phase += 2.0 * std::numbers::pi * frequency / 44100.0;
  }
  return out;
}

std::vector<std::uint8_t> monoWaveBytes(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> b;
  auto put16 = [&b](std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  };
  auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  auto putId = [&b](const char* id) { b.insert(b.end(), id, id + 4); };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  putId("RIFF");
  put32(4 + 8 + 16 + 8 + dataBytes);
  putId("WAVE");
  putId("fmt ");
  put32(16);
  put16(1);  // PCM
  put16(1);  // mono
  put32(44100);
  put32(88200);  // bytes per second
  put16(2);      // block alignment
  put16(16);     // bits per sample
  putId("data");
  put32(dataBytes);
  for (std::int16_t s : samples) {
    put16(static_cast<std::uint16_t>(s));
  }
  return b;
}

}  // namespace melovantis::fuzz
