// A conversion on several cores must give exactly what one core gives: the
// same frame table, onsets, statistics and MIDI bytes, with every call to the
// window made on the thread that started the conversion.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "conversion/SampleSource.h"
#include "conversion/WaveSampleSource.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "midi/MidiFileWriter.h"
#include "support/RecordingNotifier.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

// Counts the calls and remembers whether any came from another thread.
class ThreadCheckingObserver : public ConversionObserver {
 public:
  void setProgress(int percent) override {
    check();
    progress.push_back(percent);
  }
  void pumpMessages(bool) override {
    check();
    ++pumps;
  }
  void drawCurrentNotePanel(int frame) override {
    check();
    panels.push_back(frame);
    // The window draws the panel from the row at the cursor, inside the table so far.
    panelOutsideTable = panelOutsideTable || frame % 5 != 0 ||
                        (engine != nullptr && frame > engine->frameCount);
  }
  void resetViewToStart() override { check(); }
  void redrawView() override { check(); }
  void markUnsaved() override { check(); }
  void saveMidiFile() override { check(); }
  void takeUndoSnapshot() override { check(); }

  std::thread::id caller = std::this_thread::get_id();
  const AnalysisEngine* engine = nullptr;
  bool panelOutsideTable = false;
  bool otherThread = false;
  int pumps = 0;
  std::vector<int> progress;
  std::vector<int> panels;

 private:
  void check() { otherThread = otherThread || std::this_thread::get_id() != caller; }
};

// Reads through the conversion's own source but fails every read that reaches
// into samples `failFrom` up to `failTo`: the trouble one worker would meet.
// A failure before the end of the data waits until the end has been read and
// a moment more, so that the workers after it have finished their rows and
// only the failing worker's own result can tell.
class FailingSource : public SampleSource {
 public:
  FailingSource(WaveReader& reader, long long failFrom, long long failTo, long long end)
      : real_(reader), failFrom_(failFrom), failTo_(failTo), end_(end) {}
  bool read(long long first, std::int16_t* destination, int count) override {
    if (first + count > failFrom_ && first < failTo_) {
      if (failTo_ < end_) {
        for (int i = 0; i < 100 && !endRead_; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
      }
      return false;
    }
    const bool ok = real_.read(first, destination, count);
    endRead_ = endRead_ || (ok && first + count >= end_ - 4096);
    return ok;
  }

 private:
  WaveSampleSource real_;
  long long failFrom_;
  long long failTo_;
  long long end_;
  std::atomic<bool> endRead_{false};
};

// A few seconds of melody: struck and slowly rising notes, a glide, silence and noise,
// and legato steps, whose starts are placed on the cores after the analysis.
std::vector<std::int16_t> melody() {
  return test::concat({test::legatoLine({{62.0, 9000}, {64.0, 7000}, {65.0, 7000}, {67.0, 9000},
                                         {64.0, 7000}, {62.0, 9000}}),
                       test::noteWithAttack(60, 20000, 3000, 0, 0.3),
                       test::noteWithAttack(67, 24000, 500, 3528),
                       test::glide(67, 72, 15000),
                       test::noteWithAttack(72, 9000, 0, 0, 0.2),
                       test::noteWithAttack(72, 12000, 0, 0, 0.2),
                       test::constant(7000),
                       test::whiteNoise(5000, 3000),
                       test::noteWithAttack(45, 30000, 2000, 0, 0.5)});
}

struct Result {
  std::vector<FrameRecord> rows;
  int frameCount = 0;
  int pitchedFrameCount = 0;
  double cepstralPeakSum = 0.0;
  int brightFrameCount = 0;
  double brightnessSum = 0.0;
  std::vector<std::uint8_t> midi;
  std::vector<std::string> messages;
  bool callsFromOtherThreads = false;
  bool panelOutsideTable = false;
  int panels = 0;
};

class ParallelConversion : public ::testing::Test {
 protected:
  // Converts `samples` with the settings given on `threads` cores; with a range,
  // first converts it all on one core and then re-analyses the range (rows
  // spoiled beforehand, so that the re-analysis has to write them).
  Result convert(const std::vector<std::int16_t>& samples, const SettingsRecord& settings,
                 int threads, int rangeStart = -1, int rangeEnd = -1, long long failFrom = -1,
                 long long failTo = std::numeric_limits<long long>::max()) {
    const auto wave = dir / "input.wav";
    test::writeMonoWave(wave, samples);
    test::RecordingNotifier notifier;
    AnalysisEngine engine(notifier);
    applySettingsToEngine(settings, engine);
    WaveReader reader;
    ThreadCheckingObserver observer;
    observer.engine = &engine;
    ConversionDriver driver(engine, reader, notifier, observer);
    ConversionSession session = ConversionSession::unattended(wave);
    session.drawingEnabled = true;
    session.analysisThreads = threads;
    if (rangeStart >= 0) {
      session.analysisThreads = 1;
      driver.startConversion(session);
      for (int i = 0; i < engine.frameCount; ++i) {
        engine.frames[static_cast<std::size_t>(i)].pitch = 12.5;
        engine.frames[static_cast<std::size_t>(i)].onsetOffset = 77;
      }
      session.rangeMode = true;
      session.rangeStartFrame = rangeStart;
      session.rangeEndFrame = rangeEnd;
      session.analysisThreads = threads;
    }
    FailingSource failing(reader, failFrom, failTo, static_cast<long long>(samples.size()));
    if (failFrom >= 0) {
      driver.setSampleSource(&failing);
    }
    driver.startConversion(session);

    Result result;
    result.frameCount = engine.frameCount;
    result.rows.assign(engine.frames.begin(), engine.frames.begin() + engine.frameCount);
    result.pitchedFrameCount = engine.pitchedFrameCount;
    result.cepstralPeakSum = engine.cepstralPeakSum;
    result.brightFrameCount = engine.brightFrameCount;
    result.brightnessSum = engine.brightnessSum;
    const auto midiPath = dir / "out.mid";
    EXPECT_TRUE(writeMidiFile(engine, midiPath, notifier));
    result.midi = test::readFileBytes(midiPath);
    for (const auto& entry : notifier.entries) {
      result.messages.push_back(entry.text);
    }
    result.callsFromOtherThreads = observer.otherThread;
    result.panelOutsideTable = observer.panelOutsideTable;
    result.panels = static_cast<int>(observer.panels.size());
    return result;
  }

