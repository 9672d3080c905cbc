#include "display/recording_canvas.h"

#include <ostream>
#include <utility>

namespace sonalyt::display {

DrawOp DrawOp::Fill(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, Color c) {
  DrawOp op;
  op.kind = Kind::FillRect;
  op.points = {{l, t}, {r, b}};
  op.color = c;
  return op;
}

DrawOp DrawOp::Pen(Color c, std::int32_t w, PenStyle s) {
  DrawOp op;
  op.kind = Kind::SetPen;
  op.color = c;
  op.width = w;
  op.style = s;
  return op;
}

DrawOp DrawOp::Move(std::int32_t x, std::int32_t y) {
  DrawOp op;
  op.kind = Kind::MoveTo;
  op.points = {{x, y}};
  return op;
}

DrawOp DrawOp::Line(std::int32_t x, std::int32_t y) {
  DrawOp op;
  op.kind = Kind::LineTo;
  op.points = {{x, y}};
  return op;
}

DrawOp DrawOp::Poly(std::vector<Point> points) {
  DrawOp op;
  op.kind = Kind::Polyline;
  op.points = std::move(points);
  return op;
}

DrawOp DrawOp::Text(std::int32_t x, std::int32_t y, std::string text, Color c) {
  DrawOp op;
  op.kind = Kind::TextOut;
  op.points = {{x, y}};
  op.text = std::move(text);
  op.color = c;
  return op;
}

namespace {

void PrintPoints(const std::vector<Point>& points, std::ostream* os) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) *os << ' ';
    PrintTo(points[i], os);
  }
}

}  // namespace

void PrintTo(const DrawOp& op, std::ostream* os) {
  switch (op.kind) {
    case DrawOp::Kind::FillRect:
      *os << "FillRect ";
      PrintPoints(op.points, os);
      *os << ' ';
      PrintTo(op.color, os);
      break;
    case DrawOp::Kind::SetPen:
      *os << "SetPen ";
      PrintTo(op.color, os);
      *os << " width " << op.width << (op.style == PenStyle::Dotted ? " dotted" : " solid");
      break;
    case DrawOp::Kind::MoveTo:
      *os << "MoveTo ";
      PrintPoints(op.points, os);
      break;
    case DrawOp::Kind::LineTo:
      *os << "LineTo ";
      PrintPoints(op.points, os);
      break;
    case DrawOp::Kind::Polyline:
      *os << "Polyline[" << op.points.size() << "] ";
      PrintPoints(op.points, os);
      break;
    case DrawOp::Kind::TextOut:
      *os << "TextOut ";
      PrintPoints(op.points, os);
      *os << " \"" << op.text << "\" ";
      PrintTo(op.color, os);
      break;
  }
}

void RecordingCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                               std::int32_t bottom, Color color) {
  ops_.push_back(DrawOp::Fill(left, top, right, bottom, color));
}

void RecordingCanvas::SetPen(Color color, std::int32_t width, PenStyle style) {
  ops_.push_back(DrawOp::Pen(color, width, style));
}

void RecordingCanvas::MoveTo(Point to) { ops_.push_back(DrawOp::Move(to.X, to.Y)); }

void RecordingCanvas::LineTo(Point to) { ops_.push_back(DrawOp::Line(to.X, to.Y)); }

void RecordingCanvas::Polyline(std::span<const Point> points) {
  ops_.push_back(DrawOp::Poly(std::vector<Point>(points.begin(), points.end())));
}

void RecordingCanvas::TextOut(Point topLeft, std::string_view text, Color color) {
  ops_.push_back(DrawOp::Text(topLeft.X, topLeft.Y, std::string(text), color));
}

}  // namespace sonalyt::display
