#include "midi/MidiFileWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "engine/AnalysisEngine.h"
#include "midi/FrameRows.h"
#include "support/RecordingNotifier.h"
#include "support/TestFiles.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The two credit texts the writer puts at the start of every track.
const std::string kNotice = "Melovantis developers [https://melovantis.example.org]";
const std::string kTrackName = "Made possible by Melovantis 7 [https://melovantis.example.org]";

Bytes readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

void appendText(Bytes& bytes, const std::string& text) {
  bytes.push_back(static_cast<std::uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

// Header chunk, track header with its length, the two credits and, when given, the tempo.
Bytes preamble(std::uint8_t division0, std::uint8_t division1, std::uint32_t trackLength,
               const Bytes& tempo = {}) {
  Bytes bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, division0, division1,
                 'M', 'T', 'r', 'k'};
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<std::uint8_t>(trackLength >> shift));
  }
  append(bytes, {0x00, 0xFF, 0x02});
  appendText(bytes, kNotice);
  append(bytes, {0x00, 0xFF, 0x03});
  appendText(bytes, kTrackName);
  if (!tempo.empty()) {
    append(bytes, {0x00, 0xFF, 0x51, 0x03});
    append(bytes, tempo);
  }
  return bytes;
}

// The opening messages for program "[ NONE ]" and a bend range of 2, all at delta 0.
const Bytes kOpening = {0x00, 0xB0, 101, 0x00, 0x00, 0xB0, 100, 0x00, 0x00, 0xB0, 6,  0x02,
                        0x00, 0xB0, 38,  0x00, 0x00, 0xB0, 99,  0x01, 0x00, 0xB0, 98, 0x09,
                        0x00, 0xB0, 6,   0x40, 0x00, 0xB0, 38,  0x00};

// One event of a track as an independent reader sees it.
struct TrackEvent {
  std::int64_t tick = 0;
  Bytes bytes;  // status (or FF type) and data
  int deltaLength = 0;
};

struct MidiFile {
  std::uint8_t division[2] = {};
  std::vector<TrackEvent> events;
};

// Reads a format-0 file strictly: every length must agree, every delta must be a proper
// variable-length quantity and every event must carry its own status byte.
MidiFile parseMidiFile(const Bytes& bytes) {
  MidiFile file;
  EXPECT_GE(bytes.size(), 22u);
  if (bytes.size() < 22) {
    return file;
  }
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
  EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 12), (Bytes{0, 0, 0, 6, 0, 0, 0, 1}));
  file.division[0] = bytes[12];
  file.division[1] = bytes[13];
  EXPECT_EQ(std::string(bytes.begin() + 14, bytes.begin() + 18), "MTrk");
  const std::uint32_t length = (std::uint32_t{bytes[18]} << 24) | (std::uint32_t{bytes[19]} << 16) |
                               (std::uint32_t{bytes[20]} << 8) | bytes[21];
  EXPECT_EQ(length, bytes.size() - 22) << "track length must be the file size less 22";

  std::size_t at = 22;
  std::int64_t tick = 0;
  bool ended = false;
  while (at < bytes.size() && !ended) {
    std::uint32_t delta = 0;
    int deltaLength = 0;
    do {
      delta = (delta << 7) | (bytes[at] & 0x7F);
      ++deltaLength;
    } while ((bytes[at++] & 0x80) != 0 && at < bytes.size());
    EXPECT_LE(deltaLength, 4);
    EXPECT_TRUE(deltaLength == 1 || bytes[at - deltaLength] != 0x80) << "padded quantity";
    tick += delta;
    TrackEvent event{tick, {}, deltaLength};
    const std::uint8_t status = bytes.at(at);
    EXPECT_GE(status, 0x80) << "running status at byte " << at;
    if (status == 0xFF) {
      const std::uint8_t type = bytes.at(at + 1);
      const std::uint8_t size = bytes.at(at + 2);
      EXPECT_LT(size, 0x80);
      event.bytes.assign(bytes.begin() + at, bytes.begin() + at + 3 + size);
      at += 3 + size;
      ended = type == 0x2F;
    } else {
      const int messageLength = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
      event.bytes.assign(bytes.begin() + at, bytes.begin() + at + messageLength);
      for (std::size_t i = 1; i < event.bytes.size(); ++i) {
        EXPECT_LE(event.bytes[i], 127);
      }
      at += messageLength;
    }
    file.events.push_back(event);
  }
  EXPECT_TRUE(ended) << "no end of track";
  EXPECT_EQ(at, bytes.size()) << "bytes after the end of track";
  return file;
}

