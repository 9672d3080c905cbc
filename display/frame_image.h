// The A-scan picture of one frame: black screen, dotted grid and border,
// envelope, waveform, reference-curve lines and gates, for a canvas of any
// size; and the picture's two scales.
#pragma once

#include <cstdint>
#include <span>

#include "display/canvas.h"
#include "display/reference_curve.h"
#include "display/settings_panel.h"
#include "recording/parameter_block.h"
#include "recording/record_format.h"
#include "recording/record_layout.h"

namespace sonalyt::display {

using Samples = std::span<const std::uint8_t, recording::kFrameColumns>;

// Black fill, dotted yellow grid, solid yellow border: the screen before any frame.
void DrawEmptyFrame(Canvas& canvas);

// The picture part of drawing a frame: the caller has already refreshed
// FrameReadings and the readouts. Recomputes `curves` when a curve is on.
void DrawFrame(Canvas& canvas, Samples samples, const recording::FrameReadings& readings,
               const recording::ParameterBlock& block, CurveState& curves);
// Pen width and style carry over from DrawFrame (1, solid).
void DrawGateA(Canvas& canvas, const recording::ParameterBlock& block, const CurveState& curves,
               bool curveDrawn);
void DrawGateB(Canvas& canvas, const recording::ParameterBlock& block);

// Amplitude scale 0..100 (yellow on black); waveHeight is the frame picture's height.
void DrawAmplitudeScale(Canvas& canvas, std::int32_t waveHeight);
// Range scale numbers (yellow on black).
void DrawRangeScale(Canvas& canvas, const RangeAxis& axis);
// An empty black strip.
void DrawEmptyRangeScale(Canvas& canvas);

}  // namespace sonalyt::display
