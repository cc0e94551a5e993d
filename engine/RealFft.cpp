#include "engine/RealFft.h"

#include <mutex>
#include <utility>

#include "engine/RealFftBackend.h"

namespace melovantis {

namespace {

// FFT planners keep global tables and are not thread-safe; executing a
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
  plan_ = fft_backend::createPlan(length);
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
    fft_backend::destroyPlan(plan_);
    plan_ = nullptr;
  }
}

void RealFft::forward(double* in, double* out) const {
  fft_backend::execute(plan_, length_, in, out);
}

}  // namespace melovantis
