#pragma once

namespace melovantis {

class AnalysisEngine;
class ConversionObserver;
class Notifier;
class WaveReader;
struct ConversionSession;

// The offline conversion: reads the WAVE file block by block from its first
// sample to its last, analyses one frame per block, then runs the attack pass
// over the whole table. With session.rangeMode set it re-analyses only a range
// of rows and leaves the rest of the table as it was.
class ConversionDriver {
 public:
  ConversionDriver(AnalysisEngine& engine, WaveReader& reader, Notifier& notifier,
                   ConversionObserver& observer);

  void startConversion(ConversionSession& session);

  // Rows a data chunk of `dataBytes` gives at a frame length and hop.
  static int rowsForData(long long dataBytes, int frameSize, int hopSize);

 private:
  AnalysisEngine& engine_;
  WaveReader& reader_;
  Notifier& notifier_;
  ConversionObserver& observer_;
};

}  // namespace melovantis
