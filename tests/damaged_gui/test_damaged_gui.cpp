// Damaged recordings opened through the real main window on the offscreen
// platform: every control is worked on them (track bar, previous and next,
// playback steps, the note list, the report window), the records before the
// damage show their frames, and the playback thread plays a cut-short
// recording to its end and rewinds.

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_form.h"
#include "report/report_form.h"
#include "tests/damaged/damaged_recordings.h"
#include "tools/record_encoder.h"
#include "tools/recording_writer.h"
#include "tests/app/gui_test_support.h"

using sonalyt::app::TDrawWaveThread;
using sonalyt::app::TMainForm;
namespace damaged = sonalyt::damaged;
namespace tools = sonalyt::tools;
namespace recording = sonalyt::recording;

Q_DECLARE_METATYPE(std::vector<std::uint8_t>)

namespace {

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

using sonalyt::app::testing::Child;
using sonalyt::app::testing::OnNextModal;

// The window with its report window, as the application builds them.
class Window {
 public:
  Window()
      : form_(std::make_unique<TMainForm>()),
        report_(std::make_unique<sonalyt::report::TReportForm>(
            form_->Session(), [this] { return form_->ReportTexts(); })) {
    form_->SetReportForm(report_.get());
    form_->show();
    if (!QTest::qWaitForWindowExposed(form_.get())) qFatal("window not exposed");
  }
  ~Window() {
    form_->PlaybackThread().Suspend();
    form_.reset();
  }

  TMainForm& Form() { return *form_; }
  sonalyt::session::ViewerSession& Session() { return form_->Session(); }
  QPushButton& Button(const char* name) { return *Child<QPushButton>(*form_, name); }
  QSlider& TrackBar() { return *Child<QSlider>(*form_, "ProcessTrackBar"); }
  QListWidget& Notes() { return *Child<QListWidget>(*form_, "NoteListBox"); }
  // The identity of the frame drawn last (record * 100 + frame).
  int Drawn() { return Session().FrameReadings().Reading0; }

  // A user's move of the track bar: the move, then the end of the action.
  void MoveTrackBar(int position) {
    TrackBar().setSliderPosition(position);
    QCoreApplication::sendPostedEvents(form_.get(), QEvent::MetaCall);
  }
  void ClickNote(int row) {
    QListWidget& notes = Notes();
    const QPoint at = notes.visualItemRect(notes.item(row)).center();
    QTest::mouseClick(notes.viewport(), Qt::LeftButton, {}, at);
  }
  // Print shows the report window modally; it is closed once it has drawn.
  void PrintAndClose() {
    if (!Button("btnPrint").isEnabled()) return;
    OnNextModal([](QWidget* modal) { modal->close(); });
    Button("btnPrint").click();
  }

 private:
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<sonalyt::report::TReportForm> report_;
};

std::vector<std::uint8_t> Reference() { return damaged::Bytes(damaged::SmallRecording()); }

std::vector<std::uint8_t> WithHeaderField(int record, std::size_t field, std::int32_t value) {
  std::vector<std::uint8_t> bytes = Reference();
  damaged::StoreInt32(bytes, damaged::BoundsOf(bytes)[record].Header + field, value);
  return bytes;
}

std::vector<std::uint8_t> CutInBody(int record) {
  std::vector<std::uint8_t> bytes = Reference();
  const damaged::RecordBounds r = damaged::BoundsOf(bytes)[record];
  bytes.resize((r.Header + recording::kRecordHeaderBytes + r.End) / 2);
  return bytes;
}

// Record 2 with a NoteLength of 255 over a note of two units.
std::vector<std::uint8_t> NoteLength255() {
  std::vector<tools::RecordSpec> contents = damaged::SmallRecording();
  contents[2].NoteUnits = {'x', 'y'};
  tools::RecordingWriter writer;
  for (int r = 0; r < 5; ++r) {
    if (r != 2) {
      writer.AddRecord(contents[r]);
      continue;
    }
    const auto area = tools::ParameterArea(*contents[r].Parameters, contents[r].NoteUnits);
    std::vector<std::uint8_t> decoded = tools::DecodedRecord(contents[r]);
    decoded[decoded.size() - area.size() + recording::kNoteLengthOffset] = 255;
    const auto body = tools::EncodeRecordBody(decoded);
    writer.AddRawRecord(static_cast<std::int32_t>(body.size()),
                        static_cast<std::int32_t>(area.size()), body);
  }
  return writer.Bytes();
}

std::vector<std::uint8_t> BitFlips() {
  std::vector<std::uint8_t> bytes = Reference();
  const damaged::RecordBounds r = damaged::BoundsOf(bytes)[2];
  bytes[r.Header + 20] ^= 0x10;
  bytes[r.End - 3] ^= 0x81;
  return bytes;
}

}  // namespace

