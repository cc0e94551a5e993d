#include "plugin/SampleRateAdapter.h"

#include <speex/speex_resampler.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace melovantis::plugin {

namespace {

// Quality 6: a passband to about 20 kHz at 48 kHz and a filter of about a
// hundred taps, so the delay stays near a millisecond.
constexpr int kQuality = 6;

// Full scale of the host's floats to 16-bit samples, rounded, clipped.
std::int16_t toSample(float value) {
  const float scaled = std::clamp(value, -32768.0f, 32767.0f);
  return static_cast<std::int16_t>(std::lrint(scaled));
}

}  // namespace

bool SampleRateAdapter::supports(double hostRate) {
  return hostRate >= kLowestRate && hostRate <= kHighestRate;
}

SampleRateAdapter::SampleRateAdapter(double hostRate)
    : rate_(static_cast<int>(std::lround(hostRate))) {
  if (!supports(hostRate)) {
    throw std::runtime_error("unsupported sample rate");
  }
  if (rate_ == kAnalysisRate) {
    return;
  }
  int error = 0;
  resampler_ = speex_resampler_init(1, static_cast<spx_uint32_t>(rate_), kAnalysisRate, kQuality,
                                    &error);
  if (resampler_ == nullptr) {
    throw std::runtime_error(speex_resampler_strerror(error));
  }
  latency_ = speex_resampler_get_input_latency(resampler_);
  reset();
}

SampleRateAdapter::~SampleRateAdapter() {
  if (resampler_ != nullptr) {
    speex_resampler_destroy(resampler_);
  }
}

void SampleRateAdapter::reset() {
  if (resampler_ != nullptr) {
    speex_resampler_reset_mem(resampler_);
    speex_resampler_skip_zeros(resampler_);
  }
}

int SampleRateAdapter::convert(const float* in, int frames, std::int16_t* out) {
  frames = std::clamp(frames, 0, kChunkFrames);
  float scaled[kChunkFrames];
  for (int i = 0; i < frames; ++i) {
    // A NaN or infinity would stay in the resampler's memory for a whole filter length.
    scaled[i] = std::isfinite(in[i]) ? in[i] * 32768.0f : 0.0f;
  }
  if (resampler_ == nullptr) {
    for (int i = 0; i < frames; ++i) {
      out[i] = toSample(scaled[i]);
    }
    return frames;
  }
  float converted[kMaxOutput];
  spx_uint32_t taken = static_cast<spx_uint32_t>(frames);
  spx_uint32_t given = kMaxOutput;
  speex_resampler_process_float(resampler_, 0, scaled, &taken, converted, &given);
  for (spx_uint32_t i = 0; i < given; ++i) {
    out[i] = toSample(converted[i]);
  }
  return static_cast<int>(given);
}

}  // namespace melovantis::plugin
