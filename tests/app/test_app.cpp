// Window tests of the viewer, on the offscreen platform: the main window's
// controls and their enabling, navigation and playback cursors, the track
// bar, the note list, opening good, damaged and unreadable files, the About
// window, and the playback thread on its own and in the window.

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/about_form.h"
#include "app/draw_wave_thread.h"
#include "app/main_form.h"
#include "tests/app/gui_test_support.h"
#include "test_recordings.h"

using sonalyt::app::TAboutForm;
using sonalyt::app::TDrawWaveThread;
using sonalyt::app::TMainForm;
using sonalyt::app::testing::FrameId;
using sonalyt::app::testing::RecordingShape;
using sonalyt::app::testing::WriteRecording;

namespace {

const QString kPlay = QStringLiteral("播放");
const QString kStop = QStringLiteral("停止");

// GBK bytes of the two note texts and their Unicode form.
const std::string kNoteCrackGbk = "\xC1\xD1\xCE\xC6 1";  // 裂纹 1
const std::string kNoteWeldGbk = "\xBA\xB8\xB7\xEC";     // 焊缝
const QString kNoteCrack = QStringLiteral("裂纹 1");
const QString kNoteWeld = QStringLiteral("焊缝");

using sonalyt::app::testing::Child;
using sonalyt::app::testing::DismissNextMessageBox;
using sonalyt::app::testing::OnNextModal;

class Window : public sonalyt::app::testing::ShownMainForm {
 public:
  // Frame on screen and both cursors, for whole-state comparisons.
  QString Position() const {
    return QStringLiteral("drawn %1, record %2, frame %3")
        .arg(Drawn())
        .arg(form_->Session().CurrentRecord)
        .arg(form_->Session().CurrentFrame);
  }
  QString Buttons() {
    auto state = [](QPushButton& b) { return b.isEnabled() ? QStringLiteral("on") : QStringLiteral("off"); };
    return QStringLiteral("play %1 \"%2\", up %3, next %4, print %5")
        .arg(state(Play()), Play().text(), state(Up()), state(Next()), state(Print()));
  }

  // A user action on the track bar, as a wheel turn or a key press makes it:
  // the move, then the end of the action once the event is done.
  void MoveTrackBar(int position) {
    if (TrackBar().sliderPosition() == position) {
      TrackBar().triggerAction(QAbstractSlider::SliderMove);  // a move that stays put
    } else {
      TrackBar().setSliderPosition(position);
    }
    QCoreApplication::sendPostedEvents(form_.get(), QEvent::MetaCall);
  }
  void TrackBarKey(Qt::Key key) {
    QTest::keyClick(&TrackBar(), key);
    QCoreApplication::sendPostedEvents(form_.get(), QEvent::MetaCall);
  }

  void Destroy() { form_.reset(); }

};

}  // namespace

// ---------------------------------------------------------------------------

class TestMainForm : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Recording(const QString& name, const RecordingShape& shape) {
    const QString path = dir_.filePath(name);
    if (!WriteRecording(path, shape)) qFatal("cannot write %s", qPrintable(path));
    return path;
  }
  QString ThreeRecords() { return Recording(QStringLiteral("three.DAT"), {}); }
  // Seven records of five frames, notes at records 2 and 4.
  QString SevenWithNotes() {
    RecordingShape shape;
    shape.Records = 7;
    shape.Notes = {{2, kNoteCrackGbk}, {4, kNoteWeldGbk}};
    return Recording(QStringLiteral("notes.DAT"), shape);
  }

 private slots:
  void layout_data();
  void layout();
  void tabOrder();
  void startState();
  void openShowsFirstFrame();
  void openDialogFiltersAndOpens();
  void openRefusesUnreadableFile_data();
  void openRefusesUnreadableFile();
  void openDamagedFileKeepsRecordsBeforeDamage();
  void openEmptyRecordingCrashesNothing();
  void playbackStepsThroughRecords();
  void previousAndNext_data();
  void previousAndNext();
  void playbackStates_data();
  void playbackStates();
  void trackBarPositions_data();
  void trackBarPositions();
  void trackBarUserActionsLoadFinalPosition();
  void trackBarOneRecord();
  void noteClickJumpsAndPlays();
  void printPausesAndPassesTexts();
  void threadPlaysToEndAndRewinds();
  void exitWhilePlaying();
  void aboutShowsVersion();
};

