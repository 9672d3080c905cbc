#include "display/report_images.h"

#include "display/wave_drawing.h"

namespace sonalyt::display {

namespace {

// The report draws a curve line as one segment per column 0 to 279, each
// reaching the next column; a segment whose left end is at the picture's
// height or more is left out.
void DrawCurveSegments(Canvas& canvas, const CurveColumns& curve) {
  const std::int32_t w = canvas.Width();
  const std::int32_t h = canvas.Height();
  for (std::int32_t c = 0; c < recording::kFrameColumns; ++c) {
    const std::int32_t v = curve[static_cast<std::size_t>(c)];
    if (v >= h) continue;
    canvas.MoveTo({ColumnX(w, c), HeightY(h, v)});
    canvas.LineTo({ColumnX(w, c + 1), HeightY(h, curve[static_cast<std::size_t>(c + 1)])});
  }
}

}  // namespace

void DrawReportAmplitudeScale(Canvas& canvas, std::int32_t waveHeight) {
  DrawAmplitudeNumbers(canvas, waveHeight, kWhite, kBlack);
}

void DrawReportRangeScale(Canvas& canvas, const RangeAxis& axis) {
  DrawRangeNumbers(canvas, axis, kWhite, kBlack);
}

void DrawReportWave(Canvas& canvas, Samples samples, const recording::FrameReadings& readings,
                    const recording::ParameterBlock& block, CurveState& curves) {
  DrawGridAndBorder(canvas, kReportPalette.Background, kReportPalette.Grid);
  // Samples first, the envelope on top of them.
  DrawTrace(canvas, samples, kReportPalette.Samples);
  if (block.EnvelopeMode() != 0) DrawTrace(canvas, readings.Envelope, kReportPalette.Envelope);
  bool curveDrawn = false;
  if (block.CurvesOn()) {
    curveDrawn = ComputeCurves(block, curves);
    if (curveDrawn) DrawCurveLines(canvas, block, curves, kReportPalette.Curves, DrawCurveSegments);
  }
  DrawGateAIn(canvas, block, curves, curveDrawn, kReportPalette.GateA);
  if (block.GateBLevel > 3) DrawGateBIn(canvas, block, kReportPalette.GateB);
}

}  // namespace sonalyt::display
