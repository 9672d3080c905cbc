// Reference curves: the DAC or AVG curve laid out over the screen columns as
// gains, converted to picture heights (200 = full height), and shifted by dB
// steps; the gate curve is the curve moved to CurveOffset[6].
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>

#include "recording/parameter_block.h"

namespace sonalyt::display {

inline constexpr std::int32_t kCurveColumns = 301;  // columns 0..300
using CurveColumns = std::array<std::int16_t, kCurveColumns>;

// Kept between computations: BuildDacCurve writes only up to CurveEndColumn.
struct CurveState {
  CurveColumns ReferenceCurve{};
  CurveColumns GateCurve{};
  std::int32_t CurveEndColumn = 0;
  bool operator==(const CurveState&) const = default;
};
void PrintTo(const CurveState& curves, std::ostream* os);

// Value at x on the line through (x0, y0) and (x1, y1); -1 when x lies
// outside [x0, x1] or x1 == x0. 32-bit product, truncating division.
std::int32_t InterpolateAt(std::int32_t x0, std::int32_t y0, std::int32_t x, std::int32_t y1,
                           std::int32_t x1);

// Fills the columns strictly between a and b linearly (hi capped at 300);
// 1 when it filled, -1 when the columns are equal or adjacent.
std::int32_t FillBetween(CurveColumns& columns, std::int32_t a, std::int32_t b);

// e^x in single precision with x capped for an integer result of `width` bytes.
float BoundedExp(std::uint32_t width, float x);

// target = source raised by d tenths of a dB; target may be source itself.
void ShiftCurveDb(const CurveColumns& source, CurveColumns& target, std::int32_t d);

// The sound path at the picture's left edge, in 0.1 mm (0.001 in with
// InchUnits): Velocity * Delay formed as an unsigned 32-bit product and
// divided by 20000.
std::uint32_t ScreenStart(const recording::ParameterBlock& block);

// -1 when DacPointCount is outside 1..10 (nothing written), else 2.
std::int32_t BuildDacCurve(const recording::ParameterBlock& block, CurveState& curves);

// Converts ReferenceCurve from gains to heights and rebuilds GateCurve.
void CurveToHeights(const recording::ParameterBlock& block, CurveState& curves);

}  // namespace sonalyt::display
