// Indications and coupling losses: run building and merging, the peak
// position in millimetres and inches, the whole list on a recording checked
// against what a jump in the viewer shows, and the CSV export read back as a
// spreadsheet program reads it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/indication_csv.h"
#include "analysis/indications.h"
#include "analysis_test_data.h"
#include "analysis/recording_analysis.h"
#include "display/canvas.h"
#include "display/recording_canvas.h"
#include "recording/recording_file.h"
#include "session/viewer_session.h"
#include "tools/recording_writer.h"

namespace sonalyt::analysis {
namespace {

// ---------------------------------------------------------------- runs

// A recording as marks per record: '.' a frame without the condition, a
// digit a frame with it whose GateAPeak is that digit (the column is the
// frame number).
std::vector<FrameRun> RunsOf(const std::vector<std::string>& records, std::int32_t mergeGap) {
  RunBuilder builder(mergeGap);
  for (std::size_t r = 0; r < records.size(); ++r) {
    for (std::size_t k = 0; k < records[r].size(); ++k) {
      const char c = records[r][k];
      const bool marked = c != '.';
      builder.Add(static_cast<std::int32_t>(r), static_cast<std::int32_t>(k), marked,
                  marked ? c - '0' : 0, static_cast<std::int32_t>(k));
    }
  }
  return builder.Finish();
}

FrameRun ExpectedRun(std::int32_t firstRecord, std::int32_t firstFrame, std::int32_t lastRecord,
             std::int32_t lastFrame, std::int32_t frames, std::int32_t peakRecord,
             std::int32_t peakFrame, std::int32_t peak) {
  return {{firstRecord, firstFrame, lastRecord, lastFrame, frames}, peakRecord, peakFrame, peak,
          peakFrame};
}

struct RunCase {
  const char* Name;
  std::vector<std::string> Records;
  std::int32_t MergeGap;
  std::vector<FrameRun> Expected;
};

TEST(RunBuilder, BuildsAndMergesRuns) {
  const RunCase cases[] = {
      {"NoMarkedFrame", {"....", ".."}, 13, {}},
      {"GapOfExactlyMergeGapMerges", {"11..1"}, 2, {ExpectedRun(0, 0, 0, 4, 5, 0, 0, 1)}},
      {"GapOfMergeGapPlusOneSplits", {"11...1"}, 2,
       {ExpectedRun(0, 0, 0, 1, 2, 0, 0, 1), ExpectedRun(0, 5, 0, 5, 1, 0, 5, 1)}},
      {"MergeGapZeroMergesNothing", {"1.1", "11"}, 0,
       {ExpectedRun(0, 0, 0, 0, 1, 0, 0, 1), ExpectedRun(0, 2, 1, 1, 3, 0, 2, 1)}},
      {"RunAcrossRecordBoundary", {"..12", "31.."}, 0, {ExpectedRun(0, 2, 1, 1, 4, 1, 0, 3)}},
      {"GapAcrossRecordBoundaryCounts", {"2..", ".5"}, 3, {ExpectedRun(0, 0, 1, 1, 5, 1, 1, 5)}},
      {"GapAcrossRecordBoundaryTooLong", {"2..", "..5"}, 3,
       {ExpectedRun(0, 0, 0, 0, 1, 0, 0, 2), ExpectedRun(1, 2, 1, 2, 1, 1, 2, 5)}},
      {"StartsInLastFrameOfRecord", {"...4", "....", "...."}, 1, {ExpectedRun(0, 3, 0, 3, 1, 0, 3, 4)}},
      {"StartsInLastFrameAndRunsOn", {"...4", "6...."}, 1, {ExpectedRun(0, 3, 1, 0, 2, 1, 0, 6)}},
      {"PeakTiesGoToTheEarliest", {"3553", "5"}, 0, {ExpectedRun(0, 0, 1, 0, 5, 0, 1, 5)}},
      {"RecordWithoutFramesIsNoGap", {"1", "", "1"}, 0, {ExpectedRun(0, 0, 2, 0, 2, 0, 0, 1)}},
      {"MarkedFromStartToEnd", {"12", "21"}, 13, {ExpectedRun(0, 0, 1, 1, 4, 0, 1, 2)}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(RunsOf(c.Records, c.MergeGap), c.Expected);
  }
}

TEST(IndicationOptions, ChecksTheirRanges) {
  EXPECT_EQ(CheckIndicationOptions({}), "");
  EXPECT_EQ(CheckIndicationOptions({0, 0.0}), "");
  EXPECT_EQ(CheckIndicationOptions({5, 100.0}), "");
  EXPECT_NE(CheckIndicationOptions({-1, std::nullopt}), "");
  EXPECT_NE(CheckIndicationOptions({13, -0.5}), "");
  EXPECT_NE(CheckIndicationOptions({13, 100.01}), "");
  EXPECT_NE(CheckIndicationOptions({13, std::nan("")}), "");
}

// ---------------------------------------------------------------- position

struct PositionCase {
  const char* Name;
  recording::ParameterBlock Block;
  std::int32_t Column;
  PeakPosition Expected;
  const char* SoundPathText;
};

recording::ParameterBlock PositionBlock(std::uint16_t velocity, std::uint32_t delay,
                                        std::uint32_t range, std::uint16_t angle, bool inch) {
  recording::ParameterBlock block;
  block.Velocity = velocity;
  block.Delay = delay;
  block.Range = range;
  block.ProbeAngle = angle;
  block.UnitWord = inch ? 1u << 6 : 0u;
  return block;
}

TEST(PeakPosition, SoundPathDepthAndHorizontalInMillimetresAndInches) {
  const double sin60 = std::sin(std::acos(-1.0) / 3), cos60 = 0.5;
  const double sin45 = std::sqrt(0.5);
  const PositionCase cases[] = {
      // ScreenStart 323000 / 20000 = 16 (truncated); 16 + 140 * 2000 / 280 = 1016.
      {"Millimetres", PositionBlock(3230, 100, 2000, 600, false), 140,
       {101.6, 101.6 * cos60, 101.6 * sin60, false}, "101.6"},
      // 0 + 70 * 4000 / 280 = 1000 thousandths of an inch.
      {"Inches", PositionBlock(3230, 0, 4000, 450, true), 70, {1.0, sin45, sin45, true}, "1.000"},
      // The second term is not truncated: 1 * 1000 / 280 = 3.5714...
      {"FractionalColumnTerm", PositionBlock(3230, 0, 1000, 0, false), 1,
       {1000.0 / 280 / 10, 1000.0 / 280 / 10, 0.0, false}, "0.4"},
      // 65535 * 100000 wraps in 32 bits to 2258532704; / 20000 = 112926.
      {"UnsignedProductWraps", PositionBlock(65535, 100000, 0, 0, false), 0,
       {11292.6, 11292.6, 0.0, false}, "11292.6"},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const PeakPosition p = PeakPositionAt(c.Block, c.Column);
    EXPECT_EQ(p.InchUnits, c.Expected.InchUnits);
    EXPECT_NEAR(p.SoundPath, c.Expected.SoundPath, 1e-9);
    EXPECT_NEAR(p.Depth, c.Expected.Depth, 1e-9);
    EXPECT_NEAR(p.Horizontal, c.Expected.Horizontal, 1e-9);
    EXPECT_EQ(LengthText(p.SoundPath, p.InchUnits), c.SoundPathText);
  }
}

// ---------------------------------------------------------------- list

// Gate A over columns 90..149 at 40 % (level 80), gate B over 230..269 at
// level 70, a 60 degree probe; one-gate readouts, no curve.
recording::ParameterBlock ListBlock(bool inch) {
  recording::ParameterBlock block = PositionBlock(3230, 100, inch ? 6000 : 2000, 600, inch);
  block.GateAStart = 90;
  block.GateAWidth = 60;
  block.GateALevel = 80;
  block.GateBStart = 230;
  block.GateBWidth = 40;
  block.GateBLevel = 70;
  return block;
}

// An echo of `height` at `column` (peak there, falling by 20 a column), a
// back-wall echo of 120 at column 240 unless it is missing.
tools::FrameData EchoFrame(int column, int height, bool backWall, std::int32_t reading) {
  tools::FrameData frame;
  if (height > 0) {
    for (int d = -2; d <= 2; ++d) {
      frame.Samples[static_cast<std::size_t>(column + d)] =
          static_cast<std::uint8_t>(std::max(0, height - 20 * std::abs(d)));
    }
  }
  if (backWall) frame.Samples[240] = 120;
  frame.Reading0 = reading;
  frame.Reading1 = reading / 2;
  frame.Reading2 = reading / 3;
  frame.Reading3 = height * 5;
  return frame;
}

std::vector<std::uint16_t> AsciiUnits(const std::string& text) {
  return {text.begin(), text.end()};
}

// Record 0 (block, no note): echoes of 100 and 120 in frames 1 and 2, the
// back wall missing in frames 3 and 4. Record 1 (no block): an echo of 90
// in frame 0. Record 2 (block, note "weld, seam 2"): an echo of 160 in its
// last frame. Record 3 (inch block): an echo of 200 in frame 0 at column 100.
std::string WriteListRecording() {
  tools::RecordingWriter writer;
  tools::RecordSpec r0;
  r0.Parameters = ListBlock(false);
  const int heights0[] = {0, 100, 120, 0, 0, 0};
  for (int k = 0; k < 6; ++k) {
    r0.Frames.push_back(EchoFrame(120, heights0[k], k != 3 && k != 4, 1000 + k));
  }
  writer.AddRecord(r0);
  tools::RecordSpec r1;
  r1.Frames = {EchoFrame(110, 90, true, 2000), EchoFrame(0, 0, true, 0), EchoFrame(0, 0, true, 0),
               EchoFrame(0, 0, true, 0)};
  writer.AddRecord(r1);
  tools::RecordSpec r2;
  r2.Parameters = ListBlock(false);
  r2.NoteUnits = AsciiUnits("weld, seam 2");
  r2.Frames = {EchoFrame(0, 0, true, 0), EchoFrame(0, 0, true, 0), EchoFrame(0, 0, true, 0),
               EchoFrame(140, 160, true, 3000)};
  writer.AddRecord(r2);
  tools::RecordSpec r3;
  r3.Parameters = ListBlock(true);
  r3.Frames = {EchoFrame(100, 200, true, 4000), EchoFrame(0, 0, true, 0)};
  writer.AddRecord(r3);
  const std::string path = testing_data::TestTempPath("indications_list.dat");
  EXPECT_TRUE(writer.WriteFile(path));
  return path;
}

class IndicationListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = WriteListRecording();
    ASSERT_TRUE(file_.OpenRecording(path_));
    std::string error;
    results_ = AnalyzeRecording(path_, LayoutOf(file_), 2, &error);
    ASSERT_TRUE(results_) << error;
    blocks_ = std::make_unique<GoverningBlocks>(file_.RecordIndex());
    ASSERT_TRUE(blocks_->Open(path_, &error)) << error;
  }

