// Texts of the settings fields and the range-axis values.

#include "display/settings_panel.h"

#include <gtest/gtest.h>

namespace sonalyt::display {
namespace {

using recording::ParameterBlock;

constexpr std::uint32_t kInches = 1u << 6;

std::uint32_t RangeMode(std::uint32_t mode) { return mode << 24; }

SettingsTexts AllFields(const ParameterBlock& block, RangeAxis& axis) {
  SettingsTexts texts;
  ShowGainFields(block, texts);
  ShowProbeFields(block, texts);
  ShowBasicFields(block, texts, axis);
  return texts;
}

TEST(SettingsPanel, TypicalAngleBeamSettings) {
  ParameterBlock block;
  block.ChannelWord = 0xA000;
  block.DisplayWord = 1u << 12;
  block.CurveWord = RangeMode(2);
  block.BaseGain = 456;
  block.ScanGain = -20;
  block.SurfaceCompensation = 40;
  block.ProbeFrequency = 250;
  block.CrystalSize = 0x0D0D;
  block.Range = 2000;
  block.Velocity = 5920;
  block.Delay = 100;
  block.ProbeFront = 125;
  block.ProbeZero = 160;
  block.ProbeAngle = 450;
  block.RejectLevel = 41;
  RangeAxis axis;
  const SettingsTexts texts = AllFields(block, axis);

  SettingsTexts expected;
  expected.BaseGain = "45.6";
  expected.ScanGain = "-2.0";
  expected.CompGain = "4.0";
  expected.ProbeType = "斜探头";
  expected.ProbeFrequency = "2.50";
  expected.CrystalSize = "13x13";
  expected.EchoRange = "200.0 mm(s)";
  expected.EchoDelay = "3.0";
  expected.ProbeFront = "12.5";
  expected.EchoSpeed = "5920.00";
  expected.ProbeZero = "1.00";
  expected.ProbeAngle = "45.0";
  expected.ChannelNo = "10";
  expected.EchoKAngle = "1.0";
  expected.lblReject = "21";
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(axis, (RangeAxis{1.0f, 29.6f, 2000.0f}));
}

struct FieldCase {
  const char* name;
  void (*setUp)(ParameterBlock&);
  std::string SettingsTexts::*field;
  std::string expected;
};

TEST(SettingsPanel, FieldTexts) {
  const FieldCase cases[] = {
      {"round crystal", [](ParameterBlock& b) { b.CrystalSize = 0x0A00; }, &SettingsTexts::CrystalSize,
       "10"},
      {"dual element", [](ParameterBlock& b) { b.DisplayWord = 1u << 13; }, &SettingsTexts::ProbeType,
       "双晶探头"},
      {"through transmission", [](ParameterBlock& b) { b.DisplayWord = 3u << 12; },
       &SettingsTexts::ProbeType, "穿透探头"},
      {"frequency keeps two decimals", [](ParameterBlock& b) { b.ProbeFrequency = 115; },
       &SettingsTexts::ProbeFrequency, "1.15"},
      {"sound path without suffix",
       [](ParameterBlock& b) {
         b.CurveWord = RangeMode(3);
         b.Range = 2000;
       },
       &SettingsTexts::EchoRange, "200.0 mm"},
      {"inches: three decimals",
       [](ParameterBlock& b) {
         b.UnitWord = kInches;
         b.CurveWord = RangeMode(2);
         b.Range = 10000;
       },
       &SettingsTexts::EchoRange, "10.000 in(s)"},
      {"depth at 60 degrees",
       [](ParameterBlock& b) {
         b.CurveWord = RangeMode(0);
         b.ProbeAngle = 600;
         b.Range = 2000;
       },
       &SettingsTexts::EchoRange, "100.0 mm(y)"},
      {"horizontal distance at 30 degrees",
       [](ParameterBlock& b) {
         b.CurveWord = RangeMode(1);
         b.ProbeAngle = 300;
         b.Range = 2000;
       },
       &SettingsTexts::EchoRange, "100.0 mm(x)"},
      {"depth delay is truncated to whole 0.1 mm first",
       [](ParameterBlock& b) {
         b.CurveWord = RangeMode(0);
         b.Velocity = 5920;
         b.Delay = 100;
       },
       &SettingsTexts::EchoDelay, "2.9"},
      {"inch delay",
       [](ParameterBlock& b) {
         b.UnitWord = kInches;
         b.CurveWord = RangeMode(2);
         b.Velocity = 5920;
         b.Delay = 100;
       },
       &SettingsTexts::EchoDelay, "0.030"},
      {"velocity in mm", [](ParameterBlock& b) { b.Velocity = 3230; }, &SettingsTexts::EchoSpeed,
       "3230.00"},
      {"velocity in inches",
       [](ParameterBlock& b) {
         b.UnitWord = kInches;
         b.Velocity = 3230;
       },
       &SettingsTexts::EchoSpeed, "32.30"},
      {"inch front rounds its decimal value",
       [](ParameterBlock& b) {
         b.UnitWord = kInches;
         b.ProbeFront = 1250;
       },
       &SettingsTexts::ProbeFront, "1.3"},
      {"zero below one step", [](ParameterBlock& b) { b.ProbeZero = 1; }, &SettingsTexts::ProbeZero,
       "0.00"},
      {"K value at 60 degrees", [](ParameterBlock& b) { b.ProbeAngle = 600; },
       &SettingsTexts::EchoKAngle, "1.7"},
      {"angle 68.2", [](ParameterBlock& b) { b.ProbeAngle = 682; }, &SettingsTexts::ProbeAngle,
       "68.2"},
      {"K value at 68.2 degrees", [](ParameterBlock& b) { b.ProbeAngle = 682; },
       &SettingsTexts::EchoKAngle, "2.5"},
      {"K value at 0 degrees", [](ParameterBlock&) {}, &SettingsTexts::EchoKAngle, "0.0"},
      {"reject level rounds half up", [](ParameterBlock& b) { b.RejectLevel = 40; },
       &SettingsTexts::lblReject, "20"},
      {"channel 15", [](ParameterBlock& b) { b.ChannelWord = 0xFFFFFFFF; }, &SettingsTexts::ChannelNo,
       "15"},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    c.setUp(block);
    RangeAxis axis;
    EXPECT_EQ(AllFields(block, axis).*c.field, c.expected);
  }
}

TEST(SettingsPanel, RangeAxisAlongEachMode) {
  struct Case {
    const char* name;
    std::uint32_t unitWord;
    std::uint32_t rangeMode;
    std::uint16_t angle;
    RangeAxis expected;
  };
  // Velocity 5920 m/s and delay 1.00 us: 29.6 (0.1 mm) at the left edge.
  // At 60 degrees the depth takes cos = 0.5 of the truncated 29, the
  // horizontal distance sin = 0.866.
  const Case cases[] = {
      {"depth", 0, 0, 600, {1.0f, 14.5f, 1000.0f}},
      {"horizontal", 0, 1, 600, {1.0f, 25.114737f, 1732.0508f}},
      {"sound path", 0, 2, 600, {1.0f, 29.6f, 2000.0f}},
      {"sound path, no suffix", 0, 3, 600, {1.0f, 29.6f, 2000.0f}},
      {"inches", kInches, 2, 600, {100.0f, 29.6f, 2000.0f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    block.UnitWord = c.unitWord;
    block.CurveWord = RangeMode(c.rangeMode);
    block.ProbeAngle = c.angle;
    block.Range = 2000;
    block.Velocity = 5920;
    block.Delay = 100;
    RangeAxis axis;
    AllFields(block, axis);
    EXPECT_EQ(axis, c.expected);
  }
}

}  // namespace
}  // namespace sonalyt::display
