#include "audio/BoundedCall.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace melovantis {

namespace {

std::atomic<bool> leftWaiting{false};

struct Completion {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};

}  // namespace

bool finishesWithin(std::chrono::milliseconds limit, std::function<void()> call) {
  auto completion = std::make_shared<Completion>();
  std::thread([completion, call = std::move(call)] {
    call();
    const std::lock_guard<std::mutex> lock(completion->mutex);
    completion->finished = true;
    completion->done.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(completion->mutex);
  if (completion->done.wait_for(lock, limit, [&] { return completion->finished; })) {
    return true;
  }
  leftWaiting = true;
  return false;
}

void keepForWaitingCall(const void* object) {
  static std::mutex mutex;
  // Never destroyed: the calls that use these objects outlive every static.
  static auto* kept = new std::vector<const void*>;
  const std::lock_guard<std::mutex> lock(mutex);
  kept->push_back(object);
}

bool callsLeftWaiting() { return leftWaiting; }

}  // namespace melovantis
