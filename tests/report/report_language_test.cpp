// The report page in both languages: the Chinese captions keep their boxes
// and sizes, the English ones are translated and every caption stays inside
// its cell; the cells' captions from the readout layout follow the language.
#include <algorithm>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QFontMetrics>
#include <QTranslator>

#include "report/report_page.h"
#include "report/report_texts.h"
#include "report_fixture.h"

namespace sonalyt::report {
namespace {

// Installs the English translation for the life of a test.
class English {
 public:
  English() {
    loaded_ = translator_.load(QStringLiteral("sonalyt_en"), QStringLiteral(SONALYT_QM_DIR)) &&
              QCoreApplication::installTranslator(&translator_);
  }
  ~English() { QCoreApplication::removeTranslator(&translator_); }
  bool Loaded() const { return loaded_; }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

ReportTexts LayoutOf(const QString& labelPara1) {
  ReportSourceTexts source;
  source.LabelPara1 = labelPara1;
  return FillReportTexts(source);
}

// Where the text of caption lies on the page.
QRect Ink(const PlacedCaption& caption) {
  const QFontMetrics metrics(caption.Font);
  if (!caption.Turned) return metrics.boundingRect(caption.Box, caption.Flags, caption.Text);
  // Turned a quarter left: the line runs up the box, centred both ways.
  const QSize line(metrics.horizontalAdvance(caption.Text), metrics.height());
  return QRect(caption.Box.center().x() - line.height() / 2,
               caption.Box.center().y() - line.width() / 2, line.height(), line.width());
}

void ExpectInsideCells(const std::vector<PlacedCaption>& captions) {
  for (const PlacedCaption& c : captions) {
    SCOPED_TRACE(c.Text.toStdString());
    EXPECT_TRUE(c.Cell.contains(Ink(c)));
    EXPECT_GE(c.Font.pixelSize(), 9);
  }
}

QStringList Texts(const std::vector<PlacedCaption>& captions) {
  QStringList texts;
  for (const PlacedCaption& c : captions) texts << c.Text;
  return texts;
}

const QString kOneGate = QStringLiteral("↘123.4");
const QString kTwoGate = QStringLiteral("A:↓ 12.3");

TEST(ReportLanguageTest, ChineseCaptionsStandInTheirBoxesAtThePageSizes) {
  for (const QString& layout : {kOneGate, kTwoGate}) {
    SCOPED_TRACE(layout.toStdString());
    const std::vector<PlacedCaption> captions = LayOutCaptions(LayoutOf(layout));
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.front().Text, QStringLiteral("数字式超声波探伤仪探伤报告"));
    EXPECT_EQ(captions.front().Font.pixelSize(), 21);
    for (std::size_t i = 1; i < captions.size(); ++i) {
      SCOPED_TRACE(captions[i].Text.toStdString());
      EXPECT_EQ(captions[i].Font.pixelSize(), 19);
      EXPECT_FALSE(captions[i].Turned);
      EXPECT_EQ(captions[i].Flags, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap);
    }
    ExpectInsideCells(captions);
    // The group names stand one character to a box.
    EXPECT_TRUE(Texts(captions).contains(QStringLiteral("仪")));
  }
}

TEST(ReportLanguageTest, EnglishCaptionsAreTranslatedAndStayInsideTheirCells) {
  const English english;
  ASSERT_TRUE(english.Loaded());
  for (const QString& layout : {kOneGate, kTwoGate}) {
    SCOPED_TRACE(layout.toStdString());
    const std::vector<PlacedCaption> captions = LayOutCaptions(LayoutOf(layout));
    ExpectInsideCells(captions);
    const QStringList texts = Texts(captions);
    for (const char* expected : {"Ultrasonic Flaw Detection Report", "Inspection body",
                                 "Surface roughness", "Probe type", "Refraction angle",
                                 "Sensitivity", "Supervisor", "Remarks"}) {
      EXPECT_TRUE(texts.contains(QString::fromLatin1(expected))) << expected;
    }
    // Group names run along their cells.
    for (const char* group : {"Workpiece", "Probe", "Flaw detector", "Defect", "Location",
                              "Evaluation", "Sizing"}) {
      const auto it = std::find_if(captions.begin(), captions.end(), [group](const auto& c) {
        return c.Turned && c.Text == QString::fromLatin1(group);
      });
      EXPECT_NE(it, captions.end()) << group;
    }
    for (const QString& text : texts) {
      EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))))
          << text.toStdString();
    }
  }
}

TEST(ReportLanguageTest, LayoutCaptionsAndUnitsFollowTheLanguage) {
  ReportSourceTexts source;
  source.ProbeAngle = QStringLiteral("60.0");
  source.LabelPara1 = kTwoGate;
  {
    const English english;
    ASSERT_TRUE(english.Loaded());
    const ReportTexts t = FillReportTexts(source);
    EXPECT_EQ(QStringList({t.Caption1, t.Caption2, t.Caption3, t.Caption4}),
              QStringList({QStringLiteral("A location"), QStringLiteral("A equiv."),
                           QStringLiteral("B location"), QStringLiteral("B equiv.")}));
    EXPECT_EQ(t.QRRichRefraction, QStringLiteral("60.0° "));
    source.LabelPara1 = kOneGate;
    const ReportTexts one = FillReportTexts(source);
    EXPECT_EQ(QStringList({one.Caption1, one.Caption2, one.Caption3, one.Caption4}),
              QStringList({QStringLiteral("Distance"), QStringLiteral("Horizontal"),
                           QStringLiteral("Vertical"), QStringLiteral("Equivalent")}));
  }
  // Without the translation, the Chinese texts again.
  const ReportTexts t = FillReportTexts(source);
  EXPECT_EQ(t.Caption1, QStringLiteral("距离"));
  EXPECT_EQ(t.QRRichRefraction, QStringLiteral("60.0度 "));
}

}  // namespace
}  // namespace sonalyt::report
