#include "tools/AreaCorrector.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "engine/AnalysisEngine.h"

namespace melovantis {

LagWindow areaLagWindow(const AnalysisEngine& engine, double note) {
  const int cap = std::max(engine.cepstrumSize / 2 - 1, 0);
  LagWindow window;
  // The lower note has the longer lag.
  window.maxLag = AnalysisEngine::lagIndex(engine.lagForNote(note - kAreaSearchSemitones), cap);
  window.minLag = AnalysisEngine::lagIndex(engine.lagForNote(note + kAreaSearchSemitones), cap);
  return window;
}

FrameRange areaBrushRange(int centreFrame, int radius, int frameCount) {
  const std::int64_t start = std::int64_t{centreFrame} - radius;
  const std::int64_t end = std::int64_t{centreFrame} + radius;
  FrameRange range;
  range.start =
      static_cast<int>(std::clamp<std::int64_t>(start, 0, std::numeric_limits<int>::max()));
  range.end =
      static_cast<int>(std::clamp<std::int64_t>(end, std::numeric_limits<int>::min(), frameCount));
  return range;
}

bool applyAreaBrush(AnalysisEngine& engine, ConversionDriver& driver, ConversionSession& session,
                    ConversionObserver& window, double note, int centreFrame, int radius) {
  if (!session.processed || engine.frameCount <= 0 || !std::isfinite(note)) {
    return false;
  }
  const int keptMinLag = engine.minLag;
  const int keptMaxLag = engine.maxLag;
  const double keptTempoFactorUndo = engine.tempoFactorUndo;
  const bool keptRangeMode = session.rangeMode;
  const bool keptDrawing = session.drawingEnabled;
  const bool keptAutoSave = session.autoSaveMidi;

  const LagWindow lags = areaLagWindow(engine, note);
  engine.minLag = lags.minLag;
  engine.maxLag = lags.maxLag;

  const FrameRange range = areaBrushRange(centreFrame, radius, engine.frameCount);
  session.rangeStartFrame = range.start;
  session.rangeEndFrame = range.end;
  session.rangeMode = true;
  session.drawingEnabled = false;
  session.autoSaveMidi = false;
  driver.startConversion(session);

  session.rangeMode = keptRangeMode;
  session.drawingEnabled = keptDrawing;
  session.autoSaveMidi = keptAutoSave;
  engine.minLag = keptMinLag;
  engine.maxLag = keptMaxLag;
  // The run's reset cleared the undo copy of the tempo factor too, but the
  // snapshot belongs to the button press before the stroke.
  engine.tempoFactorUndo = keptTempoFactorUndo;
  window.markUnsaved();
  return true;
}

}  // namespace melovantis
