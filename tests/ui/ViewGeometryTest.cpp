#include <gtest/gtest.h>

#include "engine/FrameRecord.h"
#include "ui/ViewGeometry.h"

namespace melovantis {
namespace {

MainWindowState zoomedTo(int zoom, int verticalOffset = 0) {
  MainWindowState state;
  state.zoom = zoom;
  state.pixelsPerSemitone = 2.0 * zoom;
  state.verticalOffset = verticalOffset;
  return state;
}

TEST(ViewGeometry, OctaveLinesLie24PixelsApartAtZoom1And48AtZoom2FromTheBottomEdge) {
  EXPECT_EQ(ViewGeometry(zoomedTo(1), 0).gridRows(),
            (std::vector<int>{298, 274, 250, 226, 202, 178, 154, 130, 106, 82, 58}));
  EXPECT_EQ(ViewGeometry(zoomedTo(2, 100), 0).gridRows(),
            (std::vector<int>{298, 250, 202, 154, 106, 58}));
  const std::vector<int> columns = ViewGeometry(zoomedTo(1), 0).gridColumns();
  EXPECT_EQ(columns.size(), 22u);  // 0, 25, ... 525
  EXPECT_EQ(columns.back(), 196 + 525);
}

TEST(ViewGeometry, ValuesMapToRowsAndBack) {
  const ViewGeometry view(zoomedTo(1), 0);
  EXPECT_EQ(view.pitchY(127.0), 44);  // on the top edge: not drawn
  EXPECT_FALSE(view.isInside(view.pitchY(127.0)));
  EXPECT_TRUE(view.isInside(view.pitchY(126.5)));
  EXPECT_FALSE(view.isInside(view.pitchY(0.0)));  // the bottom edge
  EXPECT_EQ(view.levelY(127), 298 - 64);          // a quarter of the note scale
  EXPECT_DOUBLE_EQ(view.noteAt(view.pitchY(60.0)), 60.0);

  // Scrolled up at zoom 5 (offset 1016 - 300): note 127 is above the view.
  const ViewGeometry zoomed(zoomedTo(5, 716), 40);
  EXPECT_EQ(zoomed.pitchY(100.0), 298 + 716 - 1000);
  EXPECT_EQ(zoomed.frameAt(196), 40);
  EXPECT_EQ(zoomed.xOf(45), 201);
}

TEST(ViewGeometry, RangeHandlesSitAtTheRightEdgeAroundTheirLines) {
  const ViewGeometry view(zoomedTo(1), 0);
  const HandleRect handle = view.handleFor(60);  // line at y = 178
  EXPECT_EQ(handle.left, 736);
  EXPECT_EQ(handle.right, 746);
  EXPECT_EQ(handle.top, 173);
  EXPECT_EQ(handle.bottom, 183);
  EXPECT_TRUE(handle.contains(746, 183));  // edges included
  EXPECT_FALSE(handle.contains(735, 178));
  // Dragged to its own line, a handle keeps its note (the grip is 5 pixels below it).
  EXPECT_EQ(view.draggedNote(178 - 5), 60);
}

TEST(CurrentNoteDot, ItSitsBetweenTwoKeysByItsCentsGrowsWithVolumeAndPalesWithBrightness) {
  FrameRecord frame;
  frame.pitch = 60.5;
  frame.volume = 127;
  frame.brightness = 0;
  const CurrentNoteDot dot = currentNoteDot(frame);
  EXPECT_EQ(dot.radius, 8);
  EXPECT_EQ(dot.x, 23);  // halfway between the C (2) and C# (12) centres, + 24 - 8
  EXPECT_EQ(dot.y, 98);  // halfway between the white (78) and black (18) rows, + 50
  EXPECT_EQ(dot.red, 0);
  EXPECT_EQ(dot.green, 0);
  EXPECT_EQ(dot.blue, 255);
  EXPECT_EQ(dot.octave, 5);

  // A quarter of the way from C to C# lies nearer the C: 3 + 1.5 + 24 - 8, 4.5 + 58.5 + 50.
  frame.pitch = 60.25;
  EXPECT_EQ(currentNoteDot(frame).x, 20);
  EXPECT_EQ(currentNoteDot(frame).y, 113);
  frame.pitch = 64.75;  // three quarters from E to F, both white: 46.5 + 10.5 + 24 - 8
  EXPECT_EQ(currentNoteDot(frame).x, 73);
  EXPECT_EQ(currentNoteDot(frame).y, 128);

  frame.pitch = 71.99;  // B, nearly the next C: the octave digit stays 5
  frame.volume = 10;
  frame.brightness = 100;
  const CurrentNoteDot high = currentNoteDot(frame);
  EXPECT_EQ(high.radius, 2);
  EXPECT_EQ(high.octave, 5);
  EXPECT_EQ(high.red, 200);
  frame.volume = 0;
  EXPECT_EQ(currentNoteDot(frame).radius, 0);
}

}  // namespace
}  // namespace melovantis
