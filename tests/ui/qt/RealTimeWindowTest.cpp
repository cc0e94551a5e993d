#include <QTest>
#include <algorithm>
#include <cmath>

#include "DesktopFixture.h"
#include "documents/FrameLengthTable.h"
#include "documents/SettingsFile.h"
#include "support/TestFiles.h"
#include "ui/CommandIds.h"
#include "ui/qt/PlayerWidget.h"
#include "ui/qt/RealTimeWindow.h"

namespace melovantis::test {
namespace {

namespace fs = std::filesystem;

using RealTimeWindowTest = DesktopFixture;

// Whether a note-on of any of `notes` reached the program's own MIDI port.
bool noteOnSent(const RecordingMidiSink& port, std::initializer_list<int> notes) {
  return std::any_of(port.messages.begin(), port.messages.end(), [&](const MidiMessage& m) {
    return (m.status & 0xF0) == 0x90 && m.data2 > 0 &&
           std::find(notes.begin(), notes.end(), m.data1) != notes.end();
  });
}

TEST_F(RealTimeWindowTest, OpensFromTheMainWindowShowsWhatIsSungAndClosesBackToTheWorkUnchanged) {
  script.choose(melodyWave("gen.wav")).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  const int frames = desktop->main().engine().frameCount;
  const double pitch = desktop->main().engine().frames[3].pitch;
  const QString status = statusLine();

  script.act([&](QWidget* widget) {
    auto* window = dynamic_cast<RealTimeWindow*>(widget);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Real-time");
    EXPECT_EQ(window->midiOutput()->count(), 2);
    EXPECT_EQ(window->midiOutput()->itemText(0), "0. Melovantis");
    EXPECT_EQ(window->midiOutput()->currentIndex(), -1);  // no selection at first
    EXPECT_EQ(window->quickSettings()->currentIndex(), -1);
    EXPECT_EQ(window->gain()->value(), 100);
    EXPECT_EQ(window->transpose()->minimum(), -48);
    // The scripted input sings A, C and E above middle C at four times real speed.
    EXPECT_TRUE(waitUntil([&] { return window->note()->text() == "A5"; }, 5.0))
        << window->note()->text().toStdString();
    // Once the smoothing has settled on the note: its frequency to a tenth of a hertz or two.
    const auto frequency = [&] { return window->frequency()->text().toDouble(); };
    EXPECT_TRUE(waitUntil([&] { return std::abs(frequency() - 440.0) < 0.3; }, 5.0))
        << window->frequency()->text().toStdString();
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.pixelColor(221, 71), QColor(0, 255, 0));  // the first meter segment lit
    window->transpose()->setValue(12);  // as the user moves it
    window->sensitivity()->setValue(33);
    // C6 and E6 an octave up: notes the melody itself never reaches.
    EXPECT_TRUE(waitUntil([&] { return window->note()->text().endsWith("7"); }, 5.0))
        << window->note()->text().toStdString();
    window->reject();
    EXPECT_TRUE(noteOnSent(midiPorts->devices[0], {84, 88}));
    EXPECT_EQ(desktop->main().engine().attackSensitivity, 33);  // what the last blocks used
    EXPECT_EQ(desktop->main().settings().attackSensitivity, 33);
    EXPECT_FALSE(noteOnSent(midiPorts->devices[0], {60, 64}));
  });
  click(control::kRealTimeStart);
  ASSERT_TRUE(script.finished());
  // The live notes went to the program's own port, which was closed with a note-off at the end.
  EXPECT_EQ(midiPorts->log.front(), "open 0");
  EXPECT_EQ(midiPorts->log.back(), "close 0");
  EXPECT_EQ(desktop->main().engine().frameCount, frames);
  EXPECT_EQ(desktop->main().engine().frames[3].pitch, pitch);
  EXPECT_EQ(desktop->main().engine().transpose, 0);
  EXPECT_EQ(statusLine().left(20), status.left(20));
}

TEST_F(RealTimeWindowTest, RunsWithItsOwnSettingsTheirBlockLengthAndSensitivityReachTheLiveRun) {
  SettingsRecord realtime;
  ASSERT_TRUE(readSettingsFile(folder("Private") / "default_realtime.set", realtime));
  ASSERT_EQ(realtime.timeResolutionMs, 32);
  ASSERT_NE(desktop->main().settings().attackSensitivity, realtime.attackSensitivity);
  script.act([&](QWidget* widget) {
    auto* window = dynamic_cast<RealTimeWindow*>(widget);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->sensitivity()->value(), realtime.attackSensitivity);
    EXPECT_TRUE(desktop->main().settingsPath().empty());
    EXPECT_TRUE(waitUntil([&] { return !window->note()->text().trimmed().isEmpty(); }, 5.0));
    window->reject();
    // The run has stopped: what it ran with. 32 ms is 1411 samples, and the
    // longest frame below that is 1372 (90 ms would have been 3920).
    EXPECT_EQ(capture->lastFramesPerPiece, 1372);
    EXPECT_EQ(desktop->main().engine().attackSensitivity, realtime.attackSensitivity);
  });
  click(control::kRealTimeStart);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(desktop->main().engine().frameSize, 3920);  // the main window's settings again
}

