// The steps the viewer's front ends share: loads, jumps, playback steps,
// rewind and the report's choice of frame.

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "display/recording_canvas.h"
#include "session/viewer_session.h"
#include "tools/recording_writer.h"

namespace sonalyt::session {
namespace {

using display::RecordingCanvas;
using recording::ParameterBlock;
using tools::FrameData;
using tools::RecordSpec;
using tools::RecordingWriter;

// Frame f of record r carries r * 100 + f in Reading0, so every drawing
// tells which frame it was.
FrameData MarkedFrame(int r, int f) {
  FrameData frame;
  frame.Reading0 = r * 100 + f;
  frame.Samples.fill(static_cast<std::uint8_t>(r * 10 + f));
  return frame;
}

ParameterBlock BlockWithBaseGain(std::uint16_t baseGain) {
  ParameterBlock block;
  block.BaseGain = baseGain;
  block.Velocity = 5920;
  block.Range = 2000;
  recording::SetBitField(block, "RangeMode", 2);
  return block;
}

// Records of `frames` frames; records listed in withParameters carry a block
// whose BaseGain is 100 + the record index.
std::vector<std::uint8_t> RecordingBytes(int records, int frames,
                                         const std::vector<int>& withParameters) {
  RecordingWriter writer;
  for (int r = 0; r < records; ++r) {
    RecordSpec content;
    for (int f = 0; f < frames; ++f) content.Frames.push_back(MarkedFrame(r, f));
    for (int p : withParameters) {
      if (p == r) content.Parameters = BlockWithBaseGain(static_cast<std::uint16_t>(100 + r));
    }
    writer.AddRecord(content);
  }
  return writer.Bytes();
}

// Opens the recording from memory.
bool Open(ViewerSession& session, const std::vector<std::uint8_t>& bytes) {
  return session.OpenRecording(std::make_unique<recording::MemoryByteSource>(bytes));
}

struct Shown {
  int record;
  int frame;
  bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* os) { *os << "(" << s.record << "," << s.frame << ")"; }

Shown OnScreen(const ViewerSession& session) {
  const int marker = session.FrameReadings().Reading0;
  return {marker / 100, marker % 100};
}

TEST(ViewerSessionTest, OpenLeavesNothingLoaded) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(3, 4, {0})));
  EXPECT_EQ(session.CurrentRecord, -1);
  EXPECT_EQ(session.CurrentFrame, 0);
  EXPECT_EQ(session.RecordCount(), 3);
  EXPECT_EQ(session.LastDrawnFrame(), -1);
}

TEST(ViewerSessionTest, PlaybackShowsAllButTheLastSlotAndOnlyFrameZeroOfTheLastRecord) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(3, 4, {0})));
  RecordingCanvas canvas(306, 245);
  std::vector<Shown> shown;
  int steps = 0;
  while (!session.AtEnd() && steps < 100) {
    const StepOutcome outcome = session.PlaybackStep(canvas);
    if (outcome.Drew) shown.push_back(OnScreen(session));
    ++steps;
  }
  const std::vector<Shown> expected = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(steps, 9);  // each of records 0 and 1 has a step that only resets the frame cursor
  EXPECT_EQ(session.PlayInterval(), 1000 / 3);
}

TEST(ViewerSessionTest, JumpAppliesTheGoverningBlockAndLoadsKeepIt) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(6, 3, {0, 3})));
  session.CurrentRecord = 5;
  EXPECT_TRUE(session.LoadGoverningParameters(5));
  const LoadOutcome outcome = session.LoadRecord();
  EXPECT_FALSE(outcome.ParametersApplied);  // record 5 has no block of its own
  EXPECT_EQ(session.ParameterCopy().BaseGain, 103);
  EXPECT_EQ(session.Settings().BaseGain, "10.3");

  session.CurrentRecord = 2;
  EXPECT_TRUE(session.LoadGoverningParameters(2));
  session.LoadRecord();
  EXPECT_EQ(session.ParameterCopy().BaseGain, 100);
  EXPECT_FALSE(session.LoadGoverningParameters(6)) << "no entry 6: nothing applied";
}

