#pragma once

#include <QFont>
#include <QRect>
#include <cmath>

namespace melovantis {

// The window is laid out in dialog units, as its controls were designed: with
// a 10-point Tahoma on a 96-dpi screen one unit is 1.75 pixels across and 2
// down, which puts the piano roll's pixel rectangle (196, 44, 550 x 254)
// exactly between the controls around it.
inline constexpr double kPixelsPerUnitX = 1.75;
inline constexpr int kPixelsPerUnitY = 2;

inline int unitsToPixelsX(int units) {
  return static_cast<int>(std::lround(units * kPixelsPerUnitX));
}

inline QRect unitRect(int x, int y, int width, int height) {
  return {unitsToPixelsX(x), y * kPixelsPerUnitY, unitsToPixelsX(width), height * kPixelsPerUnitY};
}

// The client area below the menu bar: 451 x 260 units.
inline constexpr int kClientWidth = 789;
inline constexpr int kClientHeight = 520;

// The window's font: Tahoma at 10 points, or where it is missing a sans face
// narrowed until its letters are as wide on average as Tahoma's (7 pixels,
// four dialog units), so every caption fits the place it was designed for.
QFont windowFont();

}  // namespace melovantis
