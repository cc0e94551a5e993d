#include "midi/MidiFileTiming.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

namespace melovantis {

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

struct Bytes {
  const std::vector<std::uint8_t>& data;
  std::size_t at = 0;
  bool ok = true;

  std::uint32_t take(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (at >= data.size()) {
        ok = false;
        return 0;
      }
      value = value << 8 | data[at++];
    }
    return value;
  }
  std::uint32_t variable() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const std::uint32_t b = take(1);
      value = value << 7 | (b & 0x7F);
      if ((b & 0x80) == 0) {
        return value;
      }
    }
    ok = false;
    return value;
  }
};

}  // namespace

MidiFileTiming MidiFileTiming::read(const std::filesystem::path& file) {
  MidiFileTiming timing;
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> data;
  data.reserve(4096);
  for (std::istreambuf_iterator<char> it(in), end; it != end && data.size() < kMaxFileBytes; ++it) {
    data.push_back(static_cast<std::uint8_t>(*it));
  }
  Bytes b{data};
  if (b.take(4) != 0x4D546864 || b.take(4) < 6) {  // "MThd"
    return timing;
  }
  b.take(2);  // format
  const int tracks = static_cast<int>(b.take(2));
  const std::uint32_t division = b.take(2);
  if (!b.ok || division == 0) {
    return timing;
  }
  // SMPTE: frames per second times ticks per frame, a fixed tick length.
  const bool smpte = (division & 0x8000) != 0;
  const double smpteTickSeconds =
      smpte ? 1.0 / (static_cast<double>(256 - (division >> 8)) * (division & 0xFF)) : 0.0;
  std::map<long long, double> tempoAt = {{0, 500000.0}};  // microseconds per quarter note
  long long lastTick = 0;
  b.at = 14;
  for (int t = 0; t < tracks && b.ok && b.at + 8 <= data.size(); ++t) {
    const std::uint32_t id = b.take(4);
    const std::size_t length = b.take(4);
    const std::size_t end = std::min(data.size(), b.at + length);
    if (id != 0x4D54726B) {  // "MTrk"
      b.at = end;
      continue;
    }
    long long tick = 0;
    int running = 0;
    while (b.ok && b.at < end) {
      tick += b.variable();
      int status = static_cast<int>(b.take(1));
      if (status < 0x80) {
        status = running;
        --b.at;
      }
      if (status == 0xFF) {
        const int type = static_cast<int>(b.take(1));
        const std::size_t size = b.variable();
        if (type == 0x51 && size == 3) {
          tempoAt[tick] = b.take(3);
        } else {
          b.at += size;
        }
      } else if (status == 0xF0 || status == 0xF7) {
        b.at += b.variable();
      } else if (status >= 0x80) {
        running = status;
        const int type = status & 0xF0;
        b.at += (type == 0xC0 || type == 0xD0) ? 1 : 2;
      } else {
        break;  // data without a status: not a file we can follow
      }
    }
    lastTick = std::max(lastTick, tick);
    b.at = end;
  }
  double seconds = 0.0;
  long long previousTick = 0;
  double secondsPerTick = smpte ? smpteTickSeconds : 500000.0 / 1e6 / division;
  for (const auto& [tick, micros] : tempoAt) {
    seconds += (tick - previousTick) * secondsPerTick;
    previousTick = tick;
    if (!smpte) {
      secondsPerTick = micros / 1e6 / division;
    }
    timing.tempo_.push_back({tick, seconds, secondsPerTick});
  }
  timing.lastTick_ = lastTick;
  timing.lengthSeconds_ = seconds + std::max(0LL, lastTick - previousTick) * secondsPerTick;
  return timing;
}

long long MidiFileTiming::tickAt(double seconds) const {
  if (tempo_.empty() || seconds <= 0.0) {
    return 0;
  }
  const TempoPoint* point = &tempo_.front();
  for (const TempoPoint& p : tempo_) {
    if (p.seconds <= seconds) {
      point = &p;
    }
  }
  const long long tick =
      point->tick + static_cast<long long>((seconds - point->seconds) / point->secondsPerTick);
  return std::min(tick, lastTick_);
}

}  // namespace melovantis
