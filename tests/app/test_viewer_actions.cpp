// Window tests of what surrounds the classic controls, on the offscreen
// platform: the keyboard shortcuts and the focused controls that keep their
// keys, Go to and its bad input, the playback speeds and the interval handed
// to the playback thread, the status bar and the title, the recent files,
// drag and drop, and the large A-scan window against the main picture.

#include <algorithm>
#include <cmath>
#include <memory>
#include <variant>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/about_form.h"
#include "app/go_to_dialog.h"
#include "app/large_ascan_window.h"
#include "app/main_form.h"
#include "app/playback_speed.h"
#include "app/position_status.h"
#include "app/recent_files.h"
#include "app/viewer_actions.h"
#include "display/frame_image.h"
#include "display/recording_canvas.h"
#include "session/viewer_session.h"
#include "tests/app/gui_test_support.h"
#include "test_recordings.h"

using sonalyt::app::FrameSnapshot;
using sonalyt::app::GoToTarget;
using sonalyt::app::LargeAScanWindow;
using sonalyt::app::PlaybackPace;
using sonalyt::app::ShownPosition;
using sonalyt::app::TDrawWaveThread;
using sonalyt::app::TMainForm;
using sonalyt::app::testing::Child;
using sonalyt::app::testing::DismissNextMessageBox;
using sonalyt::app::testing::FrameId;
using sonalyt::app::testing::OnNextModal;
using sonalyt::app::testing::RecordingShape;
using sonalyt::app::testing::WriteRecording;
using sonalyt::display::DrawOp;
using sonalyt::display::RecordingCanvas;

Q_DECLARE_METATYPE(PlaybackPace)
Q_DECLARE_METATYPE(GoToTarget)

namespace {

const QString kPlay = QStringLiteral("播放");

class Window : public sonalyt::app::testing::ShownMainForm {
 public:
  Window() : ShownMainForm(Wait::Active) {}

  QAction& Action(const char* name) { return *Child<QAction>(*form_, name); }

  QString Position() const {
    return QStringLiteral("drawn %1, record %2, frame %3")
        .arg(Drawn())
        .arg(form_->Session().CurrentRecord)
        .arg(form_->Session().CurrentFrame);
  }
  QStringList Status() { return form_->Actions().Status().Texts(); }

  // A key typed into the window with the focus on `target` (the window
  // itself when null), shortcuts included.
  void Key(QKeyCombination key, QWidget* target = nullptr) {
    // A modal window that just closed may have left the window inactive.
    if (!form_->isActiveWindow()) {
      form_->activateWindow();
      if (!QTest::qWaitForWindowActive(form_.get())) qFatal("window not active");
    }
    QWidget* to = target != nullptr ? target : form_.get();
    QTest::keyClick(to, key.key(), key.keyboardModifiers());
    QCoreApplication::sendPostedEvents(form_.get(), QEvent::MetaCall);
  }

};

// A picture of the window, in one pixel format for comparisons.
QImage Picture(TMainForm& form, const char* name = "WaveImage") {
  return Child<QLabel>(form, name)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}
QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

}  // namespace

class TestViewerActions : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Recording(const QString& name, const RecordingShape& shape) {
    const QString path = dir_.filePath(name);
    if (!WriteRecording(path, shape)) qFatal("cannot write %s", qPrintable(path));
    return path;
  }
  // Seven records of five frames (PlayInterval 250 ms), notes at records 2 and 4.
  QString Seven() {
    RecordingShape shape;
    shape.Records = 7;
    shape.Notes = {{2, "\xC1\xD1\xCE\xC6"}, {4, "\xBA\xB8\xB7\xEC"}};
    return Recording(QStringLiteral("seven.DAT"), shape);
  }

 private slots:
  void init();
  void paceAtEachSpeed_data();
  void paceAtEachSpeed();
  void speedKeysSetTheInterval_data();
  void speedKeysSetTheInterval();
  void fastPlaybackSkipsFramesAndKeepsTheEnd();
  void shortcuts_data();
  void shortcuts();
  void shortcutsListedInMenus();
  void windowShortcuts();
  void focusedControlsKeepTheirKeys();
  void parseGoTo_data();
  void parseGoTo();
  void goToMovesOrSaysWhatIsAllowed_data();
  void goToMovesOrSaysWhatIsAllowed();
  void statusBarAfterPlaybackAndMoves();
  void recentFilesOrderAndLimit();
  void recentFileThatNoLongerExists();
  void dropOpensRecording();
  void largeAScanMatchesMainPicture();
  void largeAScanFollowsFramesAndSize();
};

