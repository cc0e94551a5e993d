#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/NoteSegmentation.h"

namespace melovantis {
namespace {

constexpr int kHop = 1960;

// Rows of the given pitches, measured onsets without a rise, no detector flags.
std::vector<FrameRecord> rows(const std::vector<double>& pitches) {
  std::vector<FrameRecord> frames;
  for (double p : pitches) {
    FrameRecord row;
    row.pitch = p;
    row.onsetRise = 12;
    frames.push_back(row);
  }
  if (!frames.empty()) {
    frames[0].attack = 1;  // as the attack pass leaves row 0
  }
  return frames;
}

std::vector<int> startsOf(std::vector<FrameRecord> frames) {
  NoteSegmentation::apply(frames, static_cast<int>(frames.size()), kHop);
  std::vector<int> starts;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (frames[i].attack != 0) {
      starts.push_back(static_cast<int>(i));
    }
  }
  return starts;
}

TEST(NoteSegmentation, ALegatoStepInsideTheBendRangeStartsANoteWhereThePitchSettles) {
  EXPECT_EQ(startsOf(rows({60.0, 60.1, 59.9, 61.0, 61.1, 60.9})), (std::vector<int>{0, 3}));
  // Down a whole tone, through a frame between the two that settles nowhere.
  EXPECT_EQ(startsOf(rows({62.0, 62.0, 61.2, 60.0, 60.0})), (std::vector<int>{0, 3}));
}

TEST(NoteSegmentation, VibratoOfThirtyCentsAndDriftingIntonationStayOneNote) {
  std::vector<double> pitches;
  for (int i = 0; i < 40; ++i) {
    pitches.push_back(67.0 + 0.3 * std::sin(i * 1.1) + 0.004 * i);
  }
  auto frames = rows(pitches);
  for (int i = 5; i < 40; i += 6) {
    frames[static_cast<std::size_t>(i)].attack = 1;  // the detector hears the swells
  }
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0}));
  // Sixty cents is past the key with its hysteresis: a note of its own when it stays.
  EXPECT_EQ(startsOf(rows({67.0, 67.0, 67.66, 67.7, 67.7})), (std::vector<int>{0, 2}));
  // A moment there is not.
  EXPECT_EQ(startsOf(rows({67.0, 67.0, 67.7, 67.0, 67.0})), (std::vector<int>{0}));
}

TEST(NoteSegmentation, AGlideBendsUntilItArrivesAndStartsNoNoteOnTheWay) {
  // 63.6 is within half a semitone of where the glide arrives, but still moving.
  EXPECT_EQ(startsOf(rows({60.0, 60.0, 60.9, 61.8, 62.7, 63.6, 64.0, 64.05})),
            (std::vector<int>{0, 6}));
  // A slow glide: two frames on one semitone, but moving on the way it came.
  EXPECT_EQ(startsOf(rows({62.0, 62.0, 62.3, 62.7, 63.1, 63.5, 63.9, 64.0, 64.0})),
            (std::vector<int>{0, 6}));
  EXPECT_EQ(startsOf(rows({60.0, 60.0, 60.9, 61.8, 62.7, 63.6, 64.4, 65.3, 66.0, 66.0})),
            (std::vector<int>{0, 8}));
}

TEST(NoteSegmentation, AStruckNoteWhoseFirstFrameReadsFlatKeepsItsStart) {
  auto frames = rows({-1000.0, 71.45, 72.0, 72.02, 71.98});
  frames[1].attack = 1;
  frames[1].onsetRise = 200;
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 1}));
  // From its second frame on, a change is a change.
  EXPECT_EQ(startsOf(rows({71.0, 71.0, 72.0, 72.0})), (std::vector<int>{0, 2}));
}

TEST(NoteSegmentation, ARepeatedNoteStruckAgainStartsAgainAndASwellDoesNot) {
  auto frames = rows({64.0, 64.0, 64.0, 64.1, 64.0, 64.0, 63.9, 64.0});
  frames[2].attack = 1;
  frames[2].onsetRise = 80;  // the envelope rose to eight times its level
  frames[5].attack = 1;
  frames[5].onsetRise = 25;  // two and a half times: the note's own swell
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 2}));
  // Rows whose rise was never measured (a table of an older program) keep the detector's word.
  frames[5].onsetRise = 0;
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 2, 5}));
}

