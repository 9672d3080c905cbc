#include "display/settings_panel.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <ostream>

#include "display/number_format.h"

namespace sonalyt::display {

namespace {

using recording::ParameterBlock;

constexpr std::array<const char*, 4> kProbeTypeNames = {"直探头", "斜探头", "双晶探头", "穿透探头"};

// The text of a range-axis value: the value in 0.1 mm (0.001 in) shown in mm (in).
double AxisUnits(float value, float unitFactor) {
  return static_cast<double>(value) / (10.0 * static_cast<double>(unitFactor));
}

const char* AxisSuffix(std::uint32_t rangeMode) {
  switch (rangeMode) {
    case 0: return "(y)";
    case 1: return "(x)";
    case 2: return "(s)";
    default: return "";
  }
}

}  // namespace

void PrintTo(const SettingsTexts& t, std::ostream* os) {
  *os << '{';
  const char* separator = "";
  for (const auto& [name, text] : kSettingsFields) {
    *os << separator << name << "=\"" << t.*text << '"';
    separator = ", ";
  }
  *os << '}';
}

void PrintTo(const RangeAxis& axis, std::ostream* os) {
  *os << "{UnitFactor " << axis.UnitFactor << ", ScaleStart " << axis.ScaleStart << ", ScaleRange "
      << axis.ScaleRange << '}';
}

void ShowGainFields(const ParameterBlock& block, SettingsTexts& texts) {
  texts.BaseGain = FormatPicture(block.BaseGain * 0.1, 1);
  texts.ScanGain = FormatPicture(block.ScanGain * 0.1, 1);
  texts.CompGain = FormatPicture(block.SurfaceCompensation * 0.1, 1);
}

void ShowProbeFields(const ParameterBlock& block, SettingsTexts& texts) {
  texts.ProbeType = kProbeTypeNames[block.ProbeType()];
  texts.ProbeFrequency = FormatPicture(block.ProbeFrequency * 0.01, 2);
  const int high = block.CrystalSize >> 8;
  const int low = block.CrystalSize & 0xFF;
  texts.CrystalSize =
      low == 0 ? std::to_string(high) : std::to_string(high) + "x" + std::to_string(low);
}

void ShowBasicFields(const ParameterBlock& block, SettingsTexts& texts, RangeAxis& axis) {
  texts.ChannelNo = std::to_string(block.Channel());
  axis.UnitFactor = block.InchUnits() ? 100.0f : 1.0f;

  const double theta = block.ProbeAngle * std::numbers::pi / 1800.0;
  const std::uint32_t path = static_cast<std::uint32_t>(block.Velocity) * block.Delay;
  const double range = block.Range;
  const double wholeStart = path / 20000u;
  switch (block.RangeMode()) {
    case 0:
      axis.ScaleRange = static_cast<float>(std::cos(theta) * range);
      axis.ScaleStart = static_cast<float>(std::cos(theta) * wholeStart);
      break;
    case 1:
      axis.ScaleRange = static_cast<float>(std::sin(theta) * range);
      axis.ScaleStart = static_cast<float>(std::sin(theta) * wholeStart);
      break;
    default:
      axis.ScaleRange = static_cast<float>(range);
      axis.ScaleStart = static_cast<float>(path * 0.00005);
      break;
  }

  const bool inches = axis.UnitFactor > 1.0f;
  texts.EchoRange = FormatConversion(inches ? "%.3f in" : "%.1f mm",
                                     AxisUnits(axis.ScaleRange, axis.UnitFactor)) +
                    AxisSuffix(block.RangeMode());
  texts.EchoDelay =
      FormatConversion(inches ? "%.3f" : "%.1f", AxisUnits(axis.ScaleStart, axis.UnitFactor));
  texts.ProbeFront =
      FormatPicture(block.ProbeFront / (10.0 * static_cast<double>(axis.UnitFactor)), 1);
  texts.EchoSpeed = FormatConversion("%.2f", block.Velocity / static_cast<double>(axis.UnitFactor));
  // Units of 6.25 ns to whole 10 ns, then microseconds.
  texts.ProbeZero = FormatConversion("%.2f", (block.ProbeZero * 10 / 16) * 0.01);
  texts.ProbeAngle = FormatConversion("%.1f", block.ProbeAngle * 0.1);
  // The tangent of the single-precision angle, to four decimals first.
  const double tangent = std::tan(static_cast<double>(static_cast<float>(theta)));
  texts.EchoKAngle = FormatConversion("%.1f", std::floor(tangent * 10000 + 0.5) * 0.0001);
  texts.lblReject = std::to_string(static_cast<int>(std::floor(block.RejectLevel * 0.5 + 0.5)));
}

}  // namespace sonalyt::display
