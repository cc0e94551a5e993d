#pragma once

#include <cmath>

namespace melovantis {

// Truncation toward zero that stays defined for any double a loaded file or a
// degenerate measurement can produce: values beyond ±1e9 saturate there (every
// caller limits its result much further) and NaN gives 0.
inline int truncateToInt(double x) {
  if (std::isnan(x)) {
    return 0;
  }
  return static_cast<int>(std::fmax(-1e9, std::fmin(1e9, x)));
}

}  // namespace melovantis