void TestMainForm::layout_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("geometry");
  const struct {
    const char* name;
    QRect geometry;
  } rows[] = {
      {"LabelPara1", {27, 34, 75, 11}},       {"LabelPara2", {108, 34, 49, 11}},
      {"LabelPara3", {190, 34, 55, 11}},      {"LabelPara4", {257, 34, 116, 11}},
      {"lblReject", {514, 20, 54, 11}},       {"WavePanel", {7, 47, 326, 265}},
      {"EchoWaveImage", {0, 0, 21, 265}},     {"WaveImage", {20, 0, 306, 245}},
      {"EchoRangeImage", {20, 244, 306, 21}}, {"ProcessTrackBar", {14, 332, 305, 28}},
      {"RzButtonPlay", {27, 372, 64, 21}},    {"RzButtonUp", {102, 372, 63, 21}},
      {"RzButtonNext", {176, 372, 63, 21}},   {"btnPrint", {250, 372, 62, 21}},
      {"GainGroupBox", {345, 61, 150, 109}},  {"ProbeGroupBox", {501, 61, 156, 109}},
      {"BaseGroupBox", {346, 172, 312, 140}}, {"NoteListBox", {345, 325, 312, 109}},
      {"BaseGain", {74, 20, 62, 24}},         {"CrystalSize", {74, 74, 62, 24}},
      {"EchoRange", {41, 20, 95, 24}},        {"EchoKAngle", {196, 102, 96, 24}},
      {"ChannelNo", {41, 103, 95, 24}},
  };
  for (const auto& row : rows) {
    QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.geometry;
  }
}

void TestMainForm::layout() {
  QFETCH(QString, name);
  QFETCH(QRect, geometry);
  Window w;
  auto* control = w.Form().findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  QCOMPARE(control->geometry(), geometry);
  if (auto* field = qobject_cast<QLineEdit*>(control)) {
    QVERIFY(field->isReadOnly());
    // The bold label ends 3 pixels left of its field.
    auto* label = Child<QLabel>(*field->parent(), qPrintable(name + QStringLiteral("Label")));
    QCOMPARE(label->geometry().right() + 1 + 3, geometry.left());
    QVERIFY(label->font().bold());
  }
}

void TestMainForm::tabOrder() {
  Window w;
  const QStringList expected = {
      QStringLiteral("RzButtonPlay"),   QStringLiteral("RzButtonUp"),
      QStringLiteral("RzButtonNext"),   QStringLiteral("BaseGain"),
      QStringLiteral("ScanGain"),       QStringLiteral("CompGain"),
      QStringLiteral("ProbeType"),      QStringLiteral("ProbeFrequency"),
      QStringLiteral("CrystalSize"),    QStringLiteral("EchoRange"),
      QStringLiteral("EchoDelay"),      QStringLiteral("ProbeFront"),
      QStringLiteral("EchoSpeed"),      QStringLiteral("ProbeZero"),
      QStringLiteral("ProbeAngle"),     QStringLiteral("ChannelNo"),
      QStringLiteral("EchoKAngle"),     QStringLiteral("ProcessTrackBar"),
      QStringLiteral("NoteListBox"),    QStringLiteral("btnPrint")};
  QStringList chain;
  QWidget* start = &w.Play();
  for (QWidget* next = start; chain.size() < expected.size(); next = next->nextInFocusChain()) {
    if (next->focusPolicy() & Qt::TabFocus) chain << next->objectName();
    if (next->nextInFocusChain() == start) break;
  }
  QCOMPARE(chain, expected);
}

void TestMainForm::startState() {
  Window w;
  QCOMPARE(w.Form().windowTitle(), QStringLiteral("Sonalyt"));
  QCOMPARE(w.Buttons(), QStringLiteral("play off \"播放\", up off, next off, print off"));
  QCOMPARE(w.TrackBar().maximum(), 10);
  QVERIFY(w.Form().TrackBarArmed());
  QCOMPARE(Child<QLabel>(w.Form(), "LabelPara1")->text(), QStringLiteral("↘"));
  QCOMPARE(Child<QLabel>(w.Form(), "LabelPara4")->text(), QStringLiteral("∧"));
  QVERIFY(!Child<QLabel>(w.Form(), "WaveImage")->pixmap().isNull());
  QVERIFY(!Child<QLabel>(w.Form(), "lblReject")->isVisible());

  // Before a file is opened the track bar and the buttons do nothing.
  w.TrackBarKey(Qt::Key_Right);
  w.Form().RzButtonPlayClick();
  w.Form().RzButtonNextClick();
  QVERIFY(!w.Form().Session().FileOpened());
  QVERIFY(!w.Form().Playing());
  QCOMPARE(w.Buttons(), QStringLiteral("play off \"播放\", up off, next off, print off"));

  // Nor does a cancelled open dialog.
  OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  Child<QAction>(w.Form(), "OpenItem")->trigger();
  QCOMPARE(w.Buttons(), QStringLiteral("play off \"播放\", up off, next off, print off"));
  QCOMPARE(w.Form().Session().CurrentRecord, 0);
}

