#pragma once

#include <memory>
#include <vector>

namespace melovantis {

class AnalysisEngine;
class ConversionObserver;
class Notifier;
class SampleSource;
class WaveReader;
struct ConversionSession;

// The offline conversion: reads the WAVE file block by block from its first
// sample to its last, analyses one frame per block, then runs the attack pass
// over the whole table. With session.rangeMode set it re-analyses only a range
// of rows and leaves the rest of the table as it was.
//
// The rows are analysed on session.analysisThreads cores (all by default), in
// contiguous ranges, with the same frame table, statistics and MIDI as on one
// core. Every call to the observer is made on the thread that called
// startConversion: it analyses the first range itself, keeping the window
// painted between blocks, then waits for the others, pumping messages and
// showing the note of a finished row now and then. A failing read reports
// "Error reading wave file" once and leaves no partial table: a full run ends
// with no rows, a range run with its rows as they were.
class ConversionDriver {
 public:
  ConversionDriver(AnalysisEngine& engine, WaveReader& reader, Notifier& notifier,
                   ConversionObserver& observer);

  void startConversion(ConversionSession& session);

  // Rows a data chunk of `dataBytes` gives at a frame length and hop.
  static int rowsForData(long long dataBytes, int frameSize, int hopSize);

  // Where the workers read the samples; by default the reader given above.
  // A source of one's own must serve the data of the file being converted.
  void setSampleSource(SampleSource* source) { sampleSource_ = source; }

 private:
  struct Rows {
    int first = 0;
    int end = 0;
  };

  // Analyses rows first..end-1 on the cores allowed; false when a read failed.
  // The engines of the other cores stay in `helpers` for the work after the analysis.
  bool analyseRows(ConversionSession& session, Rows rows, long long totalBytes,
                   SampleSource& source, std::vector<std::unique_ptr<AnalysisEngine>>& helpers);

  // LegatoStarts over rows first..end-1, on the calling thread and the helpers' cores.
  void placeLegatoStarts(SampleSource& source, int first, int end,
                         std::vector<std::unique_ptr<AnalysisEngine>>& helpers);

  AnalysisEngine& engine_;
  WaveReader& reader_;
  Notifier& notifier_;
  ConversionObserver& observer_;
  SampleSource* sampleSource_ = nullptr;
};

}  // namespace melovantis
