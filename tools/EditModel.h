#pragma once

namespace melovantis {

class AnalysisEngine;

// Single-frame edits of the frame table and the one-level undo.
//
// Every edit works in place on the engine's rows 0..frameCount-1 and ignores a
// cursor frame outside them, so an empty table (as after the settings wizard)
// is never written. Whether an edit is allowed at all (a file processed) and
// what follows it on screen (cursor update, redraw, unsaved mark) is the
// window's business; the edits return true when they changed the table.
// No edit takes an undo snapshot: Undo after a single edit returns to the
// last cursor placement, scroll or tool start.

// Copies the rows in use and the tempo factor into the undo copy. Taking a new
// snapshot replaces the old one.
void takeUndoSnapshot(AnalysisEngine& engine);

// Copies the undo copy back over the rows in use and restores the tempo
// factor. The snapshot stays, so a second undo gives the same state again.
void undo(AnalysisEngine& engine);

// Erase: the frame loses pitch, volume, brightness and attack, and the attack
// flags of the whole table are recomputed.
bool eraseCurrentFrame(AnalysisEngine& engine, int cursorFrame);

// Repeat: the frame takes pitch, volume and brightness of the frame before it.
// Its attack flag stays and no attack pass runs. Frame 0 has nothing to repeat.
bool repeatPreviousFrame(AnalysisEngine& engine, int cursorFrame);

// A click on a key of the one-octave keyboard picture. A pitched frame keeps
// its octave and drops its fine tuning; an unpitched one becomes the pitch
// class itself (0..11) at full volume and brightness.
bool setPitchClass(AnalysisEngine& engine, int cursorFrame, int pitchClass);

// The key of the keyboard picture under client pixel (x, y): 0..11, or -1.
int pitchClassAt(int x, int y);

// The current-note sliders. Each changes one field of a pitched frame only
// and ignores values outside its slider's range.
bool setOctave(AnalysisEngine& engine, int cursorFrame, int octave);     // 0..9
bool setFineTuning(AnalysisEngine& engine, int cursorFrame, int cents);  // 0..99
bool setVolume(AnalysisEngine& engine, int cursorFrame, int volume);     // 0..127
bool setBrightness(AnalysisEngine& engine, int cursorFrame, int value);  // 0..127

}  // namespace melovantis