void TestMainForm::openShowsFirstFrame() {
  Window w;
  const QImage empty = Child<QLabel>(w.Form(), "WaveImage")->pixmap().toImage();
  w.Form().OpenFile(SevenWithNotes());

  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"播放\", up off, next on, print on"));
  QCOMPARE(w.TrackBar().maximum(), 6);
  QCOMPARE(w.TrackBar().value(), 0);
  QVERIFY(Child<QLabel>(w.Form(), "WaveImage")->pixmap().toImage() != empty);
  QCOMPARE(Child<QLineEdit>(w.Form(), "BaseGain")->text(),
           QString::fromStdString(w.Form().Session().Settings().BaseGain));
  QVERIFY(!Child<QLineEdit>(w.Form(), "EchoRange")->text().isEmpty());
  QCOMPARE(Child<QLabel>(w.Form(), "LabelPara1")->text(),
           QString::fromStdString(w.Form().Session().Readouts().LabelPara1));

  QCOMPARE(w.Notes().count(), 2);
  QCOMPARE(w.Notes().item(0)->text(), kNoteCrack);
  QCOMPARE(w.Notes().item(1)->text(), kNoteWeld);
  // Record 0 lies before the first note: the walk ends on the last line.
  QCOMPARE(w.Notes().currentRow(), 1);

  // A second file replaces the notes, even when it has none.
  w.Form().OpenFile(ThreeRecords());
  QCOMPARE(w.Notes().count(), 0);
  QCOMPARE(w.TrackBar().maximum(), 2);
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));
}

void TestMainForm::openDialogFiltersAndOpens() {
  Window w;
  const QString path = ThreeRecords();
  QStringList filters;
  QFileDialog::Options options;
  OnNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    filters = dialog->nameFilters();
    options = dialog->options();
    // Typed into the focused name field, as a user does.
    Child<QLineEdit>(*dialog, "fileNameEdit")->setText(path);
    static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept
  });
  Child<QFileDialog>(w.Form(), "FileOpenDialog")->setOption(QFileDialog::DontUseNativeDialog);
  Child<QAction>(w.Form(), "OpenItem")->trigger();
  QCOMPARE(filters, QStringList{QStringLiteral("*.DAT (*.DAT *.dat)")});
  QVERIFY(options & QFileDialog::HideNameFilterDetails);  // shown as "*.DAT"
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));

  // Cancelled during playback: pauses, shows the next frame, enables Print.
  w.Play().click();
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"停止\", up off, next on, print off"));
  OnNextModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  Child<QAction>(w.Form(), "OpenItem")->trigger();
  QVERIFY(!w.Form().Playing());
  QCOMPARE(w.Position(), QStringLiteral("drawn 1, record 1, frame 2"));
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"播放\", up off, next on, print on"));
}

void TestMainForm::openRefusesUnreadableFile_data() {
  QTest::addColumn<QString>("path");
  const QString missing = dir_.filePath(QStringLiteral("missing.DAT"));
  const QString empty = dir_.filePath(QStringLiteral("empty.DAT"));
  const QString shortFile = dir_.filePath(QStringLiteral("short.DAT"));
  QFile(empty).open(QIODevice::WriteOnly);
  QFile three(shortFile);
  three.open(QIODevice::WriteOnly);
  three.write("\x01\x00\x00", 3);
  three.close();
  QTest::newRow("missing file") << missing;
  QTest::newRow("empty file") << empty;
  QTest::newRow("shorter than the record count") << shortFile;
  QTest::newRow("a folder") << dir_.path();
}

void TestMainForm::openRefusesUnreadableFile() {
  QFETCH(QString, path);
  Window w;
  w.Form().OpenFile(SevenWithNotes());
  w.Next().click();
  const QString position = w.Position();
  const QString buttons = w.Buttons();
  const QString shownRange = Child<QLineEdit>(w.Form(), "EchoRange")->text();

  QString message;
  DismissNextMessageBox(&message);
  w.Form().OpenFile(path);

  QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
  // The open recording is untouched.
  QCOMPARE(w.Position(), position);
  QCOMPARE(w.Buttons(), buttons);
  QCOMPARE(w.Form().Session().RecordCount(), 7);
  QCOMPARE(w.Form().Session().File().RecordIndex().size(), std::size_t{7});
  QCOMPARE(w.Notes().count(), 2);
  QCOMPARE(Child<QLineEdit>(w.Form(), "EchoRange")->text(), shownRange);
  w.Next().click();
  QCOMPARE(w.Drawn(), FrameId(0, 3));
}

