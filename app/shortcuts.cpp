#include "app/shortcuts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace sonalyt::app {
namespace {

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool ControlUsesKey(const QWidget& focus, const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier) return false;
  const int k = key.key();
  if (qobject_cast<const QAbstractSlider*>(&focus) != nullptr) return IsNavigationKey(k);
  if (qobject_cast<const QAbstractItemView*>(&focus) != nullptr) {
    return IsNavigationKey(k) || k == Qt::Key_Space;
  }
  if (qobject_cast<const QAbstractButton*>(&focus) != nullptr) return k == Qt::Key_Space;
  return false;
}

ShortcutGuard::ShortcutGuard(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

ShortcutGuard::~ShortcutGuard() { qApp->removeEventFilter(this); }

bool ShortcutGuard::eventFilter(QObject* watched, QEvent* event) {
  // Accepting the override sends the key to the control as a key press.
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()) {
    const auto* widget = static_cast<const QWidget*>(watched);
    if (widget->window() == window_ && ControlUsesKey(*widget, *static_cast<QKeyEvent*>(event))) {
      event->accept();
      return true;
    }
  }
  return false;
}

}  // namespace sonalyt::app
