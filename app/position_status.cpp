#include "app/position_status.h"

#include <ostream>

#include <QLabel>
#include <QStatusBar>
#include <QStringList>

namespace sonalyt::app {

void PrintTo(const ShownPosition& p, std::ostream* os) {
  *os << "{Record=" << p.Record << " Frame=" << p.Frame << "}";
}

QString RecordTime(std::int32_t record) {
  const std::int32_t seconds = record < 0 ? 0 : record;
  return QStringLiteral("%1:%2")
      .arg(seconds / 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

PositionTexts PositionTextsFor(ShownPosition position, std::int32_t recordCount) {
  if (position.Record < 0 || position.Frame < 0) return {};
  return {PositionStatus::tr("记录 %1 / %2").arg(std::int64_t{position.Record} + 1).arg(recordCount),
          PositionStatus::tr("帧 %1").arg(std::int64_t{position.Frame} + 1),
          PositionStatus::tr("约 %1").arg(RecordTime(position.Record))};
}

PositionStatus::PositionStatus(QStatusBar* bar) : QObject(bar) {
  auto label = [bar](const char* name, int stretch) {
    auto* l = new QLabel(bar);
    l->setObjectName(QString::fromLatin1(name));
    bar->addWidget(l, stretch);
    return l;
  };
  record_ = label("StatusRecord", 0);
  frame_ = label("StatusFrame", 0);
  time_ = label("StatusTime", 0);
  file_ = label("StatusFile", 1);
  file_->setTextFormat(Qt::PlainText);
  // Room for long recordings, so that the file name does not jump about
  // during playback.
  const auto widthOf = [this](const QString& sample) {
    return record_->fontMetrics().horizontalAdvance(sample);
  };
  record_->setMinimumWidth(widthOf(QStringLiteral("记录 000000 / 000000")));
  frame_->setMinimumWidth(widthOf(QStringLiteral("帧 0000")));
  time_->setMinimumWidth(widthOf(QStringLiteral("约 0000:00")));
}

void PositionStatus::ShowPosition(ShownPosition position, std::int32_t recordCount) {
  const PositionTexts texts = PositionTextsFor(position, recordCount);
  record_->setText(texts.Record);
  frame_->setText(texts.Frame);
  time_->setText(texts.Time);
}

void PositionStatus::ShowFileName(const QString& fileName) { file_->setText(fileName); }

QStringList PositionStatus::Texts() const {
  return {record_->text(), frame_->text(), time_->text(), file_->text()};
}

}  // namespace sonalyt::app
