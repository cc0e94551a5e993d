// The plugin's C libraries (the resampler, LV2's utilities) allocate with
// malloc, not operator new: these count those allocations too, with the same
// switches as AllocationHooks. Under AddressSanitizer, which owns malloc,
// its allocation hook does the counting.
#include <cstddef>

#include "support/AllocationHooks.h"

using melovantis::test::AllocationHooks;

namespace {

void countOne() {
  if (AllocationHooks::counting.load(std::memory_order_relaxed) ||
      AllocationHooks::countingOnThisThread) {
    AllocationHooks::count.fetch_add(1, std::memory_order_relaxed);
  }
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)

// The sanitizer runtime's hook (declared here: GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void*, std::size_t), void (*onFree)(const volatile void*));

namespace {

void onMalloc(const volatile void* /*memory*/, std::size_t /*size*/) { countOne(); }
void onFree(const volatile void* /*memory*/) {}
[[maybe_unused]] const int installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);

}  // namespace

#else

extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* memory, std::size_t size) noexcept;

void* malloc(std::size_t size) noexcept {
  countOne();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
  countOne();
  return __libc_calloc(count, size);
}

void* realloc(void* memory, std::size_t size) noexcept {
  countOne();
  return __libc_realloc(memory, size);
}
}

#endif
