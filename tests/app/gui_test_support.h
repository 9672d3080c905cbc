// Helpers of the GUI tests: controls by their names, and actions on modal
// windows that the code under test opens.
#pragma once

#include <functional>

#include <QApplication>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace sonalyt::app::testing {

template <class T>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("no control named %s", name);
  return child;
}

// Runs action on the next modal window (dialog or message box) once the
// code under test shows it.
inline void OnNextModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start(5);
}

}  // namespace sonalyt::app::testing