void TestViewerActions::init() {
  QSettings().remove(QStringLiteral("RecentFiles"));
}

// ---------------------------------------------------------------------------
// Speeds

void TestViewerActions::paceAtEachSpeed_data() {
  QTest::addColumn<int>("playInterval");
  QTest::addColumn<int>("speed");
  QTest::addColumn<PlaybackPace>("pace");
  // 20 ms is the shortest turn above 1x.
  QTest::newRow("1x keeps PlayInterval") << 100 << 4 << PlaybackPace{1, 100};
  QTest::newRow("1x keeps a short PlayInterval") << 10 << 4 << PlaybackPace{1, 10};
  QTest::newRow("0.25x") << 100 << 1 << PlaybackPace{1, 400};
  QTest::newRow("0.5x") << 83 << 2 << PlaybackPace{1, 166};
  QTest::newRow("2x") << 100 << 8 << PlaybackPace{1, 50};
  QTest::newRow("4x") << 100 << 16 << PlaybackPace{1, 25};
  QTest::newRow("8x: two steps of 12.5 ms") << 100 << 32 << PlaybackPace{2, 25};
  QTest::newRow("16x: four steps of 6.25 ms") << 100 << 64 << PlaybackPace{4, 25};
  QTest::newRow("16x of 40 ms: eight steps") << 40 << 64 << PlaybackPace{8, 20};
  QTest::newRow("16x of 83 ms: rounded to the millisecond") << 83 << 64 << PlaybackPace{4, 21};
  QTest::newRow("0.25x never skips") << 1 << 1 << PlaybackPace{1, 4};
  QTest::newRow("no interval") << 0 << 64 << PlaybackPace{1, 0};
}

void TestViewerActions::paceAtEachSpeed() {
  QFETCH(int, playInterval);
  QFETCH(int, speed);
  QFETCH(PlaybackPace, pace);
  QCOMPARE(sonalyt::app::PaceFor(playInterval, speed, sonalyt::app::kMinTurnMilliseconds), pace);
  // The pace is kept: the turn lasts its steps' share of the recording,
  // within half a millisecond.
  if (playInterval > 0) {
    const double wanted = pace.StepsPerTurn * playInterval * 4.0 / speed;
    QVERIFY2(std::abs(pace.IntervalMs - wanted) <= 0.5, qPrintable(QString::number(wanted)));
  }
}

void TestViewerActions::speedKeysSetTheInterval_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("checked");
  QTest::addColumn<int>("interval");
  // Five frames a record: PlayInterval 250 ms.
  QTest::newRow("1x at start") << "" << "Speed4" << 250;
  QTest::newRow("[ 0.5x") << "[" << "Speed2" << 500;
  QTest::newRow("[[ 0.25x") << "[[" << "Speed1" << 1000;
  QTest::newRow("[[[ stays at 0.25x") << "[[[" << "Speed1" << 1000;
  QTest::newRow("] 2x") << "]" << "Speed8" << 125;
  QTest::newRow("]] 4x") << "]]" << "Speed16" << 63;
  QTest::newRow("[] back to 1x") << "[]" << "Speed4" << 250;
}

void TestViewerActions::speedKeysSetTheInterval() {
  QFETCH(QString, keys);
  QFETCH(QString, checked);
  QFETCH(int, interval);
  Window w;
  w.Form().OpenFile(Seven());
  QCOMPARE(w.Form().Session().PlayInterval(), 250);
  for (QChar c : keys) w.Key(c == QLatin1Char('[') ? Qt::Key_BracketLeft : Qt::Key_BracketRight);
  QCOMPARE(w.Form().CurrentPace(), (PlaybackPace{1, interval}));
  QVERIFY(w.Action(qPrintable(checked)).isChecked());
  const QList<QAction*> items = Child<QMenu>(w.Form(), "SpeedMenu")->actions();
  QCOMPARE(std::count_if(items.begin(), items.end(), [](const QAction* a) { return a->isChecked(); }),
           1);
}

