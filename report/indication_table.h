// The indication table as the inspector reads it: column titles, the texts
// of a row and the values the columns sort by. The indication list window
// and the summary page of the indication report show the same table.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "analysis/indications.h"

namespace sonalyt::report {

class IndicationTable {
  Q_DECLARE_TR_FUNCTIONS(IndicationTable)

 public:
  enum Column {
    kNumber,
    kPosition,
    kDuration,
    kAmplitude,
    kDb,
    kSoundPath,
    kDepth,
    kHorizontal,
    kNote,
    kColumnCount
  };

  static QStringList ColumnTitles();
  // number counts from 1 in file order.
  static QString Text(int column, int number, const analysis::Indication& indication);
  static QStringList RowTexts(int number, const analysis::Indication& indication);
  // What the column sorts by: numbers as numbers, the position in file order.
  static QVariant SortKey(int column, int number, const analysis::Indication& indication);
  // "记录 r 帧 k – 记录 r 帧 k": the frames the indication spans.
  static QString SpanText(const analysis::Indication& indication);
  // How the threshold of a list was chosen, for the report's summary.
  static QString ThresholdText(const analysis::IndicationOptions& options);
};

}  // namespace sonalyt::report
