#pragma once

namespace melovantis {

// A forward real-to-complex transform of one fixed length, unnormalised, with
// its output in FFTW's halfcomplex order: out[k] is the real part of bin k for
// 0 <= k <= L/2 and out[L-k] the imaginary part for 1 <= k <= (L-1)/2.
// Owns its plan; the plan is built once, in estimate mode, when the object is made.
class RealFft {
 public:
  RealFft() = default;
  explicit RealFft(int length);
  ~RealFft();

  RealFft(RealFft&& other) noexcept;
  RealFft& operator=(RealFft&& other) noexcept;
  RealFft(const RealFft&) = delete;
  RealFft& operator=(const RealFft&) = delete;

  bool valid() const { return plan_ != nullptr; }
  int length() const { return length_; }

  // Transforms `length()` values of `in` into `out`. The buffers must not overlap.
  void forward(double* in, double* out) const;

 private:
  void release();

  void* plan_ = nullptr;
  int length_ = 0;
};

}  // namespace melovantis
