#include "report/report_page.h"

#include <iterator>
#include <limits>
#include <span>
#include <utility>

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QEvent>
#include <QPaintEvent>
#include <QStringList>

#include "qtdraw/qt_canvas.h"
#include "report/page_text.h"

namespace sonalyt::report {
namespace {

// Rows of the ruled table are 41 pixels high at a pitch of 40, so
// neighbouring cells share their border line.
constexpr int kRowHeight = 41;
// Text boxes of a row are 25 high, their top 8 below the row's top.
constexpr int kTextBoxHeight = 25;
constexpr int kTextBoxInset = 8;

constexpr int kCaptionPixels = 19;  // Arial 14 pt
constexpr int kTitlePixels = 21;    // Arial 16 pt, bold
constexpr int kSmallestValuePixels = 12;

struct Cell {
  int Left, Top, Width, Height = kRowHeight;
};

// A text box: left, top, width, height in page pixels.
struct Box {
  int Left, Top, Width, Height = kTextBoxHeight;
  QRect Rect() const { return {Left, Top, Width, Height}; }
};

// A caption: its source text (Chinese; shown in the installed language) and
// its text box.
struct Caption {
  const char* Text;
  Box Where;
};

constexpr const char* kContext = "ReportPage";
QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

// Text box of a row whose text top is the usual 8 pixels below the row's top.
constexpr Box InRow(int rowTop, int left, int width) {
  return {left, rowTop + kTextBoxInset, width, kTextBoxHeight};
}

// The location group cell QRShape53, whose height depends on the readout layout.
constexpr int kShape53Left = 72, kShape53Top = 504, kShape53Width = 33;

// Cells before and after QRShape53, in paint order. The sizing group cell
// (72, 624) is the last of the first list, so QRShape53 covers its top where
// the two overlap in the two-gate layout.
constexpr Cell kCellsBeforeShape53[] = {
    {39, 48, 715, 1034},  // outer frame around everything
    {40, 49, 713, 55},    // title
    {40, 104, 137}, {176, 104, 329}, {504, 104, 113}, {616, 104, 137},
    {40, 144, 137}, {176, 144, 329}, {504, 144, 113}, {616, 144, 137},
    {40, 184, 33, 121}, {72, 184, 105}, {176, 184, 577},
    {72, 224, 105}, {176, 224, 233}, {408, 224, 137}, {544, 224, 209},
    {72, 264, 105}, {176, 264, 233}, {408, 264, 137}, {544, 264, 209},
    {40, 304, 33, 201}, {72, 304, 105}, {176, 304, 233}, {408, 304, 33, 241}, {440, 304, 105},
    {544, 304, 209},
    {72, 344, 105}, {176, 344, 233}, {440, 344, 105}, {544, 344, 209},
    {72, 384, 105}, {176, 384, 81}, {256, 384, 65}, {320, 384, 89}, {440, 384, 105},
    {544, 384, 209},
    {72, 424, 105}, {176, 424, 81}, {256, 424, 65}, {320, 424, 89}, {440, 424, 105},
    {544, 424, 209},
    {72, 464, 105}, {176, 464, 81}, {256, 464, 65}, {320, 464, 89}, {440, 464, 105},
    {544, 464, 209},
    {40, 504, 33, 281}, {104, 504, 73}, {176, 504, 233}, {440, 504, 105}, {544, 504, 209},
    {104, 544, 73}, {176, 544, 233}, {408, 544, 33, 241}, {440, 544, 105}, {544, 544, 209},
    {104, 584, 73}, {176, 584, 233}, {440, 584, 105}, {544, 584, 209},
    {72, 624, 33, 161},  // sizing group cell
};
constexpr Cell kCellsAfterShape53[] = {
    {104, 624, 73}, {176, 624, 233}, {440, 624, 105}, {544, 624, 209},
    {104, 664, 73}, {176, 664, 233}, {440, 664, 105}, {544, 664, 209},
    {104, 704, 73}, {176, 704, 233}, {440, 704, 105, 81}, {544, 704, 209, 81},
    {104, 744, 73}, {176, 744, 233},
    {40, 785, 713, 296},  // picture cell
};

constexpr Box kTitleBox{88, 64, 601, 33};
constexpr const char* kTitle = QT_TRANSLATE_NOOP("ReportPage", "数字式超声波探伤仪探伤报告");

constexpr Caption kCaptions[] = {
    {QT_TRANSLATE_NOOP("ReportPage", "检测单位"), InRow(104, 48, 105)},   {QT_TRANSLATE_NOOP("ReportPage", "报告编号"), InRow(104, 505, 105)},
    {QT_TRANSLATE_NOOP("ReportPage", "委托单位"), InRow(144, 48, 105)},   {QT_TRANSLATE_NOOP("ReportPage", "检测日期"), InRow(144, 505, 105)},
    {QT_TRANSLATE_NOOP("ReportPage", "名称"), InRow(184, 80, 65)},
    {QT_TRANSLATE_NOOP("ReportPage", "编号"), InRow(224, 80, 65)},        {QT_TRANSLATE_NOOP("ReportPage", "表面热处理"), InRow(224, 416, 121)},
    {QT_TRANSLATE_NOOP("ReportPage", "材质"), InRow(264, 80, 65)},        {QT_TRANSLATE_NOOP("ReportPage", "表面粗糙度"), InRow(264, 416, 121)},
    {QT_TRANSLATE_NOOP("ReportPage", "型号"), InRow(304, 80, 89)},        {QT_TRANSLATE_NOOP("ReportPage", "型号"), InRow(304, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "探头类型"), InRow(344, 80, 89)},    {QT_TRANSLATE_NOOP("ReportPage", "灵敏度"), InRow(344, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "晶片尺寸"), InRow(384, 80, 89)},    {QT_TRANSLATE_NOOP("ReportPage", "前沿"), InRow(384, 259, 57)},
    {QT_TRANSLATE_NOOP("ReportPage", "回波抑制"), InRow(384, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "探头K值"), InRow(424, 80, 89)},     {QT_TRANSLATE_NOOP("ReportPage", "频率"), InRow(424, 259, 57)},
    {QT_TRANSLATE_NOOP("ReportPage", "回波延时"), InRow(424, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "折射角"), InRow(464, 80, 81)},      {QT_TRANSLATE_NOOP("ReportPage", "零点"), InRow(464, 259, 57)},
    {QT_TRANSLATE_NOOP("ReportPage", "声程范围"), InRow(464, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "声速"), InRow(504, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "探伤结果"), InRow(544, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "探伤标准"), InRow(584, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "探伤人员"), InRow(624, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "长度"), InRow(664, 115, 57)},       {QT_TRANSLATE_NOOP("ReportPage", "负责人员"), InRow(664, 448, 89)},
    {QT_TRANSLATE_NOOP("ReportPage", "高度"), InRow(704, 115, 57)},       {QT_TRANSLATE_NOOP("ReportPage", "备注"), {448, 736, 89}},
    {QT_TRANSLATE_NOOP("ReportPage", "等级"), InRow(744, 115, 57)},
};

// The location and sizing captions 1 to 4 (texts from the readout layout).
constexpr Box kLayoutCaptionBoxes[] = {InRow(504, 115, 57), InRow(544, 115, 57),
                                       InRow(584, 115, 57), InRow(624, 115, 57)};

// The group cells name their group top to bottom, one character to a box 25
// wide and 33 high. A translated name that is not one character per box is
// set as one line turned a quarter left, centred in the visible part of
// the cell.
constexpr int kGroupCharWidth = 25, kGroupCharHeight = 33;
struct GroupName {
  const char* Text;
  int CharLeft;
  struct CharBox {
    int Top, Height = kGroupCharHeight;
  };
  CharBox Chars[4];
  int CharCount;
};
constexpr GroupName kWorkpiece{QT_TRANSLATE_NOOP("ReportPage", "工件"), 43, {{208}, {256, 41}}, 2};
constexpr GroupName kProbe{QT_TRANSLATE_NOOP("ReportPage", "探头"), 43, {{344}, {424}}, 2};
constexpr GroupName kFlawDetector{
    QT_TRANSLATE_NOOP("ReportPage", "探伤仪"), 411, {{328}, {392}, {456}}, 3};
constexpr GroupName kDefect{QT_TRANSLATE_NOOP("ReportPage", "缺陷"), 43, {{544}, {656}}, 2};
constexpr GroupName kLocation{QT_TRANSLATE_NOOP("ReportPage", "定位"), 75, {{528}, {584}}, 2};
constexpr GroupName kEvaluation{
    QT_TRANSLATE_NOOP("ReportPage", "探伤评定"), 411, {{576}, {616}, {672}, {712}}, 4};
constexpr GroupName kSizing{QT_TRANSLATE_NOOP("ReportPage", "定量"), 75, {{688}, {728}}, 2};
// The sizing group cell, partly covered by QRShape53 in the two-gate layout.
constexpr Cell kSizingCell{72, 624, 33, 161};

// Value fields: set smaller when too wide for their box, and clipped to it.
struct Field {
  QString ReportTexts::*Text;
  Box Where;
};
constexpr Field kFields[] = {
    {&ReportTexts::QRRichType, InRow(344, 184, 217)},
    {&ReportTexts::QRRichGain, InRow(344, 560, 185)},
    {&ReportTexts::QRRichCrystal, InRow(384, 179, 76)},
    {&ReportTexts::QRRichFront, InRow(384, 323, 83)},
    {&ReportTexts::QRRichReject, InRow(384, 560, 185)},
    {&ReportTexts::QRRichKValue, InRow(424, 179, 76)},
    {&ReportTexts::QRRichFrequency, InRow(424, 323, 83)},
    {&ReportTexts::QRRichDelay, InRow(424, 560, 185)},
    {&ReportTexts::QRRichRefraction, InRow(464, 179, 76)},
    {&ReportTexts::QRRichZero, InRow(464, 323, 83)},
    {&ReportTexts::QRRichRange, InRow(464, 560, 185)},
    {&ReportTexts::QRRichDistance, InRow(504, 184, 217)},
    {&ReportTexts::QRRichSpeed, InRow(504, 560, 185)},
    {&ReportTexts::QRRichYValue, InRow(584, 184, 217)},
};
// The two value labels that grow to the width of their text.
constexpr Field kGrowingFields[] = {
    {&ReportTexts::QRLabelXValue, {184, 552, 131, 20}},
    {&ReportTexts::QRLabelEquivalent, InRow(624, 184, 171)},
};

// A white rectangle with a one-pixel black outline inside its bounds, drawn
// as filled strips so screen, printer and PDF put the line on the same pixels.
void PaintCell(QPainter& painter, const Cell& cell) {
  const QRect r(cell.Left, cell.Top, cell.Width, cell.Height);
  painter.fillRect(r, Qt::white);
  painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), Qt::black);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), Qt::black);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), Qt::black);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), Qt::black);
}

