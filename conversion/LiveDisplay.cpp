#include "conversion/LiveDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/NoteName.h"

namespace melovantis {

namespace {

// Key positions within the picture, pitch classes 0..11 and the next C.
constexpr int kKeyX[13] = {2, 12, 22, 32, 42, 62, 72, 82, 92, 102, 112, 122, 142};
constexpr int kKeyY[13] = {78, 18, 78, 18, 78, 78, 18, 78, 18, 78, 18, 78, 78};
constexpr int kLargestRadius = 8;

}  // namespace

LiveDisplay LiveDisplay::of(const LiveFrame& frame) {
  LiveDisplay d;
  const int volume = std::clamp(frame.volume, 0, 127);
  d.litSegments = volume * kMeterSegments / 127;
  const double p = frame.smoothedPitch;
  if (!(p > 0.0) || !std::isfinite(p)) {
    return d;
  }
  d.dot = true;
  const double whole = std::floor(p);
  const int k = static_cast<int>(whole) % 12;
  const double f = p - whole;
  d.radius = std::max(2, volume * kLargestRadius / 127);
  // Between the key of the note and the next one by the cents; a smaller dot
  // keeps its centre where the largest one's would be.
  d.dotX = kKeyboardX + static_cast<int>(f * kKeyX[k + 1] + (1 - f) * kKeyX[k]) +
           (kLargestRadius - d.radius);
  d.dotY = kKeyboardY + static_cast<int>(f * kKeyY[k + 1] + (1 - f) * kKeyY[k]);
  const int brightness = std::clamp(frame.brightness, 0, 127);
  d.red = 2 * brightness;
  d.green = 2 * brightness;
  d.octave = static_cast<int>(std::floor(p / 12));
  d.digitX = kKeyboardX + 7;
  d.digitY = kKeyboardY + 87;
  const int n = static_cast<int>(std::floor(p + 0.5));
  d.note = noteName(n);
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", 440.0 * std::pow(2.0, (p - 69.0) / 12.0));
  d.frequency = text;
  return d;
}

}  // namespace melovantis
