#include "report/pdf_document.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "report_fixture.h"

namespace sonalyt::report {
namespace {

// A document fragment as Qt writes a font's ToUnicode map: the font refers
// to object 6, a plain-text stream holding the map's entries between Qt's
// header and trailer.
QByteArray FontWithMap(const QByteArray& entries, const QByteArray& streamDict = "<< /Length 0 >>",
                       const QByteArray& reference = "/ToUnicode 6 0 R") {
  return "5 0 obj\n<< /Type /Font /Subtype /Type0 /Encoding /Identity-H " + reference +
         ">>\nendobj\n6 0 obj\n" + streamDict +
         "\nstream\n"
         "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
         "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
         "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
         "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
         entries +
         "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n"
         "\nendstream\nendobj\n";
}

TEST(PdfDocumentTest, CorrectBlankMappingSetsTabTargetsToBlanks) {
  const struct {
    const char* Name;
    QByteArray Document, Expected;
  } cases[] = {
      {"TargetInRangeArray",
       FontWithMap("2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<004B> <0009> <0025> ]\n"
                   "endbfrange\n"),
       FontWithMap("2 beginbfrange\n<0000> <0000> <0000>\n<0001> <0003> [<004B> <0020> <0025> ]\n"
                   "endbfrange\n")},
      {"TargetOfSingleCodeRange",
       FontWithMap("1 beginbfrange\n<0004> <0004> <0009>\nendbfrange\n"),
       FontWithMap("1 beginbfrange\n<0004> <0004> <0020>\nendbfrange\n")},
      {"TargetOfCharPair", FontWithMap("1 beginbfchar\n<0004> <0009>\nendbfchar\n"),
       FontWithMap("1 beginbfchar\n<0004> <0020>\nendbfchar\n")},
      {"LowerCaseHex", FontWithMap("1 beginbfchar\n<000a> <0009>\nendbfchar\n"),
       FontWithMap("1 beginbfchar\n<000a> <0020>\nendbfchar\n")},
      // Glyph 9 of the subset is a glyph like any other.
      {"TabAsGlyphCode",
       FontWithMap("1 beginbfrange\n<0009> <0009> <0041>\nendbfrange\n"
                   "1 beginbfchar\n<0009> <0041>\nendbfchar\n"),
       FontWithMap("1 beginbfrange\n<0009> <0009> <0041>\nendbfrange\n"
                   "1 beginbfchar\n<0009> <0041>\nendbfchar\n")},
      // Glyphs 1 to 3 stand for U+0009 to U+000B: no single blank to correct.
      {"RangeOfCharactersFromTab",
       FontWithMap("1 beginbfrange\n<0001> <0003> <0009>\nendbfrange\n"),
       FontWithMap("1 beginbfrange\n<0001> <0003> <0009>\nendbfrange\n")},
      {"StreamThatIsNoToUnicodeMap",
       FontWithMap("1 beginbfchar\n<0004> <0009>\nendbfchar\n", "<< /Length 0 >>", "/Other 6 0 R"),
       FontWithMap("1 beginbfchar\n<0004> <0009>\nendbfchar\n", "<< /Length 0 >>", "/Other 6 0 R")},
      {"CompressedMap",
       FontWithMap("1 beginbfchar\n<0004> <0009>\nendbfchar\n", "<< /Length 0 /Filter /FlateDecode >>"),
       FontWithMap("1 beginbfchar\n<0004> <0009>\nendbfchar\n",
                   "<< /Length 0 /Filter /FlateDecode >>")},
      {"UnterminatedCode", FontWithMap("1 beginbfrange\n<0001> <0003> [<004B> <0009"),
       FontWithMap("1 beginbfrange\n<0001> <0003> [<004B> <0009")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(CorrectBlankMapping(c.Document).toStdString(), c.Expected.toStdString());
  }
}

int PageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QRegularExpressionMatch count =
      QRegularExpression(QStringLiteral(R"(/Count\s+(\d+))")).match(QString::fromLatin1(file.readAll()));
  return count.hasMatch() ? count.captured(1).toInt() : -1;
}

TEST(PdfDocumentTest, WritesEveryPageThePainterStarts) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("pages.pdf"));
  QString error;
  ASSERT_TRUE(WritePdfDocument(
      path, QStringLiteral("pages"),
      [](QPdfWriter& writer, QPainter& painter) {
        for (int page = 0; page < 3; ++page) {
          if (page > 0 && !writer.newPage()) return false;
          painter.drawText(QPointF(40, 40), QStringLiteral("page %1").arg(page + 1));
        }
        return true;
      },
      &error))
      << error.toStdString();
  EXPECT_EQ(PageCount(path), 3);
}

TEST(PdfDocumentTest, AbandonedDocumentLeavesTheFileAsItWas) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("report.pdf"));
  QFile existing(path);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("earlier report");
  existing.close();

  QString error = QStringLiteral("cancelled");
  EXPECT_FALSE(WritePdfDocument(
      path, QStringLiteral("report"),
      [](QPdfWriter&, QPainter& painter) {
        painter.drawText(QPointF(40, 40), QStringLiteral("half a document"));
        return false;
      },
      &error));
  EXPECT_EQ(error, QStringLiteral("cancelled"));
  ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
  EXPECT_EQ(existing.readAll(), QByteArray("earlier report"));
}

}  // namespace
}  // namespace sonalyt::report