  IndicationList Find(const IndicationOptions& options) {
    return FindIndications(*results_, options, blocks_->Lookup(), file_.NoteTexts());
  }

  // The readouts a jump to the frame shows in the viewer.
  display::ReadoutTexts ReadoutsAfterJump(std::int32_t record, std::int32_t frame) {
    session::ViewerSession session;
    EXPECT_TRUE(session.OpenRecording(path_));
    session.CurrentRecord = record;
    session.LoadGoverningParameters(record);
    session.LoadRecord();
    display::RecordingCanvas canvas(306, 245);
    EXPECT_TRUE(session.DrawFrame(frame, canvas));
    return session.Readouts();
  }

  std::string path_;
  recording::RecordingFile file_;
  std::shared_ptr<const AnalysisResults> results_;
  std::unique_ptr<GoverningBlocks> blocks_;
};

TEST_F(IndicationListTest, RecordedThresholds) {
  const IndicationList list = Find({1, std::nullopt});
  EXPECT_EQ(list.RecordCount, 4);
  ASSERT_EQ(list.Indications.size(), 3u);

  const Indication& first = list.Indications[0];
  EXPECT_EQ(first.Span, (RunSpan{0, 1, 0, 2, 2}));
  EXPECT_EQ(first.PeakRecord, 0);
  EXPECT_EQ(first.PeakFrame, 2);
  EXPECT_EQ(first.PeakAmplitude, 60.0);
  EXPECT_EQ(first.PeakColumn, 120);
  ASSERT_TRUE(first.PeakDbOverThreshold);
  EXPECT_NEAR(*first.PeakDbOverThreshold, 20 * std::log10(120.0 / 80.0), 1e-12);
  EXPECT_EQ(first.Peak, PeakPositionAt(ListBlock(false), 120));
  EXPECT_EQ(first.Note, std::nullopt) << "before the first note";

  // Record 1 has no block of its own: record 0's governs it.
  const Indication& second = list.Indications[1];
  EXPECT_EQ(second.Span, (RunSpan{1, 0, 1, 0, 1}));
  EXPECT_EQ(second.PeakAmplitude, 45.0);
  EXPECT_NEAR(*second.PeakDbOverThreshold, 20 * std::log10(90.0 / 80.0), 1e-12);

  // Starts in the last frame of record 2, peaks in record 3 (inch block).
  const Indication& third = list.Indications[2];
  EXPECT_EQ(third.Span, (RunSpan{2, 3, 3, 0, 2}));
  EXPECT_EQ(third.PeakRecord, 3);
  EXPECT_EQ(third.PeakFrame, 0);
  EXPECT_EQ(third.PeakAmplitude, 100.0);
  EXPECT_EQ(third.PeakColumn, 100);
  EXPECT_EQ(third.Peak, PeakPositionAt(ListBlock(true), 100));
  EXPECT_TRUE(third.Peak.InchUnits);
  EXPECT_EQ(third.Note, "weld, seam 2");

  for (const Indication& i : list.Indications) {
    SCOPED_TRACE(i.PeakRecord);
    EXPECT_EQ(i.Readouts, ReadoutsAfterJump(i.PeakRecord, i.PeakFrame));
  }

  ASSERT_EQ(list.CouplingLosses.size(), 1u);
  EXPECT_EQ(list.CouplingLosses[0], (CouplingLoss{0, 3, 0, 4, 2}));
}

TEST_F(IndicationListTest, MergeGapJoinsAcrossRecords) {
  // Frames 0:3 .. 0:5 lie between the first two indications: a gap of 3.
  EXPECT_EQ(Find({2, std::nullopt}).Indications.size(), 3u);
  const IndicationList merged = Find({3, std::nullopt});
  ASSERT_EQ(merged.Indications.size(), 2u);
  EXPECT_EQ(merged.Indications[0].Span, (RunSpan{0, 1, 1, 0, 6}));
  EXPECT_EQ(merged.Indications[0].PeakRecord, 0);
  EXPECT_EQ(merged.Indications[0].PeakFrame, 2);
  // The coupling loss is one run of two frames whatever the gap.
  EXPECT_EQ(merged.CouplingLosses, (std::vector<CouplingLoss>{{0, 3, 0, 4, 2}}));
}

TEST_F(IndicationListTest, AbsoluteThresholdReplacesTheRecordedOnes) {
  const IndicationList list = Find({1, 55.0});
  ASSERT_EQ(list.Indications.size(), 2u);
  EXPECT_EQ(list.Indications[0].Span, (RunSpan{0, 2, 0, 2, 1}));
  EXPECT_NEAR(*list.Indications[0].PeakDbOverThreshold, 20 * std::log10(120.0 / 110.0), 1e-12);
  EXPECT_EQ(list.Indications[1].Span, (RunSpan{2, 3, 3, 0, 2}));

  // Threshold 0: every frame with an echo in gate A counts, and no ratio exists.
  const IndicationList zero = Find({0, 0.0});
  ASSERT_EQ(zero.Indications.size(), 3u);
  for (const Indication& i : zero.Indications) EXPECT_EQ(i.PeakDbOverThreshold, std::nullopt);

  // Full height: only the echo of 200.
  const IndicationList full = Find({1, 100.0});
  ASSERT_EQ(full.Indications.size(), 1u);
  EXPECT_EQ(full.Indications[0].Span, (RunSpan{3, 0, 3, 0, 1}));
  EXPECT_NEAR(*full.Indications[0].PeakDbOverThreshold, 0.0, 1e-12);
}

// ---------------------------------------------------------------- CSV

// Rows of fields as a spreadsheet program reads RFC 4180 text.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false, fieldStarted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"' && field.empty()) {
      quoted = fieldStarted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  if (!field.empty() || !rows.back().empty()) rows.back().push_back(field);
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

TEST(IndicationCsv, ReadsBackAsASpreadsheetProgramReadsIt) {
  Indication i;
  i.Span = {3, 4, 5, 6, 30};
  i.PeakRecord = 4;
  i.PeakFrame = 2;
  i.PeakAmplitude = 87.5;
  i.PeakColumn = 131;
  i.PeakDbOverThreshold = 3.5218;
  i.Peak = {101.55, 50.775, 87.946, false};
  i.Readouts = {"↘101.6", "→87.9", "↓50.8", "Φ3 x 40 +3.5dB"};
  i.Note = "焊缝A, \"2号\"\n复查";
  Indication inch = i;
  inch.Peak = {1.23456, 0.5, 1.0, true};
  inch.PeakDbOverThreshold = std::nullopt;
  inch.Note = std::nullopt;
  IndicationList list;
  list.Indications = {i, inch};

  const std::string csv = IndicationCsv(list);
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  const auto rows = ParseCsv(csv.substr(3));
  ASSERT_EQ(rows.size(), 3u);
  const std::vector<std::string> header = {
      "Number",        "FirstRecord", "FirstFrame", "LastRecord", "LastFrame",
      "Frames",        "PeakRecord",  "PeakFrame",  "PeakAmplitude", "PeakColumn",
      "PeakDbOverThreshold", "PeakSoundPath", "PeakDepth", "PeakHorizontal", "Unit",
      "Readout1",      "Readout2",    "Readout3",   "Readout4",   "Note"};
  EXPECT_EQ(rows[0], header);
  EXPECT_EQ(rows[1], (std::vector<std::string>{
                         "1", "3", "4", "5", "6", "30", "4", "2", "87.5", "131", "3.5", "101.6",
                         "50.8", "87.9", "mm", "↘101.6", "→87.9", "↓50.8", "Φ3 x 40 +3.5dB",
                         "焊缝A, \"2号\"\n复查"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{
                         "2", "3", "4", "5", "6", "30", "4", "2", "87.5", "131", "", "1.235",
                         "0.500", "1.000", "in", "↘101.6", "→87.9", "↓50.8", "Φ3 x 40 +3.5dB",
                         ""}));
}

TEST(IndicationCsv, EmptyListIsTheHeaderOnly) {
  const std::string csv = IndicationCsv({});
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBFNumber,", 0), 0u);
}

TEST(IndicationCsv, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("plain text"), "plain text");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
}

TEST(IndicationTexts, ClockAndApproximateTime) {
  // 26 frames: 40 ms a frame.
  EXPECT_DOUBLE_EQ(ApproximateSeconds(50, 8, 26), 50.32);
  EXPECT_EQ(ClockText(50.32), "0:50");
  EXPECT_EQ(ClockText(119.9), "1:59");
  EXPECT_EQ(ClockText(3725), "1:02:05");
}

}  // namespace
}  // namespace sonalyt::analysis
