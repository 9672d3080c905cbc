// The two kinds of number format the display texts use: decimal picture
// formats ("0.0", "0.00": rounded half away from zero on the decimal value)
// and C conversion formats ("%.1f", "%d", ...).
#pragma once

#include <string>

namespace sonalyt::display {

// `value` with exactly `decimals` decimals and at least one integer digit, a
// leading minus sign when negative: the picture format "0.0" (decimals 1) or
// "0.00" (decimals 2). The value is first taken to its 15-significant-digit
// decimal form, so 1.15 counts as 1.15 and shows 1.2 at one decimal.
// `lead` is literal text of the picture that stands between the sign and the
// digits: the picture " 0.0" is FormatPicture(v, 1, " ") and shows -1.5 as
// "- 1.5". A negative value that rounds to zero shows no sign.
std::string FormatPicture(double value, int decimals, const std::string& lead = "");

// printf-style conversion of one floating-point value (snprintf of the C
// library), e.g. "%.1f mm". Whole numbers ("%d") are written with std::to_string.
std::string FormatConversion(const char* format, double value);

}  // namespace sonalyt::display
