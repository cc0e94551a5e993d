#include "tools/EditModel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/AnalysisEngine.h"

namespace melovantis {

namespace {

// The row under the cursor, or nullptr when the cursor is not on a row in use.
FrameRecord* rowAt(AnalysisEngine& engine, int cursorFrame) {
  if (cursorFrame < 0 || cursorFrame >= engine.frameCount ||
      static_cast<std::size_t>(cursorFrame) >= engine.frames.size()) {
    return nullptr;
  }
  return &engine.frames[static_cast<std::size_t>(cursorFrame)];
}

FrameRecord* pitchedRowAt(AnalysisEngine& engine, int cursorFrame) {
  FrameRecord* row = rowAt(engine, cursorFrame);
  return row != nullptr && row->pitch >= 0.0 ? row : nullptr;
}

// The keyboard picture: white keys 20 pixels wide from x = 16, black keys 10
// wide centred on the borders between white keys, in the upper 54 rows.
constexpr int kKeyboardLeft = 16;
constexpr int kKeyboardRight = 159;
constexpr int kKeyboardTop = 45;
constexpr int kKeyboardBottom = 152;
constexpr int kBlackKeyRows = 53;  // y - top up to this is the black keys' part
constexpr int kWhiteKeys[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kBlackKeys[7] = {1, 3, -1, 6, 8, 10, -1};  // -1: no black key at that border

}  // namespace

void takeUndoSnapshot(AnalysisEngine& engine) {
  const int rows = engine.rowsInUse();
  std::copy_n(engine.frames.begin(), rows, engine.undoFrames.begin());
  engine.tempoFactorUndo = engine.tempoFactor;
}

void undo(AnalysisEngine& engine) {
  const int rows = engine.rowsInUse();
  std::copy_n(engine.undoFrames.begin(), rows, engine.frames.begin());
  engine.tempoFactor = engine.tempoFactorUndo;
}

bool eraseCurrentFrame(AnalysisEngine& engine, int cursorFrame) {
  FrameRecord* row = rowAt(engine, cursorFrame);
  if (row == nullptr) {
    return false;
  }
  row->pitch = kNoPitch;
  row->volume = 0;
  row->brightness = 0;
  row->attack = 0;
  // Removing a frame can start a note at the next one: recompute all flags.
  engine.runAttackPass();
  return true;
}

bool repeatPreviousFrame(AnalysisEngine& engine, int cursorFrame) {
  FrameRecord* row = rowAt(engine, cursorFrame);
  if (row == nullptr || cursorFrame == 0) {
    return false;
  }
  const FrameRecord& previous = engine.frames[static_cast<std::size_t>(cursorFrame) - 1];
  row->pitch = previous.pitch;
  row->volume = previous.volume;
  row->brightness = previous.brightness;
  return true;
}

bool setPitchClass(AnalysisEngine& engine, int cursorFrame, int pitchClass) {
  FrameRecord* row = rowAt(engine, cursorFrame);
  if (row == nullptr || pitchClass < 0 || pitchClass > 11) {
    return false;
  }
  if (row->pitch >= 0.0) {
    // Same octave, fine tuning dropped.
    row->pitch = 12.0 * std::floor(row->pitch / 12.0) + pitchClass;
  } else {
    row->pitch = pitchClass;
    row->volume = 127;
    row->brightness = 127;
  }
  return true;
}

int pitchClassAt(int x, int y) {
  if (x < kKeyboardLeft || x >= kKeyboardRight || y < kKeyboardTop || y >= kKeyboardBottom) {
    return -1;
  }
  if (y - kKeyboardTop <= kBlackKeyRows) {
    const int k = (x - 11) / 10;  // half-key columns, offset by half a black key
    if (k % 2 == 0 && k % 14 != 0 && k % 14 != 6) {
      const int blackKey = kBlackKeys[(k / 2 - 1) % 7];
      if (blackKey >= 0) {
        return blackKey;
      }
    }
  }
  return kWhiteKeys[((x - kKeyboardLeft) / 20) % 7];
}

bool setOctave(AnalysisEngine& engine, int cursorFrame, int octave) {
  FrameRecord* row = pitchedRowAt(engine, cursorFrame);
  if (row == nullptr || octave < 0 || octave > 9) {
    return false;
  }
  const double whole = std::floor(row->pitch);
  row->pitch = std::fmod(whole, 12.0) + 12.0 * octave + (row->pitch - whole);
  return true;
}

bool setFineTuning(AnalysisEngine& engine, int cursorFrame, int cents) {
  FrameRecord* row = pitchedRowAt(engine, cursorFrame);
  if (row == nullptr || cents < 0 || cents > 99) {
    return false;
  }
  row->pitch = std::floor(row->pitch) + 0.01 * cents;
  return true;
}

bool setVolume(AnalysisEngine& engine, int cursorFrame, int volume) {
  FrameRecord* row = pitchedRowAt(engine, cursorFrame);
  if (row == nullptr || volume < 0 || volume > 127) {
    return false;
  }
  row->volume = static_cast<std::uint8_t>(volume);
  return true;
}

bool setBrightness(AnalysisEngine& engine, int cursorFrame, int value) {
  FrameRecord* row = pitchedRowAt(engine, cursorFrame);
  if (row == nullptr || value < 0 || value > 127) {
    return false;
  }
  row->brightness = static_cast<std::uint8_t>(value);
  return true;
}

}  // namespace melovantis
