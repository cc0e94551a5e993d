#pragma once

#include <QString>
#include <filesystem>
#include <memory>

#include "ui/MainWindow.h"
#include "ui/ProgramLauncher.h"
#include "audio/AudioCaptureBackend.h"
#include "audio/AudioOutput.h"
#include "midi/MidiOutputPorts.h"
#include "midi/MidiRenderer.h"
#include "ui/SoundPlayer.h"
#include "ui/qt/QtFileDialogs.h"
#include "ui/qt/QtMainWindow.h"
#include "ui/qt/QtNotifier.h"

namespace melovantis {

// The sound card and the MIDI system as the program sees them.
struct DesktopDevices {
  std::unique_ptr<AudioCaptureBackend> capture;
  std::unique_ptr<MidiOutputPorts> midiPorts;
  std::unique_ptr<AudioOutput> output;
  std::unique_ptr<MidiRenderer> synthesizer;

  // RtAudio, RtMidi and FluidSynth.
  static DesktopDevices system();
};

// The desktop program put together: the Qt window, its message boxes and file
// dialogs, the preview player and the main window's commands, for one
// program folder. The program and the widget tests build the same thing (the
// tests with devices of their own).
class Desktop {
 public:
  Desktop(const std::filesystem::path& programFolder, const std::filesystem::path& documentation,
          DesktopDevices devices = DesktopDevices::system());

  // Applies the start-up settings and fills the window's lists.
  void initialise() { main_.initialise(); }

  QtMainWindow& window() { return window_; }
  MainWindow& main() { return main_; }
  PreviewPlayer& player() { return player_; }

  static QString version();

 private:
  DesktopDevices devices_;
  QtNotifier notifier_;
  QtFileDialogs dialogs_;
  SoundPlayer player_;
  SystemProgramLauncher launcher_;
  QtMainWindow window_;
  MainWindow main_;
};

}  // namespace melovantis
