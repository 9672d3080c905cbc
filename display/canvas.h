// The drawing surface the display layer draws onto. Coordinates are pixels of
// the target picture; a back end only realises the operations it is given.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

namespace sonalyt::display {

struct Color {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  bool operator==(const Color&) const = default;
};
void PrintTo(const Color& color, std::ostream* os);

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kYellow{255, 255, 0};
inline constexpr Color kCyan{0, 255, 255};
inline constexpr Color kGreen{0, 255, 0};
inline constexpr Color kMagenta{255, 0, 255};
inline constexpr Color kBlue{0, 0, 255};

struct Point {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool operator==(const Point&) const = default;
};
void PrintTo(const Point& point, std::ostream* os);

enum class PenStyle { Solid, Dotted };

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // Fills the pixels left <= x < right, top <= y < bottom.
  virtual void FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, Color color) = 0;
  virtual void SetPen(Color color, std::int32_t width, PenStyle style) = 0;
  virtual void MoveTo(Point to) = 0;
  // A line from the pen position to `to`; the pen then stands at `to`.
  virtual void LineTo(Point to) = 0;
  virtual void Polyline(std::span<const Point> points) = 0;
  // UTF-8 text with its top-left corner at `topLeft`, in the canvas's default font.
  virtual void TextOut(Point topLeft, std::string_view text, Color color) = 0;
};

}  // namespace sonalyt::display
