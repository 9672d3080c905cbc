#include "report/report_export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "report_fixture.h"

namespace sonalyt::report {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int Occurrences(const QByteArray& data, const QByteArray& what) {
  return static_cast<int>(data.count(what));
}

TEST(ReportExportTest, PdfIsOneA4PageWithVectorTextAndThreePictures) {
  auto loaded = testing::OpenTwoFrameRecording();
  const QString path = loaded->Dir.filePath(QStringLiteral("report.pdf"));
  QString error;
  ASSERT_TRUE(WriteReportFile(loaded->Session, SourceTextsFromSession(loaded->Session), path,
                              &error))
      << error.toStdString();

  const QByteArray pdf = ReadAll(path);
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  const QString text = QString::fromLatin1(pdf);
  const QRegularExpressionMatch count = QRegularExpression(QStringLiteral(R"(/Count\s+(\d+))"))
                                            .match(text);
  ASSERT_TRUE(count.hasMatch());
  EXPECT_EQ(count.captured(1).toInt(), 1);

  const QRegularExpression mediaBoxPattern(
      QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
  auto boxes = mediaBoxPattern.globalMatch(text);
  int pages = 0;
  while (boxes.hasNext()) {
    const auto box = boxes.next();
    ++pages;
    EXPECT_NEAR(box.captured(1).toDouble(), 595.28, 1.0);  // 210 mm in points
    EXPECT_NEAR(box.captured(2).toDouble(), 841.89, 1.0);  // 297 mm in points
  }
  EXPECT_EQ(pages, 1);

  EXPECT_GT(Occurrences(pdf, "/Type /Font"), 0) << "texts are not drawn as text";
  EXPECT_EQ(Occurrences(pdf, "/Subtype /Image"), 3) << "only the three pictures are images";
}

TEST(ReportExportTest, PngIsThePageAt96DotsPerInch) {
  auto loaded = testing::OpenTwoFrameRecording();
  const QString path = loaded->Dir.filePath(QStringLiteral("report.PNG"));
  QString error;
  ASSERT_TRUE(WriteReportFile(loaded->Session, SourceTextsFromSession(loaded->Session), path,
                              &error))
      << error.toStdString();
  const QImage png(path, "png");
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.size(), QSize(kPageWidth, kPageHeight));
  EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 96.0, 0.1);
  EXPECT_NEAR(png.dotsPerMeterY() * 0.0254, 96.0, 0.1);
  // The outer frame's corner and the wave picture's border are on the page.
  EXPECT_EQ(png.pixel(39, 48), qRgb(0, 0, 0));
  EXPECT_EQ(png.pixel(kQRImageWave.topLeft()), qRgb(0, 0, 0));
}

TEST(ReportExportTest, FailuresLeaveNoFileAndGiveAReason) {
  auto loaded = testing::OpenTwoFrameRecording();
  const ReportSourceTexts texts = SourceTextsFromSession(loaded->Session);
  const struct {
    const char* Name;
    QString Path;
  } cases[] = {
      {"UnknownExtension", loaded->Dir.filePath(QStringLiteral("report.txt"))},
      {"NoExtension", loaded->Dir.filePath(QStringLiteral("report"))},
      {"MissingFolderPdf", loaded->Dir.filePath(QStringLiteral("missing/report.pdf"))},
      {"MissingFolderPng", loaded->Dir.filePath(QStringLiteral("missing/report.png"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    QString error;
    EXPECT_FALSE(WriteReportFile(loaded->Session, texts, c.Path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(c.Path));
  }
}

TEST(ReportExportTest, SourceTextsAreTheSessionsTextsInUnicode) {
  auto loaded = testing::OpenTwoFrameRecording();
  const ReportSourceTexts texts = SourceTextsFromSession(loaded->Session);
  EXPECT_EQ(texts.ProbeType, QStringLiteral("斜探头"));
  EXPECT_EQ(texts.LabelPara1, QStringLiteral("↘123.4"));
  EXPECT_EQ(texts.EchoRange, QString::fromStdString(loaded->Session.Settings().EchoRange));
  EXPECT_EQ(texts.lblReject, QStringLiteral("10"));
}

}  // namespace
}  // namespace sonalyt::report
