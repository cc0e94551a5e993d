// The ring between the device's thread and the capture thread: what goes in
// comes out in order, and what is lost when the reader falls behind is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "audio/SampleQueue.h"

namespace melovantis {
namespace {

std::vector<std::int16_t> counting(int first, int count) {
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(first + i);
  }
  return samples;
}

TEST(SampleQueue, AReaderThatFellBehindSkipsToTheNewestBlocksAndAFullRingDropsAndBothAreCounted) {
  SampleQueue queue(10);
  ASSERT_TRUE(queue.push(counting(0, 4).data(), 4));
  std::vector<std::int16_t> out(2);
  ASSERT_TRUE(queue.pop(out.data(), 2, 2));  // two blocks waiting: nothing skipped
  EXPECT_EQ(out, counting(0, 2));
  EXPECT_EQ(queue.lostSamples(), 0u);

  // 2 left + 8 fit; the last 3 of 11 are dropped.
  EXPECT_FALSE(queue.push(counting(4, 11).data(), 11));
  EXPECT_EQ(queue.available(), 10);
  EXPECT_EQ(queue.lostSamples(), 3u);
  // Five blocks of two waiting, the newest two kept: 2, 3, 4, 5, 6, 7 skipped.
  ASSERT_TRUE(queue.pop(out.data(), 2, 2));
  EXPECT_EQ(out, counting(8, 2));
  EXPECT_EQ(queue.lostSamples(), 9u);
  ASSERT_TRUE(queue.pop(out.data(), 2, 2));
  EXPECT_EQ(out, counting(10, 2));
  EXPECT_FALSE(queue.pop(out.data(), 2, 2));

  // Half a block is not a block; clear() forgets it and the counts.
  ASSERT_TRUE(queue.push(counting(20, 1).data(), 1));
  EXPECT_FALSE(queue.pop(out.data(), 2, 2));
  queue.clear();
  EXPECT_EQ(queue.available(), 0);
  EXPECT_EQ(queue.lostSamples(), 0u);
  ASSERT_TRUE(queue.push(counting(30, 2).data(), 2));
  ASSERT_TRUE(queue.pop(out.data(), 2, 2));
  EXPECT_EQ(out, counting(30, 2));
}

// Run under ThreadSanitizer too: a writer publishing its samples without
// release, or a reader taking them without acquire, is a race there.
TEST(SampleQueue, EverySampleFromTheDeviceThreadReachesTheReaderOnceAndInOrder) {
  constexpr int kCapacity = 6 * 1411;
  constexpr int kBlock = 1411;
  constexpr int kBlocks = 1500;
  SampleQueue queue(kCapacity);
  std::atomic<bool> writerDone{false};
  std::thread device([&] {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pieceSize(1, 700);
    int next = 0;
    while (next < kBlock * kBlocks) {
      const int piece = std::min(pieceSize(random), kBlock * kBlocks - next);
      // Only what fits, so nothing is dropped and every sample must come out.
      if (queue.available() + piece > kCapacity) {
        std::this_thread::yield();
        continue;
      }
      const std::vector<std::int16_t> samples = counting(next, piece);
      ASSERT_TRUE(queue.push(samples.data(), piece));
      next += piece;
    }
    writerDone = true;
  });
  std::vector<std::int16_t> block(kBlock);
  int expected = 0;
  int mismatches = 0;
  while (expected < kBlock * kBlocks) {
    if (!queue.pop(block.data(), kBlock, kCapacity / kBlock)) {
      std::this_thread::yield();
      continue;
    }
    for (int i = 0; i < kBlock; ++i) {
      mismatches += block[static_cast<std::size_t>(i)] != static_cast<std::int16_t>(expected + i);
    }
    expected += kBlock;
  }
  device.join();
  EXPECT_TRUE(writerDone);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(queue.lostSamples(), 0u);
  EXPECT_EQ(queue.available(), 0);
}

}  // namespace
}  // namespace melovantis
