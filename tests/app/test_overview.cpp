// Window tests of the overview, on the offscreen platform: its place below
// the classic controls, the pass that fills it after opening, a click or a
// drag that shows the frame under the pointer (also during playback), wheel
// zoom, Home and double click, the cursor, and reopening during a pass.

#include <memory>

#include <QApplication>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "app/main_form.h"
#include "app/overview_panel.h"
#include "tests/app/gui_test_support.h"
#include "test_recordings.h"

using sonalyt::analysis::FramePosition;
using sonalyt::analysis::OverviewView;
using sonalyt::app::OverviewPanel;
using sonalyt::app::TMainForm;
using sonalyt::app::testing::Child;
using sonalyt::app::testing::FrameId;
using sonalyt::app::testing::RecordingShape;
using sonalyt::app::testing::WriteRecording;

Q_DECLARE_METATYPE(FramePosition)

namespace {

class Window : public sonalyt::app::testing::ShownMainForm {
 public:
  OverviewPanel& Overview() { return *Child<OverviewPanel>(*form_, "OverviewPanel"); }

  // Opens path and waits until the overview's pass has ended.
  bool OpenAndAnalyse(const QString& path) {
    form_->OpenFile(path);
    return QTest::qWaitFor([this] { return !Overview().PassRunning(); }, 10000) &&
           Overview().Results() &&
           Overview().Results()->State() == sonalyt::analysis::PassState::Complete;
  }
  // The panel position of plot column x, on the B-scan.
  QPoint AtColumn(int x) {
    const QRect plot = Overview().PlotRect();
    return {plot.left() + x, plot.bottom() - 2};
  }
  void Wheel(QPoint pos, int delta) {
    QWheelEvent event(pos, Overview().mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Overview(), &event);
  }

};

}  // namespace

class TestOverview : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  // Four hundred records of six frames, notes at records 100 and 250: more
  // frames than the overview has pixel columns.
  QString Long() {
    const QString path = dir_.filePath(QStringLiteral("long.DAT"));
    RecordingShape shape;
    shape.Records = 400;
    shape.Frames = 6;
    shape.Notes = {{100, "\xBA\xB8\xB7\xEC"}, {250, "A"}};
    if (!WriteRecording(path, shape)) qFatal("cannot write %s", qPrintable(path));
    return path;
  }

 private slots:
  void placedBelowTheControlsAndGrowsWithTheWindow();
  void passFillsTheOverviewAfterOpening();
  void clickShowsThatFrame_data();
  void clickShowsThatFrame();
  void dragShowsTheFramesUnderThePointer();
  void clickDuringPlaybackPlaysOnFromThere();
  void wheelZoomsHomeAndDoubleClickShowTheWhole();
  void cursorFollowsTheFrameOnScreen();
  void reopeningDuringThePassStartsAgain();
};

void TestOverview::placedBelowTheControlsAndGrowsWithTheWindow() {
  Window w;
  QWidget* client = w.Form().centralWidget();
  const QRect small = w.Overview().geometry();
  QCOMPARE(small.left(), 7);
  QCOMPARE(small.top(), 440);
  QCOMPARE(small.right(), client->width() - 1 - 7);
  QCOMPARE(small.bottom(), client->height() - 1 - 4);
  QVERIFY(small.height() >= 80);

  w.Form().resize(w.Form().size() + QSize(300, 200));
  QTRY_COMPARE(w.Overview().width(), small.width() + 300);
  QCOMPARE(w.Overview().height(), small.height() + 200);
  QCOMPARE(w.Overview().geometry().topLeft(), small.topLeft());
}

void TestOverview::passFillsTheOverviewAfterOpening() {
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  const auto results = w.Overview().Results();
  QCOMPARE(results->IndexedRecords(), 400);
  QCOMPARE(results->RecordsDone(), 400);
  QCOMPARE(w.Overview().Axis().Records, 400);
  QCOMPARE(w.Overview().Axis().SlotsPerRecord, 6);
  QCOMPARE(w.Overview().View(), sonalyt::analysis::WholeView(w.Overview().Axis()));
  // The progress bar is hidden by a queued call after the pass has ended.
  QTRY_VERIFY(!Child<QProgressBar>(w.Overview(), "OverviewProgress")->isVisible());
  // The viewer was usable meanwhile: the first frame is on screen.
  QCOMPARE(w.Drawn(), FrameId(0, 0));
}

void TestOverview::clickShowsThatFrame_data() {
  QTest::addColumn<int>("zoomNotches");
  QTest::addColumn<int>("column");
  QTest::newRow("whole, start") << 0 << 0;
  QTest::newRow("whole, middle") << 0 << 300;
  QTest::newRow("whole, last column") << 0 << -1;
  QTest::newRow("zoomed in") << 4 << 200;
  QTest::newRow("one column a frame") << 40 << 123;
}

