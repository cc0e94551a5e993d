#include "support/ScriptedCapture.h"

#include <algorithm>
#include <chrono>

namespace melovantis::test {

ScriptedCapture::ScriptedCapture(std::vector<std::int16_t> samples, double speed)
    : samples_(std::move(samples)), speed_(speed) {}

ScriptedCapture::~ScriptedCapture() { stop(); }

std::vector<AudioDevice> ScriptedCapture::inputDevices() {
  if (noDevices) {
    return {};
  }
  return {AudioDevice{0, "scripted input"}, AudioDevice{1, "second input"}};
}

CaptureFailure ScriptedCapture::start(int deviceId, int framesPerPiece, SampleHandler handler) {
  stop();
  ++starts;
  lastDevice = deviceId;
  lastFramesPerPiece = framesPerPiece;
  if (failure != CaptureFailure::None) {
    return failure;
  }
  if (silentDevice) {
    return CaptureFailure::None;
  }
  stop_ = false;
  delivered = 0;
  const int piece = std::max(framesPerPiece / 2, 64);
  thread_ = std::thread([this, piece, handler = std::move(handler)] {
    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now();
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(piece));
    long long at = 0;
    while (!stop_) {
      const long long left = static_cast<long long>(samples_.size()) - at;
      if (stopsAfterTheSamples && left <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      const int count = stopsAfterTheSamples ? static_cast<int>(std::min<long long>(left, piece))
                                             : piece;
      for (int i = 0; i < piece; ++i) {
        const long long k = at + i;
        buffer[static_cast<std::size_t>(i)] =
            k < static_cast<long long>(samples_.size()) ? samples_[static_cast<std::size_t>(k)] : 0;
      }
      std::this_thread::sleep_until(
          begin + std::chrono::duration_cast<Clock::duration>(
                      std::chrono::duration<double>((at + count) / 44100.0 / speed_)));
      if (stop_) {
        break;
      }
      handler(buffer.data(), count);
      at += count;
      delivered = at;
    }
  });
  return CaptureFailure::None;
}

void ScriptedCapture::stop() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace melovantis::test