using test::silent;
using test::voiced;

class MidiFileWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.midi = MidiOutputSettings{};
    engine.midi.program = 128;
    engine.midi.pitchBendRange = 2;
    engine.midi.bpm = 120;
    engine.midi.sendTempo = true;
    engine.hopSize = 2646;
    engine.attackDetectorOn = true;
  }

  void setFrames(const std::vector<FrameRecord>& rows) {
    engine.reserveRows(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      engine.frames[i] = rows[i];
    }
    engine.frameCount = static_cast<int>(rows.size());
  }

  // Writes the table and returns the file's bytes, checked by the strict reader.
  Bytes write(const std::string& name = "out.mid") {
    const std::filesystem::path path = folder / name;
    EXPECT_TRUE(writeMidiFile(engine, path, notifier));
    EXPECT_TRUE(notifier.entries.empty());
    const Bytes bytes = readAll(path);
    parseMidiFile(bytes);
    return bytes;
  }

  MidiFile writeAndParse() { return parseMidiFile(write()); }

  test::RecordingNotifier notifier;
  AnalysisEngine engine{notifier};
  test::TempFolder folder;
};

// Ticks of the channel messages of a given status type (high nibble).
std::vector<std::int64_t> ticksOf(const MidiFile& file, std::uint8_t type) {
  std::vector<std::int64_t> ticks;
  for (const TrackEvent& event : file.events) {
    if ((event.bytes[0] & 0xF0) == type && event.bytes[0] != 0xFF) {
      ticks.push_back(event.tick);
    }
  }
  return ticks;
}

// --- Exact files ------------------------------------------------------------

TEST_F(MidiFileWriterTest, EmptyTableGivesPreambleOpeningAndOneNoteOffForNoteZeroAtTheFirstFrame) {
  setFrames({});
  // 2646 samples at 120 BPM: 57.6 ticks per frame, so the first frame ends at tick 57.
  Bytes expected = preamble(0x01, 0xE0, 171, {0x07, 0xA1, 0x20});
  append(expected, kOpening);
  append(expected, {0x39, 0x80, 0x00, 0x00});
  append(expected, {0x00, 0xFF, 0x2F, 0x00});
  ASSERT_EQ(expected.size(), 22u + 171u);
  EXPECT_EQ(write(), expected);
}

TEST_F(MidiFileWriterTest, SmpteDivisionHasNoTempoEventEvenWhenSendTempoIsOn) {
  engine.midi.bpm = 0;
  engine.midi.sendTempo = true;
  setFrames({});
  // 2646 samples at 5000 ticks per second: 300 ticks, a two-byte delta.
  Bytes expected = preamble(0xE7, 0xC8, 165);
  append(expected, kOpening);
  append(expected, {0x82, 0x2C, 0x80, 0x00, 0x00});
  append(expected, {0x00, 0xFF, 0x2F, 0x00});
  ASSERT_EQ(expected.size(), 22u + 165u);
  EXPECT_EQ(write(), expected);
}

TEST_F(MidiFileWriterTest, SendTempoOffKeepsMusicalDivisionWithoutTempoEvent) {
  engine.midi.sendTempo = false;
  setFrames({voiced(60.0)});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(file.division[0], 0x01);
  EXPECT_EQ(file.division[1], 0xE0);
  for (const TrackEvent& event : file.events) {
    EXPECT_FALSE(event.bytes[0] == 0xFF && event.bytes[1] == 0x51);
  }
}

