// The B-scan picture: x the position in the recording, y the 280 screen
// columns (top row = left edge of the A-scan), colour the amplitude in a
// perceptually ordered palette (dark blue through green to yellow). Pure
// pixel arithmetic, so the command-line tool and the viewer's overview draw
// the same picture.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/frame_figures.h"
#include "analysis/recording_analysis.h"

namespace sonalyt::analysis {

// 0xFFRRGGBB, the layout of a 32-bit RGB image row.
using Argb = std::uint32_t;

// Colour of amplitude a, 0..200 (values above are taken as 200).
Argb AmplitudeColor(std::int32_t amplitude);
// Colour of a position whose records are not analysed yet.
inline constexpr Argb kPendingColor = 0xFF404040;

// The legend: amplitudes 0, 50, 100, 150, 200 with their percent of full
// height and colour, lowest first.
struct LegendEntry {
  std::int32_t Amplitude = 0;
  std::int32_t Percent = 0;
  Argb Color = 0;
  bool operator==(const LegendEntry&) const = default;
};
std::vector<LegendEntry> AmplitudeLegend();

// A width x height picture, row-major, top row first.
struct BScanImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<Argb> Pixels;
  Argb At(std::int32_t x, std::int32_t y) const {
    return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                  static_cast<std::size_t>(x)];
  }
  bool operator==(const BScanImage&) const = default;
};

// The range of source positions [First, End) that pixel column x of a
// picture `width` wide covers when it shows `count` positions: at least one
// position, [x * count / width, (x + 1) * count / width) when that is not
// empty. Rows map the 280 screen columns to `height` rows the same way.
struct PixelSpan {
  std::int64_t First = 0;
  std::int64_t End = 0;
  bool operator==(const PixelSpan&) const = default;
};
PixelSpan SpanOfPixel(std::int64_t x, std::int64_t width, std::int64_t count);

// columnAt(i) gives the amplitude column of source position i (0 <= i <
// count), or null when it is not available yet. Each pixel shows the
// maximum amplitude over the positions and screen columns it covers;
// a pixel column whose positions are all unavailable is kPendingColor.
BScanImage RasterizeBScan(std::int64_t count,
                          const std::function<const AmplitudeColumn*(std::int64_t)>& columnAt,
                          std::int32_t width, std::int32_t height);

// The B-scan of a whole recording from its records' max-hold columns, one
// position per indexed record (records not done yet are pending).
BScanImage RecordingBScan(const AnalysisResults& results, std::int32_t width,
                          std::int32_t height);

}  // namespace sonalyt::analysis
