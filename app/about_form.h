// The About window: the program's description and its file version.
#pragma once

#include <QDialog>
#include <QString>

#include "app/captions.h"

class QLabel;
class QPushButton;

namespace sonalyt::app {

// The program's file version, "1.0.0.11" style; empty when the build has none.
QString ProgramFileVersion();

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);

  // Shows the window modally and returns when it is closed.
  void ShowModal();

  void FormShow();
  void OKButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  Captions captions_;
  QLabel* Label1;
  QLabel* VersionLabel;
  QPushButton* OKButton;
};

}  // namespace sonalyt::app