TEST(NoteSegmentation, TwoFramesThatSawTheOneAttackStartOneNote) {
  auto frames = rows({-1000.0, 64.0, 64.0, 64.0, 64.0});
  frames[1].attack = 1;
  frames[1].onsetRise = 200;
  frames[1].onsetOffset = -900;
  frames[2].attack = 1;  // the detector's second frame after silence
  frames[2].onsetRise = 150;
  frames[2].onsetOffset = -900 - kHop + kHop / 2 - 1;  // just under half a hop after row 1's
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 1}));
  frames[2].onsetOffset += 2;  // half a hop after it: another attack
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 1, 2}));
}

TEST(NoteSegmentation, TheDetectorsStartAtAChangeOfPitchMovesToWhereItSettles) {
  auto frames = rows({60.0, 60.0, 63.3, 65.0, 65.0, -1000.0, 70.0, 70.0});
  frames[2].attack = 1;
  frames[2].onsetRise = 90;
  frames[6].attack = 1;  // after silence: always a start
  EXPECT_EQ(startsOf(frames), (std::vector<int>{0, 3, 6}));
  // A run after silence starts a note even where no detector flagged it.
  EXPECT_EQ(startsOf(rows({60.0, 60.0, -1000.0, 62.0, 62.0})), (std::vector<int>{0, 3}));
  // A short note at the end of a run, on its key.
  EXPECT_EQ(startsOf(rows({60.0, 60.0, 62.1})), (std::vector<int>{0, 2}));
  EXPECT_EQ(startsOf(rows({60.0, 60.0, 62.4})), (std::vector<int>{0}));
}

TEST(NoteSegmentation, AStruckNotesFirstFrameTakesThePitchItsNoteSettlesOn) {
  auto frames = rows({-1000.0, 71.45, 72.0, 72.1, 72.0, 70.0, 70.0, -1000.0, 57.2, 60.0, 60.1});
  frames[1].attack = 1;
  frames[5].attack = 1;  // a start of its own, where the pitch settled on 70
  frames[8].attack = 1;
  EXPECT_EQ(NoteSegmentation::settleFirstFrames(frames, 0, 11), 2);
  EXPECT_EQ(frames[1].pitch, 72.0);
  EXPECT_EQ(frames[4].pitch, 72.0);  // the note before the start keeps its frames
  EXPECT_EQ(frames[5].pitch, 70.0);
  EXPECT_EQ(frames[8].pitch, 60.0);  // however far off the first moment read
  // A first frame whose next one does not settle, or is a start itself, stays.
  auto unsettled = rows({-1000.0, 64.4, 65.3, 66.0, -1000.0, 50.5, 52.0});
  unsettled[1].attack = 1;
  unsettled[5].attack = 1;
  unsettled[6].attack = 1;
  EXPECT_EQ(NoteSegmentation::settleFirstFrames(unsettled, 0, 7), 0);
}

TEST(NoteSegmentation, AFrameThatHearsTheNextNoteBeforeItsOnsetKeepsThePitchBefore) {
  // Row 3's window reaches into note 84, but note 84 begins after row 3's own time.
  auto frames = rows({79.0, 79.1, 79.0, 84.7, 84.2, 84.0});
  frames[4].attack = 1;
  frames[4].onsetOffset = -kHop + 600;  // 600 samples after row 3's time
  EXPECT_EQ(NoteSegmentation::holdBeforeOnsets(frames, 0, 6, kHop), 1);
  EXPECT_EQ(frames[3].pitch, 79.0);
  // An onset before that time, a reading far from the new note or near the old one: kept.
  for (const auto& [offset, reading] : {std::pair<int, double>{-kHop - 10, 84.7},
                                        std::pair<int, double>{0, 82.0},
                                        std::pair<int, double>{0, 79.9}}) {
    auto kept = rows({79.0, 79.1, 79.0, reading, 84.2, 84.0});
    kept[4].attack = 1;
    kept[4].onsetOffset = offset;
    EXPECT_EQ(NoteSegmentation::holdBeforeOnsets(kept, 0, 6, kHop), 0) << offset << " " << reading;
  }
  // A semitone step: a frame between the two, within a semitone of the old note, is no other note's.
  auto step = rows({79.0, 79.1, 79.0, 79.8, 80.1, 80.0});
  step[4].attack = 1;
  step[4].onsetOffset = -kHop + 600;
  EXPECT_EQ(NoteSegmentation::holdBeforeOnsets(step, 0, 6, kHop), 0);
  EXPECT_EQ(step[3].pitch, 79.8);
}

}  // namespace
}  // namespace melovantis
