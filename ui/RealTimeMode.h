#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/LiveDisplay.h"
#include "conversion/LiveSession.h"

namespace melovantis {

class AnalysisEngine;
class AudioCaptureBackend;
class MainWindowView;
class MidiOutputPorts;
class Notifier;
class ProgramLauncher;
class SettingsApplyHook;
class SettingsFileActions;
class SettingsManager;
struct SettingsRecord;

// The positions of the real-time window's live controls.
struct LiveControlValues {
  int gain = 100;        // 100..500: input gain x 100
  int quantize = 0;      // 0..100: soft quantization in percent
  int transpose = 0;     // -48..48 semitones
  bool attackDetector = true;
  int sensitivity = 20;  // 1..100
};

// Real-time mode without its window: opening (its own default settings, the
// live controls back to neutral), the live run on the chosen MIDI device, and
// the handlers that stop the run, make their change and start it again. The
// window shows the lists and controls it gives and draws `display()`.
class RealTimeMode {
 public:
  struct Services {
    AnalysisEngine& engine;
    SettingsRecord& settings;
    SettingsManager& settingsManager;
    SettingsFileActions& settingsFiles;
    Notifier& notifier;
    ProgramLauncher& launcher;
    MainWindowView& view;  // for the settings dialog
    SettingsApplyHook* hook;
    AudioCaptureBackend& capture;
    MidiOutputPorts& midiPorts;
    std::filesystem::path programFolder;
  };

  // `midiDevice` is the device id kept for the program's whole run.
  RealTimeMode(const Services& services, int& midiDevice);

  // The window opens: no current settings file, the engine reset (gain 1,
  // no quantization, no transposition), the real-time default settings read
  // and applied.
  void open();

  // The live run: MIDI output on the device, capture, the first block. False
  // when it could not start (the user has been told); the window stays open.
  bool start();

  // The window closes: the run stopped, the last note-off sent, the device closed.
  void close();

  // On every display update: an input that stopped delivering ends the run
  // with a message (the last note-off sent) rather than silence.
  void watchInput() { session_.checkInput(); }

  bool running() const { return session_.running(); }
  LiveDisplay display() const;
  LiveControlValues controls() const { return controls_; }
  std::vector<std::string> midiDeviceEntries() const;
  std::vector<std::string> quickSettingsEntries() const;

  // Handlers.
  void chooseMidiDevice(int id);
  void chooseQuickSettings(const std::string& entry);
  void customSettings();
  void selectAudioIn();
  void setGain(int value);
  void setQuantize(int value);
  void setTranspose(int value);
  void setAttackDetector(bool on);
  void setSensitivity(int value);

 private:
  // Stops the run, makes the change, and starts it again.
  template <typename Change>
  void restart(Change change);
  void applySettings();
  void publishControls();

  Services services_;
  int& midiDevice_;
  LiveSession session_;
  LiveControlValues controls_;
};

}  // namespace melovantis
