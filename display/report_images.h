// The three black-on-white pictures of the report page: amplitude scale,
// range scale and the A-scan with curves and gates.
#pragma once

#include <cstdint>

#include "display/canvas.h"
#include "display/frame_image.h"

namespace sonalyt::display {

void DrawReportAmplitudeScale(Canvas& canvas, std::int32_t waveHeight);
void DrawReportRangeScale(Canvas& canvas, const RangeAxis& axis);
// Samples then envelope (from readings), curves recomputed into `curves`.
void DrawReportWave(Canvas& canvas, Samples samples, const recording::FrameReadings& readings,
                    const recording::ParameterBlock& block, CurveState& curves);

}  // namespace sonalyt::display
