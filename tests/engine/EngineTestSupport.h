#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/AnalysisEngine.h"

namespace melovantis::test {

// Sets the engine up as a settings file would: note range to lags, divisor,
// padding, time-resolution mode and frame length.
inline void configure(AnalysisEngine& engine, int frameSize, bool pitchResolution, int lowestNote,
                      int highestNote, int harmonicThreshold = 10, int mode = kHopIsFrame) {
  engine.cepstrumDivisor = pitchResolution ? 1.0 : 2.0;
  engine.padCepstrum = pitchResolution;
  engine.harmonicThreshold = harmonicThreshold;
  engine.maxLag = static_cast<int>(engine.lagForNote(lowestNote));
  engine.minLag = static_cast<int>(engine.lagForNote(highestNote));
  engine.timeResolutionMode = mode;
  engine.setFrameSize(frameSize);
}

// Analyses one block (copied into the engine) into row frameCount and advances it.
inline const FrameRecord& analyse(AnalysisEngine& engine, const std::int16_t* block) {
  std::copy(block, block + engine.frameSize, engine.samples.get());
  engine.analyseBlock();
  return engine.frames[static_cast<std::size_t>(engine.frameCount++)];
}

// Runs a whole signal through the engine at its hop, as the conversion does.
inline void analyseSignal(AnalysisEngine& engine, const std::vector<std::int16_t>& signal) {
  engine.frameCount = 0;
  const auto n = static_cast<std::size_t>(engine.frameSize);
  const auto hop = static_cast<std::size_t>(engine.hopSize);
  for (std::size_t start = 0; start + n <= signal.size(); start += hop) {
    analyse(engine, signal.data() + start);
  }
}

// The pitch of every frame of a whole signal, analysed from a fresh start.
inline std::vector<double> pitchesOf(AnalysisEngine& engine, const std::vector<std::int16_t>& signal) {
  engine.resetAnalysis();
  analyseSignal(engine, signal);
  std::vector<double> pitches;
  for (int i = 0; i < engine.frameCount; ++i) {
    pitches.push_back(engine.frames[static_cast<std::size_t>(i)].pitch);
  }
  return pitches;
}

}  // namespace melovantis::test
