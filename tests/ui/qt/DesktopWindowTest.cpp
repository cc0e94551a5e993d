#include <QApplication>
#include <QDialog>
#include <QTest>
#include <cstdlib>

#include "DesktopFixture.h"
#include "support/TestFiles.h"
#include "support/TestSignals.h"
#include "ui/CommandIds.h"
#include "ui/qt/ClientArea.h"
#include "ui/qt/GroupFrame.h"
#include "ui/qt/SplashWindow.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

using DesktopWindow = DesktopFixture;

// What the command line writes for `wave` with the program folder's default settings.
std::vector<std::uint8_t> commandLineMidi(const fs::path& wave, const fs::path& settings,
                                          const fs::path& out) {
  const std::string command = std::string(MELOVANTIS_CLI) + " convert --quiet '" + wave.string() +
                              "' --settings '" + settings.string() + "' --midi '" + out.string() +
                              "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return readFileBytes(out);
}

TEST_F(DesktopWindow, StartsWithTheEmptyStatusLineAndThePlainTitle) {
  EXPECT_EQ(statusLine(),
            "[Wave: -]     [Settings: <default>]     [MIDI: -]     [Melovantis: -]");
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae"));
}

TEST_F(DesktopWindow, SaveMidiBeforeAnythingIsLoadedSaysSoAndWritesNothing) {
  script.answer(QMessageBox::Ok);
  click(control::kSaveMidi);
  ASSERT_EQ(script.seen.size(), 1u);
  EXPECT_EQ(script.seen[0].text, "Wave file not processed yet!");
  EXPECT_EQ(script.seen[0].caption, "Error");
  EXPECT_EQ(script.seen[0].icon, QMessageBox::Critical);
  EXPECT_TRUE(fs::is_empty(folder("MIDI files")));
}

TEST_F(DesktopWindow, AStereoWaveThatReachesTheFormatRuleIsRefused) {
  // A converter in the program folder that copies its input lets the stereo file through.
  writeText(program / "ffmpeg", "#!/bin/sh\ncp \"$2\" \"${12}\"\n");
  fs::permissions(program / "ffmpeg", fs::perms::owner_all);
  WaveFileBuilder().fmt(1, 2).data(harmonicTone(69, 4410)).write(outside / "duet.wav");
  script.choose(outside / "duet.wav").answer(QMessageBox::Ok);
  trigger(command::kOpenAudioFile);

  ASSERT_EQ(script.seen.size(), 2u);
  EXPECT_EQ(script.seen[0].kind, "open");
  EXPECT_EQ(script.seen[0].folder, QString::fromStdString(folder("Wave files").string()));
  EXPECT_EQ(script.seen[1].caption, "Not suitable format.");
  EXPECT_EQ(script.seen[1].icon, QMessageBox::Information);
  EXPECT_TRUE(script.seen[1].text.contains(
      "Type: Uncompressed PCM, Stereo, Sample rate:44100 Hz, 16-bits/sample"));
  EXPECT_TRUE(statusLine().startsWith("[Wave: -]"));
}

TEST_F(DesktopWindow, AnMp3IsConvertedByFfmpegIntoThePcmFolderAndNamedInTheStatusLine) {
  const fs::path wave = melodyWave("song.wav");
  const fs::path mp3 = outside / "song.mp3";
  ASSERT_TRUE(encodeWithFfmpeg(wave, mp3));
  script.choose(mp3).answer(QMessageBox::No);
  trigger(command::kOpenAudioFile);
  EXPECT_TRUE(fs::is_regular_file(folder("Wave files/PCM") / "song.wav"));
  EXPECT_TRUE(statusLine().startsWith("[Wave: song]     [Settings: <default>]"));

  script.choose(melodyWave("take.1.wav")).answer(QMessageBox::No);
  trigger(command::kOpenAudioFile);
  EXPECT_TRUE(statusLine().startsWith("[Wave: take.1]"));
  EXPECT_TRUE(script.finished());
}