class TestDamagedGui : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Write(const QString& name, const std::vector<std::uint8_t>& bytes) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
      qFatal("cannot write %s", qPrintable(path));
    }
    return path;
  }

 private slots:
  void everyControlOnDamagedFile_data();
  void everyControlOnDamagedFile();
  void tooShortForACountIsRefused();
  void trackBarTicksOverflowWithHugeRecordCount();
  void threadPlaysCutShortFileToEndAndRewinds();
};

void TestDamagedGui::everyControlOnDamagedFile_data() {
  QTest::addColumn<std::vector<std::uint8_t>>("bytes");
  QTest::addColumn<int>("indexed");  // records the scan keeps
  QTest::addColumn<int>("intact");   // records before the damage

  QTest::newRow("CutInsideBodyOfRecord3") << CutInBody(3) << 3 << 3;
  QTest::newRow("CutInsideHeaderOfRecord2")
      << [] { auto b = Reference(); b.resize(damaged::BoundsOf(b)[2].Header + 5); return b; }()
      << 2 << 2;
  QTest::newRow("BodyLengthMaxInt") << WithHeaderField(2, 0, kMaxInt) << 2 << 2;
  QTest::newRow("BodyLengthNegative") << WithHeaderField(1, 0, -1) << 1 << 1;
  QTest::newRow("BodyLengthOneBeyondPackedBuffer")
      << WithHeaderField(3, 0, recording::kPackedBufferBytes + 1) << 3 << 3;
  QTest::newRow("ParamLengthAboveDecodedLength")
      << WithHeaderField(2, 4, 3 * recording::kFrameBytes + recording::kParameterBlockBytes + 1)
      << 2 << 2;
  QTest::newRow("NoteLength255ShortArea") << NoteLength255() << 5 << 2;
  QTest::newRow("BitFlipsInRecord2") << BitFlips() << -1 << 2;
  // Counts whose track bar range is more than half the int range.
  QTest::newRow("RecordCountMaxInt") << damaged::Bytes(damaged::SmallRecording(), kMaxInt) << 5 << 5;
  QTest::newRow("RecordCountAbove2Pow30")
      << damaged::Bytes(damaged::SmallRecording(), (1 << 30) + 2) << 5 << 5;
  QTest::newRow("RecordCountNegative") << damaged::Bytes(damaged::SmallRecording(), -1) << 1 << 1;
  QTest::newRow("RecordCountOnly") << std::vector<std::uint8_t>{5, 0, 0, 0} << 0 << 0;
}

void TestDamagedGui::everyControlOnDamagedFile() {
  QFETCH(std::vector<std::uint8_t>, bytes);
  QFETCH(int, indexed);
  QFETCH(int, intact);
  Window w;
  w.Form().OpenFile(Write(QStringLiteral("damaged.DAT"), bytes));
  const auto& index = w.Session().File().RecordIndex();
  if (indexed >= 0) QCOMPARE(static_cast<int>(index.size()), indexed);
  QVERIFY(static_cast<int>(index.size()) >= intact);
  if (intact > 0) QCOMPARE(w.Drawn(), damaged::MarkedFrame(0, 0).Reading0);

  // The track bar reaches every record before the damage, below the end
  // of its range.
  const std::int64_t count = w.Session().RecordCount();
  for (int r = 0; r < intact && r < count - 1; ++r) {
    w.MoveTrackBar(r);
    QCOMPARE(w.Drawn(), damaged::MarkedFrame(r, 0).Reading0);
  }
  w.MoveTrackBar(w.TrackBar().maximum());
  w.MoveTrackBar(w.TrackBar().maximum() / 2);

  // Next to the end of what there is, then Previous back to the start.
  for (int i = 0; i < 30; ++i) w.Button("RzButtonNext").click();
  for (int i = 0; i < 30; ++i) w.Button("RzButtonUp").click();
  w.PrintAndClose();

  // Playback steps from the start: past the index too, cut where the
  // recorded count lies far beyond the file.
  w.MoveTrackBar(0);
  for (int i = 0; i < 200 && w.Session().CurrentRecord < w.Session().RecordCount(); ++i) {
    w.Form().PlaybackStep();
  }
  w.PrintAndClose();

  // A note click plays from the note's record; Previous pauses again. Only
  // a click that changes the selected line counts.
  for (int row = 0; row < w.Notes().count(); ++row) {
    if (w.Notes().currentRow() == row) continue;
    w.ClickNote(row);
    QVERIFY(w.Form().Playing());
    w.Button("RzButtonUp").click();
    QVERIFY(!w.Form().Playing());
  }
  // Opening the undamaged recording afterwards shows it whole.
  w.Form().OpenFile(Write(QStringLiteral("whole.DAT"), Reference()));
  QCOMPARE(w.Session().File().RecordIndex().size(), std::size_t{5});
  QCOMPARE(w.Notes().count(), 2);
}

