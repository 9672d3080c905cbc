// Drawing steps shared by the screen picture and the report picture: they
// differ in colours and in how a curve line is drawn, nothing else.
#pragma once

#include <cstdint>
#include <span>

#include "display/canvas.h"
#include "display/reference_curve.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"

namespace sonalyt::display {

struct WavePalette {
  Color Background;
  Color Grid;  // grid and border
  Color Envelope;
  Color Samples;
  Color Curves;
  Color GateA;
  Color GateB;
};

inline constexpr WavePalette kScreenPalette{kBlack, kYellow, kCyan, kGreen, kCyan, kMagenta, kBlue};
inline constexpr WavePalette kReportPalette{kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack};

// x of screen column `column` in a picture `width` pixels wide: width * column / 280.
std::int32_t ColumnX(std::int32_t width, std::int32_t column);
// y of height value `value` (200 = full height) in a picture `height` pixels high.
std::int32_t HeightY(std::int32_t height, std::int32_t value);

// Background fill, dotted 5 x 5 grid and solid border.
void DrawGridAndBorder(Canvas& canvas, Color background, Color lines);

// One polyline through the 280 columns, values above 200 drawn at full height.
void DrawTrace(Canvas& canvas, std::span<const std::uint8_t, recording::kFrameColumns> values,
               Color color);

// Lays the reference curve out and converts it to heights. False when the
// block's DacPointCount (outside 1 to 10) gives no curve: the curve state is
// then left as it was and neither curve lines nor the gate path along the
// curve are drawn from it.
bool ComputeCurves(const recording::ParameterBlock& block, CurveState& curves);

// Draws one curve line that is not flat from `curve` (heights).
using CurvePathDrawer = void (*)(Canvas& canvas, const CurveColumns& curve);

// The CurveLineCount lines, line j at CurveOffset[j-1]: ReferenceCurve is
// shifted in place from line to line and ends at the offset of the last one.
void DrawCurveLines(Canvas& canvas, const recording::ParameterBlock& block, CurveState& curves,
                    Color color, CurvePathDrawer drawPath);

void DrawGateAIn(Canvas& canvas, const recording::ParameterBlock& block, const CurveState& curves,
                 bool curveDrawn, Color color);
void DrawGateBIn(Canvas& canvas, const recording::ParameterBlock& block, Color color);

// 0, 20, ..., 100 at the heights of the wave picture's grid lines and edges.
void DrawAmplitudeNumbers(Canvas& canvas, std::int32_t waveHeight, Color background, Color ink);
// Six range numbers from the left edge to the right edge of the wave picture.
void DrawRangeNumbers(Canvas& canvas, const RangeAxis& axis, Color background, Color ink);

}  // namespace sonalyt::display
