#pragma once

#include <atomic>
#include <cstddef>

namespace melovantis::test {

// A test program that uses these replaces the global operator new and delete
// with versions that can count allocations and make one allocation of a
// chosen size fail, to reach out-of-memory paths.
struct AllocationHooks {
  static std::atomic<bool> counting;
  // Counts only what the thread that sets it allocates (a host's audio
  // thread), whatever other threads do meanwhile.
  static thread_local bool countingOnThisThread;
  static std::atomic<long> count;
  // The next allocation of exactly this many bytes throws std::bad_alloc; 0 = none.
  static std::atomic<std::size_t> failingSize;
};

}  // namespace melovantis::test
