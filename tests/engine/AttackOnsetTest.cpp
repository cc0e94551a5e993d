#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/AttackOnset.h"
#include "support/AllocationHooks.h"
#include "support/TestSignals.h"

namespace melovantis {
namespace {

constexpr int kFrame = 3920;               // the factory frame
constexpr int kHop = kFrame / 2;           // and its hop
constexpr int kFiveMs = 220;               // the tolerance asked of a placed note start

// The onset found for the row whose window starts at `windowStart`, with the audio
// it may read (the frame before the window and the window) and the note's RMS length.
long long onsetOf(const std::vector<std::int16_t>& signal, long long windowStart, double note) {
  const long long first = std::max(0LL, windowStart - kFrame);
  const AttackOnset::Audio audio{signal.data() + first, first, windowStart + kFrame};
  return AttackOnset::onsetSample(audio, windowStart, kFrame, windowStart + kHop,
                                  AttackOnset::windowFor(note));
}

// The row whose window's second half, which the row before did not see, holds
// `start`: the row that the attack detector marks for a note starting there.
long long windowWithStart(long long start) { return (start - kFrame / 2) / kHop * kHop; }

TEST(AttackOnset, LowNoteIsFoundThroughItsOwnRipple) {
  // Note 33 (55 Hz): over 5 ms the envelope would rise and fall with every period.
  const long long start = 5 * kHop + 2500;
  const auto signal = test::noteWithAttack(33, 12 * kHop, static_cast<int>(start), 0, 0.6);
  EXPECT_NEAR(onsetOf(signal, windowWithStart(start), 33), start, kFiveMs);
}

TEST(AttackOnset, RepeatedNoteStartsAtItsOwnAttackNotAtTheNoteBefore) {
  // The same key struck again 100 ms later while the first is still ringing.
  const int first = 4 * kHop;
  const int second = first + 4410;
  auto signal = test::noteWithAttack(64, 12 * kHop, first, 0, 0.08);
  const auto again = test::noteWithAttack(64, 12 * kHop, second, 0, 0.4);
  for (std::size_t i = 0; i < signal.size(); ++i) {
    signal[i] = static_cast<std::int16_t>(signal[i] / 2 + again[i] / 2);
  }
  EXPECT_NEAR(onsetOf(signal, windowWithStart(second), 64), second, kFiveMs);
}

TEST(AttackOnset, SteadyToneHasNoAttackAndKeepsTheRowsTime) {
  const auto signal = test::harmonicTone(60, 10 * kHop);
  const long long window = 4 * kHop;
  EXPECT_EQ(onsetOf(signal, window, 60), window + kHop);
  const AttackOnset::Audio audio{signal.data(), 0, window + kFrame};
  EXPECT_EQ(AttackOnset::offsetFor(audio, window, kFrame, window + kHop, 220), 0);
}

TEST(AttackOnset, OfTwoEqualPeaksTheFirstIsTheAttack) {
  // Two bursts of the same height in the window's second half, silence between: the
  // note starts with the first; the second is no higher, so it is not the attack.
  const long long window = 3 * kHop;
  const long long firstBurst = window + kFrame / 2 + 200;
  const long long secondBurst = firstBurst + 1000;
  std::vector<std::int16_t> signal(static_cast<std::size_t>(window + kFrame), 0);
  for (long long i = firstBurst; i < static_cast<long long>(signal.size()); ++i) {
    const bool sounding = i < firstBurst + 400 || i >= secondBurst;
    signal[static_cast<std::size_t>(i)] = sounding ? (i % 2 == 0 ? 10000 : -10000) : 0;
  }
  EXPECT_NEAR(onsetOf(signal, window, 60), firstBurst, 44);
}

// A rise that jumps to a fifth of its height and then climbs for 40 ms extrapolates
// back past its own start: the onset is held at the last low point before it, the
// latest of equal ones (silence), not an earlier one.
TEST(AttackOnset, AnOnsetIsNeverBeforeTheLastLowPointBeforeItsRise) {
  const long long window = 3 * kHop;
  const long long start = window + kFrame / 2 + 300;
  std::vector<std::int16_t> signal(static_cast<std::size_t>(window + kFrame), 0);
  for (long long i = start; i < static_cast<long long>(signal.size()); ++i) {
    const double level = std::min(1.0, 0.2 + 0.8 * static_cast<double>(i - start) / 1764.0);
    signal[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i % 2 == 0 ? 1 : -1) *
                                                                    12000.0 * level);
  }
  EXPECT_NEAR(onsetOf(signal, window, 60), start, 44);
  // Where the level before it is lowest well before the rise (a quiet sound growing a
  // little towards a linear attack), the onset is the rise's start, not that low point.
  for (long long i = start - 2646; i < static_cast<long long>(signal.size()); ++i) {
    const double level =
        i < start ? 500.0 + 400.0 * static_cast<double>(i - (start - 2646)) / 2646.0
                  : 900.0 + 11100.0 * std::min(1.0, static_cast<double>(i - start) / 1764.0);
    signal[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i % 2 == 0 ? 1 : -1) * level);
  }
  EXPECT_NEAR(onsetOf(signal, window, 60), start, kFiveMs);
}

TEST(AttackOnset, SilenceHasNoAttack) {
  const std::vector<std::int16_t> silence(10 * kHop, 0);
  EXPECT_EQ(onsetOf(silence, 3 * kHop, -1000.0), 3 * kHop + kHop);
}

TEST(AttackOnset, LookBackIsOnePeriodBetweenFiveAndFiftyMilliseconds) {
  EXPECT_EQ(AttackOnset::windowFor(69.0), 220);    // 100 samples a period: the 5 ms floor
  EXPECT_EQ(AttackOnset::windowFor(33.0), 802);    // 55 Hz
  EXPECT_EQ(AttackOnset::windowFor(0.0), 2205);    // 8.2 Hz: the 50 ms ceiling
  EXPECT_EQ(AttackOnset::windowFor(-1000.0), 220); // unpitched
}

TEST(AttackOnset, FindingAnOnsetAllocatesNothing) {
  const long long start = 6 * kHop + 1000;
  const auto signal = test::noteWithAttack(60, 14 * kHop, static_cast<int>(start), 0, 0.4);
  test::AllocationHooks::count = 0;
  test::AllocationHooks::counting = true;
  const long long onset = onsetOf(signal, windowWithStart(start), 60);
  test::AllocationHooks::counting = false;
  EXPECT_EQ(test::AllocationHooks::count.load(), 0);
  EXPECT_NEAR(onset, start, kFiveMs);
}

}  // namespace
}  // namespace melovantis
