#pragma once

#include <cstdint>

namespace melovantis {

// Where a note's attack begins in the recording, found from the loudness
// envelope around the frame that the attack detector marked.
//
// A frame's messages go into the MIDI file at one fixed point of its window,
// so a note's start is off by up to a frame: late for a slow attack, early for
// a struck one at the fine hop. The rule: a peak envelope on a 1 ms grid over
// the window and the frame before it, each point the largest magnitude of the
// last period of the row's pitch (at least 5 ms), so that the note's own
// waveform does not ripple through it and a struck note shows at once; P, its highest point in the
// window's second half (the part the previous frame did not see); V, the
// lowest point of the valley just before that peak, walking back until the
// envelope climbs again into a previous note (to twice the valley and half way
// to the peak: less is the beating of the note itself). Without a clear rise
// (P < 1.5 V) there is no attack to place. Otherwise the onset is the 10 %
// point of the rise, extrapolated back along the rise through its 50 % point,
// which lands on the start of a linear attack however slow it is.
//
// Pure arithmetic on the samples given: no allocation, so it runs beside the
// analysis of every frame.
class AttackOnset {
 public:
  static constexpr int kGridSamples = 44;        // about 1 ms
  static constexpr int kMinWindowSamples = 220;  // 5 ms at least
  static constexpr int kMaxWindowSamples = 2205; // 50 ms at most: a period of note 19
  static constexpr int kMaxGridPoints = 512;     // two of the longest frames at 1 ms

  // The envelope's look-back for a row of pitch `pitch` (a MIDI note, negative
  // when unpitched): one period, at least 5 ms and at most 50 ms.
  static int windowFor(double pitch);

  // The audio available: audio[0] is sample `audioFirst` of the recording,
  // and `audioEnd` is one past the last sample held.
  struct Audio {
    const std::int16_t* samples = nullptr;
    long long first = 0;
    long long end = 0;
  };

  // The onset of the note a row starting at `windowStart` (frameSize samples
  // long) would begin, in samples relative to `stampSample`, the row's time in
  // the MIDI file; 0 when the envelope shows no attack.
  // What the envelope shows: where the onset is (the stamp when there is no
  // attack) and how far the peak rises above the valley before it (P / V).
  struct Found {
    long long sample = 0;
    double rise = 1.0;
  };
  static Found find(const Audio& audio, long long windowStart, int frameSize,
                    long long stampSample, int lookBackSamples);

  // A rise as kept in a frame row (FrameRecord::onsetRise): tenths, 10..255;
  // 0 is left for rows whose onset was never measured.
  static std::uint8_t riseCode(double rise);

  // `lookBackSamples` is the envelope's look-back (windowFor).
  static std::int32_t offsetFor(const Audio& audio, long long windowStart, int frameSize,
                                long long stampSample, int lookBackSamples);

  // The same as an absolute sample position; `stampSample` when there is no attack.
  static long long onsetSample(const Audio& audio, long long windowStart, int frameSize,
                               long long stampSample, int lookBackSamples);
};

}  // namespace melovantis