  static SettingsRecord settingsFor(int milliseconds, int boost, int pitchBoost = 1) {
    SettingsRecord settings;
    settings.timeResolutionMs = milliseconds;
    settings.timeResolutionBoost = boost;
    settings.pitchResolutionBoost = pitchBoost;
    return settings;
  }

  static void expectSame(const Result& serial, const Result& parallel, const std::string& what) {
    ASSERT_EQ(serial.frameCount, parallel.frameCount) << what;
    for (std::size_t i = 0; i < serial.rows.size(); ++i) {
      const FrameRecord& a = serial.rows[i];
      const FrameRecord& b = parallel.rows[i];
      // Bit for bit, not within a tolerance.
      EXPECT_EQ(std::memcmp(&a.pitch, &b.pitch, sizeof a.pitch), 0) << what << " row " << i;
      EXPECT_EQ(a.volume, b.volume) << what << " row " << i;
      EXPECT_EQ(a.brightness, b.brightness) << what << " row " << i;
      EXPECT_EQ(a.attack, b.attack) << what << " row " << i;
      EXPECT_EQ(a.onsetOffset, b.onsetOffset) << what << " row " << i;
    }
    EXPECT_EQ(serial.pitchedFrameCount, parallel.pitchedFrameCount) << what;
    EXPECT_EQ(serial.cepstralPeakSum, parallel.cepstralPeakSum) << what;
    EXPECT_EQ(serial.brightFrameCount, parallel.brightFrameCount) << what;
    EXPECT_EQ(serial.brightnessSum, parallel.brightnessSum) << what;
    EXPECT_EQ(serial.midi, parallel.midi) << what;
    EXPECT_EQ(serial.messages, parallel.messages) << what;
    EXPECT_FALSE(parallel.callsFromOtherThreads) << what;
    EXPECT_FALSE(parallel.panelOutsideTable) << what;
    EXPECT_EQ(serial.panels > 0, parallel.panels > 0) << what;
  }