// Value texts share the baseline of a 19 px text at the top of their box,
// whatever size they are set in.
void PaintValue(QPainter& painter, const QString& text, const QRect& box, bool clip) {
  const QFont font = clip ? ValueFieldFont(text, box.width()) : PageFont(kCaptionPixels, false);
  const qreal baseline = box.top() + QFontMetricsF(PageFont(kCaptionPixels, false)).ascent();
  painter.save();
  if (clip) painter.setClipRect(box);
  painter.setFont(font);
  painter.drawText(QPointF(box.left(), baseline), text);
  painter.restore();
}

constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
constexpr int kFittedFlags = Qt::AlignCenter | Qt::TextWordWrap;
constexpr int kSmallestCaptionPixels = 9;

// The inside of the smallest cell that holds box's centre: the cell less
// its outline and a pixel of air on each side.
QRect CellInside(const QRect& box) {
  QRect inside = box;
  int area = std::numeric_limits<int>::max();
  for (const std::span<const Cell> cells :
       {std::span<const Cell>(kCellsBeforeShape53), std::span<const Cell>(kCellsAfterShape53)}) {
    for (const Cell& c : cells) {
      const QRect r(c.Left, c.Top, c.Width, c.Height);
      if (r.contains(box.center()) && c.Width * c.Height < area) {
        area = c.Width * c.Height;
        inside = r.adjusted(2, 2, -2, -2);
      }
    }
  }
  return inside;
}

