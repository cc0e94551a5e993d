#include "audio/LiveCapture.h"

#include <algorithm>

#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"

namespace melovantis {

namespace {

constexpr int kQueueBlocks = 6;  // room for this many of the longest blocks
constexpr auto kIdleWait = std::chrono::milliseconds(20);

}  // namespace

LiveCapture::LiveCapture(AnalysisEngine& engine, Notifier& notifier, AudioCaptureBackend& backend)
    : engine_(engine),
      notifier_(notifier),
      backend_(backend),
      queue_(kQueueBlocks * kLongestBlock),
      block_(kLongestBlock),
      analyser_(engine, kLongestBlock) {}

LiveCapture::~LiveCapture() { stopCapture(); }

bool LiveCapture::startCapture(int deviceId) {
  stopCapture();
  stop_ = false;
  blockSamples_ = std::clamp(engine_.frameSize, 1, kLongestBlock);
  blocks_ = 0;
  {
    const std::lock_guard<std::mutex> lock(frameMutex_);
    frame_ = LiveFrame{};
  }
  analyser_.reset();
  queue_.clear();
  engine_.reserveRows(1);  // each block becomes row 0
  lastDelivery_ = std::chrono::steady_clock::now().time_since_epoch().count();

  if (backend_.inputDevices().empty()) {
    notifier_.message("No Sound Device", "Error", MessageIcon::Error);
    return false;
  }
  thread_ = std::thread([this] { run(); });
  const CaptureFailure failure =
      backend_.start(deviceId, blockSamples_, [this](const std::int16_t* samples, int count) {
        queue_.push(samples, count);
        lastDelivery_ = std::chrono::steady_clock::now().time_since_epoch().count();
        wake_.release();
      });
  if (failure != CaptureFailure::None) {
    stop_ = true;
    wake_.release();
    thread_.join();
    const char* text = failure == CaptureFailure::NoDevice     ? "No Sound Device"
                       : failure == CaptureFailure::CannotOpen ? "Cannot Open Sound Input Device!"
                                                               : "Cannot Start Wave In !";
    notifier_.message(text, "Error", MessageIcon::Error);
    return false;
  }
  running_ = true;
  return true;
}

void LiveCapture::stopCapture() {
  if (!thread_.joinable()) {
    running_ = false;
    return;
  }
  // The input first, so no samples arrive; then the thread, which finishes
  // the block in hand (its MIDI included) and ends.
  backend_.stop();
  stop_ = true;
  wake_.release();
  thread_.join();
  running_ = false;
}

bool LiveCapture::waitForFirstBlock(std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (blocks_.load() == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool LiveCapture::inputLost() const {
  const std::chrono::steady_clock::duration silent =
      std::chrono::steady_clock::now().time_since_epoch() -
      std::chrono::steady_clock::duration(lastDelivery_.load());
  return running_ && silent >= kInputLostAfter;
}

long long LiveCapture::droppedBlocks() const {
  const long long lost = static_cast<long long>(queue_.lostSamples());
  return blockSamples_ > 0 ? (lost + blockSamples_ - 1) / blockSamples_ : 0;
}

LiveFrame LiveCapture::lastFrame() const {
  const std::lock_guard<std::mutex> lock(frameMutex_);
  return frame_;
}

void LiveCapture::run() {
  while (!stop_) {
    if (queue_.pop(block_.data(), blockSamples_)) {
      processBlock();
    } else {
      (void)wake_.try_acquire_for(kIdleWait);
    }
  }
}

void LiveCapture::processBlock() {
  const FrameRecord& row = analyser_.analyse(
      block_.data(), LiveAdjustments{controls_.inputGain.load(), controls_.quantizeAmount.load(),
                                     controls_.transpose.load(), controls_.attackDetectorOn.load(),
                                     controls_.attackSensitivity.load()});
  if (listener_ != nullptr) {
    listener_->frameAnalysed(engine_);
  }
  {
    const std::lock_guard<std::mutex> lock(frameMutex_);
    frame_.pitch = row.pitch;
    frame_.volume = row.volume;
    frame_.brightness = row.brightness;
    frame_.smoothedPitch = analyser_.smoothedPitch();
    frame_.blocks = blocks_.load() + 1;
  }
  blocks_.fetch_add(1);
}

}  // namespace melovantis
