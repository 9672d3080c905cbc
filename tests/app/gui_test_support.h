// Helpers of the GUI tests: controls by their names, actions on modal
// windows that the code under test opens, and the main window shown with its
// classic controls.
#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "app/main_form.h"

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

// Dismisses the next message box and returns its text through *text.
inline void DismissNextMessageBox(QString* text) {
  OnNextModal([text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) qFatal("expected a message box");
    *text = box->text();
    box->buttons().constFirst()->click();
  });
}

// A main window shown on the screen (exposed, or also active for tests that
// type keys), and its classic controls by name.
class ShownMainForm {
 public:
  enum class Wait { Exposed, Active };
  explicit ShownMainForm(Wait wait = Wait::Exposed) : form_(std::make_unique<TMainForm>()) {
    form_->show();
    if (wait == Wait::Active) {
      form_->activateWindow();
      if (!QTest::qWaitForWindowActive(form_.get())) qFatal("window not active");
    } else if (!QTest::qWaitForWindowExposed(form_.get())) {
      qFatal("window not exposed");
    }
  }

  TMainForm& Form() { return *form_; }
  QPushButton& Play() { return *Child<QPushButton>(*form_, "RzButtonPlay"); }
  QPushButton& Up() { return *Child<QPushButton>(*form_, "RzButtonUp"); }
  QPushButton& Next() { return *Child<QPushButton>(*form_, "RzButtonNext"); }
  QPushButton& Print() { return *Child<QPushButton>(*form_, "btnPrint"); }
  QSlider& TrackBar() { return *Child<QSlider>(*form_, "ProcessTrackBar"); }
  QListWidget& Notes() { return *Child<QListWidget>(*form_, "NoteListBox"); }
  // The identity of the frame drawn last, as the test recordings number
  // their frames in Reading0.
  int Drawn() const { return form_->Session().FrameReadings().Reading0; }

 protected:
  std::unique_ptr<TMainForm> form_;
};

}  // namespace sonalyt::app::testing
