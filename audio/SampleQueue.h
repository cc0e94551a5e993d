#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace melovantis {

// A ring of samples between one writer (the device's thread) and one reader
// (the capture thread), without locks, so the device never waits for the
// analysis. The writer only fills free space: when the reader has fallen so
// far behind that the ring is full, new samples are dropped, and the reader,
// finding more than a few blocks waiting, skips to the newest ones so that
// what it analyses stays recent. Both losses are counted.
class SampleQueue {
 public:
  explicit SampleQueue(int capacity);

  // Writer side. Returns false when samples had to be dropped.
  bool push(const std::int16_t* samples, int count);

  // Reader side: copies exactly `count` samples into `out` when that many are
  // waiting, after skipping all but the newest `keepBlocks` blocks of them.
  bool pop(std::int16_t* out, int count, int keepBlocks = 2);

  int available() const;

  // Samples lost since the last clear(): dropped by the writer on a full ring
  // and skipped by the reader to catch up.
  std::uint64_t lostSamples() const;

  // Forgets what is waiting and the count of lost samples; while no writer runs.
  void clear();

 private:
  std::vector<std::int16_t> ring_;
  std::atomic<std::uint64_t> written_{0};
  std::atomic<std::uint64_t> read_{0};
  std::atomic<std::uint64_t> dropped_{0};  // by the writer
  std::atomic<std::uint64_t> skipped_{0};  // by the reader
};

}  // namespace melovantis