// A file without a whole record count is refused with a message; the
// recording open before stays.
void TestDamagedGui::tooShortForACountIsRefused() {
  Window w;
  w.Form().OpenFile(Write(QStringLiteral("whole.DAT"), Reference()));
  for (int length : {0, 3}) {
    QString message;
    OnNextModal([&message](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) qFatal("expected a message box");
      message = box->text();
      box->buttons().constFirst()->click();
    });
    std::vector<std::uint8_t> bytes = Reference();
    bytes.resize(static_cast<std::size_t>(length));
    w.Form().OpenFile(Write(QStringLiteral("short.DAT"), bytes));
    QVERIFY(!message.isEmpty());
    QCOMPARE(w.Session().File().RecordIndex().size(), std::size_t{5});
    w.Button("RzButtonNext").click();
  }
}

// A damaged count above 2^30 gives a track bar range above half the int
// range; the style steps from tick to tick in int and would step past
// INT_MAX for ever while painting it.
void TestDamagedGui::trackBarTicksOverflowWithHugeRecordCount() {
  Window w;
  for (std::int32_t count : {(1 << 30) + 1, (1 << 30) + 2, kMaxInt}) {
    w.Form().OpenFile(Write(QStringLiteral("huge.DAT"), damaged::Bytes(damaged::SmallRecording(), count)));
    QCOMPARE(w.TrackBar().maximum(), count - 1);
    QVERIFY(!w.TrackBar().grab().isNull());
  }
}

// A recording of three records of 26 frames cut inside its second record:
// the thread plays record 0, loads the two records past the index (which
// decode the record read last again), stops at the recorded count, and a
// second Play rewinds to record 0.
void TestDamagedGui::threadPlaysCutShortFileToEndAndRewinds() {
  std::vector<tools::RecordSpec> contents(3);
  for (int r = 0; r < 3; ++r) {
    for (int f = 0; f < 26; ++f) contents[r].Frames.push_back(damaged::MarkedFrame(r, f));
  }
  contents[0].Parameters = damaged::BlockFor(0);
  std::vector<std::uint8_t> bytes = damaged::Bytes(contents);
  const damaged::RecordBounds second = damaged::BoundsOf(bytes)[1];
  bytes.resize(second.Header + recording::kRecordHeaderBytes + 10);

  Window w;
  w.Form().OpenFile(Write(QStringLiteral("cut.DAT"), bytes));
  QCOMPARE(w.Session().File().RecordIndex().size(), std::size_t{1});
  TDrawWaveThread& thread = w.Form().PlaybackThread();
  QSignalSpy ended(&thread, &TDrawWaveThread::PlayedToEndReached);
  w.Button("RzButtonPlay").click();
  QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 30000);
  QVERIFY(thread.PlayedToEnd);
  QCOMPARE(w.Session().CurrentRecord, 3);

  QSignalSpy steps(&thread, &TDrawWaveThread::StepRan);
  w.Button("RzButtonPlay").click();
  QCOMPARE(w.Session().CurrentRecord, 0);
  QTRY_VERIFY_WITH_TIMEOUT(steps.count() >= 1, 10000);
  w.Button("RzButtonPlay").click();
  QVERIFY(!w.Form().Playing());
  QCOMPARE(w.Drawn() / 100, 0);
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  TestDamagedGui test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_damaged_gui.moc"
