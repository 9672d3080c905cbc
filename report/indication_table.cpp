#include "report/indication_table.h"

#include "analysis/indication_csv.h"

namespace sonalyt::report {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Length(double value, bool inch) {
  return FromUtf8(analysis::LengthText(value, inch)) + u' ' +
         QString::fromLatin1(analysis::LengthUnitText(inch));
}

}  // namespace

QStringList IndicationTable::ColumnTitles() {
  return {tr("序号"), tr("位置"),     tr("持续"),     tr("峰值幅度"), tr("超阈值"),
          tr("声程"), tr("深度"),     tr("水平距离"), tr("备注")};
}

QString IndicationTable::Text(int column, int number, const analysis::Indication& i) {
  const bool inch = i.Peak.InchUnits;
  switch (column) {
    case kNumber:
      return QString::number(number);
    case kPosition:
      return tr("记录 %1 帧 %2（%3）")
          .arg(i.PeakRecord)
          .arg(i.PeakFrame)
          .arg(FromUtf8(analysis::ClockText(i.PeakSeconds)));
    case kDuration:
      return tr("%1 帧（%2 秒）")
          .arg(i.Span.Frames)
          .arg(QString::number(i.DurationSeconds, 'f', 1));
    case kAmplitude:
      return FromUtf8(analysis::AmplitudeText(i.PeakAmplitude)) + QStringLiteral(" %");
    case kDb:
      if (!i.PeakDbOverThreshold) return QStringLiteral("—");
      return (*i.PeakDbOverThreshold > 0 ? QStringLiteral("+") : QString()) +
             FromUtf8(analysis::DbText(i.PeakDbOverThreshold)) + QStringLiteral(" dB");
    case kSoundPath:
      return Length(i.Peak.SoundPath, inch);
    case kDepth:
      return Length(i.Peak.Depth, inch);
    case kHorizontal:
      return Length(i.Peak.Horizontal, inch);
    case kNote:
      return i.Note ? FromUtf8(*i.Note) : QString();
    default:
      return {};
  }
}

QStringList IndicationTable::RowTexts(int number, const analysis::Indication& indication) {
  QStringList texts;
  for (int column = 0; column < kColumnCount; ++column) {
    texts.push_back(Text(column, number, indication));
  }
  return texts;
}

QVariant IndicationTable::SortKey(int column, int number, const analysis::Indication& i) {
  switch (column) {
    case kNumber:
    case kPosition:
      // File order is the order of the numbers.
      return number;
    case kDuration:
      return i.Span.Frames;
    case kAmplitude:
      return i.PeakAmplitude;
    case kDb:
      // No ratio sorts below every ratio.
      return i.PeakDbOverThreshold ? *i.PeakDbOverThreshold : -1e300;
    case kSoundPath:
      return i.Peak.SoundPath;
    case kDepth:
      return i.Peak.Depth;
    case kHorizontal:
      return i.Peak.Horizontal;
    case kNote:
      return Text(kNote, number, i);
    default:
      return {};
  }
}

QString IndicationTable::SpanText(const analysis::Indication& i) {
  return tr("记录 %1 帧 %2 – 记录 %3 帧 %4")
      .arg(i.Span.FirstRecord)
      .arg(i.Span.FirstFrame)
      .arg(i.Span.LastRecord)
      .arg(i.Span.LastFrame);
}

QString IndicationTable::ThresholdText(const analysis::IndicationOptions& options) {
  if (!options.Threshold) return tr("记录的闸门A阈值（闸门电平或闸门曲线）");
  return tr("满屏高度的 %1 %").arg(*options.Threshold);
}

}  // namespace sonalyt::report