void TestViewerActions::fastPlaybackSkipsFramesAndKeepsTheEnd() {
  // Two records of 26 frames: 40 ms at 1x, 2.5 ms a frame at 16x, so each
  // turn of the thread runs at least eight steps and shows one frame.
  RecordingShape shape;
  shape.Records = 2;
  shape.Frames = 26;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("fast.DAT"), shape));
  for (int i = 0; i < 6; ++i) w.Key(Qt::Key_BracketRight);
  QVERIFY(w.Action("Speed64").isChecked());
  const PlaybackPace pace = w.Form().CurrentPace();
  QVERIFY(pace.StepsPerTurn >= 8);
  QVERIFY(std::abs(pace.IntervalMs - pace.StepsPerTurn * 2.5) <= 0.5);

  TDrawWaveThread& thread = w.Form().PlaybackThread();
  QSignalSpy turns(&thread, &TDrawWaveThread::StepRan);
  QSignalSpy shown(&w.Form(), &TMainForm::FrameShown);
  w.Play().click();
  QTRY_VERIFY_WITH_TIMEOUT(thread.PlayedToEnd, 20000);
  // 26 steps at 1x; here at most four turns, each showing the frame it
  // ended on (and the last frame of record 0 before record 1 replaced it).
  QVERIFY2(turns.count() <= 4, qPrintable(QString::number(turns.count())));
  QVERIFY(shown.count() <= 5);
  // The same end as at 1x: frame 0 of the last record on screen.
  QCOMPARE(w.Position(), QStringLiteral("drawn 100, record 2, frame 1"));
  QCOMPARE(w.Form().Shown(), (ShownPosition{1, 0}));
}

// ---------------------------------------------------------------------------
// Keyboard

void TestViewerActions::shortcuts_data() {
  QTest::addColumn<QList<QKeyCombination>>("keys");
  QTest::addColumn<QString>("position");
  QTest::addColumn<bool>("playing");
  // Seven records of five frames; right after the open frame 0 of record 0
  // is on screen with the cursors at record 1, frame 1.
  using K = QList<QKeyCombination>;
  QTest::newRow("Right: next frame") << K{Qt::Key_Right} << "drawn 2, record 1, frame 2" << false;
  QTest::newRow("Left: nothing while Previous is disabled") << K{Qt::Key_Left} << "drawn 0, record 1, frame 1" << false;
  QTest::newRow("Right, Left: previous frame") << K{Qt::Key_Right, Qt::Key_Left} << "drawn 1, record 1, frame 1" << false;
  QTest::newRow("Page Down: next record") << K{Qt::Key_PageDown} << "drawn 100, record 1, frame 0" << false;
  QTest::newRow("Page Down twice") << K{Qt::Key_PageDown, Qt::Key_PageDown} << "drawn 200, record 2, frame 0" << false;
  QTest::newRow("End: last record") << K{Qt::Key_End} << "drawn 600, record 6, frame 0" << false;
  QTest::newRow("Page Down at the last record stays") << K{Qt::Key_End, Qt::Key_PageDown} << "drawn 600, record 6, frame 0" << false;
  QTest::newRow("Page Up: previous record") << K{Qt::Key_End, Qt::Key_PageUp} << "drawn 500, record 5, frame 0" << false;
  QTest::newRow("Page Up in record 0 goes to its frame 0") << K{Qt::Key_Right, Qt::Key_PageUp} << "drawn 0, record 0, frame 0" << false;
  QTest::newRow("Home: first record") << K{Qt::Key_End, Qt::Key_Right, Qt::Key_Home} << "drawn 0, record 0, frame 0" << false;
  QTest::newRow("Space: play") << K{Qt::Key_Space} << "" << true;
  QTest::newRow("Space twice: play and stop") << K{Qt::Key_Space, Qt::Key_Space} << "drawn 0, record 1, frame 1" << false;
  // During playback a record key plays on from the record it shows.
  QTest::newRow("Space, End: plays on from the last record") << K{Qt::Key_Space, Qt::Key_End} << "drawn 600, record 7, frame 1" << true;
}

