// A canvas that writes an SVG document: vector export of the pictures.
#pragma once

#include <string>

#include "display/canvas.h"

namespace sonalyt::display {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(std::int32_t width, std::int32_t height);
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                Color color) override;
  void SetPen(Color color, std::int32_t width, PenStyle style) override;
  void MoveTo(Point to) override;
  void LineTo(Point to) override;
  void Polyline(std::span<const Point> points) override;
  void TextOut(Point topLeft, std::string_view text, Color color) override;

  // Places a picture drawn on another SvgCanvas at (left, top) of this one.
  void Embed(const SvgCanvas& picture, std::int32_t left, std::int32_t top);
  // The complete document, clipped to the canvas size.
  std::string Document() const;

 private:
  std::string StrokeAttributes() const;

  std::int32_t width_;
  std::int32_t height_;
  std::string body_;
  Color penColor_{};
  std::int32_t penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  Point pen_{};
};

}  // namespace sonalyt::display
