// The screen picture of a frame and its two scales, as lists of canvas
// operations.

#include "display/frame_image.h"

#include <gtest/gtest.h>

#include "display/recording_canvas.h"
#include "drawing_test_support.h"

namespace sonalyt::display {
namespace {

using namespace testing_support;
using recording::FrameReadings;
using recording::ParameterBlock;

constexpr std::uint32_t kRf = 3u << 28;
constexpr std::uint32_t kGateFollowsCurve = 1u << 3;
constexpr std::uint32_t kFlatCurve = 1u << 4;

Ops Draw(std::int32_t w, std::int32_t h, const ParameterBlock& block, const Values& samples,
         const FrameReadings& readings, CurveState& curves) {
  RecordingCanvas canvas(w, h);
  DrawFrame(canvas, samples, readings, block, curves);
  return canvas.Ops();
}

Ops Draw(std::int32_t w, std::int32_t h, const ParameterBlock& block, CurveState& curves) {
  return Draw(w, h, block, Values{}, FrameReadings{}, curves);
}

// Grid, then the flat zero waveform of an all-zero frame.
Ops ScreenStart(std::int32_t w, std::int32_t h) {
  return Grid(w, h, kBlack, kYellow) + Ops{DrawOp::Pen(kGreen, 1, PenStyle::Solid), Trace(w, h, {})};
}

TEST(DrawEmptyFrame, GridAndBorderAt306x245) {
  RecordingCanvas canvas(306, 245);
  DrawEmptyFrame(canvas);
  const Ops expected = {
      DrawOp::Fill(0, 0, 306, 245, kBlack),
      DrawOp::Pen(kYellow, 1, PenStyle::Dotted),
      DrawOp::Move(0, 49), DrawOp::Line(306, 49), DrawOp::Move(61, 0), DrawOp::Line(61, 245),
      DrawOp::Move(0, 98), DrawOp::Line(306, 98), DrawOp::Move(122, 0), DrawOp::Line(122, 245),
      DrawOp::Move(0, 147), DrawOp::Line(306, 147), DrawOp::Move(183, 0), DrawOp::Line(183, 245),
      DrawOp::Move(0, 196), DrawOp::Line(306, 196), DrawOp::Move(244, 0), DrawOp::Line(244, 245),
      DrawOp::Pen(kYellow, 1, PenStyle::Solid),
      DrawOp::Move(0, 0), DrawOp::Line(305, 0), DrawOp::Line(305, 244), DrawOp::Line(0, 244),
      DrawOp::Line(0, 0),
  };
  EXPECT_EQ(canvas.Ops(), expected);
  EXPECT_EQ(Grid(306, 245, kBlack, kYellow), expected);
}

TEST(DrawFrame, EnvelopeUnderSamplesCappedAtFullHeight) {
  Values samples{};
  Values envelope{};
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::uint8_t>(i);
    envelope[i] = static_cast<std::uint8_t>(255 - i);
  }
  FrameReadings readings;
  readings.Envelope = envelope;
  const Ops gateA = {DrawOp::Pen(kMagenta, 1, PenStyle::Solid), DrawOp::Move(0, 245),
                     DrawOp::Line(0, 245)};
  for (const std::uint32_t mode : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(testing::Message() << "EnvelopeMode " << mode);
    ParameterBlock block;
    block.DisplayWord = mode;
    CurveState curves;
    const Ops ops = Draw(306, 245, block, samples, readings, curves);
    Ops expected = Grid(306, 245, kBlack, kYellow);
    if (mode != 0) expected = expected + Ops{DrawOp::Pen(kCyan, 1, PenStyle::Solid), Trace(306, 245, envelope)};
    expected = expected + Ops{DrawOp::Pen(kGreen, 1, PenStyle::Solid), Trace(306, 245, samples)} + gateA;
    EXPECT_EQ(ops, expected);
  }
  // The mapping at the corners: 0 lies just below the last row, 200 and
  // more on the top row, column 279 at x 304.
  const std::vector<Point>& points = Trace(306, 245, samples).points;
  EXPECT_EQ(points[0], (Point{0, 245}));
  EXPECT_EQ(points[100], (Point{109, 123}));
  EXPECT_EQ(points[200], (Point{218, 0}));
  EXPECT_EQ(points[255], (Point{278, 0}));
  EXPECT_EQ(points[279], (Point{304, 217}));  // the byte 279 & 0xFF = 23
}

struct GateCase {
  const char* name;
  void (*setUp)(ParameterBlock&);
  Ops gates;
};

TEST(DrawFrame, GateForms) {
  const Ops kPlainA = {DrawOp::Pen(kMagenta, 1, PenStyle::Solid), DrawOp::Move(61, 123),
                       DrawOp::Line(91, 123)};
  const GateCase cases[] = {
      {"plain gate A", [](ParameterBlock&) {}, kPlainA},
      {"RF: a pair about the middle line", [](ParameterBlock& b) { b.DisplayWord = kRf; },
       Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(61, 61, 91, 61) + Line(61, 183, 91, 183)},
      {"following the curve needs a curve on",
       [](ParameterBlock& b) { b.DisplayWord = kGateFollowsCurve; }, kPlainA},
      {"width 0", [](ParameterBlock& b) { b.GateAWidth = 0; },
       Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(61, 123, 61, 123)},
      {"level above the top", [](ParameterBlock& b) { b.GateALevel = 250; },
       Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(61, -61, 91, -61)},
      {"gate B level 3 is not drawn", [](ParameterBlock& b) { b.GateBLevel = 3; }, kPlainA},
      {"gate B level 4", [](ParameterBlock& b) { b.GateBLevel = 4; },
       kPlainA + Ops{DrawOp::Pen(kBlue, 1, PenStyle::Solid)} + Line(153, 241, 183, 241)},
      {"gate B has no RF form",
       [](ParameterBlock& b) {
         b.DisplayWord = kRf;
         b.GateBLevel = 100;
       },
       Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(61, 61, 91, 61) +
           Line(61, 183, 91, 183) + Ops{DrawOp::Pen(kBlue, 1, PenStyle::Solid)} +
           Line(153, 123, 183, 123)},
  };
  for (const GateCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    block.GateAStart = 56;
    block.GateAWidth = 28;
    block.GateALevel = 100;
    block.GateBStart = 140;
    block.GateBWidth = 28;
    c.setUp(block);
    CurveState curves;
    EXPECT_EQ(Draw(306, 245, block, curves), ScreenStart(306, 245) + c.gates);
  }
}

// The path of one curve line at a constant height on a 280 x h picture.
Ops LevelPath(std::int32_t h, std::int32_t height) {
  Ops ops = {DrawOp::Move(0, Y(h, height))};
  if (height >= h) return ops;
  for (std::int32_t c = 1; c < 280; ++c) ops.push_back(DrawOp::Line(c, Y(h, height)));
  return ops;
}

struct CurveLineCase {
  const char* name;
  std::int32_t height;  // of the picture
  std::uint32_t lineCount;
  bool flat;
  Ops lines;
  std::int16_t finalHeight;  // of ReferenceCurve afterwards
};

TEST(DrawFrame, CurveLinesShiftedFromLineToLine) {
  // Offsets 0, +6 dB, +6 dB, 0: the heights 80, 160, 160 (no shift between
  // equal offsets) and back to 80.
  const CurveLineCase cases[] = {
      {"one line, then shifted to the next offset", 200, 1, false, LevelPath(200, 80), 160},
      {"equal offsets draw the same line twice", 200, 3, false,
       LevelPath(200, 80) + LevelPath(200, 160) + LevelPath(200, 160), 80},
      {"heights of the picture height or more are skipped", 100, 2, false,
       LevelPath(100, 80) + LevelPath(100, 160), 160},
      {"a line count of 7 draws none", 200, 7, false, {}, 80},
      {"flat lines from column 1 to the right edge", 200, 3, true,
       Line(1, 120, 280, 120) + Line(1, 40, 280, 40) + Line(1, 40, 280, 40), 80},
      {"a flat line at the picture height or more is left out", 100, 2, true,
       Line(1, 60, 280, 60), 160},
  };
  for (const CurveLineCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block = FlatHeightCurveBlock();
    block.CurveWord = c.lineCount;
    block.CurveOffset = {0, 60, 60, 0, 0, 0, 0};
    if (c.flat) block.DisplayWord = kFlatCurve;
    CurveState curves;
    const Ops expected = ScreenStart(280, c.height) + Ops{DrawOp::Pen(kCyan, 1, PenStyle::Solid)} +
                         c.lines + Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} +
                         Line(0, c.height, 0, c.height);
    EXPECT_EQ(Draw(280, c.height, block, curves), expected);
    EXPECT_EQ(curves.ReferenceCurve[0], c.finalHeight);
    EXPECT_EQ(curves.ReferenceCurve[200], c.finalHeight);
  }
}

