#include "display/wave_drawing.h"

#include <algorithm>
#include <array>
#include <string>

#include "display/number_format.h"
#include "display/wrapping_math.h"

namespace sonalyt::display {

namespace {

using recording::ParameterBlock;

constexpr std::int32_t kScreenColumns = recording::kFrameColumns;  // 280
constexpr std::int32_t kFullHeight = 200;
constexpr std::int32_t kGridFields = 5;
// The gate path along the curve: the columns under the gate and the two
// points at the top edge.
constexpr std::int32_t kGatePathColumns = 300;

}  // namespace

std::int32_t ColumnX(std::int32_t width, std::int32_t column) {
  return WrapDiv(WrapMul(width, column), kScreenColumns);
}

std::int32_t HeightY(std::int32_t height, std::int32_t value) {
  return WrapSub(height, WrapDiv(WrapMul(height, value), kFullHeight));
}

void DrawGridAndBorder(Canvas& canvas, Color background, Color lines) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  canvas.FillRect(0, 0, w, h, background);
  canvas.SetPen(lines, 1, PenStyle::Dotted);
  for (std::int32_t i = 1; i < kGridFields; ++i) {
    const std::int32_t y = WrapDiv(WrapMul(h, i), kGridFields);
    const std::int32_t x = WrapDiv(WrapMul(w, i), kGridFields);
    canvas.MoveTo({0, y});
    canvas.LineTo({w, y});
    canvas.MoveTo({x, 0});
    canvas.LineTo({x, h});
  }
  canvas.SetPen(lines, 1, PenStyle::Solid);
  canvas.MoveTo({0, 0});
  canvas.LineTo({w - 1, 0});
  canvas.LineTo({w - 1, h - 1});
  canvas.LineTo({0, h - 1});
  canvas.LineTo({0, 0});
}

void DrawTrace(Canvas& canvas, std::span<const std::uint8_t, recording::kFrameColumns> values,
               Color color) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  std::array<Point, recording::kFrameColumns> points;
  for (std::int32_t i = 0; i < kScreenColumns; ++i) {
    const std::int32_t v = std::min<std::int32_t>(values[static_cast<std::size_t>(i)], kFullHeight);
    points[static_cast<std::size_t>(i)] = {ColumnX(w, i), HeightY(h, v)};
  }
  canvas.SetPen(color, 1, PenStyle::Solid);
  canvas.Polyline(points);
}

bool ComputeCurves(const ParameterBlock& block, CurveState& curves) {
  if (BuildDacCurve(block, curves) < 0) return false;
  CurveToHeights(block, curves);
  return true;
}

void DrawCurveLines(Canvas& canvas, const ParameterBlock& block, CurveState& curves, Color color,
                    CurvePathDrawer drawPath) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  CurveColumns& curve = curves.ReferenceCurve;
  canvas.SetPen(color, 1, PenStyle::Solid);
  const auto lines = static_cast<std::size_t>(block.CurveLineCount() % 7);
  for (std::size_t j = 1; j <= lines; ++j) {
    if (!block.FlatCurve()) {
      drawPath(canvas, curve);
    } else if (curve[0] < h) {
      // Heights of the picture's height or more are left out.
      const std::int32_t y = HeightY(h, curve[0]);
      canvas.MoveTo({ColumnX(w, 1), y});
      canvas.LineTo({w, y});
    }
    const std::int32_t from = block.CurveOffset[j - 1];
    const std::int32_t to = block.CurveOffset[j];
    if (from != to) ShiftCurveDb(curve, curve, to - from);
  }
}

void DrawGateAIn(Canvas& canvas, const ParameterBlock& block, const CurveState& curves,
                 bool curveDrawn, Color color) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  const std::int32_t start = block.GateAStart;
  const std::int32_t width = block.GateAWidth;
  canvas.SetPen(color, 1, PenStyle::Solid);
  if (curveDrawn && block.CurvesOn() && block.GateFollowsCurve()) {
    // A gate reaching past the last curve column is cut to the columns there are.
    const std::int32_t columns =
        std::clamp(std::min(width, kCurveColumns - start), 0, kGatePathColumns);
    std::array<Point, kGatePathColumns + 2> points;
    std::size_t n = 0;
    points[n++] = {ColumnX(w, start), 0};
    for (std::int32_t i = 0; i < columns; ++i) {
      const std::int32_t c = start + i;
      points[n++] = {ColumnX(w, c), HeightY(h, curves.GateCurve[static_cast<std::size_t>(c)])};
    }
    points[n++] = {ColumnX(w, start + columns - 1), 0};
    canvas.Polyline(std::span<const Point>(points.data(), n));
    return;
  }
  const std::int32_t left = ColumnX(w, start);
  const std::int32_t right = ColumnX(w, start + width);
  if (block.Rectification() == 3) {
    // RF display: the level counts from the middle line, 200 being half the height.
    const std::int32_t middle = h / 2;
    const std::int32_t offset = WrapDiv(WrapMul(h, block.GateALevel), 2 * kFullHeight);
    canvas.MoveTo({left, WrapSub(middle, offset)});
    canvas.LineTo({right, WrapSub(middle, offset)});
    canvas.MoveTo({left, WrapAdd(middle, offset)});
    canvas.LineTo({right, WrapAdd(middle, offset)});
    return;
  }
  const std::int32_t y = HeightY(h, block.GateALevel);
  canvas.MoveTo({left, y});
  canvas.LineTo({right, y});
}

void DrawGateBIn(Canvas& canvas, const ParameterBlock& block, Color color) {
  const std::int32_t w = canvas.Width();
  const std::int32_t y = HeightY(canvas.Height(), block.GateBLevel);
  canvas.SetPen(color, 1, PenStyle::Solid);
  canvas.MoveTo({ColumnX(w, block.GateBStart), y});
  canvas.LineTo({ColumnX(w, block.GateBStart + block.GateBWidth), y});
}

void DrawAmplitudeNumbers(Canvas& canvas, std::int32_t waveHeight, Color background, Color ink) {
  canvas.FillRect(0, 0, canvas.Width(), canvas.Height(), background);
  for (std::int32_t i = 0; i < kGridFields + 1; ++i) {
    const std::int32_t y = WrapDiv(WrapMul(waveHeight, kGridFields - i), kGridFields);
    canvas.TextOut({2, y}, std::to_string(i * 20), ink);
  }
}

void DrawRangeNumbers(Canvas& canvas, const RangeAxis& axis, Color background, Color ink) {
  const std::int32_t w = canvas.Width();
  canvas.FillRect(0, 0, w, canvas.Height(), background);
  // Before the first parameter block the unit factor is still 0; the axis
  // is then read in millimetres rather than divided by zero.
  const double unitFactor = axis.UnitFactor > 0.0f ? static_cast<double>(axis.UnitFactor) : 1.0;
  const double start = axis.ScaleStart;
  const double range = axis.ScaleRange;
  const auto number = [&](double v) { return FormatConversion("%.1f ", v / (10.0 * unitFactor)); };
  canvas.TextOut({0, 2}, number(start), ink);
  for (std::int32_t i = 1; i < kGridFields; ++i) {
    const std::int32_t x = WrapSub(WrapDiv(WrapMul(i, w), kGridFields), 15);
    canvas.TextOut({x, 2}, number(start + i * range * 0.2), ink);
  }
  canvas.TextOut({WrapSub(w, 33), 2}, number(start + range), ink);
}

}  // namespace sonalyt::display