void TestViewerActions::shortcuts() {
  QFETCH(QList<QKeyCombination>, keys);
  QFETCH(QString, position);
  QFETCH(bool, playing);
  Window w;
  w.Form().OpenFile(Seven());
  for (QKeyCombination key : keys) w.Key(key);
  // What the thread did meanwhile is not part of the comparison.
  w.Form().PlaybackThread().Suspend();
  QCOMPARE(w.Play().text() != kPlay, playing);
  if (!position.isEmpty()) QCOMPARE(w.Position(), position);
}

void TestViewerActions::shortcutsListedInMenus() {
  Window w;
  const struct {
    const char* action;
    QKeySequence key;
  } rows[] = {
      {"OpenItem", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {"PrintItem", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {"AboutItem", QKeySequence(Qt::Key_F1)},
      {"PlayItem", QKeySequence(Qt::Key_Space)},
      {"PreviousFrameItem", QKeySequence(Qt::Key_Left)},
      {"NextFrameItem", QKeySequence(Qt::Key_Right)},
      {"PreviousRecordItem", QKeySequence(Qt::Key_PageUp)},
      {"NextRecordItem", QKeySequence(Qt::Key_PageDown)},
      {"FirstRecordItem", QKeySequence(Qt::Key_Home)},
      {"LastRecordItem", QKeySequence(Qt::Key_End)},
      {"GoToItem", QKeySequence(Qt::CTRL | Qt::Key_G)},
      {"SlowerItem", QKeySequence(Qt::Key_BracketLeft)},
      {"FasterItem", QKeySequence(Qt::Key_BracketRight)},
  };
  for (const auto& row : rows) {
    QAction& action = w.Action(row.action);
    QVERIFY2(action.shortcut() == row.key, row.action);
    // An item of a menu, where the key is shown beside it.
    QVERIFY2(qobject_cast<QMenu*>(action.associatedObjects().value(0)) != nullptr, row.action);
  }
  QStringList menus;
  for (QAction* a : w.Form().menuBar()->actions()) menus << a->text();
  QCOMPARE(menus, (QStringList{QStringLiteral("文件(&F)"), QStringLiteral("播放(&P)"),
                               QStringLiteral("视图(&V)"), QStringLiteral("分析(&A)"),
                               QStringLiteral("语言(&L)"), QStringLiteral("帮助")}));
}

void TestViewerActions::windowShortcuts() {
  Window w;
  sonalyt::app::TAboutForm about(&w.Form());
  w.Form().SetAboutForm(&about);
  int reports = 0;
  w.Form().SetReportPresenter([&reports] { ++reports; });

  // Ctrl+O shows the open dialog; F1 the About window.
  QString shown;
  OnNextModal([&shown](QWidget* modal) {
    shown = modal->objectName();
    qobject_cast<QDialog*>(modal)->reject();
  });
  w.Key(Qt::CTRL | Qt::Key_O);
  QCOMPARE(shown, QStringLiteral("FileOpenDialog"));
  OnNextModal([&shown](QWidget* modal) {
    shown = modal->windowTitle();
    qobject_cast<QDialog*>(modal)->reject();
  });
  w.Key(Qt::Key_F1);
  QCOMPARE(shown, QStringLiteral("关于"));

  // Ctrl+P prints only when Print could be pressed.
  w.Key(Qt::CTRL | Qt::Key_P);
  QCOMPARE(reports, 0);
  w.Form().OpenFile(Seven());
  w.Key(Qt::CTRL | Qt::Key_P);
  QCOMPARE(reports, 1);
  // During playback Print is not available, as the button is not.
  w.Key(Qt::Key_Space);
  QVERIFY(w.Form().Playing());
  w.Key(Qt::CTRL | Qt::Key_P);
  QCOMPARE(reports, 1);

  // Ctrl+G goes to record 3, frame 2.
  OnNextModal([](QWidget* modal) {
    Child<QLineEdit>(*modal, "GoToField")->setText(QStringLiteral("3/2"));
    qobject_cast<QDialog*>(modal)->accept();
  });
  w.Key(Qt::CTRL | Qt::Key_G);
  QCOMPARE(w.Position(), QStringLiteral("drawn 201, record 2, frame 1"));
  QVERIFY(!w.Form().Playing());  // Go to pauses playback, as Open and Print do
  QCOMPARE(w.Play().text(), kPlay);
}

void TestViewerActions::focusedControlsKeepTheirKeys() {
  Window w;
  w.Form().OpenFile(Seven());

  // The focused track bar moves on its arrow and End keys as it always has:
  // Right loads record 1, End is the end of the bar (record 0).
  w.TrackBar().setFocus();
  w.Key(Qt::Key_Right, &w.TrackBar());
  QCOMPARE(w.Position(), QStringLiteral("drawn 100, record 1, frame 0"));
  w.Key(Qt::Key_End, &w.TrackBar());
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 0, frame 0"));
  QCOMPARE(w.TrackBar().value(), 0);

  // A focused button takes Space for itself: Next, not Play.
  w.Next().setFocus();
  w.Key(Qt::Key_Space, &w.Next());
  QVERIFY(!w.Form().Playing());
  QCOMPARE(w.Drawn(), FrameId(0, 1));

  // The focused note list moves its selection (a click on that note).
  w.Notes().setFocus();
  w.Notes().setCurrentRow(0);
  w.Form().PlaybackThread().Suspend();
  w.Key(Qt::Key_Down, &w.Notes());
  w.Form().PlaybackThread().Suspend();
  QCOMPARE(w.Notes().currentRow(), 1);
  QCOMPARE(w.Drawn(), FrameId(4, 0));

  // Elsewhere the keys are the shortcuts again.
  Child<QWidget>(w.Form(), "ClientArea")->setFocus();
  w.Key(Qt::Key_End);
  QCOMPARE(w.Drawn(), FrameId(6, 0));
}

// ---------------------------------------------------------------------------
// Go to

void TestViewerActions::parseGoTo_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<GoToTarget>("target");
  QTest::addColumn<QString>("message");  // part of the message when refused
  // 120 records.
  QTest::newRow("record") << "12" << GoToTarget{11, 0} << "";
  QTest::newRow("record/frame") << "12/3" << GoToTarget{11, 2} << "";
  QTest::newRow("record, frame with blanks") << " 12 , 3 " << GoToTarget{11, 2} << "";
  QTest::newRow("record frame") << "12 3" << GoToTarget{11, 2} << "";
  QTest::newRow("last record") << "120" << GoToTarget{119, 0} << "";
  QTest::newRow("time") << "01:30" << GoToTarget{90, 0} << "";
  QTest::newRow("time without leading zero") << "0:05" << GoToTarget{5, 0} << "";
  QTest::newRow("last second") << "01:59" << GoToTarget{119, 0} << "";
  QTest::newRow("record 0") << "0" << GoToTarget{} << "1 到 120";
  QTest::newRow("record past the end") << "121" << GoToTarget{} << "1 到 120";
  QTest::newRow("huge record") << "99999999999" << GoToTarget{} << "1 到 120";
  QTest::newRow("frame 0") << "3/0" << GoToTarget{} << "帧须从 1 起";
  QTest::newRow("time past the end") << "02:00" << GoToTarget{} << "00:00 到 01:59";
  QTest::newRow("seconds past 59") << "00:75" << GoToTarget{} << "0 到 59";
  QTest::newRow("not a position") << "abc" << GoToTarget{} << "01:30";
  QTest::newRow("negative") << "-3" << GoToTarget{} << "01:30";
  QTest::newRow("empty") << "" << GoToTarget{} << "01:30";
}

void TestViewerActions::parseGoTo() {
  QFETCH(QString, text);
  QFETCH(GoToTarget, target);
  QFETCH(QString, message);
  const auto parsed = sonalyt::app::ParseGoTo(text, 120);
  if (message.isEmpty()) {
    QVERIFY(std::holds_alternative<GoToTarget>(parsed));
    QCOMPARE(std::get<GoToTarget>(parsed), target);
  } else {
    QVERIFY(std::holds_alternative<QString>(parsed));
    QVERIFY2(std::get<QString>(parsed).contains(message), qPrintable(std::get<QString>(parsed)));
  }
}

void TestViewerActions::goToMovesOrSaysWhatIsAllowed_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("result");  // the position, or part of the message
  // Seven records of five frames, frame 1 of record 1 on screen: frames
  // of the record on screen and of other records are checked.
  QTest::newRow("record and frame") << "5/4" << "drawn 403, record 4, frame 3";
  QTest::newRow("last frame slot") << "6/5" << "drawn 504, record 5, frame 4";
  QTest::newRow("frame of the record on screen") << "1/4" << "drawn 3, record 0, frame 3";
  QTest::newRow("time") << "00:06" << "drawn 600, record 6, frame 0";
  QTest::newRow("frame past another record") << "2/6" << "1 到 5";
  QTest::newRow("frame past the record on screen") << "1/6" << "1 到 5";
  QTest::newRow("record past the end") << "8" << "1 到 7";
  QTest::newRow("not a position") << "x" << "01:30";
}

