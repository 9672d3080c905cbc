// The report window: a one-page A4 inspection report of the frame on screen,
// shown at 1:1 in a scrolling area, printed on the current printer or saved
// as PDF.
#pragma once

#include <functional>

#include <QMainWindow>
#include <QString>

#include "session/viewer_session.h"

namespace sonalyt::report {

// The texts the main window displays at the moment the report is shown.
struct ReportSourceTexts {
  QString ProbeType, CrystalSize, EchoKAngle, ProbeAngle, ProbeFront, ProbeFrequency, ProbeZero,
      EchoSpeed, EchoDelay, EchoRange, BaseGain, ScanGain, CompGain;
  QString lblReject;
  QString LabelPara1, LabelPara2, LabelPara3, LabelPara4;
};

class TReportForm : public QMainWindow {
  Q_OBJECT
 public:
  // source is asked for the main window's texts at every showing.
  TReportForm(session::ViewerSession& session, std::function<ReportSourceTexts()> source,
              QWidget* parent = nullptr);
  ~TReportForm() override;

  // Shows the window modally and returns when the user closes it.
  void ShowModal();
};

}  // namespace sonalyt::report
