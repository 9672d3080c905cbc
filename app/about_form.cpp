#include "app/about_form.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "app/window_geometry.h"

namespace sonalyt::app {
namespace {

// Outer size and screen position of the window.
constexpr QSize kOuterSize(335, 245);
constexpr QPoint kOuterPosition(529, 239);

}  // namespace

QString ProgramFileVersion() {
#ifdef SONALYT_FILE_VERSION
  return QStringLiteral(SONALYT_FILE_VERSION);
#else
  return {};
#endif
}

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent), captions_(TAboutForm::staticMetaObject.className()) {
  setObjectName(QStringLiteral("AboutForm"));
  captions_.Set(this, QT_TR_NOOP("关于"));
  setFont(FormFont());

  Label1 = captions_.Set(new QLabel(this), QT_TR_NOOP("连续记录离线分析软件"));
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(24, 48, 201, 17);

  VersionLabel = new QLabel(this);
  VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
  VersionLabel->setGeometry(24, 96, 193, 25);

  OKButton = captions_.Set(new QPushButton(this), QT_TR_NOOP("确认"));
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(232, 168, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &TAboutForm::OKButtonClick);

  // The window cannot be resized; its outer size includes the frame, which
  // is known once the window is on screen (showEvent).
  setFixedSize(kOuterSize);
  move(kOuterPosition);
}

void TAboutForm::ShowModal() { exec(); }

void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) {
    const QSize client = ClientSizeForOuterSize(*this, kOuterSize);
    setFixedSize(client);
    FormShow();
  }
}

void TAboutForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) captions_.Retranslate();
}

void TAboutForm::FormShow() {
  const QString version = ProgramFileVersion();
  VersionLabel->setText(version.isEmpty() ? QString() : QStringLiteral("Version:") + version);
}

void TAboutForm::OKButtonClick() { accept(); }

}  // namespace sonalyt::app