void TestMainForm::openDamagedFileKeepsRecordsBeforeDamage() {
  RecordingShape shape;
  shape.Records = 4;
  shape.CutBytes = 10;  // the body of the last record ends early
  const QString path = Recording(QStringLiteral("damaged.DAT"), shape);
  Window w;
  w.Form().OpenFile(path);
  QCOMPARE(w.Form().Session().File().RecordIndex().size(), std::size_t{3});
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"播放\", up off, next on, print on"));

  // Every complete record is reachable, and playback runs to its end.
  w.MoveTrackBar(2);
  QCOMPARE(w.Drawn(), FrameId(2, 0));
  while (w.Form().Session().CurrentRecord < w.Form().Session().RecordCount()) {
    w.Form().PlaybackStep();
  }
  w.Next().click();
  w.Up().click();
}

void TestMainForm::openEmptyRecordingCrashesNothing() {
  RecordingShape none;
  none.Records = 0;
  Window w;
  w.Form().OpenFile(ThreeRecords());
  w.Form().OpenFile(Recording(QStringLiteral("none.DAT"), none));
  QCOMPARE(w.Form().Session().RecordCount(), 0);
  // The previous recording's frame is not left on screen.
  QCOMPARE(Child<QLabel>(w.Form(), "LabelPara1")->text(), QStringLiteral("↘"));
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"播放\", up off, next on, print off"));

  w.Next().click();
  w.Up().click();
  w.MoveTrackBar(1);
  w.TrackBarKey(Qt::Key_End);
  w.Play().click();
  QTRY_VERIFY(w.Form().PlaybackThread().PlayedToEnd);
  QVERIFY(!w.Form().Playing());
  w.Play().click();
  w.Form().PlaybackThread().Suspend();
}

void TestMainForm::playbackStepsThroughRecords() {
  Window w;
  RecordingShape shape;
  shape.Notes = {{1, kNoteCrackGbk}, {2, kNoteWeldGbk}};
  w.Form().OpenFile(Recording(QStringLiteral("steps.DAT"), shape));
  QStringList steps{w.Position()};
  QList<int> trackBar{w.TrackBar().value()};
  QList<int> noteLine{w.Notes().currentRow()};
  while (w.Form().Session().CurrentRecord < w.Form().Session().RecordCount()) {
    w.Form().PlaybackStep();
    steps << w.Position();
    trackBar << w.TrackBar().value();
    noteLine << w.Notes().currentRow();
  }
  // Five frames: frames 0 to 3 of records 0 and 1, each record's last step
  // only resets the frame cursor; of the last record only frame 0.
  const QStringList expected = {
      QStringLiteral("drawn 0, record 1, frame 1"),   QStringLiteral("drawn 1, record 1, frame 2"),
      QStringLiteral("drawn 2, record 1, frame 3"),   QStringLiteral("drawn 3, record 1, frame 4"),
      QStringLiteral("drawn 3, record 1, frame 0"),   QStringLiteral("drawn 100, record 2, frame 1"),
      QStringLiteral("drawn 101, record 2, frame 2"), QStringLiteral("drawn 102, record 2, frame 3"),
      QStringLiteral("drawn 103, record 2, frame 4"), QStringLiteral("drawn 103, record 2, frame 0"),
      QStringLiteral("drawn 200, record 3, frame 1")};
  QCOMPARE(steps, expected);
  QCOMPARE(trackBar, (QList<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2}));
  // Record 0 lies before the first note and selects the last line.
  QCOMPARE(noteLine, (QList<int>{1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1}));
  // The program's own track bar moves enabled previous and next.
  QVERIFY(w.Up().isEnabled());
}

void TestMainForm::previousAndNext_data() {
  // Before the measured press: 's' a playback step, 'n' Next, 'p' Previous,
  // 'h' the Home key on the track bar (record 0 shown, frame cursor 0).
  // Seven records of five frames (frame N - 2 = 3). The cursors' whole
  // table is the session's (ViewerSessionTest); these rows check that the
  // buttons and the track bar reach it.
  QTest::addColumn<QString>("before");
  QTest::addColumn<char>("press");
  QTest::addColumn<QString>("position");

  QTest::newRow("next right after open")
      << "" << 'n' << QStringLiteral("drawn 2, record 1, frame 2");
  QTest::newRow("previous at frame cursor 0 of record 0")
      << "h" << 'p' << QStringLiteral("drawn 0, record 0, frame 0");
  QTest::newRow("previous at frame cursor 0 of record 5")
      << QString(24, QChar('s')) << 'p' << QStringLiteral("drawn 403, record 4, frame 3");
  QTest::newRow("next on frame N - 2 of the last record shows it again")
      << QString(24, QChar('s')) + QStringLiteral("nnnnnnn") << 'n'
      << QStringLiteral("drawn 603, record 6, frame 3");
}