TEST(ViewerSessionTest, RewindRereadsTheCountAndReappliesTheLoadedBlock) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(4, 3, {0, 3})));
  session.CurrentRecord = 3;
  session.LoadRecord();
  session.CurrentRecord = 0;
  session.LoadGoverningParameters(0);  // puts record 0's block in force ...
  ASSERT_EQ(session.ParameterCopy().BaseGain, 100);
  session.Rewind();  // ... and the record buffer now holds record 0, which has its own
  EXPECT_EQ(session.CurrentRecord, 0);
  EXPECT_EQ(session.CurrentFrame, 0);
  EXPECT_EQ(session.ParameterCopy().BaseGain, 100);
  EXPECT_EQ(session.Settings().BaseGain, "10.0");
}

TEST(ViewerSessionTest, ReportDrawsTheFrameOnScreenNotTheNextOne) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(2, 4, {0})));
  RecordingCanvas screen(306, 245);
  session.PlaybackStep(screen);  // loads record 0 and shows frame 0; the cursor moves to 1
  ASSERT_EQ(session.CurrentFrame, 1);
  ASSERT_EQ(session.LastDrawnFrame(), 0);

  RecordingCanvas left(25, 281), wave(289, 257), bottom(289, 25);
  session.DrawReportImages(left, wave, bottom);
  // Frame 0 of record 0 has every sample 0: its trace lies on y = H.
  bool sawTrace = false;
  for (const auto& op : wave.Ops()) {
    if (op.kind == display::DrawOp::Kind::Polyline) {
      sawTrace = true;
      for (const auto& p : op.points) EXPECT_EQ(p.Y, 257);
      break;
    }
  }
  EXPECT_TRUE(sawTrace);
}

TEST(ViewerSessionTest, DrawFrameRefusesAFrameOutsideTheRecord) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(1, 2, {0})));
  session.LoadRecord();
  RecordingCanvas canvas(306, 245);
  EXPECT_FALSE(session.DrawFrame(2, canvas));
  EXPECT_FALSE(session.DrawFrame(-1, canvas));
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_TRUE(session.DrawFrame(1, canvas));
}

std::string Position(const ViewerSession& session) {
  return "drawn " + std::to_string(session.FrameReadings().Reading0) + ", record " +
         std::to_string(session.CurrentRecord) + ", frame " + std::to_string(session.CurrentFrame);
}

// Previous and next from the cursors that opening, playback steps, other
// moves and a jump to record 0 leave. Seven records of five frames (frame
// N - 2 = 3); the moves before the measured one: 's' a playback step, 'n'
// next, 'p' previous, 'h' a jump to record 0 (the track bar's Home key).
TEST(ViewerSessionTest, PreviousAndNextFromEveryKindOfCursor) {
  struct Case {
    const char* name;
    std::string before;
    char press;
    std::string position;
  };
  const std::string steps24(24, 's');
  const Case cases[] = {
      {"next right after open", "", 'n', "drawn 2, record 1, frame 2"},
      {"previous right after open", "", 'p', "drawn 0, record 1, frame 0"},
      {"next from frame 2 (cursor 3) crosses two records", "ss", 'n', "drawn 200, record 2, frame 0"},
      {"next in the extra interval shows frame 1", "ssss", 'n', "drawn 1, record 1, frame 1"},
      {"previous in the extra interval reloads the record", "ssss", 'p', "drawn 3, record 0, frame 3"},
      {"previous at frame cursor 0 of record 0", "h", 'p', "drawn 0, record 0, frame 0"},
      {"previous at frame cursor 0 of record 5", steps24, 'p', "drawn 403, record 4, frame 3"},
      {"next into the last record", steps24 + "nnn", 'n', "drawn 600, record 6, frame 0"},
      {"next on frame N - 2 of the last record shows it again", steps24 + "nnnnnnn", 'n',
       "drawn 603, record 6, frame 3"},
  };
  const auto recordingBytes = RecordingBytes(7, 5, {0, 2, 4});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerSession session;
    ASSERT_TRUE(Open(session, recordingBytes));
    RecordingCanvas wave(306, 245);
    session.AdvanceAfterOpen(wave);
    for (char move : c.before) {
      switch (move) {
        case 's': session.PlaybackStep(wave); break;
        case 'n': session.NextFrame(wave); break;
        case 'p': session.PreviousFrame(wave); break;
        case 'h': session.JumpTo(0, 0, wave); break;
      }
    }
    if (c.press == 'n') {
      session.NextFrame(wave);
    } else {
      session.PreviousFrame(wave);
    }
    EXPECT_EQ(Position(session), c.position);
  }
}

