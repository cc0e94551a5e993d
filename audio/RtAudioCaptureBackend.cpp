#include "audio/RtAudioCaptureBackend.h"

#include "audio/RtAudioApi.h"

namespace melovantis {

namespace {

constexpr unsigned int kSampleRate = 44100;

}  // namespace

RtAudioCaptureBackend::RtAudioCaptureBackend() {
  try {
    audio_ = std::make_unique<RtAudio>(chosenAudioApi());
    audio_->showWarnings(false);
  } catch (const RtAudioError&) {
    audio_.reset();  // no sound system at all: no inputs
  }
}

RtAudioCaptureBackend::~RtAudioCaptureBackend() { stop(); }

std::vector<AudioDevice> RtAudioCaptureBackend::inputDevices() {
  std::vector<AudioDevice> devices;
  deviceIndexes_.clear();
  if (audio_ == nullptr) {
    return devices;
  }
  const unsigned int count = audio_->getDeviceCount();
  for (unsigned int i = 0; i < count; ++i) {
    try {
      const RtAudio::DeviceInfo info = audio_->getDeviceInfo(i);
      if (info.probed && info.inputChannels > 0) {
        devices.push_back({static_cast<int>(devices.size()), info.name});
        deviceIndexes_.push_back(i);
      }
    } catch (const RtAudioError&) {
      // A device that cannot be asked about its abilities is left out of the list.
    }
  }
  return devices;
}

CaptureFailure RtAudioCaptureBackend::start(int deviceId, int framesPerPiece,
                                            SampleHandler handler) {
  stop();
  if (inputDevices().empty()) {
    return CaptureFailure::NoDevice;
  }
  RtAudio::StreamParameters input;
  input.deviceId = deviceId >= 0 && deviceId < static_cast<int>(deviceIndexes_.size())
                       ? deviceIndexes_[static_cast<std::size_t>(deviceId)]
                       : audio_->getDefaultInputDevice();
  input.nChannels = 1;
  input.firstChannel = 0;
  unsigned int frames = static_cast<unsigned int>(framesPerPiece > 0 ? framesPerPiece : 512);
  RtAudio::StreamOptions options;
  options.streamName = "Melovantis";
  handler_ = std::move(handler);
  try {
    audio_->openStream(nullptr, &input, RTAUDIO_SINT16, kSampleRate, &frames,
                       &RtAudioCaptureBackend::callback, this, &options);
  } catch (const RtAudioError&) {
    handler_ = nullptr;
    return CaptureFailure::CannotOpen;
  }
  bufferFrames_ = static_cast<int>(frames);
  try {
    audio_->startStream();
  } catch (const RtAudioError&) {
    audio_->closeStream();
    handler_ = nullptr;
    return CaptureFailure::CannotStart;
  }
  return CaptureFailure::None;
}

void RtAudioCaptureBackend::stop() {
  if (audio_ == nullptr || !audio_->isStreamOpen()) {
    return;
  }
  try {
    if (audio_->isStreamRunning()) {
      audio_->stopStream();  // waits for the callback in progress
    }
  } catch (const RtAudioError&) {
    // A device that vanished stops by itself.
  }
  audio_->closeStream();
  handler_ = nullptr;
}

int RtAudioCaptureBackend::callback(void* /*output*/, void* input, unsigned int frames,
                                    double /*streamTime*/, unsigned int /*status*/, void* self) {
  auto* backend = static_cast<RtAudioCaptureBackend*>(self);
  if (input != nullptr && backend->handler_) {
    backend->handler_(static_cast<const std::int16_t*>(input), static_cast<int>(frames));
  }
  return 0;
}

}  // namespace melovantis
