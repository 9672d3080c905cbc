#include "report/report_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "report/report_page.h"
#include "report_fixture.h"

namespace sonalyt::report {
namespace {

class ShowHideCounter : public QObject {
 public:
  int Shows = 0;
  int Hides = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) ++Shows;
    if (event->type() == QEvent::Hide) ++Hides;
    return QObject::eventFilter(watched, event);
  }
};

// Runs `whileShown` once the modal showing has settled (Timer1 done), then
// closes the window; returns when ShowModal has returned.
void ShowModalAndThen(TReportForm& form, const std::function<void()>& whileShown) {
  QTimer::singleShot(0, &form, [&form, whileShown] {
    auto* timer1 = form.findChild<QTimer*>(QStringLiteral("Timer1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isVisible() && !timer1->isActive(); }));
    whileShown();
    form.close();
  });
  form.ShowModal();
}

TEST(ReportFormTest, EachShowingRefillsAndPlacesTheWindowButHidesAndShowsOnlyOnce) {
  auto loaded = testing::OpenTwoFrameRecording();
  ReportSourceTexts onScreen;
  onScreen.LabelPara1 = QStringLiteral("↘123.4");
  TReportForm form(loaded->Session, [&onScreen] { return onScreen; });
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("ReportForm"));
  ShowHideCounter counter;
  form.installEventFilter(&counter);
  const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();

  ShowModalAndThen(form, [&] {
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.Page().Texts().QRRichDistance, QStringLiteral("123.4"));
    EXPECT_EQ(form.Page().Texts().QRShape53Height, kShape53OneGateHeight);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form.frameGeometry().size(), QSize(806, screenHeight - 20));
  });
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(counter.Shows, 2);  // the show and the one-time show after hiding
  EXPECT_EQ(counter.Hides, 2);  // the one-time hide and the close

  auto* scrollBar = form.findChild<QScrollArea*>()->verticalScrollBar();
  scrollBar->setValue(scrollBar->maximum());
  counter.Shows = counter.Hides = 0;
  form.resize(300, 200);
  onScreen.LabelPara1 = QStringLiteral("A:↓ 12.3");
  ShowModalAndThen(form, [&] {
    EXPECT_EQ(scrollBar->value(), 0);
    EXPECT_EQ(form.Page().Texts().QRRichDistance, QStringLiteral(" 12.3"));
    EXPECT_EQ(form.Page().Texts().QRShape53Height, kShape53TwoGateHeight);
    EXPECT_EQ(form.frameGeometry().size(), QSize(806, screenHeight - 20));
  });
  EXPECT_EQ(counter.Shows, 1);
  EXPECT_EQ(counter.Hides, 1);
}

TEST(ReportFormTest, ShowingDrawsTheFrameOnScreenAtTheControlSizes) {
  auto loaded = testing::OpenTwoFrameRecording();
  TReportForm form(loaded->Session, [] { return ReportSourceTexts{}; });
  ShowModalAndThen(form, [&] {
    const ReportPictures& pictures = form.Page().Pictures();
    EXPECT_EQ(pictures.AmplitudeScale.size(), kQRImageLeft.size());
    EXPECT_EQ(pictures.Wave.size(), kQRImageWave.size());
    EXPECT_EQ(pictures.RangeScale.size(), kQRImageBottom.size());
    // Black on white: the border's corner and the white inside.
    EXPECT_EQ(pictures.Wave.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(pictures.Wave.pixel(1, 1), qRgb(255, 255, 255));
    // Column 10 (x 10) of the frame on screen, frame 0, holds 30 (y 219); the
    // frame cursor already points at frame 1, whose column 10 holds 180 (y 26).
    EXPECT_EQ(pictures.Wave.pixel(10, 219), qRgb(0, 0, 0));
    EXPECT_EQ(pictures.Wave.pixel(10, 26), qRgb(255, 255, 255));
  });
}

TEST(ReportFormTest, PrintingWithoutAPrinterKeepsTheWindowOpen) {
  auto loaded = testing::OpenTwoFrameRecording();
  TReportForm form(loaded->Session, [] { return ReportSourceTexts{}; });
  bool printed = false;
  ShowModalAndThen(form, [&] {
    auto* print = form.findChild<QAction*>(QStringLiteral("PrintButton"));
    ASSERT_NE(print, nullptr);
    print->trigger();
    printed = true;
    EXPECT_TRUE(form.isVisible());
    print->trigger();  // and again: still usable
    EXPECT_TRUE(form.isVisible());
  });
  EXPECT_TRUE(printed);
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace sonalyt::report
