// Reference curves: point lists laid out over the columns, conversion to
// heights, dB shifts and the gate curve, with the instrument's arithmetic.

#include "display/reference_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace sonalyt::display {
namespace {

using recording::ParameterBlock;

// 50.0 mm at 40.0 dB, 100.0 mm at 46.0 dB, 150.0 mm at 52.0 dB on a 200.0 mm
// screen with no delay, DAC curve on.
ParameterBlock ThreePointBlock() {
  ParameterBlock block;
  block.CurveFlags = 1u << 2;
  block.Range = 2000;
  block.Velocity = 5920;
  block.BaseGain = 400;
  block.DacPointCount = 3;
  block.DacPointPath = {500, 1000, 1500};
  block.DacPointDb = {400, 460, 520};
  return block;
}

// The 20 mm round crystal at 2.50 MHz: near-field length 42.2 mm.
void UseNearFieldRule(ParameterBlock& block) {
  block.CurveFlags |= 1u << 4;
  block.CrystalSize = 20 << 8;
  block.ProbeFrequency = 250;
}

std::vector<std::int16_t> Columns(const CurveColumns& columns, int first, int last) {
  return {columns.begin() + first, columns.begin() + last + 1};
}

std::vector<std::int16_t> Repeated(int count, std::int16_t value) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(count), value);
}

TEST(BuildDacCurve, LaysThePlainRuleOverTheColumns) {
  const ParameterBlock block = ThreePointBlock();
  CurveState curves;
  EXPECT_EQ(BuildDacCurve(block, curves), 2);
  EXPECT_EQ(curves.CurveEndColumn, 280);
  const CurveColumns& gains = curves.ReferenceCurve;
  EXPECT_EQ(Columns(gains, 0, 70), Repeated(71, 400));
  // 400 + 35 x 60/70 in double precision is 430 exactly.
  EXPECT_EQ(gains[105], 430);
  EXPECT_EQ(gains[140], 460);
  EXPECT_EQ(Columns(gains, 210, 280), Repeated(71, 520));
}

TEST(CurveToHeights, ConvertsTheWorkedExample) {
  ParameterBlock block = ThreePointBlock();
  block.CurveOffset[6] = -60;
  CurveState curves;
  BuildDacCurve(block, curves);
  CurveToHeights(block, curves);
  const CurveColumns& heights = curves.ReferenceCurve;
  EXPECT_EQ(heights[0], 254);
  EXPECT_EQ(heights[140], 127);
  EXPECT_EQ(heights[280], 63);
  EXPECT_EQ(Columns(heights, 280, 299), Repeated(20, 63));
  EXPECT_EQ(curves.GateCurve[140], 64);
}

TEST(CurveToHeights, NearFieldRuleRaisesTheEndPoint) {
  // 3N = 1266 >= 500: only (0, 400) goes in front; the end point becomes
  // (2000, 569). The AVG curve selects the same rule.
  for (const bool avg : {false, true}) {
    SCOPED_TRACE(avg ? "AvgCurveOn" : "NearFieldExtension");
    ParameterBlock block = ThreePointBlock();
    UseNearFieldRule(block);
    if (avg) block.CurveFlags = 1u << 3;
    CurveState curves;
    BuildDacCurve(block, curves);
    EXPECT_EQ(curves.ReferenceCurve[0], 400);
    EXPECT_EQ(curves.ReferenceCurve[280], 569);
    CurveToHeights(block, curves);
    EXPECT_EQ(curves.ReferenceCurve[280], 36);
  }
}

struct LayoutCase {
  const char* name;
  void (*setUp)(ParameterBlock&);
  std::int32_t endColumn;
  std::vector<std::pair<int, std::int16_t>> gains;  // column, gain
};

