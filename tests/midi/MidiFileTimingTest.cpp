#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "midi/MidiFileTiming.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

// A format 0 file of 480 ticks a quarter: 120 BPM from the start, 240 BPM from tick
// 960 (one second in), a note to tick 1920 (half a second more).
std::vector<std::uint8_t> twoTempoFile() {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
          'M', 'T', 'r', 'k', 0, 0, 0, 28,
          0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,   // 500000 us a quarter
          0x00, 0x90, 60, 100,
          0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // at 960: 250000
          0x87, 0x40, 0x80, 60, 0,                      // at 1920
          0x00, 0xFF, 0x2F, 0x00};
}

TEST(MidiFileTiming, FollowsTheTempoChangesToTheLastTick) {
  test::TempFolder dir;
  const auto path = dir / "tempo.mid";
  test::writeBytes(path, twoTempoFile());
  const MidiFileTiming timing = MidiFileTiming::read(path);
  EXPECT_DOUBLE_EQ(timing.lengthSeconds(), 1.5);
  EXPECT_EQ(timing.tickAt(0.5), 480);
  EXPECT_EQ(timing.tickAt(1.0), 960);
  EXPECT_EQ(timing.tickAt(1.25), 1440);  // twice as many ticks a second after the change
  EXPECT_EQ(timing.tickAt(9.0), 1920);   // past the end: the last tick
  EXPECT_EQ(timing.tickAt(-1.0), 0);
}

TEST(MidiFileTiming, AnUnreadableFileHasNoLength) {
  test::TempFolder dir;
  const auto path = dir / "bad.mid";
  test::writeBytes(path, {'M', 'T', 'h', 'x'});
  EXPECT_EQ(MidiFileTiming::read(path).lengthSeconds(), 0.0);
  EXPECT_EQ(MidiFileTiming::read(dir / "missing.mid").tickAt(1.0), 0);
}

}  // namespace
}  // namespace melovantis
