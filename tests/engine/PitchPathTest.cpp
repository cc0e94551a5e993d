#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/PitchPath.h"

namespace melovantis {
namespace {

using Choices = std::vector<std::pair<double, double>>;  // (pitch, strength in dB)

// A table whose row i reads its first choice and keeps them all as candidates.
struct Table {
  std::vector<FrameRecord> frames;
  std::vector<PitchCandidates> candidates;

  void add(const Choices& choices) {
    FrameRecord row;
    row.pitch = choices.empty() ? kNoPitch : choices.front().first;
    frames.push_back(row);
    PitchCandidates found;
    for (const auto& [pitch, strength] : choices) {
      found.pitch[found.count] = static_cast<float>(pitch);
      found.strength[found.count] = static_cast<float>(strength);
      ++found.count;
    }
    candidates.push_back(found);
  }
  void add(int times, const Choices& choices) {
    for (int i = 0; i < times; ++i) {
      add(choices);
    }
  }
  int choose() {
    return PitchPath::choose(frames, candidates, 0, static_cast<int>(frames.size()));
  }
  std::vector<double> pitches() const {
    std::vector<double> out;
    for (const FrameRecord& row : frames) {
      out.push_back(row.pitch);
    }
    return out;
  }
};

std::vector<double> repeated(std::vector<std::pair<int, double>> runs) {
  std::vector<double> out;
  for (const auto& [times, pitch] : runs) {
    out.insert(out.end(), static_cast<std::size_t>(times), pitch);
  }
  return out;
}

TEST(PitchPath, OneOrTwoFramesOnTheOctaveAboveComeBackToTheLine) {
  for (int jumped : {1, 2}) {
    Table table;
    table.add(4, {{45.0, 12.0}, {57.0, 6.0}});
    // The octave above reads clearer here, but the note's own pitch is still a candidate.
    table.add(jumped, {{57.0, 14.0}, {45.0, 9.0}});
    table.add(4, {{45.0, 12.0}, {57.0, 6.0}});
    EXPECT_EQ(table.choose(), jumped);
    EXPECT_EQ(table.pitches(), repeated({{8 + jumped, 45.0}})) << jumped;
  }
  // Also where the jump is the last frame before the note ends: the line decides it there too.
  Table ending;
  ending.add(4, {{45.0, 12.0}, {57.0, 6.0}});
  ending.add({{57.0, 14.0}, {45.0, 9.0}});
  ending.add({});
  EXPECT_EQ(ending.choose(), 1);
  EXPECT_EQ(ending.pitches(), (std::vector<double>{45.0, 45.0, 45.0, 45.0, 45.0, kNoPitch}));
}

TEST(PitchPath, ARealOctaveLeapStays) {
  Table table;
  table.add(5, {{60.0, 15.0}, {48.0, 7.0}});
  table.add(8, {{72.0, 15.0}, {60.0, 8.0}});  // the octave below is a candidate too
  EXPECT_EQ(table.choose(), 0);
  EXPECT_EQ(table.pitches(), repeated({{5, 60.0}, {8, 72.0}}));

  // Down as well, and a leap of two octaves that lasts two frames only.
  Table down;
  down.add(3, {{72.0, 15.0}, {60.0, 8.0}});
  down.add(2, {{48.0, 20.0}, {72.0, 2.0}});
  EXPECT_EQ(down.choose(), 0);
  EXPECT_EQ(down.pitches(), repeated({{3, 72.0}, {2, 48.0}}));
}

TEST(PitchPath, APartialFarAboveTheStartOfALowNoteTakesItsFundamental) {
  Table table;
  // A struck bass string: its first frames' cepstrum hears a partial 3 octaves up.
  table.add(3, {{69.0, 4.0}, {33.0, 3.0}, {57.1, 1.0}});
  table.add(6, {{33.0, 8.0}, {57.0, 3.0}});
  EXPECT_EQ(table.choose(), 3);
  EXPECT_EQ(table.pitches(), repeated({{9, 33.0}}));
}

TEST(PitchPath, UnpitchedFramesSplitTheLineAndTheFramesOwnFinerPitchIsKept) {
  Table table;
  table.add(2, {{50.0, 10.0}, {62.0, 4.0}});
  table.add({});  // silence: the next run starts afresh, the leap costs nothing
  table.add(2, {{62.0, 10.0}, {50.0, 9.5}});
  table.frames[0].pitch = 50.12;  // the analysis' finer reading of the first candidate
  table.frames[4].pitch = 50.2;   // a row whose own reading is no candidate
  EXPECT_EQ(table.choose(), 1);
  EXPECT_EQ(table.pitches(), (std::vector<double>{50.12, 50.0, kNoPitch, 62.0, 62.0}));
  EXPECT_EQ(table.candidates[3].count, 2);  // candidates are read, never changed
}

TEST(PitchPath, RowsOutsideTheRangeAndPitchedRowsWithoutCandidatesStayAsTheyAre) {
  Table table;
  table.add({{52.0, 20.0}});  // its only candidate would replace it, were it in the range
  table.frames[0].pitch = 40.0;
  table.add(2, {{40.0, 20.0}, {52.0, 5.0}});
  table.add(2, {{52.0, 12.0}});
  table.candidates[3].count = 0;  // its own reading is its only choice
  table.add({{64.0, 12.0}});
  table.frames[5].pitch = 52.0;
  EXPECT_EQ(PitchPath::choose(table.frames, table.candidates, 1, 5), 0);
  EXPECT_EQ(table.pitches(), (std::vector<double>{40.0, 40.0, 40.0, 52.0, 52.0, 52.0}));
}

}  // namespace
}  // namespace melovantis
