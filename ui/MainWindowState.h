#pragma once

#include <filesystem>

namespace melovantis {

// A drag handle of a note-range line, in client pixels, edges included.
struct HandleRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool contains(int x, int y) const {
    return left < right && x >= left && x <= right && y >= top && y <= bottom;
  }
};

// What the main window keeps besides the engine, the settings and the
// conversion session (which holds the WAVE path, `processed`, `drawingEnabled`,
// `autoSaveMidi` and `cursorFrame`).
struct MainWindowState {
  std::filesystem::path programFolder;
  std::filesystem::path midiPath;
  std::filesystem::path projectPath;

  bool unsaved = false;
  bool reconvertPending = false;  // the note-range lines moved: the next play converts again

  // The piano-roll view's rectangle in client pixels.
  int viewLeft = 196;
  int viewTop = 44;
  int viewWidth = 550;
  int viewHeight = 254;
  int viewBottom = 298;

  int cursorX = 196;
  int lastCursorX = 196;  // the last cursor column that fell on a frame

  int zoom = 1;  // 1..5
  double pixelsPerSemitone = 2.0;
  int verticalOffset = 0;

  bool showPitch = true;
  bool showVolume = true;
  bool showBrightness = true;
  bool showAttacks = true;

  bool areaCorrectorOn = false;
  int areaRadius = 15;
  int brushX = 0;
  int brushY = 0;
  bool brushVisible = false;
  bool areaButtonDown = false;

  HandleRect lowHandle;
  HandleRect highHandle;
  bool draggingLow = false;
  bool draggingHigh = false;
};

}  // namespace melovantis