TEST_F(MidiFileWriterTest, EveryChannelMessageCarriesItsOwnStatusWithTheChannel) {
  engine.midi.channel = 9;
  engine.midi.program = 40;
  setFrames({voiced(60.0, 80, 30, 1), voiced(60.4, 82, 31), voiced(63.0, 84, 32), silent(),
             voiced(61.0, 80, 30, 1)});
  const MidiFile file = writeAndParse();  // the reader refuses running status
  int channelMessages = 0;
  for (const TrackEvent& event : file.events) {
    if (event.bytes[0] != 0xFF) {
      EXPECT_EQ(event.bytes[0] & 0x0F, 9);
      ++channelMessages;
    }
  }
  // Opening 9; frames 5 (note-off 0, bend, volume, brightness, note-on), 3 (bend, volume,
  // brightness), 5 (re-strike), 1 (note-off), 4 (note-off, volume, brightness, note-on);
  // final note-off 1.
  EXPECT_EQ(channelMessages, 9 + 5 + 3 + 5 + 1 + 4 + 1);
}

TEST_F(MidiFileWriterTest, TempoEventHoldsMicrosecondsPerQuarterNote) {
  struct Case {
    int bpm;
    Bytes tempo;
  };
  for (const Case& c : {Case{120, {0x07, 0xA1, 0x20}}, Case{20, {0x2D, 0xC6, 0xC0}},
                        Case{100, {0x09, 0x27, 0xC0}}, Case{300, {0x03, 0x0D, 0x40}}}) {
    engine.midi.bpm = c.bpm;
    setFrames({});
    const MidiFile file = writeAndParse();
    ASSERT_GE(file.events.size(), 3u);
    Bytes expected = {0xFF, 0x51, 0x03};
    append(expected, c.tempo);
    EXPECT_EQ(file.events[2].bytes, expected) << c.bpm << " BPM";
    EXPECT_EQ(file.events[2].tick, 0);
  }
}

TEST_F(MidiFileWriterTest, WholeTicksPerFrameReproduceTheTruncatingLayoutByteForByte) {
  engine.hopSize = 2205;  // 2205 x 120 x 480 / 2646000 = 48 ticks exactly
  setFrames({voiced(60.0), voiced(60.0), silent(), silent(), voiced(62.0)});
  Bytes expected = preamble(0x01, 0xE0, 0, {0x07, 0xA1, 0x20});
  append(expected, kOpening);
  append(expected, {0x30, 0xE0, 0x00, 0x40,    // tick 48: centre bend,
                    0x00, 0xB0, 0x07, 0x50,    // volume 80,
                    0x00, 0xB0, 0x4A, 0x1E,    // brightness 30,
                    0x00, 0x90, 0x3C, 0x64,    // note-on 60
                    0x60, 0x80, 0x3C, 0x00,    // tick 144: the voice stops
                    0x60, 0x90, 0x3E, 0x64,    // tick 240: note 62, nothing else changed
                    0x30, 0x80, 0x3E, 0x00,    // tick 288 = 6 x 48: the final note-off
                    0x00, 0xFF, 0x2F, 0x00});
  const auto trackLength = static_cast<std::uint32_t>(expected.size() - 22);
  expected[21] = static_cast<std::uint8_t>(trackLength);
  EXPECT_EQ(write(), expected);
}

// --- Timing -----------------------------------------------------------------

TEST_F(MidiFileWriterTest, FractionalFrameLengthDoesNotDrift) {
  // 57.6 ticks per frame: frame i's messages at trunc((i + 1) x 57.6), not (i + 1) x 57.
  std::vector<FrameRecord> glide;
  for (int i = 0; i < 10; ++i) {
    glide.push_back(voiced(60.0 + 0.1 * i));  // a new bend every frame
  }
  setFrames(glide);
  const MidiFile file = writeAndParse();
  const std::vector<std::int64_t> expected = {57, 115, 172, 230, 288, 345, 403, 460, 518, 576};
  EXPECT_EQ(ticksOf(file, 0xE0), expected);
  EXPECT_EQ(ticksOf(file, 0x90), (std::vector<std::int64_t>{57}));
  EXPECT_EQ(ticksOf(file, 0x80), (std::vector<std::int64_t>{633}));  // trunc(11 x 57.6)
}

