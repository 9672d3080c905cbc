#include "display/reference_curve.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

#include "display/wrapping_math.h"

namespace sonalyt::display {

namespace {

using recording::ParameterBlock;

constexpr std::int32_t kLastColumn = kCurveColumns - 1;  // 300
constexpr std::int32_t kWalkEndColumn = 299;
constexpr std::int32_t kScreenColumns = 280;
constexpr std::uint32_t kMinLayoutRange = 100;  // 10.0 mm
constexpr std::int32_t kMaxGain = 65535;

// 40 dB per decade of sound path, in 0.1 dB.
constexpr double kGainPerDecade = 400.0;
// The far-field law: a doubled path costs 12.0 dB.
constexpr std::int32_t kDoubledPathGain = 120;

// ln 10 as the instrument holds it, in single precision.
constexpr float kLn10Single = 2.302585f;
constexpr double kLn10 = 2.302585;
// 200 x log10 255 to two decimals: the gain of the reference line is drawn at 254.
constexpr double kReferenceHeightGain = 481.31;
// Exponent cap of a height: ln 32767 to ten digits, so the largest height is 32766.
constexpr double kHeightExponentCap = 10.39717719;

struct CurvePoint {
  std::int32_t Path = 0;  // 0.1 mm
  std::int32_t Gain = 0;  // 0.1 dB
};

// The reference points with at most two points before and two after them.
struct CurvePointList {
  std::array<CurvePoint, 14> Points{};
  std::int32_t Count = 0;

