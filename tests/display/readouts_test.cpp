// The four readout texts of the one-gate and the two-gate layout.

#include "display/readouts.h"

#include <gtest/gtest.h>

namespace sonalyt::display {
namespace {

using recording::FrameReadings;
using recording::ParameterBlock;

constexpr std::uint32_t kDacOn = 1u << 2;
constexpr std::uint32_t kAvgOn = 1u << 3;
constexpr std::uint32_t kTwoGates = 1u << 4;
constexpr std::uint32_t kRf = 3u << 28;

std::uint32_t DacLine(std::uint32_t line) { return line << 28; }
std::uint32_t AvgLine(std::uint32_t line) { return line << 26; }
std::uint32_t RangeMode(std::uint32_t mode) { return mode << 24; }

struct ReadoutCase {
  const char* name;
  std::uint32_t curveWord;
  std::uint32_t curveFlags;
  std::uint32_t displayWord;
  std::int16_t curveOffset2;
  FrameReadings readings;
  ReadoutTexts expected;
};

FrameReadings Readings(std::int32_t r0, std::int32_t r1, std::int32_t r2, std::int32_t r3) {
  FrameReadings readings;
  readings.Reading0 = r0;
  readings.Reading1 = r1;
  readings.Reading2 = r2;
  readings.Reading3 = r3;
  return readings;
}

void Check(const ReadoutCase& c) {
  SCOPED_TRACE(c.name);
  ParameterBlock block;
  block.CurveWord = c.curveWord;
  block.CurveFlags = c.curveFlags;
  block.DisplayWord = c.displayWord;
  block.CurveOffset[2] = c.curveOffset2;
  block.RefHoleDiameter = 25;
  block.RefHoleLength = 400;
  EXPECT_EQ(UpdateReadouts(c.readings, block), c.expected);
}

TEST(UpdateReadouts, OneGateLayout) {
  const ReadoutCase cases[] = {
      {"no curve: percent with a blank", 0, 0, 0, 0, Readings(1234, -32, 567, 560),
       {"↘123.4", "→-3.2", "↓56.7", "∧56.0 %"}},
      {"DAC curve: reflector cut to whole millimetres", 0, kDacOn, 0, 0, Readings(0, 0, 0, 35),
       {"↘0.0", "→0.0", "↓0.0", "Φ2 x 40 +3.5dB"}},
      {"DAC line 7 counts as the curve itself, zero has no plus", DacLine(7), kDacOn, 0, 0,
       Readings(0, 0, 0, 0), {"↘0.0", "→0.0", "↓0.0", "Φ2 x 40 0.0dB"}},
      {"RL: two blanks, no dB", DacLine(1), kDacOn, 0, 0, Readings(0, 0, 0, 35),
       {"↘0.0", "→0.0", "↓0.0", "RL   +3.5"}},
      {"DAC line 9 is SL", DacLine(9), kDacOn, 0, 0, Readings(0, 0, 0, -12),
       {"↘0.0", "→0.0", "↓0.0", "SL   -1.2"}},
      {"6L", DacLine(6), kDacOn, 0, 0, Readings(0, 0, 0, 5), {"↘0.0", "→0.0", "↓0.0", "6L   +0.5"}},
      {"both curves: the DAC wording wins", DacLine(2), kDacOn | kAvgOn, 0, 0,
       Readings(0, 0, 0, 35), {"↘0.0", "→0.0", "↓0.0", "SL   +3.5"}},
      {"AVG: equivalent and reference diameter", 0, kAvgOn, 0, 0, Readings(0, 0, 0, 35),
       {"↘0.0", "→0.0", "↓0.0", "Φ2.4  Φ2 +3.5dB"}},
      {"AVG at offset -12.0 dB", AvgLine(1), kAvgOn, 0, -120, Readings(0, 0, 0, 0),
       {"↘0.0", "→0.0", "↓0.0", "Φ1.0  Φ1 0.0dB"}},
      {"AVG lines 2 and 3 read like lines 0 and 1", AvgLine(3), kAvgOn, 0, -120,
       Readings(0, 0, 0, 0), {"↘0.0", "→0.0", "↓0.0", "Φ1.0  Φ1 0.0dB"}},
      {"RF shows the amplitude even with a curve on", DacLine(1), kDacOn, kRf, 0,
       Readings(0, 0, 0, -455), {"↘0.0", "→0.0", "↓0.0", "∧-45.5"}},
  };
  for (const ReadoutCase& c : cases) Check(c);
}

TEST(UpdateReadouts, TwoGateLayout) {
  const ReadoutCase cases[] = {
      {"no curve: percent without a blank, sign before the blank", kTwoGates, 0, 0, 0,
       Readings(123, 560, -32, 0), {"A:↓ 12.3", "∧56.0%", "B:↓- 3.2", "∧0.0%"}},
      {"horizontal distance arrow", kTwoGates | RangeMode(1), 0, 0, 0, Readings(-15, 5, 0, 0),
       {"A:→- 1.5", "∧0.5%", "B:→ 0.0", "∧0.0%"}},
      {"sound path arrow for range modes 2 and 3", kTwoGates | RangeMode(3), 0, 0, 0,
       Readings(0, 0, 0, 0), {"A:↘ 0.0", "∧0.0%", "B:↘ 0.0", "∧0.0%"}},
      {"line names with one blank", kTwoGates | RangeMode(2) | DacLine(1), kDacOn, 0, 0,
       Readings(10, 35, 20, 0), {"A:↘ 1.0", "RL  +3.5", "B:↘ 2.0", "RL  0.0"}},
      {"DAC curve", kTwoGates | DacLine(0), kDacOn, 0, 0, Readings(0, 35, 0, -7),
       {"A:↓ 0.0", "DAC  +3.5", "B:↓ 0.0", "DAC  -0.7"}},
      {"AVG: reference diameter only, any evaluation line", kTwoGates | AvgLine(2), kAvgOn, 0, 0,
       Readings(0, -10, 0, 35), {"A:↓ 0.0", "Φ2 -1.0", "B:↓ 0.0", "Φ2 +3.5"}},
      {"RF does not change the two-gate texts", kTwoGates | DacLine(1), kDacOn, kRf, 0,
       Readings(0, 35, 0, 0), {"A:↓ 0.0", "RL  +3.5", "B:↓ 0.0", "RL  0.0"}},
  };
  for (const ReadoutCase& c : cases) Check(c);
}

TEST(UpdateReadouts, InitialSymbols) {
  EXPECT_EQ(InitialReadouts(), (ReadoutTexts{"↘", "→", "↓", "∧"}));
}

TEST(EvaluationCode, FromTheCurveFlagsAndLines) {
  struct Case {
    std::uint32_t curveWord;
    std::uint32_t curveFlags;
    int expected;
  };
  const Case cases[] = {
      {0, 0, -1},
      {DacLine(0), kDacOn, 1},
      {DacLine(6), kDacOn, 7},
      {DacLine(7), kDacOn, 1},
      {DacLine(9), kDacOn, 3},
      {DacLine(15), kDacOn, 2},
      {AvgLine(0), kAvgOn, 10},
      {AvgLine(3), kAvgOn, 13},
      {DacLine(1) | AvgLine(3), kDacOn | kAvgOn, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.curveWord << " " << c.curveFlags);
    ParameterBlock block;
    block.CurveWord = c.curveWord;
    block.CurveFlags = c.curveFlags;
    EXPECT_EQ(EvaluationCode(block), c.expected);
  }
}

}  // namespace
}  // namespace sonalyt::display
