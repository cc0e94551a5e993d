// FFTW 2's real-data interface: its output already is in halfcomplex order.
#include <rfftw.h>

#include <type_traits>

#include "engine/RealFftBackend.h"

namespace melovantis::fft_backend {

static_assert(std::is_same_v<fftw_real, double>, "FFTW 2 must be the double-precision build");

void* createPlan(int length) {
  return rfftw_create_plan(length, FFTW_REAL_TO_COMPLEX, FFTW_ESTIMATE);
}

void destroyPlan(void* plan) { rfftw_destroy_plan(static_cast<rfftw_plan>(plan)); }

void execute(void* plan, int /*length*/, double* in, double* out) {
  rfftw_one(static_cast<rfftw_plan>(plan), in, out);
}

}  // namespace melovantis::fft_backend
