#include "engine/ParabolaFit.h"

namespace melovantis {

namespace {

double det3(double m00, double m01, double m02, double m10, double m11, double m12, double m20,
            double m21, double m22) {
  return m00 * (m11 * m22 - m12 * m21) - m01 * (m10 * m22 - m12 * m20) +
         m02 * (m10 * m21 - m11 * m20);
}

}  // namespace

void ParabolaFit::prepareFit(int points) {
  n = points;
  s1 = s2 = s3 = s4 = 0.0;
  for (int i = 0; i < points; ++i) {
    const double x = i;
    s1 += x;
    s2 += x * x;
    s3 += x * x * x;
    s4 += x * x * x * x;
  }
}

ParabolaFit::Result ParabolaFit::fitParabola(const double* y) const {
  double sy = 0.0;
  double sxy = 0.0;
  double sx2y = 0.0;
  const int points = static_cast<int>(n);
  for (int i = 0; i < points; ++i) {
    const double x = i;
    sy += y[i];
    sxy += x * y[i];
    sx2y += x * x * y[i];
  }

  const double det = n * s2 * s4 - n * s3 * s3 - s1 * s1 * s4 + 2.0 * s1 * s2 * s3 - s2 * s2 * s2;
  Result r;
  if (det == 0.0) {
    return r;  // b = 0, c = 1, ok = false
  }
  // Cramer's rule on the normal equations [[n,S1,S2],[S1,S2,S3],[S2,S3,S4]].
  r.a = det3(sy, s1, s2, sxy, s2, s3, sx2y, s3, s4) / det;
  r.b = det3(n, sy, s2, s1, sxy, s3, s2, sx2y, s4) / det;
  r.c = det3(n, s1, sy, s1, s2, sxy, s2, s3, sx2y) / det;
  r.ok = true;
  return r;
}

}  // namespace melovantis
