// Where a converted note starts in the MIDI file: at its attack in the
// recording (the default), or at the time of the frame that detected it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/WaveReader.h"
#include "conversion/ConversionDriver.h"
#include "conversion/ConversionObserver.h"
#include "conversion/ConversionSession.h"
#include "documents/EngineSettings.h"
#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "midi/MidiFileWriter.h"
#include "support/MidiNoteOns.h"
#include "support/RecordingNotifier.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

constexpr double kTicksPerSecond = 960.0;  // 480 per quarter note at 120 BPM
constexpr double kFiveMs = 0.005;

// Absolute ticks of the note-ons of the MIDI file written.
std::vector<std::int64_t> noteOnTicks(const std::vector<std::uint8_t>& file) {
  std::vector<std::int64_t> ticks;
  for (const test::MidiNoteOn& on : test::midiNoteOns(file)) {
    ticks.push_back(on.tick);
  }
  return ticks;
}

class OnsetPlacement : public ::testing::Test {
 protected:
  // Converts `samples` with the factory settings (90 ms frames, half-frame hop) and the
  // placement given; the note-on ticks of the MIDI file, and the first marked row.
  std::vector<std::int64_t> convert(const std::vector<std::int16_t>& samples,
                                    melovantis::OnsetPlacement placement, int* firstNoteRow) {
    const auto wave = dir / "note.wav";
    test::writeMonoWave(wave, samples);
    test::RecordingNotifier notifier;
    AnalysisEngine engine(notifier);
    applySettingsToEngine(SettingsRecord{}, engine);
    engine.onsetPlacement = placement;
    WaveReader reader;
    ConversionObserver observer;
    ConversionDriver driver(engine, reader, notifier, observer);
    ConversionSession session = ConversionSession::unattended(wave);
    driver.startConversion(session);
    *firstNoteRow = -1;
    for (int i = 0; i < engine.frameCount && *firstNoteRow < 0; ++i) {
      if (engine.frames[static_cast<std::size_t>(i)].pitch >= 0.0) {
        *firstNoteRow = i;
      }
    }
    const auto midi = dir / "note.mid";
    EXPECT_TRUE(writeMidiFile(engine, midi, notifier));
    return noteOnTicks(test::readFileBytes(midi));
  }

  test::TempFolder dir;
};

constexpr int kHop = 1960;

TEST_F(OnsetPlacement, StruckAndSlowNotesStartWithinFiveMillisecondsOfTheirStart) {
  for (int rise : {0, 3528}) {  // struck, and an 80 ms rise
    for (int position : {0, 490, 980, 1470, 1900}) {
      const int start = 10 * kHop + position;
      const auto samples = test::noteWithAttack(62, start + 30000, start, rise, rise ? 0.0 : 0.5);
      int row = 0;
      const auto ticks = convert(samples, melovantis::OnsetPlacement::kAttack, &row);
      ASSERT_FALSE(ticks.empty()) << rise << " " << position;
      // Whole ticks are truncated: up to one tick (1 ms) earlier than the time itself.
      EXPECT_NEAR(ticks.front() / kTicksPerSecond, start / 44100.0, kFiveMs + 1 / kTicksPerSecond)
          << "rise " << rise << " position " << position;
    }
  }
}

TEST_F(OnsetPlacement, FramePlacementStartsTheNoteAtTheTimeOfTheRowThatFoundIt) {
  for (int rise : {0, 3528}) {
    for (int position : {0, 980, 1900}) {
      const int start = 10 * kHop + position;
      const auto samples = test::noteWithAttack(62, start + 30000, start, rise, rise ? 0.0 : 0.5);
      int row = 0;
      const auto ticks = convert(samples, melovantis::OnsetPlacement::kFrame, &row);
      ASSERT_FALSE(ticks.empty());
      ASSERT_GE(row, 0);
      // Row i's messages go in at (i + 1) hops: 120 x 480 / 2646000 ticks a sample.
      const std::int64_t rowTime =
          (static_cast<std::int64_t>(row) + 1) * kHop * 120 * 480 / 2646000;
      EXPECT_EQ(ticks.front(), rowTime) << "rise " << rise << " position " << position;
    }
  }
}

}  // namespace
}  // namespace melovantis
