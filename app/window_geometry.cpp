#include "app/window_geometry.h"

#include <QStringList>
#include <QWidget>

namespace sonalyt::app {

QFont FormFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("WenQuanYi Micro Hei")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QFont BoldFont(int pixelSize) {
  QFont font = FormFont();
  font.setPixelSize(pixelSize);
  font.setBold(true);
  return font;
}

QSize ClientSizeForOuterSize(const QWidget& window, QSize outer) {
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  return (outer - frame).expandedTo(QSize(1, 1));
}

}  // namespace sonalyt::app
