#include "PluginTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <set>

namespace melovantis::test {

std::vector<MelodyNote> pluginMelody() {
  return {{64.0, 0.25, 0.45}, {67.0, 0.80, 0.40}, {71.3, 1.30, 0.55},
          {69.0, 1.95, 0.30}, {69.0, 2.35, 0.35}, {60.0, 2.85, 0.60}};
}

std::vector<float> renderMelody(const std::vector<MelodyNote>& melody, double rate,
                                double seconds) {
  std::vector<float> out(static_cast<std::size_t>(seconds * rate), 0.0f);
  constexpr int kHarmonics = 8;
  constexpr double kFade = 0.004;  // seconds: no click at the edges
  for (const MelodyNote& m : melody) {
    const double f = 440.0 * std::pow(2.0, (m.note - 69.0) / 12.0);
    const auto first = static_cast<std::size_t>(std::ceil(m.start * rate));
    for (std::size_t i = first; i < out.size() && i / rate < m.start + m.length; ++i) {
      const double t = i / rate - m.start;
      const double edge = std::min({1.0, t / kFade, (m.length - t) / kFade});
      double x = 0.0;
      double norm = 0.0;
      for (int k = 1; k <= kHarmonics; ++k) {
        norm += 1.0 / k;
        if (k * f < 20000.0) {
          x += std::sin(2.0 * std::numbers::pi * k * f * t) / k;
        }
      }
      out[i] += static_cast<float>(0.37 * edge * x / norm);
    }
  }
  return out;
}

std::vector<std::int16_t> toSamples(const std::vector<float>& signal) {
  std::vector<std::int16_t> out(signal.size());
  std::transform(signal.begin(), signal.end(), out.begin(), [](float x) {
    return static_cast<std::int16_t>(std::clamp(std::lrint(x * 32768.0f), -32768L, 32767L));
  });
  return out;
}

std::vector<SoundingNote> soundingNotes(const std::vector<TimedMessage>& messages,
                                        int bendRange) {
  std::vector<SoundingNote> notes;
  int bend = 8192;
  for (const TimedMessage& m : messages) {
    if (m.bytes.size() != 3) {
      continue;
    }
    const int type = m.bytes[0] & 0xF0;
    if (type == 0xE0) {
      bend = m.bytes[1] | (m.bytes[2] << 7);
    } else if (type == 0x90 && m.bytes[2] > 0) {
      const double unit = bend >= 8192 ? bendRange / 8191.0 : bendRange / 8192.0;
      notes.push_back({m.bytes[1] + (bend - 8192) * unit, m.frame});
    }
  }
  return notes;
}

std::vector<int> keysLeftSounding(const std::vector<TimedMessage>& messages) {
  std::multiset<int> sounding;
  for (const TimedMessage& m : messages) {
    if (m.bytes.size() != 3) {
      continue;
    }
    const int type = m.bytes[0] & 0xF0;
    if (type == 0x90 && m.bytes[2] > 0) {
      sounding.insert(m.bytes[1]);
    } else if (type == 0x80 || type == 0x90) {
      sounding.erase(m.bytes[1]);  // a note-off ends every voice of its key
    }
  }
  return {sounding.begin(), sounding.end()};
}

std::string describe(const std::vector<SoundingNote>& notes, double rate) {
  std::string text;
  for (const SoundingNote& n : notes) {
    char line[64];
    std::snprintf(line, sizeof line, "%.2f at %.3f s; ", n.pitch, n.frame / rate);
    text += line;
  }
  return text;
}

}  // namespace melovantis::test
