#pragma once

namespace melovantis {

// Least-squares quadratic y ~ a + b*x + c*x^2 over the abscissae x = 0 .. n-1.
// The power sums depend on n only, so they are prepared once and reused for
// every fit of that length.
struct ParabolaFit {
  struct Result {
    double a = 0.0;
    double b = 0.0;
    double c = 1.0;
    bool ok = false;
  };

  double n = 0.0;
  double s1 = 0.0;  // sum of x
  double s2 = 0.0;  // sum of x^2
  double s3 = 0.0;  // sum of x^3
  double s4 = 0.0;  // sum of x^4

  void prepareFit(int points);

  // Fits the first `n` values of y. A singular system reports failure with
  // b = 0 and c = 1, which every caller treats as "no maximum".
  Result fitParabola(const double* y) const;
};

}  // namespace melovantis
