#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/FrameRecord.h"
#include "engine/ParabolaFit.h"
#include "engine/PitchCandidates.h"
#include "engine/RealFft.h"

namespace melovantis {

class Notifier;

// Time-resolution modes: how far apart consecutive frames start.
enum TimeResolutionMode : int {
  kHopIsFrame = 0,      // "No": hop equals the frame
  kHopIsHalfFrame = 1,  // "Double"
  kHopIs300 = 2,        // "Super (5 ms)"
};

// Where a note starts in the MIDI file: where its attack is in the recording
// (measured from the loudness envelope), or at the fixed point of the frame
// that detected it, the placement of the frame table alone.
enum class OnsetPlacement : int {
  kAttack = 0,
  kFrame = 1,
};

// Which key a MIDI note starts on: the semitone nearest its pitch, bent by at
// most half a semitone either way, so that a note sung a little flat is still
// written as the note it is; or the semitone at or below its pitch, bent up
// (what the earliest files hold).
enum class NoteKeys : int {
  kNearest = 0,
  kFloor = 1,
};

// MIDI output settings, copied from the settings record and read by the MIDI writers.
struct MidiOutputSettings {
  int channel = 0;  // 0..15
  bool sendVolume = true;
  bool sendBrightness = true;
  int volumeController = 7;
  int brightnessController = 74;
  int program = 128;  // General MIDI program, 128 = no program change
  int pitchBendRange = 2;  // semitones
  bool sendTempo = true;
  int bpm = 120;  // 0 = SMPTE time
};

// The analysis object: turns blocks of 16-bit mono samples into rows of the
// frame table (pitch by cepstrum, volume from segment peaks, brightness from
// the spectral centroid) and marks where notes start. One engine serves the
// offline conversion, the real-time mode and every editing tool.
//
// Fields are public on purpose: the conversion drivers, the settings, the MIDI
// writers and the editing tools all work directly on this one table and state.
class AnalysisEngine {
 public:
  static constexpr int kSampleCapacity = 100000;
  static constexpr int kWorkCapacity = 100000;
  static constexpr int kInitialFrameSize = 1024;

  explicit AnalysisEngine(Notifier& notifier);
  ~AnalysisEngine();
  AnalysisEngine(const AnalysisEngine&) = delete;
  AnalysisEngine& operator=(const AnalysisEngine&) = delete;

  // Run statistics, live adjustments, tempo factor and attack state to their start values.
  void resetAnalysis();

  // Sets the frame length and everything that follows from it, rebuilding the FFT plans.
  void setFrameSize(int n);

  // Cuts maxLag to below half the cepstrum, where the peak search can reach.
  void limitLagsToCepstrum();

  // Analyses the block in `samples` into row `frameCount` (and detects its
  // attack when the detector is on). Does not advance `frameCount`.
  void analyseBlock();

  // Analyses the block in `samples` into row `frameCount`.
  void analyseFrame();

  // Levels of a block after gain, clipping and centring (the first half of the analysis).
  struct BlockLevels {
    double mean = 0.0;          // of the gained, clipped samples
    long long peakSum = 0;      // sum of the folded segment peaks
    int segmentCount = 0;
    long long averagePeak = 0;  // peakSum / segmentCount, integer division
    int clipLimit = 0;          // half the average peak
    bool anySignal = false;     // false when every centred, clipped sample is 0
  };

  // Applies the input gain, clips to -32656..32657, finds the segment peaks,
  // then centres and clips `samples` in place at half the average peak.
  BlockLevels conditionBlock();

  // Samples per peak segment for a frame length: 100 plus the remainder spread over the hundreds.
  static int segmentLengthFor(int frameLength);

  // The highest cepstral peak at or above the harmonic threshold whose
  // refinement succeeds: its height and refined lag, both 0 when there is none.
  struct CepstralPeak {
    double height = 0.0;
    double lag = 0.0;
  };

  // Transforms the log spectrum in the input buffer (halfN bins) to the
  // cepstrum and searches it for the peak.
  CepstralPeak findCepstralPeak(int halfN);

  // Refines a cepstral peak at integer lag q; -1.0 when it is rejected.
  double refineLag(int q);

  // With trackPitch: the Hann-windowed power spectrum of a transform of
  // `length` samples (in transformOut) into harmonicPower, its log into
  // harmonicLevel, and the comb's loudest bins into harmonicLoudest.
  void computeHarmonicSpectrum(int length);
  static int harmonicBins(int length);  // of the windowed spectrum that are computed

  // With trackPitch: the frame's pitch candidates from the cepstral power (in
  // transformIn) and the windowed spectrum.
  void collectPitchCandidates(PitchCandidates& found, int halfN);

