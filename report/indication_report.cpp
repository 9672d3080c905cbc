#include "report/indication_report.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPdfWriter>

#include "analysis/indication_csv.h"
#include "qtdraw/qt_canvas.h"
#include "report/indication_table.h"
#include "report/page_text.h"
#include "report/pdf_document.h"
#include "report/report_export.h"

namespace sonalyt::report {
namespace {

// The main window's picture, which a jump draws the frame onto.
constexpr int kWaveWidth = 306, kWaveHeight = 245;

// Summary page layout in page pixels, inside the report page's frame.
constexpr int kLeft = 40;
constexpr int kWidth = 713;
constexpr QRect kTitleBox{kLeft, 49, kWidth, 40};
constexpr int kInfoTop = 100;
constexpr int kInfoLineHeight = 22;
constexpr int kFirstTableTop = 230;
constexpr int kNextTableTop = 60;
constexpr int kHeaderHeight = 22;
constexpr int kRowHeight = 20;
constexpr int kCellPadding = 3;
constexpr int kTitlePixels = 21;
constexpr int kInfoPixels = 14;
constexpr int kTablePixels = 12;
// Column widths, together the page frame's width.
constexpr int kColumnWidths[IndicationTable::kColumnCount] = {36, 150, 110, 56, 60, 68, 68, 68, 97};

void SetError(QString* error, const QString& text) {
  if (error != nullptr) *error = text;
}

// The rows of the table that summary page `page` shows: [first, end).
void RowsOfPage(int page, std::size_t count, std::size_t& first, std::size_t& end) {
  first = page == 0 ? 0
                    : static_cast<std::size_t>(kSummaryRowsFirstPage) +
                          static_cast<std::size_t>(page - 1) * kSummaryRowsPerPage;
  const std::size_t rows =
      static_cast<std::size_t>(page == 0 ? kSummaryRowsFirstPage : kSummaryRowsPerPage);
  first = std::min(first, count);
  end = std::min(first + rows, count);
}

void PaintTableRow(QPainter& painter, int top, int height, const QStringList& texts) {
  const QFontMetrics metrics(painter.font());
  int x = kLeft;
  for (int column = 0; column < IndicationTable::kColumnCount; ++column) {
    const int width = kColumnWidths[column];
    const QRect cell(x, top, width + 1, height + 1);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    const QRect textBox = cell.adjusted(kCellPadding, 0, -kCellPadding, 0);
    const QString text = metrics.elidedText(texts.value(column), Qt::ElideRight, textBox.width());
    DrawPageText(painter, textBox, Qt::AlignLeft | Qt::AlignVCenter, text);
    x += width;
  }
}

}  // namespace

bool PeakFramePages::Open(const QString& recordingPath, QString* error) {
  path_ = recordingPath;
  return OpenSession(error);
}

bool PeakFramePages::OpenSession(QString* error) {
  auto session = std::make_unique<session::ViewerSession>();
  std::string reason;
  if (!session->OpenRecording(QFile::encodeName(path_).toStdString(), &reason)) {
    SetError(error, QString::fromStdString(reason));
    return false;
  }
  session_ = std::move(session);
  blockApplied_ = false;
  return true;
}

ReportPageContent PeakFramePages::Page(const analysis::Indication& indication) {
  qtdraw::QtCanvas wave(kWaveWidth, kWaveHeight);
  bool applied = session_->JumpTo(indication.PeakRecord, indication.PeakFrame, wave)
                     .SettingsRefreshed();
  // The jump applied no block, so the settings of an earlier page would
  // stay on this one: the jump is made again from the recording opened
  // afresh. Should the file have gone meanwhile, the page keeps what the
  // jump showed.
  if (!applied && blockApplied_ && OpenSession(nullptr)) {
    applied = session_->JumpTo(indication.PeakRecord, indication.PeakFrame, wave)
                  .SettingsRefreshed();
  }
  blockApplied_ = blockApplied_ || applied;
  return {FillReportTexts(SourceTextsFromSession(*session_)), DrawReportPictures(*session_)};
}

int SummaryPageCount(std::size_t count) {
  if (count <= static_cast<std::size_t>(kSummaryRowsFirstPage)) return 1;
  const std::size_t rest = count - kSummaryRowsFirstPage;
  return 1 + static_cast<int>((rest + kSummaryRowsPerPage - 1) / kSummaryRowsPerPage);
}

void PaintSummaryPage(QPainter& painter, const IndicationReportInput& input, int page) {
  painter.save();
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  const analysis::IndicationList& list = input.List;
  int tableTop = kNextTableTop;
  if (page == 0) {
    painter.setFont(PageFont(kTitlePixels, true));
    DrawPageText(painter, kTitleBox, Qt::AlignHCenter | Qt::AlignVCenter,
                 IndicationReport::tr("探伤指示汇总"));
    painter.setFont(PageFont(kInfoPixels, false));
    QString records = IndicationReport::tr("%1 条").arg(list.RecordCount);
    if (input.IndexedRecords != list.RecordCount) {
      records += IndicationReport::tr("（完整可读 %1 条）").arg(input.IndexedRecords);
    }
    const QString lines[] = {
        IndicationReport::tr("文件：%1").arg(QFileInfo(input.RecordingPath).fileName()),
        IndicationReport::tr("记录数：%1").arg(records),
        IndicationReport::tr("时长：约 %1（按每秒一条记录）")
            .arg(QString::fromStdString(analysis::ClockText(input.IndexedRecords))),
        IndicationReport::tr("阈值：%1；合并间隔：%2 帧")
            .arg(IndicationTable::ThresholdText(list.Options))
            .arg(list.Options.MergeGap),
        IndicationReport::tr("指示：%1 处；耦合丢失：%2 处")
            .arg(list.Indications.size())
            .arg(list.CouplingLosses.size()),
    };
    int y = kInfoTop;
    for (const QString& line : lines) {
      DrawPageText(painter, QRect(kLeft, y, kWidth, kInfoLineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, line);
      y += kInfoLineHeight;
    }
    tableTop = kFirstTableTop;
  } else {
    painter.setFont(PageFont(kInfoPixels, false));
    DrawPageText(painter, QRect(kLeft, kNextTableTop - 30, kWidth, kInfoLineHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, IndicationReport::tr("探伤指示汇总（续）"));
  }

  painter.setFont(PageFont(kTablePixels, true));
  PaintTableRow(painter, tableTop, kHeaderHeight, IndicationTable::ColumnTitles());
  painter.setFont(PageFont(kTablePixels, false));
  std::size_t first = 0, end = 0;
  RowsOfPage(page, list.Indications.size(), first, end);
  int y = tableTop + kHeaderHeight;
  for (std::size_t i = first; i < end; ++i) {
    const int number = static_cast<int>(i) + 1;
    PaintTableRow(painter, y, kRowHeight, IndicationTable::RowTexts(number, list.Indications[i]));
    y += kRowHeight;
  }
  if (list.Indications.empty()) {
    DrawPageText(painter, QRect(kLeft, y + 6, kWidth, kRowHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, IndicationReport::tr("本记录中没有指示。"));
  }
  painter.restore();
}

bool IndicationReport::Write(const IndicationReportInput& input, const QString& path,
                             const ReportProgress& progress, QString* error) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    SetError(error, QStringLiteral("drawing the report needs a QGuiApplication"));
    return false;
  }
  // A session of its own, so the window's position and settings stay as they are.
  PeakFramePages peakPages;
  if (!peakPages.Open(input.RecordingPath, error)) return false;
  const auto& indications = input.List.Indications;
  const int summaryPages = SummaryPageCount(indications.size());
  const int total = summaryPages + static_cast<int>(indications.size());
  int done = 0;
  const auto pageDone = [&]() { return !progress || progress(++done, total); };
  bool cancelled = false;
  const bool written = WritePdfDocument(
      path, tr("探伤指示报告"),
      [&](QPdfWriter& writer, QPainter& painter) {
        for (int page = 0; page < summaryPages; ++page) {
          if (page > 0) writer.newPage();
          PaintSummaryPage(painter, input, page);
          if (!pageDone()) return !(cancelled = true);
        }
        for (const analysis::Indication& indication : indications) {
          writer.newPage();
          const ReportPageContent content = peakPages.Page(indication);
          PaintReportPage(painter, content.Texts, content.Pictures);
          if (!pageDone()) return !(cancelled = true);
        }
        return true;
      },
      error);
  if (cancelled) SetError(error, QString());
  return written;
}

}  // namespace sonalyt::report
