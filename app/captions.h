// The captions of a window's controls, kept as their source texts (Chinese)
// so that a language switch can set them again. A window sets each caption
// through Set with a QT_TR_NOOP text and calls Retranslate on
// QEvent::LanguageChange.
#pragma once

#include <utility>
#include <vector>

#include <QObject>
#include <QPointer>

namespace sonalyt::app {

class Captions {
 public:
  // context is the translation context of the texts: the class name of the
  // window whose code marks them (its staticMetaObject.className()).
  explicit Captions(const char* context) : context_(context) {}

  // Sets the caption of control to the translation of source and keeps it:
  // an action's text, a menu's or group box's title, a button's or label's
  // text, or a window's title. A later Set of the same control replaces it.
  template <class T>
  T* Set(T* control, const char* source) {
    Keep(control, source);
    return control;
  }

  // Sets every kept caption again in the language now installed.
  void Retranslate() const;

 private:
  void Keep(QObject* control, const char* source);

  const char* context_;
  std::vector<std::pair<QPointer<QObject>, const char*>> captions_;
};

}  // namespace sonalyt::app
