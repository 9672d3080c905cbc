#include "report/report_page.h"

#include <gtest/gtest.h>

#include "report_fixture.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace sonalyt::report {
namespace {

QImage RenderPage(const ReportTexts& texts, const ReportPictures& pictures = {}) {
  QImage page(kPageWidth, kPageHeight, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  PaintReportPage(painter, texts, pictures);
  return page;
}

bool IsBlack(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }
bool IsWhite(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(255, 255, 255);
}

ReportTexts WithShape53Height(int height) {
  ReportTexts t;
  t.QRShape53Height = height;
  return t;
}

// QRShape53 (72, 504, 33 wide) is painted after the sizing group cell
// (72, 624, 33 x 161): in the two-gate layout it covers the sizing cell's top
// border at row 624 and draws its own bottom border at row 664.
TEST(ReportPageTest, LocationCellCoversSizingCellInTwoGateLayout) {
  const QImage oneGate = RenderPage(WithShape53Height(kShape53OneGateHeight));
  const QImage twoGate = RenderPage(WithShape53Height(kShape53TwoGateHeight));
  const int x = 88;  // inside the 72..104 column, between the group characters
  EXPECT_TRUE(IsBlack(oneGate, x, 624));
  EXPECT_TRUE(IsWhite(oneGate, x, 664));
  EXPECT_TRUE(IsWhite(twoGate, x, 624));
  EXPECT_TRUE(IsBlack(twoGate, x, 664));
  // The column's side borders run unbroken either way.
  for (const QImage* page : {&oneGate, &twoGate}) {
    for (int y = 504; y <= 784; ++y) {
      ASSERT_TRUE(IsBlack(*page, 72, y)) << y;
      ASSERT_TRUE(IsBlack(*page, 104, y)) << y;
    }
  }
}

TEST(ReportPageTest, CellsShareOnePixelBorders) {
  const QImage page = RenderPage({});
  struct Probe {
    int X, Y;
    bool Black;
  };
  const Probe probes[] = {
      {39, 48, true},    {753, 1081, true},  // outer frame corners (39, 48, 715 x 1034)
      {40, 49, true},    {752, 103, true},   // title cell (40, 49, 713 x 55)
      {41, 50, false},   {38, 48, false},
      {176, 120, true},  {177, 120, false}, {175, 120, false},  // shared border at x 176
      {300, 144, true},  {300, 143, false}, {300, 145, false},  // shared border at row 144
      {300, 784, true},  {300, 785, true},  {300, 786, false},  // last row, picture cell
      {752, 1080, true}, {751, 1079, false},                    // picture cell corner
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(IsBlack(page, p.X, p.Y), p.Black) << "(" << p.X << ", " << p.Y << ")";
    if (!p.Black) {
      EXPECT_TRUE(IsWhite(page, p.X, p.Y)) << "(" << p.X << ", " << p.Y << ")";
    }
  }
}

QImage Solid(const QRect& control, QRgb colour) {
  QImage image(control.size(), QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

TEST(ReportPageTest, PicturesFillExactlyTheirControls) {
  const struct {
    QRect Control;
    QRgb Colour;
  } controls[] = {{kQRImageLeft, qRgb(200, 0, 0)},
                  {kQRImageWave, qRgb(0, 200, 0)},
                  {kQRImageBottom, qRgb(0, 0, 200)}};
  const ReportPictures pictures{Solid(kQRImageLeft, controls[0].Colour),
                                Solid(kQRImageWave, controls[1].Colour),
                                Solid(kQRImageBottom, controls[2].Colour)};
  const QImage page = RenderPage({}, pictures);
  for (const auto& c : controls) {
    const QRect r = c.Control;
    SCOPED_TRACE(::testing::Message() << r.x() << "," << r.y());
    EXPECT_EQ(page.pixel(r.topLeft()), c.Colour);
    EXPECT_EQ(page.pixel(r.center()), c.Colour);
  }
  EXPECT_EQ(page.pixel(56, 1072), controls[0].Colour);   // the scale's bottom-left corner
  EXPECT_EQ(page.pixel(368, 1072), controls[2].Colour);  // the range scale's bottom-right corner
  // The wave picture starts where the amplitude scale ends, and the range
  // scale directly below the wave picture's last row.
  EXPECT_EQ(page.pixel(80, 792), controls[1].Colour);
  EXPECT_EQ(page.pixel(80, 1048), controls[2].Colour);
  EXPECT_EQ(page.pixel(80, 1047), controls[1].Colour);
  EXPECT_TRUE(IsWhite(page, 370, 900));
  EXPECT_TRUE(IsWhite(page, 55, 900));
}

// The number of non-white pixels in a rectangle of the page.
int InkIn(const QImage& page, const QRect& area) {
  int ink = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) ink += IsWhite(page, x, y) ? 0 : 1;
  }
  return ink;
}

bool DiffersIn(const QImage& a, const QImage& b, const QRect& area) {
  return a.copy(area) != b.copy(area);
}

TEST(ReportPageTest, ValueFieldsStayInTheirBoxExceptTheGrowingLabels) {
  const QString longText(60, u'8');
  const QImage blank = RenderPage({});
  const struct {
    const char* Name;
    QString ReportTexts::*Field;
    QRect Beyond;  // right of the field's box
    bool Spills;
  } cases[] = {
      {"QRRichCrystal", &ReportTexts::QRRichCrystal, {256, 384, 65, 41}, false},
      {"QRRichType", &ReportTexts::QRRichType, {401, 344, 140, 41}, false},
      {"QRRichRange", &ReportTexts::QRRichRange, {745, 464, 20, 41}, false},
      {"QRLabelXValue", &ReportTexts::QRLabelXValue, {315, 544, 90, 41}, true},
      {"QRLabelEquivalent", &ReportTexts::QRLabelEquivalent, {355, 624, 50, 41}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ReportTexts texts;
    texts.*c.Field = longText;
    EXPECT_EQ(DiffersIn(RenderPage(texts), blank, c.Beyond), c.Spills);
  }
}

TEST(ReportPageTest, ValueFieldFontShrinksOnlyToFitItsBox) {
  const struct {
    const char* Name;
    const char16_t* Text;
    int BoxWidth;
    int MinPixels, MaxPixels;
  } cases[] = {
      {"FitsAtFullSize", u"1.7", 76, 19, 19},
      {"EmptyText", u"", 76, 19, 19},
      {"CrystalWithUnit", u"13x13mm", 76, 13, 18},
      {"NeverBelowTwelve", u"888888888888888888888888888888", 76, 12, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString text = QString::fromUtf16(c.Text);
    const QFont font = ValueFieldFont(text, c.BoxWidth);
    EXPECT_GE(font.pixelSize(), c.MinPixels);
    EXPECT_LE(font.pixelSize(), c.MaxPixels);
    if (font.pixelSize() > 12) {
      EXPECT_LE(QFontMetricsF(font).horizontalAdvance(text), c.BoxWidth);
    }
  }
}

TEST(ReportPageTest, EmptyFieldsPrintNothingAndFilledOnesDo) {
  ReportTexts filled;
  filled.QRRichSpeed = QStringLiteral("3240.00m/s");
  const QRect speedBox(560, 512, 185, 25);
  EXPECT_EQ(InkIn(RenderPage({}), speedBox), 0);
  EXPECT_GT(InkIn(RenderPage(filled), speedBox), 0);
}

}  // namespace
}  // namespace sonalyt::report
