#include "engine/RealFft.h"

#include <rfftw.h>

#include <mutex>
#include <type_traits>
#include <utility>

namespace melovantis {

static_assert(std::is_same_v<fftw_real, double>, "FFTW 2 must be the double-precision build");

namespace {

// FFTW 2's planner keeps global tables and is not thread-safe; executing a
// finished plan is. Several engines may build plans at once in batch work.
std::mutex& plannerMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

RealFft::RealFft(int length) : length_(length) {
  if (length <= 0) {
    return;
  }
  std::lock_guard lock(plannerMutex());
  plan_ = rfftw_create_plan(length, FFTW_REAL_TO_COMPLEX, FFTW_ESTIMATE);
}

RealFft::~RealFft() { release(); }

RealFft::RealFft(RealFft&& other) noexcept
    : plan_(std::exchange(other.plan_, nullptr)), length_(std::exchange(other.length_, 0)) {}

RealFft& RealFft::operator=(RealFft&& other) noexcept {
  if (this != &other) {
    release();
    plan_ = std::exchange(other.plan_, nullptr);
    length_ = std::exchange(other.length_, 0);
  }
  return *this;
}

void RealFft::release() {
  if (plan_ != nullptr) {
    std::lock_guard lock(plannerMutex());
    rfftw_destroy_plan(static_cast<rfftw_plan>(plan_));
    plan_ = nullptr;
  }
}

void RealFft::forward(double* in, double* out) const {
  rfftw_one(static_cast<rfftw_plan>(plan_), in, out);
}

}  // namespace melovantis