TEST(BuildDacCurve, PointListsAndScreenCuts) {
  const LayoutCase cases[] = {
      {"near field in front: q = 3N = 1266, fall 7.9 dB",
       [](ParameterBlock& b) {
         UseNearFieldRule(b);
         b.Range = 5000;
         b.DacPointCount = 1;
         b.DacPointPath[0] = 2000;
         b.DacPointDb[0] = 500;
       },
       280,
       // (0, 421) (1266, 421) (2000, 500) (5000, 659)
       {{0, 421}, {70, 421}, {112, 500}, {280, 659}}},
      {"near field: q = p0 / 5 when 3N is smaller",
       [](ParameterBlock& b) {
         UseNearFieldRule(b);
         b.CrystalSize = 5 << 8;  // N = 2.6 mm
         b.Range = 5000;
         b.DacPointCount = 1;
         b.DacPointPath[0] = 2000;
         b.DacPointDb[0] = 500;
       },
       280, {{0, 221}, {22, 221}, {112, 500}}},
      {"near-field fall beyond the first gain ends at 0",
       [](ParameterBlock& b) {
         UseNearFieldRule(b);
         b.Range = 5000;
         b.DacPointCount = 1;
         b.DacPointPath[0] = 2000;
         b.DacPointDb[0] = 79;
       },
       280, {{0, 0}, {70, 0}, {112, 79}}},
      {"far field: screen end at 3 x the last path adds (2p, g + 12 dB)",
       [](ParameterBlock& b) {
         UseNearFieldRule(b);
         b.Range = 1500;
         b.DacPointCount = 1;
       },
       280, {{93, 400}, {186, 520}, {280, 590}}},
      {"far field: just below 3 x the last path adds nothing",
       [](ParameterBlock& b) {
         UseNearFieldRule(b);
         b.Range = 1499;
         b.DacPointCount = 1;
       },
       280, {{93, 400}, {186, 494}, {280, 590}}},
      {"screen start between two points: cut there",
       [](ParameterBlock& b) {
         b.Velocity = 6000;
         b.Delay = 2500;  // sound path 75.0 mm at the left edge
       },
       280, {{0, 430}, {35, 460}, {105, 520}, {280, 520}}},
      {"screen end before the last point: cut there",
       [](ParameterBlock& b) { b.Range = 1200; }, 280, {{116, 400}, {233, 460}, {280, 484}}},
      {"one point: flat over the whole screen",
       [](ParameterBlock& b) { b.DacPointCount = 1; }, 280, {{0, 400}, {140, 400}, {280, 400}}},
      {"range below 10.0 mm is laid out as 10.0 mm",
       [](ParameterBlock& b) { b.Range = 50; }, 140, {{0, 400}, {140, 400}}},
      {"gains above 65535 are clamped, then stored in 16 bits",
       [](ParameterBlock& b) {
         b.DacPointCount = 1;
         b.DacPointDb[0] = 65535;
       },
       280, {{0, -1}, {280, -1}}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    ParameterBlock block = ThreePointBlock();
    c.setUp(block);
    CurveState curves;
    ASSERT_EQ(BuildDacCurve(block, curves), 2);
    EXPECT_EQ(curves.CurveEndColumn, c.endColumn);
    std::vector<std::pair<int, std::int16_t>> actual;
    for (const auto& [column, gain] : c.gains) {
      actual.emplace_back(column, curves.ReferenceCurve[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(actual, c.gains);
  }
}

TEST(BuildDacCurve, PointCountOutsideOneToTenLeavesTheStateAlone) {
  CurveState before;
  before.ReferenceCurve.fill(123);
  before.GateCurve.fill(-5);
  before.CurveEndColumn = 77;
  for (const int count : {0, 11, -1}) {
    SCOPED_TRACE(count);
    ParameterBlock block = ThreePointBlock();
    block.DacPointCount = static_cast<std::int16_t>(count);
    CurveState curves = before;
    EXPECT_EQ(BuildDacCurve(block, curves), -1);
    EXPECT_EQ(curves, before);
  }
}

TEST(CurveToHeights, ShortRangeRunsFlatFromItsOwnEndHeight) {
  // The earlier computation leaves gain 0 (a huge height) beyond the end;
  // none of it may show next to the end column, whether or not the end is a
  // converted column.
  for (const std::uint32_t range : {50u, 51u, 99u}) {
    SCOPED_TRACE(range);
    ParameterBlock block = ThreePointBlock();
    block.Range = range;
    CurveState curves;
    BuildDacCurve(block, curves);
    EXPECT_EQ(curves.CurveEndColumn, static_cast<std::int32_t>(range * 280 / 100));
    CurveToHeights(block, curves);
    EXPECT_EQ(Columns(curves.ReferenceCurve, 0, 299), Repeated(300, 254));
  }
}

TEST(CurveToHeights, FlatCurveHoldsColumnZeroOverTheScreen) {
  ParameterBlock block = ThreePointBlock();
  block.DisplayWord = 1u << 4;
  CurveState curves;
  BuildDacCurve(block, curves);
  CurveToHeights(block, curves);
  EXPECT_EQ(Columns(curves.ReferenceCurve, 0, 299), Repeated(300, 254));
}

TEST(CurveToHeights, HeightsCapJustBelow32767) {
  // Reference gain 1481: a gain 90.4 dB below reaches the exponent cap.
  struct Case {
    std::uint16_t gain;
    std::int16_t height;
  };
  const Case cases[] = {{577, 32766}, {578, 32734}, {0, 32766}, {1481, 1}, {1962, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gain);
    ParameterBlock block = ThreePointBlock();
    block.BaseGain = 1000;
    block.DacPointCount = 1;
    block.DacPointDb[0] = c.gain;
    CurveState curves;
    BuildDacCurve(block, curves);
    CurveToHeights(block, curves);
    // Column 0 goes the single-precision way, the others double precision.
    EXPECT_EQ(curves.ReferenceCurve[0], c.height);
    EXPECT_EQ(curves.ReferenceCurve[140], c.height);
  }
}

TEST(CurveToHeights, EqualGateOffsetStillRefillsTheGateCurve) {
  ParameterBlock block = ThreePointBlock();
  block.CurveOffset[0] = 30;
  block.CurveOffset[6] = 30;
  CurveState curves;
  BuildDacCurve(block, curves);
  CurveToHeights(block, curves);
  // Columns 297 to 299 are refilled toward column 300, which lies beyond
  // the flat run-out and keeps what the earlier computation left there.
  for (std::size_t c = 0; c <= 296; ++c) {
    SCOPED_TRACE(c);
    if (c % 4 == 0) {
      EXPECT_EQ(curves.GateCurve[c], curves.ReferenceCurve[c]);
    } else {
      EXPECT_LE(std::abs(curves.GateCurve[c] - curves.ReferenceCurve[c]), 1);
    }
  }
}

TEST(InterpolateAt, LineThroughTwoPoints) {
  struct Case {
    std::int32_t x0, y0, x, y1, x1, expected;
  };
  const Case cases[] = {
      {500, 400, 750, 460, 1000, 430},
      {0, 10, 5, 0, 10, 5},
      {0, 0, 1, -10, 3, -3},  // the quotient truncates toward zero
      {0, 7, 0, 9, 4, 7},
      {0, 7, 4, 9, 4, 9},
      {5, 0, 4, 10, 10, -1},  // x before x0
      {0, 0, 11, 10, 10, -1},  // x beyond x1
      {3, 0, 3, 10, 3, -1},  // one path for both points
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " " << c.x << " " << c.x1 << ","
                                    << c.y1);
    EXPECT_EQ(InterpolateAt(c.x0, c.y0, c.x, c.y1, c.x1), c.expected);
  }
}

TEST(FillBetween, FillsStrictlyBetweenInEitherOrder) {
  CurveColumns base{};
  base[70] = 400;
  base[140] = 460;
  for (const auto& [a, b] : {std::pair{70, 140}, std::pair{140, 70}}) {
    SCOPED_TRACE(testing::Message() << a << " to " << b);
    CurveColumns columns = base;
    EXPECT_EQ(FillBetween(columns, a, b), 1);
    EXPECT_EQ(columns[71], 400);  // 400.857 truncated
    EXPECT_EQ(columns[105], 430);
    EXPECT_EQ(columns[139], 459);
    EXPECT_EQ(columns[70], 400);
    EXPECT_EQ(columns[140], 460);
  }
}

TEST(FillBetween, RoundsTheProductBeforeTheSum) {
  // 3 x (-598 / 6) + 400 is 101 when the product is rounded to double before
  // the sum; one rounding of the whole (a fused multiply-add, or extended
  // precision) gives 100.99999999999999 and so 100.
  CurveColumns columns{};
  columns[0] = 400;
  columns[6] = -198;
  FillBetween(columns, 0, 6);
  EXPECT_EQ(columns[3], 101);
}

TEST(FillBetween, NothingBetweenAndTheLastColumnCap) {
  CurveColumns columns{};
  columns.fill(9);
  const CurveColumns before = columns;
  for (const auto& [a, b] : {std::pair{5, 5}, std::pair{5, 6}, std::pair{6, 5}}) {
    EXPECT_EQ(FillBetween(columns, a, b), -1);
  }
  EXPECT_EQ(columns, before);

  columns[296] = 0;
  columns[300] = 40;
  EXPECT_EQ(FillBetween(columns, 296, 310), 1);
  EXPECT_EQ(Columns(columns, 296, 300), (std::vector<std::int16_t>{0, 10, 20, 30, 40}));
}

TEST(BoundedExp, CapsTheExponentForTheIntegerWidth) {
  struct Case {
    std::uint32_t width;
    float x;
    float expected;
  };
  const Case cases[] = {
      {2, 1.0f, static_cast<float>(std::exp(1.0))},
      {2, 20.0f, 32766.984375f},
      {2, 10.39717719f, 32766.984375f},
      {0, 10.0f, static_cast<float>(std::exp(static_cast<double>(4.844187086f)))},
      {1, 10.0f, static_cast<float>(std::exp(static_cast<double>(4.844187086f)))},
      {4, 30.0f, static_cast<float>(std::exp(static_cast<double>(20.79435438f)))},
      {8, 50.0f, static_cast<float>(std::exp(static_cast<double>(41.58870876f)))},
      {2, -200.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " x " << c.x);
    EXPECT_EQ(BoundedExp(c.width, c.x), c.expected);
  }
  EXPECT_LT(BoundedExp(0, 10.0f), 127.0f + 1e-3f);
  EXPECT_GT(BoundedExp(0, 10.0f), 126.99f);
}

TEST(ShiftCurveDb, ScalesEveryFourthColumnAndRefillsByMidpoints) {
  CurveColumns source{};
  source.fill(127);
  source[4] = 3;
  CurveColumns target{};
  ShiftCurveDb(source, target, -60);  // 6.0 dB down: factor 1.995
  EXPECT_EQ(target[0], 64);
  EXPECT_EQ(target[4], 2);
  EXPECT_EQ(Columns(target, 0, 8), (std::vector<std::int16_t>{64, 49, 33, 18, 2, 18, 33, 49, 64}));
  EXPECT_EQ(target[300], 64);

  // In place gives the same.
  CurveColumns inPlace = source;
  ShiftCurveDb(inPlace, inPlace, -60);
  EXPECT_EQ(inPlace, target);
}

TEST(ShiftCurveDb, ZeroStepStillRefillsBetweenSteps) {
  CurveColumns source{};
  source[4] = 3;
  CurveColumns target{};
  target.fill(-1);
  ShiftCurveDb(source, target, 0);
  EXPECT_EQ(Columns(target, 0, 5), (std::vector<std::int16_t>{0, 1, 2, 3, 3, 3}));
}

TEST(ShiftCurveDb, ExtremeStepsStayDefined) {
  CurveColumns source{};
  source.fill(100);
  source[300] = 30000;  // a leftover beyond the screen

  CurveColumns raised{};
  ShiftCurveDb(source, raised, 120);  // x 3.98: 119432 wraps in 16 bits
  EXPECT_EQ(raised[296], 398);
  EXPECT_EQ(raised[300], static_cast<std::int16_t>(119432 - 65536 * 2));

  // A factor that underflows to 0: the step is taken as flat.
  CurveColumns flat{};
  ShiftCurveDb(source, flat, 70000);
  EXPECT_EQ(flat, source);

  // A factor that overflows to infinity: everything goes to 0.
  CurveColumns lowered{};
  lowered.fill(5);
  ShiftCurveDb(source, lowered, -70000);
  EXPECT_EQ(lowered, CurveColumns{});
}

}  // namespace
}  // namespace sonalyt::display
