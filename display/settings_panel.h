// Texts of the settings panel (gain, probe and basic-settings fields and the
// hidden reject level) and the values describing the picture's range axis.
#pragma once

#include <iosfwd>
#include <string>

#include "recording/parameter_block.h"

namespace sonalyt::display {

// UTF-8 texts; empty until the first refresh.
struct SettingsTexts {
  std::string BaseGain, ScanGain, CompGain;
  std::string ProbeType, ProbeFrequency, CrystalSize;
  std::string EchoRange, EchoDelay, ProbeFront, EchoSpeed, ProbeZero, ProbeAngle, ChannelNo,
      EchoKAngle;
  std::string lblReject;
  bool operator==(const SettingsTexts&) const = default;
};
void PrintTo(const SettingsTexts& texts, std::ostream* os);

// Single precision, as the range scales read them; 0 until the first refresh.
struct RangeAxis {
  float UnitFactor = 0.0f;  // 100 with InchUnits, else 1
  float ScaleStart = 0.0f;  // value at the picture's left edge, 0.1 mm (0.001 in)
  float ScaleRange = 0.0f;  // range across the picture, same unit
  bool operator==(const RangeAxis&) const = default;
};
void PrintTo(const RangeAxis& axis, std::ostream* os);

void ShowGainFields(const recording::ParameterBlock& block, SettingsTexts& texts);
void ShowProbeFields(const recording::ParameterBlock& block, SettingsTexts& texts);
// Also sets the range axis.
void ShowBasicFields(const recording::ParameterBlock& block, SettingsTexts& texts,
                     RangeAxis& axis);

}  // namespace sonalyt::display
