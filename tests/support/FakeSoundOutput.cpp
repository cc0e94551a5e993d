#include "support/FakeSoundOutput.h"

#include <chrono>
#include <vector>

namespace melovantis::test {

bool FakeSoundOutput::start(Render render) {
  stop();
  if (absent) {
    return false;
  }
  stop_ = false;
  thread_ = std::thread([this, render = std::move(render)] {
    std::vector<std::int16_t> buffer(2 * 512);
    while (!stop_) {
      render(buffer.data(), 512);
      framesPulled += 512;
      for (int i = 0; i < 512; ++i) {
        loudFrames += buffer[static_cast<std::size_t>(2 * i)] != 0 ? 1 : 0;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  return true;
}

void FakeSoundOutput::stop() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

bool FakeSynthesizer::load(const std::filesystem::path& /*file*/) {
  ++loads;
  at_ = 0;
  return !missing;
}

bool FakeSynthesizer::render(std::int16_t* out, int frames) {
  const long long end = static_cast<long long>(seconds * 44100);
  for (int i = 0; i < frames; ++i) {
    const std::int16_t s = at_ + i < end ? 1000 : 0;
    out[2 * i] = s;
    out[2 * i + 1] = s;
  }
  at_ += frames;
  return at_ < end;
}

}  // namespace melovantis::test
