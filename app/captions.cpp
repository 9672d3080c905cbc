#include "app/captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace sonalyt::app {
namespace {

void SetCaption(QObject* control, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(text);
  } else if (auto* menu = qobject_cast<QMenu*>(control)) {
    menu->setTitle(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* widget = qobject_cast<QWidget*>(control)) {
    widget->setWindowTitle(text);
  }
}

}  // namespace

void Captions::Keep(QObject* control, const char* source) {
  SetCaption(control, QCoreApplication::translate(context_, source));
  for (auto& [kept, text] : captions_) {
    if (kept == control) {
      text = source;
      return;
    }
  }
  captions_.emplace_back(control, source);
}

void Captions::Retranslate() const {
  for (const auto& [control, source] : captions_) {
    if (control) SetCaption(control, QCoreApplication::translate(context_, source));
  }
}

}  // namespace sonalyt::app