TEST_F(MidiFileWriterTest, TempoFactorStretchesEveryFrameBeforeTruncation) {
  engine.tempoFactor = 2.0;  // 115.2 ticks per frame
  setFrames({voiced(60.0), silent(), voiced(61.0), silent()});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOf(file, 0x90), (std::vector<std::int64_t>{115, 345}));
  EXPECT_EQ(ticksOf(file, 0x80), (std::vector<std::int64_t>{230, 460, 576}));
}

TEST_F(MidiFileWriterTest, TempoFactorThatIsNotAPositiveNumberCountsAsOne) {
  setFrames({voiced(60.0), silent(), voiced(61.0)});
  engine.tempoFactor = 1.0;
  const Bytes normal = write("normal.mid");
  for (double factor : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()}) {
    engine.tempoFactor = factor;
    EXPECT_EQ(write("odd.mid"), normal) << factor;
  }
}

TEST_F(MidiFileWriterTest, DeltasOver127TicksAreMultiByteQuantities) {
  engine.hopSize = 2205;  // 48 ticks per frame
  std::vector<FrameRecord> frames = {voiced(60.0)};
  frames.insert(frames.end(), 9, silent());
  frames.push_back(voiced(62.0));
  setFrames(frames);
  const Bytes bytes = write();
  // Note-off at tick 96, next note-on at tick 528: 432 ticks = 0x83 0x30.
  const Bytes pause = {0x30, 0x80, 0x3C, 0x00, 0x83, 0x30, 0x90, 0x3E, 0x64};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), pause.begin(), pause.end()), bytes.end());
  const MidiFile file = parseMidiFile(bytes);
  EXPECT_EQ(ticksOf(file, 0x90), (std::vector<std::int64_t>{48, 528}));
}

TEST_F(MidiFileWriterTest, DeltasOver16383TicksTakeThreeBytes) {
  engine.hopSize = 2205;
  engine.tempoFactor = 1000.0;  // 48000 ticks per frame
  setFrames({voiced(60.0)});
  const Bytes bytes = write();
  // Frame 0 opens with its centre bend at tick 48000 = 0x82 0xF7 0x00.
  const Bytes firstFrame = {0x82, 0xF7, 0x00, 0xE0, 0x00, 0x40};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), firstFrame.begin(), firstFrame.end()),
            bytes.end());
  const MidiFile file = parseMidiFile(bytes);
  EXPECT_EQ(ticksOf(file, 0x80), (std::vector<std::int64_t>{96000}));
}

TEST_F(MidiFileWriterTest, PauseLongerThanAQuantityCanHoldIsBridgedNotCut) {
  engine.hopSize = 2205;
  engine.tempoFactor = 4.0e6;  // 192 million ticks per frame; the largest delta is 268435455
  setFrames({voiced(60.0), silent(), silent()});
  const MidiFile file = writeAndParse();
  ASSERT_GE(file.events.size(), 3u);
  EXPECT_EQ(ticksOf(file, 0x90), (std::vector<std::int64_t>{192000000}));
  EXPECT_EQ(ticksOf(file, 0x80), (std::vector<std::int64_t>{384000000, 768000000}));
  EXPECT_EQ(file.events.back().tick, 768000000);
}

struct LongTableCase {
  int hop;
  int bpm;
  double ticksPerSecond;
};

class MidiFileWriterLongTableTest : public MidiFileWriterTest,
                                    public ::testing::WithParamInterface<LongTableCase> {};

TEST_P(MidiFileWriterLongTableTest, EndOfAMinuteOfFramesLiesWithinOneFrameOfTheAudioDuration) {
  const LongTableCase c = GetParam();
  engine.hopSize = c.hop;
  engine.midi.bpm = c.bpm;
  const int frameCount = 60 * 44100 / c.hop;  // the hops chosen divide a minute exactly
  setFrames(std::vector<FrameRecord>(static_cast<std::size_t>(frameCount), voiced(60.0)));
  const MidiFile file = writeAndParse();

  const double framesPerSecond = 44100.0 / c.hop;
  const double ticksPerFrame = c.ticksPerSecond / framesPerSecond;
  const double audioEnd = 60.0 * c.ticksPerSecond;
  // The final note-off closes the frame after the last, so it lies one frame past the audio,
  // less the truncation to a whole tick.
  ASSERT_GE(file.events.size(), 2u);
  const double endTick = static_cast<double>(file.events.end()[-2].tick);
  EXPECT_GE(endTick, audioEnd + ticksPerFrame - 1.0);
  EXPECT_LE(endTick, audioEnd + ticksPerFrame);
}

