#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace melovantis::test {

// A note of a test melody, in seconds.
struct MelodyNote {
  double note;
  double start;
  double length;
};

// The melody the plugin tests sing: harmonic tones with pauses and one
// repeated note, the same sound at any sample rate.
std::vector<MelodyNote> pluginMelody();

// The melody at `rate`, full scale 1.0, `seconds` long.
std::vector<float> renderMelody(const std::vector<MelodyNote>& melody, double rate,
                                double seconds);

// Floats to 16-bit samples and back, as the plugin takes them.
std::vector<std::int16_t> toSamples(const std::vector<float>& signal);

// A MIDI message with the frame it went out at.
struct TimedMessage {
  long long frame = 0;
  std::vector<std::uint8_t> bytes;
};

// A note as a synthesizer plays it: its key bent by the last pitch bend before
// its note-on (range `bendRange` semitones), and when it started.
struct SoundingNote {
  double pitch = 0.0;
  long long frame = 0;
};
std::vector<SoundingNote> soundingNotes(const std::vector<TimedMessage>& messages,
                                        int bendRange = 2);

// Keys still sounding after the last message (a note-on without its note-off).
std::vector<int> keysLeftSounding(const std::vector<TimedMessage>& messages);

std::string describe(const std::vector<SoundingNote>& notes, double rate);

}  // namespace melovantis::test
