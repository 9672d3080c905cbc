#include "analysis/frame_figures.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "display/reference_curve.h"
#include "display/wave_drawing.h"

namespace sonalyt::analysis {
namespace {

using recording::kFrameBytes;
using recording::ParameterBlock;

// Columns start .. min(start + width, 280) - 1 as [first, end).
void GateColumns(std::int32_t start, std::int32_t width, std::int32_t& first, std::int32_t& end) {
  if (start >= kScreenColumns || width == 0) {
    first = end = 0;
    return;
  }
  first = start;
  end = std::min(start + width, kScreenColumns);
}

using recording::LoadInt32;

}  // namespace

std::uint8_t SampleAmplitude(std::uint8_t sample, bool rf) {
  // The definition, spelled out; the pass uses the branch-free form below,
  // which a test holds equal to this for every sample value.
  if (!rf) return std::min<std::uint8_t>(sample, kFullAmplitude);
  return static_cast<std::uint8_t>(std::min(2 * std::abs(sample - 100), kFullAmplitude));
}

void PrintTo(const GateSetup& s, std::ostream* os) {
  *os << "{Rf=" << s.Rf << " GateA=[" << s.GateAFirst << "," << s.GateAEnd << ") GateB=["
      << s.GateBFirst << "," << s.GateBEnd << ") GateBOn=" << s.GateBOn
      << " GateBLevel=" << s.GateBLevel << " FollowsCurve=" << s.FollowsCurve
      << " GateAThreshold[first]=";
  if (s.GateAFirst < s.GateAEnd) {
    *os << s.GateAThreshold[static_cast<std::size_t>(s.GateAFirst)];
  } else {
    *os << "-";
  }
  *os << "}";
}

GateSetup GateSetupFor(const ParameterBlock& block) {
  GateSetup setup;
  setup.Rf = block.Rectification() == 3;
  GateColumns(block.GateAStart, block.GateAWidth, setup.GateAFirst, setup.GateAEnd);
  GateColumns(block.GateBStart, block.GateBWidth, setup.GateBFirst, setup.GateBEnd);
  setup.GateBLevel = block.GateBLevel;
  setup.GateBOn = block.GateBLevel > 3;
  setup.GateAThreshold.fill(block.GateALevel);
  if (block.CurvesOn() && block.GateFollowsCurve()) {
    // The frame picture's computation, from a zeroed state: false when
    // DacPointCount (outside 1..10) gives no curve, and the gate then keeps
    // its level.
    display::CurveState curves{};
    if (display::ComputeCurves(block, curves)) {
      setup.FollowsCurve = true;
      for (std::size_t c = 0; c < setup.GateAThreshold.size(); ++c) {
        setup.GateAThreshold[c] = curves.GateCurve[c];
      }
    }
  }
  for (std::size_t c = 0; c < setup.GateAMinimum.size(); ++c) {
    setup.GateAMinimum[c] =
        static_cast<std::uint8_t>(std::clamp(setup.GateAThreshold[c], 1, kFullAmplitude + 1));
  }
  return setup;
}

void PrintTo(const FrameFigures& f, std::ostream* os) {
  *os << "{GateAPeak=" << int{f.GateAPeak} << " GateAPeakColumn=" << f.GateAPeakColumn
      << " GateAExceeds=" << f.GateAExceeds << " GateBPeak=" << int{f.GateBPeak}
      << " GateBBelow=" << f.GateBBelow << " Readings=" << f.Reading0 << "," << f.Reading1 << ","
      << f.Reading2 << "," << f.Reading3 << "}";
}

// The loops below run on every frame of the recording in the pass: they
// work on the samples directly, without branches, so the compiler turns
// them into vector instructions.

namespace {

// Amplitude of a sample: min(s, 200), or on RF 2 * |s - 100| capped at 200
// (|s - 100| is capped at 100 first, so the doubled value fits a byte).
template <bool Rf>
inline std::uint8_t Amplitude(std::uint8_t s) {
  if constexpr (Rf) {
    const auto distance =
        static_cast<std::uint8_t>(std::max<std::uint8_t>(s, 100) - std::min<std::uint8_t>(s, 100));
    return static_cast<std::uint8_t>(2 * std::min<std::uint8_t>(distance, 100));
  } else {
    return std::min<std::uint8_t>(s, kFullAmplitude);
  }
}

template <bool Rf>
void FoldMaxHold(const std::uint8_t* samples, AmplitudeColumn& held) {
  for (std::size_t c = 0; c < held.size(); ++c) held[c] = std::max(held[c], Amplitude<Rf>(samples[c]));
}

template <bool Rf>
void GateAFigures(const GateSetup& setup, const std::uint8_t* samples, FrameFigures& figures) {
  const auto first = static_cast<std::size_t>(setup.GateAFirst);
  const auto end = static_cast<std::size_t>(setup.GateAEnd);
  if (first >= end) return;
  std::uint8_t peak = 0;
  for (std::size_t c = first; c < end; ++c) peak = std::max(peak, Amplitude<Rf>(samples[c]));
  std::size_t column = first;
  while (Amplitude<Rf>(samples[column]) != peak) ++column;
  figures.GateAPeak = peak;
  figures.GateAPeakColumn = static_cast<std::int16_t>(column);
  if (setup.FollowsCurve) {
    // How far the closest column stays below its minimum; 0 when one reaches it.
    std::uint8_t shortfall = 255;
    for (std::size_t c = first; c < end; ++c) {
      const std::uint8_t a = Amplitude<Rf>(samples[c]);
      const std::uint8_t minimum = setup.GateAMinimum[c];
      const auto missing = static_cast<std::uint8_t>(minimum - std::min(minimum, a));
      shortfall = std::min(shortfall, missing);
    }
    figures.GateAExceeds = shortfall == 0;
  } else {
    // One level for every column: the peak decides.
    figures.GateAExceeds = peak >= std::max(setup.GateAThreshold[first], 1);
  }
}

}  // namespace

AmplitudeColumn FrameAmplitudes(const GateSetup& setup,
                                std::span<const std::uint8_t, kFrameBytes> frame) {
  AmplitudeColumn amplitudes;
  for (std::size_t c = 0; c < amplitudes.size(); ++c) {
    amplitudes[c] = setup.Rf ? Amplitude<true>(frame[c]) : Amplitude<false>(frame[c]);
  }
  return amplitudes;
}

FrameFigures AnalyzeFrame(const GateSetup& setup, std::span<const std::uint8_t, kFrameBytes> frame,
                          AmplitudeColumn* maxHold) {
  const std::uint8_t* samples = frame.data();
  FrameFigures figures;
  if (setup.Rf) {
    if (maxHold) FoldMaxHold<true>(samples, *maxHold);
    GateAFigures<true>(setup, samples, figures);
  } else {
    if (maxHold) FoldMaxHold<false>(samples, *maxHold);
    GateAFigures<false>(setup, samples, figures);
  }

  const std::uint8_t* readings = samples + recording::kReadingsOffset;
  figures.Reading0 = LoadInt32(readings);
  figures.Reading1 = LoadInt32(readings + 4);
  figures.Reading2 = LoadInt32(readings + 8);
  figures.Reading3 = LoadInt32(readings + 12);

  // Gate B has no RF form: always the plain amplitude.
  std::uint8_t peakB = 0;
  for (auto c = static_cast<std::size_t>(setup.GateBFirst);
       c < static_cast<std::size_t>(setup.GateBEnd); ++c) {
    peakB = std::max(peakB, Amplitude<false>(samples[c]));
  }
  figures.GateBPeak = peakB;
  figures.GateBBelow =
      setup.GateBOn && setup.GateBFirst < setup.GateBEnd && figures.GateBPeak < setup.GateBLevel;
  return figures;
}

}  // namespace sonalyt::analysis
