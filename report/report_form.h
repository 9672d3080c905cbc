// The report window: a one-page A4 inspection report of the frame on screen,
// shown at 1:1 in a scrolling area, printed on the current printer or saved
// as PDF.
#pragma once

#include <functional>

#include <QMainWindow>
#include <QString>

#include "report/report_texts.h"
#include "session/viewer_session.h"

class QAction;
class QEventLoop;
class QMenu;
class QScrollArea;
class QTimer;

namespace sonalyt::report {

class ReportPageWidget;

class TReportForm : public QMainWindow {
  Q_OBJECT
 public:
  // source is asked for the main window's texts at every showing.
  TReportForm(session::ViewerSession& session, std::function<ReportSourceTexts()> source,
              QWidget* parent = nullptr);
  ~TReportForm() override;

  // Shows the window modally and returns when the user closes it.
  void ShowModal();

  // The page as last filled and drawn.
  const ReportPageWidget& Page() const { return *page_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void RetranslateUi();
  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void FillReportTexts();
  void DrawReportImages();
  void PrintButtonClick();
  void ExportPdfButtonClick();

  session::ViewerSession& session_;
  std::function<ReportSourceTexts()> source_;

  QMenu* FileMenu = nullptr;
  QAction* PrintButton = nullptr;
  QAction* ExportPdfButton = nullptr;
  QTimer* Timer1 = nullptr;
  QScrollArea* scrollArea_ = nullptr;
  ReportPageWidget* page_ = nullptr;
  // True from creation until the first showing has armed Timer1.
  bool FirstShowing = true;
  // The loop of the modal showing in progress.
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace sonalyt::report