// What each move reports for the window to update, in one table.
TEST(ViewerSessionTest, MovesReportWhatTheWindowMustUpdate) {
  const auto recordingBytes = RecordingBytes(4, 5, {0, 2});
  ViewerSession session;
  ASSERT_TRUE(Open(session, recordingBytes));
  RecordingCanvas wave(306, 245);

  // Opening loads record 0, with its own block, and draws its frame 0.
  MoveOutcome expected;
  expected.Loaded = LoadOutcome{true, -1};
  expected.LoadedRecord = 0;
  expected.Drew = true;
  EXPECT_EQ(session.AdvanceAfterOpen(wave), expected);

  // Next within the record moves the frame only.
  expected = MoveOutcome{};
  expected.Drew = true;
  expected.Moved = true;
  EXPECT_EQ(session.NextFrame(wave), expected);
  EXPECT_EQ(Position(session), "drawn 2, record 1, frame 2");

  // A jump to record 3 applies record 2's block through the governing load.
  expected = MoveOutcome{};
  expected.GoverningApplied = true;
  expected.Loaded = LoadOutcome{false, -1};
  expected.LoadedRecord = 3;
  expected.Drew = true;
  EXPECT_EQ(session.JumpTo(3, 1, wave), expected);
  EXPECT_TRUE(expected.SettingsRefreshed());
  EXPECT_EQ(session.ParameterCopy().BaseGain, 102);

  // Previous at frame cursor 0 loads the record before (governing load
  // first) and shows its frame N - 2.
  session.CurrentFrame = 0;
  expected = MoveOutcome{};
  expected.GoverningApplied = true;
  expected.Loaded = LoadOutcome{true, -1};
  expected.LoadedRecord = 2;
  expected.Drew = true;
  expected.Moved = true;
  EXPECT_EQ(session.PreviousFrame(wave), expected);
  EXPECT_EQ(Position(session), "drawn 203, record 2, frame 3");

  // Nothing before record 0.
  EXPECT_EQ(session.JumpTo(0, 0, wave).LoadedRecord, 0);
  EXPECT_EQ(session.PreviousFrame(wave), MoveOutcome{});
}

TEST(ViewerSessionTest, JumpShowsAnyFrameAndLeavesTheCursorsAsAsked) {
  const auto recordingBytes = RecordingBytes(5, 4, {0, 3});
  ViewerSession session;
  ASSERT_TRUE(Open(session, recordingBytes));
  RecordingCanvas wave(306, 245);

  EXPECT_TRUE(session.JumpTo(4, 2, wave).Drew);
  EXPECT_EQ(Position(session), "drawn 402, record 4, frame 2");
  EXPECT_EQ(session.ParameterCopy().BaseGain, 103);
  EXPECT_EQ(session.LastDrawnFrame(), 2);

  // The frame playback never shows (the last slot) can be jumped to.
  EXPECT_TRUE(session.JumpTo(1, 3, wave).Drew);
  EXPECT_EQ(Position(session), "drawn 103, record 1, frame 3");
  EXPECT_EQ(session.ParameterCopy().BaseGain, 100);

  // A frame outside the record draws nothing; the record is loaded.
  const MoveOutcome outside = session.JumpTo(2, 4, wave);
  EXPECT_FALSE(outside.Drew);
  ASSERT_TRUE(outside.Loaded);
  EXPECT_EQ(outside.LoadedRecord, 2);
  EXPECT_EQ(session.FrameReadings().Reading0, 103) << "the picture on screen stays";
}

