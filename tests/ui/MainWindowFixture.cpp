#include "ui/MainWindowFixture.h"

#include "documents/FactoryData.h"
#include "support/TestSignals.h"
#include "ui/CommandIds.h"

namespace melovantis::test {

namespace fs = std::filesystem;

MainWindowFixture::MainWindowFixture()
    : window({notifier, dialogs, view, player, launcher, capture, midiPorts}, program.path(),
             fs::path(MELOVANTIS_SOURCE_DIR) / "docs") {
  seedProgramFolder(program.path(), factoryDataFolder());
  window.initialise();
}

fs::path MainWindowFixture::melodyWave(const std::string& name, double seconds) {
  const fs::path path = outside / name;
  writeMonoWave(path, threeNoteMelody(seconds));
  return path;
}

void MainWindowFixture::openAudio(const fs::path& source) {
  dialogs.choose(source);
  notifier.answer(false);  // no Settings Wizard
  window.activate(command::kOpenAudioFile);
}

void MainWindowFixture::convertAndSave(const fs::path& source, const std::string& midiName) {
  openAudio(source);
  dialogs.choose(folder("MIDI files") / midiName);
  window.activate(command::kStart);
}

}  // namespace melovantis::test
