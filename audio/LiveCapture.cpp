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
      onsets_(kLongestBlock) {}

LiveCapture::~LiveCapture() { stopCapture(); }

bool LiveCapture::startCapture(int deviceId) {
  stopCapture();
  for (double& p : history_) {
    p = -1.0;
  }
  stop_ = false;
  blockSamples_ = std::clamp(engine_.frameSize, 1, kLongestBlock);
  blocks_ = 0;
  {
    const std::lock_guard<std::mutex> lock(frameMutex_);
    frame_ = LiveFrame{};
  }
  onsets_.reset();
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
  std::copy_n(block_.begin(), blockSamples_, engine_.samples.get());
  engine_.inputGain = controls_.inputGain.load();
  engine_.quantizeAmount = controls_.quantizeAmount.load();
  engine_.transpose = controls_.transpose.load();
  engine_.attackDetectorOn = controls_.attackDetectorOn.load();
  engine_.attackSensitivity = controls_.attackSensitivity.load();

  onsets_.blockCaptured(engine_);
  engine_.frameCount = 0;
  engine_.analyseBlock();
  onsets_.rowAnalysed(engine_, history_[0]);
  const FrameRecord& row = engine_.frames[0];
  history_[2] = history_[1];
  history_[1] = history_[0];
  history_[0] = row.pitch;
  engine_.frameCount = 1;
  if (listener_ != nullptr) {
    listener_->frameAnalysed(engine_);
  }
  {
    const std::lock_guard<std::mutex> lock(frameMutex_);
    frame_.pitch = row.pitch;
    frame_.volume = row.volume;
    frame_.brightness = row.brightness;
    frame_.smoothedPitch = (history_[0] + history_[1] + history_[2]) / 3.0;
    frame_.blocks = blocks_.load() + 1;
  }
  blocks_.fetch_add(1);
}

}  // namespace melovantis
