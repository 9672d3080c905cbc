#include "display/canvas.h"

#include <cstdio>
#include <ostream>

namespace sonalyt::display {

void PrintTo(const Color& color, std::ostream* os) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", color.Red, color.Green, color.Blue);
  *os << text;
}

void PrintTo(const Point& point, std::ostream* os) {
  *os << '(' << point.X << ", " << point.Y << ')';
}

}  // namespace sonalyt::display