TEST_F(DesktopWindow, StartAndEnterConvertAndSaveWhatTheCommandLineWrites) {
  const fs::path wave = melodyWave("gen.wav", 3.0);
  const fs::path midi = folder("MIDI files") / "gen.mid";
  script.choose(wave).answer(QMessageBox::No).choose(midi);
  click(control::kStart);

  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen[2].kind, "save");
  EXPECT_EQ(script.seen[2].initialName, "gen.mid");
  EXPECT_EQ(script.seen[2].folder, QString::fromStdString(folder("MIDI files").string()));
  EXPECT_EQ(script.seen[2].filters, QStringList{QStringLiteral("MIDI files (*.mid)")});
  EXPECT_GT(desktop->main().engine().frameCount, 50);
  const auto expected = commandLineMidi(wave, folder("Private") / "default.set", outside / "cli.mid");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readFileBytes(midi), expected);
  EXPECT_TRUE(statusLine().contains("[MIDI: gen]"));

  // Enter converts the same file again and saves it to the same MIDI file, without asking.
  fs::remove(midi);
  QTest::keyClick(&desktop->window(), Qt::Key_Return);
  EXPECT_EQ(readFileBytes(midi), expected);
  EXPECT_EQ(desktop->window().progressWindow(ProgressKind::Conversion), nullptr);
}

TEST_F(DesktopWindow, AnsweringNoToOverwritingKeepsTheMidiPath) {
  script.choose(melodyWave("gen.wav")).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  writeText(folder("MIDI files") / "other.mid", "keep");
  script.choose(folder("MIDI files") / "other.mid").answer(QMessageBox::No);
  trigger(command::kSaveMidiAs);
  EXPECT_EQ(script.seen.back().text, "File exists. Overwrite?");
  EXPECT_EQ(script.seen.back().caption, "Warning!");
  EXPECT_EQ(readText(folder("MIDI files") / "other.mid"), "keep");
  EXPECT_TRUE(statusLine().contains("[MIDI: gen]"));
}

TEST_F(DesktopWindow, SaveProjectConfirmsWithItsPathAndSaveProjectAsSaysNothing) {
  script.choose(melodyWave("gen.wav")).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  const fs::path project = folder("Melovantis files") / "gen.mvt";
  script.choose(project);
  trigger(command::kSaveProjectAs);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(script.seen.back().kind, "save");
  EXPECT_EQ(script.seen.back().initialName, "gen.mvt");
  script.answer(QMessageBox::Ok);
  trigger(command::kSaveProject);
  EXPECT_EQ(script.seen.back().text,
            QString::fromStdString("Melovantis file saved as " + project.string()));
  EXPECT_EQ(script.seen.back().caption, "Saved OK");
  EXPECT_TRUE(fs::is_regular_file(project));
}

TEST_F(DesktopWindow, ClosingWithUnsavedEditsAsksFirstAndNoKeepsEverything) {
  script.choose(melodyWave("gen.wav")).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  click(control::kErase);
  ASSERT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae [unsaved]"));
  const double erased = desktop->main().engine().frames[0].pitch;

  script.answer(QMessageBox::No);
  desktop->window().close();
  EXPECT_TRUE(desktop->window().isVisible());
  EXPECT_EQ(script.seen.back().text, "This will terminate Melovantis.\nAre you sure ?");
  EXPECT_EQ(script.seen.back().caption, "Warning!");
  EXPECT_EQ(script.seen.back().icon, QMessageBox::Critical);
  EXPECT_EQ(desktop->main().engine().frames[0].pitch, erased);
  EXPECT_EQ(desktop->window().windowTitle(), QString::fromUtf8("Melovantis\u00ae [unsaved]"));

  script.answer(QMessageBox::Yes);
  trigger(command::kExit);
  EXPECT_FALSE(desktop->window().isVisible());
}

