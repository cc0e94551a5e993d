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
  desktop = std::make_unique<Desktop>(program.path(), fs::path(MELOVANTIS_SOURCE_DIR) / "docs");
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
