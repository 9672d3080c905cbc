// The texts of the report page's value cells and of the location and sizing
// captions, copied from what the main window displays.
#pragma once

#include <iosfwd>

#include <QString>

namespace sonalyt::report {

// The texts the main window displays at the moment the report is shown.
struct ReportSourceTexts {
  QString ProbeType, CrystalSize, EchoKAngle, ProbeAngle, ProbeFront, ProbeFrequency, ProbeZero,
      EchoSpeed, EchoDelay, EchoRange, BaseGain, ScanGain, CompGain;
  QString lblReject;
  QString LabelPara1, LabelPara2, LabelPara3, LabelPara4;
};

// Heights in page pixels of the location group cell QRShape53.
inline constexpr int kShape53OneGateHeight = 121;  // rows 504 to 624
inline constexpr int kShape53TwoGateHeight = 161;  // rows 504 to 664

// What FillReportTexts puts on the page. Every field holds one line.
struct ReportTexts {
  QString QRRichType, QRRichCrystal, QRRichReject, QRRichKValue, QRRichRefraction, QRRichFront,
      QRRichFrequency, QRRichZero, QRRichSpeed, QRRichDelay, QRRichRange, QRRichGain;
  // Captions of the four location and sizing rows, top to bottom.
  QString Caption1, Caption2, Caption3, Caption4;
  QString QRRichDistance, QRLabelXValue, QRRichYValue, QRLabelEquivalent;
  int QRShape53Height = kShape53OneGateHeight;
  bool TwoGateLayout() const { return QRShape53Height == kShape53TwoGateHeight; }
  bool operator==(const ReportTexts&) const = default;
};
void PrintTo(const ReportTexts& texts, std::ostream* os);

// The page's texts from the main window's texts. Cuts count characters, so a
// text shorter than the part removed gives an empty field. Lengths in the
// instrument's inch mode (an EchoRange shown in "in") carry "in" instead of
// "mm" where the main window shows them in inches.
ReportTexts FillReportTexts(const ReportSourceTexts& source);

}  // namespace sonalyt::report
