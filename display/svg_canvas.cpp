#include "display/svg_canvas.h"

#include <cstdio>
#include <string>

namespace sonalyt::display {

namespace {

// Texts of the pictures include Chinese characters; the list starts with a
// CJK-capable face.
constexpr const char* kFontFamily = "WenQuanYi Micro Hei, sans-serif";
constexpr int kFontPixels = 11;
// Texts are placed by their top-left corner; SVG places the baseline. The
// ascent of an 11-pixel sans-serif face is about 9 pixels (0.8 em), a fixed
// offset that every renderer honours, unlike the baseline-alignment properties.
constexpr int kFontAscentPixels = 9;

std::string Hex(Color c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c.Red, c.Green, c.Blue);
  return text;
}

// A pixel coordinate of a line: lines of odd width are centred on the pixel
// so that a 1-pixel line covers exactly one row or column.
std::string LineCoordinate(std::int32_t v, std::int32_t penWidth) {
  if (penWidth % 2 == 0) return std::to_string(v);
  char text[24];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(v) + 0.5);
  return text;
}

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string Viewport(std::int32_t width, std::int32_t height) {
  return "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
         "\" overflow=\"hidden\"";
}

}  // namespace

SvgCanvas::SvgCanvas(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

void SvgCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom, Color color) {
  if (right <= left || bottom <= top) return;
  body_ += "<rect x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
           std::to_string(static_cast<std::int64_t>(right) - left) + "\" height=\"" +
           std::to_string(static_cast<std::int64_t>(bottom) - top) + "\" fill=\"" + Hex(color) +
           "\"/>\n";
}

void SvgCanvas::SetPen(Color color, std::int32_t width, PenStyle style) {
  penColor_ = color;
  penWidth_ = width < 1 ? 1 : width;
  penStyle_ = style;
}

void SvgCanvas::MoveTo(Point to) { pen_ = to; }

std::string SvgCanvas::StrokeAttributes() const {
  std::string attributes = "fill=\"none\" stroke=\"" + Hex(penColor_) + "\" stroke-width=\"" +
                           std::to_string(penWidth_) + "\"";
  if (penStyle_ == PenStyle::Dotted) attributes += " stroke-dasharray=\"1 1\"";
  return attributes;
}

void SvgCanvas::LineTo(Point to) {
  body_ += "<line x1=\"" + LineCoordinate(pen_.X, penWidth_) + "\" y1=\"" +
           LineCoordinate(pen_.Y, penWidth_) + "\" x2=\"" + LineCoordinate(to.X, penWidth_) +
           "\" y2=\"" + LineCoordinate(to.Y, penWidth_) + "\" " + StrokeAttributes() + "/>\n";
  pen_ = to;
}

void SvgCanvas::Polyline(std::span<const Point> points) {
  if (points.empty()) return;
  body_ += "<polyline points=\"";
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) body_ += ' ';
    body_ += LineCoordinate(points[i].X, penWidth_) + "," + LineCoordinate(points[i].Y, penWidth_);
  }
  body_ += "\" " + StrokeAttributes() + "/>\n";
  pen_ = points.back();
}

void SvgCanvas::TextOut(Point topLeft, std::string_view text, Color color) {
  const std::int64_t baseline = std::int64_t{topLeft.Y} + kFontAscentPixels;
  body_ += "<text x=\"" + std::to_string(topLeft.X) + "\" y=\"" + std::to_string(baseline) +
           "\" xml:space=\"preserve\" font-family=\"" +
           kFontFamily + "\" font-size=\"" + std::to_string(kFontPixels) + "\" fill=\"" +
           Hex(color) + "\">" + Escaped(text) + "</text>\n";
}

void SvgCanvas::Embed(const SvgCanvas& picture, std::int32_t left, std::int32_t top) {
  // The nested viewport clips the picture to its own size; the offset is a
  // transform, which every renderer honours.
  body_ += "<g transform=\"translate(" + std::to_string(left) + "," + std::to_string(top) +
           ")\"><svg " + Viewport(picture.width_, picture.height_) + ">\n" + picture.body_ +
           "</svg></g>\n";
}

std::string SvgCanvas::Document() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" " + Viewport(width_, height_) +
         " viewBox=\"0 0 " + std::to_string(width_) + " " + std::to_string(height_) +
         "\" shape-rendering=\"crispEdges\">\n" + body_ + "</svg>\n";
}

}  // namespace sonalyt::display
