#pragma once

// The three things an FFT library must do for RealFft; one backend file per
// library implements them, and the build picks exactly one.
namespace melovantis::fft_backend {

// A forward real plan of the given length in estimate mode, or nullptr.
void* createPlan(int length);
void destroyPlan(void* plan);
// Unnormalised transform, output in halfcomplex order.
void execute(void* plan, int length, double* in, double* out);

}  // namespace melovantis::fft_backend