TEST_F(RealTimeWindowTest, AQuickSettingChosenInsideRunsAndLeavesTheSettingsFileInUseToSave) {
  QComboBox* quick = desktop->window().controls().quickSettings;
  quick->setCurrentIndex(quick->findText("voice"));
  quick->activated(quick->currentIndex());
  const fs::path violin = folder("QuickSettings") / "violin.set";
  const std::string violinText = readText(violin);
  SettingsRecord violinRecord;
  ASSERT_TRUE(readSettingsFile(violin, violinRecord));

  script
      .act([&](QWidget* widget) {
        auto* window = dynamic_cast<RealTimeWindow*>(widget);
        ASSERT_NE(window, nullptr);
        const int entry = window->quickSettings()->findText("violin");
        window->quickSettings()->setCurrentIndex(entry);
        window->quickSettings()->activated(entry);  // "violin settings loaded OK!"
        EXPECT_TRUE(window->isVisible());
        window->reject();
        // 46 ms: the run started again on the violin's frame length.
        EXPECT_EQ(capture->lastFramesPerPiece, frameLengthForMs(violinRecord.timeResolutionMs));
        EXPECT_EQ(capture->lastFramesPerPiece, 2016);
      })
      .answer(QMessageBox::Ok);
  click(control::kRealTimeStart);
  ASSERT_TRUE(script.finished());
  EXPECT_EQ(script.seen[1].text, "violin settings loaded OK!");

  // Back in the main window: the voice settings and their name, which Save writes.
  EXPECT_TRUE(statusLine().contains("[Settings: voice]")) << statusLine().toStdString();
  EXPECT_EQ(quick->currentText(), "voice");
  script.answer(QMessageBox::Ok);
  trigger(command::kSettingsSave);
  EXPECT_EQ(readText(violin), violinText);
  SettingsRecord saved;
  SettingsRecord voice;
  ASSERT_TRUE(readSettingsFile(folder("Settings") / "voice.set", saved));
  ASSERT_TRUE(readSettingsFile(folder("QuickSettings") / "voice.set", voice));
  EXPECT_EQ(saved, voice);
}

TEST_F(RealTimeWindowTest, AnInputThatStopsDeliveringEndsTheRunWithAMessageAfterTheLastNoteOff) {
  capture->stopsAfterTheSamples = true;  // three notes, then nothing, as from a stopped server
  std::vector<std::string> logWhenTold;
  script
      .act([&](QWidget* widget) {
        auto* window = dynamic_cast<RealTimeWindow*>(widget);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(waitUntil([&] { return script.seen.size() >= 2; }, 10.0));
        window->reject();
      })
      .act([&](QWidget* box) {
        logWhenTold = midiPorts->log;
        static_cast<QDialog*>(box)->accept();
      });
  click(control::kRealTimeStart);
  ASSERT_TRUE(script.finished());
  ASSERT_EQ(script.seen.size(), 2u);
  EXPECT_EQ(script.seen[1].caption, "Error");
  EXPECT_EQ(script.seen[1].text,
            "No sound has come from the audio input for a second: it was disconnected, or its "
            "sound system stopped. The live run has ended.");
  // By the time the message shows, the sounding note has ended and the device is closed.
  ASSERT_GE(logWhenTold.size(), 2u);
  EXPECT_EQ(logWhenTold.back(), "close 0");
  EXPECT_EQ(logWhenTold[logWhenTold.size() - 2].substr(0, 2), "80");
  EXPECT_EQ(midiPorts->log, logWhenTold);  // and nothing after it
}

