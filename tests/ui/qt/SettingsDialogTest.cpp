#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "DesktopFixture.h"
#include "documents/SettingsFile.h"
#include "support/TestFiles.h"
#include "ui/CommandIds.h"
#include "ui/qt/NoteRangeSelector.h"
#include "ui/qt/SettingsDialog.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

SettingsDialog* settingsDialog(QWidget* widget) {
  auto* dialog = dynamic_cast<SettingsDialog*>(widget);
  EXPECT_NE(dialog, nullptr);
  return dialog;
}

class SettingsDialogs : public DesktopFixture {
 protected:
  // A converted recording whose MIDI file is MIDI files/gen.mid.
  void convert() {
    script.choose(melodyWave("gen.wav", 3.0)).answer(QMessageBox::No).choose(midi());
    click(control::kStart);
    ASSERT_TRUE(script.finished());
  }
  fs::path midi() { return folder("MIDI files") / "gen.mid"; }
  void press(SettingsDialog* dialog, const char* caption) {
    dialog->button(QString::fromUtf8(caption))->click();
  }
};

TEST_F(SettingsDialogs, CancelLeavesTheRecordAndTheEngineAsTheyWere) {
  const SettingsRecord before = desktop->main().settings();
  const int threshold = desktop->main().engine().harmonicThreshold;
  script.act([&](QWidget* widget) {
    SettingsDialog* dialog = settingsDialog(widget);
    dialog->harmonicThreshold()->setValue(99);
    dialog->midiChannel()->setValue(9);
    press(dialog, "Cancel");
  });
  click(control::kSettings);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(desktop->main().settings(), before);
  EXPECT_EQ(desktop->main().engine().harmonicThreshold, threshold);
}

TEST_F(SettingsDialogs, SaveWritesWhatIsShownEvenWhenTheDialogIsThenCancelled) {
  const fs::path file = folder("Settings") / "mine.set";
  const int channel = desktop->main().engine().midi.channel;
  script
      .act([&](QWidget* widget) {
        SettingsDialog* dialog = settingsDialog(widget);
        dialog->midiChannel()->setValue(7);
        press(dialog, "Save");  // no current file: Save As asks for a name
        press(dialog, "Cancel");
      })
      .choose(file);
  trigger(command::kCustomize);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen[1].initialName, "noname.set");
  SettingsRecord saved;
  ASSERT_TRUE(readSettingsFile(file, saved));
  EXPECT_EQ(saved.midiChannel, 7);
  EXPECT_EQ(desktop->main().settings().midiChannel, 7);  // taken in by Save
  EXPECT_EQ(desktop->main().engine().midi.channel, channel);  // not applied
  EXPECT_TRUE(statusLine().contains("[Settings: mine]"));
}

TEST_F(SettingsDialogs, ApplyNowAfterAChannelChangeSavesAgainWithoutConverting) {
  convert();
  desktop->main().engine().frames[0].pitch = 50.0;  // gone if the file were converted again
  script.act([&](QWidget* widget) {
    SettingsDialog* dialog = settingsDialog(widget);
    dialog->midiChannel()->setValue(5);
    EXPECT_FALSE(dialog->changed());
    press(dialog, "Apply Now!");
  });
  click(control::kSettings);
  EXPECT_EQ(desktop->main().engine().frames[0].pitch, 50.0);
  EXPECT_EQ(desktop->main().engine().midi.channel, 4);
  const std::vector<std::uint8_t> bytes = readFileBytes(midi());
  // Note-ons on channel 5 now: one status byte 0x94 for every note of the melody.
  EXPECT_GE(std::count(bytes.begin(), bytes.end(), 0x94), 3);
}

TEST_F(SettingsDialogs, ApplyNowAfterMovingTheTimeResolutionConvertsFirst) {
  convert();
  const int frames = desktop->main().engine().frameCount;
  desktop->main().engine().frames[0].pitch = 50.0;
  script.act([&](QWidget* widget) {
    SettingsDialog* dialog = settingsDialog(widget);
    dialog->timeResolution()->setValue(40);
    EXPECT_TRUE(dialog->changed());
    press(dialog, "Apply Now!");
  });
  click(control::kSettings);
  EXPECT_NE(desktop->main().engine().frames[0].pitch, 50.0);
  EXPECT_GT(desktop->main().engine().frameCount, frames);  // shorter frames, more of them
  EXPECT_EQ(desktop->main().settings().timeResolutionMs, 40);
}

