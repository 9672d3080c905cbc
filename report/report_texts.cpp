#include "report/report_texts.h"

#include <ostream>

#include <QCoreApplication>

namespace sonalyt::report {
namespace {

// The two-gate readouts start with the gate letter: "A:" + arrow + value.
constexpr qsizetype kGatePrefixChars = 3;
// The one-gate readouts start with their arrow.
constexpr qsizetype kArrowChars = 1;

// The captions are written in Chinese and shown in the installed language.
constexpr const char* kContext = "ReportPage";
QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

QString WithoutFirst(const QString& text, qsizetype chars) { return text.mid(chars); }

// The main window shows EchoRange as "%.3f in" in inch mode, "%.1f mm" otherwise,
// and the front length and delay in the same unit.
QString LengthUnit(const ReportSourceTexts& source) {
  return source.EchoRange.contains(QStringLiteral(" in")) ? QStringLiteral("in")
                                                          : QStringLiteral("mm");
}

}  // namespace

void PrintTo(const ReportTexts& t, std::ostream* os) {
  const auto field = [os](const char* name, const QString& value) {
    *os << "\n  " << name << " = \"" << value.toStdString() << '"';
  };
  *os << "ReportTexts{";
  field("QRRichType", t.QRRichType);
  field("QRRichCrystal", t.QRRichCrystal);
  field("QRRichReject", t.QRRichReject);
  field("QRRichKValue", t.QRRichKValue);
  field("QRRichRefraction", t.QRRichRefraction);
  field("QRRichFront", t.QRRichFront);
  field("QRRichFrequency", t.QRRichFrequency);
  field("QRRichZero", t.QRRichZero);
  field("QRRichSpeed", t.QRRichSpeed);
  field("QRRichDelay", t.QRRichDelay);
  field("QRRichRange", t.QRRichRange);
  field("QRRichGain", t.QRRichGain);
  field("Caption1", t.Caption1);
  field("Caption2", t.Caption2);
  field("Caption3", t.Caption3);
  field("Caption4", t.Caption4);
  field("QRRichDistance", t.QRRichDistance);
  field("QRLabelXValue", t.QRLabelXValue);
  field("QRRichYValue", t.QRRichYValue);
  field("QRLabelEquivalent", t.QRLabelEquivalent);
  *os << "\n  QRShape53Height = " << t.QRShape53Height << "\n}";
}

ReportTexts FillReportTexts(const ReportSourceTexts& source) {
  const QString lengthUnit = LengthUnit(source);
  ReportTexts t;
  t.QRRichType = source.ProbeType;
  t.QRRichCrystal = source.CrystalSize + QStringLiteral("mm");
  t.QRRichReject = source.lblReject + QStringLiteral(" %");
  t.QRRichKValue = source.EchoKAngle;
  t.QRRichRefraction =
      source.ProbeAngle + Tr(QT_TRANSLATE_NOOP("ReportPage", "度 "));
  t.QRRichFront = source.ProbeFront + lengthUnit;
  t.QRRichFrequency = source.ProbeFrequency + QStringLiteral("MHz");
  t.QRRichZero = source.ProbeZero + QStringLiteral("us");
  t.QRRichSpeed = source.EchoSpeed + QStringLiteral("m/s");
  t.QRRichDelay = source.EchoDelay + lengthUnit;
  t.QRRichRange = source.EchoRange;
  t.QRRichGain = source.BaseGain + u'+' + source.ScanGain + u'+' + source.CompGain +
                 QStringLiteral("dB");

  if (source.LabelPara1.startsWith(u'A')) {
    t.QRShape53Height = kShape53TwoGateHeight;
    t.Caption1 = Tr(QT_TRANSLATE_NOOP("ReportPage", "A定位"));
    t.Caption2 = Tr(QT_TRANSLATE_NOOP("ReportPage", "A当量"));
    t.Caption3 = Tr(QT_TRANSLATE_NOOP("ReportPage", "B定位"));
    t.Caption4 = Tr(QT_TRANSLATE_NOOP("ReportPage", "B当量"));
    t.QRRichDistance = WithoutFirst(source.LabelPara1, kGatePrefixChars);
    t.QRLabelXValue = source.LabelPara2;
    t.QRRichYValue = WithoutFirst(source.LabelPara3, kGatePrefixChars);
    t.QRLabelEquivalent = source.LabelPara4;
  } else {
    t.QRShape53Height = kShape53OneGateHeight;
    t.Caption1 = Tr(QT_TRANSLATE_NOOP("ReportPage", "距离"));
    t.Caption2 = Tr(QT_TRANSLATE_NOOP("ReportPage", "水平"));
    t.Caption3 = Tr(QT_TRANSLATE_NOOP("ReportPage", "垂直"));
    t.Caption4 = Tr(QT_TRANSLATE_NOOP("ReportPage", "当量"));
    t.QRRichDistance = WithoutFirst(source.LabelPara1, kArrowChars);
    t.QRLabelXValue = WithoutFirst(source.LabelPara2, kArrowChars);
    t.QRRichYValue = WithoutFirst(source.LabelPara3, kArrowChars);
    t.QRLabelEquivalent = source.LabelPara4;
  }
  return t;
}

}  // namespace sonalyt::report
