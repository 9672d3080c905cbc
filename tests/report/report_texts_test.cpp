#include "report/report_texts.h"

#include <gtest/gtest.h>

#include "report_fixture.h"

namespace sonalyt::report {
namespace {

ReportSourceTexts MetricSettings() {
  ReportSourceTexts s;
  s.ProbeType = QStringLiteral("斜探头");
  s.CrystalSize = QStringLiteral("13x13");
  s.EchoKAngle = QStringLiteral("1.0");
  s.ProbeAngle = QStringLiteral("45.0");
  s.ProbeFront = QStringLiteral("10.0");
  s.ProbeFrequency = QStringLiteral("2.50");
  s.ProbeZero = QStringLiteral("0.62");
  s.EchoSpeed = QStringLiteral("3240.00");
  s.EchoDelay = QStringLiteral("0.0");
  s.EchoRange = QStringLiteral("200.0 mm(s)");
  s.BaseGain = QStringLiteral("40.0");
  s.ScanGain = QStringLiteral("-2.0");
  s.CompGain = QStringLiteral("4.0");
  s.lblReject = QStringLiteral("10");
  return s;
}

// The settings cells of MetricSettings(), with their suffixes.
ReportTexts MetricSettingsCells() {
  ReportTexts t;
  t.QRRichType = QStringLiteral("斜探头");
  t.QRRichCrystal = QStringLiteral("13x13mm");
  t.QRRichReject = QStringLiteral("10 %");
  t.QRRichKValue = QStringLiteral("1.0");
  t.QRRichRefraction = QStringLiteral("45.0度 ");
  t.QRRichFront = QStringLiteral("10.0mm");
  t.QRRichFrequency = QStringLiteral("2.50MHz");
  t.QRRichZero = QStringLiteral("0.62us");
  t.QRRichSpeed = QStringLiteral("3240.00m/s");
  t.QRRichDelay = QStringLiteral("0.0mm");
  t.QRRichRange = QStringLiteral("200.0 mm(s)");
  t.QRRichGain = QStringLiteral("40.0+-2.0+4.0dB");
  return t;
}

TEST(FillReportTextsTest, TwoGateLayoutCutsGatePrefixesAndExtendsLocationCell) {
  ReportSourceTexts source = MetricSettings();
  source.LabelPara1 = QStringLiteral("A:↓ 12.3");
  source.LabelPara2 = QStringLiteral("∧56.0%");
  source.LabelPara3 = QStringLiteral("B:↓ 45.6");
  source.LabelPara4 = QStringLiteral("∧30.5%");

  ReportTexts expected = MetricSettingsCells();
  expected.Caption1 = QStringLiteral("A定位");
  expected.Caption2 = QStringLiteral("A当量");
  expected.Caption3 = QStringLiteral("B定位");
  expected.Caption4 = QStringLiteral("B当量");
  expected.QRRichDistance = QStringLiteral(" 12.3");
  expected.QRLabelXValue = QStringLiteral("∧56.0%");
  expected.QRRichYValue = QStringLiteral(" 45.6");
  expected.QRLabelEquivalent = QStringLiteral("∧30.5%");
  expected.QRShape53Height = 161;
  EXPECT_EQ(FillReportTexts(source), expected);
}

TEST(FillReportTextsTest, OneGateLayoutCutsArrowsAndKeepsEquivalentWhole) {
  ReportSourceTexts source = MetricSettings();
  source.LabelPara1 = QStringLiteral("↘123.4");
  source.LabelPara2 = QStringLiteral("→98.7");
  source.LabelPara3 = QStringLiteral("↓77.1");
  source.LabelPara4 = QStringLiteral("∧56.0 %");

  ReportTexts expected = MetricSettingsCells();
  expected.Caption1 = QStringLiteral("距离");
  expected.Caption2 = QStringLiteral("水平");
  expected.Caption3 = QStringLiteral("垂直");
  expected.Caption4 = QStringLiteral("当量");
  expected.QRRichDistance = QStringLiteral("123.4");
  expected.QRLabelXValue = QStringLiteral("98.7");
  expected.QRRichYValue = QStringLiteral("77.1");
  expected.QRLabelEquivalent = QStringLiteral("∧56.0 %");
  expected.QRShape53Height = 121;
  EXPECT_EQ(FillReportTexts(source), expected);
}

struct ReadoutCase {
  const char* Name;
  const char16_t* Para[4];
  const char16_t* Distance;
  const char16_t* XValue;
  const char16_t* YValue;
  const char16_t* Equivalent;
  int Shape53Height;
};

// Cuts count characters: arrows and Chinese characters are one each, and a
// text shorter than the cut leaves an empty cell.
const ReadoutCase kReadoutCases[] = {
    {"TwoGateNegativeKeepsSignBeforeBlank", {u"A:→- 1.5", u"RL  +3.5", u"B:→- 3.2", u"Φ2 -1.0"},
     u"- 1.5", u"RL  +3.5", u"- 3.2", u"Φ2 -1.0", 161},
    {"TwoGateShorterThanPrefix", {u"A:", u"", u"B:", u""}, u"", u"", u"", u"", 161},
    {"TwoGateExactlyThePrefix", {u"A:↘", u"∧0.0%", u"B:↘", u"∧0.0%"}, u"", u"∧0.0%", u"",
     u"∧0.0%", 161},
    {"OneGateNegativeAfterArrow", {u"→-3.2", u"→-1.0", u"↓-0.7", u"Φ3 x 40 +3.5dB"}, u"-3.2",
     u"-1.0", u"-0.7", u"Φ3 x 40 +3.5dB", 121},
    {"InitialBareSymbols", {u"↘", u"→", u"↓", u"∧"}, u"", u"", u"", u"∧", 121},
    {"AllEmpty", {u"", u"", u"", u""}, u"", u"", u"", u"", 121},
    {"LowercaseGateLetterIsOneGate", {u"a:↓ 1.0", u"x", u"y", u"z"}, u":↓ 1.0", u"", u"", u"z",
     121},
};

TEST(FillReportTextsTest, ReadoutCellsAndLayout) {
  for (const ReadoutCase& c : kReadoutCases) {
    SCOPED_TRACE(c.Name);
    ReportSourceTexts source;
    source.LabelPara1 = QString::fromUtf16(c.Para[0]);
    source.LabelPara2 = QString::fromUtf16(c.Para[1]);
    source.LabelPara3 = QString::fromUtf16(c.Para[2]);
    source.LabelPara4 = QString::fromUtf16(c.Para[3]);
    const ReportTexts t = FillReportTexts(source);
    EXPECT_EQ(t.QRRichDistance, QString::fromUtf16(c.Distance));
    EXPECT_EQ(t.QRLabelXValue, QString::fromUtf16(c.XValue));
    EXPECT_EQ(t.QRRichYValue, QString::fromUtf16(c.YValue));
    EXPECT_EQ(t.QRLabelEquivalent, QString::fromUtf16(c.Equivalent));
    EXPECT_EQ(t.QRShape53Height, c.Shape53Height);
    EXPECT_EQ(t.TwoGateLayout(), c.Shape53Height == kShape53TwoGateHeight);
  }
}

TEST(FillReportTextsTest, EmptySettingsGiveSuffixesOnly) {
  const ReportTexts t = FillReportTexts(ReportSourceTexts{});
  ReportTexts expected;
  expected.QRRichCrystal = QStringLiteral("mm");
  expected.QRRichReject = QStringLiteral(" %");
  expected.QRRichRefraction = QStringLiteral("度 ");
  expected.QRRichFront = QStringLiteral("mm");
  expected.QRRichFrequency = QStringLiteral("MHz");
  expected.QRRichZero = QStringLiteral("us");
  expected.QRRichSpeed = QStringLiteral("m/s");
  expected.QRRichDelay = QStringLiteral("mm");
  expected.QRRichGain = QStringLiteral("++dB");
  expected.Caption1 = QStringLiteral("距离");
  expected.Caption2 = QStringLiteral("水平");
  expected.Caption3 = QStringLiteral("垂直");
  expected.Caption4 = QStringLiteral("当量");
  expected.QRShape53Height = 121;
  EXPECT_EQ(t, expected);
}

// In inch mode the main window shows the front length and the delay in
// inches, so the report names that unit instead of millimetres.
TEST(FillReportTextsTest, InchModeLengthsCarryInches) {
  ReportSourceTexts source = MetricSettings();
  source.EchoRange = QStringLiteral("7.874 in(y)");
  source.ProbeFront = QStringLiteral("0.4");
  source.EchoDelay = QStringLiteral("0.100");
  const ReportTexts t = FillReportTexts(source);
  EXPECT_EQ(t.QRRichFront, QStringLiteral("0.4in"));
  EXPECT_EQ(t.QRRichDelay, QStringLiteral("0.100in"));
  EXPECT_EQ(t.QRRichRange, QStringLiteral("7.874 in(y)"));
  EXPECT_EQ(t.QRRichCrystal, QStringLiteral("13x13mm"));
}

}  // namespace
}  // namespace sonalyt::report
