#pragma once

#include <filesystem>

namespace melovantis {

struct SettingsRecord;

// The window state that a conversion reads and writes: the chosen file, the
// flags that say how the run shows itself, and the range of a re-analysis.
struct ConversionSession {
  std::filesystem::path wavePath;  // empty = no file chosen
  bool processed = false;          // a file has been opened and checked (or converted)
  bool drawingEnabled = true;      // show progress, note panel, and take the undo snapshot
  bool autoSaveMidi = true;        // save the MIDI file after the run
  bool rangeMode = false;          // re-analyse rows rangeStartFrame <= i < rangeEndFrame only
  int rangeStartFrame = 0;
  int rangeEndFrame = 0;
  int cursorFrame = 0;
  SettingsRecord* settings = nullptr;  // receives the sensitivity in force at the end of a run
  int analysisThreads = 0;  // cores the analysis may use; 0 = every core of the machine

  // A run over a whole checked file with nothing on screen and no automatic
  // MIDI save: the command line, batch work and the Settings Wizard's examination.
  static ConversionSession unattended(const std::filesystem::path& wavePath,
                                      SettingsRecord* settings = nullptr) {
    ConversionSession session;
    session.wavePath = wavePath;
    session.processed = true;
    session.drawingEnabled = false;
    session.autoSaveMidi = false;
    session.settings = settings;
    return session;
  }
};

}  // namespace melovantis