// Playback goes on from the frame jumped to: with PlayOn the next steps
// draw the following frames and then the next record, as if playback had
// reached the frame itself.
TEST(ViewerSessionTest, PlaybackContinuesAfterAPlayOnJump) {
  const auto recordingBytes = RecordingBytes(4, 4, {0});
  struct Case {
    const char* name;
    std::int32_t record, frame;
    std::vector<Shown> next;
  };
  const Case cases[] = {
      {"frame 0", 1, 0, {{1, 1}, {1, 2}, {2, 0}}},
      {"middle frame", 1, 1, {{1, 2}, {2, 0}, {2, 1}}},
      {"last shown frame", 1, 2, {{2, 0}, {2, 1}, {2, 2}}},
      {"last slot", 1, 3, {{2, 0}, {2, 1}, {2, 2}}},
      // As after playback's own load of the last record, the cursor stands
      // at the end: playback stops.
      {"last record", 3, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerSession session;
    ASSERT_TRUE(Open(session, recordingBytes));
    RecordingCanvas wave(306, 245);
    ASSERT_TRUE(session.JumpTo(c.record, c.frame, wave, JumpCursor::PlayOn).Drew);
    EXPECT_EQ(OnScreen(session), (Shown{c.record, c.frame}));
    std::vector<Shown> shown;
    for (int steps = 0; shown.size() < c.next.size() && !session.AtEnd() && steps < 20; ++steps) {
      if (session.PlaybackStep(wave).Drew) shown.push_back(OnScreen(session));
    }
    EXPECT_EQ(shown, c.next);
  }
}

TEST(ViewerSessionTest, NoteJumpLoadsTheNoteRecordWithoutAGoverningLoad) {
  RecordingWriter writer;
  for (int r = 0; r < 4; ++r) {
    RecordSpec content;
    for (int f = 0; f < 3; ++f) content.Frames.push_back(MarkedFrame(r, f));
    if (r == 0 || r == 2) {
      content.Parameters = BlockWithBaseGain(static_cast<std::uint16_t>(100 + r));
      const std::string text = "note " + std::to_string(r);
      content.NoteUnits = tools::NoteUnits(
          std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    writer.AddRecord(content);
  }
  const auto recordingBytes = writer.Bytes();
  ViewerSession session;
  ASSERT_TRUE(Open(session, recordingBytes));
  RecordingCanvas wave(306, 245);
  const MoveOutcome outcome = session.JumpToNote(1, wave);
  ASSERT_TRUE(outcome.Loaded);
  EXPECT_EQ(outcome.Loaded->NoteLine, 1);
  EXPECT_EQ(outcome.LoadedRecord, 2);
  EXPECT_FALSE(outcome.GoverningApplied);
  EXPECT_EQ(Position(session), "drawn 200, record 2, frame 0");
  EXPECT_EQ(session.JumpToNote(2, wave), MoveOutcome{}) << "no third note";
  EXPECT_EQ(session.JumpToNote(-1, wave), MoveOutcome{});
}

// The track bar's maximum is RecordCount - 1; its far end stands for the
// end of the recording (RecordCount).
TEST(TrackBarMappingTest, PositionsAndRecords) {
  struct Case {
    std::int64_t position, maximum;
    std::int32_t count, record;
  };
  const Case cases[] = {
      {0, 9, 10, 0}, {1, 9, 10, 1}, {5, 9, 10, 5}, {8, 9, 10, 8}, {9, 9, 10, 10},
      {0, 0, 1, 0},  // one record: an empty range
      {3, 0, 1, 0},
      {2147483646, 2147483646, 2147483647, 2147483647},  // no overflow on huge counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.position << " of " << c.maximum);
    EXPECT_EQ(RecordAtTrackBarPosition(c.position, 0, c.maximum, c.count), c.record);
  }
  EXPECT_EQ(TrackBarPositionOfRecord(3, 9, 10), 3);
  EXPECT_EQ(TrackBarPositionOfRecord(9, 9, 10), 9);
  EXPECT_EQ(TrackBarPositionOfRecord(5, 0, 1), 0);
  EXPECT_EQ(TrackBarPositionOfRecord(2147483646, 2147483646, 2147483647), 2147483646);
}

TEST(ViewerSessionTest, AFileThatCannotBeOpenedLeavesTheOpenRecording) {
  ViewerSession session;
  ASSERT_TRUE(Open(session, RecordingBytes(3, 3, {0})));
  session.CurrentRecord = 1;
  session.LoadRecord();
  std::string error;
  EXPECT_FALSE(session.OpenRecording(testing::TempDir() + "does-not-exist.dat", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(session.RecordCount(), 3);
  EXPECT_EQ(session.File().RecordIndex().size(), 3u);
  EXPECT_EQ(session.CurrentRecord, 1);
}

}  // namespace
}  // namespace sonalyt::session
