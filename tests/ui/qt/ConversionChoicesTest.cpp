// The Conversion menu's two choices, "Notes at their attacks" and "Notes on their
// nearest keys", reach the MIDI file the window writes: checked (as the window
// starts) it writes what the command line writes by default, unchecked what
// `convert --onset-placement frame --note-keys floor` writes.
#include <QAction>
#include <QMessageBox>

#include <cstdlib>
#include <string>

#include "DesktopFixture.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "ui/CommandIds.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

class ConversionChoices : public DesktopFixture {
 protected:
  // Notes a little off their keys, one struck, one after a legato step.
  void writeRecording() {
    writeMonoWave(wave, concat({constant(6000), noteWithAttack(71.6, 30000, 2500, 0, 0.6),
                                legatoLine({{64.35, 20000}, {66.3, 20000}})}));
  }
  // What the command line writes from the same recording with the program's settings.
  std::vector<std::uint8_t> commandLineMidi(const std::string& options) {
    const fs::path theirs = outside / "cli.mid";
    const std::string command = std::string(MELOVANTIS_CLI) + " convert --quiet '" +
                                wave.string() + "' --settings '" +
                                (folder("Private") / "default.set").string() + "' --midi '" +
                                theirs.string() + "' " + options + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return readFileBytes(theirs);
  }
  bool checked(int commandId) { return desktop->window().action(commandId)->isChecked(); }

  fs::path wave = outside / "gen.wav";
  fs::path midi() { return folder("MIDI files") / "gen.mid"; }
};

TEST_F(ConversionChoices, TheMenusChoicesReachTheMidiFileAsTheCommandLinesOptionsDo) {
  writeRecording();
  EXPECT_TRUE(checked(command::kNotesAtAttacks));
  EXPECT_TRUE(checked(command::kNearestKeys));
  script.choose(wave).answer(QMessageBox::No).choose(midi());
  click(control::kStart);
  ASSERT_TRUE(script.finished());
  const std::vector<std::uint8_t> byDefault = readFileBytes(midi());
  EXPECT_EQ(byDefault, commandLineMidi(""));

  trigger(command::kNearestKeys);
  EXPECT_FALSE(checked(command::kNearestKeys));
  trigger(command::kSaveMidi);  // the keys are the writer's: no new conversion needed
  EXPECT_EQ(readFileBytes(midi()), commandLineMidi("--note-keys floor"));

  trigger(command::kNotesAtAttacks);
  EXPECT_FALSE(checked(command::kNotesAtAttacks));
  click(control::kStart);
  const std::vector<std::uint8_t> earliest = readFileBytes(midi());
  EXPECT_EQ(earliest, commandLineMidi("--onset-placement frame --note-keys floor"));
  EXPECT_NE(earliest, byDefault);

  // Checked again, the next conversion is the default one again.
  trigger(command::kNotesAtAttacks);
  trigger(command::kNearestKeys);
  EXPECT_TRUE(checked(command::kNotesAtAttacks));
  click(control::kStart);
  EXPECT_EQ(readFileBytes(midi()), byDefault);
}

}  // namespace
}  // namespace melovantis::test