// A caption centred in its box at the page's caption size when it fits
// there on one line (every Chinese caption does). A longer one (a
// translation) is set in the largest font, down to 9 pixels, that keeps it
// inside its cell: wrapped across the cell's inside and centred both ways.
PlacedCaption LayOutCaption(const QString& text, const QRect& box) {
  const QRect inside = CellInside(box);
  QFont font = PageFont(kCaptionPixels, false);
  if (QFontMetricsF(font).horizontalAdvance(text) <= box.width()) {
    return {text, box, inside, font, kTextFlags, false};
  }
  for (int pixels = kCaptionPixels; pixels > kSmallestCaptionPixels; --pixels) {
    font.setPixelSize(pixels);
    const QRect r = QFontMetrics(font).boundingRect(inside, kFittedFlags, text);
    if (inside.contains(r)) break;
  }
  return {text, inside, inside, font, kFittedFlags, false};
}

// The name of a group in its group cell (the part of the cell not covered
// by another). A translated name that is not one character per box is set
// as one line turned a quarter left, centred in the cell.
void LayOutGroupName(const GroupName& group, const QRect& cell, std::vector<PlacedCaption>& out) {
  const QString name = Tr(group.Text);
  const QRect inside = cell.adjusted(2, 2, -2, -2);
  QFont font = PageFont(kCaptionPixels, false);
  if (name.size() == group.CharCount) {
    for (int i = 0; i < group.CharCount; ++i) {
      const QRect box(group.CharLeft, group.Chars[i].Top, kGroupCharWidth, group.Chars[i].Height);
      out.push_back({name.mid(i, 1), box, inside, font, kTextFlags, false});
    }
    return;
  }
  for (int pixels = kCaptionPixels; pixels > kSmallestCaptionPixels; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(name) <= inside.height() && metrics.height() <= inside.width()) {
      break;
    }
  }
  out.push_back({name, inside, inside, font, Qt::AlignCenter, true});
}

