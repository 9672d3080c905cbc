// The report of every indication: summary pages (file, records, approximate
// duration, the threshold used and the table of indications), then for each
// indication the A4 report page of its peak frame, exactly as the report
// window shows it for that frame on screen. One document for the viewer's
// export and the command-line tool.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QPainter>
#include <QString>

#include "analysis/indications.h"
#include "report/report_page.h"
#include "report/report_texts.h"
#include "session/viewer_session.h"

namespace sonalyt::report {

struct IndicationReportInput {
  QString RecordingPath;
  analysis::IndicationList List;  // note texts in UTF-8
  std::int32_t IndexedRecords = 0;  // records the file holds intact
};

// Called after each page with (pages done, pages in all); false cancels
// the document (nothing is written).
using ReportProgress = std::function<bool(int done, int total)>;

// The report page of a frame as the report window fills it.
struct ReportPageContent {
  ReportTexts Texts;
  ReportPictures Pictures;
};

// The pages of the indications' peak frames, from a session of their own
// on the indication's recording (never the window's). Each page is filled
// from what the main window shows after a jump to the peak frame from the
// freshly opened recording, whatever pages came before: a record that no
// block governs shows the all-zero settings the analysis judged it with, not
// those of an earlier page.
class PeakFramePages {
 public:
  // False with a reason when the recording cannot be opened.
  bool Open(const QString& recordingPath, QString* error);
  ReportPageContent Page(const analysis::Indication& indication);

 private:
  bool OpenSession(QString* error);

  QString path_;
  std::unique_ptr<session::ViewerSession> session_;
  bool blockApplied_ = false;  // a jump of this session applied a block
};

// Table rows on the first summary page and on each further one.
inline constexpr int kSummaryRowsFirstPage = 40;
inline constexpr int kSummaryRowsPerPage = 48;

// Summary pages needed for count indications (at least one).
int SummaryPageCount(std::size_t count);

// Paints summary page `page` (0-based) in page pixels; the paper is white.
void PaintSummaryPage(QPainter& painter, const IndicationReportInput& input, int page);

class IndicationReport {
  Q_DECLARE_TR_FUNCTIONS(IndicationReport)

 public:
  // Writes the whole document as PDF. Needs a QGuiApplication. False with a
  // reason when the recording cannot be opened, the file cannot be written
  // or progress cancelled (the reason is then empty and no file is left).
  static bool Write(const IndicationReportInput& input, const QString& path,
                    const ReportProgress& progress, QString* error);
};

inline bool WriteIndicationReport(const IndicationReportInput& input, const QString& path,
                                  const ReportProgress& progress, QString* error) {
  return IndicationReport::Write(input, path, progress, error);
}

}  // namespace sonalyt::report