  test::TempFolder dir;
};

TEST_F(ParallelConversion, EveryFrameLengthAndBoostGivesTheSameTableAndMidiAsOneCore) {
  const auto samples = melody();
  for (int milliseconds : {20, 60, 90}) {
    for (int boost : {0, 1, 2}) {
      const SettingsRecord settings = settingsFor(milliseconds, boost);
      const Result serial = convert(samples, settings, 1);
      ASSERT_GT(serial.frameCount, 10);
      for (int threads : {2, 3}) {
        expectSame(serial, convert(samples, settings, threads),
                   std::to_string(milliseconds) + " ms, boost " + std::to_string(boost) + ", " +
                       std::to_string(threads) + " cores");
      }
    }
  }
}

TEST_F(ParallelConversion, RangeReanalysisOfPartOfTheTableAgrees) {
  const auto samples = melody();
  const SettingsRecord settings = settingsFor(60, 1);
  const Result serial = convert(samples, settings, 1, 5, 40);
  EXPECT_EQ(serial.rows[4].pitch, 12.5);    // outside the range: as spoiled
  EXPECT_NE(serial.rows[5].pitch, 12.5);    // inside: analysed again
  EXPECT_EQ(serial.rows[40].onsetOffset, 77);
  expectSame(serial, convert(samples, settings, 2, 5, 40), "range 5..40");
  expectSame(serial, convert(samples, settings, 4, 5, 40), "range 5..40 on 4 cores");
}

TEST_F(ParallelConversion, FileShorterThanOneFramePerWorkerAndMoreWorkersThanRows) {
  const SettingsRecord settings = settingsFor(90, 1);
  // Three rows (3920-sample frames, hop 1960) for eight workers.
  const auto samples = test::noteWithAttack(64, 3920 + 2 * 1960 + 100, 1000, 0, 0.2);
  const Result serial = convert(samples, settings, 1);
  ASSERT_EQ(serial.frameCount, 3);
  expectSame(serial, convert(samples, settings, 8), "3 rows, 8 workers");
  // Shorter than one frame: no rows at all, whatever the workers.
  const auto tiny = test::harmonicTone(64, 3000);
  expectSame(convert(tiny, settings, 1), convert(tiny, settings, 4), "no rows");
}

TEST_F(ParallelConversion, FailingReadInOneWorkerReportsOnceAndLeavesNoPartialTable) {
  const auto samples = melody();
  const SettingsRecord settings = settingsFor(60, 1);
  const long long size = static_cast<long long>(samples.size());
  // The last quarter of the data cannot be read: only the last worker meets
  // it. Then a stretch early on, which only the calling thread's own first
  // rows meet while the other workers finish theirs.
  for (const auto& [failFrom, failTo] : {std::pair{size * 3 / 4, size}, std::pair{size / 20, size / 20 + 10}}) {
    for (int threads : {1, 2, 4}) {
      const Result failed = convert(samples, settings, threads, -1, -1, failFrom, failTo);
      EXPECT_EQ(failed.frameCount, 0) << threads << " from " << failFrom;
      EXPECT_EQ(failed.messages, std::vector<std::string>{"Error reading wave file"})
          << threads << " from " << failFrom;
      EXPECT_FALSE(failed.callsFromOtherThreads);
    }
  }
}

TEST_F(ParallelConversion, FailingReadInARangeRunLeavesItsRowsAsTheyWere) {
  const auto samples = melody();
  const SettingsRecord settings = settingsFor(60, 1);
  const long long failFrom = static_cast<long long>(samples.size()) / 2;
  const Result failed = convert(samples, settings, 2, 5, 80, failFrom);
  EXPECT_EQ(failed.messages, std::vector<std::string>{"Error reading wave file"});
  ASSERT_GT(failed.frameCount, 80);
  for (int i = 0; i < failed.frameCount; ++i) {
    EXPECT_EQ(failed.rows[static_cast<std::size_t>(i)].pitch, 12.5) << i;
    EXPECT_EQ(failed.rows[static_cast<std::size_t>(i)].onsetOffset, 77) << i;
  }
}

}  // namespace
}  // namespace melovantis