void TestMainForm::previousAndNext() {
  QFETCH(QString, before);
  QFETCH(char, press);
  QFETCH(QString, position);
  Window w;
  w.Form().OpenFile(SevenWithNotes());
  for (QChar c : before) {
    switch (c.toLatin1()) {
      case 's': w.Form().PlaybackStep(); break;
      case 'n': w.Form().RzButtonNextClick(); break;
      case 'p': w.Form().RzButtonUpClick(); break;
      case 'h': w.TrackBarKey(Qt::Key_Home); break;
    }
  }
  w.Form().RzButtonPlayClick();  // playing: the press pauses
  QVERIFY(w.Form().Playing());
  if (press == 'n') {
    w.Form().RzButtonNextClick();
  } else {
    w.Form().RzButtonUpClick();
  }
  QCOMPARE(w.Position(), position);
  QVERIFY(!w.Form().Playing());
  QCOMPARE(w.Play().text(), kPlay);
  QVERIFY(w.Print().isEnabled());
}

namespace {
enum class Start { Paused, Playing, Finished, PlayingAfterEnd };
}
Q_DECLARE_METATYPE(Start)

void TestMainForm::playbackStates_data() {
  QTest::addColumn<Start>("start");
  QTest::addColumn<QString>("action");
  QTest::addColumn<bool>("playing");
  QTest::addColumn<bool>("playedToEnd");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<bool>("print");

  QTest::newRow("play: paused to playing") << Start::Paused << "play" << true << false << kStop << false;
  QTest::newRow("play: playing to paused") << Start::Playing << "play" << false << false << kPlay << true;
  QTest::newRow("play: finished rewinds and plays") << Start::Finished << "play" << true << false << kStop << false;
  QTest::newRow("play: playing after end rewinds and pauses") << Start::PlayingAfterEnd << "play" << false << false << kPlay << true;
  QTest::newRow("next: playing to paused") << Start::Playing << "next" << false << false << kPlay << true;
  QTest::newRow("previous: playing after end to finished") << Start::PlayingAfterEnd << "previous" << false << true << kPlay << true;
  QTest::newRow("next: finished stays") << Start::Finished << "next" << false << true << kStop << true;
  QTest::newRow("note: paused to playing") << Start::Paused << "note" << true << false << kStop << false;
  QTest::newRow("note: finished to playing after end") << Start::Finished << "note" << true << true << kStop << false;
  QTest::newRow("note: playing stays") << Start::Playing << "note" << true << false << kStop << false;
  QTest::newRow("track bar end: playing to paused") << Start::Playing << "end" << false << false << kPlay << true;
  QTest::newRow("track bar end: paused stays") << Start::Paused << "end" << false << false << kPlay << true;
  QTest::newRow("track bar below the end: playing continues") << Start::Playing << "track 3" << true << false << kStop << false;
  QTest::newRow("exit: playing to paused, caption kept") << Start::Playing << "exit" << false << false << kStop << false;
}

