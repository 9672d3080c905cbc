#include "display/frame_image.h"

#include "display/wave_drawing.h"

namespace sonalyt::display {

namespace {

// The screen draws a curve line as one path: a column of the picture's
// height or more is skipped and the path joins the next column drawn.
void DrawCurvePath(Canvas& canvas, const CurveColumns& curve) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  canvas.MoveTo({0, HeightY(h, curve[0])});
  for (std::int32_t c = 1; c < recording::kFrameColumns; ++c) {
    const std::int32_t v = curve[static_cast<std::size_t>(c)];
    if (v < h) canvas.LineTo({ColumnX(w, c), HeightY(h, v)});
  }
}

}  // namespace

void DrawEmptyFrame(Canvas& canvas) {
  DrawGridAndBorder(canvas, kScreenPalette.Background, kScreenPalette.Grid);
}

void DrawFrame(Canvas& canvas, Samples samples, const recording::FrameReadings& readings,
               const recording::ParameterBlock& block, CurveState& curves) {
  DrawGridAndBorder(canvas, kScreenPalette.Background, kScreenPalette.Grid);
  if (block.EnvelopeMode() != 0) DrawTrace(canvas, readings.Envelope, kScreenPalette.Envelope);
  DrawTrace(canvas, samples, kScreenPalette.Samples);
  bool curveDrawn = false;
  if (block.CurvesOn()) {
    curveDrawn = ComputeCurves(block, curves);
    if (curveDrawn) DrawCurveLines(canvas, block, curves, kScreenPalette.Curves, DrawCurvePath);
  }
  DrawGateA(canvas, block, curves, curveDrawn);
  if (block.GateBLevel > 3) DrawGateB(canvas, block);
}

void DrawGateA(Canvas& canvas, const recording::ParameterBlock& block, const CurveState& curves,
               bool curveDrawn) {
  DrawGateAIn(canvas, block, curves, curveDrawn, kScreenPalette.GateA);
}

void DrawGateB(Canvas& canvas, const recording::ParameterBlock& block) {
  DrawGateBIn(canvas, block, kScreenPalette.GateB);
}

void DrawAmplitudeScale(Canvas& canvas, std::int32_t waveHeight) {
  DrawAmplitudeNumbers(canvas, waveHeight, kBlack, kYellow);
}

void DrawRangeScale(Canvas& canvas, const RangeAxis& axis) {
  DrawRangeNumbers(canvas, axis, kBlack, kYellow);
}

void DrawEmptyRangeScale(Canvas& canvas) {
  canvas.FillRect(0, 0, canvas.Width(), canvas.Height(), kBlack);
}

}  // namespace sonalyt::display
