// The Qt back end of the display canvas: a QPainter on a QImage of the
// target control's size, handed to the control in one step when done.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>

#include "display/canvas.h"

namespace sonalyt::qtdraw {

class QtCanvas : public display::Canvas {
 public:
  QtCanvas(int width, int height);
  // Draws onto an existing paint device (a printer or PDF page) of the given
  // logical size; the painter must stay active while the canvas is used.
  QtCanvas(QPainter& painter, int width, int height);
  ~QtCanvas() override;

  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                display::Color color) override;
  void SetPen(display::Color color, std::int32_t width, display::PenStyle style) override;
  void MoveTo(display::Point to) override;
  void LineTo(display::Point to) override;
  void Polyline(std::span<const display::Point> points) override;
  void TextOut(display::Point topLeft, std::string_view text, display::Color color) override;

  // Ends painting and returns the finished picture (image canvases only).
  QImage TakeImage();

  // The font of texts on a new picture.
  static QFont DefaultFont();

 private:
  QImage image_;
  QPainter ownPainter_;
  QPainter* painter_;
  int width_;
  int height_;
  display::Point pen_{};
};

}  // namespace sonalyt::qtdraw
