// A canvas that keeps the list of operations it was given: the exact record
// of coordinates, colours and order that tests and fuzzers compare.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "display/canvas.h"

namespace sonalyt::display {

struct DrawOp {
  enum class Kind { FillRect, SetPen, MoveTo, LineTo, Polyline, TextOut };
  Kind kind = Kind::FillRect;
  std::vector<Point> points;  // FillRect: {left,top},{right,bottom}; MoveTo/LineTo: one
  Color color{};
  std::int32_t width = 0;     // SetPen
  PenStyle style = PenStyle::Solid;
  std::string text;           // TextOut

  bool operator==(const DrawOp&) const = default;

  static DrawOp Fill(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, Color c);
  static DrawOp Pen(Color c, std::int32_t w, PenStyle s);
  static DrawOp Move(std::int32_t x, std::int32_t y);
  static DrawOp Line(std::int32_t x, std::int32_t y);
  static DrawOp Poly(std::vector<Point> points);
  static DrawOp Text(std::int32_t x, std::int32_t y, std::string text, Color c);
};
void PrintTo(const DrawOp& op, std::ostream* os);

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                Color color) override;
  void SetPen(Color color, std::int32_t width, PenStyle style) override;
  void MoveTo(Point to) override;
  void LineTo(Point to) override;
  void Polyline(std::span<const Point> points) override;
  void TextOut(Point topLeft, std::string_view text, Color color) override;

  const std::vector<DrawOp>& Ops() const { return ops_; }
  void Clear() { ops_.clear(); }

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::vector<DrawOp> ops_;
};

}  // namespace sonalyt::display
