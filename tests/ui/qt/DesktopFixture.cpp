#include "DesktopFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include "documents/FactoryData.h"
#include "support/TestSignals.h"
#include "ui/CommandIds.h"

namespace melovantis::test {

namespace fs = std::filesystem;

DesktopFixture::DesktopFixture() {
  seedProgramFolder(program.path(), factoryDataFolder());
  DesktopDevices devices;
  auto ownCapture = std::make_unique<ScriptedCapture>(threeNoteMelody(3.0));
  auto ownPorts = std::make_unique<RecordingMidiPorts>();
  auto ownOutput = std::make_unique<FakeSoundOutput>();
  auto ownSynthesizer = std::make_unique<FakeSynthesizer>();
  capture = ownCapture.get();
  midiPorts = ownPorts.get();
  output = ownOutput.get();
  synthesizer = ownSynthesizer.get();
  devices.capture = std::move(ownCapture);
  devices.midiPorts = std::move(ownPorts);
  devices.output = std::move(ownOutput);
  devices.synthesizer = std::move(ownSynthesizer);
  desktop = std::make_unique<Desktop>(program.path(), fs::path(MELOVANTIS_SOURCE_DIR) / "docs",
                                      std::move(devices));
  desktop->initialise();
  desktop->window().show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&desktop->window()));
}

fs::path DesktopFixture::melodyWave(const std::string& name, double seconds) {
  const fs::path path = outside / name;
  writeMonoWave(path, threeNoteMelody(seconds));
  return path;
}

QString DesktopFixture::statusLine() {
  return static_cast<QLineEdit*>(control(control::kStatusLine))->text();
}

void DesktopFixture::click(int controlId) {
  QTest::mouseClick(control(controlId), Qt::LeftButton);
}

void DesktopFixture::trigger(int commandId) { desktop->window().action(commandId)->trigger(); }

}  // namespace melovantis::test
