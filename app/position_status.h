// The status bar of the main window: the position of the frame on screen
// (record r of n, frame k, the time at one record per second) and the name
// of the open file. Records and frames are counted from 1 for the reader,
// as in the Go to window.
#pragma once

#include <cstdint>
#include <iosfwd>

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace sonalyt::app {

// A position shown to the user: record and frame indices from 0, as the
// session counts them.
struct ShownPosition {
  std::int32_t Record = -1;  // -1: nothing shown yet
  std::int32_t Frame = -1;
  bool operator==(const ShownPosition&) const = default;
};
void PrintTo(const ShownPosition& position, std::ostream* os);

// "mm:ss" of the start of record (from 0) at one record per second; the
// minutes are not wrapped into hours ("75:03").
QString RecordTime(std::int32_t record);

struct PositionTexts {
  QString Record;  // "记录 12 / 120"
  QString Frame;   // "帧 3"
  QString Time;    // "约 00:11"
  bool operator==(const PositionTexts&) const = default;
};

// The texts for position in a recording of recordCount records; empty texts
// before any frame is shown.
PositionTexts PositionTextsFor(ShownPosition position, std::int32_t recordCount);

// The labels of the status bar, kept up to date by the window.
class PositionStatus : public QObject {
  Q_OBJECT
 public:
  explicit PositionStatus(QStatusBar* bar);

  void ShowPosition(ShownPosition position, std::int32_t recordCount);
  void ShowFileName(const QString& fileName);

  // The texts on show, in order: record, frame, time, file name.
  QStringList Texts() const;

 private:
  QLabel* record_;
  QLabel* frame_;
  QLabel* time_;
  QLabel* file_;
};

}  // namespace sonalyt::app
