#include "qtdraw/gbk_text.h"

#include <QByteArrayView>
#include <QStringDecoder>

namespace sonalyt::qtdraw {

QString GbkToText(std::string_view gbk) {
  const QByteArrayView bytes(gbk.data(), static_cast<qsizetype>(gbk.size()));
  QStringDecoder decoder("GBK");
  if (!decoder.isValid()) return QString::fromLocal8Bit(bytes);
  return decoder.decode(bytes);
}

}  // namespace sonalyt::qtdraw
