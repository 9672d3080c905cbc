// Window tests of the indication list, on the offscreen platform and the
// demo recording: opened from the Analysis menu, filled once the pass ends,
// rebuilt by its threshold and merge-gap fields, a click or Enter that shows
// the peak frame (also when sorted), N and Shift+N from the frame on screen
// in both windows, and the CSV export.

#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/indication_window.h"
#include "app/main_form.h"
#include "report/indication_table.h"
#include "tests/app/gui_test_support.h"

using sonalyt::app::IndicationWindow;
using sonalyt::app::TMainForm;
using sonalyt::app::testing::Child;

namespace {

const QString kDemo = QStringLiteral(SONALYT_DEMO_RECORDING);

class Window : public sonalyt::app::testing::ShownMainForm {
 public:
  IndicationWindow& List() { return *Child<IndicationWindow>(*form_, "IndicationWindow"); }
  QTableView& Table() { return *Child<QTableView>(List(), "IndicationTable"); }

  // Opens the demo recording, opens the list from the menu and waits for the
  // pass to fill it.
  bool OpenAndList() {
    form_->OpenFile(kDemo);
    Child<QAction>(*form_, "IndicationListItem")->trigger();
    if (!QTest::qWaitForWindowExposed(&List())) return false;
    return QTest::qWaitFor(
        [this] { return Child<QPushButton>(List(), "ExportCsvButton")->isEnabled(); }, 20000);
  }

  // The frame on screen as "record/frame" (the cursors after a manual jump).
  QString Shown() const {
    return QStringLiteral("%1/%2")
        .arg(form_->Session().CurrentRecord)
        .arg(form_->Session().LastDrawnFrame());
  }
  // The peaks of the list, in file order.
  QStringList Peaks() {
    QStringList peaks;
    for (const auto& i : List().List().Indications) {
      peaks << QStringLiteral("%1/%2").arg(i.PeakRecord).arg(i.PeakFrame);
    }
    return peaks;
  }

  // A click on row `row` of the table as it is sorted.
  void ClickRow(int row) {
    const QModelIndex index = Table().model()->index(row, 1);
    QTest::mouseClick(Table().viewport(), Qt::LeftButton, {},
                      Table().visualRect(index).center());
  }

  // Threshold 20 % and no merging: the demo defect and a smaller echo later.
  void ShowTwoIndications() {
    Child<QCheckBox>(List(), "ThresholdCheck")->setChecked(true);
    Child<QDoubleSpinBox>(List(), "ThresholdEdit")->setValue(20.0);
    Child<QSpinBox>(List(), "MergeGapEdit")->setValue(0);
  }

};

}  // namespace

class TestIndicationWindow : public QObject {
  Q_OBJECT

 private slots:
  void FieldsRebuildTheListAtOnce() {
    Window w;
    QVERIFY(w.OpenAndList());
    QCOMPARE(w.Peaks(), QStringList{QStringLiteral("50/9")});
    QCOMPARE(w.Table().model()->rowCount(), 1);
    w.ShowTwoIndications();
    QCOMPARE(w.Peaks(), (QStringList{QStringLiteral("50/9"), QStringLiteral("60/11")}));
    QCOMPARE(w.Table().model()->rowCount(), 2);
    // The fields take no value outside their ranges.
    auto* threshold = Child<QDoubleSpinBox>(w.List(), "ThresholdEdit");
    threshold->setValue(150.0);
    QCOMPARE(threshold->value(), 100.0);
    QVERIFY(w.Peaks().isEmpty());
    auto* gap = Child<QSpinBox>(w.List(), "MergeGapEdit");
    gap->setValue(-3);
    QCOMPARE(gap->value(), 0);
  }

  void ClickAndEnterShowThePeakFrame() {
    Window w;
    QVERIFY(w.OpenAndList());
    w.ShowTwoIndications();
    w.ClickRow(1);
    QCOMPARE(w.Shown(), QStringLiteral("60/11"));
    QCOMPARE(Child<QSlider>(w.Form(), "ProcessTrackBar")->value(), 60);
    QCOMPARE(w.List().SelectedIndication(), 1);

    // Sorted by peak amplitude, highest first: row 0 is the demo defect.
    w.Table().sortByColumn(sonalyt::report::IndicationTable::kAmplitude, Qt::DescendingOrder);
    w.Table().setCurrentIndex(w.Table().model()->index(0, 0));
    w.Table().setFocus();
    QTest::keyClick(&w.Table(), Qt::Key_Return);
    QCOMPARE(w.Shown(), QStringLiteral("50/9"));
    QCOMPARE(w.List().SelectedIndication(), 0);
  }

  void NextAndPreviousFromTheFrameOnScreen() {
    Window w;
    QVERIFY(w.OpenAndList());
    w.ShowTwoIndications();
    // Record 0 is on screen after opening.
    w.Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.Form()));
    QTest::keyClick(&w.Form(), Qt::Key_N);
    QCOMPARE(w.Shown(), QStringLiteral("50/9"));
    QCOMPARE(w.List().SelectedIndication(), 0);
    QTest::keyClick(&w.Form(), Qt::Key_N);
    QCOMPARE(w.Shown(), QStringLiteral("60/11"));
    // Nothing after the last one.
    QTest::keyClick(&w.Form(), Qt::Key_N);
    QCOMPARE(w.Shown(), QStringLiteral("60/11"));
    QTest::keyClick(&w.Form(), Qt::Key_N, Qt::ShiftModifier);
    QCOMPARE(w.Shown(), QStringLiteral("50/9"));
    QCOMPARE(w.List().SelectedIndication(), 0);

    // From a frame between the two, moved to by the frame buttons.
    Child<QPushButton>(w.Form(), "RzButtonNext")->click();
    QCOMPARE(w.Shown(), QStringLiteral("50/10"));
    QTest::keyClick(&w.Form(), Qt::Key_N, Qt::ShiftModifier);
    QCOMPARE(w.Shown(), QStringLiteral("50/9"));

    // The same keys in the list window.
    w.List().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.List()));
    QTest::keyClick(&w.Table(), Qt::Key_N);
    QCOMPARE(w.Shown(), QStringLiteral("60/11"));
    QCOMPARE(w.List().SelectedIndication(), 1);
    QTest::keyClick(&w.Table(), Qt::Key_N, Qt::ShiftModifier);
    QCOMPARE(w.Shown(), QStringLiteral("50/9"));
  }

  void ExportsTheCsv() {
    Window w;
    QVERIFY(w.OpenAndList());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QVERIFY(w.List().ExportCsvTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    QVERIFY(csv.startsWith("\xEF\xBB\xBFNumber,"));
    QCOMPARE(csv.count('\n'), 2);
    QVERIFY(csv.contains(QStringLiteral("疑似缺陷 2号").toUtf8()));
  }
};

QTEST_MAIN(TestIndicationWindow)
#include "test_indication_window.moc"
