#include "report/page_text.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

#include <algorithm>
#include <vector>

namespace sonalyt::report {
namespace {

bool OnPdf(const QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  return engine != nullptr && engine->type() == QPaintEngine::Pdf;
}

// True when the run is set bold in a face that is not bold itself, so that Qt
// emboldens the regular face.
bool IsMadeUpBold(const QRawFont& font) {
  if (font.weight() < QFont::Bold) return false;
  const int faceWeight = QFontDatabase::weight(font.familyName(), font.styleName());
  return faceWeight >= 0 && faceWeight < QFont::DemiBold;
}

// The same face in its own weight, or an invalid font when it cannot be had.
QRawFont RegularFace(const QRawFont& font) {
  QFont request(font.familyName());
  request.setStyleName(font.styleName());
  request.setPixelSize(qRound(font.pixelSize()));
  request.setStyleStrategy(QFont::NoFontMerging);
  QRawFont regular = QRawFont::fromFont(request);
  const bool sameFace = regular.isValid() && regular.familyName() == font.familyName() &&
                        regular.styleName() == font.styleName() &&
                        regular.pixelSize() == font.pixelSize() && !IsMadeUpBold(regular);
  return sameFace ? regular : QRawFont();
}

struct PlacedLine {
  QTextLine Line;
  QPointF Origin;  // where the line's layout origin goes, in painter units
};

// Lays out and places the lines as QPainter::drawText(rect, flags, text)
// does: lines on whole pixels one leading apart, each line aligned on its own.
std::vector<PlacedLine> PlaceLines(QTextLayout& layout, const QFontMetricsF& metrics,
                                   const QRectF& rect, int flags) {
  QTextOption option;
  option.setWrapMode((flags & Qt::TextWordWrap) != 0 ? QTextOption::WordWrap
                                                     : QTextOption::ManualWrap);
  layout.setTextOption(option);
  const qreal leading = metrics.leading();
  qreal height = -leading;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(rect.width());
    height = qCeil(height + leading);
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  layout.endLayout();

  qreal top = rect.top();
  if ((flags & Qt::AlignBottom) != 0) {
    top += rect.height() - height;
  } else if ((flags & Qt::AlignVCenter) != 0) {
    top += (rect.height() - height) / 2;
  }
  std::vector<PlacedLine> lines;
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    qreal left = rect.left();
    if ((flags & Qt::AlignRight) != 0) {
      left += rect.width() - line.horizontalAdvance();
    } else if ((flags & Qt::AlignHCenter) != 0) {
      left += (rect.width() - line.horizontalAdvance()) / 2;
    }
    lines.push_back({line, QPointF(left, top)});
  }
  return lines;
}

// Draws a run of made-up bold as Qt's PDF engine paints it, the regular
// glyphs and a copy of them half a line width to the left, with the copy
// drawn as outlines instead of text.
void DrawMadeUpBold(QPainter& painter, const QPointF& origin, const QGlyphRun& run,
                    const QRawFont& regular) {
  QGlyphRun once = run;
  once.setRawFont(regular);
  painter.drawGlyphRun(origin, once);

  const QPointF copyOffset(-0.5 * run.rawFont().lineThickness(), 0);
  const QList<quint32> glyphs = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  QPainterPath copy;
  for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
    copy.addPath(regular.pathForGlyph(glyphs[i]).translated(origin + positions[i] + copyOffset));
  }
  painter.fillPath(copy, painter.pen().brush());
}

}  // namespace

void DrawPageText(QPainter& painter, const QRectF& rect, int flags, const QString& text) {
  if (!OnPdf(painter) || !painter.font().bold()) {
    painter.drawText(rect, flags, text);
    return;
  }
  QString layoutText = text;
  layoutText.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(layoutText, painter.font(), painter.device());
  const std::vector<PlacedLine> lines =
      PlaceLines(layout, QFontMetricsF(painter.font(), painter.device()), rect, flags);
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (std::none_of(runs.begin(), runs.end(),
                   [](const QGlyphRun& run) { return IsMadeUpBold(run.rawFont()); })) {
    painter.drawText(rect, flags, text);
    return;
  }
  for (const PlacedLine& placed : lines) {
    for (const QGlyphRun& run : placed.Line.glyphRuns()) {
      const QRawFont regular =
          IsMadeUpBold(run.rawFont()) ? RegularFace(run.rawFont()) : QRawFont();
      if (regular.isValid()) {
        DrawMadeUpBold(painter, placed.Origin, run, regular);
      } else {
        painter.drawGlyphRun(placed.Origin, run);
      }
    }
  }
}

}  // namespace sonalyt::report
