#include "ui/ViewGeometry.h"

#include <cmath>

#include "engine/FrameRecord.h"

namespace melovantis {

namespace {

constexpr int kGridColumnFrames = 25;
constexpr int kHandleWidth = 10;
constexpr int kHandleHalfHeight = 5;
constexpr int kDragGrip = 5;  // the pointer holds a handle 5 pixels below its line

// Key centres of the keyboard picture, pitch classes 0..11 and the next C.
constexpr int kKeyX[13] = {2, 12, 22, 32, 42, 62, 72, 82, 92, 102, 112, 122, 142};
constexpr int kKeyY[13] = {78, 18, 78, 18, 78, 78, 18, 78, 18, 78, 18, 78, 78};
constexpr int kDotOffsetX = 24;
constexpr int kDotOffsetY = 50;

}  // namespace

ViewGeometry::ViewGeometry(const MainWindowState& state, int firstFrame)
    : left_(state.viewLeft),
      top_(state.viewTop),
      width_(state.viewWidth),
      height_(state.viewHeight),
      bottom_(state.viewBottom),
      pixelsPerSemitone_(state.pixelsPerSemitone),
      verticalOffset_(state.verticalOffset),
      firstFrame_(firstFrame) {}

double ViewGeometry::yOf(double value) const {
  return bottom_ + verticalOffset_ - value * pixelsPerSemitone_;
}

int ViewGeometry::pitchY(double pitch) const {
  return bottom_ + verticalOffset_ -
         static_cast<int>(std::floor(pitch * pixelsPerSemitone_ + 0.5));
}

int ViewGeometry::levelY(int level) const {
  return bottom_ + verticalOffset_ -
         static_cast<int>(std::floor(pixelsPerSemitone_ * 0.25 * level + 0.5));
}

bool ViewGeometry::contains(int x, int y) const {
  return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
}

double ViewGeometry::noteAt(int y) const {
  return (bottom_ + verticalOffset_ - y) / pixelsPerSemitone_;
}

int ViewGeometry::draggedNote(int y) const {
  return static_cast<int>((bottom_ + verticalOffset_ - y - kDragGrip) / pixelsPerSemitone_);
}

HandleRect ViewGeometry::handleFor(int note) const {
  const double y = yOf(note);
  return {left_ + width_ - kHandleWidth, static_cast<int>(y - kHandleHalfHeight), left_ + width_,
          static_cast<int>(y + kHandleHalfHeight)};
}

std::vector<int> ViewGeometry::gridRows() const {
  std::vector<int> rows;
  // Octaves from the bottom edge; these lines stay put when the view scrolls.
  for (double g = 0; g < height_; g = std::trunc(12 * pixelsPerSemitone_ + g)) {
    rows.push_back(bottom_ - static_cast<int>(g));
  }
  return rows;
}

std::vector<int> ViewGeometry::gridColumns() const {
  std::vector<int> columns;
  for (int k = 0; kGridColumnFrames * k < width_; ++k) {
    columns.push_back(left_ + kGridColumnFrames * k);
  }
  return columns;
}

CurrentNoteDot currentNoteDot(const FrameRecord& frame) {
  CurrentNoteDot dot;
  // A radius of 2..8 pixels growing with loudness; none at all in silence.
  dot.radius = frame.volume == 0 ? 0 : std::max(2, frame.volume * 8 / 127);
  const double whole = std::floor(frame.pitch);
  const int pitchClass = static_cast<int>(whole) % 12;
  const double f = frame.pitch - whole;
  dot.x = static_cast<int>(f * kKeyX[pitchClass + 1] + (1 - f) * kKeyX[pitchClass] + kDotOffsetX -
                           dot.radius);
  dot.y = static_cast<int>(f * kKeyY[pitchClass + 1] + (1 - f) * kKeyY[pitchClass] + kDotOffsetY);
  dot.red = 2 * frame.brightness;
  dot.green = 2 * frame.brightness;
  dot.blue = 255;
  dot.octave = static_cast<int>(std::floor(frame.pitch / 12));
  return dot;
}

}  // namespace melovantis