TEST_F(RealTimeWindowTest, ThePlayerPlaysTheSavedMidiFileThroughTheSoundOutput) {
  script.choose(melodyWave("gen.wav")).answer(QMessageBox::No).choose(folder("MIDI files") / "gen.mid");
  click(control::kStart);
  auto* player = static_cast<PlayerWidget*>(desktop->window().control(control::kMediaPlayer));
  QTest::mouseClick(player->button(PlayerAction::Play), Qt::LeftButton);
  EXPECT_TRUE(waitUntil([&] { return output->loudFrames.load() > 0; }, 5.0));
  EXPECT_EQ(desktop->player().state(), PlayState::Playing);
  EXPECT_EQ(synthesizer->loads, 1);
  QTest::mouseClick(player->button(PlayerAction::Stop), Qt::LeftButton);
  EXPECT_EQ(desktop->player().state(), PlayState::Stopped);
  EXPECT_EQ(player->noteText(), "gen.mid");
}

// The player's controls after a conversion: on the WAVE file (two seconds,
// which the test output plays in a fraction of that), or on the MIDI file,
// which the test synthesizer plays for a minute.
class PreviewPlayerWidget : public DesktopFixture {
 protected:
  explicit PreviewPlayerWidget(bool wave = true) {
    synthesizer->seconds = 60.0;
    script.choose(melodyWave("gen.wav"))
        .answer(QMessageBox::No)
        .choose(folder("MIDI files") / "gen.mid");
    click(control::kStart);
    player = static_cast<PlayerWidget*>(desktop->window().control(control::kMediaPlayer));
    if (wave) {
      QComboBox* type = desktop->window().controls().playerType;
      type->setCurrentIndex(1);
      type->activated(1);  // "WAVE Player"
    }
  }
  void press(PlayerAction action) { QTest::mouseClick(player->button(action), Qt::LeftButton); }
  bool enabled(PlayerAction action) const { return player->button(action)->isEnabled(); }
  bool playedToTheEnd() {
    return waitUntil([&] {
      player->refresh();  // as its timer does
      return desktop->player().state() == PlayState::Stopped && !output->running();
    }, 5.0);
  }
  PlayerWidget* player = nullptr;
};

TEST_F(PreviewPlayerWidget, APieceThatPlayedToItsEndIsStoppedWithItsOutputAndPlaysAgain) {
  press(PlayerAction::Play);
  ASSERT_TRUE(playedToTheEnd());
  EXPECT_TRUE(enabled(PlayerAction::Play));
  EXPECT_FALSE(enabled(PlayerAction::Pause));
  EXPECT_FALSE(enabled(PlayerAction::Stop));
  EXPECT_EQ(player->timeText(), "0:02 / 0:02");
  const long long heard = output->loudFrames.load();
  EXPECT_GT(heard, 80000);  // two seconds of tone, bar its zero crossings

  press(PlayerAction::Play);  // from the start again
  EXPECT_EQ(desktop->player().state(), PlayState::Playing);
  EXPECT_TRUE(enabled(PlayerAction::Pause));
  ASSERT_TRUE(playedToTheEnd());
  EXPECT_EQ(output->loudFrames.load() - heard, heard);
}

TEST_F(PreviewPlayerWidget, ASeekAfterTheEndPlaysFromThere) {
  press(PlayerAction::Play);
  ASSERT_TRUE(playedToTheEnd());
  const long long heard = output->loudFrames.load();
  player->positionBar()->sliderMoved(15);  // 1.5 s, as the user drags it
  EXPECT_EQ(desktop->player().state(), PlayState::Stopped);
  press(PlayerAction::Play);
  ASSERT_TRUE(playedToTheEnd());
  // The last quarter of the piece, no more.
  EXPECT_NEAR(static_cast<double>(output->loudFrames.load() - heard) / heard, 0.25, 0.03);
}

class LongPreview : public PreviewPlayerWidget {
 protected:
  LongPreview() : PreviewPlayerWidget(false) {}
};

TEST_F(LongPreview, PauseKeepsThePlaceAndStopWhilePausedReturnsToTheStart) {
  press(PlayerAction::Play);
  ASSERT_TRUE(waitUntil([&] { return output->loudFrames.load() > 4096; }, 5.0));
  press(PlayerAction::Pause);
  EXPECT_EQ(desktop->player().state(), PlayState::Paused);
  EXPECT_GT(desktop->player().positionSeconds(), 0.0);
  EXPECT_TRUE(enabled(PlayerAction::Stop));
  EXPECT_TRUE(enabled(PlayerAction::Play));
  EXPECT_FALSE(enabled(PlayerAction::Pause));
  press(PlayerAction::Stop);
  EXPECT_EQ(desktop->player().state(), PlayState::Stopped);
  EXPECT_EQ(desktop->player().positionSeconds(), 0.0);
  EXPECT_EQ(player->positionBar()->value(), 0);
  EXPECT_FALSE(enabled(PlayerAction::Stop));
  EXPECT_FALSE(output->running());
}

}  // namespace
}  // namespace melovantis::test