TEST(DrawFrame, CurvePathJoinsTheNextColumnBelowThePictureHeight) {
  // Heights fall from 80 to 20 along the screen; on a picture 60 high the
  // columns of 60 and more are left out and the path starts at column 0
  // regardless.
  ParameterBlock block = FlatHeightCurveBlock();
  block.DacPointCount = 3;
  block.DacPointPath = {500, 1000, 1500};
  block.DacPointDb = {400, 460, 520};
  block.CurveWord = 1;
  const CurveState heights = ComputedCurve(block);
  Ops path = {DrawOp::Move(0, Y(60, heights.ReferenceCurve[0]))};
  std::int32_t skipped = 0;
  for (std::int32_t c = 1; c < 280; ++c) {
    const std::int32_t v = heights.ReferenceCurve[static_cast<std::size_t>(c)];
    if (v < 60) {
      path.push_back(DrawOp::Line(c, Y(60, v)));
    } else {
      ++skipped;
    }
  }
  ASSERT_GT(skipped, 70);
  ASSERT_EQ(path[0], DrawOp::Move(0, 36));

  CurveState curves;
  EXPECT_EQ(Draw(280, 60, block, curves),
            ScreenStart(280, 60) + Ops{DrawOp::Pen(kCyan, 1, PenStyle::Solid)} + path +
                Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(0, 60, 0, 60));
}

