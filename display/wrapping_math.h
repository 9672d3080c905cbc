// 32-bit integer arithmetic as the instrument's numbers are defined:
// two's-complement wrap-around on overflow, truncating division, 16-bit
// stores that keep the low 16 bits, and float-to-integer conversion that
// truncates toward zero without ever leaving the target range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace sonalyt::display {

constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Truncating division; the one quotient that does not fit (INT32_MIN / -1)
// wraps. b must not be 0.
constexpr std::int32_t WrapDiv(std::int32_t a, std::int32_t b) {
  if (b == -1) return WrapSub(0, a);
  return a / b;
}

// The value a 16-bit column holds after storing v.
constexpr std::int16_t StoreInt16(std::int32_t v) { return static_cast<std::int16_t>(v); }

// trunc(v) as a 32-bit integer, held at the int32 limits; NaN gives 0.
inline std::int32_t TruncToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(v);
}

// "Rounded": add 0.5, then truncate.
inline std::int32_t RoundedToInt32(double v) { return TruncToInt32(v + 0.5); }

}  // namespace sonalyt::display