void TestViewerActions::goToMovesOrSaysWhatIsAllowed() {
  QFETCH(QString, text);
  QFETCH(QString, result);
  RecordingShape shape;
  shape.Records = 7;
  Window w;
  w.Form().OpenFile(Recording(QStringLiteral("goto.DAT"), shape));
  w.Form().RzButtonNextClick();
  const QString before = w.Position();

  QString message;
  bool stayedOpen = false;
  OnNextModal([&](QWidget* modal) {
    Child<QLineEdit>(*modal, "GoToField")->setText(text);
    qobject_cast<QDialog*>(modal)->accept();
    stayedOpen = modal->isVisible();
    message = Child<QLabel>(*modal, "GoToMessage")->text();
    if (stayedOpen) qobject_cast<QDialog*>(modal)->reject();
  });
  w.Action("GoToItem").trigger();
  if (result.startsWith(QStringLiteral("drawn"))) {
    QVERIFY(!stayedOpen);
    QCOMPARE(w.Position(), result);
    QVERIFY(!w.Form().Playing());
  } else {
    QVERIFY(stayedOpen);
    QVERIFY2(message.contains(result), qPrintable(message));
    QCOMPARE(w.Position(), before);  // nothing moved
  }
}

// ---------------------------------------------------------------------------
// Status bar and title

