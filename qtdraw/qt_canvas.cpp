#include "qtdraw/qt_canvas.h"

#include <QPen>
#include <QPolygon>
#include <QString>

namespace sonalyt::qtdraw {
namespace {

QColor ToQColor(display::Color c) { return QColor(c.Red, c.Green, c.Blue); }

void Prepare(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setFont(QtCanvas::DefaultFont());
  painter.setBrush(Qt::NoBrush);
}

}  // namespace

QtCanvas::QtCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32), painter_(&ownPainter_), width_(width),
      height_(height) {
  image_.fill(Qt::black);
  ownPainter_.begin(&image_);
  Prepare(ownPainter_);
}

QtCanvas::QtCanvas(QPainter& painter, int width, int height)
    : painter_(&painter), width_(width), height_(height) {
  painter_->save();
  painter_->setClipRect(0, 0, width, height);
  Prepare(*painter_);
}

QtCanvas::~QtCanvas() {
  if (painter_ != &ownPainter_) {
    painter_->restore();
  } else if (ownPainter_.isActive()) {
    ownPainter_.end();
  }
}

QFont QtCanvas::DefaultFont() {
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

void QtCanvas::FillRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, display::Color color) {
  painter_->fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), ToQColor(color));
}

void QtCanvas::SetPen(display::Color color, std::int32_t width, display::PenStyle style) {
  QPen pen(ToQColor(color));
  pen.setWidth(width <= 1 ? 0 : width);  // width 0: a cosmetic one-pixel pen
  if (style == display::PenStyle::Dotted) {
    pen.setDashPattern({1.0, 1.0});
  }
  pen.setCapStyle(Qt::FlatCap);
  painter_->setPen(pen);
}

void QtCanvas::MoveTo(display::Point to) { pen_ = to; }

void QtCanvas::LineTo(display::Point to) {
  painter_->drawLine(pen_.X, pen_.Y, to.X, to.Y);
  pen_ = to;
}

void QtCanvas::Polyline(std::span<const display::Point> points) {
  QPolygon polygon(static_cast<int>(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i) {
    polygon.setPoint(static_cast<int>(i), points[i].X, points[i].Y);
  }
  painter_->drawPolyline(polygon);
}

void QtCanvas::TextOut(display::Point topLeft, std::string_view text, display::Color color) {
  painter_->save();
  painter_->setPen(ToQColor(color));
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  painter_->drawText(QRect(topLeft.X, topLeft.Y, 4 * width_ + 100, 100),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
  painter_->restore();
}

QImage QtCanvas::TakeImage() {
  if (ownPainter_.isActive()) ownPainter_.end();
  return image_;
}

}  // namespace sonalyt::qtdraw
