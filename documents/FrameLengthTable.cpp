#include "documents/FrameLengthTable.h"

#include <algorithm>
#include <cstdint>

namespace melovantis {

const std::array<int, kFrameLengthCount> frameLengthTable = {
    468,  540,  546,  550,  594,  600,  616,  624,  640,  660,  686,  700,  702,  728,
    770,  810,  832,  864,  880,  882,  924,  960,  972,  980,  1000, 1040, 1050, 1080,
    1120, 1134, 1188, 1232, 1248, 1280, 1296, 1320, 1344, 1350, 1372, 1440, 1456, 1470,
    1512, 1536, 1560, 1584, 1600, 1680, 1728, 1750, 1760, 1782, 1792, 1820, 1848, 1920,
    1960, 2016, 2048, 2058, 2100, 2112, 2156, 2160, 2184, 2200, 2250, 2304, 2310, 2340,
    2400, 2450, 2464, 2496, 2500, 2548, 2560, 2592, 2600, 2646, 2700, 2730, 2744, 2772,
    2800, 2816, 2880, 2912, 2940, 3072, 3080, 3120, 3168, 3200, 3240, 3276, 3360, 3402,
    3430, 3510, 3520, 3564, 3584, 3640, 3696, 3750, 3822, 3900, 3920,
};

int frameLengthForMs(int timeResolutionMs) {
  // 64 bits: a settings file may hold any 32-bit value.
  const std::int64_t target = static_cast<std::int64_t>(timeResolutionMs) * 44100 / 1000;
  // Strictly below the target: 60 ms is 2646 samples and gives 2600, not 2646.
  const auto firstNotBelow = std::lower_bound(frameLengthTable.begin(), frameLengthTable.end(),
                                              target, [](int length, std::int64_t value) {
                                                return length < value;
                                              });
  if (firstNotBelow == frameLengthTable.begin()) {
    return frameLengthTable.front();
  }
  return *(firstNotBelow - 1);
}

}  // namespace melovantis
