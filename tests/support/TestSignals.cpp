#include "support/TestSignals.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace melovantis::test {

double noteFrequency(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

namespace {

std::int16_t toSample(double x) {
  return static_cast<std::int16_t>(std::clamp(std::lround(x), -32768L, 32767L));
}

double harmonicNorm(int harmonics) {
  double norm = 0.0;
  for (int k = 1; k <= harmonics; ++k) {
    norm += 1.0 / k;
  }
  return norm;
}

}  // namespace

std::vector<std::int16_t> harmonicTone(double note, int sampleCount, double amplitude,
                                       int harmonics) {
  return glide(note, note, sampleCount, amplitude, harmonics);
}

std::vector<std::int16_t> glide(double fromNote, double toNote, int sampleCount, double amplitude,
                                int harmonics) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(sampleCount));
  const double norm = harmonicNorm(harmonics);
  double phase = 0.0;
  for (int i = 0; i < sampleCount; ++i) {
    const double t = sampleCount > 1 ? static_cast<double>(i) / (sampleCount - 1) : 0.0;
    const double f = noteFrequency(fromNote + (toNote - fromNote) * t);
    double x = 0.0;
    for (int k = 1; k <= harmonics; ++k) {
      if (k * f < kSampleRate / 2) {
        x += std::sin(k * phase) / k;
      }
    }
    out[static_cast<std::size_t>(i)] = toSample(amplitude * x / norm);
    phase += 2.0 * std::numbers::pi * f / kSampleRate;
  }
  return out;
}

std::vector<std::int16_t> whiteNoise(int sampleCount, double amplitude, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-amplitude, amplitude);
  std::vector<std::int16_t> out(static_cast<std::size_t>(sampleCount));
  for (auto& s : out) {
    s = toSample(dist(rng));
  }
  return out;
}

std::vector<std::int16_t> constant(int sampleCount, std::int16_t value) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(sampleCount), value);
}

std::vector<std::int16_t> noteWithAttack(double note, int sampleCount, int start, int riseSamples,
                                         double decaySeconds, double amplitude) {
  const std::vector<std::int16_t> tone =
      harmonicTone(note, std::max(sampleCount - start, 0), amplitude);
  std::vector<std::int16_t> out(static_cast<std::size_t>(sampleCount), 0);
  for (std::size_t i = 0; i < tone.size(); ++i) {
    const double t = static_cast<double>(i);
    double gain = riseSamples > 0 ? std::min(1.0, t / riseSamples) : 1.0;
    if (decaySeconds > 0.0) {
      gain *= std::exp(-t / (decaySeconds * kSampleRate));
    }
    out[static_cast<std::size_t>(start) + i] = toSample(tone[i] * gain);
  }
  return out;
}

std::vector<std::int16_t> legatoLine(const std::vector<std::pair<double, int>>& notes,
                                     double vibrato, double amplitude) {
  constexpr int kHarmonics = 8;
  const double norm = harmonicNorm(kHarmonics);
  std::vector<std::int16_t> out;
  double phase = 0.0;
  for (const auto& [note, count] : notes) {
    for (int i = 0; i < count; ++i) {
      const double t = static_cast<double>(out.size()) / kSampleRate;
      const double f = noteFrequency(note + vibrato * std::sin(2.0 * std::numbers::pi * 5.5 * t));
      double x = 0.0;
      for (int k = 1; k <= kHarmonics; ++k) {
        if (k * f < kSampleRate / 2) {
          x += std::sin(k * phase) / k;
        }
      }
      out.push_back(toSample(amplitude * x / norm));
      phase += 2.0 * std::numbers::pi * f / kSampleRate;
    }
  }
  return out;
}

std::vector<std::int16_t> concat(const std::vector<std::vector<std::int16_t>>& parts) {
  std::vector<std::int16_t> out;
  for (const auto& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

std::vector<std::int16_t> threeNoteMelody(double seconds) {
  const int third = static_cast<int>(seconds * kSampleRate / 3);
  return concat({harmonicTone(69, third), harmonicTone(72, third), harmonicTone(76, third)});
}

}  // namespace melovantis::test
