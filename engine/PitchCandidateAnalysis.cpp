// The pitch candidates of a frame (PitchCandidates): the cepstrum's highest
// peaks, each with its octave above and below, judged by the harmonic comb on
// a Hann-windowed power spectrum. The Hann window is applied to the frame's
// transform itself (three neighbouring bins), so it costs no transform of its own.
#include <algorithm>
#include <cmath>

#include "engine/AnalysisEngine.h"
#include "engine/HarmonicComb.h"
#include "engine/NaturalLog.h"

namespace melovantis {

namespace {

constexpr int kPeaks = 5;                    // cepstral peaks looked at
constexpr double kPowerFloor = 1e-12;        // of the windowed power, for its log
// Frequencies closer than a third of a semitone (this ratio) are one candidate.
const double kSameRatio = std::exp2(1.0 / 36);

}  // namespace

int AnalysisEngine::harmonicBins(int length) {
  // The comb reads no partial above its highest, and at most two bins beyond it.
  const int needed = static_cast<int>(HarmonicComb::kHighestPartialHz * length / 44100.0) + 4;
  return std::min(length / 2, needed);
}

void AnalysisEngine::computeHarmonicSpectrum(int length) {
  const int n = length;
  const int bins = harmonicBins(length);
  const double* out = transformOut.get();
  double* power = harmonicPower.get();
  double* level = harmonicLevel.get();
  const double inverseN = 1.0 / n;
  // Bins 0 and 1 carry the transform offset's DC; no fundamental lies there.
  power[0] = 0.0;
  power[1] = 0.0;
  for (int k = 2; k + 1 < bins; ++k) {
    const double re = (0.5 * out[k] - 0.25 * (out[k - 1] + out[k + 1])) * inverseN;
    const double im = (0.5 * out[n - k] - 0.25 * (out[n - k + 1] + out[n - k - 1])) * inverseN;
    power[k] = re * re + im * im;
  }
  if (bins >= 1) {
    power[bins - 1] = 0.0;
  }
  for (int k = 0; k < bins; ++k) {
    level[k] = naturalLog(std::max(power[k], kPowerFloor));
  }
  HarmonicComb::findLoudest(power, bins, harmonicLoudest.get());
}

void AnalysisEngine::collectPitchCandidates(PitchCandidates& found, int halfN) {
  found = PitchCandidates{};
  const int m = cepstrumSize;
  const double* cp = transformIn.get();
  const int lagLow = std::max(minLag, 1);
  const int lagHigh = std::min(maxLag, m / 2 + 1);
  if (lagHigh - lagLow < 3 || halfN < 8) {
    return;
  }

  // The highest local maxima of the cepstral power, highest first.
  int peaks[kPeaks];
  int peakCount = 0;
  for (int q = lagLow + 1; q + 1 < lagHigh; ++q) {
    if (!(cp[q] > cp[q - 1] && cp[q] >= cp[q + 1])) {
      continue;
    }
    int at = peakCount < kPeaks ? peakCount++ : kPeaks;
    while (at > 0 && cp[peaks[at - 1]] < cp[q]) {
      if (at < kPeaks) {
        peaks[at] = peaks[at - 1];
      }
      --at;
    }
    if (at < kPeaks) {
      peaks[at] = q;
    }
  }

  const HarmonicComb comb(harmonicLevel.get(), harmonicPower.get(), harmonicLoudest.get(),
                          harmonicBins(frameSize), 44100.0 / frameSize);
  const double lowestHz = 44100.0 / (lagHigh * cepstrumDivisor);
  const double highestHz = 44100.0 / (lagLow * cepstrumDivisor);
  struct Entry {
    double hz;
    HarmonicComb::Reading reading;
  };
  Entry entries[3 * kPeaks];
  int entryCount = 0;
  for (int p = 0; p < peakCount; ++p) {
    const int q = peaks[p];
    // The vertex of the parabola through the peak and its two neighbours.
    const double curve = cp[q - 1] - 2.0 * cp[q] + cp[q + 1];
    const double shift = curve < 0.0 ? 0.5 * (cp[q - 1] - cp[q + 1]) / curve : 0.0;
    const double hz = 44100.0 / ((q + std::clamp(shift, -0.5, 0.5)) * cepstrumDivisor);
    for (const double multiple : {1.0, 0.5, 2.0}) {
      const double f0 = hz * multiple;
      if (f0 < lowestHz || f0 > highestHz) {
        continue;
      }
      // A frequency already judged (a peak's octave is often another peak) is not judged again.
      bool known = false;
      for (int e = 0; e < entryCount && !known; ++e) {
        const double ratio = entries[e].hz / f0;
        known = ratio < kSameRatio && ratio > 1.0 / kSameRatio;
      }
      if (known) {
        continue;
      }
      const HarmonicComb::Reading reading = comb.at(f0);
      if (reading.valid) {
        entries[entryCount++] = {f0, reading};
      }
    }
  }
  // Clearest first (insertion: a handful of entries).
  for (int e = 1; e < entryCount; ++e) {
    const Entry entry = entries[e];
    int at = e;
    for (; at > 0 && entries[at - 1].reading.contrast < entry.reading.contrast; --at) {
      entries[at] = entries[at - 1];
    }
    entries[at] = entry;
  }
  for (int e = 0; e < entryCount && found.count < PitchCandidates::kMax; ++e) {
    const Entry& entry = entries[e];
    const double pitch = quantizedPitch(noteForFrequency(entry.hz) + transpose, quantizeAmount);
    if (pitch < 0.0 || pitch > 127.0 || comb.dominated(entry.hz, entry.reading)) {
      continue;
    }
    found.pitch[found.count] = static_cast<float>(pitch);
    found.strength[found.count] = static_cast<float>(entry.reading.contrast);
    ++found.count;
  }
}

int AnalysisEngine::preferenceLength() const {
  return preferencePlan_.valid() ? preferencePlan_.length() : 0;
}

double AnalysisEngine::harmonicPreference(const std::int16_t* block, double from, double to) {
  const int n = preferenceLength();
  if (n <= 0) {
    return 0.0;
  }
  // The comb compares levels, so the block is only centred and scaled.
  long long sum = 0;
  for (int i = 0; i < n; ++i) {
    sum += block[i];
  }
  const double mean = static_cast<double>(sum) / n;
  double largest = 0.0;
  double* in = transformIn.get();
  for (int i = 0; i < n; ++i) {
    in[i] = block[i] - mean;
    largest = std::max(largest, std::fabs(in[i]));
  }
  if (largest == 0.0) {
    return 0.0;
  }
  const double scale = 1.0 / largest;
  for (int i = 0; i < n; ++i) {
    in[i] *= scale;
  }
  preferencePlan_.forward(in, transformOut.get());
  computeHarmonicSpectrum(n);
  const HarmonicComb comb(harmonicLevel.get(), harmonicPower.get(), harmonicLoudest.get(),
                          harmonicBins(n), 44100.0 / n);
  return comb.at(frequencyForNote(to - transpose)).contrast -
         comb.at(frequencyForNote(from - transpose)).contrast;
}

}  // namespace melovantis