void TestViewerActions::statusBarAfterPlaybackAndMoves() {
  Window w;
  QCOMPARE(w.Form().windowTitle(), QStringLiteral("Sonalyt"));
  QCOMPARE(w.Status(), (QStringList{{}, {}, {}, {}}));
  const QString path = Seven();
  w.Form().OpenFile(path);
  QCOMPARE(w.Form().windowTitle(), QStringLiteral("seven.DAT - Sonalyt"));
  const QString file = QDir::toNativeSeparators(path);
  QCOMPARE(w.Status(), (QStringList{QStringLiteral("记录 1 / 7"), QStringLiteral("帧 1"),
                                    QStringLiteral("约 00:00"), file}));

  // Playback: the frame on screen, not the cursors that point past it.
  for (int i = 0; i < 6; ++i) w.Form().PlaybackStep();
  QCOMPARE(w.Position(), QStringLiteral("drawn 101, record 2, frame 2"));
  QCOMPARE(w.Status().mid(0, 3), (QStringList{QStringLiteral("记录 2 / 7"), QStringLiteral("帧 2"),
                                              QStringLiteral("约 00:01")}));
  // The extra interval keeps the frame on screen.
  for (int i = 0; i < 3; ++i) w.Form().PlaybackStep();
  QCOMPARE(w.Drawn(), FrameId(1, 3));
  QCOMPARE(w.Status().at(1), QStringLiteral("帧 4"));

  w.Form().RzButtonUpClick();
  QCOMPARE(w.Status().mid(0, 2), (QStringList{QStringLiteral("记录 2 / 7"), QStringLiteral("帧 4")}));
  w.TrackBar().setSliderPosition(5);
  QCoreApplication::sendPostedEvents(&w.Form(), QEvent::MetaCall);
  QCOMPARE(w.Status().mid(0, 3), (QStringList{QStringLiteral("记录 6 / 7"), QStringLiteral("帧 1"),
                                              QStringLiteral("约 00:05")}));
  w.Notes().setCurrentRow(0);  // a note click: record 2
  w.Form().PlaybackThread().Suspend();
  QCOMPARE(w.Status().at(0), QStringLiteral("记录 3 / 7"));

  QCOMPARE(sonalyt::app::RecordTime(4503), QStringLiteral("75:03"));

  // A file that cannot be read changes neither the title nor the status.
  const QStringList status = w.Status();
  QString message;
  DismissNextMessageBox(&message);
  w.Form().OpenFile(dir_.filePath(QStringLiteral("missing.DAT")));
  QCOMPARE(w.Form().windowTitle(), QStringLiteral("seven.DAT - Sonalyt"));
  QCOMPARE(w.Status(), status);
}

