#include "audio/RtAudioOutput.h"

#include <RtAudio.h>

#include "audio/RtAudioApi.h"

namespace melovantis {

namespace {

constexpr unsigned int kSampleRate = 44100;
constexpr const char* kNoOutput = "No sound output device";

}  // namespace

RtAudioOutput::RtAudioOutput() {
  try {
    audio_ = std::make_unique<RtAudio>(chosenAudioApi());
    audio_->showWarnings(false);
    if (audio_->getDeviceCount() == 0) {
      problem_ = kNoOutput;
    }
  } catch (const RtAudioError&) {
    audio_.reset();
    problem_ = kNoOutput;
  }
}

RtAudioOutput::~RtAudioOutput() { stop(); }

bool RtAudioOutput::start(Render render) {
  stop();
  if (audio_ == nullptr || audio_->getDeviceCount() == 0) {
    problem_ = kNoOutput;
    return false;
  }
  RtAudio::StreamParameters out;
  out.deviceId = audio_->getDefaultOutputDevice();
  out.nChannels = 2;
  unsigned int frames = 1024;  // about 23 ms: the player does not need less
  render_ = std::move(render);
  try {
    audio_->openStream(&out, nullptr, RTAUDIO_SINT16, kSampleRate, &frames,
                       &RtAudioOutput::callback, this);
    audio_->startStream();
  } catch (const RtAudioError& error) {
    if (audio_->isStreamOpen()) {
      audio_->closeStream();
    }
    render_ = nullptr;
    problem_ = "Cannot open the sound output: " + std::string(error.getMessage());
    return false;
  }
  problem_.clear();
  return true;
}

void RtAudioOutput::stop() {
  if (audio_ == nullptr || !audio_->isStreamOpen()) {
    return;
  }
  try {
    if (audio_->isStreamRunning()) {
      audio_->stopStream();
    }
  } catch (const RtAudioError&) {
    // Gone already.
  }
  audio_->closeStream();
  render_ = nullptr;
}

int RtAudioOutput::callback(void* output, void* /*input*/, unsigned int frames,
                            double /*streamTime*/, unsigned int /*status*/, void* self) {
  auto* out = static_cast<RtAudioOutput*>(self);
  auto* samples = static_cast<std::int16_t*>(output);
  if (out->render_) {
    out->render_(samples, static_cast<int>(frames));
  } else {
    std::fill(samples, samples + 2 * frames, std::int16_t{0});
  }
  return 0;
}

}  // namespace melovantis
