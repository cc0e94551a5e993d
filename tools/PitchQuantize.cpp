#include "tools/PitchQuantize.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "engine/AnalysisEngine.h"

namespace melovantis {

namespace {

constexpr double kInTuneTolerance = 0.0001;  // semitones
constexpr int kMaxExtraPasses = 20;          // passes after the first

template <typename Edit>
void forEachPitchedFrame(AnalysisEngine& engine, Edit edit) {
  const int rows = engine.rowsInUse();
  for (int i = 0; i < rows; ++i) {
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    if (row.pitch >= 0.0) {
      edit(row);
    }
  }
}

}  // namespace

double closestSemitone(double pitch) { return std::floor(pitch + 0.5); }

void quantizePitch(AnalysisEngine& engine, double amount) {
  forEachPitchedFrame(engine, [amount](FrameRecord& row) {
    row.pitch = AnalysisEngine::quantizedPitch(row.pitch, amount);
  });
}

ToolMessage quantizeResultMessage() {
  return {"Quantization complete!", "Success!", MessageIcon::Information};
}

double centerTune(AnalysisEngine& engine) {
  double shift = 0.0;
  int passes = 0;
  double deviation = 0.0;
  do {
    deviation = 0.0;
    int count = 0;
    forEachPitchedFrame(engine, [&](FrameRecord& row) {
      deviation += row.pitch - closestSemitone(row.pitch);
      ++count;
    });
    if (count > 0) {
      deviation /= count;
    }
    forEachPitchedFrame(engine, [deviation](FrameRecord& row) { row.pitch -= deviation; });
    shift += deviation;
    ++passes;
  } while (std::fabs(deviation) >= kInTuneTolerance && passes <= kMaxExtraPasses);
  return shift;
}

ToolMessage centerTuneResultMessage(double shift) {
  if (std::fabs(shift) > kInTuneTolerance) {
    char text[128];
    // The shift was subtracted; report what was applied to the melody, in cents.
    std::snprintf(text, sizeof text,
                  "In-Tune Wizard finished!\n\n Your sequence was transposed by %.1lf cents.",
                  shift * -100.0);
    return {text, "Success!", MessageIcon::Information};
  }
  return {
      "In-Tune Wizard finished!\n\n Your sequence was already center-tuned. No changes were "
      "made.",
      "Success!", MessageIcon::Information};
}

}  // namespace melovantis
