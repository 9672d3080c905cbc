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
    // A session that has been elsewhere first, as the window's may have.
    session::ViewerSession session;
    ASSERT_TRUE(session.OpenRecording(kDemo.toStdString()));
    qtdraw::QtCanvas wave(306, 245);
    session.JumpTo(100, 3, wave);
    const ReportPageContent page = PeakFramePage(session, indication);

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

}  // namespace
}  // namespace sonalyt::report