  void Append(CurvePoint point) { Points[static_cast<std::size_t>(Count++)] = point; }
  CurvePoint& operator[](std::int32_t i) { return Points[static_cast<std::size_t>(i)]; }
  const CurvePoint& Back() const { return Points[static_cast<std::size_t>(Count - 1)]; }
  // Drops the first `n` points.
  void DropFront(std::int32_t n) {
    std::copy(Points.begin() + n, Points.begin() + Count, Points.begin());
    Count -= n;
  }
};

// Near-field length in 0.1 mm: D^2 f / (4 c) with the crystal area A in mm^2,
// f in 0.01 MHz and c in m/s. No value for a zero velocity.
bool NearFieldLength(const ParameterBlock& block, std::int32_t& length) {
  if (block.Velocity == 0) return false;
  const std::int32_t high = block.CrystalSize >> 8;
  const std::int32_t low = block.CrystalSize & 0xFF;
  const std::int32_t area = StoreInt16(high * (low != 0 ? low : high));
  const std::int32_t numerator = WrapMul(WrapMul(area, block.ProbeFrequency), 1000);
  length = StoreInt16(numerator / (block.Velocity * 40));
  return true;
}

// 400 x (log10 to - log10 from) in 0.1 dB; 0 when either path is not
// positive, where the curve is taken as flat.
double DecadeGain(std::int32_t to, std::int32_t from) {
  if (to <= 0 || from <= 0) return 0.0;
  return kGainPerDecade * (std::log10(static_cast<double>(to)) - std::log10(static_cast<double>(from)));
}

void PutNearFieldPoints(const ParameterBlock& block, CurvePoint first, CurvePointList& list) {
  std::int32_t nearField = 0;
  // Without a velocity there is no near field: the curve runs flat to path 0.
  if (!NearFieldLength(block, nearField) || 3 * nearField >= first.Path) {
    list.Append({0, first.Gain});
    return;
  }
  const std::int32_t q = std::max(3 * nearField, first.Path / 5);
  const std::int32_t fall = TruncToInt32(DecadeGain(first.Path, q));
  const std::int32_t gain = fall < first.Gain ? first.Gain - fall : 0;
  list.Append({0, gain});
  list.Append({q, gain});
}

CurvePointList BuildPointList(const ParameterBlock& block, std::int32_t screenEnd) {
  const std::int32_t count = block.DacPointCount;
  const bool nearFieldRule = block.NearFieldExtension() || block.AvgCurveOn();
  CurvePointList list;
  const CurvePoint first{block.DacPointPath[0], block.DacPointDb[0]};
  if (nearFieldRule) {
    PutNearFieldPoints(block, first, list);
  } else {
    list.Append({0, first.Gain});
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    list.Append({block.DacPointPath[k], block.DacPointDb[k]});
  }
  const CurvePoint last = list.Back();
  if (!nearFieldRule) {
    list.Append({screenEnd, last.Gain});
    return list;
  }
  if (screenEnd >= 3 * last.Path) {
    list.Append({2 * last.Path, last.Gain + kDoubledPathGain});
  }
  const CurvePoint before = list.Back();
  const double endGain = DecadeGain(screenEnd, before.Path) + static_cast<double>(before.Gain);
  list.Append({screenEnd, TruncToInt32(endGain)});
  return list;
}

// Cuts the list to the paths [start, end] of the screen.
void CutToScreen(CurvePointList& list, std::int32_t start, std::int32_t end) {
  for (std::int32_t i = 1; i < list.Count; ++i) {
    if (list[i].Path > start) {
      const CurvePoint& a = list[i - 1];
      list[i - 1] = {start, InterpolateAt(a.Path, a.Gain, start, list[i].Gain, list[i].Path)};
      list.DropFront(i - 1);
      break;
    }
  }
  for (std::int32_t i = 1; i < list.Count; ++i) {
    if (list[i].Path > end) {
      const CurvePoint& a = list[i - 1];
      list[i] = {end, InterpolateAt(a.Path, a.Gain, end, list[i].Gain, list[i].Path)};
      list.Count = i + 1;
      break;
    }
  }
}

long double HeightExponent(std::int32_t reference, std::int16_t gain) {
  return static_cast<long double>(reference - gain) * static_cast<long double>(kLn10Single) *
         0.005L;
}

// Height of a column holding `gain`: 10^((reference - gain) / 200).
std::int16_t HeightOf(std::int32_t reference, std::int16_t gain) {
  const double x = std::min(static_cast<double>(HeightExponent(reference, gain)), kHeightExponentCap);
  return StoreInt16(TruncToInt32(std::exp(x)));
}

// Column 0 is converted in single precision.
std::int16_t HeightOfFirstColumn(std::int32_t reference, std::int16_t gain) {
  const float height = BoundedExp(2, static_cast<float>(HeightExponent(reference, gain)));
  return StoreInt16(TruncToInt32(static_cast<double>(height)));
}

std::int16_t& At(CurveColumns& columns, std::int32_t c) {
  return columns[static_cast<std::size_t>(c)];
}

}  // namespace

void PrintTo(const CurveState& curves, std::ostream* os) {
  const auto print = [os](const char* name, const CurveColumns& columns) {
    *os << name << " {";
    for (std::size_t c = 0; c < columns.size(); ++c) *os << (c > 0 ? " " : "") << columns[c];
    *os << "}";
  };
  *os << "{CurveEndColumn " << curves.CurveEndColumn << ", ";
  print("ReferenceCurve", curves.ReferenceCurve);
  *os << ", ";
  print("GateCurve", curves.GateCurve);
  *os << '}';
}

std::int32_t InterpolateAt(std::int32_t x0, std::int32_t y0, std::int32_t x, std::int32_t y1,
                           std::int32_t x1) {
  if (x0 > x || x1 < x || x1 == x0) return -1;
  const std::int32_t product = WrapMul(WrapSub(y1, y0), WrapSub(x, x0));
  // x0 <= x <= x1, so the span is positive; it is taken whole even where it
  // does not fit in 32 bits.
  const std::int64_t span = static_cast<std::int64_t>(x1) - x0;
  return WrapAdd(y0, static_cast<std::int32_t>(product / span));
}

std::int32_t FillBetween(CurveColumns& columns, std::int32_t a, std::int32_t b) {
  std::int32_t lo = a;
  std::int32_t hi = b;
  const std::int64_t a64 = a;
  const std::int64_t b64 = b;
  if (a64 > b64 + 1) {
    lo = b;
    hi = a;
  } else if (a64 >= b64 - 1) {
    return -1;
  }
  hi = std::min(hi, kLastColumn);
  // Columns outside 0..300 are never touched.
  if (lo < 0 || lo >= hi - 1) return -1;
  const std::int32_t first = At(columns, lo);
  const double slope = static_cast<double>(At(columns, hi) - first) / static_cast<double>(hi - lo);
  for (std::int32_t i = 1; lo + i < hi; ++i) {
    const double value = static_cast<double>(i) * slope + static_cast<double>(first);
    At(columns, lo + i) = StoreInt16(TruncToInt32(value));
  }
  return 1;
}

float BoundedExp(std::uint32_t width, float x) {
  double cap = 41.58870876;  // 4 x ln 32767
  if (width <= 1) {
    cap = 4.844187086;  // ln 127
  } else if (width == 2) {
    cap = 10.39717719;  // ln 32767
  } else if (width <= 4) {
    cap = 20.79435438;  // 2 x ln 32767
  }
  if (x > cap) x = static_cast<float>(cap);
  return static_cast<float>(std::exp(static_cast<double>(x)));
}

void ShiftCurveDb(const CurveColumns& source, CurveColumns& target, std::int32_t d) {
  const double factor = std::exp(-static_cast<double>(d) * kLn10 * 0.005);
  if (!(factor > 0.0)) {
    // The step is too large to represent: the curve is taken over unshifted.
    target = source;
    return;
  }
  const auto scaled = [&](std::int32_t c) {
    return StoreInt16(RoundedToInt32(static_cast<double>(source[static_cast<std::size_t>(c)]) / factor));
  };
  const auto midpoint = [&](std::int32_t a, std::int32_t b) {
    return StoreInt16(RoundedToInt32(static_cast<double>(At(target, a) + At(target, b)) * 0.5));
  };
  At(target, 0) = scaled(0);
  for (std::int32_t c = 4; c <= kLastColumn; c += 4) {
    At(target, c) = scaled(c);
    At(target, c - 2) = midpoint(c - 4, c);
    At(target, c - 3) = midpoint(c - 4, c - 2);
    At(target, c - 1) = midpoint(c - 2, c);
  }
}

std::uint32_t ScreenStart(const ParameterBlock& block) {
  return static_cast<std::uint32_t>(block.Velocity) * block.Delay / 20000u;
}

std::int32_t BuildDacCurve(const ParameterBlock& block, CurveState& curves) {
  if (block.DacPointCount < 1 || block.DacPointCount > 10) return -1;
  const auto screenStart = static_cast<std::int32_t>(ScreenStart(block));
  const std::int32_t screenEnd = WrapAdd(screenStart, static_cast<std::int32_t>(block.Range));

  CurvePointList list = BuildPointList(block, screenEnd);
  CutToScreen(list, screenStart, screenEnd);
  for (std::int32_t i = 0; i < list.Count; ++i) {
    list[i].Gain = std::clamp(list[i].Gain, 0, kMaxGain);
  }

  // A range below 10.0 mm is laid out as 10.0 mm: the curve ends before the
  // right edge.
  const std::uint32_t layoutRange = std::max(block.Range, kMinLayoutRange);
  CurveColumns& columns = curves.ReferenceCurve;
  columns[0] = StoreInt16(list[0].Gain);
  std::int32_t x = 0;
  for (std::int32_t i = 1; i < list.Count && x < kWalkEndColumn; ++i) {
    const std::int32_t prev = x;
    const std::uint32_t column =
        (static_cast<std::uint32_t>(list[i].Path) - static_cast<std::uint32_t>(screenStart)) *
        static_cast<std::uint32_t>(kScreenColumns) / layoutRange;
    if (column >= static_cast<std::uint32_t>(kCurveColumns)) {
      At(columns, kWalkEndColumn) = StoreInt16(InterpolateAt(
          prev, At(columns, prev), kWalkEndColumn, list[i].Gain, static_cast<std::int32_t>(column)));
      x = kWalkEndColumn;
    } else {
      x = static_cast<std::int32_t>(column);
      At(columns, x) = StoreInt16(list[i].Gain);
      curves.CurveEndColumn = x;
    }
    FillBetween(columns, prev, x);
  }
  return 2;
}

void CurveToHeights(const ParameterBlock& block, CurveState& curves) {
  CurveColumns& columns = curves.ReferenceCurve;
  const std::int32_t reference =
      TruncToInt32(static_cast<double>(block.BaseGain + block.CurveOffset[0]) + kReferenceHeightGain);
  columns[0] = HeightOfFirstColumn(reference, columns[0]);

  const std::int32_t end = curves.CurveEndColumn;
  if (block.FlatCurve()) {
    At(columns, kWalkEndColumn) = columns[0];
    FillBetween(columns, 0, kWalkEndColumn);
  } else {
    // A range below 10.0 mm can end the curve between two converted columns;
    // the end column is then converted itself, so that the refill next to it
    // does not reach into columns the layout did not write.
    const bool endBetweenSteps = block.Range < kMinLayoutRange && end % 4 != 0;
    for (std::int32_t c = 4; c <= kLastColumn; c += 4) {
      if (endBetweenSteps && c - 4 < end && end < c) {
        At(columns, end) = HeightOf(reference, At(columns, end));
        FillBetween(columns, c - 4, end);
        At(columns, c) = At(columns, end);
        continue;
      }
      At(columns, c) = HeightOf(reference, At(columns, c));
      FillBetween(columns, c - 4, c);
    }
  }
  // The curve runs on flat from its last point to the right.
  for (std::int32_t c = end + 1; c <= kWalkEndColumn; ++c) {
    At(columns, c) = At(columns, end);
  }
  ShiftCurveDb(columns, curves.GateCurve, block.CurveOffset[6] - block.CurveOffset[0]);
}

}  // namespace sonalyt::display
