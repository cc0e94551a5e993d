#pragma once

#include <cstddef>
#include <vector>

#include "engine/AnalysisEngine.h"

namespace melovantis::test {

// Replaces the table with one row per pitch; volume and brightness as given.
inline void setTable(AnalysisEngine& engine, const std::vector<double>& pitches, int volume = 64,
                     int brightness = 20) {
  engine.frameCount = static_cast<int>(pitches.size());
  engine.reserveRows(engine.frameCount + 1);
  for (std::size_t i = 0; i < pitches.size(); ++i) {
    FrameRecord& row = engine.frames[i];
    row.pitch = pitches[i];
    row.volume = static_cast<std::uint8_t>(volume);
    row.brightness = static_cast<std::uint8_t>(brightness);
    row.attack = 0;
  }
}

inline std::vector<double> pitchesOf(const AnalysisEngine& engine) {
  std::vector<double> out;
  for (int i = 0; i < engine.frameCount; ++i) {
    out.push_back(engine.frames[static_cast<std::size_t>(i)].pitch);
  }
  return out;
}

inline std::vector<int> attacksOf(const AnalysisEngine& engine) {
  std::vector<int> out;
  for (int i = 0; i < engine.frameCount; ++i) {
    out.push_back(engine.frames[static_cast<std::size_t>(i)].attack);
  }
  return out;
}

}  // namespace melovantis::test
