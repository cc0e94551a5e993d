#pragma once

#include <cstdint>

namespace melovantis {

// Where a conversion's workers read the recording: any range of the data
// chunk's samples, from whichever thread asks.
class SampleSource {
 public:
  virtual ~SampleSource() = default;

  // Copies `count` samples, starting at sample `first` of the data, into
  // `destination`; false when they cannot all be read.
  virtual bool read(long long first, std::int16_t* destination, int count) = 0;
};

}  // namespace melovantis
