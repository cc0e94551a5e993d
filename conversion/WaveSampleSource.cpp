#include "conversion/WaveSampleSource.h"

#include <cstddef>

#include "audio/WaveReader.h"

namespace melovantis {

bool WaveSampleSource::read(long long first, std::int16_t* destination, int count) {
  const std::lock_guard lock(mutex_);
  if (broken_ || first < 0 || count < 0) {
    return false;
  }
  const long long target = 2 * first;
  if (target != position_) {
    if (reader_.seekData(target - position_) != kWaveOk) {
      return false;
    }
    position_ = target;
  }
  const std::size_t bytes = 2 * static_cast<std::size_t>(count);
  const WaveReader::ReadResult result = reader_.readData(destination, bytes);
  if (result.bytes != bytes) {
    broken_ = true;  // where a failed read left the file is unknown
    return false;
  }
  position_ += static_cast<long long>(bytes);
  return true;
}

}  // namespace melovantis
