#pragma once

#include <cstdint>

struct SpeexResamplerState_;

namespace melovantis::plugin {

// Brings the host's audio to what the analysis takes: 44100 Hz, 16-bit
// samples. At 44100 Hz it only converts the sample format; at any other rate
// a speexdsp resampler, made here and never in the audio thread, converts a
// few frames at a time so that each output sample can be placed at the host
// frame it came from. The resampler starts on the input's first sample (no
// leading zeros), so the blocks cut from its output start where the host's
// audio does; what it adds is a fixed delay, latencyFrames().
class SampleRateAdapter {
 public:
  static constexpr int kAnalysisRate = 44100;
  static constexpr int kChunkFrames = 16;    // host frames per convert()
  static constexpr int kMaxOutput = 128;     // samples one convert() may give
  static constexpr double kLowestRate = 8000.0;
  static constexpr double kHighestRate = 384000.0;

  // False for a rate the adapter does not take (outside 8 to 384 kHz).
  static bool supports(double hostRate);

  // Throws std::runtime_error when the resampler cannot be made.
  explicit SampleRateAdapter(double hostRate);
  ~SampleRateAdapter();
  SampleRateAdapter(const SampleRateAdapter&) = delete;
  SampleRateAdapter& operator=(const SampleRateAdapter&) = delete;

  // Forgets the audio so far: the next frame is the first again. Allocates nothing.
  void reset();

  // Converts `frames` (1..kChunkFrames) host frames into 44100 Hz samples in
  // `out` (room for kMaxOutput); returns how many it wrote. Allocates nothing.
  int convert(const float* in, int frames, std::int16_t* out);

  // The delay the resampler adds, in host frames (0 at 44100 Hz).
  int latencyFrames() const { return latency_; }
  int hostRate() const { return rate_; }

 private:
  SpeexResamplerState_* resampler_ = nullptr;
  int rate_ = kAnalysisRate;
  int latency_ = 0;
};

}  // namespace melovantis::plugin
