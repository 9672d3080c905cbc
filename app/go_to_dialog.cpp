#include "app/go_to_dialog.h"

#include <limits>
#include <ostream>

#include <QDialogButtonBox>
#include <QEvent>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QFile>
#include <QVBoxLayout>

#include "recording/recording_file.h"

namespace sonalyt::app {
namespace {

// A whole number that fits in 32 bits; nullopt otherwise.
std::optional<std::int64_t> Number(const QString& text) {
  bool ok = false;
  const qlonglong v = text.toLongLong(&ok);
  if (!ok || v > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return v;
}

}  // namespace

void PrintTo(const GoToTarget& t, std::ostream* os) {
  *os << "{Record=" << t.Record << " Frame=" << t.Frame << "}";
}

std::variant<GoToTarget, QString> ParseGoTo(const QString& text, std::int32_t recordCount) {
  const QString recordRange =
      GoToDialog::tr("记录须在 1 到 %1 之间。").arg(recordCount);
  static const QRegularExpression time(QStringLiteral("^(\\d{1,6}):(\\d{1,2})$"));
  static const QRegularExpression recordFrame(QStringLiteral("^(\\d+)(?:\\s*[/,\\s／，]\\s*(\\d+))?$"));
  const QString t = text.trimmed();

  if (const auto m = time.match(t); m.hasMatch()) {
    const std::int64_t minutes = m.captured(1).toLongLong();
    const std::int64_t seconds = m.captured(2).toLongLong();
    if (seconds > 59) return GoToDialog::tr("秒须在 0 到 59 之间。");
    const std::int64_t record = minutes * 60 + seconds;
    if (record >= recordCount) {
      return GoToDialog::tr("时间须在 00:00 到 %1 之间。")
          .arg(QStringLiteral("%1:%2")
                   .arg((recordCount - 1) / 60, 2, 10, QLatin1Char('0'))
                   .arg((recordCount - 1) % 60, 2, 10, QLatin1Char('0')));
    }
    return GoToTarget{static_cast<std::int32_t>(record), 0};
  }
  if (const auto m = recordFrame.match(t); m.hasMatch()) {
    const auto record = Number(m.captured(1));
    if (!record || *record < 1 || *record > recordCount) return recordRange;
    std::int64_t frame = 1;
    if (m.hasCaptured(2)) {
      const auto f = Number(m.captured(2));
      if (!f || *f < 1) return GoToDialog::tr("帧须从 1 起。");
      frame = *f;
    }
    return GoToTarget{static_cast<std::int32_t>(*record - 1), static_cast<std::int32_t>(frame - 1)};
  }
  return GoToDialog::tr("请输入“记录/帧”（如 12/3）、记录号（如 12）或时间“分:秒”（如 01:30）。");
}

RecordFrameCounter::RecordFrameCounter(QString path) : path_(std::move(path)) {}

RecordFrameCounter::~RecordFrameCounter() = default;

std::int32_t RecordFrameCounter::operator()(std::int32_t record) {
  if (!file_) {
    auto file = std::make_shared<recording::RecordingFile>();
    if (!file->OpenRecording(QFile::encodeName(path_).toStdString())) return 0;
    file_ = std::move(file);
  }
  if (record < 0 || static_cast<std::size_t>(record) >= file_->RecordIndex().size()) return 0;
  recording::ParameterBlock scratch{};
  file_->LoadRecord(record, scratch);
  return file_->FramesInRecord();
}

GoToDialog::GoToDialog(std::int32_t recordCount, FrameCounter frames, QWidget* parent)
    : QDialog(parent), recordCount_(recordCount), frames_(std::move(frames)) {
  setObjectName(QStringLiteral("GoToDialog"));
  auto* layout = new QVBoxLayout(this);
  // The window grows with the message below the field.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  prompt_ = new QLabel(this);
  layout->addWidget(prompt_);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("GoToField"));
  field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
  prompt_->setBuddy(field_);
  layout->addWidget(field_);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("GoToMessage"));
  message_->setWordWrap(true);
  message_->setStyleSheet(QStringLiteral("color: #b00000;"));
  layout->addWidget(message_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
  layout->addWidget(buttons_);
  connect(field_, &QLineEdit::textEdited, this, [this] {
    shownMessage_ = nullptr;
    message_->clear();
  });
  Retranslate();
}

void GoToDialog::Retranslate() {
  setWindowTitle(tr("转到"));
  prompt_->setText(tr("记录/帧（1 到 %1）或时间 分:秒：").arg(recordCount_));
  field_->setPlaceholderText(tr("如 12/3 或 01:30"));
  buttons_->button(QDialogButtonBox::Ok)->setText(tr("确定"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
  message_->setText(shownMessage_ ? shownMessage_() : QString());
}

void GoToDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) Retranslate();
}

void GoToDialog::accept() {
  const auto parsed = ParseGoTo(field_->text(), recordCount_);
  const auto refuse = [this](std::function<QString()> message) {
    shownMessage_ = std::move(message);
    message_->setText(shownMessage_());
    field_->setFocus();
    field_->selectAll();
  };
  if (std::holds_alternative<QString>(parsed)) {
    // Parsed again on a language change, for the message in that language.
    refuse([this, text = field_->text()] {
      const auto again = ParseGoTo(text, recordCount_);
      const QString* why = std::get_if<QString>(&again);
      return why != nullptr ? *why : QString();
    });
    return;
  }
  const GoToTarget target = std::get<GoToTarget>(parsed);
  const std::int32_t frames = frames_ ? frames_(target.Record) : 0;
  if (target.Frame >= frames) {
    refuse([target, frames] {
      return frames > 0 ? tr("记录 %1 的帧须在 1 到 %2 之间。").arg(target.Record + 1).arg(frames)
                        : tr("记录 %1 没有可显示的帧。").arg(target.Record + 1);
    });
    return;
  }
  target_ = target;
  QDialog::accept();
}

}  // namespace sonalyt::app