struct CurveGateCase {
  const char* name;
  std::uint16_t start;
  std::uint16_t width;
  std::int32_t firstColumn;
  std::int32_t columns;  // drawn under the gate
};

TEST(DrawGateA, AlongTheGateCurve) {
  const CurveGateCase cases[] = {
      {"three columns", 100, 3, 100, 3},
      {"width 0: two points at the top edge", 100, 0, 100, 0},
      {"cut at the last curve column", 299, 10, 299, 2},
      {"cut to 300 columns", 0, 400, 0, 300},
      {"start beyond the curve", 400, 5, 400, 0},
  };
  for (const CurveGateCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block = FlatHeightCurveBlock();
    block.DisplayWord = kGateFollowsCurve;
    block.GateAStart = c.start;
    block.GateAWidth = c.width;
    const CurveState curves = ComputedCurve(block);
    std::vector<Point> points = {{c.firstColumn, 0}};
    for (std::int32_t i = 0; i < c.columns; ++i) {
      const std::int32_t column = c.firstColumn + i;
      points.push_back({column, 200 - curves.GateCurve[static_cast<std::size_t>(column)]});
    }
    points.push_back({c.firstColumn + c.columns - 1, 0});
    RecordingCanvas canvas(280, 200);
    DrawGateA(canvas, block, curves, true);
    EXPECT_EQ(canvas.Ops(), (Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid), DrawOp::Poly(points)}));
  }
  // Under the screen the gate curve is the curve at its own offset.
  ParameterBlock block = FlatHeightCurveBlock();
  const CurveState curves = ComputedCurve(block);
  EXPECT_EQ(curves.GateCurve[100], 80);
}

TEST(DrawFrame, RejectedPointCountDrawsNoCurveAndAPlainGate) {
  ParameterBlock block = FlatHeightCurveBlock();
  block.DacPointCount = 11;
  block.CurveWord = 3;
  block.DisplayWord = kGateFollowsCurve;
  block.GateALevel = 100;
  CurveState curves;
  curves.ReferenceCurve.fill(50);
  const CurveState before = curves;
  EXPECT_EQ(Draw(280, 200, block, curves),
            ScreenStart(280, 200) + Ops{DrawOp::Pen(kMagenta, 1, PenStyle::Solid)} + Line(0, 100, 0, 100));
  EXPECT_EQ(curves, before);
}