void PaintCaption(QPainter& painter, const PlacedCaption& caption) {
  painter.setFont(caption.Font);
  if (!caption.Turned) {
    // A bold the face lacks must reach a PDF once (the title).
    if (caption.Font.bold()) {
      DrawPageText(painter, caption.Box, caption.Flags, caption.Text);
    } else {
      painter.drawText(caption.Box, caption.Flags, caption.Text);
    }
    return;
  }
  painter.save();
  const QRect& box = caption.Box;
  painter.translate(box.left(), box.bottom() + 1);
  painter.rotate(-90);
  painter.drawText(QRect(0, 0, box.height(), box.width()), caption.Flags, caption.Text);
  painter.restore();
}

}  // namespace

QFont PageFont(int pixels, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                    QStringLiteral("WenQuanYi Micro Hei")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}


QFont ValueFieldFont(const QString& text, int boxWidth) {
  QFont font = PageFont(kCaptionPixels, false);
  for (int pixels = kCaptionPixels - 1;
       pixels >= kSmallestValuePixels && QFontMetricsF(font).horizontalAdvance(text) > boxWidth;
       --pixels) {
    font.setPixelSize(pixels);
  }
  return font;
}

ReportPictures DrawReportPictures(session::ViewerSession& session) {
  qtdraw::QtCanvas amplitudeScale(kQRImageLeft.width(), kQRImageLeft.height());
  qtdraw::QtCanvas wave(kQRImageWave.width(), kQRImageWave.height());
  qtdraw::QtCanvas rangeScale(kQRImageBottom.width(), kQRImageBottom.height());
  session.DrawReportImages(amplitudeScale, wave, rangeScale);
  return {amplitudeScale.TakeImage(), wave.TakeImage(), rangeScale.TakeImage()};
}