void TestMainForm::playbackStates() {
  QFETCH(Start, start);
  QFETCH(QString, action);
  QFETCH(bool, playing);
  QFETCH(bool, playedToEnd);
  QFETCH(QString, caption);
  QFETCH(bool, print);

  Window w;
  w.Form().OpenFile(SevenWithNotes());
  TDrawWaveThread& thread = w.Form().PlaybackThread();
  switch (start) {
    case Start::Paused:
      break;
    case Start::Playing:
      w.Play().click();
      break;
    case Start::Finished:
    case Start::PlayingAfterEnd:
      w.Form().Session().CurrentRecord = w.Form().Session().RecordCount();
      w.Play().click();
      QTRY_VERIFY(thread.PlayedToEnd);
      QVERIFY(thread.Suspended());
      QCOMPARE(w.Play().text(), kStop);  // the end changes no control
      QVERIFY(!w.Print().isEnabled());
      if (start == Start::PlayingAfterEnd) w.Form().NoteListBoxClick();
      break;
  }

  if (action == QLatin1String("play")) {
    w.Play().click();
  } else if (action == QLatin1String("next")) {
    w.Next().click();
  } else if (action == QLatin1String("previous")) {
    w.Up().click();
  } else if (action == QLatin1String("note")) {
    w.Notes().setCurrentRow(w.Notes().currentRow() == 0 ? 1 : 0);
  } else if (action == QLatin1String("end")) {
    w.MoveTrackBar(w.TrackBar().maximum());
    QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 0, frame 0"));
  } else if (action == QLatin1String("track 3")) {
    w.MoveTrackBar(3);
    QCOMPARE(w.Position(), QStringLiteral("drawn 300, record 3, frame 0"));
  } else if (action == QLatin1String("exit")) {
    Child<QAction>(w.Form(), "ExitItem")->trigger();
    QVERIFY(!w.Form().isVisible());
  }

  QCOMPARE(w.Form().Playing(), playing);
  QCOMPARE(thread.PlayedToEnd, playedToEnd);
  QCOMPARE(w.Play().text(), caption);
  QCOMPARE(w.Print().isEnabled(), print);
  if (action == QLatin1String("play") && (start == Start::Finished || start == Start::PlayingAfterEnd)) {
    QCOMPARE(w.Form().Session().CurrentRecord, 0);
    QCOMPARE(w.Form().Session().CurrentFrame, 0);
  }
}

void TestMainForm::trackBarPositions_data() {
  // The mapping of every position is the session's (TrackBarMappingTest);
  // these rows check that a move loads the record it maps to.
  QTest::addColumn<int>("position");
  QTest::addColumn<int>("record");
  for (int p : {0, 4, 8}) {
    QTest::addRow("position %d", p) << p << p;
  }
  QTest::newRow("position 9 is the end: record 0") << 9 << 0;
}

void TestMainForm::trackBarPositions() {
  QFETCH(int, position);
  QFETCH(int, record);
  RecordingShape shape;
  shape.Records = 10;
  shape.Frames = 3;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("ten.DAT"), shape));
  for (int i = 0; i < 3; ++i) w.Form().PlaybackStep();  // record 1 loaded: the thumb moved to 1
  QCOMPARE(w.TrackBar().value(), 1);

  w.MoveTrackBar(position);
  QCOMPARE(w.Position(), QStringLiteral("drawn %1, record %2, frame 0").arg(FrameId(record, 0)).arg(record));
  QCOMPARE(w.TrackBar().value(), record);
}

void TestMainForm::trackBarUserActionsLoadFinalPosition() {
  Window w;
  w.Form().OpenFile(SevenWithNotes());
  // After the open's load the thumb did not move: the bar is not armed.
  QVERIFY(!w.Form().TrackBarArmed());

  // A key press loads the record at the new position and re-arms.
  w.TrackBarKey(Qt::Key_Right);
  QCOMPARE(w.Position(), QStringLiteral("drawn 100, record 1, frame 0"));
  w.TrackBarKey(Qt::Key_Right);
  QCOMPARE(w.Position(), QStringLiteral("drawn 200, record 2, frame 0"));

  // A drag loads the position where the thumb is released.
  w.TrackBar().setSliderDown(true);
  for (int p : {3, 4, 5}) w.TrackBar().setSliderPosition(p);
  w.TrackBar().setSliderDown(false);
  QCoreApplication::sendPostedEvents(&w.Form(), QEvent::MetaCall);
  QCOMPARE(w.Position(), QStringLiteral("drawn 500, record 5, frame 0"));

  // A page click from the far end stops at the end: record 0.
  w.TrackBarKey(Qt::Key_PageUp);
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 0, frame 0"));
  QCOMPARE(w.TrackBar().value(), 0);

  // A key that cannot move the thumb still loads the record it stands on.
  w.Form().RzButtonNextClick();
  w.TrackBarKey(Qt::Key_Left);
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 0, frame 0"));
}

void TestMainForm::trackBarOneRecord() {
  RecordingShape shape;
  shape.Records = 1;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("one.DAT"), shape));
  QCOMPARE(w.TrackBar().maximum(), 0);
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_End, Qt::Key_PageDown}) {
    w.TrackBarKey(key);
    w.TrackBarKey(key);
    QCOMPARE(w.Form().Session().CurrentRecord, 0);
  }
  QCOMPARE(w.Drawn(), FrameId(0, 0));
}

