// The B-scan picture: palette, legend, pixel spans and the raster.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/bscan.h"
#include "analysis/recording_analysis.h"
#include "analysis_test_data.h"

namespace sonalyt::analysis {
namespace {

double Luminance(Argb c) {
  return 0.2126 * ((c >> 16) & 0xFF) + 0.7152 * ((c >> 8) & 0xFF) + 0.0722 * (c & 0xFF);
}

TEST(AmplitudeColor, BrightnessRisesWithAmplitudeAndValuesAboveFullHeightSaturate) {
  for (std::int32_t a = 1; a <= kFullAmplitude; ++a) {
    ASSERT_GT(Luminance(AmplitudeColor(a)), Luminance(AmplitudeColor(a - 1))) << "amplitude " << a;
  }
  EXPECT_EQ(AmplitudeColor(0), 0xFF440154u);
  EXPECT_EQ(AmplitudeColor(200), 0xFFFDE725u);
  EXPECT_EQ(AmplitudeColor(255), AmplitudeColor(200));
  EXPECT_EQ(AmplitudeColor(-3), AmplitudeColor(0));
}

TEST(AmplitudeLegend, FiveStepsFromZeroToFullHeight) {
  const std::vector<LegendEntry> expected = {
      {0, 0, AmplitudeColor(0)},      {50, 25, AmplitudeColor(50)},  {100, 50, AmplitudeColor(100)},
      {150, 75, AmplitudeColor(150)}, {200, 100, AmplitudeColor(200)},
  };
  EXPECT_EQ(AmplitudeLegend(), expected);
}

TEST(SpanOfPixel, EveryPositionIsCoveredOnceAndEveryPixelShowsOne) {
  struct Case { std::int64_t width, count; };
  const Case cases[] = {{280, 280}, {140, 280}, {100, 36000}, {7, 3}, {1000, 999}, {3, 7}, {1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " pixels for " + std::to_string(c.count));
    std::vector<int> covered(static_cast<std::size_t>(c.count), 0);
    for (std::int64_t x = 0; x < c.width; ++x) {
      const PixelSpan span = SpanOfPixel(x, c.width, c.count);
      ASSERT_LT(span.First, span.End);
      ASSERT_LE(span.End, c.count);
      if (c.width <= c.count) {
        for (std::int64_t i = span.First; i < span.End; ++i) ++covered[static_cast<std::size_t>(i)];
      }
    }
    if (c.width <= c.count) {
      for (int n : covered) ASSERT_EQ(n, 1);
    }
  }
  EXPECT_EQ(SpanOfPixel(0, 2, 280), (PixelSpan{0, 140}));
  EXPECT_EQ(SpanOfPixel(5, 7, 3), (PixelSpan{2, 3}));
}

TEST(RasterizeBScan, PixelsShowTheMaximumTheyCoverAndPendingColumnsStayGrey) {
  std::vector<AmplitudeColumn> columns(4);
  columns[0][0] = 50;
  columns[1][139] = 120;  // top half of the picture
  columns[1][140] = 30;   // bottom half
  columns[3][279] = 200;
  // Position 2 is not analysed yet.
  const auto at = [&](std::int64_t i) -> const AmplitudeColumn* {
    return i == 2 ? nullptr : &columns[static_cast<std::size_t>(i)];
  };
  const BScanImage full = RasterizeBScan(4, at, 4, 2);
  const std::vector<Argb> expected = {
      AmplitudeColor(50), AmplitudeColor(120), kPendingColor, AmplitudeColor(0),
      AmplitudeColor(0),  AmplitudeColor(30),  kPendingColor, AmplitudeColor(200),
  };
  EXPECT_EQ(full.Pixels, expected);

  const BScanImage narrow = RasterizeBScan(4, at, 2, 1);
  EXPECT_EQ(narrow.Pixels, (std::vector<Argb>{AmplitudeColor(120), AmplitudeColor(200)}))
      << "a pixel with one pending and one analysed position shows the analysed one";
}

TEST(RecordingBScan, OneColumnPerRecordFromTheMaxHold) {
  const std::string path = testing_data::WriteVariedRecording("bscan_records.dat", 12);
  const auto results = AnalyzeRecording(path, std::nullopt, 2);
  ASSERT_TRUE(results);
  const BScanImage image = RecordingBScan(*results, results->IndexedRecords(), kScreenColumns);
  ASSERT_EQ(image.Width, 12);
  ASSERT_EQ(image.Height, 280);
  for (std::int32_t r = 0; r < 12; ++r) {
    for (std::int32_t c = 0; c < kScreenColumns; ++c) {
      ASSERT_EQ(image.At(r, c), AmplitudeColor(results->MaxHold(r)[static_cast<std::size_t>(c)]))
          << "record " << r << " column " << c;
    }
  }
}

}  // namespace
}  // namespace sonalyt::analysis
