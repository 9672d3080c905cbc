// Drawing text on a page so that a PDF reader finds it once, as typed.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

namespace sonalyt::report {

// Draws text as QPainter::drawText(rect, flags, text) does, in the painter's
// font and pen. On a PDF paint engine, a bold that a face does not have (the
// CJK face has none; Qt makes it up by emboldening the regular face) would be
// written as the text twice, the second copy half a line width to the left,
// and a PDF reader would find the text twice. Here such runs are written as
// the regular face's text once, and the second copy is drawn as glyph
// outlines at the same place, so the page looks as before. Everything else,
// and every other paint engine, goes through QPainter::drawText unchanged.
// Supported flags: horizontal and vertical alignment, Qt::TextWordWrap.
void DrawPageText(QPainter& painter, const QRectF& rect, int flags, const QString& text);

}  // namespace sonalyt::report
