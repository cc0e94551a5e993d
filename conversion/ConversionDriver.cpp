#include "conversion/ConversionDriver.h"

#include <algorithm>
#include <cstdint>

#include "audio/WaveReader.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"

namespace melovantis {

ConversionDriver::ConversionDriver(AnalysisEngine& engine, WaveReader& reader, Notifier& notifier,
                                   ConversionObserver& observer)
    : engine_(engine), reader_(reader), notifier_(notifier), observer_(observer) {}

int ConversionDriver::rowsForData(long long dataBytes, int frameSize, int hopSize) {
  const long long samples = dataBytes / 2;
  if (frameSize <= 0 || hopSize <= 0 || samples < frameSize) {
    return 0;
  }
  return static_cast<int>((samples - frameSize) / hopSize + 1);
}

void ConversionDriver::startConversion(ConversionSession& session) {
  session.cursorFrame = 0;
  engine_.resetAnalysis();

  if (session.wavePath.empty()) {
    observer_.openAudioFile(session);
    if (session.wavePath.empty()) {
      return;
    }
  }
  if (session.processed) {
    observer_.checkWaveFormat(session, reader_, notifier_);
  }

  reader_.startDataRead(notifier_);
  const long long totalBytes = reader_.dataSize();
  const int n = engine_.frameSize;
  const int hop = engine_.hopSize;
  // Overlapping blocks: step back over what the next block shares with this one.
  const long long backStep = 2LL * n - 2LL * hop;
  const std::size_t blockBytes = 2 * static_cast<std::size_t>(n);

  int savedFrameCount = 0;
  if (session.rangeMode) {
    const long long skip = static_cast<long long>(session.rangeStartFrame) * 2 * hop;
    reader_.seekData(skip);
    savedFrameCount = engine_.frameCount;
    engine_.frameCount = session.rangeStartFrame;
  } else {
    observer_.setProgress(0);
    engine_.frameCount = 0;
    // Room for every row up front, so the analysis itself never allocates; for
    // the rows the file holds, not the ones a header may promise (4 GB while streaming).
    engine_.reserveRows(rowsForData(reader_.dataInFile(), n, hop) + 1);
  }

  observer_.showProgressWindow(session.drawingEnabled);

  long long progress = 0;  // one hundred times the bytes analysed
  for (;;) {
    observer_.pumpMessages(session.rangeMode);

    const WaveReader::ReadResult read = reader_.readData(engine_.samples.get(), blockBytes);
    if (read.bytes < blockBytes) {
      break;  // a partial last block is not analysed
    }
    session.cursorFrame = engine_.frameCount;
    if (session.rangeMode && engine_.frameCount >= session.rangeEndFrame) {
      break;
    }

    engine_.analyseBlock();

    progress += 200LL * hop;
    if (session.cursorFrame % 5 == 0 && session.drawingEnabled) {
      observer_.drawCurrentNotePanel(session.cursorFrame);
    }
    if (session.cursorFrame % 20 == 0 && !session.rangeMode && totalBytes > 0) {
      observer_.setProgress(static_cast<int>(std::clamp(progress / totalBytes, 0LL, 100LL)));
    }
    if (engine_.timeResolutionMode != kHopIsFrame) {
      reader_.seekData(-backStep);
    }
    ++engine_.frameCount;
  }

  if (session.rangeMode) {
    engine_.frameCount = savedFrameCount;
  }
  session.cursorFrame = 0;
  reader_.closeWave();
  observer_.setProgress(100);

  if (!session.rangeMode) {
    session.processed = true;
    observer_.resetViewToStart();
  }

  engine_.runAttackPass();
  if (engine_.attackDetectorOn) {
    // The slider may have moved since the settings were applied; its position decides.
    const int sensitivity = observer_.attackSensitivitySlider(engine_.attackSensitivity);
    engine_.attackSensitivity = sensitivity;
    if (session.settings != nullptr) {
      session.settings->attackSensitivity = sensitivity;
    }
    engine_.runAttackPass();
    observer_.redrawView();
    observer_.markUnsaved();
  }

  observer_.closeProgressWindow();
  if (session.autoSaveMidi) {
    observer_.saveMidiFile();
  }
  if (session.drawingEnabled) {
    observer_.takeUndoSnapshot();
  }
}

}  // namespace melovantis
