#include "engine/LiveBlockAnalyser.h"

#include <algorithm>

#include "engine/AnalysisEngine.h"

namespace melovantis {

LiveBlockAnalyser::LiveBlockAnalyser(AnalysisEngine& engine, int capacity)
    : engine_(engine), onsets_(capacity) {
  engine_.reserveRows(1);
}

void LiveBlockAnalyser::reset() {
  for (double& p : history_) {
    p = -1.0;
  }
  onsets_.reset();
}

const FrameRecord& LiveBlockAnalyser::analyse(const std::int16_t* block,
                                              const LiveAdjustments& adjustments) {
  std::copy_n(block, engine_.frameSize, engine_.samples.get());
  engine_.inputGain = adjustments.inputGain;
  engine_.quantizeAmount = adjustments.quantizeAmount;
  engine_.transpose = adjustments.transpose;
  engine_.attackDetectorOn = adjustments.attackDetectorOn;
  engine_.attackSensitivity = adjustments.attackSensitivity;

  onsets_.blockCaptured(engine_);
  engine_.frameCount = 0;
  engine_.analyseBlock();
  onsets_.rowAnalysed(engine_, history_[0]);
  const FrameRecord& row = engine_.frames[0];
  history_[2] = history_[1];
  history_[1] = history_[0];
  history_[0] = row.pitch;
  engine_.frameCount = 1;
  return row;
}

}  // namespace melovantis
