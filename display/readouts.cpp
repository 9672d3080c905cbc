#include "display/readouts.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <ostream>

#include "display/number_format.h"

namespace sonalyt::display {

namespace {

using recording::FrameReadings;
using recording::ParameterBlock;

constexpr int kNoCurve = -1;
constexpr int kDacCurve = 1;
constexpr int kFirstDacLine = 2;
constexpr int kLastDacLine = 7;
constexpr int kFirstAvgLine = 10;

constexpr std::array<const char*, 6> kDacLineNames = {"RL", "SL", "EL", "4L", "5L", "6L"};

// A reading in tenths with one decimal: 123 -> "12.3", -7 -> "-0.7".
std::string Tenths(std::int32_t v) { return FormatPicture(v * 0.1, 1); }

// " +3.5" for a positive dB reading, " 0.0" or " -1.2" otherwise.
std::string SignedDb(std::int32_t v) { return (v > 0 ? " +" : " ") + Tenths(v); }

// 10^(level / 400), the level in 0.1 dB above the reference reflector.
double DiameterRatio(std::int64_t level) {
  return std::pow(10.0, static_cast<double>(level) * 0.0025);
}

// The reference reflector's diameter, a whole number: "2" for CurveOffset[2] = 0.
std::string ReferenceDiameter(const ParameterBlock& block) {
  return FormatConversion("%.0f", std::floor(DiameterRatio(block.CurveOffset[2] + 120) + 0.5));
}

// The equivalent reflector diameter of the echo, one decimal.
std::string EquivalentDiameter(const ParameterBlock& block, std::int32_t reading) {
  const std::int64_t level = std::int64_t{block.CurveOffset[2]} + reading + 120;
  return FormatPicture(std::floor(DiameterRatio(level) * 10 + 0.5) * 0.1, 1);
}

std::string DacLineName(int code) {
  return kDacLineNames[static_cast<std::size_t>(code - kFirstDacLine)];
}

std::string OneGateAmplitude(const FrameReadings& readings, const ParameterBlock& block) {
  const std::int32_t v = readings.Reading3;
  if (block.Rectification() == 3) return "∧" + Tenths(v);
  const int code = EvaluationCode(block);
  if (code == kDacCurve) {
    return "Φ" + std::to_string(block.RefHoleDiameter / 10) + " x " +
           std::to_string(block.RefHoleLength / 10) + SignedDb(v) + "dB";
  }
  if (code >= kFirstDacLine && code <= kLastDacLine) return DacLineName(code) + "  " + SignedDb(v);
  if (code >= kFirstAvgLine) {
    // Every AVG evaluation line reads against the same reference reflector,
    // so lines 2 and 3 show the same text as lines 0 and 1.
    return "Φ" + EquivalentDiameter(block, v) + "  Φ" + ReferenceDiameter(block) + SignedDb(v) +
           "dB";
  }
  return FormatConversion("∧%0.1f %%", v * 0.1);
}

std::string TwoGateAmplitude(std::int32_t v, const ParameterBlock& block) {
  const int code = EvaluationCode(block);
  if (code >= kFirstDacLine && code <= kLastDacLine) return DacLineName(code) + " " + SignedDb(v);
  if (code >= kFirstAvgLine) return "Φ" + ReferenceDiameter(block) + SignedDb(v);
  if (code == kDacCurve) return "DAC " + SignedDb(v);
  return "∧" + Tenths(v) + "%";
}

// The axis a gate position is measured along.
std::string PositionArrow(const ParameterBlock& block) {
  switch (block.RangeMode()) {
    case 0: return "↓";
    case 1: return "→";
    default: return "↘";
  }
}

}  // namespace

void PrintTo(const ReadoutTexts& texts, std::ostream* os) {
  *os << "{\"" << texts.LabelPara1 << "\", \"" << texts.LabelPara2 << "\", \"" << texts.LabelPara3
      << "\", \"" << texts.LabelPara4 << "\"}";
}

ReadoutTexts InitialReadouts() { return {"↘", "→", "↓", "∧"}; }

int EvaluationCode(const ParameterBlock& block) {
  if (block.DacCurveOn()) return static_cast<int>(block.DacEvalLine() % 7) + kDacCurve;
  if (block.AvgCurveOn()) return static_cast<int>(block.AvgEvalLine()) + kFirstAvgLine;
  return kNoCurve;
}

ReadoutTexts UpdateReadouts(const FrameReadings& readings, const ParameterBlock& block) {
  ReadoutTexts texts;
  if (block.TwoGateReadout()) {
    const std::string arrow = PositionArrow(block);
    texts.LabelPara1 = "A:" + arrow + FormatPicture(readings.Reading0 * 0.1, 1, " ");
    texts.LabelPara2 = TwoGateAmplitude(readings.Reading1, block);
    texts.LabelPara3 = "B:" + arrow + FormatPicture(readings.Reading2 * 0.1, 1, " ");
    texts.LabelPara4 = TwoGateAmplitude(readings.Reading3, block);
    return texts;
  }
  texts.LabelPara1 = FormatConversion("↘%0.1f", readings.Reading0 * 0.1);
  texts.LabelPara2 = FormatConversion("→%0.1f", readings.Reading1 * 0.1);
  texts.LabelPara3 = FormatConversion("↓%0.1f", readings.Reading2 * 0.1);
  texts.LabelPara4 = OneGateAmplitude(readings, block);
  return texts;
}

}  // namespace sonalyt::display