std::vector<PlacedCaption> LayOutCaptions(const ReportTexts& texts) {
  std::vector<PlacedCaption> out;
  out.push_back({Tr(kTitle), kTitleBox.Rect(), CellInside(kTitleBox.Rect()),
                 PageFont(kTitlePixels, true), kTextFlags, false});
  for (const Caption& caption : kCaptions) {
    out.push_back(LayOutCaption(Tr(caption.Text), caption.Where.Rect()));
  }
  const int shape53Bottom = kShape53Top + texts.QRShape53Height - 1;
  const QRect sizingVisible(kSizingCell.Left, shape53Bottom, kSizingCell.Width,
                            kSizingCell.Top + kSizingCell.Height - shape53Bottom);
  const std::pair<const GroupName*, QRect> groups[] = {
      {&kWorkpiece, {40, 184, 33, 121}},
      {&kProbe, {40, 304, 33, 201}},
      {&kFlawDetector, {408, 304, 33, 241}},
      {&kDefect, {40, 504, 33, 281}},
      {&kLocation, {kShape53Left, kShape53Top, kShape53Width, texts.QRShape53Height}},
      {&kEvaluation, {408, 544, 33, 241}},
      {&kSizing, sizingVisible},
  };
  for (const auto& [group, cell] : groups) LayOutGroupName(*group, cell, out);
  const QString* layoutCaptions[] = {&texts.Caption1, &texts.Caption2, &texts.Caption3,
                                     &texts.Caption4};
  for (int i = 0; i < 4; ++i) {
    out.push_back(LayOutCaption(*layoutCaptions[i], kLayoutCaptionBoxes[i].Rect()));
  }
  return out;
}

void PaintReportPage(QPainter& painter, const ReportTexts& texts, const ReportPictures& pictures) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::LosslessImageRendering, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);

  for (const Cell& cell : kCellsBeforeShape53) PaintCell(painter, cell);
  PaintCell(painter, {kShape53Left, kShape53Top, kShape53Width, texts.QRShape53Height});
  for (const Cell& cell : kCellsAfterShape53) PaintCell(painter, cell);

  painter.setPen(Qt::black);
  for (const PlacedCaption& caption : LayOutCaptions(texts)) PaintCaption(painter, caption);

  for (const Field& field : kFields) {
    const QString& text = texts.*field.Text;
    if (!text.isEmpty()) PaintValue(painter, text, field.Where.Rect(), true);
  }
  for (const Field& field : kGrowingFields) {
    const QString& text = texts.*field.Text;
    if (!text.isEmpty()) PaintValue(painter, text, field.Where.Rect(), false);
  }

  if (!pictures.AmplitudeScale.isNull()) painter.drawImage(kQRImageLeft, pictures.AmplitudeScale);
  if (!pictures.Wave.isNull()) painter.drawImage(kQRImageWave, pictures.Wave);
  if (!pictures.RangeScale.isNull()) painter.drawImage(kQRImageBottom, pictures.RangeScale);
  painter.restore();
}

bool PaintReportPageOn(QPagedPaintDevice& device, int deviceResolution, const ReportTexts& texts,
                       const ReportPictures& pictures) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const qreal scale = static_cast<qreal>(deviceResolution) / kPagePixelsPerInch;
  painter.scale(scale, scale);
  PaintReportPage(painter, texts, pictures);
  return painter.end();
}

ReportPageWidget::ReportPageWidget(QWidget* parent) : QWidget(parent) {
  setFixedSize(kPageWidth, kPageHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportPageWidget::SetTexts(ReportTexts texts) {
  texts_ = std::move(texts);
  update();
}

void ReportPageWidget::SetPictures(ReportPictures pictures) {
  pictures_ = std::move(pictures);
  update();
}

void ReportPageWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) update();
}

void ReportPageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.fillRect(rect(), Qt::white);
  PaintReportPage(painter, texts_, pictures_);
}

}  // namespace sonalyt::report
