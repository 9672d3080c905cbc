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

// Amplitude of every sample value, plain and RF.
struct AmplitudeTables {
  std::array<std::uint8_t, 256> Plain{};
  std::array<std::uint8_t, 256> Rf{};
  AmplitudeTables() {
    for (std::int32_t s = 0; s < 256; ++s) {
      Plain[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(std::min(s, kFullAmplitude));
      Rf[static_cast<std::size_t>(s)] =
          static_cast<std::uint8_t>(std::min(2 * std::abs(s - 100), kFullAmplitude));
    }
  }
};
const AmplitudeTables kTables;

// Columns start .. min(start + width, 280) - 1 as [first, end).
void GateColumns(std::int32_t start, std::int32_t width, std::int32_t& first, std::int32_t& end) {
  if (start >= kScreenColumns || width == 0) {
    first = end = 0;
    return;
  }
  first = start;
  end = std::min(start + width, kScreenColumns);
}

std::int32_t LoadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                   std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

}  // namespace

std::uint8_t SampleAmplitude(std::uint8_t sample, bool rf) {
  return rf ? kTables.Rf[sample] : kTables.Plain[sample];
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
  return setup;
}

void PrintTo(const FrameFigures& f, std::ostream* os) {
  *os << "{GateAPeak=" << int{f.GateAPeak} << " GateAPeakColumn=" << f.GateAPeakColumn
      << " GateAExceeds=" << f.GateAExceeds << " GateBPeak=" << int{f.GateBPeak}
      << " GateBBelow=" << f.GateBBelow << " Readings=" << f.Reading0 << "," << f.Reading1 << ","
      << f.Reading2 << "," << f.Reading3 << "}";
}

AmplitudeColumn FrameAmplitudes(const GateSetup& setup,
                                std::span<const std::uint8_t, kFrameBytes> frame) {
  const auto& table = setup.Rf ? kTables.Rf : kTables.Plain;
  AmplitudeColumn amplitudes;
  for (std::size_t c = 0; c < amplitudes.size(); ++c) amplitudes[c] = table[frame[c]];
  return amplitudes;
}

FrameFigures AnalyzeFrame(const GateSetup& setup, std::span<const std::uint8_t, kFrameBytes> frame,
                          AmplitudeColumn* maxHold) {
  const AmplitudeColumn amplitudes = FrameAmplitudes(setup, frame);
  if (maxHold) {
    for (std::size_t c = 0; c < amplitudes.size(); ++c) {
      (*maxHold)[c] = std::max((*maxHold)[c], amplitudes[c]);
    }
  }

  FrameFigures figures;
  const std::uint8_t* readings = frame.data() + recording::kReadingsOffset;
  figures.Reading0 = LoadInt32(readings);
  figures.Reading1 = LoadInt32(readings + 4);
  figures.Reading2 = LoadInt32(readings + 8);
  figures.Reading3 = LoadInt32(readings + 12);

  for (std::int32_t c = setup.GateAFirst; c < setup.GateAEnd; ++c) {
    const std::uint8_t a = amplitudes[static_cast<std::size_t>(c)];
    if (figures.GateAPeakColumn < 0 || a > figures.GateAPeak) {
      figures.GateAPeak = a;
      figures.GateAPeakColumn = static_cast<std::int16_t>(c);
    }
    if (a >= 1 && a >= setup.GateAThreshold[static_cast<std::size_t>(c)]) {
      figures.GateAExceeds = true;
    }
  }
  // Gate B has no RF form: always the plain amplitude.
  for (std::int32_t c = setup.GateBFirst; c < setup.GateBEnd; ++c) {
    figures.GateBPeak = std::max(figures.GateBPeak, kTables.Plain[frame[static_cast<std::size_t>(c)]]);
  }
  figures.GateBBelow =
      setup.GateBOn && setup.GateBFirst < setup.GateBEnd && figures.GateBPeak < setup.GateBLevel;
  return figures;
}

}  // namespace sonalyt::analysis
