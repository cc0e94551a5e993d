#pragma once

#include <QPainter>

namespace melovantis {

class AnalysisEngine;
class ViewGeometry;
struct MainWindowState;
struct SettingsRecord;

// The piano roll, one function per layer, painted in this order: background,
// area corrector's brush, grid, note-range lines and handles, cursor, then
// the frames (attack ticks, pitch, volume and brightness dots, and circles
// around the cursor's dots).
void paintViewBackground(QPainter& painter, const ViewGeometry& view);
void paintAreaBrush(QPainter& painter, const MainWindowState& state);
void paintGrid(QPainter& painter, const ViewGeometry& view);
void paintRangeLines(QPainter& painter, const ViewGeometry& view, const MainWindowState& state,
                     const SettingsRecord& settings);
void paintCursor(QPainter& painter, const ViewGeometry& view, const MainWindowState& state);
void paintFrames(QPainter& painter, const ViewGeometry& view, const MainWindowState& state,
                 const AnalysisEngine& engine);

// The current-note panel: the keyboard picture at (16, 45) with the dot of
// the frame under the cursor and its octave digit.
void paintCurrentNotePanel(QPainter& painter, const QPixmap& keyboard, const AnalysisEngine& engine,
                           int cursorFrame);

}  // namespace melovantis
