#include "audio/RtAudioCaptureBackend.h"

#include "audio/BoundedCall.h"
#include "audio/RtAudioApi.h"

namespace melovantis {

namespace {

constexpr unsigned int kSampleRate = 44100;

struct Input {
  unsigned int index;
  std::string name;
};

// What a stream's opening gives back from the thread it runs on.
struct Opening {
  RtAudio::StreamParameters input;
  unsigned int frames = 0;
  bool opened = false;
  bool started = false;
};

std::string endedByServer(RtAudio::Api api) {
  return audioApiName(api) + ": the sound server ended the stream (it stopped or restarted)";
}

}  // namespace

RtAudioCaptureBackend::RtAudioCaptureBackend() : api_(chosenAudioApi(&apiChoice_)) {
  haveLibrary();
}

RtAudioCaptureBackend::~RtAudioCaptureBackend() { stop(); }

bool RtAudioCaptureBackend::haveLibrary() {
  if (audio_ != nullptr) {
    return true;
  }
  try {
    audio_ = std::make_unique<RtAudio>(api_);
    audio_->showWarnings(false);
    delivery_ = std::make_unique<Delivery>();
  } catch (const RtAudioError&) {
    audio_.reset();  // no sound system at all: no inputs
    problem_ = "no sound system (" + apiChoice_ + ")";
  }
  return audio_ != nullptr;
}

bool RtAudioCaptureBackend::answered(std::function<void(RtAudio&)> call) {
  RtAudio* audio = audio_.get();
  if (finishesWithin(kSoundServerAnswer, [audio, call = std::move(call)] { call(*audio); })) {
    return true;
  }
  // Left to the call that waits in it, with what its callback reaches.
  keepForWaitingCall(audio_.release());
  keepForWaitingCall(delivery_.release());
  started_ = false;
  problem_ = audioApiName(api_) + ": the sound server does not answer";
  return false;
}

std::vector<AudioDevice> RtAudioCaptureBackend::inputDevices() {
  std::vector<AudioDevice> devices;
  deviceIndexes_.clear();
  if (!haveLibrary()) {
    return devices;
  }
  auto inputs = std::make_shared<std::vector<Input>>();
  if (!answered([inputs](RtAudio& audio) {
        try {
          const unsigned int count = audio.getDeviceCount();
          for (unsigned int i = 0; i < count; ++i) {
            try {
              const RtAudio::DeviceInfo info = audio.getDeviceInfo(i);
              if (info.probed && info.inputChannels > 0) {
                inputs->push_back({i, info.name});
              }
            } catch (const RtAudioError&) {
              // A device that cannot be asked about its abilities is left out of the list.
            }
          }
        } catch (const RtAudioError&) {
          // No device list: no inputs.
        }
      })) {
    return devices;
  }
  for (const Input& input : *inputs) {
    devices.push_back({static_cast<int>(devices.size()), input.name});
    deviceIndexes_.push_back(input.index);
  }
  problem_ = devices.empty() ? "no audio input through " + apiChoice_ : std::string();
  return devices;
}

CaptureFailure RtAudioCaptureBackend::start(int deviceId, int framesPerPiece,
                                            SampleHandler handler) {
  stop();
  if (inputDevices().empty()) {
    return CaptureFailure::NoDevice;
  }
  // An input that is not in the list is refused, not swapped for the default.
  if (deviceId >= static_cast<int>(deviceIndexes_.size())) {
    problem_ = "there is no audio input " + std::to_string(deviceId) + " through " +
               audioApiName(api_);
    return CaptureFailure::CannotOpen;
  }
  auto opening = std::make_shared<Opening>();
  opening->input.deviceId =
      deviceId >= 0 ? deviceIndexes_[static_cast<std::size_t>(deviceId)] : 0;
  opening->input.nChannels = 1;
  opening->input.firstChannel = 0;
  opening->frames = static_cast<unsigned int>(framesPerPiece > 0 ? framesPerPiece : 512);
  setHandler(std::move(handler));
  Delivery* delivery = delivery_.get();
  const bool defaultInput = deviceId < 0;
  if (!answered([opening, delivery, defaultInput](RtAudio& audio) {
        try {
          if (defaultInput) {
            opening->input.deviceId = audio.getDefaultInputDevice();
          }
          RtAudio::StreamOptions options;
          options.streamName = "Melovantis";
          audio.openStream(nullptr, &opening->input, RTAUDIO_SINT16, kSampleRate,
                           &opening->frames, &RtAudioCaptureBackend::callback, delivery,
                           &options);
        } catch (const RtAudioError&) {
          return;
        }
        opening->opened = true;
        try {
          audio.startStream();
          opening->started = true;
        } catch (const RtAudioError&) {
          audio.closeStream();
        }
      })) {
    return CaptureFailure::CannotOpen;
  }
  if (!opening->started) {
    setHandler(nullptr);
    problem_ = audioApiName(api_) + (opening->opened ? ": the input would not start"
                                                     : ": the input would not open (in use, or "
                                                       "not for 44100 Hz mono 16-bit)");
    return opening->opened ? CaptureFailure::CannotStart : CaptureFailure::CannotOpen;
  }
  bufferFrames_ = static_cast<int>(opening->frames);
  started_ = true;
  return CaptureFailure::None;
}

void RtAudioCaptureBackend::setHandler(SampleHandler handler) {
  if (delivery_ != nullptr) {
    const std::lock_guard<std::mutex> lock(delivery_->mutex);
    delivery_->handler = std::move(handler);
  }
}

void RtAudioCaptureBackend::stop() {
  // First no more samples, whatever the library does next.
  setHandler(nullptr);
  if (started_ && audio_ != nullptr && !audio_->isStreamOpen()) {
    problem_ = endedByServer(api_);
  }
  started_ = false;
  if (audio_ == nullptr || !audio_->isStreamOpen()) {
    return;
  }
  answered([](RtAudio& audio) {
    try {
      if (audio.isStreamRunning()) {
        audio.stopStream();  // waits for the callback in progress
      }
    } catch (const RtAudioError&) {
      // A device that vanished stops by itself.
    }
    if (audio.isStreamOpen()) {
      audio.closeStream();
    }
  });
}

std::string RtAudioCaptureBackend::problem() const {
  if (problem_.empty() && started_ && audio_ != nullptr && !audio_->isStreamOpen()) {
    // The library closes the stream itself when the server shuts its client out.
    return endedByServer(api_);
  }
  return problem_;
}

int RtAudioCaptureBackend::callback(void* /*output*/, void* input, unsigned int frames,
                                    double /*streamTime*/, unsigned int /*status*/,
                                    void* delivery) {
  auto* to = static_cast<Delivery*>(delivery);
  const std::lock_guard<std::mutex> lock(to->mutex);
  if (input != nullptr && to->handler) {
    to->handler(static_cast<const std::int16_t*>(input), static_cast<int>(frames));
  }
  return 0;
}

}  // namespace melovantis
