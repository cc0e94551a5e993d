// The same transform on FFTW 3's real-to-complex interface, which is several
// times faster at these lengths. Its output (n/2 + 1 complex bins) is written
// out in FFTW 2's halfcomplex order, so the analysis does not know which runs.
#include <fftw3.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "engine/RealFft.h"

namespace melovantis {

namespace {

// FFTW's planner is not thread-safe; executing a finished plan is.
std::mutex& plannerMutex() {
  static std::mutex mutex;
  return mutex;
}

struct Fftw3Plan {
  fftw_plan plan = nullptr;
  double* input = nullptr;         // aligned copy of the caller's input
  fftw_complex* bins = nullptr;    // n/2 + 1 complex values
};

}  // namespace

RealFft::RealFft(int length) : length_(length) {
  if (length <= 0) {
    return;
  }
  std::lock_guard lock(plannerMutex());
  auto* p = new Fftw3Plan;
  p->input = fftw_alloc_real(static_cast<std::size_t>(length));
  p->bins = fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1));
  if (p->input != nullptr && p->bins != nullptr) {
    p->plan = fftw_plan_dft_r2c_1d(length, p->input, p->bins, FFTW_ESTIMATE);
  }
  if (p->plan == nullptr) {
    fftw_free(p->input);
    fftw_free(p->bins);
    delete p;
    return;
  }
  plan_ = p;
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
    auto* p = static_cast<Fftw3Plan*>(plan_);
    fftw_destroy_plan(p->plan);
    fftw_free(p->input);
    fftw_free(p->bins);
    delete p;
    plan_ = nullptr;
  }
}

void RealFft::forward(double* in, double* out) const {
  auto* p = static_cast<Fftw3Plan*>(plan_);
  const int n = length_;
  std::copy(in, in + n, p->input);
  fftw_execute(p->plan);
  for (int k = 0; k <= n / 2; ++k) {
    out[k] = p->bins[k][0];
  }
  for (int k = 1; k <= (n - 1) / 2; ++k) {
    out[n - k] = p->bins[k][1];
  }
}

}  // namespace melovantis
