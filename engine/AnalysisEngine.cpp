#include "engine/AnalysisEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "engine/Notifier.h"

namespace melovantis {

AnalysisEngine::AnalysisEngine(Notifier& notifier) : notifier_(notifier) {
  frameSize = kInitialFrameSize;
  frameCount = 0;
  cepstrumDivisor = 1.0;
  timeResolutionMode = kHopIsFrame;

  samples.reset(new (std::nothrow) std::int16_t[kSampleCapacity]());
  transformIn.reset(new (std::nothrow) double[kWorkCapacity]());
  transformOut.reset(new (std::nothrow) double[kWorkCapacity]());
  harmonicPower.reset(new (std::nothrow) double[kWorkCapacity / 2]());
  harmonicLevel.reset(new (std::nothrow) double[kWorkCapacity / 2]());
  harmonicLoudest.reset(new (std::nothrow) int[kWorkCapacity]());
  if (!samples || !transformIn || !transformOut || !harmonicPower || !harmonicLevel ||
      !harmonicLoudest) {
    notifier_.fatal("Error allocating memory!");
  }
  // Row 0 always exists: the attack pass marks it even when the table is empty.
  reserveRows(1);

  setFrameSize(kInitialFrameSize);

  lnA4 = std::log(440.0);
  semitoneRatio = std::pow(2.0, 0.08333333333333333);
  lnSemitoneRatio = std::log(semitoneRatio);

  resetAnalysis();
  largeFrameMode = false;
}

AnalysisEngine::~AnalysisEngine() = default;

void AnalysisEngine::resetAnalysis() {
  cepstralPeakSum = 0.0;
  brightnessSum = 0.0;
  pitchedFrameCount = 0;
  brightFrameCount = 0;
  quantizeAmount = 0.0;
  transpose = 0;
  inputGain = 1.0;
  tempoFactor = 1.0;
  tempoFactorUndo = 1.0;
  resetAttackState();
}

void AnalysisEngine::resetAttackState() {
  prevEnergy = 0;
  prevScore = 127;
  prevPitch = -1000;
  score_ = prevScore;
}

void AnalysisEngine::setFrameSize(int n) {
  frameSize = n;
  cepstrumSize = static_cast<int>(n / cepstrumDivisor);
  limitLagsToCepstrum();

  framePlan_ = RealFft();
  cepstrumPlan_ = RealFft();
  preferencePlan_ = RealFft();
  framePlan_ = RealFft(frameSize);
  cepstrumPlan_ = RealFft(cepstrumSize);
  preferencePlan_ = RealFft(frameSize / 2);
  if (!framePlan_.valid() || !cepstrumPlan_.valid()) {
    notifier_.fatal("Engine initialization error");
  }

  switch (timeResolutionMode) {
    case kHopIsFrame:
      hopSize = frameSize;
      break;
    case kHopIsHalfFrame:
      hopSize = frameSize / 2;
      break;
    case kHopIs300:
      hopSize = 300;
      break;
    default:
      break;  // an unknown mode keeps the hop it had
  }
}

void AnalysisEngine::limitLagsToCepstrum() {
  if (maxLag >= cepstrumSize / 2) {
    maxLag = cepstrumSize / 2 - 1;
  }
}

void AnalysisEngine::copyAnalysisSettings(const AnalysisEngine& other) {
  cepstrumDivisor = other.cepstrumDivisor;
  padCepstrum = other.padCepstrum;
  largeFrameMode = other.largeFrameMode;
  harmonicThreshold = other.harmonicThreshold;
  minLag = other.minLag;
  maxLag = other.maxLag;
  brightnessGain = other.brightnessGain;
  attackSensitivity = other.attackSensitivity;
  attackDetectorOn = other.attackDetectorOn;
  onsetPlacement = other.onsetPlacement;
  noteKeys = other.noteKeys;
  trackPitch = other.trackPitch;
  inputGain = other.inputGain;
  quantizeAmount = other.quantizeAmount;
  transpose = other.transpose;
  timeResolutionMode = other.timeResolutionMode;
  setFrameSize(other.frameSize);
  // An unknown mode keeps whatever hop the other engine had.
  hopSize = other.hopSize;
}

void AnalysisEngine::analyseBlock() {
  reserveRows(frameCount + 1);
  analyseFrame();
  if (attackDetectorOn) {
    postProcessFrame(frameCount);
  }
}

void AnalysisEngine::reserveRows(int rows) {
  const auto needed = static_cast<std::size_t>(rows < 1 ? 1 : rows);
  if (frames.size() < needed) {
    frames.resize(needed);
  }
  if (undoFrames.size() < needed) {
    undoFrames.resize(needed);
  }
  if (candidates.size() < needed) {
    candidates.resize(needed);
  }
}

int AnalysisEngine::rowsInUse() {
  const int rows = std::max(frameCount, 0);
  reserveRows(rows);
  return rows;
}

int AnalysisEngine::lagIndex(double lag, int cap) {
  if (!(lag > 0.0)) {
    return 0;
  }
  if (lag >= cap) {
    return cap;
  }
  return static_cast<int>(lag);
}

double AnalysisEngine::quantizedPitch(double pitch, double amount) {
  return std::floor(pitch + 0.5) * amount + (1.0 - amount) * pitch;
}

double AnalysisEngine::lagForNote(double note) const {
  const double divisor = frequencyForNote(note) * cepstrumDivisor;
  // Thousands of semitones down (a settings file may say so) the frequency
  // underflows to 0: the lag is then the longest there is, not a division by zero.
  if (!(divisor > 0.0)) {
    return std::numeric_limits<double>::max();
  }
  return 44100.0 / divisor;
}

double AnalysisEngine::frequencyForNote(double note) const {
  return 440.0 * std::pow(semitoneRatio, note - 69.0);
}

double AnalysisEngine::noteForFrequency(double frequency) const {
  double note = 69.0 + (std::log(frequency) - lnA4) / lnSemitoneRatio;
  if (note > 127.0) {
    note = 127.0;
  }
  if (note < 0.0) {
    note = 0.0;
  }
  return note;
}

}  // namespace melovantis
