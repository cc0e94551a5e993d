#pragma once

namespace melovantis {

struct ConversionSession;
class Notifier;
class WaveReader;

// What a conversion asks of the window around it, at fixed points of the run.
// The defaults do nothing (or the plain core thing), which is what the command
// line and the silent runs of the tools want.
class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;

  // No file is chosen: let the user pick one (sets session.wavePath, or leaves it empty).
  virtual void openAudioFile(ConversionSession& /*session*/) {}

  // Reopens session.wavePath and applies the format rule; clears the path on failure.
  virtual void checkWaveFormat(ConversionSession& session, WaveReader& reader, Notifier& notifier);

  virtual void showProgressWindow(bool /*visible*/) {}
  virtual void setProgress(int /*percent*/) {}
  virtual void closeProgressWindow() {}

  // Between blocks: keep the window painted (and, in range mode, let a mouse release through).
  virtual void pumpMessages(bool /*rangeMode*/) {}

  // Every 5th block while drawing: show the note of the row just analysed.
  virtual void drawCurrentNotePanel(int /*frame*/) {}

  // After a full run: scroll range for the new table, cursor and note display on frame 0.
  virtual void resetViewToStart() {}

  // The attack-sensitivity slider's position at the end of a run.
  virtual int attackSensitivitySlider(int engineValue) { return engineValue; }

  virtual void redrawView() {}
  virtual void markUnsaved() {}
  virtual void saveMidiFile() {}
  virtual void takeUndoSnapshot() {}
};

}  // namespace melovantis
