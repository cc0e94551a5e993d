#include "ui/RealTimeMode.h"

#include <algorithm>

#include "documents/EngineSettings.h"
#include "documents/ProgramFolder.h"
#include "documents/SettingsFile.h"
#include "documents/SettingsManager.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"
#include "midi/MidiOutputPorts.h"
#include "ui/MainWindowView.h"
#include "ui/ProgramLauncher.h"

namespace melovantis {

namespace fs = std::filesystem;

RealTimeMode::RealTimeMode(const Services& services, int& midiDevice)
    : services_(services),
      midiDevice_(midiDevice),
      session_(services.engine, services.notifier, services.capture, services.midiPorts) {}

void RealTimeMode::open() {
  services_.settingsManager.setSettingsPath({});
  services_.engine.resetAnalysis();
  const fs::path defaults =
      findDataFile(findDataFolder(services_.programFolder, "Private"), "default_realtime.set");
  readSettingsFile(defaults, services_.settings);
  applySettings();
  // The controls show what the engine runs with: after the real-time defaults,
  // so the attack detector's box and slider match them.
  const AnalysisEngine& engine = services_.engine;
  controls_.gain = static_cast<int>(engine.inputGain * 100 + 0.5);
  controls_.quantize = static_cast<int>(engine.quantizeAmount * 100 + 0.5);
  controls_.transpose = engine.transpose;
  controls_.attackDetector = engine.attackDetectorOn;
  controls_.sensitivity = engine.attackSensitivity;
  publishControls();
}

void RealTimeMode::applySettings() {
  applySettingsToEngine(services_.settings, services_.engine, services_.hook);
  controls_.attackDetector = services_.engine.attackDetectorOn;
  controls_.sensitivity = services_.engine.attackSensitivity;
}

void RealTimeMode::publishControls() {
  LiveControls& live = session_.capture().controls();
  live.inputGain = controls_.gain * 0.01;
  live.quantizeAmount = controls_.quantize * 0.01;
  live.transpose = controls_.transpose;
  live.attackDetectorOn = controls_.attackDetector;
  live.attackSensitivity = controls_.sensitivity;
}

bool RealTimeMode::start() {
  publishControls();
  return session_.start(midiDevice_);
}

void RealTimeMode::close() { session_.stop(); }

template <typename Change>
void RealTimeMode::restart(Change change) {
  session_.stop();
  change();
  start();
}

LiveDisplay RealTimeMode::display() const {
  return LiveDisplay::of(session_.capture().lastFrame());
}

std::vector<std::string> RealTimeMode::midiDeviceEntries() const {
  return melovantis::midiDeviceEntries(services_.midiPorts);
}

std::vector<std::string> RealTimeMode::quickSettingsEntries() const {
  return services_.settingsManager.listQuickSettings();
}

void RealTimeMode::chooseMidiDevice(int id) {
  restart([&] { midiDevice_ = id; });
}

void RealTimeMode::chooseQuickSettings(const std::string& entry) {
  restart([&] {
    if (entry.empty()) {
      return;
    }
    const fs::path file = findDataFolder(services_.programFolder, "QuickSettings") / (entry + ".set");
    services_.settingsManager.setSettingsPath(file);
    // Only a file that was read is announced as loaded.
    if (readSettingsFile(file, services_.settings)) {
      services_.notifier.message(entry + " settings loaded OK!", "Success!",
                                 MessageIcon::Information);
    } else {
      services_.notifier.message("Cannot open settings file " + file.string(), "Error",
                                 MessageIcon::Error);
    }
    applySettings();
  });
}

void RealTimeMode::customSettings() {
  restart([&] {
    if (services_.view.runSettingsDialog(services_.settings, services_.settingsFiles)) {
      applySettings();
    }
  });
}

void RealTimeMode::selectAudioIn() {
  openSoundSettings(services_.launcher, services_.notifier, 4,
                    "Choose the microphone or line input in your desktop's sound settings,\nor "
                    "install pavucontrol to choose it from here.",
                    "Select Audio In");
}

void RealTimeMode::setGain(int value) {
  controls_.gain = std::clamp(value, 100, 500);
  publishControls();
}

void RealTimeMode::setQuantize(int value) {
  controls_.quantize = std::clamp(value, 0, 100);
  publishControls();
}

void RealTimeMode::setTranspose(int value) {
  controls_.transpose = std::clamp(value, -48, 48);
  publishControls();
}

void RealTimeMode::setAttackDetector(bool on) {
  controls_.attackDetector = on;
  services_.settings.attackDetection = on ? 1 : 0;
  publishControls();
}

void RealTimeMode::setSensitivity(int value) {
  controls_.sensitivity = std::clamp(value, 1, 100);
  services_.settings.attackSensitivity = controls_.sensitivity;
  publishControls();
}

}  // namespace melovantis