// ---------------------------------------------------------------------------
// Recent files and drag and drop

void TestViewerActions::recentFilesOrderAndLimit() {
  QStringList paths;
  for (int i = 0; i < 10; ++i) {
    RecordingShape shape;
    shape.Records = 1;
    paths << Recording(QStringLiteral("r%1.DAT").arg(i), shape);
  }
  {
    Window w;
    for (const QString& path : paths) w.Form().OpenFile(path);
    w.Form().OpenFile(paths.at(5));  // again: to the top, not twice
    const QStringList expected = {paths[5], paths[9], paths[8], paths[7],
                                  paths[6], paths[4], paths[3], paths[2]};
    QCOMPARE(w.Form().Actions().Recent().Files(), expected);
    QCOMPARE(Child<QAction>(w.Form(), "RecentFile1")->text(),
             QStringLiteral("&1 ") + QDir::toNativeSeparators(paths[5]));
  }
  // Kept for the next start, and opened from the menu.
  Window w;
  QCOMPARE(w.Form().Actions().Recent().Files().size(), 8);
  QCOMPARE(w.Form().Actions().Recent().Files().constFirst(), paths[5]);
  Child<QAction>(w.Form(), "RecentFile3")->trigger();
  QCOMPARE(w.Form().FilePath(), paths[8]);
  QCOMPARE(w.Form().Actions().Recent().Files().constFirst(), paths[8]);

  Child<QAction>(w.Form(), "ClearRecentFiles")->trigger();
  QVERIFY(w.Form().Actions().Recent().Files().isEmpty());
  QVERIFY(QSettings().value(QStringLiteral("RecentFiles")).toStringList().isEmpty());

  QCOMPARE(sonalyt::app::WithRecentFile({QStringLiteral("/a/b.DAT")}, QStringLiteral("/a/./b.DAT")),
           QStringList{QStringLiteral("/a/b.DAT")});
}

void TestViewerActions::recentFileThatNoLongerExists() {
  Window w;
  const QString seven = Seven();
  RecordingShape shape;
  const QString gone = Recording(QStringLiteral("gone.DAT"), shape);
  w.Form().OpenFile(gone);
  w.Form().OpenFile(seven);
  QVERIFY(QFile::remove(gone));

  QString message;
  DismissNextMessageBox(&message);
  Child<QAction>(w.Form(), "RecentFile2")->trigger();
  QVERIFY2(message.contains(QDir::toNativeSeparators(gone)), qPrintable(message));
  QCOMPARE(w.Form().Actions().Recent().Files(), QStringList{seven});
  QCOMPARE(QSettings().value(QStringLiteral("RecentFiles")).toStringList(), QStringList{seven});
  // The open recording is untouched.
  QCOMPARE(w.Form().FilePath(), seven);
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));
}

void TestViewerActions::dropOpensRecording() {
  Window w;
  const QString path = Seven();
  auto drop = [&w](const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.Form(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.Form(), &dropped);
    return true;
  };

  QVERIFY(!drop({QUrl(QStringLiteral("https://example.invalid/a.DAT"))}));
  QVERIFY(drop({QUrl::fromLocalFile(path)}));
  QCOMPARE(w.Form().FilePath(), path);
  QCOMPARE(w.Position(), QStringLiteral("drawn 0, record 1, frame 1"));

  // A file that is not a recording: the message File, Open gives.
  const QString empty = dir_.filePath(QStringLiteral("empty.DAT"));
  QFile(empty).open(QIODevice::WriteOnly);
  QString fromDrop;
  DismissNextMessageBox(&fromDrop);
  QVERIFY(drop({QUrl::fromLocalFile(empty)}));
  QString fromOpen;
  DismissNextMessageBox(&fromOpen);
  w.Form().OpenFile(empty);
  QCOMPARE(fromDrop, fromOpen);
  QVERIFY(fromDrop.contains(QDir::toNativeSeparators(empty)));
  QCOMPARE(w.Form().FilePath(), path);
}

// ---------------------------------------------------------------------------
// Large A-scan