void TestOverview::clickShowsThatFrame() {
  QFETCH(int, zoomNotches);
  QFETCH(int, column);
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  const int width = w.Overview().PlotRect().width();
  if (column < 0) column = width - 1;
  if (zoomNotches > 0) w.Wheel(w.AtColumn(column), 120 * zoomNotches);
  if (zoomNotches >= 40) QCOMPARE(w.Overview().View().Count, std::int64_t{width});

  const QPoint at = w.AtColumn(column);
  const FramePosition expected = w.Overview().FrameAtX(at.x());
  QVERIFY(expected.Record > 0 || column == 0);
  QTest::mouseClick(&w.Overview(), Qt::LeftButton, {}, at);
  QCOMPARE(w.Drawn(), FrameId(expected.Record, expected.Frame));
  // As after a track-bar move: the track bar and the note line follow.
  QCOMPARE(w.TrackBar().value(), expected.Record);
  // Records before the first note select the last line.
  QCOMPARE(w.Notes().currentRow(), expected.Record >= 100 && expected.Record < 250 ? 0 : 1);
  QCOMPARE(w.Overview().CursorFrame(), expected);
  QVERIFY(!w.Form().Playing());
}

void TestOverview::dragShowsTheFramesUnderThePointer() {
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  QTest::mousePress(&w.Overview(), Qt::LeftButton, {}, w.AtColumn(10));
  for (const int column : {100, 250, 400}) {
    QTest::mouseMove(&w.Overview(), w.AtColumn(column));
    const FramePosition expected = w.Overview().FrameAtX(w.AtColumn(column).x());
    QTRY_COMPARE(w.Drawn(), FrameId(expected.Record, expected.Frame));
  }
  QTest::mouseRelease(&w.Overview(), Qt::LeftButton, {}, w.AtColumn(400));
}

void TestOverview::clickDuringPlaybackPlaysOnFromThere() {
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  QTest::mouseClick(&w.Play(), Qt::LeftButton);
  QVERIFY(w.Form().Playing());
  const QPoint at = w.AtColumn(w.Overview().PlotRect().width() / 2);
  const FramePosition clicked = w.Overview().FrameAtX(at.x());
  QTest::mouseClick(&w.Overview(), Qt::LeftButton, {}, at);
  QVERIFY(w.Form().Playing());
  // Playback goes on from the frame clicked: later frames of that record or
  // of the records after it, never back to where it was.
  QTRY_VERIFY(w.Drawn() > FrameId(clicked.Record, clicked.Frame));
  QVERIFY(w.Drawn() < FrameId(clicked.Record + 3, 0));
  QTest::mouseClick(&w.Play(), Qt::LeftButton);
}

void TestOverview::wheelZoomsHomeAndDoubleClickShowTheWhole() {
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  const OverviewView whole = w.Overview().View();
  const QPoint at = w.AtColumn(300);
  const FramePosition under = w.Overview().FrameAtX(at.x());
  w.Wheel(at, 240);
  QVERIFY(w.Overview().View().Count < whole.Count);
  // The frame under the pointer stays under it.
  QCOMPARE(w.Overview().FrameAtX(at.x()).Record, under.Record);

  // Home shows the whole recording while the overview has the focus, before
  // any Home shortcut of the window.
  QShortcut windowHome(QKeySequence(Qt::Key_Home), &w.Form());
  QSignalSpy windowHomeUsed(&windowHome, &QShortcut::activated);
  w.Overview().setFocus();
  QTest::keyClick(&w.Overview(), Qt::Key_Home);
  QCOMPARE(w.Overview().View(), whole);
  QCOMPARE(windowHomeUsed.count(), 0);

  w.Wheel(at, 360);
  QVERIFY(w.Overview().View().Count < whole.Count);
  QTest::mouseDClick(&w.Overview(), Qt::LeftButton, {}, at);
  QCOMPARE(w.Overview().View(), whole);

  // A right drag pans a zoomed view.
  w.Wheel(at, 600);
  const OverviewView zoomed = w.Overview().View();
  QTest::mousePress(&w.Overview(), Qt::RightButton, {}, at);
  QTest::mouseMove(&w.Overview(), at - QPoint(100, 0));
  QTest::mouseRelease(&w.Overview(), Qt::RightButton, {}, at - QPoint(100, 0));
  QVERIFY(w.Overview().View().First > zoomed.First);
  QCOMPARE(w.Overview().View().Count, zoomed.Count);
}

void TestOverview::cursorFollowsTheFrameOnScreen() {
  Window w;
  QVERIFY(w.OpenAndAnalyse(Long()));
  QCOMPARE(w.Overview().CursorFrame(), (FramePosition{0, 0}));
  QTest::mouseClick(Child<QPushButton>(w.Form(), "RzButtonNext"), Qt::LeftButton);
  QCOMPARE(w.Overview().CursorFrame(), (FramePosition{0, 2}));
  w.Notes().setCurrentRow(0);
  QCOMPARE(w.Overview().CursorFrame(), (FramePosition{100, 0}));
  QTest::mouseClick(&w.Play(), Qt::LeftButton);
}

void TestOverview::reopeningDuringThePassStartsAgain() {
  Window w;
  const QString first = Long();
  const QString second = dir_.filePath(QStringLiteral("five.DAT"));
  RecordingShape shape;
  shape.Records = 5;
  QVERIFY(WriteRecording(second, shape));
  w.Form().OpenFile(first);
  QVERIFY(w.OpenAndAnalyse(second));
  QCOMPARE(w.Overview().Results()->IndexedRecords(), 5);
  QCOMPARE(w.Overview().Axis().Records, 5);
  w.Form().close();
  QVERIFY(!w.Overview().PassRunning());
}

QTEST_MAIN(TestOverview)
#include "test_overview.moc"
