#include "audio/SampleQueue.h"

#include <algorithm>

namespace melovantis {

SampleQueue::SampleQueue(int capacity) : ring_(static_cast<std::size_t>(std::max(capacity, 1))) {}

bool SampleQueue::push(const std::int16_t* samples, int count) {
  const std::uint64_t size = ring_.size();
  const std::uint64_t w = written_.load(std::memory_order_relaxed);
  const std::uint64_t r = read_.load(std::memory_order_acquire);
  const std::uint64_t space = size - (w - r);
  const std::uint64_t n = std::min<std::uint64_t>(space, count < 0 ? 0 : count);
  for (std::uint64_t i = 0; i < n; ++i) {
    ring_[static_cast<std::size_t>((w + i) % size)] = samples[i];
  }
  written_.store(w + n, std::memory_order_release);
  if (n < static_cast<std::uint64_t>(std::max(count, 0))) {
    dropped_.fetch_add(static_cast<std::uint64_t>(count) - n, std::memory_order_relaxed);
    return false;
  }
  return true;
}

bool SampleQueue::pop(std::int16_t* out, int count, int keepBlocks) {
  if (count <= 0) {
    return false;
  }
  const std::uint64_t size = ring_.size();
  const std::uint64_t w = written_.load(std::memory_order_acquire);
  std::uint64_t r = read_.load(std::memory_order_relaxed);
  const std::uint64_t blocks = (w - r) / static_cast<std::uint64_t>(count);
  if (blocks == 0) {
    return false;
  }
  const std::uint64_t keep = static_cast<std::uint64_t>(std::max(keepBlocks, 1));
  if (blocks > keep) {
    const std::uint64_t skip = (blocks - keep) * static_cast<std::uint64_t>(count);
    r += skip;
    skipped_.fetch_add(skip, std::memory_order_relaxed);
  }
  for (int i = 0; i < count; ++i) {
    out[i] = ring_[static_cast<std::size_t>((r + static_cast<std::uint64_t>(i)) % size)];
  }
  read_.store(r + static_cast<std::uint64_t>(count), std::memory_order_release);
  return true;
}

int SampleQueue::available() const {
  return static_cast<int>(written_.load(std::memory_order_acquire) -
                          read_.load(std::memory_order_acquire));
}

std::uint64_t SampleQueue::lostSamples() const {
  return dropped_.load(std::memory_order_relaxed) + skipped_.load(std::memory_order_relaxed);
}

void SampleQueue::clear() {
  read_.store(written_.load(std::memory_order_acquire), std::memory_order_release);
  dropped_.store(0, std::memory_order_relaxed);
  skipped_.store(0, std::memory_order_relaxed);
}

}  // namespace melovantis
