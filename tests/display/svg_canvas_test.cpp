// The SVG back end: crisp one-pixel lines, dotted style, texts placed by
// their top-left corner, clipping and embedded pictures.

#include "display/svg_canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace sonalyt::display {
namespace {

// A failure shows the whole document.
void ExpectContains(const std::string& svg, const std::string& part) {
  EXPECT_NE(svg.find(part), std::string::npos) << "missing: " << part << "\nin:\n" << svg;
}

TEST(SvgCanvas, WritesTheOperationsAsClippedSvg) {
  SvgCanvas wave(306, 245);
  wave.FillRect(0, 0, 306, 245, kBlack);
  wave.SetPen(kYellow, 1, PenStyle::Dotted);
  wave.MoveTo({0, 49});
  wave.LineTo({306, 49});
  wave.SetPen(kGreen, 1, PenStyle::Solid);
  const std::array<Point, 3> points = {{{0, 245}, {1, 0}, {2, -3}}};
  wave.Polyline(points);
  wave.TextOut({2, 196}, "20 & <斜探头>", kYellow);

  const std::string svg = wave.Document();
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  ExpectContains(svg, "width=\"306\" height=\"245\" overflow=\"hidden\" viewBox=\"0 0 306 245\"");
  ExpectContains(svg, "<rect x=\"0\" y=\"0\" width=\"306\" height=\"245\" fill=\"#000000\"/>");
  ExpectContains(svg, "<line x1=\"0.5\" y1=\"49.5\" x2=\"306.5\" y2=\"49.5\" fill=\"none\" "
                             "stroke=\"#FFFF00\" stroke-width=\"1\" stroke-dasharray=\"1 1\"/>");
  ExpectContains(svg, "<polyline points=\"0.5,245.5 1.5,0.5 2.5,-2.5\" fill=\"none\" "
                             "stroke=\"#00FF00\" stroke-width=\"1\"/>");
  // The baseline stands one ascent (9 pixels) below the top-left corner.
  ExpectContains(svg, "<text x=\"2\" y=\"205\" xml:space=\"preserve\"");
  ExpectContains(svg, "font-family=\"WenQuanYi Micro Hei, sans-serif\" font-size=\"11\"");
  ExpectContains(svg, ">20 &amp; &lt;斜探头&gt;</text>");
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(SvgCanvas, EmbedsAPictureAtAnOffsetWithItsOwnClip) {
  SvgCanvas scale(21, 265);
  scale.TextOut({2, 0}, "100", kYellow);
  SvgCanvas screen(327, 266);
  screen.Embed(scale, 0, 0);
  SvgCanvas wave(306, 245);
  wave.FillRect(0, 0, 306, 245, kBlack);
  screen.Embed(wave, 21, 0);

  const std::string svg = screen.Document();
  ExpectContains(svg, "<g transform=\"translate(0,0)\"><svg width=\"21\" height=\"265\" "
                       "overflow=\"hidden\">\n<text x=\"2\" y=\"9\"");
  ExpectContains(svg, "<g transform=\"translate(21,0)\"><svg width=\"306\" height=\"245\" "
                       "overflow=\"hidden\">\n<rect x=\"0\" y=\"0\" width=\"306\" height=\"245\"");
  // Only the outer document carries the XML declaration.
  EXPECT_EQ(svg.find("<?xml", 1), std::string::npos);
}

}  // namespace
}  // namespace sonalyt::display
