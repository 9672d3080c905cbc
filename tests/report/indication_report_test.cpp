// The report of every indication: its pages and progress, a cancel that
// leaves no file, and each indication's page filled as the report window
// fills it after a jump to the peak frame.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "analysis/indications.h"
#include "analysis/recording_analysis.h"
#include "qtdraw/qt_canvas.h"
#include "recording/recording_file.h"
#include "report/indication_report.h"
#include "report/report_export.h"
#include "report_fixture.h"
#include "tools/record_encoder.h"
#include "tools/recording_writer.h"

namespace sonalyt::report {
namespace {

const QString kDemo = QStringLiteral(SONALYT_DEMO_RECORDING);

// The demo's indications at 20 % without merging: two of them.
IndicationReportInput DemoInput() {
  recording::RecordingFile file;
  EXPECT_TRUE(file.OpenRecording(kDemo.toStdString()));
  std::string error;
  const auto results = analysis::AnalyzeRecording(kDemo.toStdString(), analysis::LayoutOf(file),
                                                  2, &error);
  EXPECT_TRUE(results) << error;
  analysis::GoverningBlocks blocks(file.RecordIndex());
  EXPECT_TRUE(blocks.Open(kDemo.toStdString()));
  IndicationReportInput input;
  input.RecordingPath = kDemo;
  input.List = analysis::FindIndications(*results, {0, 20.0}, blocks.Lookup(), {});
  input.IndexedRecords = results->IndexedRecords();
  EXPECT_EQ(input.List.Indications.size(), 2u);
  return input;
}

int PageCount(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString pdf = QString::fromLatin1(file.readAll());
  return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral(R"(/Type\s*/Page\b)"))));
}

TEST(IndicationReport, OnePageForTheSummaryAndOneForEachIndication) {
  const IndicationReportInput input = DemoInput();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("all.pdf"));
  std::vector<std::pair<int, int>> calls;
  QString error;
  ASSERT_TRUE(WriteIndicationReport(
      input, path, [&calls](int done, int total) { calls.emplace_back(done, total); return true; },
      &error))
      << error.toStdString();
  EXPECT_EQ(PageCount(path), 3);
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));

  // Without indications: the summary alone.
  IndicationReportInput none = input;
  none.List.Indications.clear();
  const QString emptyPath = dir.filePath(QStringLiteral("none.pdf"));
  ASSERT_TRUE(WriteIndicationReport(none, emptyPath, {}, &error));
  EXPECT_EQ(PageCount(emptyPath), 1);
}

TEST(IndicationReport, CancelLeavesNoFile) {
  const IndicationReportInput input = DemoInput();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("cancelled.pdf"));
  QString error = QStringLiteral("untouched");
  EXPECT_FALSE(WriteIndicationReport(
      input, path, [](int done, int) { return done < 2; }, &error));
  EXPECT_TRUE(error.isEmpty());
  EXPECT_FALSE(QFile::exists(path));

  // An output that cannot be written is an error with a reason.
  EXPECT_FALSE(WriteIndicationReport(input, dir.filePath(QStringLiteral("no/such/dir.pdf")), {},
                                     &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(IndicationReport, PeakPageIsTheReportWindowsPageAfterAJump) {
  const IndicationReportInput input = DemoInput();
  for (const analysis::Indication& indication : input.List.Indications) {
    SCOPED_TRACE(indication.PeakRecord);
    // Pages that have been elsewhere first.
    PeakFramePages pages;
    QString error;
    ASSERT_TRUE(pages.Open(kDemo, &error)) << error.toStdString();
    analysis::Indication elsewhere;
    elsewhere.PeakRecord = 100;
    elsewhere.PeakFrame = 3;
    pages.Page(elsewhere);
    const ReportPageContent page = pages.Page(indication);

    qtdraw::QtCanvas wave(306, 245);
    session::ViewerSession fresh;
    ASSERT_TRUE(fresh.OpenRecording(kDemo.toStdString()));
    fresh.JumpTo(indication.PeakRecord, indication.PeakFrame, wave);
    EXPECT_EQ(page.Texts, FillReportTexts(SourceTextsFromSession(fresh)));
    const ReportPictures pictures = DrawReportPictures(fresh);
    EXPECT_EQ(page.Pictures.Wave, pictures.Wave);
    EXPECT_EQ(page.Pictures.RangeScale, pictures.RangeScale);
    EXPECT_EQ(page.Texts.QRLabelEquivalent,
              QString::fromStdString(indication.Readouts.LabelPara4));
  }
}

// Record 3 is governed by record 2, whose parameter area is too short for a
// block: a jump there applies none, and the analysis judged it with the
// all-zero block. Its page must show that, not the settings of the page
// before it (record 0, which has a block).
TEST(IndicationReport, PageOfARecordNoBlockGovernsShowsNoEarlierSettings) {
  tools::RecordSpec withBlock;
  withBlock.Parameters = testing::AngleProbeBlock();
  tools::RecordSpec plain;
  for (int f = 0; f < 2; ++f) {
    tools::FrameData frame;
    frame.Samples.fill(static_cast<std::uint8_t>(60 + 40 * f));
    frame.Reading0 = 500 + f;
    withBlock.Frames.push_back(frame);
    plain.Frames.push_back(frame);
  }
  auto shortArea = tools::DecodedRecord(plain);
  shortArea.resize(shortArea.size() + 100, 0);
  const auto shortBody = tools::EncodeRecordBody(shortArea);
  tools::RecordingWriter writer;
  writer.AddRecord(withBlock);
  writer.AddRecord(plain);
  writer.AddRawRecord(static_cast<std::int32_t>(shortBody.size()), 100, shortBody);
  writer.AddRecord(plain);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("no_block.dat"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const auto bytes = writer.Bytes();
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  file.close();

  analysis::Indication first;
  first.PeakRecord = 0;
  first.PeakFrame = 1;
  analysis::Indication ungoverned;
  ungoverned.PeakRecord = 3;
  ungoverned.PeakFrame = 0;
  PeakFramePages pages;
  QString error;
  ASSERT_TRUE(pages.Open(path, &error)) << error.toStdString();
  const ReportPageContent firstPage = pages.Page(first);
  const ReportPageContent page = pages.Page(ungoverned);

  qtdraw::QtCanvas wave(306, 245);
  session::ViewerSession fresh;
  ASSERT_TRUE(fresh.OpenRecording(path.toStdString()));
  EXPECT_FALSE(fresh.JumpTo(3, 0, wave).SettingsRefreshed());
  EXPECT_EQ(page.Texts, FillReportTexts(SourceTextsFromSession(fresh)));
  EXPECT_EQ(page.Pictures.Wave, DrawReportPictures(fresh).Wave);
  EXPECT_EQ(page.Pictures.RangeScale, DrawReportPictures(fresh).RangeScale);
  // The earlier page's settings would have differed.
  EXPECT_NE(page.Texts, firstPage.Texts);
}

}  // namespace
}  // namespace sonalyt::report