INSTANTIATE_TEST_SUITE_P(
    HopAndTempo, MidiFileWriterLongTableTest,
    ::testing::Values(LongTableCase{2646, 120, 960.0},  // 57.6 ticks per frame
                      LongTableCase{300, 120, 960.0},   // 6.53: truncated, a minute loses 4.6 s
                      LongTableCase{300, 0, 5000.0},    // SMPTE, 34.01 ticks per frame
                      LongTableCase{882, 97, 776.0},    // 15.52 ticks per frame
                      LongTableCase{2205, 120, 960.0}));  // 48: whole

// --- Settings outside their ranges ------------------------------------------

TEST_F(MidiFileWriterTest, NegativeBpmIsWrittenAsSmpteTime) {
  engine.midi.bpm = -5;
  setFrames({});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(file.division[0], 0xE7);
  EXPECT_EQ(file.division[1], 0xC8);
  EXPECT_EQ(file.events.end()[-2].tick, 300);
}

TEST_F(MidiFileWriterTest, BpmOutsideTheListIsClampedSoTempoAndTicksAgree) {
  engine.midi.bpm = 100000;
  setFrames({});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(file.events[2].bytes, (Bytes{0xFF, 0x51, 0x03, 0x03, 0x0D, 0x40}));  // 300 BPM
  EXPECT_EQ(file.events.end()[-2].tick, 144);  // 2646 x 300 x 480 / 2646000

  engine.midi.bpm = 1;  // 60000000 would not fit the three tempo bytes
  const MidiFile slow = writeAndParse();
  EXPECT_EQ(slow.events[2].bytes, (Bytes{0xFF, 0x51, 0x03, 0x2D, 0xC6, 0xC0}));  // 20 BPM
}

TEST_F(MidiFileWriterTest, FrameCountBeyondTheTableWritesOnlyTheRowsThatExist) {
  setFrames({voiced(60.0)});
  engine.frameCount = static_cast<int>(engine.frames.size()) + 1000;
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOf(file, 0x90).size(), 1u);
}

// --- Files on disk ----------------------------------------------------------

TEST_F(MidiFileWriterTest, FolderThatDoesNotExistGivesFileErrorAndNoFile) {
  setFrames({voiced(60.0)});
  const std::filesystem::path path = folder / "missing" / "out.mid";
  EXPECT_FALSE(writeMidiFile(engine, path, notifier));
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "File error!");
  EXPECT_EQ(notifier.entries[0].caption, "Error");
  EXPECT_EQ(notifier.entries[0].icon, MessageIcon::Error);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(MidiFileWriterTest, FailedReplacementLeavesWhatWasThereUntouched) {
  setFrames({voiced(60.0)});
  // A folder in the file's place: everything is written, but the final rename is refused.
  const std::filesystem::path path = folder / "taken.mid";
  std::filesystem::create_directory(path);
  test::writeBytes(path / "keep.txt", {'k', 'e', 'e', 'p'});
  EXPECT_FALSE(writeMidiFile(engine, path, notifier));
  ASSERT_EQ(notifier.entries.size(), 1u);
  EXPECT_EQ(notifier.entries[0].text, "File error!");
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(readAll(path / "keep.txt"), (Bytes{'k', 'e', 'e', 'p'}));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "no temporary file may be left behind";
}

TEST_F(MidiFileWriterTest, ExistingFileIsReplacedWhole) {
  const std::filesystem::path path = folder / "out.mid";
  test::writeBytes(path, Bytes(5000, 0xAA));
  setFrames({voiced(60.0)});
  EXPECT_TRUE(writeMidiFile(engine, path, notifier));
  const Bytes bytes = readAll(path);
  EXPECT_LT(bytes.size(), 5000u);
  parseMidiFile(bytes);
}

