// Expected operation lists shared by the drawing tests.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "display/canvas.h"
#include "display/recording_canvas.h"
#include "display/reference_curve.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"

namespace sonalyt::display::testing_support {

using Ops = std::vector<DrawOp>;
using Values = std::array<std::uint8_t, recording::kFrameColumns>;

inline Ops operator+(Ops a, const Ops& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Fill, dotted grid at the fifths, solid border, for any size.
inline Ops Grid(std::int32_t w, std::int32_t h, Color background, Color lines) {
  Ops ops = {DrawOp::Fill(0, 0, w, h, background), DrawOp::Pen(lines, 1, PenStyle::Dotted)};
  for (std::int32_t i = 1; i <= 4; ++i) {
    ops.push_back(DrawOp::Move(0, h * i / 5));
    ops.push_back(DrawOp::Line(w, h * i / 5));
    ops.push_back(DrawOp::Move(w * i / 5, 0));
    ops.push_back(DrawOp::Line(w * i / 5, h));
  }
  return ops + Ops{DrawOp::Pen(lines, 1, PenStyle::Solid), DrawOp::Move(0, 0),
                   DrawOp::Line(w - 1, 0), DrawOp::Line(w - 1, h - 1), DrawOp::Line(0, h - 1),
                   DrawOp::Line(0, 0)};
}

inline std::int32_t X(std::int32_t w, std::int32_t column) { return w * column / 280; }
inline std::int32_t Y(std::int32_t h, std::int32_t value) { return h - h * value / 200; }

inline DrawOp Trace(std::int32_t w, std::int32_t h, const Values& values) {
  std::vector<Point> points;
  for (std::int32_t i = 0; i < 280; ++i) {
    points.push_back({X(w, i), Y(h, std::min<std::int32_t>(values[static_cast<std::size_t>(i)], 200))});
  }
  return DrawOp::Poly(points);
}

inline Ops Line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  return {DrawOp::Move(x0, y0), DrawOp::Line(x1, y1)};
}

// The curve state after laying the block's curve out and converting it.
inline CurveState ComputedCurve(const recording::ParameterBlock& block, CurveState curves = {}) {
  BuildDacCurve(block, curves);
  CurveToHeights(block, curves);
  return curves;
}

// One point at 50.0 mm, 40.0 dB, on a 200.0 mm screen; reference gain 30.0 dB:
// every column of the curve has the height 80.
inline recording::ParameterBlock FlatHeightCurveBlock() {
  recording::ParameterBlock block;
  recording::SetBitField(block, "DacCurveOn", 1);
  block.Range = 2000;
  block.BaseGain = 300;
  block.DacPointCount = 1;
  block.DacPointPath[0] = 500;
  block.DacPointDb[0] = 400;
  return block;
}

}  // namespace sonalyt::display::testing_support
