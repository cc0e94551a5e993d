#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/CliRunner.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "support/WaveFileBuilder.h"

namespace melovantis {
namespace {

using test::quote;
using test::readText;
using test::runCli;

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

bool have(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The median of the pitched frames' pitches in a frame CSV.
double medianPitch(const std::string& csv) {
  std::vector<double> pitches;
  std::stringstream ss(csv);
  std::string line;
  std::getline(ss, line);
  while (std::getline(ss, line)) {
    std::stringstream fields(line);
    std::string frame, time, pitch;
    std::getline(fields, frame, ',');
    std::getline(fields, time, ',');
    std::getline(fields, pitch, ',');
    const double p = std::stod(pitch);
    if (p >= 0.0) {
      pitches.push_back(p);
    }
  }
  if (pitches.empty()) {
    return -1.0;
  }
  std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
  return pitches[pitches.size() / 2];
}

// Key plus pitch bend of the first note in midicsv's listing, with the bend
// range that the file's own RPN 0 data entry sets.
double soundingPitchOfFirstNote(const std::string& listing) {
  std::stringstream ss(listing);
  std::string line;
  int range = -1;
  int bend = 8192;
  while (std::getline(ss, line)) {
    int track = 0, time = 0, channel = 0, a = 0, b = 0;
    char kind[32] = {};
    if (std::sscanf(line.c_str(), "%d, %d, %31[A-Za-z_], %d, %d, %d", &track, &time, kind, &channel,
                    &a, &b) < 5) {
      continue;
    }
    const std::string k = kind;
    if (k == "Control_c" && a == 6 && range < 0) {
      range = b;
    } else if (k == "Pitch_bend_c") {
      bend = a;
    } else if (k == "Note_on_c" && b > 0) {
      return a + (bend - 8192) * (bend >= 8192 ? range / 8191.0 : range / 8192.0);
    }
  }
  return -1.0;
}

TEST(EndToEnd, ToneToMidiToSynthesizerAndBackKeepsNote69) {
  if (!have("fluidsynth") || !have("midicsv") || !have("ffmpeg") ||
      !std::filesystem::exists(kSoundFont)) {
    GTEST_SKIP() << "fluidsynth, midicsv, ffmpeg or the General MIDI SoundFont is missing";
  }
  test::TempFolder dir;
  const auto wave = dir / "a440.wav";
  test::writeMonoWave(wave, test::concat({test::constant(4410), test::harmonicTone(69, 3 * 44100),
                                          test::constant(22050)}));
  const auto midi = dir / "a440.mid";
  auto r = runCli(dir, {"convert", wave.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(std::filesystem::exists(midi)) << "MIDI goes beside the input by default";

  // An independent reader accepts the file and finds the note.
  const auto csv = dir / "midicsv.txt";
  ASSERT_EQ(test::runLimited("midicsv " + quote(midi.string()) + " " + quote(csv.string())), 0);
  // Notes start on the semitone at or below the pitch, with an upward bend:
  // what sounds is the key plus the bend.
  EXPECT_NEAR(soundingPitchOfFirstNote(readText(csv)), 69.0, 0.1) << readText(csv);

  // The synthesizer plays it; its stereo output goes through the converter.
  const auto rendered = dir / "rendered.wav";
  // The volume controller carries the recording's level, which is low for a
  // synthesizer, so the rendering is made louder.
  ASSERT_EQ(test::runLimited("fluidsynth -ni -q -g 3 -r 44100 -F " + quote(rendered.string()) + " " +
                             quote(kSoundFont) + " " + quote(midi.string()) + " >/dev/null 2>&1"),
            0);
  ASSERT_GT(std::filesystem::file_size(rendered), 44100u);

  const auto frames = dir / "rendered.csv";
  r = runCli(dir, {"convert", rendered.string(), "--frames", frames.string(), "--quiet"});
  ASSERT_EQ(r.status, 0) << r.err;
  // Within a quarter tone: the synthesizer's piano is tuned, but not to the cent.
  EXPECT_NEAR(medianPitch(readText(frames)), 69.0, 0.25);
}

}  // namespace
}  // namespace melovantis
