#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace melovantis {

class AnalysisEngine;
class SampleSource;

// One worker of a conversion: analyses a contiguous range of rows of the
// conversion's frame table. The rows of a conversion do not depend on each
// other until the attack pass, so ranges can run on several cores at once.
//
// The first worker analyses with the conversion's engine itself, on the
// calling thread; every other worker has an engine of its own (its own FFT
// plans and buffers) set up like it, and copies each finished row into the
// table. Its run statistics are kept row by row, so that adding them up in
// row order afterwards gives exactly the sums of a run on one core.
//
// Samples are read a chunk of rows at a time; when onsets are placed at the
// attack, a frame's worth of audio before each block comes along, and every
// row's onset is measured from the same samples however the rows are split.
class AnalysisWorker {
 public:
  // What one row added to the run statistics.
  struct RowStatistics {
    bool pitched = false;
    bool bright = false;
    double cepstralPeak = 0.0;
    double brightness = 0.0;
  };

  // `engine` analyses; `table` receives the rows (the same object for the first worker).
  AnalysisWorker(AnalysisEngine& engine, AnalysisEngine& table, SampleSource& source,
                 int firstRow, int endRow);

  // Analyses the range, stopping early when `stop` is set or a read fails (then false,
  // and `stop` is set for the others). `afterRow` is called after each row.
  bool run(std::atomic<bool>& stop, const std::function<void(int row)>& afterRow = {});

  // Adds this worker's statistics to the table's engine, in row order.
  void addStatisticsTo(AnalysisEngine& table) const;

  int firstRow() const { return firstRow_; }
  int endRow() const { return endRow_; }
  int rowsDone() const { return rowsDone_.load(std::memory_order_acquire); }

 private:
  bool analyseChunk(int chunkFirst, int chunkEnd, std::atomic<bool>& stop,
                    const std::function<void(int row)>& afterRow);
  void analyseRow(int row, long long bufferFirst);

  AnalysisEngine& engine_;
  AnalysisEngine& table_;
  SampleSource& source_;
  int firstRow_;
  int endRow_;
  bool ownsEngine_;
  bool findOnsets_;
  std::vector<std::int16_t> buffer_;
  std::vector<RowStatistics> statistics_;
  std::atomic<int> rowsDone_{0};
};

}  // namespace melovantis
