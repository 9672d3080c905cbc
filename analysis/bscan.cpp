#include "analysis/bscan.h"

#include <algorithm>

namespace sonalyt::analysis {
namespace {

// Anchors of the palette at amplitudes 0, 200/7, ..., 200: dark violet
// through blue and green to yellow, lightness rising evenly, so a stronger
// echo always reads brighter, also in grey.
constexpr std::array<std::uint32_t, 8> kAnchors = {0x440154, 0x46327E, 0x365C8D, 0x277F8E,
                                                   0x1FA187, 0x4AC16D, 0xA0DA39, 0xFDE725};

std::array<Argb, kFullAmplitude + 1> MakePalette() {
  std::array<Argb, kFullAmplitude + 1> palette{};
  constexpr std::int32_t segments = static_cast<std::int32_t>(kAnchors.size()) - 1;
  for (std::int32_t a = 0; a <= kFullAmplitude; ++a) {
    // Position a * 7 / 200 along the anchors, in 1/200 steps.
    const std::int32_t scaled = a * segments;
    const std::int32_t i = std::min(scaled / kFullAmplitude, segments - 1);
    const std::int32_t t = scaled - i * kFullAmplitude;  // 0..200
    const std::uint32_t from = kAnchors[static_cast<std::size_t>(i)];
    const std::uint32_t to = kAnchors[static_cast<std::size_t>(i) + 1];
    Argb color = 0xFF000000;
    for (std::int32_t shift = 0; shift <= 16; shift += 8) {
      const auto c0 = static_cast<std::int32_t>((from >> shift) & 0xFF);
      const auto c1 = static_cast<std::int32_t>((to >> shift) & 0xFF);
      const std::int32_t c = (c0 * (kFullAmplitude - t) + c1 * t + kFullAmplitude / 2) / kFullAmplitude;
      color |= static_cast<Argb>(c) << shift;
    }
    palette[static_cast<std::size_t>(a)] = color;
  }
  return palette;
}

const std::array<Argb, kFullAmplitude + 1> kPalette = MakePalette();

}  // namespace

Argb AmplitudeColor(std::int32_t amplitude) {
  return kPalette[static_cast<std::size_t>(std::clamp(amplitude, 0, kFullAmplitude))];
}

std::vector<LegendEntry> AmplitudeLegend() {
  std::vector<LegendEntry> legend;
  for (std::int32_t a = 0; a <= kFullAmplitude; a += kFullAmplitude / 4) {
    legend.push_back({a, a * 100 / kFullAmplitude, AmplitudeColor(a)});
  }
  return legend;
}

PixelSpan SpanOfPixel(std::int64_t x, std::int64_t width, std::int64_t count) {
  if (width <= 0 || count <= 0) return {};
  const std::int64_t first = x * count / width;
  const std::int64_t end = std::max((x + 1) * count / width, first + 1);
  return {first, std::min(end, count)};
}

BScanImage RasterizeBScan(std::int64_t count,
                          const std::function<const AmplitudeColumn*(std::int64_t)>& columnAt,
                          std::int32_t width, std::int32_t height) {
  BScanImage image;
  image.Width = std::max(width, 0);
  image.Height = std::max(height, 0);
  image.Pixels.assign(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height),
                      kPendingColor);
  if (image.Width == 0 || image.Height == 0 || count <= 0) return image;

  // Screen column range of every row.
  std::vector<PixelSpan> rows(static_cast<std::size_t>(image.Height));
  for (std::int32_t y = 0; y < image.Height; ++y) {
    rows[static_cast<std::size_t>(y)] = SpanOfPixel(y, image.Height, kScreenColumns);
  }
  AmplitudeColumn held;
  for (std::int32_t x = 0; x < image.Width; ++x) {
    const PixelSpan span = SpanOfPixel(x, image.Width, count);
    held.fill(0);
    bool any = false;
    for (std::int64_t i = span.First; i < span.End; ++i) {
      const AmplitudeColumn* column = columnAt(i);
      if (!column) continue;
      any = true;
      for (std::size_t c = 0; c < held.size(); ++c) held[c] = std::max(held[c], (*column)[c]);
    }
    if (!any) continue;
    for (std::int32_t y = 0; y < image.Height; ++y) {
      const PixelSpan& row = rows[static_cast<std::size_t>(y)];
      std::uint8_t amplitude = 0;
      for (std::int64_t c = row.First; c < row.End; ++c) {
        amplitude = std::max(amplitude, held[static_cast<std::size_t>(c)]);
      }
      image.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.Width) +
                   static_cast<std::size_t>(x)] = AmplitudeColor(amplitude);
    }
  }
  return image;
}

BScanImage RecordingBScan(const AnalysisResults& results, std::int32_t width,
                          std::int32_t height) {
  return RasterizeBScan(
      results.IndexedRecords(),
      [&results](std::int64_t i) -> const AmplitudeColumn* {
        const auto r = static_cast<std::int32_t>(i);
        return results.RecordDone(r) ? &results.MaxHold(r) : nullptr;
      },
      width, height);
}

}  // namespace sonalyt::analysis
