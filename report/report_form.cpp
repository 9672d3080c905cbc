#include "report/report_form.h"

#include <exception>

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>

#include "report/report_export.h"
#include "report/report_page.h"

namespace sonalyt::report {
namespace {

// Outer width of the window and the gap it leaves below it on the screen.
constexpr int kWindowWidth = 806;
constexpr int kScreenHeightMargin = 20;

// Prints the page on the current printer without a dialog: A4 portrait, one
// copy, automatic bin, no duplex, positions from the paper's corner.
bool PrintOnCurrentPrinter(const ReportPageWidget& page) {
  if (QPrinterInfo::availablePrinterNames().isEmpty()) return false;
  QPrinter printer(QPrinter::HighResolution);
  if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) return false;
  printer.setDocName(QStringLiteral("ReportForm"));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(true);
  printer.setCopyCount(1);
  printer.setPaperSource(QPrinter::Auto);
  printer.setDuplex(QPrinter::DuplexNone);
  return PaintReportPageOn(printer, printer.resolution(), page.Texts(), page.Pictures());
}

}  // namespace

TReportForm::TReportForm(session::ViewerSession& session,
                         std::function<ReportSourceTexts()> source, QWidget* parent)
    : QMainWindow(parent), session_(session), source_(std::move(source)) {
  setObjectName(QStringLiteral("ReportForm"));
  setWindowTitle(QStringLiteral("ReportForm"));

  FileMenu = menuBar()->addMenu(QString());
  FileMenu->setObjectName(QStringLiteral("FileMenu"));
  PrintButton = FileMenu->addAction(QString());
  PrintButton->setObjectName(QStringLiteral("PrintButton"));
  connect(PrintButton, &QAction::triggered, this, &TReportForm::PrintButtonClick);
  ExportPdfButton = FileMenu->addAction(QString());
  ExportPdfButton->setObjectName(QStringLiteral("ExportPdfButton"));
  RetranslateUi();
  connect(ExportPdfButton, &QAction::triggered, this, &TReportForm::ExportPdfButtonClick);

  page_ = new ReportPageWidget;
  scrollArea_ = new QScrollArea(this);
  scrollArea_->setBackgroundRole(QPalette::Dark);
  scrollArea_->setWidget(page_);
  setCentralWidget(scrollArea_);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(1);
  connect(Timer1, &QTimer::timeout, this, &TReportForm::Timer1Timer);

  FormCreate();
}

TReportForm::~TReportForm() = default;

void TReportForm::RetranslateUi() {
  FileMenu->setTitle(tr("菜单(&F)"));
  PrintButton->setText(tr("打印(&P)"));
  ExportPdfButton->setText(tr("导出PDF(&E)"));
}

void TReportForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
}

void TReportForm::FormCreate() {
  FirstShowing = true;
  setVisible(false);
}

void TReportForm::ShowModal() {
  if (modalLoop_ != nullptr) {  // already showing
    raise();
    activateWindow();
    return;
  }
  setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modalLoop_ = &loop;
  show();
  raise();
  activateWindow();
  if (isVisible()) loop.exec(QEventLoop::DialogExec);
  modalLoop_ = nullptr;
}

void TReportForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TReportForm::closeEvent(QCloseEvent* event) {
  // Closing only hides the window; it keeps its page until the next showing.
  QMainWindow::closeEvent(event);
  Timer1->stop();
  if (modalLoop_ != nullptr) modalLoop_->quit();
}

void TReportForm::FormShow() {
  scrollArea_->verticalScrollBar()->setValue(0);
  FillReportTexts();
  DrawReportImages();

  // The window's outer size: the frame is known once the window has been on screen.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  resize(QSize(kWindowWidth, screenRect.height() - kScreenHeightMargin) - frameExtra);
  move(screenRect.topLeft());

  if (FirstShowing) {
    Timer1->start();
    FirstShowing = false;
  }
}

void TReportForm::Timer1Timer() {
  // Showing the window once more after it first reached the screen places it
  // again with its real frame size.
  setVisible(false);
  setVisible(true);
  Timer1->stop();
}

void TReportForm::FillReportTexts() {
  page_->SetTexts(report::FillReportTexts(source_ ? source_() : ReportSourceTexts{}));
}

void TReportForm::DrawReportImages() { page_->SetPictures(DrawReportPictures(session_)); }

void TReportForm::PrintButtonClick() {
  // A failed or impossible print is dropped: the window stays open and usable.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    PrintOnCurrentPrinter(*page_);
  } catch (const std::exception&) {
  } catch (...) {
  }
  QGuiApplication::restoreOverrideCursor();
}

void TReportForm::ExportPdfButtonClick() {
  QString path = QFileDialog::getSaveFileName(this, tr("导出PDF"), tr("探伤报告.pdf"),
                                              tr("PDF 文件 (*.pdf)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
  QString error;
  if (!WriteReportPdf(page_->Texts(), page_->Pictures(), path, &error)) {
    QMessageBox::warning(this, tr("导出PDF"), tr("无法保存文件 %1：\n%2").arg(path, error));
  }
}

}  // namespace sonalyt::report
