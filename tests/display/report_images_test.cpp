// The report's black-on-white pictures: where they follow the screen and
// where they differ from it.

#include "display/report_images.h"

#include <gtest/gtest.h>

#include "display/recording_canvas.h"
#include "drawing_test_support.h"

namespace sonalyt::display {
namespace {

using namespace testing_support;
using recording::FrameReadings;
using recording::ParameterBlock;

DrawOp BlackPen() { return DrawOp::Pen(kBlack, 1, PenStyle::Solid); }

Ops DrawWave(std::int32_t w, std::int32_t h, const ParameterBlock& block, const Values& samples,
             const FrameReadings& readings, CurveState& curves) {
  RecordingCanvas canvas(w, h);
  DrawReportWave(canvas, samples, readings, block, curves);
  return canvas.Ops();
}

TEST(DrawReportWave, SamplesThenEnvelopeInBlackOnWhite) {
  Values samples{};
  Values envelope{};
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::uint8_t>(i);
    envelope[i] = static_cast<std::uint8_t>(i / 2);
  }
  FrameReadings readings;
  readings.Envelope = envelope;
  ParameterBlock block;
  block.DisplayWord = 1;  // envelope on
  block.GateALevel = 50;
  block.GateAWidth = 28;
  block.GateBLevel = 4;
  block.GateBStart = 140;
  block.GateBWidth = 140;
  CurveState curves;
  const Ops expected = {
      DrawOp::Fill(0, 0, 289, 257, kWhite),
      DrawOp::Pen(kBlack, 1, PenStyle::Dotted),
      DrawOp::Move(0, 51), DrawOp::Line(289, 51), DrawOp::Move(57, 0), DrawOp::Line(57, 257),
      DrawOp::Move(0, 102), DrawOp::Line(289, 102), DrawOp::Move(115, 0), DrawOp::Line(115, 257),
      DrawOp::Move(0, 154), DrawOp::Line(289, 154), DrawOp::Move(173, 0), DrawOp::Line(173, 257),
      DrawOp::Move(0, 205), DrawOp::Line(289, 205), DrawOp::Move(231, 0), DrawOp::Line(231, 257),
      BlackPen(),
      DrawOp::Move(0, 0), DrawOp::Line(288, 0), DrawOp::Line(288, 256), DrawOp::Line(0, 256),
      DrawOp::Line(0, 0),
      BlackPen(), Trace(289, 257, samples),
      BlackPen(), Trace(289, 257, envelope),
      BlackPen(), DrawOp::Move(0, 193), DrawOp::Line(28, 193),
      BlackPen(), DrawOp::Move(144, 252), DrawOp::Line(289, 252),
  };
  EXPECT_EQ(DrawWave(289, 257, block, samples, readings, curves), expected);
}

TEST(DrawReportWave, RfGateAboutTheMiddleLine) {
  ParameterBlock block;
  block.DisplayWord = 3u << 28;
  block.GateALevel = 100;
  block.GateAStart = 0;
  block.GateAWidth = 280;
  CurveState curves;
  const Ops ops = DrawWave(289, 257, block, {}, {}, curves);
  const Ops gate(ops.end() - 5, ops.end());
  EXPECT_EQ(gate, (Ops{BlackPen(), DrawOp::Move(0, 64), DrawOp::Line(289, 64), DrawOp::Move(0, 192),
                       DrawOp::Line(289, 192)}));
}

// One segment per column 0 to 279, tested on its left end only.
Ops Segments(std::int32_t w, std::int32_t h, const CurveColumns& curve) {
  Ops ops;
  for (std::int32_t c = 0; c < 280; ++c) {
    const std::int32_t v = curve[static_cast<std::size_t>(c)];
    if (v >= h) continue;
    ops = ops + Line(X(w, c), Y(h, v), X(w, c + 1), Y(h, curve[static_cast<std::size_t>(c + 1)]));
  }
  return ops;
}

TEST(DrawReportWave, CurveLinesAsOneSegmentPerColumn) {
  // Heights 80 at 30.0 dB, 160 after the +6 dB step: on a picture 100 high
  // the second line is left out entirely.
  ParameterBlock block = FlatHeightCurveBlock();
  block.CurveWord = 2;
  block.CurveOffset = {0, 60, 60, 0, 0, 0, 0};
  Ops level80;
  for (std::int32_t c = 0; c < 280; ++c) level80 = level80 + Line(c, 60, c + 1, 60);
  CurveState curves;
  const Ops ops = DrawWave(280, 100, block, {}, {}, curves);
  const Ops expected = Grid(280, 100, kWhite, kBlack) + Ops{BlackPen(), Trace(280, 100, {})} +
                       Ops{BlackPen()} + level80 + Ops{BlackPen()} + Line(0, 100, 0, 100);
  EXPECT_EQ(ops, expected);
  EXPECT_EQ(curves.ReferenceCurve[0], 160);
}

TEST(DrawReportWave, RisingCurveSegmentReachesAboveTheTop) {
  // The gain drops by 42.0 dB between columns 140 and 141: the height jumps
  // from 20 to far above a picture 60 high. The segment from column 140 is
  // still drawn, up beyond the top; the ones after it are left out.
  ParameterBlock block = FlatHeightCurveBlock();
  block.DacPointCount = 3;
  block.DacPointPath = {500, 1000, 1010};
  block.DacPointDb = {520, 520, 100};
  block.CurveWord = 1;
  const CurveState heights = ComputedCurve(block);
  const Ops segments = Segments(289, 60, heights.ReferenceCurve);
  std::int32_t steep = 0;
  for (std::size_t i = 1; i < segments.size(); i += 2) {
    if (segments[i].points[0].Y < 0) ++steep;
  }
  ASSERT_EQ(steep, 1);

  CurveState curves;
  const Ops ops = DrawWave(289, 60, block, {}, {}, curves);
  const Ops expected = Grid(289, 60, kWhite, kBlack) + Ops{BlackPen(), Trace(289, 60, {})} +
                       Ops{BlackPen()} + segments + Ops{BlackPen()} + Line(0, 60, 0, 60);
  EXPECT_EQ(ops, expected);
}

TEST(DrawReportWave, FlatLineAndGateAlongTheCurve) {
  ParameterBlock block = FlatHeightCurveBlock();
  block.CurveWord = 1;
  block.DisplayWord = (1u << 4) | (1u << 3);
  block.GateAStart = 10;
  block.GateAWidth = 2;
  CurveState curves;
  const Ops ops = DrawWave(280, 200, block, {}, {}, curves);
  const Ops expected = Grid(280, 200, kWhite, kBlack) + Ops{BlackPen(), Trace(280, 200, {})} +
                       Ops{BlackPen()} + Line(1, 120, 280, 120) +
                       Ops{BlackPen(), DrawOp::Poly({{10, 0}, {10, 120}, {11, 120}, {11, 0}})};
  EXPECT_EQ(ops, expected);
}

TEST(DrawReportAmplitudeScale, NumbersAtTheWavePictureHeights) {
  RecordingCanvas canvas(25, 281);
  DrawReportAmplitudeScale(canvas, 257);
  EXPECT_EQ(canvas.Ops(), (Ops{
                              DrawOp::Fill(0, 0, 25, 281, kWhite),
                              DrawOp::Text(2, 257, "0", kBlack),
                              DrawOp::Text(2, 205, "20", kBlack),
                              DrawOp::Text(2, 154, "40", kBlack),
                              DrawOp::Text(2, 102, "60", kBlack),
                              DrawOp::Text(2, 51, "80", kBlack),
                              DrawOp::Text(2, 0, "100", kBlack),
                          }));
}

TEST(DrawReportRangeScale, SameNumbersAtTheReportWidth) {
  RecordingCanvas canvas(289, 25);
  DrawReportRangeScale(canvas, RangeAxis{1.0f, 0.0f, 2000.0f});
  EXPECT_EQ(canvas.Ops(), (Ops{
                              DrawOp::Fill(0, 0, 289, 25, kWhite),
                              DrawOp::Text(0, 2, "0.0 ", kBlack),
                              DrawOp::Text(42, 2, "40.0 ", kBlack),
                              DrawOp::Text(100, 2, "80.0 ", kBlack),
                              DrawOp::Text(158, 2, "120.0 ", kBlack),
                              DrawOp::Text(216, 2, "160.0 ", kBlack),
                              DrawOp::Text(256, 2, "200.0 ", kBlack),
                          }));
}

}  // namespace
}  // namespace sonalyt::display
