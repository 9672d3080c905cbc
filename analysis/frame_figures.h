// The gate figures of one frame, as the whole-recording analysis computes
// them: amplitudes per screen column, the gate A peak and its exceedance of
// the gate's threshold (the level, or the gate curve when gate A follows
// the curve), the gate B peak and whether the echo gate B watches is
// missing, and the four measurement words as recorded.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

#include "recording/parameter_block.h"
#include "recording/record_format.h"

namespace sonalyt::analysis {

// Full picture height in amplitude units; amplitudes lie in 0..200.
inline constexpr std::int32_t kFullAmplitude = 200;
inline constexpr std::int32_t kScreenColumns = recording::kFrameColumns;  // 280

// One amplitude (0..200) per screen column: a frame's amplitudes, or the
// per-column maximum over several frames (a max-hold column).
using AmplitudeColumn = std::array<std::uint8_t, kScreenColumns>;

// Amplitude of one sample in picture height units: min(sample, 200); on an
// RF display (Rectification 3) the trace swings about the middle line, so
// min(2 * |sample - 100|, 200).
std::uint8_t SampleAmplitude(std::uint8_t sample, bool rf);

// What the analysis needs of a frame's governing parameter block, prepared
// once per block: the gate columns and the threshold of every gate A column.
struct GateSetup {
  bool Rf = false;                 // Rectification 3: RF amplitudes for gate A and the max-hold
  std::int32_t GateAFirst = 0;     // gate A columns GateAFirst .. GateAEnd - 1
  std::int32_t GateAEnd = 0;       // GateAFirst == GateAEnd: gate A has no column
  std::int32_t GateBFirst = 0;     // gate B columns, likewise
  std::int32_t GateBEnd = 0;
  bool GateBOn = false;            // GateBLevel > 3
  std::int32_t GateBLevel = 0;
  bool FollowsCurve = false;       // thresholds come from the gate curve
  // Threshold of each screen column for gate A (only the gate's columns are
  // used): GateALevel, or GateCurve[c] when gate A follows the curve.
  std::array<std::int32_t, kScreenColumns> GateAThreshold{};
  // The smallest amplitude that exceeds in each column: max(threshold, 1),
  // or 201 where no amplitude reaches the threshold.
  std::array<std::uint8_t, kScreenColumns> GateAMinimum{};

  bool operator==(const GateSetup&) const = default;
};
void PrintTo(const GateSetup& setup, std::ostream* os);

// Gate columns c = start .. min(start + width, 280) - 1 (none when start >=
// 280 or width is 0); gate A follows the curve when a curve is on,
// GateFollowsCurve is set and DacPointCount lies in 1..10, and its
// thresholds are then GateCurve computed from this block and a zeroed curve
// state, exactly as the frame picture computes it.
GateSetup GateSetupFor(const recording::ParameterBlock& block);

// Per-frame figures. 24 bytes; the analysis keeps one per frame.
struct FrameFigures {
  std::int32_t Reading0 = 0;  // the four measurement words, in tenths, as recorded
  std::int32_t Reading1 = 0;
  std::int32_t Reading2 = 0;
  std::int32_t Reading3 = 0;
  // First gate A column that reaches GateAPeak; -1 only when gate A has no column.
  std::int16_t GateAPeakColumn = -1;
  std::uint8_t GateAPeak = 0;  // largest amplitude over the gate A columns; 0 without columns
  std::uint8_t GateBPeak = 0;  // largest non-RF amplitude over the gate B columns; 0 without
  // Some gate A column has an amplitude >= its threshold and >= 1.
  bool GateAExceeds = false;
  // Gate B is on, has a column, and GateBPeak < GateBLevel: the echo gate B
  // watches (usually the back wall) is missing, a sign of lost coupling.
  bool GateBBelow = false;

  bool operator==(const FrameFigures&) const = default;
};
void PrintTo(const FrameFigures& figures, std::ostream* os);

// The figures of one frame (its 600 bytes) under setup. When maxHold is
// given, every column's amplitude is also folded into it (per-column max).
FrameFigures AnalyzeFrame(const GateSetup& setup,
                          std::span<const std::uint8_t, recording::kFrameBytes> frame,
                          AmplitudeColumn* maxHold = nullptr);

// The amplitudes of a frame's 280 columns under setup (RF or not).
AmplitudeColumn FrameAmplitudes(const GateSetup& setup,
                                std::span<const std::uint8_t, recording::kFrameBytes> frame);

}  // namespace sonalyt::analysis
