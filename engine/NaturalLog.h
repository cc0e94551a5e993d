#pragma once

#include <bit>
#include <cstdint>

namespace melovantis {

// Natural logarithm of a positive, normal, finite double, within one unit in
// the last place (the classic fdlibm reduction and polynomial). It has no
// branches and no call, so a loop over a log spectrum vectorises; the library
// log costs a call per bin and was the largest cost outside the two FFTs.
// Zero, negative, subnormal, infinite and NaN arguments give unspecified
// (but defined) results: callers floor their argument first.
inline double naturalLog(double x) {
  constexpr double kLn2High = 6.93147180369123816490e-01;  // ln 2, low bits zero
  constexpr double kLn2Low = 1.90821492927058770002e-10;   // ln 2 - kLn2High
  constexpr double kLg1 = 6.666666666666735130e-01;
  constexpr double kLg2 = 3.999999999940941908e-01;
  constexpr double kLg3 = 2.857142874366239149e-01;
  constexpr double kLg4 = 2.222219843214978396e-01;
  constexpr double kLg5 = 1.818357216161805012e-01;
  constexpr double kLg6 = 1.531383769920937332e-01;
  constexpr double kLg7 = 1.479819860511658591e-01;
  constexpr std::uint64_t kSqrtHalfBits = 0x3FE6A09E667F3BCDULL;  // sqrt(1/2)
  constexpr std::uint64_t kExponentMask = 0xFFFULL << 52;

  // x = 2^k * m with m in [sqrt(1/2), sqrt(2)), so f = m - 1 stays small.
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  const std::uint64_t shifted = bits - kSqrtHalfBits;
  const std::int64_t k = static_cast<std::int64_t>(shifted) >> 52;
  const double m = std::bit_cast<double>(bits - (shifted & kExponentMask));

  // k as a double without an integer conversion instruction (none exists for
  // 64-bit lanes in baseline x86-64): place it in the mantissa of 2^52 + 2^51.
  constexpr double kMagic = 6755399441055744.0;  // 2^52 + 2^51
  const double dk =
      std::bit_cast<double>(std::bit_cast<std::uint64_t>(kMagic) + static_cast<std::uint64_t>(k)) -
      kMagic;

  const double f = m - 1.0;
  const double halfSquare = 0.5 * f * f;
  const double s = f / (2.0 + f);
  const double z = s * s;
  const double w = z * z;
  const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
  const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  const double r = t2 + t1;
  return s * (halfSquare + r) + dk * kLn2Low - halfSquare + f + dk * kLn2High;
}

}  // namespace melovantis