void TestViewerActions::largeAScanMatchesMainPicture() {
  const QString demo = QStringLiteral(SONALYT_DEMO_RECORDING);
  Window w;
  w.Form().OpenFile(demo);
  // Record 50 has the defect echo, the DAC curve with its lines and the gates.
  w.Form().JumpTo(50, 3);
  const std::optional<FrameSnapshot> shot = sonalyt::app::SnapshotOfShownFrame(w.Form().Session());
  QVERIFY(shot.has_value());

  // The main picture's drawing of the same frame, by a session of its own.
  sonalyt::session::ViewerSession session;
  QVERIFY(session.OpenRecording(demo.toStdString()));
  session.LoadGoverningParameters(50);
  session.CurrentRecord = 50;
  session.LoadRecord();
  RecordingCanvas mainWave(306, 245);
  QVERIFY(session.DrawFrame(3, mainWave));
  QVERIFY(mainWave.Ops().size() > 10);
  RecordingCanvas mainAmplitude(21, 265);
  sonalyt::display::DrawAmplitudeScale(mainAmplitude, 245);
  RecordingCanvas mainRange(306, 21);
  session.DrawRangeScale(mainRange);

  RecordingCanvas wave(306, 245);
  RecordingCanvas amplitude(21, 265);
  RecordingCanvas range(306, 21);
  sonalyt::app::DrawLargeAScan(shot, wave, amplitude, range);
  QCOMPARE(wave.Ops(), mainWave.Ops());
  QCOMPARE(amplitude.Ops(), mainAmplitude.Ops());
  QCOMPARE(range.Ops(), mainRange.Ops());

  // On screen, at the main window's size, pixel for pixel.
  LargeAScanWindow& large = w.Form().Actions().LargeAScan();
  w.Action("LargeAScanItem").trigger();
  QVERIFY(large.isVisible());
  large.resize(306 + 20, 245 + 20);
  QTRY_COMPARE(large.WaveImage().size(), QSize(306, 245));
  QCOMPARE(Rgb(large.WaveImage()), Picture(w.Form()));
  QCOMPARE(Rgb(large.RangeImage()), Picture(w.Form(), "EchoRangeImage"));
  QCOMPARE(Rgb(large.AmplitudeImage()), Picture(w.Form(), "EchoWaveImage"));
}

void TestViewerActions::largeAScanFollowsFramesAndSize() {
  Window w;
  LargeAScanWindow& large = w.Form().Actions().LargeAScan();
  QAction& item = w.Action("LargeAScanItem");
  item.trigger();
  QVERIFY(large.isVisible());
  large.resize(306 + 20, 245 + 20);
  QTRY_COMPARE(large.WaveImage().size(), QSize(306, 245));
  // The empty screen before a recording.
  QCOMPARE(Rgb(large.WaveImage()), Picture(w.Form()));

  w.Form().OpenFile(Seven());
  QCOMPARE(Rgb(large.WaveImage()), Picture(w.Form()));
  const QImage first = Rgb(large.WaveImage());
  w.Form().PlaybackStep();
  QVERIFY(Rgb(large.WaveImage()) != first);
  QCOMPARE(Rgb(large.WaveImage()), Picture(w.Form()));
  w.Key(Qt::Key_End);
  QCOMPARE(Rgb(large.WaveImage()), Picture(w.Form()));

  // Any size: the picture fills the window beside its scales.
  large.resize(900, 620);
  QTRY_COMPARE(large.WaveImage().size(), QSize(880, 600));
  QCOMPARE(large.AmplitudeImage().size(), QSize(21, 620));
  QCOMPARE(large.RangeImage().size(), QSize(880, 21));
  // The main window's picture stays as it is.
  QCOMPARE(Picture(w.Form()).size(), QSize(306, 245));

  // Closing the window unticks its menu item.
  large.close();
  QVERIFY(!item.isChecked());
  item.trigger();
  QVERIFY(large.isVisible());
  item.trigger();
  QVERIFY(!large.isVisible());
}

// ---------------------------------------------------------------------------

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // Settings of this run only.
  QTemporaryDir settings;
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  QApplication::setOrganizationName(QStringLiteral("SonalytTest"));
  QApplication::setApplicationName(QStringLiteral("Sonalyt"));
  TestViewerActions test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_viewer_actions.moc"
