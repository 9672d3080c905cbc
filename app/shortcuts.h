// Keyboard shortcuts of the main window that must not take a key from the
// focused control that uses it: the track bar keeps its arrow, Page, Home
// and End keys, the note list its navigation keys and Space, a button its
// Space. (Text fields keep their keys through Qt's own shortcut override.)
#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace sonalyt::app {

// Whether focus, the focused control, acts on key itself.
bool ControlUsesKey(const QWidget& focus, const QKeyEvent& key);

// Installed on the application: gives a key to the focused control of
// window, instead of to a shortcut, when the control uses it.
class ShortcutGuard : public QObject {
  Q_OBJECT
 public:
  explicit ShortcutGuard(QWidget* window);
  ~ShortcutGuard() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

}  // namespace sonalyt::app