TEST_F(DesktopWindow, TheSplashClosesOnAClickThatDoesNothingElse) {
  SplashWindow splash(QStringLiteral("test"));
  splash.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
  click(control::kSaveMidi);  // would say "Wave file not processed yet!"
  EXPECT_FALSE(splash.isOpen());
  EXPECT_FALSE(splash.isVisible());
  QTest::qWait(50);
  EXPECT_TRUE(script.seen.empty());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(DesktopWindow, TheSplashClosesByItselfAfterThreeSeconds) {
  SplashWindow splash(QStringLiteral("test"));
  splash.show();
  EXPECT_TRUE(splash.isOpen());
  EXPECT_TRUE(waitUntil([&] { return !splash.isOpen(); }, 4.0));
}

TEST_F(DesktopWindow, HelpPagesWithNoBrowserToShowThemSayWhereTheyAre) {
  // The offscreen test display has no browser launcher, as many a bare desktop has none.
  script.answer(QMessageBox::Ok);
  trigger(command::kShowUsersGuide);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen[0].caption, "Show User's Guide");
  EXPECT_EQ(script.seen[0].icon, QMessageBox::Information);
  const fs::path page = fs::path(MELOVANTIS_SOURCE_DIR) / "docs" / "user-guide.html";
  EXPECT_TRUE(script.seen[0].text.contains(QString::fromStdString(page.string())))
      << script.seen[0].text.toStdString();
}

TEST_F(DesktopWindow, TheCurrentNoteAndQuickSettingsControlsFollowWhatIsLoaded) {
  const auto sliders = [&] {
    std::vector<int> values;
    for (const int id : {control::kOctaveSlider, control::kCentsSlider, control::kVolumeSlider,
                         control::kBrightnessSlider}) {
      values.push_back(desktop->window().controls().sliders.at(id)->value());
    }
    return values;
  };
  const auto noteWords = [&] {
    return desktop->window().controls().sliderFrames.at(control::kOctaveSlider)->valueText();
  };
  const fs::path wave = melodyWave("gen.wav");
  script.choose(wave).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  QTest::mouseClick(desktop->window().clientArea(), Qt::LeftButton, {}, QPoint(196 + 20, 150));
  const std::vector<int> loaded = sliders();
  EXPECT_EQ(loaded[0], 6);  // C6 under the cursor
  EXPECT_EQ(noteWords(), "C6");
  const fs::path project = folder("Melovantis files") / "gen.mvt";
  script.choose(project);
  trigger(command::kSaveProjectAs);

  // Open: no table, so no note.
  script.choose(melodyWave("other.wav")).answer(QMessageBox::No);
  trigger(command::kOpenAudioFile);
  EXPECT_EQ(sliders(), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(noteWords(), "");

  // Open project: its first frame, an A5.
  script.choose(project);
  trigger(command::kOpenProject);
  EXPECT_EQ(sliders()[0], 5);
  EXPECT_EQ(noteWords(), "A5");

  // The Settings Wizard leaves no table either.
  script.choose(wave).answer(QMessageBox::No);
  trigger(command::kOpenAudioFile);
  script.choose(folder("MIDI files") / "gen.mid").answer(QMessageBox::Yes);
  click(control::kStart);
  EXPECT_EQ(noteWords(), "A5");
  script.act([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  click(control::kSettingsWizard);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(sliders(), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(noteWords(), "");

  // The Quick Settings box shows the entry in use, and nothing once other settings are.
  QComboBox* quick = desktop->window().controls().quickSettings;
  quick->setCurrentIndex(quick->findText("flute"));
  quick->activated(quick->currentIndex());
  EXPECT_TRUE(statusLine().contains("[Settings: flute]"));
  script.answer(QMessageBox::Ok);
  trigger(command::kLoadDefaults);
  EXPECT_EQ(quick->currentIndex(), -1);
  EXPECT_TRUE(statusLine().contains("[Settings: <default>]"));
}

}  // namespace
}  // namespace melovantis::test
