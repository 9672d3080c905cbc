// Texts of the settings panel (gain, probe and basic-settings fields and the
// hidden reject level) and the values describing the picture's range axis.
#pragma once

#include <array>
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

// One settings text: its name (the main window's field and the command-line
// tool's JSON key) and the member that holds it.
struct SettingsField {
  const char* Name;
  std::string SettingsTexts::*Text;
};

// Every settings text in panel order, the hidden reject level last. The one
// list that the main window, the report, printing and the command-line tool
// follow.
inline constexpr std::array<SettingsField, 15> kSettingsFields = {{
    {"BaseGain", &SettingsTexts::BaseGain},
    {"ScanGain", &SettingsTexts::ScanGain},
    {"CompGain", &SettingsTexts::CompGain},
    {"ProbeType", &SettingsTexts::ProbeType},
    {"ProbeFrequency", &SettingsTexts::ProbeFrequency},
    {"CrystalSize", &SettingsTexts::CrystalSize},
    {"EchoRange", &SettingsTexts::EchoRange},
    {"EchoDelay", &SettingsTexts::EchoDelay},
    {"ProbeFront", &SettingsTexts::ProbeFront},
    {"EchoSpeed", &SettingsTexts::EchoSpeed},
    {"ProbeZero", &SettingsTexts::ProbeZero},
    {"ProbeAngle", &SettingsTexts::ProbeAngle},
    {"ChannelNo", &SettingsTexts::ChannelNo},
    {"EchoKAngle", &SettingsTexts::EchoKAngle},
    {"lblReject", &SettingsTexts::lblReject},
}};

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
