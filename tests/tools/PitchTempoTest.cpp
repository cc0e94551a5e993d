#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/AnalysisEngine.h"
#include "midi/MidiFileWriter.h"
#include "support/RecordingNotifier.h"
#include "support/WaveFileBuilder.h"
#include "tools/EditModel.h"
#include "tools/PitchTempo.h"
#include "tools/ToolTestSupport.h"

namespace melovantis {
namespace {

using test::pitchesOf;
using test::setTable;

// The tick of the end-of-track event of a format 0 file with one track.
std::int64_t endOfTrackTick(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  std::size_t at = 22;  // MThd chunk and the MTrk header
  auto variableLength = [&] {
    std::uint32_t value = 0;
    while (at < bytes.size()) {
      const std::uint8_t b = bytes[at++];
      value = (value << 7) | (b & 0x7F);
      if ((b & 0x80) == 0) {
        break;
      }
    }
    return value;
  };
  std::int64_t tick = 0;
  std::uint8_t status = 0;
  while (at < bytes.size()) {
    tick += variableLength();
    if (bytes[at] & 0x80) {
      status = bytes[at++];
    }
    if (status == 0xFF) {
      const std::uint8_t type = bytes[at++];
      const std::uint32_t length = variableLength();
      if (type == 0x2F) {
        return tick;
      }
      at += length;
    } else if (status == 0xF0 || status == 0xF7) {
      at += variableLength();
    } else {
      const std::uint8_t kind = status & 0xF0;
      at += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    }
  }
  return -1;
}

class PitchTempo : public ::testing::Test {
 protected:
  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
};

TEST_F(PitchTempo, AnOctaveUpSilencesNotesThatLeaveTheMidiRange) {
  setTable(engine, {100.0, 120.0, kNoPitch, 115.5, 115.0});
  EXPECT_TRUE(transposePitch(engine, transpositionFor(12, 0)));
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{112.0, kNoPitch, kNoPitch, kNoPitch, 127.0}));

  const ToolMessage warning = pitchTempoResultMessage(true);
  EXPECT_EQ(warning.text,
            "Warning: After transposing, some notes are out of MIDI range!\nTo restore your "
            "original melody, you can press Undo.");
  EXPECT_EQ(warning.caption, "Warning!");
  EXPECT_EQ(warning.icon, MessageIcon::Error);
}

TEST_F(PitchTempo, AnOctaveDownSilencesBelowZeroButKeepsZeroItself) {
  setTable(engine, {11.9, 12.0});
  EXPECT_TRUE(transposePitch(engine, transpositionFor(-12, 0)));
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{kNoPitch, 0.0}));
  setTable(engine, {12.0});
  EXPECT_FALSE(transposePitch(engine, -12.0));
}

TEST_F(PitchTempo, NeutralSettingsKeepEveryPitchAndResetTheTempoFactor) {
  setTable(engine, {60.25, kNoPitch, 0.0});
  engine.tempoFactor = 0.5;
  EXPECT_FALSE(modifyPitchAndTempo(engine, 0, 0, 100));
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{60.25, kNoPitch, 0.0}));
  EXPECT_EQ(engine.tempoFactor, 1.0);
  EXPECT_EQ(pitchTempoResultMessage(false), (ToolMessage{"Pitch and Tempo modifications done!",
                                                         "Success!", MessageIcon::Information}));
}

TEST_F(PitchTempo, SemitonesAndCentsAddUpAndTheSpeedSetsTheFactor) {
  setTable(engine, {60.0});
  modifyPitchAndTempo(engine, -2, 50, 50);
  EXPECT_DOUBLE_EQ(engine.frames[0].pitch, 58.5);
  EXPECT_EQ(engine.tempoFactor, 2.0);
  EXPECT_EQ(tempoFactorForSpeed(200), 0.5);
  EXPECT_EQ(tempoFactorForSpeed(0), 1.0);
}

TEST_F(PitchTempo, DoubleSpeedHalvesTheDurationOfTheMidiFile) {
  std::vector<double> pitches(400, 60.0);
  for (std::size_t i = 100; i < 200; ++i) {
    pitches[i] = 64.0;
  }
  setTable(engine, pitches);
  engine.runAttackPass();
  test::TempFolder dir;
  ASSERT_TRUE(writeMidiFile(engine, dir / "normal.mid", notifier));
  modifyPitchAndTempo(engine, 0, 0, 200);
  ASSERT_TRUE(writeMidiFile(engine, dir / "fast.mid", notifier));

  EXPECT_EQ(engine.frameCount, 400);
  const std::int64_t normal = endOfTrackTick(dir / "normal.mid");
  const std::int64_t fast = endOfTrackTick(dir / "fast.mid");
  ASSERT_GT(normal, 1000);
  // Both ends are truncated to whole ticks, so the halves may differ by one.
  EXPECT_NEAR(static_cast<double>(fast), normal / 2.0, 1.0);
}

TEST_F(PitchTempo, UndoAfterTheToolRestoresPitchesAndTheTempoFactor) {
  setTable(engine, {120.0, 60.0, kNoPitch});
  engine.tempoFactor = 2.0;
  takeUndoSnapshot(engine);
  ASSERT_TRUE(modifyPitchAndTempo(engine, 12, 0, 200));
  ASSERT_EQ(engine.frames[0].pitch, kNoPitch);
  undo(engine);
  EXPECT_EQ(pitchesOf(engine), (std::vector<double>{120.0, 60.0, kNoPitch}));
  EXPECT_EQ(engine.tempoFactor, 2.0);
}

}  // namespace
}  // namespace melovantis
