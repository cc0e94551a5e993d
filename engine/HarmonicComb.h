#pragma once

namespace melovantis {

// How plainly a spectrum shows a harmonic series on a fundamental f0: a comb
// laid on the spectrum at f0, 2 f0, 3 f0 ... compared with the same comb
// shifted by half a step, at 0.5 f0, 1.5 f0, 2.5 f0 ... .
//
// The true fundamental puts every tooth on a partial and every gap between
// two: the contrast (the mean level difference, in dB) is high. Its octave
// above puts the gaps on the odd partials: about no contrast. Its octave below
// finds a partial with every other tooth only: about half. A frequency that
// has nothing to do with the sound (a peak of the cepstrum far above a low
// note's fundamental, a resonance of the room) finds partials with some teeth
// and gaps alike: little. So of a fundamental, its octaves and unrelated
// frequencies, the fundamental has the highest contrast.
//
// Each tooth reads the highest level within a quarter of f0 (at most two bins)
// of its frequency, so that slightly stretched partials still count.
//
// The contrast cannot tell a tone from the same tone with faint partials in
// between (a piccolo whose sound carries its octave below 20 dB down, or a
// note under reverb that rings with a fifth below): those a lower fundamental
// explains too, and with more teeth. The pitch a listener hears is the highest
// fundamental whose partials hold nearly all the power the lower one's do, so
// a fundamental is `dominated` when twice or three times it does.
class HarmonicComb {
 public:
  static constexpr int kMaxHarmonics = 40;
  static constexpr double kHighestPartialHz = 6000.0;
  static constexpr double kHighestMultipleHz = 4500.0;  // of a fundamental, when dominating
  static constexpr double kDominance = 0.9;             // share of the power held

  // `level`: the natural log of `power`, bin by bin; `bins` of each, `binHz`
  // apart; `loudest`: what findLoudest made of `power`.
  HarmonicComb(const double* level, const double* power, const int* loudest, int bins,
               double binHz);

  // For every bin k of `power` (bins of them) the bin of the highest power within
  // one bin of k and within two, into loudest[k] and loudest[bins + k].
  static void findLoudest(const double* power, int bins, int* loudest);

  struct Reading {
    bool valid = false;    // at least two partials under the highest one read
    double contrast = 0.0;  // dB
    double power = 0.0;     // the sum of the teeth
  };

  Reading at(double f0) const;

  // True when twice or three times f0 holds kDominance of f0's power (`reading`).
  bool dominated(double f0, const Reading& reading) const;

 private:
  // The bin of the highest power within halfWidth bins of hz (the level is its log).
  int loudestBin(double hz, int halfWidth) const;

  const double* level_;
  const double* power_;
  const int* loudest_;
  int bins_;
  double binHz_;
};

}  // namespace melovantis
