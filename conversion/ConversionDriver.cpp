#include "conversion/ConversionDriver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/AnalysisWorker.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "conversion/LegatoStarts.h"
#include "conversion/WaveSampleSource.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"
#include "engine/NoteSegmentation.h"
#include "engine/PitchPath.h"
#include "engine/PitchSpikes.h"

namespace melovantis {

namespace {

// How often the calling thread looks up from waiting for the other workers to
// keep the window painted.
constexpr auto kPumpInterval = std::chrono::milliseconds(10);

int coresToUse(int asked) {
  if (asked > 0) {
    return asked;
  }
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

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
  // Every block that fits in the data the file really holds (a header written
  // while streaming may promise 4 GB); a partial last block is not analysed.
  const int rowsInData = rowsForData(reader_.dataInFile(), n, hop);

  int savedFrameCount = 0;
  Rows rows;
  if (session.rangeMode) {
    savedFrameCount = engine_.frameCount;
    rows.first = std::max(session.rangeStartFrame, 0);
    rows.end = std::max(rows.first, std::min(session.rangeEndFrame, rowsInData));
    engine_.frameCount = rows.first;
  } else {
    observer_.setProgress(0);
    engine_.frameCount = 0;
    rows.end = rowsInData;
  }
  // Room for every row up front: the analysis itself never allocates, and the
  // workers write into a table that does not move.
  engine_.reserveRows(rows.end + 1);

  observer_.showProgressWindow(session.drawingEnabled);
  // Placing notes at their attacks, the pitch of each frame is chosen after
  // the analysis from candidates that every frame keeps.
  const bool placeAtAttacks = engine_.onsetPlacement == OnsetPlacement::kAttack;
  engine_.trackPitch = placeAtAttacks;
  WaveSampleSource waveSource(reader_);
  SampleSource& source = sampleSource_ != nullptr ? *sampleSource_ : waveSource;
  std::vector<std::unique_ptr<AnalysisEngine>> helpers;
  const bool complete = analyseRows(session, rows, totalBytes, source, helpers);
  engine_.trackPitch = false;

  if (session.rangeMode) {
    engine_.frameCount = savedFrameCount;
  } else {
    engine_.frameCount = complete ? rows.end : 0;
  }
  // The conversion that starts notes at their attacks takes each frame's pitch
  // from the line through the candidates, mends the frames a partial took over
  // and finds where its legato steps change pitch; the frame placement keeps
  // the table exactly as analysed.
  if (complete && placeAtAttacks) {
    const int end = std::min(rows.end, engine_.frameCount);
    PitchPath::choose(engine_.frames, engine_.candidates, rows.first, end);
    PitchSpikes::repair(engine_.frames, rows.first, end);
    PitchSpikes::repairBlips(engine_.frames, rows.first, end);
    engine_.runAttackPass();  // the starts the legato steps are looked for at
    NoteSegmentation::settleFirstFrames(engine_.frames, rows.first, end);
    placeLegatoStarts(source, rows.first, end, helpers);
    NoteSegmentation::holdBeforeOnsets(engine_.frames, rows.first, end, engine_.hopSize);
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

void ConversionDriver::placeLegatoStarts(SampleSource& source, int first, int end,
                                         std::vector<std::unique_ptr<AnalysisEngine>>& helpers) {
  // Each start is placed from the table and the recording alone, so contiguous
  // ranges on several cores place them exactly as one core would.
  const int parts = static_cast<int>(helpers.size()) + 1;
  const int rowCount = std::max(end - first, 0);
  std::vector<std::thread> threads;
  int from = first + rowCount / parts + (rowCount % parts > 0 ? 1 : 0);
  const int ownEnd = from;
  for (int p = 1; p < parts; ++p) {
    const int share = rowCount / parts + (p < rowCount % parts ? 1 : 0);
    threads.emplace_back([this, &source, helper = helpers[static_cast<std::size_t>(p - 1)].get(),
                          from, to = from + share] {
      LegatoStarts::place(*helper, engine_, source, from, to);
    });
    from += share;
  }
  LegatoStarts::place(engine_, engine_, source, first, ownEnd);
  for (auto& thread : threads) {
    thread.join();
  }
}

bool ConversionDriver::analyseRows(ConversionSession& session, Rows rows, long long totalBytes,
                                   SampleSource& source,
                                   std::vector<std::unique_ptr<AnalysisEngine>>& helpers) {
  const int rowCount = rows.end - rows.first;
  const int workerCount = std::clamp(coresToUse(session.analysisThreads), 1, std::max(rowCount, 1));
  const long long hop = engine_.hopSize;

  // A range run that fails leaves its rows as they were.
  std::vector<FrameRecord> saved;
  if (session.rangeMode) {
    saved.assign(engine_.frames.begin() + rows.first, engine_.frames.begin() + rows.end);
  }

  // Contiguous ranges, the first (and any spare row) to the calling thread's worker.
  std::vector<std::unique_ptr<AnalysisEngine>>& engines = helpers;
  engines.clear();
  std::vector<std::unique_ptr<AnalysisWorker>> workers;
  int first = rows.first;
  for (int w = 0; w < workerCount; ++w) {
    const int share = rowCount / workerCount + (w < rowCount % workerCount ? 1 : 0);
    AnalysisEngine* engine = &engine_;
    if (w > 0) {
      engines.push_back(std::make_unique<AnalysisEngine>(notifier_));
      engine = engines.back().get();
      engine->copyAnalysisSettings(engine_);
      engine->attackDetectorOn = false;  // the attack pass after the run decides every flag
    }
    workers.push_back(std::make_unique<AnalysisWorker>(*engine, engine_, source, first,
                                                       first + share));
    first += share;
  }

  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (std::size_t w = 1; w < workers.size(); ++w) {
    threads.emplace_back([&stop, worker = workers[w].get()] { worker->run(stop); });
  }

  auto rowsDone = [&workers] {
    long long done = 0;
    for (const auto& worker : workers) {
      done += worker->rowsDone();
    }
    return done;
  };
  auto showProgress = [&] {
    if (session.rangeMode || totalBytes <= 0) {
      return;
    }
    // One hundred times the bytes of the hops analysed, over the data's bytes.
    const long long percent = std::clamp(200 * hop * rowsDone() / totalBytes, 0LL, 100LL);
    observer_.setProgress(static_cast<int>(percent));
  };

  // The calling thread's own rows, with the window kept painted between blocks.
  bool failed = false;
  if (!workers.empty()) {
    observer_.pumpMessages(session.rangeMode);
    failed = !workers.front()->run(stop, [&](int row) {
      session.cursorFrame = row;
      if (row % 5 == 0 && session.drawingEnabled) {
        observer_.drawCurrentNotePanel(row);
      }
      if (row % 20 == 0) {
        showProgress();
      }
      engine_.frameCount = row + 1;
      observer_.pumpMessages(session.rangeMode);
    });
  }

  // Then wait for the others in order, still keeping the window painted and
  // showing the note of the latest finished row now and then. The ranges before
  // the one waited for are complete, so the table up to that row can be shown
  // as during a run on one core.
  for (std::size_t w = 1; w < workers.size(); ++w) {
    const AnalysisWorker& worker = *workers[w];
    int lastPanel = -1;
    while (worker.rowsDone() < worker.endRow() - worker.firstRow() &&
           !stop.load(std::memory_order_relaxed)) {
      std::this_thread::sleep_for(kPumpInterval);
      observer_.pumpMessages(session.rangeMode);
      const int finished = worker.firstRow() + worker.rowsDone() - 1;
      const int panel = finished - finished % 5;
      if (session.drawingEnabled && panel >= worker.firstRow() && panel != lastPanel) {
        session.cursorFrame = panel;
        engine_.frameCount = panel;
        observer_.drawCurrentNotePanel(panel);
        lastPanel = panel;
      }
      showProgress();
    }
    engine_.frameCount = worker.firstRow() + worker.rowsDone();
  }
  for (auto& thread : threads) {
    thread.join();
  }
  if (workers.empty()) {
    observer_.pumpMessages(session.rangeMode);  // the look at a data chunk too short to read
  }

  for (std::size_t w = 1; w < workers.size(); ++w) {
    failed = failed || workers[w]->rowsDone() < workers[w]->endRow() - workers[w]->firstRow();
  }
  if (failed) {
    // Once for the file, however many workers met the failure.
    notifier_.message("Error reading wave file", "Error", MessageIcon::Error);
    if (session.rangeMode) {
      std::copy(saved.begin(), saved.end(), engine_.frames.begin() + rows.first);
    }
    return false;
  }
  for (std::size_t w = 1; w < workers.size(); ++w) {
    workers[w]->addStatisticsTo(engine_);
  }
  return true;
}

}  // namespace melovantis