  // How much more plainly the preferenceLength() samples of `block` show the
  // harmonics of pitch `to` than those of pitch `from` (HarmonicComb contrast,
  // dB; 0 for a block without signal). Uses the work buffers. Half a frame:
  // short enough to follow a change of pitch closely, at half the cost.
  double harmonicPreference(const std::int16_t* block, double from, double to);
  int preferenceLength() const;

  // Sets the attack flag of row i from the carried detector state.
  void postProcessFrame(int i);

  // The whole-table attack pass: row 0 always starts a note, rows 1.. are
  // detected. With notes placed at their attacks, the pitch line and the
  // measured onsets then correct the detector (NoteSegmentation).
  void runAttackPass();

  // The live mode's correction of a start (LiveOnsets): a pitch change smaller
  // than this stays on the note unless the envelope rose to kAttackRise tenths.
  static constexpr double kSameSemitone = 0.5;
  static constexpr int kAttackRise = 60;

  double lagForNote(double note) const;

  // A cepstral lag as a searchable integer inside 0..cap. An absurd note gives
  // a lag of 0, a huge one or infinity; the clamp keeps the truncation defined.
  static int lagIndex(double lag, int cap);

  // A pitch moved `amount` (0..1) of the way to its nearest semitone.
  static double quantizedPitch(double pitch, double amount);

  double frequencyForNote(double note) const;
  double noteForFrequency(double frequency) const;

  // Takes the analysis settings, geometry and live adjustments of `other`, so
  // that this engine analyses a block exactly as `other` would (a worker of a
  // conversion on several cores). Rebuilds the FFT plans.
  void copyAnalysisSettings(const AnalysisEngine& other);

  // Makes room for at least `rows` rows in the frame table and its undo copy.
  void reserveRows(int rows);

  // The number of rows holding results (frameCount, never negative), with room made for them.
  int rowsInUse();

  // 1. Frame table.
  std::vector<FrameRecord> frames;
  std::vector<FrameRecord> undoFrames;
  // Row by row beside `frames`: the pitch candidates of the analysis, filled
  // with trackPitch and read by the pitch path after a conversion.
  std::vector<PitchCandidates> candidates;
  int frameCount = 0;

  // 2. Buffers. `samples` holds the block to analyse; the analysis conditions it in place.
  std::unique_ptr<std::int16_t[]> samples;
  std::unique_ptr<double[]> transformIn;
  std::unique_ptr<double[]> transformOut;
  std::unique_ptr<double[]> harmonicPower;  // kWorkCapacity / 2 values each
  std::unique_ptr<double[]> harmonicLevel;
  std::unique_ptr<int[]> harmonicLoudest;  // HarmonicComb::findLoudest, kWorkCapacity values
  double fitBuffer[21] = {};

  // 3. Analysis geometry.
  int frameSize = 0;
  int hopSize = 0;
  int timeResolutionMode = kHopIsFrame;
  int cepstrumSize = 0;
  double cepstrumDivisor = 1.0;
  bool padCepstrum = false;
  bool largeFrameMode = false;

  // 4. Detection settings.
  int harmonicThreshold = 0;
  int minLag = 0;
  int maxLag = 0;
  int brightnessGain = 15;
  int attackSensitivity = 20;
  bool attackDetectorOn = true;
  // Not part of the settings record: a choice of the conversion and the MIDI
  // writer (the command line's --onset-placement).
  OnsetPlacement onsetPlacement = OnsetPlacement::kAttack;
  NoteKeys noteKeys = NoteKeys::kNearest;  // the command line's --note-keys
  // Set by a conversion that places notes at their attacks: each frame also
  // keeps its pitch candidates.
  bool trackPitch = false;

  // 5. Live adjustments (neutral outside real-time mode).
  double inputGain = 1.0;
  double quantizeAmount = 0.0;
  int transpose = 0;

  // 6. MIDI output settings.
  MidiOutputSettings midi;

  // 7. Tempo.
  double tempoFactor = 1.0;
  double tempoFactorUndo = 1.0;

  // 8. Statistics of the current run.
  int pitchedFrameCount = 0;
  double cepstralPeakSum = 0.0;
  int brightFrameCount = 0;
  double brightnessSum = 0.0;

  // 9. Attack-detector state carried from frame to frame.
  int prevEnergy = 0;
  int prevScore = 127;
  int prevPitch = -1000;

  // 10. Pitch constants.
  double lnA4 = 0.0;
  double semitoneRatio = 0.0;
  double lnSemitoneRatio = 0.0;

  // 11. The two peak-refinement fits.
  ParabolaFit fit21;
  ParabolaFit fit5;

 private:
  void resetAttackState();

  Notifier& notifier_;
  RealFft framePlan_;
  RealFft cepstrumPlan_;
  RealFft preferencePlan_;  // half a frame, for harmonicPreference
  int energy_ = 0;  // the current frame's energy and score, between the two halves
  int score_ = 127;
};

}  // namespace melovantis
