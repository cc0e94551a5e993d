// FFTW 3's real-to-complex transform, several times faster than FFTW 2 at
// these lengths. Its n/2 + 1 complex bins are written out in FFTW 2's
// halfcomplex order, so the analysis does not know which library runs.
#include <fftw3.h>

#include <algorithm>

#include "engine/RealFftBackend.h"

namespace melovantis::fft_backend {

namespace {

struct Fftw3Plan {
  fftw_plan plan = nullptr;
  double* input = nullptr;       // aligned copy of the caller's input
  fftw_complex* bins = nullptr;  // n/2 + 1 complex values
};

void freeBuffers(Fftw3Plan* p) {
  fftw_free(p->input);
  fftw_free(p->bins);
}

}  // namespace

void* createPlan(int length) {
  auto* p = new Fftw3Plan;
  p->input = fftw_alloc_real(static_cast<std::size_t>(length));
  p->bins = fftw_alloc_complex(static_cast<std::size_t>(length / 2 + 1));
  if (p->input != nullptr && p->bins != nullptr) {
    p->plan = fftw_plan_dft_r2c_1d(length, p->input, p->bins, FFTW_ESTIMATE);
  }
  if (p->plan == nullptr) {
    freeBuffers(p);
    delete p;
    return nullptr;
  }
  return p;
}

void destroyPlan(void* plan) {
  auto* p = static_cast<Fftw3Plan*>(plan);
  fftw_destroy_plan(p->plan);
  freeBuffers(p);
  delete p;
}

void execute(void* plan, int length, double* in, double* out) {
  auto* p = static_cast<Fftw3Plan*>(plan);
  std::copy(in, in + length, p->input);
  fftw_execute(p->plan);
  for (int k = 0; k <= length / 2; ++k) {
    out[k] = p->bins[k][0];
  }
  for (int k = 1; k <= (length - 1) / 2; ++k) {
    out[length - k] = p->bins[k][1];
  }
}

}  // namespace melovantis::fft_backend