void TestMainForm::noteClickJumpsAndPlays() {
  Window w;
  w.Form().OpenFile(SevenWithNotes());
  QCOMPARE(w.Notes().currentRow(), 1);
  w.Notes().setCurrentRow(0);  // as a click on the first note does
  QCOMPARE(w.Position(), QStringLiteral("drawn 200, record 2, frame 0"));
  QVERIFY(w.Form().Playing());
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"停止\", up on, next on, print off"));
  QCOMPARE(w.TrackBar().value(), 2);

  // Selections made by the program click nothing: playing on into record 4
  // selects the second note and the cursors follow the steps alone.
  w.Form().PlaybackThread().Suspend();
  while (w.Form().Session().CurrentRecord < 5) w.Form().PlaybackStep();
  QCOMPARE(w.Notes().currentRow(), 1);
  QCOMPARE(w.Position(), QStringLiteral("drawn 400, record 5, frame 1"));
}

void TestMainForm::printPausesAndPassesTexts() {
  Window w;
  w.Form().OpenFile(SevenWithNotes());
  w.Next().click();
  bool playingWhenShown = true;
  QString captionWhenShown;
  sonalyt::report::ReportSourceTexts texts;
  w.Form().SetReportPresenter([&] {
    playingWhenShown = w.Form().Playing();
    captionWhenShown = w.Play().text();
    texts = w.Form().ReportTexts();
  });

  w.Play().click();
  w.Form().btnPrintClick();  // Print during playback
  QVERIFY(!playingWhenShown);
  QCOMPARE(captionWhenShown, kPlay);

  const auto& settings = w.Form().Session().Settings();
  const auto& readouts = w.Form().Session().Readouts();
  QCOMPARE(texts.EchoRange, QString::fromStdString(settings.EchoRange));
  QCOMPARE(texts.ProbeType, QString::fromStdString(settings.ProbeType));
  QCOMPARE(texts.BaseGain, QString::fromStdString(settings.BaseGain));
  QCOMPARE(texts.lblReject, QString::fromStdString(settings.lblReject));
  QCOMPARE(texts.LabelPara2, QString::fromStdString(readouts.LabelPara2));
  QCOMPARE(texts.LabelPara4, QString::fromStdString(readouts.LabelPara4));
  QVERIFY(!texts.lblReject.isEmpty());
}

void TestMainForm::threadPlaysToEndAndRewinds() {
  // Two records of 26 frames: a 40 ms interval, about one second to play.
  RecordingShape shape;
  shape.Records = 2;
  shape.Frames = 26;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("short.DAT"), shape));
  TDrawWaveThread& thread = w.Form().PlaybackThread();
  QSignalSpy steps(&thread, &TDrawWaveThread::StepRan);
  QSignalSpy ended(&thread, &TDrawWaveThread::PlayedToEndReached);
  const QImage first = Child<QLabel>(w.Form(), "WaveImage")->pixmap().toImage();

  w.Play().click();
  QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
  QVERIFY(thread.Suspended());
  QVERIFY(thread.PlayedToEnd);
  // Frames 1 to 24 of record 0, its extra interval, frame 0 of record 1.
  QCOMPARE(steps.count(), 26);
  QCOMPARE(w.Position(), QStringLiteral("drawn 100, record 2, frame 1"));
  QVERIFY(Child<QLabel>(w.Form(), "WaveImage")->pixmap().toImage() != first);
  QCOMPARE(w.Buttons(), QStringLiteral("play on \"停止\", up on, next on, print off"));

  // Play again: rewinds and plays from record 0.
  QString firstAfterRewind;
  connect(&thread, &TDrawWaveThread::StepRan, &w.Form(), [&] {
    if (firstAfterRewind.isEmpty()) {
      firstAfterRewind = w.Position();
      w.Play().click();
    }
  });
  w.Play().click();
  QVERIFY(!thread.PlayedToEnd);
  QCOMPARE(w.Form().Session().CurrentRecord, 0);
  QTRY_VERIFY_WITH_TIMEOUT(!firstAfterRewind.isEmpty(), 20000);
  QCOMPARE(firstAfterRewind, QStringLiteral("drawn 0, record 1, frame 1"));
  QVERIFY(thread.Suspended());
  QCOMPARE(w.Play().text(), kPlay);
}

void TestMainForm::exitWhilePlaying() {
  RecordingShape shape;
  shape.Frames = 26;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("exit.DAT"), shape));
  QSignalSpy steps(&w.Form().PlaybackThread(), &TDrawWaveThread::StepRan);
  w.Play().click();
  QTRY_VERIFY(steps.count() >= 2);

  Child<QAction>(w.Form(), "ExitItem")->trigger();
  QVERIFY(!w.Form().isVisible());
  QVERIFY(!w.Form().Playing());
  // A step already requested is dropped, not run.
  const auto ran = steps.count();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  QCOMPARE(steps.count(), ran);

  // Destroying the window stops the thread, also with playback running and
  // a request pending.
  w.Form().show();
  w.Play().click();
  QTRY_VERIFY(steps.count() > ran);
  w.Destroy();
}

