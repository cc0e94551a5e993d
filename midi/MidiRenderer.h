#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace melovantis {

// Turns a Standard MIDI File into sound, 44100 Hz stereo 16-bit, for the
// preview player. load() runs on the window's thread, render() on the sound
// output's; the player keeps them from overlapping.
class MidiRenderer {
 public:
  virtual ~MidiRenderer() = default;

  // Loads the file and goes to its start; false (problem() says why) when it
  // cannot be played, for instance with no General MIDI sound set installed.
  virtual bool load(const std::filesystem::path& file) = 0;

  // Goes to `seconds` into the file.
  virtual void seek(double seconds) = 0;

  // The next `frames` stereo frames; false once the piece has ended (the
  // frames are then silence).
  virtual bool render(std::int16_t* interleavedStereo, int frames) = 0;

  virtual std::string problem() const = 0;
};

}  // namespace melovantis
