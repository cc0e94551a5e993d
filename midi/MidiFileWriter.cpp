#include "midi/MidiFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "engine/AnalysisEngine.h"
#include "engine/AtomicFileWriter.h"
#include "engine/Notifier.h"
#include "midi/MidiEventGenerator.h"
#include "midi/MidiSink.h"
#include "midi/MidiTimeBase.h"
#include "midi/NoteStartPlacement.h"

namespace melovantis {

namespace {

constexpr std::string_view kNoticeText = "Melovantis developers [https://melovantis.example.org]";
constexpr std::string_view kTrackNameText =
    "Made possible by Melovantis 7 [https://melovantis.example.org]";

constexpr std::size_t kHeaderBytes = 22;  // "MThd" chunk and "MTrk" header
constexpr std::size_t kTrackLengthOffset = 18;

constexpr std::uint8_t kMetaText = 0x01;
constexpr std::uint8_t kMetaCopyright = 0x02;
constexpr std::uint8_t kMetaTrackName = 0x03;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;

// The largest delta a variable-length quantity may hold (four bytes).
constexpr std::int64_t kMaxDelta = 0x0FFFFFFF;
void appendVariableLength(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) {
    bytes.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
  }
  bytes.push_back(groups[0]);
}

void appendBigEndian32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
  }
}

// The file-mode sink: messages go into the track with the delta since the
// previous event. The writer sets the time before each frame.
class TrackSink : public MidiSink {
 public:
  explicit TrackSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  void setEventTime(std::int64_t ticks) { eventTime_ = std::max(ticks, lastEventTime_); }

  void send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, int length) override {
    writeDelta();
    // Every message carries its status byte: no running status.
    bytes_.push_back(status);
    bytes_.push_back(data1);
    if (length == 3) {
      bytes_.push_back(data2);
    }
  }

  void writeMeta(std::uint8_t type, std::string_view text) {
    writeDelta();
    bytes_.push_back(0xFF);
    bytes_.push_back(type);
    appendVariableLength(bytes_, static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }

 private:
  void writeDelta() {
    std::int64_t delta = eventTime_ - lastEventTime_;
    lastEventTime_ = eventTime_;
    // A pause longer than a delta can say (days of ticks at the fastest time base) is bridged
    // by empty text events rather than cut short.
    while (delta > kMaxDelta) {
      appendVariableLength(bytes_, static_cast<std::uint32_t>(kMaxDelta));
      bytes_.insert(bytes_.end(), {0xFF, kMetaText, 0x00});
      delta -= kMaxDelta;
    }
    appendVariableLength(bytes_, static_cast<std::uint32_t>(delta));
  }

  std::vector<std::uint8_t>& bytes_;
  std::int64_t eventTime_ = 0;
  std::int64_t lastEventTime_ = 0;
};

std::vector<std::uint8_t> buildMidiFile(AnalysisEngine& engine, Notifier& notifier) {
  const MidiTimeBase base = MidiTimeBase::of(engine);
  // Rows the table does not hold cannot be written; the count never exceeds them in practice.
  const auto rows = std::min<std::size_t>(engine.frames.size(), std::numeric_limits<int>::max());
  const int frameCount = std::clamp(engine.frameCount, 0, static_cast<int>(rows));

  // Division: 480 ticks per quarter note, or -25 frames per second of 200 ticks.
  const std::uint8_t divisionHigh = base.bpm != 0 ? 0x01 : 0xE7;
  const std::uint8_t divisionLow = base.bpm != 0 ? 0xE0 : 0xC8;
  std::vector<std::uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1,
                                     divisionHigh, divisionLow,
                                     'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xFF};

  TrackSink track(bytes);
  track.writeMeta(kMetaCopyright, kNoticeText);
  track.writeMeta(kMetaTrackName, kTrackNameText);
  if (engine.midi.sendTempo && base.bpm != 0) {
    const int microsecondsPerQuarter = 60000000 / base.bpm;
    const char tempo[3] = {static_cast<char>((microsecondsPerQuarter >> 16) & 0xFF),
                           static_cast<char>((microsecondsPerQuarter >> 8) & 0xFF),
                           static_cast<char>(microsecondsPerQuarter & 0xFF)};
    track.writeMeta(kMetaTempo, std::string_view(tempo, 3));
  }

  MidiEventGenerator generator(engine, notifier);
  generator.beginMidiStream(track);  // a track always opens
  if (engine.onsetPlacement == OnsetPlacement::kAttack) {
    const std::vector<NoteStartPlacement::FrameTime> times =
        NoteStartPlacement::plan(engine, base, frameCount);
    for (int i = 0; i < frameCount; ++i) {
      const NoteStartPlacement::FrameTime& time = times[static_cast<std::size_t>(i)];
      track.setEventTime(time.tick);
      generator.setQuiet(time.superseded);
      generator.emitFrameEvents(i);
    }
    generator.setQuiet(false);
  } else {
    for (int i = 0; i < frameCount; ++i) {
      track.setEventTime(base.tickAfterFrames(std::int64_t{i} + 1));
      generator.emitFrameEvents(i);
    }
  }
  track.setEventTime(base.tickAfterFrames(std::int64_t{frameCount} + 1));
  generator.endMidiStream(false);
  track.writeMeta(kMetaEndOfTrack, {});
  return bytes;
}

void reportFileError(Notifier& notifier) {
  notifier.message("File error!", "Error", MessageIcon::Error);
}

}  // namespace

bool writeMidiFile(AnalysisEngine& engine, const std::filesystem::path& path, Notifier& notifier,
                   std::string* systemError) {
  std::vector<std::uint8_t> bytes = buildMidiFile(engine, notifier);
  const std::size_t trackLength = bytes.size() - kHeaderBytes;
  if (trackLength > std::numeric_limits<std::uint32_t>::max()) {
    if (systemError != nullptr) {
      *systemError = std::strerror(EFBIG);  // the length field cannot hold it
    }
    reportFileError(notifier);
    return false;
  }
  std::vector<std::uint8_t> lengthBytes;
  appendBigEndian32(lengthBytes, static_cast<std::uint32_t>(trackLength));
  std::copy(lengthBytes.begin(), lengthBytes.end(), bytes.begin() + kTrackLengthOffset);

  AtomicFileWriter writer(path);
  if (!writer.open() ||
      !writer.wrote(std::fwrite(bytes.data(), 1, bytes.size(), writer.file()) == bytes.size()) ||
      !writer.commit()) {
    if (systemError != nullptr) {
      *systemError = writer.errorText();
    }
    reportFileError(notifier);
    return false;
  }
  return true;
}

}  // namespace melovantis
