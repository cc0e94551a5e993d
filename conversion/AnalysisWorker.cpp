#include "conversion/AnalysisWorker.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "conversion/SampleSource.h"
#include "engine/AnalysisEngine.h"
#include "engine/AttackOnset.h"

namespace melovantis {

namespace {

// About 12 s of audio per read: few reads, and a buffer of a megabyte.
constexpr long long kChunkSamples = 1 << 19;

}  // namespace

AnalysisWorker::AnalysisWorker(AnalysisEngine& engine, AnalysisEngine& table,
                               SampleSource& source, int firstRow, int endRow)
    : engine_(engine),
      table_(table),
      source_(source),
      firstRow_(firstRow),
      endRow_(std::max(firstRow, endRow)),
      ownsEngine_(&engine != &table),
      findOnsets_(table.onsetPlacement == OnsetPlacement::kAttack) {
  if (ownsEngine_) {
    engine_.reserveRows(1);
    statistics_.resize(static_cast<std::size_t>(endRow_ - firstRow_));
  }
}

bool AnalysisWorker::run(std::atomic<bool>& stop,
                         const std::function<void(int row)>& afterRow) {
  const long long hop = std::max(engine_.hopSize, 1);
  const int chunkRows = static_cast<int>(std::max(1LL, kChunkSamples / hop));
  for (int first = firstRow_; first < endRow_; first += chunkRows) {
    if (!analyseChunk(first, std::min(endRow_, first + chunkRows), stop, afterRow)) {
      return false;
    }
  }
  return true;
}

bool AnalysisWorker::analyseChunk(int chunkFirst, int chunkEnd, std::atomic<bool>& stop,
                                  const std::function<void(int row)>& afterRow) {
  const long long n = engine_.frameSize;
  const long long hop = engine_.hopSize;
  const long long history = findOnsets_ ? n : 0;
  const long long from = std::max(0LL, chunkFirst * hop - history);
  const long long to = (chunkEnd - 1) * hop + n;
  buffer_.resize(static_cast<std::size_t>(to - from));
  if (stop.load(std::memory_order_relaxed) ||
      !source_.read(from, buffer_.data(), static_cast<int>(to - from))) {
    stop.store(true, std::memory_order_relaxed);
    return false;
  }
  for (int row = chunkFirst; row < chunkEnd; ++row) {
    if (stop.load(std::memory_order_relaxed)) {
      return false;
    }
    analyseRow(row, from);
    rowsDone_.store(row - firstRow_ + 1, std::memory_order_release);
    if (afterRow) {
      afterRow(row);
    }
  }
  return true;
}

void AnalysisWorker::analyseRow(int row, long long bufferFirst) {
  const long long n = engine_.frameSize;
  const long long windowStart = row * static_cast<long long>(engine_.hopSize);
  const std::int16_t* block = buffer_.data() + (windowStart - bufferFirst);
  std::copy(block, block + n, engine_.samples.get());

  if (ownsEngine_) {
    engine_.frameCount = 0;
    engine_.pitchedFrameCount = 0;
    engine_.cepstralPeakSum = 0.0;
    engine_.brightFrameCount = 0;
    engine_.brightnessSum = 0.0;
  } else {
    engine_.frameCount = row;
  }
  engine_.analyseBlock();

  FrameRecord& target = table_.frames[static_cast<std::size_t>(row)];
  if (ownsEngine_) {
    target = engine_.frames[0];
    if (engine_.trackPitch) {
      table_.candidates[static_cast<std::size_t>(row)] = engine_.candidates[0];
    }
    RowStatistics& added = statistics_[static_cast<std::size_t>(row - firstRow_)];
    added.pitched = engine_.pitchedFrameCount != 0;
    added.cepstralPeak = engine_.cepstralPeakSum;
    added.bright = engine_.brightFrameCount != 0;
    added.brightness = engine_.brightnessSum;
  }

  // The onset reads only the frame before the window and the window itself,
  // so it does not depend on where a chunk or a worker's range begins.
  target.onsetOffset = 0;
  target.onsetRise = 0;
  if (findOnsets_) {
    const long long first = std::max(bufferFirst, windowStart - n);
    const AttackOnset::Audio audio{buffer_.data() + (first - bufferFirst), first,
                                   windowStart + n};
    const long long stamp = windowStart + engine_.hopSize;
    const AttackOnset::Found found = AttackOnset::find(
        audio, windowStart, static_cast<int>(n), stamp, AttackOnset::windowFor(target.pitch));
    target.onsetOffset = static_cast<std::int32_t>(std::clamp<long long>(
        found.sample - stamp, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
    target.onsetRise = AttackOnset::riseCode(found.rise);
  }
}

void AnalysisWorker::addStatisticsTo(AnalysisEngine& table) const {
  const int done = rowsDone();
  for (int i = 0; i < done && i < static_cast<int>(statistics_.size()); ++i) {
    const RowStatistics& added = statistics_[static_cast<std::size_t>(i)];
    if (added.pitched) {
      ++table.pitchedFrameCount;
      table.cepstralPeakSum += added.cepstralPeak;
    }
    if (added.bright) {
      ++table.brightFrameCount;
      table.brightnessSum += added.brightness;
    }
  }
}

}  // namespace melovantis