TEST_F(MidiFileWriterTest, MidicsvReadsAWrittenFile) {
  if (std::system("command -v midicsv >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "midicsv is not installed";
  }
  setFrames({voiced(60.5, 90, 40), voiced(60.5, 90, 40), silent(), voiced(64.0, 70, 20, 1)});
  write("song.mid");
  const std::filesystem::path csv = folder / "song.csv";
  const std::string command =
      "midicsv '" + (folder / "song.mid").string() + "' '" + csv.string() + "' 2>&1";
  ASSERT_EQ(test::runLimited(command), 0);
  std::ifstream in(csv);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("0, 0, Header, 0, 1, 480"), std::string::npos) << text;
  EXPECT_NE(text.find("1, 0, Tempo, 500000"), std::string::npos) << text;
  // 60.5 is written as 61 bent down half a semitone.
  EXPECT_NE(text.find("1, 57, Note_on_c, 0, 61, 100"), std::string::npos) << text;
  EXPECT_NE(text.find("1, 172, Note_off_c, 0, 61, 0"), std::string::npos) << text;
  EXPECT_NE(text.find("1, 230, Note_on_c, 0, 64, 100"), std::string::npos) << text;
  EXPECT_NE(text.find("1, 288, Note_off_c, 0, 64, 0"), std::string::npos) << text;
  EXPECT_NE(text.find("1, 288, End_track"), std::string::npos) << text;
  EXPECT_NE(text.find("0, 0, End_of_file"), std::string::npos) << text;
}

}  // namespace
}  // namespace melovantis

namespace melovantis {
namespace {

// --- Note starts at their attacks --------------------------------------------

// A 50 ms hop at 120 BPM: 48 ticks a frame, frame i's messages at (i + 1) x 48.
class NoteStartPlacementTest : public MidiFileWriterTest {
 protected:
  void SetUp() override {
    MidiFileWriterTest::SetUp();
    engine.hopSize = 2205;
  }

  static FrameRecord startingAt(double pitch, int onsetOffset, int volume = 80) {
    FrameRecord row = voiced(pitch, volume, 30, 1);
    row.onsetOffset = onsetOffset;
    return row;
  }

  // The ticks of the messages with a status type and first data byte.
  static std::vector<std::int64_t> ticksOfNote(const MidiFile& file, std::uint8_t type,
                                               std::uint8_t data1) {
    std::vector<std::int64_t> ticks;
    for (const TrackEvent& event : file.events) {
      if ((event.bytes[0] & 0xF0) == type && event.bytes[0] != 0xFF && event.bytes[1] == data1) {
        ticks.push_back(event.tick);
      }
    }
    return ticks;
  }
};

TEST_F(NoteStartPlacementTest, EarlyOnsetEndsTheNoteBeforeThereAndDropsItsLaterMessages) {
  // The second note's attack lies 2646 samples (1.2 frames) before its row's time:
  // sample 6174, tick 134, before frame 2's time (144), whose volume change is dropped.
  setFrames({startingAt(60, 0), voiced(60, 80), voiced(60, 90), startingAt(64, -2646, 70),
             voiced(64, 70), silent()});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOfNote(file, 0x90, 60), (std::vector<std::int64_t>{48}));
  EXPECT_EQ(ticksOfNote(file, 0x90, 64), (std::vector<std::int64_t>{134}));
  // Note 60 ends where note 64 begins.
  EXPECT_EQ(ticksOfNote(file, 0x80, 60), (std::vector<std::int64_t>{134}));
  EXPECT_EQ(ticksOfNote(file, 0x80, 64), (std::vector<std::int64_t>{288, 336}));
  EXPECT_EQ(ticksOfNote(file, 0xB0, 7), (std::vector<std::int64_t>{48, 134}));  // 80, then 70
}

TEST_F(NoteStartPlacementTest, AFrameOnExactlyTheTickOfTheNextStartIsOvertakenToo) {
  // Note 64's onset, sample 6615, is tick 144: frame 2's own tick. Its volume change
  // (90) belongs to the note that ends there and is dropped.
  setFrames({startingAt(60, 0), voiced(60, 80), voiced(60, 90), startingAt(64, -2205, 70),
             voiced(64, 70), silent()});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOfNote(file, 0x90, 64), (std::vector<std::int64_t>{144}));
  EXPECT_EQ(ticksOfNote(file, 0xB0, 7), (std::vector<std::int64_t>{48, 144}));  // 80, then 70
}

