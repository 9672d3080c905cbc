// The per-frame definitions: amplitudes, gate columns, thresholds, peaks,
// exceedance and lost coupling.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/frame_figures.h"
#include "display/reference_curve.h"
#include "display/wave_drawing.h"
#include "tools/recording_writer.h"

namespace sonalyt::analysis {
namespace {

using recording::ParameterBlock;

constexpr std::uint32_t kRfDisplay = 3u << 28;
constexpr std::uint32_t kGateFollowsCurve = 1u << 3;
constexpr std::uint32_t kDacCurveOn = 1u << 2;

std::array<std::uint8_t, recording::kFrameBytes> FrameWith(
    std::initializer_list<std::pair<int, int>> columnValues, int base = 0) {
  tools::FrameData data;
  data.Samples.fill(static_cast<std::uint8_t>(base));
  for (auto [c, v] : columnValues) data.Samples[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(v);
  data.Reading0 = 11;
  data.Reading1 = -22;
  data.Reading2 = 33;
  data.Reading3 = -44;
  return tools::FrameBytes(data);
}

TEST(SampleAmplitude, PlainIsCappedAtFullHeightAndRfSwingsAboutTheMiddle) {
  struct Case { int sample; bool rf; int amplitude; };
  const Case cases[] = {
      {0, false, 0},   {1, false, 1},   {200, false, 200}, {201, false, 200}, {255, false, 200},
      {100, true, 0},  {99, true, 2},   {101, true, 2},    {150, true, 100},  {0, true, 200},
      {200, true, 200}, {255, true, 200}, {1, true, 198},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("sample " + std::to_string(c.sample) + (c.rf ? " RF" : ""));
    EXPECT_EQ(SampleAmplitude(static_cast<std::uint8_t>(c.sample), c.rf), c.amplitude);
  }
}

TEST(FrameAmplitudes, EverySampleValueGivesItsAmplitude) {
  for (const bool rf : {false, true}) {
    GateSetup setup;
    setup.Rf = rf;
    for (int first = 0; first < 256; first += 140) {
      tools::FrameData data;
      for (int c = 0; c < 280; ++c) data.Samples[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((first + c) % 256);
      const AmplitudeColumn amplitudes = FrameAmplitudes(setup, tools::FrameBytes(data));
      for (int c = 0; c < 280; ++c) {
        ASSERT_EQ(amplitudes[static_cast<std::size_t>(c)],
                  SampleAmplitude(data.Samples[static_cast<std::size_t>(c)], rf))
            << "sample " << int{data.Samples[static_cast<std::size_t>(c)]} << (rf ? " RF" : "");
      }
    }
  }
}

TEST(GateSetupFor, GateColumnsAreClippedAtTheLastScreenColumn) {
  struct Case { const char* name; int start, width; int first, end; };
  const Case cases[] = {
      {"inside", 100, 40, 100, 140},
      {"ends at the edge", 240, 40, 240, 280},
      {"crosses the edge", 270, 20, 270, 280},
      {"widest", 0, 65535, 0, 280},
      {"last column only", 279, 65535, 279, 280},
      {"starts beyond", 280, 10, 0, 0},
      {"far beyond", 65535, 65535, 0, 0},
      {"width 0", 50, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    block.GateAStart = static_cast<std::uint16_t>(c.start);
    block.GateAWidth = static_cast<std::uint16_t>(c.width);
    block.GateBStart = static_cast<std::uint16_t>(c.start);
    block.GateBWidth = static_cast<std::uint16_t>(c.width);
    const GateSetup setup = GateSetupFor(block);
    EXPECT_EQ(setup.GateAFirst == setup.GateAEnd ? 0 : setup.GateAFirst, c.first);
    EXPECT_EQ(setup.GateAEnd - setup.GateAFirst, c.end - c.first);
    EXPECT_EQ(setup.GateBEnd - setup.GateBFirst, c.end - c.first);
  }
}

TEST(AnalyzeFrame, GateFiguresFollowTheirDefinitions) {
  struct Case {
    const char* name;
    std::uint32_t displayWord;
    int aStart, aWidth, aLevel, bStart, bWidth, bLevel;
    std::array<std::uint8_t, recording::kFrameBytes> frame;
    FrameFigures expected;  // readings filled in below
  };
  const Case cases[] = {
      {"peak above the level exceeds", 0, 10, 20, 80, 200, 40, 50,
       FrameWith({{15, 90}, {20, 120}, {25, 120}, {210, 60}}), {0, 0, 0, 0, 20, 120, 60, true, false}},
      {"peak below the level", 0, 10, 20, 130, 200, 40, 50,
       FrameWith({{15, 90}, {20, 120}, {210, 60}}), {0, 0, 0, 0, 20, 120, 60, false, false}},
      {"a column at exactly the level exceeds", 0, 10, 20, 120, 200, 40, 3,
       FrameWith({{20, 120}}), {0, 0, 0, 0, 20, 120, 0, true, false}},
      {"level 0 needs an amplitude of 1", 0, 10, 20, 0, 200, 40, 0,
       FrameWith({}), {0, 0, 0, 0, 10, 0, 0, false, false}},
      {"level 0 with an amplitude of 1", 0, 10, 20, 0, 200, 40, 0,
       FrameWith({{12, 1}}), {0, 0, 0, 0, 12, 1, 0, true, false}},
      {"levels above 200 never exceed", 0, 0, 280, 201, 0, 0, 0,
       FrameWith({{5, 255}}), {0, 0, 0, 0, 5, 200, 0, false, false}},
      {"samples above 200 count as 200", 0, 0, 280, 200, 0, 0, 0,
       FrameWith({{7, 230}, {9, 250}}), {0, 0, 0, 0, 7, 200, 0, true, false}},
      {"gate clipped at column 279", 0, 270, 65535, 50, 0, 0, 0,
       FrameWith({{279, 60}, {269, 199}}), {0, 0, 0, 0, 279, 60, 0, true, false}},
      {"gate A without columns", 0, 280, 10, 50, 0, 0, 0,
       FrameWith({{279, 60}}), {0, 0, 0, 0, -1, 0, 0, false, false}},
      {"width 0", 0, 40, 0, 0, 0, 0, 0,
       FrameWith({{40, 60}}), {0, 0, 0, 0, -1, 0, 0, false, false}},
      {"RF amplitude about the middle line", kRfDisplay, 0, 100, 150, 0, 0, 0,
       FrameWith({{30, 20}, {60, 190}}, 100), {0, 0, 0, 0, 60, 180, 0, true, false}},
      {"RF trace at rest", kRfDisplay, 0, 100, 1, 0, 0, 0,
       FrameWith({}, 100), {0, 0, 0, 0, 0, 0, 0, false, false}},
      {"gate B lost: peak below its level", 0, 0, 10, 100, 200, 50, 80,
       FrameWith({{220, 79}}), {0, 0, 0, 0, 0, 0, 79, false, true}},
      {"gate B echo present", 0, 0, 10, 100, 200, 50, 80,
       FrameWith({{220, 80}}), {0, 0, 0, 0, 0, 0, 80, false, false}},
      {"gate B off at level 3", 0, 0, 10, 100, 200, 50, 3,
       FrameWith({}), {0, 0, 0, 0, 0, 0, 0, false, false}},
      {"gate B on at level 4", 0, 0, 10, 100, 200, 50, 4,
       FrameWith({}), {0, 0, 0, 0, 0, 0, 0, false, true}},
      {"gate B without columns is never lost", 0, 0, 10, 100, 300, 50, 80,
       FrameWith({}), {0, 0, 0, 0, 0, 0, 0, false, false}},
      {"gate B has no RF form", kRfDisplay, 0, 10, 100, 200, 50, 150,
       FrameWith({{220, 120}}, 100), {0, 0, 0, 0, 0, 0, 120, false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block;
    block.DisplayWord = c.displayWord;
    block.GateAStart = static_cast<std::uint16_t>(c.aStart);
    block.GateAWidth = static_cast<std::uint16_t>(c.aWidth);
    block.GateALevel = static_cast<std::uint16_t>(c.aLevel);
    block.GateBStart = static_cast<std::uint16_t>(c.bStart);
    block.GateBWidth = static_cast<std::uint16_t>(c.bWidth);
    block.GateBLevel = static_cast<std::uint16_t>(c.bLevel);
    FrameFigures expected = c.expected;
    expected.Reading0 = 11;
    expected.Reading1 = -22;
    expected.Reading2 = 33;
    expected.Reading3 = -44;
    EXPECT_EQ(AnalyzeFrame(GateSetupFor(block), c.frame), expected);
  }
}

TEST(AnalyzeFrame, MaxHoldKeepsTheLargestAmplitudeOfEveryColumn) {
  ParameterBlock rf;
  rf.DisplayWord = kRfDisplay;
  const GateSetup setup = GateSetupFor(rf);
  AmplitudeColumn held{};
  AnalyzeFrame(setup, FrameWith({{0, 150}, {5, 100}}, 100), &held);
  AnalyzeFrame(setup, FrameWith({{0, 120}, {6, 0}}, 100), &held);
  AmplitudeColumn expected{};
  expected[0] = 100;
  expected[6] = 200;
  EXPECT_EQ(held, expected);
}

// Angle-beam settings with a three-point DAC curve that gate A follows.
ParameterBlock CurveBlock() {
  ParameterBlock block;
  block.CurveFlags = kDacCurveOn;
  block.DisplayWord = kGateFollowsCurve;
  block.DacPointCount = 3;
  block.DacPointPath = {500, 1000, 1500};
  block.DacPointDb = {400, 460, 520};
  block.Range = 2000;
  block.BaseGain = 400;
  block.CurveOffset[6] = -60;
  block.GateAStart = 100;
  block.GateAWidth = 80;
  block.GateALevel = 190;
  return block;
}

TEST(GateSetupFor, GateAFollowingTheCurveTakesTheGateCurveAsThreshold) {
  const ParameterBlock block = CurveBlock();
  const GateSetup setup = GateSetupFor(block);
  ASSERT_TRUE(setup.FollowsCurve);
  // The frame picture's computation from a zeroed curve state.
  display::CurveState curves{};
  ASSERT_TRUE(display::ComputeCurves(block, curves));
  for (std::size_t c = 0; c < setup.GateAThreshold.size(); ++c) {
    ASSERT_EQ(setup.GateAThreshold[c], curves.GateCurve[c]) << "column " << c;
  }
  EXPECT_EQ(setup.GateAThreshold[140], 64);  // the curve's worked example

  // A frame crossing the curve at column 140 but staying under the level.
  const auto just = FrameWith({{140, 64}});
  const auto under = FrameWith({{140, 63}});
  EXPECT_TRUE(AnalyzeFrame(setup, just).GateAExceeds);
  EXPECT_FALSE(AnalyzeFrame(setup, under).GateAExceeds);
}

TEST(AnalyzeFrame, EveryColumnOfAGateAlongTheCurveExceedsAtItsOwnThreshold) {
  ParameterBlock block = CurveBlock();
  block.GateAStart = 0;
  block.GateAWidth = 280;
  block.CurveOffset[6] = 40;  // heights above 200 at the left, below at the right
  const GateSetup setup = GateSetupFor(block);
  ASSERT_TRUE(setup.FollowsCurve);
  ASSERT_GT(setup.GateAThreshold[0], 200);
  ASSERT_LT(setup.GateAThreshold[279], 200);
  for (int c = 0; c < 280; ++c) {
    SCOPED_TRACE("column " + std::to_string(c));
    const std::int32_t threshold = setup.GateAThreshold[static_cast<std::size_t>(c)];
    const int reaching = std::clamp(threshold, 1, 200);
    EXPECT_EQ(AnalyzeFrame(setup, FrameWith({{c, reaching}})).GateAExceeds, threshold <= 200);
    EXPECT_FALSE(AnalyzeFrame(setup, FrameWith({{c, reaching - 1}})).GateAExceeds);
  }
}

TEST(GateSetupFor, GateAKeepsItsLevelWithoutAUsableCurve) {
  struct Case { const char* name; std::int16_t points; std::uint32_t curveFlags; std::uint32_t displayWord; };
  const Case cases[] = {
      {"no DAC points", 0, kDacCurveOn, kGateFollowsCurve},
      {"eleven DAC points", 11, kDacCurveOn, kGateFollowsCurve},
      {"negative DAC points", -1, kDacCurveOn, kGateFollowsCurve},
      {"curves off", 3, 0, kGateFollowsCurve},
      {"gate does not follow", 3, kDacCurveOn, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block = CurveBlock();
    block.DacPointCount = c.points;
    block.CurveFlags = c.curveFlags;
    block.DisplayWord = c.displayWord;
    const GateSetup setup = GateSetupFor(block);
    EXPECT_FALSE(setup.FollowsCurve);
    for (std::int32_t t : setup.GateAThreshold) ASSERT_EQ(t, 190);
  }
}

}  // namespace
}  // namespace sonalyt::analysis
