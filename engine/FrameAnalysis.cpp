// Analysis of one frame: loudness from the segment peaks, brightness from the
// spectral centroid, and pitch from the cepstrum of the log power spectrum.
//
// The block is clipped at half its mean segment peak and normalised by that
// peak, so the log spectrum (and with it the cepstral peak height that the
// harmonic threshold is compared with) hardly depends on the recording level.
// A frame is pitched only when the cepstral peak is high enough, the block is
// loud enough, and the spectrum is not noise-bright. Every constant here is
// part of the behaviour the settings are tuned against.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "engine/AnalysisEngine.h"
#include "engine/NaturalLog.h"

namespace melovantis {

namespace {

constexpr double kClipHigh = 32657.0;
constexpr double kClipLow = -32656.0;
constexpr double kTransformOffset = 10.0;             // keeps the time samples positive
constexpr double kLoudnessScale = 3.0620368669238775e-05;  // 1 / 32658
constexpr double kPowerFloor = 6e-06;                // log spectrum floor
constexpr double kPitchedLoudness = 0.05;            // quieter blocks get no pitch

}  // namespace

void AnalysisEngine::analyseFrame() {
  fit21.prepareFit(21);
  fit5.prepareFit(5);

  const int n = frameSize;
  std::int16_t* s = samples.get();
  double* in = transformIn.get();
  double* out = transformOut.get();
  FrameRecord& row = frames[static_cast<std::size_t>(frameCount)];

  const BlockLevels levels = conditionBlock();
  const long long averagePeak = levels.averagePeak;
  const bool anySignal = levels.anySignal;

  const double normaliser = averagePeak != 0 ? static_cast<double>(averagePeak) : 1.0;
  const double inverseNormaliser = 1.0 / normaliser;  // a multiply per sample, not a divide
  for (int i = 0; i < n; ++i) {
    in[i] = s[i] * inverseNormaliser + kTransformOffset;
  }

  double loudness = normaliser * kLoudnessScale;
  // Positive root y of 0.5824 y^2 + 0.3 y = r, scaled to 0..127.
  double volume =
      std::floor(127.0 * 0.8585164835164835 * (std::sqrt(0.09 + 2.3296 * loudness) - 0.3) + 0.5);
  volume = std::clamp(volume, 0.0, 127.0);
  row.volume = static_cast<std::uint8_t>(volume);

  framePlan_.forward(in, out);
  if (!anySignal) {
    // A constant block has nothing above DC. FFTW leaves round-off there at some
    // lengths, which would otherwise show up as brightness on silent frames.
    std::fill(out + 1, out + n, 0.0);
  }

  // Power spectrum (in place of the time samples) and centroid, summed in bin
  // order; then the log spectrum in a separate loop that vectorises.
  const int halfN = n / 2;
  const double inverseN = 1.0 / n;
  double powerSum = 0.0;
  double moment = 0.0;
  if (halfN > 0) {
    const double re = out[0] * inverseN;
    in[0] = re * re;
  }
  for (int k = 1; k < halfN; ++k) {
    const double re = out[k] * inverseN;
    const double im = out[n - k] * inverseN;
    const double power = re * re + im * im;
    powerSum += power;
    moment += k * power;
    in[k] = power;
  }
  // log10 through the natural logarithm times 1/ln 10: the same values up to
  // rounding. The floor maps to exactly zero.
  const double logFloor = naturalLog(kPowerFloor);
  for (int k = 0; k < halfN; ++k) {
    in[k] = (naturalLog(std::max(in[k], kPowerFloor)) - logFloor) * std::numbers::log10e;
  }
  const double centroid = powerSum != 0.0 ? moment / powerSum : 0.0;
  if (trackPitch && anySignal) {
    computeHarmonicSpectrum(n);
  }

  if (centroid > n / 10) {
    loudness = 0.0;  // noise gate: too bright to be a pitched sound
  }

  const double unscaledBrightness = centroid * 150.0 / n;
  const double brightness = std::clamp(std::trunc(brightnessGain * unscaledBrightness), 0.0, 127.0);
  row.brightness = static_cast<std::uint8_t>(brightness);

  // A constant block's log spectrum is a single value at DC, so its cepstrum
  // is flat: no peak and no pitch. Searching it would only fit parabolas to
  // round-off, so it is not transformed at all.
  const CepstralPeak peak = anySignal ? findCepstralPeak(halfN) : CepstralPeak{};
  if (trackPitch) {
    PitchCandidates& found = candidates[static_cast<std::size_t>(frameCount)];
    if (anySignal) {
      collectPitchCandidates(found, halfN);
    } else {
      found = PitchCandidates{};
    }
  }

  double pitch = kNoPitch;
  if (!(harmonicThreshold > peak.height || loudness < kPitchedLoudness || peak.lag == 0.0)) {
    const double frequency = 44100.0 / (peak.lag * cepstrumDivisor);
    const double raw = noteForFrequency(frequency) + transpose;
    pitch = quantizedPitch(raw, quantizeAmount);
    if (pitch < 0.0 || pitch > 127.0) {
      pitch = kNoPitch;
    }
    ++pitchedFrameCount;
    cepstralPeakSum += peak.height;
  }
  row.pitch = pitch;

  if (pitch != kNoPitch) {
    ++brightFrameCount;
    brightnessSum += unscaledBrightness;
  }
  row.attack = 0;
}

int AnalysisEngine::segmentLengthFor(int frameLength) {
  const int hundreds = frameLength / 100;
  return hundreds > 0 ? 100 + (frameLength % 100) / hundreds : frameLength;
}

AnalysisEngine::BlockLevels AnalysisEngine::conditionBlock() {
  const int n = frameSize;
  const int segmentLength = segmentLengthFor(n);
  std::int16_t* s = samples.get();
  BlockLevels levels;
  if (n <= 0) {
    return levels;
  }

  // Gain and clipping. At unit gain (every offline run) the product is the
  // sample itself, so the clip is done on integers, where it vectorises.
  long long runningSum = 0;
  if (inputGain == 1.0) {
    for (int i = 0; i < n; ++i) {
      const int v = std::clamp(static_cast<int>(s[i]), static_cast<int>(kClipLow),
                               static_cast<int>(kClipHigh));
      s[i] = static_cast<std::int16_t>(v);
      runningSum += v;
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const double x = std::clamp(s[i] * inputGain, kClipLow, kClipHigh);
      const int v = static_cast<int>(x);
      s[i] = static_cast<std::int16_t>(v);
      runningSum += v;
    }
  }

  // Segment peaks. The first segment is samples 0..K, each further one the
  // next K; a tail after the last positive multiple of K is not folded.
  int segmentStart = 0;
  for (int foldAt = segmentLength; foldAt < n; foldAt += segmentLength) {
    int segmentPeak = 0;
    for (int i = segmentStart; i <= foldAt; ++i) {
      segmentPeak = std::max(segmentPeak, std::abs(static_cast<int>(s[i])));
    }
    levels.peakSum += segmentPeak;
    ++levels.segmentCount;
    segmentStart = foldAt + 1;
  }

  levels.mean = static_cast<double>(runningSum) / n;
  levels.averagePeak = levels.segmentCount > 0 ? levels.peakSum / levels.segmentCount : 0;
  levels.clipLimit = static_cast<int>(levels.averagePeak * 0.5);  // half the mean segment peak

  // Centring: the sample minus the mean, truncated towards zero. The mean is
  // sum / n; with q = floor(mean), s - mean lies in (s-q-1, s-q], and whenever
  // the mean is not whole it is at least 1/n away from one, far beyond double
  // round-off. So the truncation is done exactly in integers, where it vectorises.
  long long wholeMean = runningSum / n;
  const long long remainder = runningSum % n;
  if (remainder < 0) {
    --wholeMean;
  }
  const int q = static_cast<int>(wholeMean);
  const int fractional = remainder != 0 ? 1 : 0;
  const int clipLimit = levels.clipLimit;
  int anyBits = 0;
  for (int i = 0; i < n; ++i) {
    int d = s[i] - q;
    d -= fractional & static_cast<int>(d > 0);
    const int w = std::clamp(d, -clipLimit, clipLimit);
    s[i] = static_cast<std::int16_t>(w);
    anyBits |= w;
  }
  levels.anySignal = anyBits != 0;
  return levels;
}

AnalysisEngine::CepstralPeak AnalysisEngine::findCepstralPeak(int halfN) {
  const int m = cepstrumSize;
  double* in = transformIn.get();
  double* out = transformOut.get();

  if (padCepstrum) {
    std::fill(in + std::max(halfN - 1, 0), in + m, 0.0);
  }

  cepstrumPlan_.forward(in, out);

  // Cepstral power over the searched lags, in place of the log spectrum. Lag 0
  // and, for an even length, lag m/2 have no imaginary part.
  const int lagLow = std::max(minLag, 0);
  const int lagHigh = std::min(maxLag, m / 2 + 1);
  const double inverseM = 1.0 / m;
  for (int q = lagLow; q < lagHigh; ++q) {
    const double re = out[q] * inverseM;
    const double im = (q > 0 && 2 * q < m) ? out[m - q] * inverseM : 0.0;
    in[q] = 50.0 * m * (re * re + im * im);
  }

  // Peak search 10 lags inside each end, so the 21-point fit stays in range.
  // Ties go to the larger lag; a peak whose refinement fails is ignored.
  CepstralPeak peak;
  for (int q = lagLow + 10; q < lagHigh - 10; ++q) {
    if (in[q] >= peak.height && in[q] >= harmonicThreshold) {
      const double refined = refineLag(q);
      if (refined != -1.0) {
        peak.lag = refined;
        peak.height = in[q];
      }
    }
  }
  return peak;
}

double AnalysisEngine::refineLag(int q) {
  const double* cp = transformIn.get();

  // The wide fit only checks that q sits on a broad hump whose top is near.
  std::copy(cp + q - 10, cp + q + 11, fitBuffer);
  const ParabolaFit::Result wide = fit21.fitParabola(fitBuffer);
  if (wide.c >= 0.0) {
    return -1.0;
  }
  const double wideOffset = -wide.b / (2.0 * wide.c) - 10.0;
  if (std::fabs(wideOffset) > 6.0) {
    return -1.0;
  }

  // The narrow fit gives the position.
  std::copy(cp + q - 2, cp + q + 3, fitBuffer);
  const ParabolaFit::Result narrow = fit5.fitParabola(fitBuffer);
  if (narrow.c >= 0.0) {
    return -1.0;
  }
  const double offset = -narrow.b / (2.0 * narrow.c) - 2.0;
  if (std::fabs(offset) > 2.0) {
    return -1.0;
  }
  return q + offset;
}

}  // namespace melovantis
