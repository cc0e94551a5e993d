#include "support/AllocationHooks.h"

#include <cstdlib>
#include <new>

namespace melovantis::test {

std::atomic<bool> AllocationHooks::counting{false};
thread_local bool AllocationHooks::countingOnThisThread = false;
std::atomic<long> AllocationHooks::count{0};
std::atomic<std::size_t> AllocationHooks::failingSize{0};

}  // namespace melovantis::test

using melovantis::test::AllocationHooks;

void* operator new(std::size_t size) {
  std::size_t armed = AllocationHooks::failingSize.load();
  if (armed != 0 && size == armed && AllocationHooks::failingSize.compare_exchange_strong(armed, 0)) {
    throw std::bad_alloc();
  }
  if (AllocationHooks::counting.load(std::memory_order_relaxed) ||
      AllocationHooks::countingOnThisThread) {
    AllocationHooks::count.fetch_add(1, std::memory_order_relaxed);
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}

// Not inlined, so the compiler does not pair a call of new with free() and warn.
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
