// The two kinds of number format: picture formats round the decimal value
// half away from zero, conversion formats are the C library's.

#include "display/number_format.h"

#include <gtest/gtest.h>

#include <string>

namespace sonalyt::display {
namespace {

struct PictureCase {
  double value;
  int decimals;
  std::string lead;
  std::string expected;
};

TEST(FormatPicture, RoundsTheDecimalValueHalfAwayFromZero) {
  const PictureCase cases[] = {
      {45.6, 1, "", "45.6"},
      {456 * 0.1, 1, "", "45.6"},
      {-20 * 0.1, 1, "", "-2.0"},
      {0.0, 1, "", "0.0"},
      {0.0, 2, "", "0.00"},
      {250 * 0.01, 2, "", "2.50"},
      // 1.15 and 1.005 lie just below their halves in binary; their decimal
      // forms do not.
      {1.15, 1, "", "1.2"},
      {1.005, 2, "", "1.01"},
      {-1.15, 1, "", "-1.2"},
      {0.25, 1, "", "0.3"},
      {0.05, 1, "", "0.1"},
      {0.04, 1, "", "0.0"},
      {-0.04, 1, "", "0.0"},
      {9.96, 1, "", "10.0"},
      {99.995, 2, "", "100.00"},
      {-214748364.8, 1, "", "-214748364.8"},
      {1e20, 1, "", "100000000000000000000.0"},
      // The picture " 0.0": the blank is part of the picture, the sign is not.
      {12.3, 1, " ", " 12.3"},
      {-1.5, 1, " ", "- 1.5"},
      {0.0, 1, " ", " 0.0"},
  };
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " at " << c.decimals << " decimals");
    EXPECT_EQ(FormatPicture(c.value, c.decimals, c.lead), c.expected);
  }
}

TEST(FormatConversion, IsTheCLibrarysConversion) {
  EXPECT_EQ(FormatConversion("%.1f mm", 200.0), "200.0 mm");
  EXPECT_EQ(FormatConversion("%.3f in", 10.0), "10.000 in");
  // printf rounds the binary value: 0.25 is exact and goes to even, unlike
  // the picture format above.
  EXPECT_EQ(FormatConversion("%.1f", 0.25), "0.2");
  EXPECT_EQ(FormatConversion("↘%0.1f", -0.7), "↘-0.7");
  EXPECT_EQ(FormatConversion("%.0f", 1e300).size(), 301u);
}

}  // namespace
}  // namespace sonalyt::display
