// The steps the viewer's front ends share: loads, jumps, playback steps,
// rewind and the report's choice of frame.

#include <gtest/gtest.h>

#include <filesystem>
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
  block.CurveWord = 2u << 24;
  return block;
}

// Records of `frames` frames; records listed in withParameters carry a block
// whose BaseGain is 100 + the record index.
std::string WriteRecording(const std::string& name, int records, int frames,
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
  const std::string path = testing::TempDir() + name;
  EXPECT_TRUE(writer.WriteFile(path));
  return path;
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
  ASSERT_TRUE(session.OpenRecording(WriteRecording("open.dat", 3, 4, {0})));
  EXPECT_EQ(session.CurrentRecord, -1);
  EXPECT_EQ(session.CurrentFrame, 0);
  EXPECT_EQ(session.RecordCount(), 3);
  EXPECT_EQ(session.LastDrawnFrame(), -1);
}

TEST(ViewerSessionTest, PlaybackShowsAllButTheLastSlotAndOnlyFrameZeroOfTheLastRecord) {
  ViewerSession session;
  ASSERT_TRUE(session.OpenRecording(WriteRecording("play.dat", 3, 4, {0})));
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
  ASSERT_TRUE(session.OpenRecording(WriteRecording("govern.dat", 6, 3, {0, 3})));
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
  ASSERT_TRUE(session.OpenRecording(WriteRecording("rewind.dat", 4, 3, {0, 3})));
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
  ASSERT_TRUE(session.OpenRecording(WriteRecording("report.dat", 2, 4, {0})));
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
  ASSERT_TRUE(session.OpenRecording(WriteRecording("bounds.dat", 1, 2, {0})));
  session.LoadRecord();
  RecordingCanvas canvas(306, 245);
  EXPECT_FALSE(session.DrawFrame(2, canvas));
  EXPECT_FALSE(session.DrawFrame(-1, canvas));
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_TRUE(session.DrawFrame(1, canvas));
}

TEST(ViewerSessionTest, AFileThatCannotBeOpenedLeavesTheOpenRecording) {
  ViewerSession session;
  ASSERT_TRUE(session.OpenRecording(WriteRecording("keep.dat", 3, 3, {0})));
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