void TestMainForm::aboutShowsVersion() {
  TAboutForm about;
  QTimer::singleShot(0, &about, [&about] { Child<QPushButton>(about, "OKButton")->click(); });
  about.ShowModal();
  QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
  QCOMPARE(Child<QLabel>(about, "Label1")->text(), QStringLiteral("连续记录离线分析软件"));
  QCOMPARE(Child<QLabel>(about, "VersionLabel")->text(),
           QStringLiteral("Version:") + QStringLiteral(SONALYT_EXPECTED_VERSION));
  QCOMPARE(about.minimumSize(), about.maximumSize());  // cannot be resized
  QCOMPARE(Child<QPushButton>(about, "OKButton")->text(), QStringLiteral("确认"));
}

// ---------------------------------------------------------------------------

namespace {

// A host that counts its steps and the threads they ran on.
class CountingHost : public sonalyt::app::PlaybackHost {
 public:
  int StepsAllowed = 1 << 30;
  int Steps = 0;
  bool AllOnUiThread = true;

  bool PlaybackCanStep() override {
    AllOnUiThread = AllOnUiThread && QThread::currentThread() == qApp->thread();
    return Steps < StepsAllowed;
  }
  void RunPlaybackStep() override {
    AllOnUiThread = AllOnUiThread && QThread::currentThread() == qApp->thread();
    ++Steps;
  }
  std::int32_t PlaybackInterval() override { return 1; }
};

}  // namespace

class TestDrawWaveThread : public QObject {
  Q_OBJECT
 private slots:
  void createdSuspendedBelowNormal();
  void stepsOnUiThreadAndSuspendsAtEnd();
  void noStepAfterSuspend();
  void stopsWithRequestPending();
};

void TestDrawWaveThread::createdSuspendedBelowNormal() {
  CountingHost host;
  TDrawWaveThread thread(host);
  QVERIFY(thread.Suspended());
  QVERIFY(!thread.PlayedToEnd);
  QTRY_VERIFY(thread.isRunning());
  QCOMPARE(thread.priority(), QThread::LowPriority);
  QCoreApplication::processEvents();
  QCOMPARE(host.Steps, 0);
}

void TestDrawWaveThread::stepsOnUiThreadAndSuspendsAtEnd() {
  CountingHost host;
  host.StepsAllowed = 5;
  TDrawWaveThread thread(host);
  QSignalSpy ended(&thread, &TDrawWaveThread::PlayedToEndReached);
  thread.Resume();
  QTRY_COMPARE(ended.count(), 1);
  QCOMPARE(host.Steps, 5);
  QVERIFY(thread.Suspended());
  QVERIFY(thread.PlayedToEnd);
  QVERIFY(host.AllOnUiThread);

  // Resumed, it continues: three more steps, then the end again.
  thread.PlayedToEnd = false;
  host.StepsAllowed = 8;
  thread.Resume();
  QTRY_COMPARE(ended.count(), 2);
  QCOMPARE(host.Steps, 8);
}

void TestDrawWaveThread::noStepAfterSuspend() {
  CountingHost host;
  TDrawWaveThread thread(host);
  thread.Resume();
  QTRY_VERIFY(host.Steps >= 3);
  thread.Suspend();
  const int steps = host.Steps;
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::yieldCurrentThread();
  }
  QCOMPARE(host.Steps, steps);
  thread.Resume();
  QTRY_VERIFY(host.Steps > steps);
}

void TestDrawWaveThread::stopsWithRequestPending() {
  CountingHost host;
  auto thread = std::make_unique<TDrawWaveThread>(host);
  thread->Resume();
  QTRY_VERIFY(host.Steps >= 1);
  // The next request is pending or about to be: stopping must not wait for
  // the event loop, and runs no step.
  const int steps = host.Steps;
  thread->Stop();
  QVERIFY(thread->isFinished());
  QCOMPARE(host.Steps, steps);
  thread->Stop();
  thread.reset();
}

// ---------------------------------------------------------------------------

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  int status = 0;
  {
    TestDrawWaveThread test;
    status |= QTest::qExec(&test, argc, argv);
  }
  {
    TestMainForm test;
    status |= QTest::qExec(&test, argc, argv);
  }
  return status;
}

#include "test_app.moc"
