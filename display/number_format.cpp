#include "display/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace sonalyt::display {

namespace {

constexpr int kSignificantDigits = 15;

}  // namespace

std::string FormatPicture(double value, int decimals, const std::string& lead) {
  if (!std::isfinite(value)) {
    return FormatConversion("%f", value);
  }
  // d.dddddddddddddde+XX: the decimal form the rounding works on.
  char scientific[40];
  std::snprintf(scientific, sizeof scientific, "%.*e", kSignificantDigits - 1, std::fabs(value));
  std::string digits;
  digits.reserve(kSignificantDigits);
  const char* p = scientific;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits.push_back(*p);
  }
  const int exponent = std::atoi(p + 1);

  // Digit j of `digits` has the place value 10^(exponent - j). The result
  // keeps the digits down to 10^-decimals; it is written as an integer count
  // of 10^-decimals units.
  const int kept = exponent + decimals + 1;
  std::string units;
  if (kept >= kSignificantDigits) {
    units = digits + std::string(static_cast<std::size_t>(kept - kSignificantDigits), '0');
  } else if (kept >= 0) {
    units = digits.substr(0, static_cast<std::size_t>(kept));
    if (digits[static_cast<std::size_t>(kept)] >= '5') {
      // Half or more of the last unit: away from zero.
      int i = static_cast<int>(units.size()) - 1;
      for (; i >= 0 && units[static_cast<std::size_t>(i)] == '9'; --i) {
        units[static_cast<std::size_t>(i)] = '0';
      }
      if (i >= 0) {
        ++units[static_cast<std::size_t>(i)];
      } else {
        units.insert(units.begin(), '1');
      }
    }
  }
  const auto width = static_cast<std::size_t>(decimals) + 1;
  if (units.size() < width) units.insert(0, width - units.size(), '0');

  const bool zero = units.find_first_not_of('0') == std::string::npos;
  std::string text = (value < 0 && !zero) ? "-" : "";
  text += lead;
  text += units.substr(0, units.size() - static_cast<std::size_t>(decimals));
  if (decimals > 0) {
    text += '.';
    text += units.substr(units.size() - static_cast<std::size_t>(decimals));
  }
  return text;
}

std::string FormatConversion(const char* format, double value) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, value);
  if (length < 0) return {};
  if (static_cast<std::size_t>(length) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(length));
  // A value of more than 500 digits (only a huge "%f").
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace sonalyt::display
