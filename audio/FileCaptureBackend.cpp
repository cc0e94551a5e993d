#include "audio/FileCaptureBackend.h"

#include <algorithm>
#include <chrono>

#include "audio/WaveFormatCheck.h"

namespace melovantis {

namespace {

constexpr double kSampleRate = 44100.0;

}  // namespace

FileCaptureBackend::FileCaptureBackend(std::filesystem::path file, Notifier& notifier)
    : file_(std::move(file)), samples_(readAnalysableSamples(file_, notifier)) {}

FileCaptureBackend::~FileCaptureBackend() { stop(); }

std::vector<AudioDevice> FileCaptureBackend::inputDevices() {
  if (samples_.empty()) {
    return {};
  }
  return {AudioDevice{0, file_.filename().string()}};
}

double FileCaptureBackend::lengthSeconds() const { return samples_.size() / kSampleRate; }

CaptureFailure FileCaptureBackend::start(int /*deviceId*/, int framesPerPiece,
                                         SampleHandler handler) {
  stop();
  if (samples_.empty()) {
    return CaptureFailure::NoDevice;
  }
  stop_ = false;
  finished_ = false;
  const int piece = std::max(framesPerPiece, 64);
  thread_ = std::thread([this, piece, handler = std::move(handler)] {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    const std::vector<std::int16_t> silence(static_cast<std::size_t>(piece), 0);
    long long delivered = 0;
    while (!stop_) {
      // Each piece is handed over when a microphone would have finished recording it.
      const auto due = begin + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                   (delivered + piece) / kSampleRate));
      std::this_thread::sleep_until(due);
      if (stop_) {
        break;
      }
      const long long left = static_cast<long long>(samples_.size()) - delivered;
      if (left > 0) {
        const int n = static_cast<int>(std::min<long long>(left, piece));
        handler(samples_.data() + delivered, n);
        if (n < piece) {
          handler(silence.data(), piece - n);
        }
      } else {
        finished_ = true;
        handler(silence.data(), piece);
      }
      delivered += piece;
    }
  });
  return CaptureFailure::None;
}

void FileCaptureBackend::stop() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace melovantis