TEST(DrawFrame, CurvesOffKeepTheCurveState) {
  ParameterBlock block = FlatHeightCurveBlock();
  block.CurveFlags = 0;
  block.CurveWord = 3;
  CurveState curves;
  curves.GateCurve.fill(7);
  const CurveState before = curves;
  Draw(306, 245, block, curves);
  EXPECT_EQ(curves, before);
}

TEST(DrawAmplitudeScale, NumbersAtTheGridHeightsOfTheWavePicture) {
  RecordingCanvas canvas(21, 265);
  DrawAmplitudeScale(canvas, 245);
  EXPECT_EQ(canvas.Ops(), (Ops{
                              DrawOp::Fill(0, 0, 21, 265, kBlack),
                              DrawOp::Text(2, 245, "0", kYellow),
                              DrawOp::Text(2, 196, "20", kYellow),
                              DrawOp::Text(2, 147, "40", kYellow),
                              DrawOp::Text(2, 98, "60", kYellow),
                              DrawOp::Text(2, 49, "80", kYellow),
                              DrawOp::Text(2, 0, "100", kYellow),
                          }));
}

struct RangeScaleCase {
  const char* name;
  std::uint32_t unitWord;
  std::uint32_t rangeMode;
  std::uint32_t delay;
  std::vector<std::string> numbers;
};

TEST(DrawRangeScale, SixNumbersAlongEachRangeMode) {
  const RangeScaleCase cases[] = {
      {"sound path", 0, 2, 0, {"0.0 ", "40.0 ", "80.0 ", "120.0 ", "160.0 ", "200.0 "}},
      {"sound path, no suffix mode", 0, 3, 0, {"0.0 ", "40.0 ", "80.0 ", "120.0 ", "160.0 ", "200.0 "}},
      {"depth at 60 degrees", 0, 0, 0, {"0.0 ", "20.0 ", "40.0 ", "60.0 ", "80.0 ", "100.0 "}},
      {"horizontal at 60 degrees", 0, 1, 0,
       {"0.0 ", "34.6 ", "69.3 ", "103.9 ", "138.6 ", "173.2 "}},
      {"delayed by 3.0 mm", 0, 2, 100, {"3.0 ", "43.0 ", "83.0 ", "123.0 ", "163.0 ", "203.0 "}},
      {"inches keep one decimal", 1u << 6, 2, 0, {"0.0 ", "0.4 ", "0.8 ", "1.2 ", "1.6 ", "2.0 "}},
  };
  for (const RangeScaleCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    block.UnitWord = c.unitWord;
    block.CurveWord = c.rangeMode << 24;
    block.ProbeAngle = 600;
    block.Range = 2000;
    block.Velocity = 5920;
    block.Delay = c.delay;
    SettingsTexts texts;
    RangeAxis axis;
    ShowBasicFields(block, texts, axis);
    RecordingCanvas canvas(306, 21);
    DrawRangeScale(canvas, axis);
    const std::int32_t xs[] = {0, 46, 107, 168, 229, 273};
    Ops expected = {DrawOp::Fill(0, 0, 306, 21, kBlack)};
    for (std::size_t i = 0; i < 6; ++i) expected.push_back(DrawOp::Text(xs[i], 2, c.numbers[i], kYellow));
    EXPECT_EQ(canvas.Ops(), expected);
  }
}

TEST(DrawRangeScale, BeforeAnyParameterBlockReadsZeros) {
  RecordingCanvas canvas(306, 21);
  DrawRangeScale(canvas, RangeAxis{});
  ASSERT_EQ(canvas.Ops().size(), 7u);
  for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(canvas.Ops()[i].text, "0.0 ");
}

TEST(DrawEmptyRangeScale, AnEmptyBlackStrip) {
  RecordingCanvas canvas(306, 21);
  DrawEmptyRangeScale(canvas);
  EXPECT_EQ(canvas.Ops(), (Ops{DrawOp::Fill(0, 0, 306, 21, kBlack)}));
}

}  // namespace
}  // namespace sonalyt::display
