#pragma once

#include <filesystem>
#include <vector>

namespace melovantis {

// How the ticks of a Standard MIDI File map to seconds: its length and its
// tempo changes, read from the file itself (any format, PPQ or SMPTE).
class MidiFileTiming {
 public:
  // Reads `file`; an unreadable or malformed file gives a length of 0.
  static MidiFileTiming read(const std::filesystem::path& file);

  double lengthSeconds() const { return lengthSeconds_; }

  // The tick at `seconds` into the file (0 before the start, the last tick after the end).
  long long tickAt(double seconds) const;

 private:
  struct TempoPoint {
    long long tick;
    double seconds;
    double secondsPerTick;
  };

  double lengthSeconds_ = 0.0;
  long long lastTick_ = 0;
  std::vector<TempoPoint> tempo_;
};

}  // namespace melovantis
