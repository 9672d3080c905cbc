// What the main window offers around its classic controls: keyboard
// shortcuts listed in the menus (a Playback menu with frame and record
// moves, Go to and the speeds; Print in the File menu; F1 for About), the
// status bar with the position and the file name, the file name in the
// window title, the recent files, opening a recording dropped onto the
// window, and the large A-scan window of the View menu.
#pragma once

#include <QList>
#include <QObject>

#include "app/captions.h"

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;

namespace sonalyt::app {

class LargeAScanWindow;
class PositionStatus;
class RecentFiles;
class ShortcutGuard;
class TMainForm;

class ViewerActions : public QObject {
  Q_OBJECT
 public:
  explicit ViewerActions(TMainForm& form);

  RecentFiles& Recent() { return *recent_; }
  PositionStatus& Status() { return *status_; }
  LargeAScanWindow& LargeAScan() { return *largeAScan_; }

  // The keyboard moves by record: previous, next, first, last.
  void PreviousRecord();
  void NextRecord();
  void FirstRecord();
  void LastRecord();
  // Shows the Go to window and moves to the position it accepts.
  void GoTo();

  // Sets the menus' captions, the recent files menu's own items and the
  // status bar again in the language now installed. Called by the main
  // window on its language change: these objects are not widgets and get
  // no such event of their own.
  void Retranslate();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* AddAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& key);
  void BuildMenus();
  void UpdateActions();
  void ShowPosition();
  void RecordingOpened(const QString& path);
  void SetSpeed(int speed);

  TMainForm& form_;
  Captions captions_;
  ShortcutGuard* guard_;
  RecentFiles* recent_ = nullptr;
  PositionStatus* status_ = nullptr;
  LargeAScanWindow* largeAScan_ = nullptr;
  QActionGroup* speeds_ = nullptr;
  QAction* print_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QAction* largeAScanItem_ = nullptr;
  QList<QAction*> recordingActions_;
};

}  // namespace sonalyt::app
