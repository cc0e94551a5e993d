#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ModalScript.h"
#include "documents/ProgramFolder.h"
#include "support/FakeSoundOutput.h"
#include "support/RecordingMidiPorts.h"
#include "support/ScriptedCapture.h"
#include "support/WaveFileBuilder.h"
#include "ui/qt/Desktop.h"

namespace melovantis::test {

// The whole desktop program on a fresh program folder, its window shown.
class DesktopFixture : public ::testing::Test {
 protected:
  DesktopFixture();

  std::filesystem::path folder(const std::string& name) const {
    return findDataFolder(program.path(), name);
  }

  // A mono 44100 Hz 16-bit WAVE of three harmonic notes, outside the program folder.
  std::filesystem::path melodyWave(const std::string& name, double seconds = 2.0);

  QWidget* control(int id) { return desktop->window().control(id); }
  QString statusLine();
  void click(int controlId);
  void trigger(int commandId);

  TempFolder program;
  TempFolder outside;
  // The devices the desktop got, still reachable for the tests.
  ScriptedCapture* capture = nullptr;
  RecordingMidiPorts* midiPorts = nullptr;
  FakeSoundOutput* output = nullptr;
  FakeSynthesizer* synthesizer = nullptr;
  std::unique_ptr<Desktop> desktop;
  ModalScript script;
};

}  // namespace melovantis::test
