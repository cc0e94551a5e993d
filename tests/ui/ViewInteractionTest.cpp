#include <gtest/gtest.h>

#include "documents/NoteMarks.h"
#include "ui/CommandIds.h"
#include "ui/MainWindowFixture.h"

namespace melovantis::test {
namespace {

using ViewInteraction = MainWindowFixture;

TEST_F(ViewInteraction, TheOctaveAndCentsSlidersRewriteAPitchedFrameOnly) {
  convertAndSave(melodyWave("tune.wav"), "tune.mid");
  auto& frames = window.engine().frames;
  frames[0].pitch = 61.25;
  window.sliderMoved(control::kOctaveSlider, 3);
  EXPECT_DOUBLE_EQ(frames[0].pitch, 37.25);
  frames[0].pitch = 61.25;
  window.sliderMoved(control::kCentsSlider, 40);
  EXPECT_DOUBLE_EQ(frames[0].pitch, 61.4);

  frames[0].pitch = -1000.0;
  frames[0].volume = 5;
  window.activate(command::kSaveMidi);
  for (const int id : {control::kOctaveSlider, control::kCentsSlider, control::kVolumeSlider,
                       control::kBrightnessSlider}) {
    window.sliderMoved(id, 7);
  }
  EXPECT_EQ(frames[0].pitch, -1000.0);
  EXPECT_EQ(frames[0].volume, 5);
  EXPECT_EQ(view.title, MainWindow::kTitle);  // nothing was edited
}

TEST_F(ViewInteraction, TheLowestLineDraggedUpStopsAtTheHighestHandle) {
  window.settings().lowestNote = 40;
  window.settings().highestNote = 60;
  window.redrawView();
  const HandleRect low = window.state().lowHandle;
  window.mousePressed(low.left + 2, low.top + 5);
  EXPECT_TRUE(window.state().draggingLow);
  EXPECT_TRUE(window.state().reconvertPending);
  const int highTop = window.state().highHandle.top;
  for (int y = low.top; y > 50; --y) {
    window.mouseMoved(low.left + 2, y);
  }
  EXPECT_EQ(window.settings().lowestNote,
            window.viewGeometry().draggedNote(highTop + 1));  // the last row it could take
  EXPECT_LT(window.settings().lowestNote, 60);
  window.mouseReleased();
  EXPECT_FALSE(window.state().draggingLow);
  EXPECT_EQ(window.settings().lowestNoteMarkX, noteMarkX(window.settings().lowestNote));
  // Applied to the engine: the lowest note bounds the pitch search.
  EXPECT_EQ(window.engine().maxLag,
            static_cast<int>(window.engine().lagForNote(window.settings().lowestNote)));
}

class AreaBrush : public MainWindowFixture {
 protected:
  AreaBrush() {
    convertAndSave(melodyWave("tune.wav", 3.0), "tune.mid");
    window.activate(control::kAreaCorrect);
    before = std::vector<FrameRecord>(window.engine().frames.begin(),
                                      window.engine().frames.begin() + window.engine().frameCount);
  }
  bool tableUnchanged() const {
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (window.engine().frames[i].pitch != before[i].pitch) {
        return false;
      }
    }
    return true;
  }
  std::vector<FrameRecord> before;
};

TEST_F(AreaBrush, TheToggleNeedsAProcessedFileAndFollowsTheMenu) {
  EXPECT_TRUE(window.state().areaCorrectorOn);
  window.activate(command::kAreaCorrectorTool);
  EXPECT_FALSE(window.state().areaCorrectorOn);
}

TEST_F(AreaBrush, ABrushTouchingTheViewsEdgeAppliesNothing) {
  const int y = window.viewGeometry().pitchY(72.0);
  window.mousePressed(200, y);
  window.engine().frames[0].pitch = 30.0;  // what a re-analysis would overwrite
  window.mouseMoved(196 + 10, y);          // the circle reaches past the left edge
  EXPECT_FALSE(window.state().brushVisible);
  EXPECT_EQ(window.engine().frames[0].pitch, 30.0);
}

TEST_F(AreaBrush, PressAndReleaseWithoutAMoveChangesNoFrame) {
  window.mousePressed(230, 150);
  window.mouseReleased();
  EXPECT_TRUE(tableUnchanged());
  EXPECT_EQ(window.session().cursorFrame, 230 - 196);
}

TEST_F(AreaBrush, AStrokeReanalysesUnderTheBrushAndUndoRestoresTableAndTempo) {
  window.engine().tempoFactor = 2.0;
  for (int i = 0; i < 40; ++i) {
    window.engine().frames[static_cast<std::size_t>(i)].pitch = 90.0;  // a wrong octave-ish reading
  }
  const auto edited = std::vector<FrameRecord>(window.engine().frames.begin(),
                                               window.engine().frames.begin() + 40);
  const int y = window.viewGeometry().pitchY(69.0);
  window.mousePressed(196 + 20, y);  // the snapshot: edited table, tempo 2.0
  window.mouseMoved(196 + 21, y);
  EXPECT_TRUE(window.state().brushVisible);
  EXPECT_NEAR(window.engine().frames[10].pitch, 69.0, 0.5);  // found again near the brush
  EXPECT_EQ(window.engine().tempoFactor, 1.0);                // every run resets it
  EXPECT_EQ(view.title, MainWindow::kUnsavedTitle);
  window.mouseReleased();

  window.activate(control::kUndo);
  EXPECT_EQ(window.engine().frames[10].pitch, 90.0);
  EXPECT_EQ(window.engine().tempoFactor, 2.0);
}

}  // namespace
}  // namespace melovantis::test