TEST_F(SettingsDialogs, TheDialogShowsTheRecordWithItsNoteRangeText) {
  SettingsFileActions& files = desktop->main();
  SettingsDialog dialog(files, nullptr);
  SettingsRecord record;
  record.lowestNote = 48;
  record.highestNote = 72;
  record.gmVoice = 128;
  record.bpmChoice = 0;
  dialog.setValues(record);
  EXPECT_EQ(dialog.noteRange()->text(), "C4 to C6\n(2.1 octaves)");
  EXPECT_EQ(dialog.gmVoice()->currentText(), "[ NONE ]");
  EXPECT_EQ(dialog.gmVoice()->itemText(0), "001. Acoustic Grand Piano");
  EXPECT_EQ(dialog.bpm()->currentText(), " [SMPTE]");
  EXPECT_EQ(dialog.bpm()->itemText(101), "120");
  EXPECT_EQ(dialog.timeResolutionBoost()->itemText(2), "2. Super (5 ms)");
  EXPECT_EQ(dialog.values(), record);  // every field comes back as it went in
}

TEST_F(SettingsDialogs, CancellingTheRangeSelectorKeepsTheRangeAndItsText) {
  script.act([&](QWidget* widget) {
    SettingsDialog* dialog = settingsDialog(widget);
    const QString before = dialog->noteRange()->text();
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
      if (b->text() == "Define...") {
        b->click();  // the selector is answered by the next step
      }
    }
    EXPECT_EQ(dialog->noteRange()->text(), before);
    EXPECT_FALSE(dialog->changed());
    press(dialog, "Cancel");
  });
  script.act([&](QWidget* widget) {
    auto* selector = dynamic_cast<NoteRangeSelector*>(widget);
    ASSERT_NE(selector, nullptr);
    QTest::mouseClick(selector, Qt::LeftButton, {}, QPoint(20, 80));
    EXPECT_EQ(selector->values().lowestNote, 2);
    selector->reject();
  });
  click(control::kSettings);
  EXPECT_TRUE(script.finished());
}

class RangeSelector : public ::testing::Test {
 protected:
  RangeSelector() : selector(nullptr) {
    selector.setValues({24, 96, 280, 1120});  // C2 to C8
    selector.show();
  }
  void clickAt(int x, int y, bool shift = false) {
    QTest::mouseClick(&selector, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                      QPoint(x, y));
  }
  NoteRangeSelector selector;
};

TEST_F(RangeSelector, ClicksPickBlackKeysInTheUpperRowsAndWhiteKeysBelowAndBetween) {
  clickAt(20, 30);
  EXPECT_EQ(selector.values().lowestNote, 1);  // C#0
  clickAt(20, 80);
  EXPECT_EQ(selector.values().lowestNote, 2);  // D0
  clickAt(25, 30);
  EXPECT_EQ(selector.values().lowestNote, 2);  // right of the C# column
  clickAt(62, 30);
  EXPECT_EQ(selector.values().lowestNote, 5);  // E-F border has no black key
  EXPECT_EQ(selector.values().lowestNoteMarkX, 62);
  const NoteRange before = selector.values();
  clickAt(300, 110);  // below the keyboard
  EXPECT_EQ(selector.values(), before);
}

TEST_F(RangeSelector, EndsChosenOutOfOrderAreExchanged) {
  selector.scrollBar()->setValue(700);  // octave 5 at the left edge
  clickAt(810 - 700, 80);               // A5
  clickAt(705 - 700, 80, true);         // Shift: C5, left of the lowest mark
  EXPECT_EQ(selector.values(), (NoteRange{60, 69, 705, 810}));
  EXPECT_EQ(selector.statusText(), "Selected range C5 to A5 (0.8 octaves)");
  clickAt(10, 80);
  clickAt(12, 80, true);
  EXPECT_EQ(selector.statusText(), "Selected range C5 to C5 (0.1 octaves)");
}

TEST_F(RangeSelector, TheChosenSpanIsInvertedFromTheLowestMarksColumnToTheHighestMarksColumn) {
  selector.setValues({26, 35, 105, 405});  // D2 to B2, marked at keyboard x 105 and 405
  const QImage image = selector.grab().toImage();
  // White keys in row 80: 250 grey plain, 5 inverted. Columns start at multiples of 10.
  const auto inverted = [&](int x) { return image.pixelColor(x, 80).red() < 128; };
  EXPECT_FALSE(inverted(95));   // column 90..99 ends before mark 105
  EXPECT_TRUE(inverted(100));   // column 100..109 holds it
  EXPECT_TRUE(inverted(250));
  EXPECT_TRUE(inverted(409));   // column 400..409 holds mark 405
  EXPECT_FALSE(inverted(410));
  selector.scrollBar()->setValue(50);  // the same columns, 50 pixels further left
  const QImage scrolled = selector.grab().toImage();
  EXPECT_GT(scrolled.pixelColor(45, 80).red(), 128);
  EXPECT_LT(scrolled.pixelColor(50, 80).red(), 128);
  EXPECT_LT(scrolled.pixelColor(359, 80).red(), 128);
  EXPECT_GT(scrolled.pixelColor(360, 80).red(), 128);
}

}  // namespace
}  // namespace melovantis::test
