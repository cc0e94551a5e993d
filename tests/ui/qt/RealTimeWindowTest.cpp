#include <QTest>

#include "DesktopFixture.h"
#include "ui/CommandIds.h"
#include "ui/qt/PlayerWidget.h"
#include "ui/qt/RealTimeWindow.h"

namespace melovantis::test {
namespace {

using RealTimeWindowTest = DesktopFixture;

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
    EXPECT_TRUE(window->frequency()->text().startsWith("44")) << window->frequency()->text().toStdString();
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.pixelColor(221, 71), QColor(0, 255, 0));  // the first meter segment lit
    window->transpose()->setValue(12);  // as the user moves it
    EXPECT_TRUE(waitUntil([&] { return window->note()->text().endsWith("6"); }, 5.0));
    window->reject();
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

}  // namespace
}  // namespace melovantis::test
