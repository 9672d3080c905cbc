// The Go to window: one field that takes a record and frame ("12/3", or
// "12" for its first frame) or a time "mm:ss" at one record per second
// ("01:30" is the record that starts at 90 s). Records and frames are
// counted from 1, as in the status bar.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <variant>

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace sonalyt::recording {
class RecordingFile;
}

namespace sonalyt::app {

// A target as indices from 0.
struct GoToTarget {
  std::int32_t Record = 0;
  std::int32_t Frame = 0;
  bool operator==(const GoToTarget&) const = default;
};
void PrintTo(const GoToTarget& target, std::ostream* os);

// The text of the field read as a target, or why it is not one: a text that
// is not a position, or a record outside 1..recordCount. The frame is
// checked against its record by the caller (records may differ in length).
std::variant<GoToTarget, QString> ParseGoTo(const QString& text, std::int32_t recordCount);

// The frames of record (from 0) of the open recording, to check a frame
// against; 0 when it cannot be read.
using FrameCounter = std::function<std::int32_t(std::int32_t record)>;

// Counts the frames of records of a recording file through a reader of its
// own, so that checking a target leaves the open recording's buffers and
// cursors alone. The file is opened on the first count.
class RecordFrameCounter {
 public:
  explicit RecordFrameCounter(QString path);
  ~RecordFrameCounter();
  std::int32_t operator()(std::int32_t record);

 private:
  QString path_;
  std::shared_ptr<recording::RecordingFile> file_;
};

class GoToDialog : public QDialog {
  Q_OBJECT
 public:
  GoToDialog(std::int32_t recordCount, FrameCounter frames, QWidget* parent = nullptr);

  // The accepted target (after exec() returned Accepted).
  GoToTarget Target() const { return target_; }

  void accept() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void Retranslate();

  std::int32_t recordCount_;
  FrameCounter frames_;
  GoToTarget target_;
  QLineEdit* field_;
  QLabel* message_;
  QLabel* prompt_;
  QDialogButtonBox* buttons_;
  // The message shown under the field, or nothing: a language change sets
  // it again in the new language.
  std::function<QString()> shownMessage_;
};

}  // namespace sonalyt::app
