#pragma once

#include <mutex>

#include "conversion/SampleSource.h"

namespace melovantis {

class WaveReader;

// Samples from the conversion's own WAVE reader, positioned at the start of
// the data chunk. The workers take turns: one seek and one read at a time.
class WaveSampleSource : public SampleSource {
 public:
  explicit WaveSampleSource(WaveReader& reader) : reader_(reader) {}

  bool read(long long first, std::int16_t* destination, int count) override;

 private:
  WaveReader& reader_;
  std::mutex mutex_;
  long long position_ = 0;  // bytes into the data chunk
  bool broken_ = false;
};

}  // namespace melovantis
