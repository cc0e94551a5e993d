#pragma once

#include <string>

#include "audio/LiveCapture.h"

namespace melovantis {

// What the real-time window shows of the last block: the level meter, the dot
// on the one-octave keyboard picture with its octave digit, and the note and
// frequency fields. Positions are in the window's client pixels.
struct LiveDisplay {
  static constexpr int kMeterSegments = 14;
  static constexpr int kMeterX = 220;
  static constexpr int kMeterY = 70;
  static constexpr int kSegmentStep = 12;  // 10 pixels wide, 12 apart
  static constexpr int kSegmentWidth = 10;
  static constexpr int kSegmentHeight = 5;
  static constexpr int kKeyboardX = 220;
  static constexpr int kKeyboardY = 100;

  int litSegments = 0;  // the first this many are bright
  bool dot = false;     // the keyboard shows a dot (there is a pitch)
  int dotX = 0;         // top-left of the dot's square
  int dotY = 0;
  int radius = 0;
  int red = 0;
  int green = 0;
  int blue = 255;
  int octave = 0;
  int digitX = 0;
  int digitY = 0;
  std::string note = " ";       // "C5", or one blank without a pitch
  std::string frequency = " ";  // "261.6", or one blank

  static LiveDisplay of(const LiveFrame& frame);
};

}  // namespace melovantis