TEST_F(NoteStartPlacementTest, ANoteAfterSilenceMovesToItsOnsetAlsoWithTheDetectorOff) {
  engine.attackDetectorOn = false;  // every flag reads 0: only silence starts a note
  FrameRecord row = voiced(60, 80, 30, 0);
  row.onsetOffset = -1000;  // sample 3410: tick 74, before the row's own 96
  setFrames({silent(), row, voiced(60), silent()});
  EXPECT_EQ(ticksOf(writeAndParse(), 0x90), (std::vector<std::int64_t>{74}));
}

TEST_F(NoteStartPlacementTest, LateOnsetStartsTheNoteAfterItsRowsTime) {
  setFrames({startingAt(60, 0), voiced(60), voiced(60), startingAt(64, 1102), voiced(64),
             silent()});
  const MidiFile file = writeAndParse();
  // Sample 8820 + 1102 = 9922: tick 215, after the row's own 192.
  EXPECT_EQ(ticksOfNote(file, 0x90, 64), (std::vector<std::int64_t>{215}));
  EXPECT_EQ(ticksOfNote(file, 0x80, 60), (std::vector<std::int64_t>{215}));
}

TEST_F(NoteStartPlacementTest, NoteAfterSilenceMovesTooAndTakesTheSilentFramesNoteOff) {
  // The note before ends at frame 2 (tick 144); the next attack is measured at tick 134.
  setFrames({startingAt(60, 0), voiced(60), silent(), startingAt(64, -2646), voiced(64)});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOfNote(file, 0x90, 64), (std::vector<std::int64_t>{134}));
  // The silent frame's note-off, and the attack's own, both at the new start.
  EXPECT_EQ(ticksOfNote(file, 0x80, 60), (std::vector<std::int64_t>{134, 134}));
}

TEST_F(NoteStartPlacementTest, StartsStayInOrderOneTickApartAtLeast) {
  setFrames({startingAt(60, 0), startingAt(62, -4000), startingAt(64, -6000), voiced(64)});
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOf(file, 0x90), (std::vector<std::int64_t>{48, 49, 50}));
  // An onset on exactly the tick of the start before (sample 2205, tick 48) moves one on.
  setFrames({startingAt(60, 0), startingAt(62, -2205), startingAt(64, 0), voiced(64)});
  EXPECT_EQ(ticksOf(writeAndParse(), 0x90), (std::vector<std::int64_t>{48, 49, 144}));
}

TEST_F(NoteStartPlacementTest, OnsetBeforeTheRecordingStartsAtTickZero) {
  setFrames({startingAt(60, -5000), voiced(60)});
  EXPECT_EQ(ticksOf(writeAndParse(), 0x90), (std::vector<std::int64_t>{0}));
}

TEST_F(NoteStartPlacementTest, RowsWithoutOnsetsWriteTheBytesOfTheFramePlacement) {
  setFrames({startingAt(60, 0), voiced(60.3), voiced(60.6, 90), silent(), voiced(67),
             startingAt(69, 0), voiced(72.9), silent()});
  const Bytes attack = write("attack.mid");
  engine.onsetPlacement = OnsetPlacement::kFrame;
  EXPECT_EQ(write("frame.mid"), attack);
}

TEST_F(NoteStartPlacementTest, FramePlacementIgnoresTheOnsets) {
  setFrames({startingAt(60, 0), voiced(60), voiced(60, 90), startingAt(64, -2646, 70),
             voiced(64, 70), silent()});
  engine.onsetPlacement = OnsetPlacement::kFrame;
  const MidiFile file = writeAndParse();
  EXPECT_EQ(ticksOfNote(file, 0x90, 64), (std::vector<std::int64_t>{192}));
  EXPECT_EQ(ticksOfNote(file, 0xB0, 7), (std::vector<std::int64_t>{48, 144, 192}));
}

}  // namespace
}  // namespace melovantis
