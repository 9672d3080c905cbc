// The overview's maths: pixel columns <-> frames under zoom and pan, the
// gate strip's and the B-scan's pixel columns, and the settings timeline.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/overview_layout.h"
#include "analysis/record_reader.h"
#include "analysis/recording_analysis.h"
#include "analysis_test_data.h"

namespace sonalyt::analysis {
namespace {

std::string Describe(const OverviewAxis& axis, const OverviewView& view, std::int32_t width) {
  return std::to_string(axis.Records) + " records of " + std::to_string(axis.SlotsPerRecord) +
         " slots, view " + std::to_string(view.First) + "+" + std::to_string(view.Count) + ", " +
         std::to_string(width) + " columns";
}

struct MappingCase {
  OverviewAxis Axis;
  OverviewView View;  // already valid for Width
  std::int32_t Width;
};

// Whole views in both regimes, zoomed views, one column per frame, and
// fewer slots than columns.
const MappingCase kMappingCases[] = {
    {{120, 26}, {0, 3120}, 700},       // the demo recording, whole: runs of frames
    {{3600, 26}, {0, 93600}, 716},     // an hour, whole: runs of records
    {{3600, 26}, {26 * 1000, 26 * 900}, 716},  // zoomed to 900 records: still records
    {{3600, 26}, {26 * 1000 + 7, 5000}, 716},  // zoomed into frames
    {{3600, 26}, {12345, 716}, 716},   // one column per frame
    {{3, 5}, {0, 15}, 40},             // fewer slots than columns
    {{7, 1}, {0, 7}, 3},               // one frame a record
};

TEST(OverviewMapping, ColumnsAndSlotsMapBothWaysAtEveryZoom) {
  for (const MappingCase& c : kMappingCases) {
    SCOPED_TRACE(Describe(c.Axis, c.View, c.Width));
    ASSERT_EQ(ClampView(c.Axis, c.View, c.Width), c.View);
    const bool records = ColumnsCoverRecords(c.Axis, c.View, c.Width);
    std::int64_t expectedFirst = c.View.First;
    for (std::int32_t x = 0; x < c.Width; ++x) {
      const PixelSpan span = SlotsOfColumn(c.Axis, c.View, c.Width, x);
      ASSERT_LT(span.First, span.End) << "column " << x;
      ASSERT_GE(span.First, c.View.First);
      ASSERT_LE(span.End, c.View.First + c.View.Count);
      if (records) {
        ASSERT_EQ(span.First % c.Axis.SlotsPerRecord, 0) << "column " << x;
        ASSERT_EQ(span.End % c.Axis.SlotsPerRecord, 0) << "column " << x;
      }
      if (c.View.Count >= c.Width) {
        // Columns tile the view in order.
        ASSERT_EQ(span.First, expectedFirst) << "column " << x;
        expectedFirst = span.End;
        ASSERT_EQ(ColumnsOfSlots(c.Axis, c.View, c.Width, span.First, span.End), (PixelSpan{x, x + 1}));
      }
      ASSERT_EQ(FrameAtColumn(c.Axis, c.View, c.Width, x), c.Axis.FrameAt(span.First));
    }
    if (c.View.Count >= c.Width) {
      EXPECT_EQ(expectedFirst, c.View.First + c.View.Count);
    }
    // Every slot in view: its columns are exactly those whose span holds it.
    for (std::int64_t s = c.View.First; s < c.View.First + c.View.Count; s += 1 + s % 97) {
      const PixelSpan columns = ColumnsOfSlots(c.Axis, c.View, c.Width, s, s + 1);
      ASSERT_LT(columns.First, columns.End) << "slot " << s;
      for (std::int32_t x = std::max<std::int32_t>(0, static_cast<std::int32_t>(columns.First) - 2);
           x < std::min<std::int64_t>(c.Width, columns.End + 2); ++x) {
        const PixelSpan span = SlotsOfColumn(c.Axis, c.View, c.Width, x);
        const bool holds = span.First <= s && s < span.End;
        const bool listed = columns.First <= x && x < columns.End;
        ASSERT_EQ(holds, listed) << "slot " << s << ", column " << x;
      }
    }
    // Slots out of view have no column.
    EXPECT_EQ(ColumnsOfSlots(c.Axis, c.View, c.Width, 0, c.View.First), (PixelSpan{}));
    EXPECT_EQ(ColumnsOfSlots(c.Axis, c.View, c.Width, c.View.First + c.View.Count,
                             c.Axis.Slots() + 5),
              (PixelSpan{}));
  }
}

TEST(OverviewMapping, KnownColumns) {
  // The demo recording over 700 columns: 4 or 5 frames a column.
  const OverviewAxis demo{120, 26};
  const OverviewView whole = WholeView(demo);
  EXPECT_FALSE(ColumnsCoverRecords(demo, whole, 700));
  EXPECT_EQ(SlotsOfColumn(demo, whole, 700, 0), (PixelSpan{0, 4}));
  EXPECT_EQ(FrameAtColumn(demo, whole, 700, 350), (FramePosition{60, 0}));
  EXPECT_EQ(ColumnsOfFrame(demo, whole, 700, {50, 13}), (PixelSpan{294, 295}));
  EXPECT_EQ(ColumnsOfFrames(demo, whole, 700, {{50, 0}, {50, 25}}), (PixelSpan{291, 298}));

  // Ten hours over 716 columns: 50 or 51 records a column.
  const OverviewAxis tenHours{36000, 26};
  const OverviewView all = WholeView(tenHours);
  EXPECT_TRUE(ColumnsCoverRecords(tenHours, all, 716));
  EXPECT_EQ(SlotsOfColumn(tenHours, all, 716, 1), (PixelSpan{50 * 26, 100 * 26}));
  EXPECT_EQ(FrameAtColumn(tenHours, all, 716, 715), (FramePosition{35949, 0}));
  // Any frame of record 99 lies in column 1.
  EXPECT_EQ(ColumnsOfFrame(tenHours, all, 716, {99, 20}), (PixelSpan{1, 2}));

  // Fewer slots than columns: each frame spans several columns.
  const OverviewAxis tiny{3, 5};
  EXPECT_EQ(ColumnsOfFrame(tiny, WholeView(tiny), 40, {1, 2}), (PixelSpan{19, 22}));
  EXPECT_EQ(FrameAtColumn(tiny, WholeView(tiny), 40, 21), (FramePosition{1, 2}));
}

TEST(OverviewMapping, ClampView) {
  const OverviewAxis axis{100, 10};  // 1000 slots
  struct Case {
    const char* name;
    OverviewView in;
    std::int32_t width;
    OverviewView out;
  };
  const Case cases[] = {
      {"inside, frames", {105, 300}, 50, {105, 300}},
      {"narrower than one column a frame", {105, 20}, 50, {105, 50}},
      {"wider than the recording", {-40, 5000}, 50, {0, 1000}},
      {"past the end", {900, 300}, 50, {700, 300}},
      {"before the start", {-5, 300}, 50, {0, 300}},
      {"records: whole records, rounded out", {105, 505}, 50, {100, 510}},
      {"records at the end", {995, 600}, 50, {400, 600}},
      {"fewer slots than columns", {3, 10}, 2000, {0, 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClampView(axis, c.in, c.width), c.out);
  }
  EXPECT_EQ(ClampView(OverviewAxis{0, 26}, {3, 4}, 700), (OverviewView{}));
}

TEST(OverviewMapping, WheelZoomKeepsTheFrameUnderThePointerDownToOneColumnPerFrame) {
  const OverviewAxis axis{36000, 26};
  const std::int32_t width = 716;
  for (const std::int32_t x : {0, 300, 715}) {
    SCOPED_TRACE("pointer at column " + std::to_string(x));
    OverviewView view = WholeView(axis);
    int turns = 0;
    while (view.Count > width) {
      ASSERT_LT(++turns, 200);
      const PixelSpan before = SlotsOfColumn(axis, view, width, x);
      const OverviewView next = ZoomAbout(axis, view, width, x, 1.25);
      ASSERT_LT(next.Count, view.Count);
      ASSERT_EQ(ClampView(axis, next, width), next);
      const PixelSpan after = SlotsOfColumn(axis, next, width, x);
      // The column under the pointer still shows the record (zoomed out) or
      // the frame (zoomed in) it showed, unless the view met an edge.
      if (next.First > 0 && next.First + next.Count < axis.Slots()) {
        const std::int64_t unit = ColumnsCoverRecords(axis, next, width) ? axis.SlotsPerRecord : 1;
        const std::int64_t anchor = before.First / unit * unit;
        EXPECT_LE(after.First, anchor) << "turn " << turns;
        EXPECT_GT(after.End, anchor) << "turn " << turns;
      }
      view = next;
    }
    // One column per frame: neighbouring columns show neighbouring frames.
    EXPECT_EQ(view.Count, width);
    EXPECT_EQ(ZoomAbout(axis, view, width, x, 1.25), view);
    for (std::int32_t c = 0; c + 1 < width; c += 50) {
      EXPECT_EQ(axis.SlotOf(FrameAtColumn(axis, view, width, c + 1)),
                axis.SlotOf(FrameAtColumn(axis, view, width, c)) + 1);
    }
    // Zooming out comes back to the whole recording and stops there.
    for (turns = 0; view != WholeView(axis); ++turns) {
      ASSERT_LT(turns, 200);
      view = ZoomAbout(axis, view, width, x, 0.8);
    }
    EXPECT_EQ(ZoomAbout(axis, view, width, x, 0.8), WholeView(axis));
  }
}

TEST(OverviewMapping, PanMovesByColumnsAndStopsAtTheEnds) {
  const OverviewAxis axis{1000, 10};  // 10000 slots
  // Frames: 2 slots a column.
  EXPECT_EQ(PanBy(axis, {4000, 200}, 100, 30), (OverviewView{4060, 200}));
  EXPECT_EQ(PanBy(axis, {4000, 200}, 100, -30), (OverviewView{3940, 200}));
  EXPECT_EQ(PanBy(axis, {4000, 200}, 100, 100000), (OverviewView{9800, 200}));
  EXPECT_EQ(PanBy(axis, {4000, 200}, 100, -100000), (OverviewView{0, 200}));
  // Records: 4 records a column, whole records only.
  EXPECT_EQ(PanBy(axis, {4000, 4000}, 100, 3), (OverviewView{4120, 4000}));
  EXPECT_EQ(PanBy(axis, WholeView(axis), 100, 3), WholeView(axis));
}

// ---------------------------------------------------------------------------
// Gate strip and B-scan from hand-made results

struct HandRecord {
  bool Done = true;
  std::vector<FrameFigures> Frames;
  AmplitudeColumn MaxHold{};
  std::int32_t BlockRecord = -1;
};

std::shared_ptr<AnalysisResults> HandResults(const std::vector<HandRecord>& records) {
  RecordingLayout layout;
  layout.RecordCount = static_cast<std::int32_t>(records.size());
  for (std::size_t r = 0; r < records.size(); ++r) {
    const auto offset = static_cast<std::int32_t>(4 + 100 * r);
    layout.Index.push_back({offset, 100, offset});
  }
  auto results = std::make_shared<AnalysisResults>(std::move(layout), 1);
  for (std::size_t r = 0; r < records.size(); ++r) {
    if (!records[r].Done) continue;
    const AnalysisResults::RecordFigures figures{records[r].BlockRecord, false, records[r].MaxHold};
    const std::uint8_t frames[] = {static_cast<std::uint8_t>(records[r].Frames.size())};
    results->PublishBatch(static_cast<std::int32_t>(r), std::span(&figures, 1), frames,
                          records[r].Frames);
  }
  return results;
}

FrameFigures Figures(std::uint8_t peak, bool exceeds = false, bool below = false) {
  FrameFigures f;
  f.GateAPeak = peak;
  f.GateAPeakColumn = 0;
  f.GateAExceeds = exceeds;
  f.GateBBelow = below;
  return f;
}

using Kind = GateColumn::Kind;

TEST(GateColumns, EachColumnShowsTheLargestPeakAndAnyAlarmOfItsFrames) {
  // Four slots a record; record 1 not analysed yet; record 2 has two frames.
  const auto results = HandResults({
      {true, {Figures(10), Figures(90, true), Figures(30), Figures(20, false, true)}},
      {false, {}},
      {true, {Figures(5), Figures(200)}},
  });
  const OverviewAxis axis{3, 4};

  // One column a frame.
  EXPECT_EQ(GateColumns(*results, axis, WholeView(axis), 12),
            (std::vector<GateColumn>{
                {Kind::Figures, 10, false, false, -1}, {Kind::Figures, 90, true, false, -1},
                {Kind::Figures, 30, false, false, -1}, {Kind::Figures, 20, false, true, -1},
                {}, {}, {}, {},
                {Kind::Figures, 5, false, false, -1}, {Kind::Figures, 200, false, false, -1},
                {Kind::Empty, 0, false, false, -1}, {Kind::Empty, 0, false, false, -1}}));
  // Two frames a column.
  EXPECT_EQ(GateColumns(*results, axis, WholeView(axis), 6),
            (std::vector<GateColumn>{{Kind::Figures, 90, true, false, -1},
                                     {Kind::Figures, 30, false, true, -1},
                                     {},
                                     {},
                                     {Kind::Figures, 200, false, false, -1},
                                     {Kind::Empty, 0, false, false, -1}}));
  // A record a column, and a column over an analysed and a pending record.
  EXPECT_EQ(GateColumns(*results, axis, WholeView(axis), 3),
            (std::vector<GateColumn>{{Kind::Figures, 90, true, true, -1},
                                     {},
                                     {Kind::Figures, 200, false, false, -1}}));
  EXPECT_EQ(GateColumns(*results, axis, WholeView(axis), 1),
            (std::vector<GateColumn>{{Kind::Figures, 200, true, true, -1}}));
}

AmplitudeColumn Flat(std::uint8_t value) {
  AmplitudeColumn column;
  column.fill(value);
  return column;
}

TEST(OverviewBScan, ColumnsOverPartsOfRecordsUseTheFramesAndWholeRecordsTheMaxHold) {
  const auto results = HandResults({
      {true, {Figures(0), Figures(0)}, Flat(180)},
      {false, {}, {}},
  });
  const OverviewAxis axis{2, 2};
  const std::vector<AmplitudeColumn> frames = {Flat(20), Flat(180)};
  const FrameAmplitudesOf framesOf = [&](std::int32_t r) { return r == 0 ? &frames : nullptr; };

  // One column a frame: each frame's own amplitudes.
  BScanImage image = OverviewBScan(*results, axis, WholeView(axis), 4, 2, framesOf);
  EXPECT_EQ(image.At(0, 0), AmplitudeColor(20));
  EXPECT_EQ(image.At(1, 1), AmplitudeColor(180));
  EXPECT_EQ(image.At(2, 0), kPendingColor);
  EXPECT_EQ(image.At(3, 1), kPendingColor);
  // Frames not decoded yet: the record's max-hold stands in.
  image = OverviewBScan(*results, axis, WholeView(axis), 4, 2, nullptr);
  EXPECT_EQ(image.At(0, 0), AmplitudeColor(180));
  // A column a record: the max-hold, without asking for frames.
  image = OverviewBScan(*results, axis, WholeView(axis), 2, 2,
                        [](std::int32_t) -> const std::vector<AmplitudeColumn>* {
                          ADD_FAILURE() << "frames asked for";
                          return nullptr;
                        });
  EXPECT_EQ(image.At(0, 1), AmplitudeColor(180));
  EXPECT_EQ(image.At(1, 1), kPendingColor);

  EXPECT_EQ(RecordsNeedingFrames(*results, axis, WholeView(axis), 4),
            (std::vector<std::int32_t>{0}));
  EXPECT_TRUE(RecordsNeedingFrames(*results, axis, WholeView(axis), 2).empty());
}

TEST(OverviewBScan, WholeRecordColumnsDrawTheCommandLinePicture) {
  const std::string path = testing_data::WriteVariedRecording("overview_bscan.dat", 40);
  const auto results = AnalyzeRecording(path, std::nullopt, 2);
  ASSERT_TRUE(results);
  const OverviewAxis axis{results->IndexedRecords(), 11};
  EXPECT_EQ(OverviewBScan(*results, axis, WholeView(axis), 40, 70, nullptr),
            RecordingBScan(*results, 40, 70));
  EXPECT_EQ(OverviewBScan(*results, axis, WholeView(axis), 13, 280, nullptr),
            RecordingBScan(*results, 13, 280));
}

// ---------------------------------------------------------------------------
// Settings timeline

recording::ParameterBlock Stamped(recording::ParameterBlock block, std::uint8_t second) {
  block.StampBcd = {0x08, 0x00, second};
  return block;
}

TEST(SettingsTimeline, MarksBlocksThatChangeASettingAndGivesEachRecordItsLevel) {
  const recording::ParameterBlock a = testing_data::GateBlock(0, 100);
  recording::ParameterBlock b = a;
  b.BaseGain = 460;
  const recording::ParameterBlock curve = testing_data::CurveGateBlock();

  tools::RecordingWriter writer;
  auto add = [&](std::optional<recording::ParameterBlock> block, std::vector<std::uint16_t> note = {}) {
    tools::RecordSpec content;
    content.Frames.push_back(testing_data::VariedFrame(1, false));
    content.Parameters = block;
    content.NoteUnits = std::move(note);
    writer.AddRecord(content);
  };
  add(Stamped(a, 0x01));                   // 0: the first block changes nothing
  add(std::nullopt);                       // 1
  add(Stamped(a, 0x03), {0x41, 0x42});     // 2: a note and a new time only
  add(Stamped(b, 0x04));                   // 3: the gain changes
  add(std::nullopt);                       // 4
  add(Stamped(curve, 0x06));               // 5: gate A along the curve
  const std::string path = testing_data::TestTempPath("overview_settings.dat");
  ASSERT_TRUE(writer.WriteFile(path));

  recording::RecordingFile file;
  ASSERT_TRUE(file.OpenRecording(path));
  SettingsTimeline timeline(file.RecordIndex());
  RecordReader reader(file.RecordIndex());
  ASSERT_TRUE(reader.Open(path));
  int reads = 0;
  while (timeline.ReadNext(reader)) ++reads;
  EXPECT_TRUE(timeline.Complete());
  EXPECT_EQ(reads, 4);
  EXPECT_EQ(timeline.Entries(), (std::vector<SettingsEntry>{{0, 100, false, false},
                                                            {2, 100, false, false},
                                                            {3, 100, false, true},
                                                            {5, 150, true, true}}));
  EXPECT_EQ(timeline.EntryOf(1), nullptr);

  // The gate strip takes each column's level from its governing block; a
  // gate along the curve has no single level.
  const auto results = AnalyzeRecording(path, std::nullopt, 1);
  ASSERT_TRUE(results);
  const OverviewAxis axis{6, 1};
  std::vector<std::int32_t> levels;
  for (const GateColumn& c : GateColumns(*results, axis, WholeView(axis), 6, &timeline)) {
    levels.push_back(c.Level);
  }
  EXPECT_EQ(levels, (std::vector<std::int32_t>{100, 100, 100, 100, 100, -1}));
}

TEST(SettingsTimeline, StampAndNoteLengthAreNoSettings) {
  recording::ParameterBlock a = testing_data::GateBlock(0, 100);
  recording::ParameterBlock b = a;
  b.StampBcd = {1, 2, 3};
  b.NoteLength = 9;
  EXPECT_FALSE(SettingsDiffer(a, b));
  b.GateBLevel = 71;
  EXPECT_TRUE(SettingsDiffer(a, b));
}

}  // namespace
}  // namespace sonalyt::analysis
