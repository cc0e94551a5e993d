#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace melovantis::test {

inline constexpr double kSampleRate = 44100.0;

double noteFrequency(double note);

// A tone with `harmonics` partials of falling amplitude (1/k), peak about `amplitude`.
std::vector<std::int16_t> harmonicTone(double note, int sampleCount, double amplitude = 12000.0,
                                       int harmonics = 8);

// A tone whose note moves linearly from `fromNote` to `toNote`.
std::vector<std::int16_t> glide(double fromNote, double toNote, int sampleCount,
                                double amplitude = 12000.0, int harmonics = 8);

// Uniform white noise from a fixed seed.
std::vector<std::int16_t> whiteNoise(int sampleCount, double amplitude = 12000.0,
                                     unsigned seed = 1);

std::vector<std::int16_t> constant(int sampleCount, std::int16_t value = 0);

// A, C and E above middle C for a third of `seconds` each: a short melody.
std::vector<std::int16_t> threeNoteMelody(double seconds);

// A note of `sampleCount` samples that is silent until sample `start`, then
// rises linearly over `riseSamples` (0: struck, at full level at once) and, when
// `decaySeconds` > 0, falls away exponentially as a struck string does.
std::vector<std::int16_t> noteWithAttack(double note, int sampleCount, int start, int riseSamples,
                                         double decaySeconds = 0.0, double amplitude = 12000.0);

// A line of notes, each (note, samples) long, played legato: the phase runs on
// from one note into the next, so nothing but the pitch changes. With
// `vibrato` > 0 the pitch swings that many semitones either way at 5.5 Hz.
std::vector<std::int16_t> legatoLine(const std::vector<std::pair<double, int>>& notes,
                                     double vibrato = 0.0, double amplitude = 12000.0);

// Concatenates blocks of samples.
std::vector<std::int16_t> concat(const std::vector<std::vector<std::int16_t>>& parts);

}  // namespace melovantis::test
