#include "app/viewer_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

#include "app/go_to_dialog.h"
#include "app/large_ascan_window.h"
#include "app/main_form.h"
#include "app/playback_speed.h"
#include "app/position_status.h"
#include "app/recent_files.h"
#include "app/shortcuts.h"

namespace sonalyt::app {
namespace {

template <class T>
T* Control(const QObject& form, const char* name) {
  return form.findChild<T*>(QString::fromLatin1(name));
}

// The first local file of a drag, or an empty text.
QString DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

}  // namespace

ViewerActions::ViewerActions(TMainForm& form)
    : QObject(&form),
      form_(form),
      captions_(ViewerActions::staticMetaObject.className()),
      guard_(new ShortcutGuard(&form)) {
  status_ = new PositionStatus(form.statusBar());
  largeAScan_ = new LargeAScanWindow(&form);
  BuildMenus();

  // A click on the window's free area takes the focus from a control, so
  // that the keys reach the shortcuts; the window starts that way.
  if (QWidget* client = form.centralWidget()) {
    client->setFocusPolicy(Qt::ClickFocus);
    client->setFocus();
  }

  form.setAcceptDrops(true);
  form.installEventFilter(this);

  connect(&form, &TMainForm::RecordingOpened, this, &ViewerActions::RecordingOpened);
  connect(&form, &TMainForm::FrameShown, this, &ViewerActions::ShowPosition);
  connect(largeAScan_, &LargeAScanWindow::Closed, largeAScanItem_,
          [this] { largeAScanItem_->setChecked(false); });
  UpdateActions();
}

QAction* ViewerActions::AddAction(QMenu* menu, const char* name, const char* caption,
                                  const QKeySequence& key) {
  auto* action = captions_.Set(new QAction(&form_), caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(key);
  menu->addAction(action);
  return action;
}

void ViewerActions::BuildMenus() {
  QMenuBar* bar = form_.menuBar();
  auto* fileMenu = Control<QMenu>(form_, "FileItem");
  auto* helpMenu = Control<QMenu>(form_, "N1");
  auto* openItem = Control<QAction>(form_, "OpenItem");
  auto* exitItem = Control<QAction>(form_, "ExitItem");
  auto* aboutItem = Control<QAction>(form_, "AboutItem");
  auto* play = Control<QPushButton>(form_, "RzButtonPlay");
  auto* up = Control<QPushButton>(form_, "RzButtonUp");
  auto* next = Control<QPushButton>(form_, "RzButtonNext");
  auto* print = Control<QPushButton>(form_, "btnPrint");
  printButton_ = print;

  // File: Open (Ctrl+O), the recent files, Print (Ctrl+P), Exit.
  openItem->setShortcut(QKeySequence::Open);
  auto* recentMenu = captions_.Set(new QMenu(fileMenu), QT_TR_NOOP("最近打开的文件(&R)"));
  recentMenu->setObjectName(QStringLiteral("RecentFilesMenu"));
  fileMenu->insertMenu(exitItem, recentMenu);
  print_ = captions_.Set(new QAction(&form_), QT_TR_NOOP("打印(&P)"));
  print_->setObjectName(QStringLiteral("PrintItem"));
  print_->setShortcut(QKeySequence::Print);
  fileMenu->insertAction(exitItem, print_);
  fileMenu->insertSeparator(exitItem);
  recent_ = new RecentFiles(recentMenu, &form_, [this](const QString& path) { form_.OpenFile(path); });
  // Buttons stand for their own availability: a click on a disabled one
  // does nothing.
  connect(print_, &QAction::triggered, print, &QPushButton::click);

  // Playback: every move of the buttons and the keyboard.
  auto* playMenu = captions_.Set(new QMenu(bar), QT_TR_NOOP("播放(&P)"));
  playMenu->setObjectName(QStringLiteral("PlaybackMenu"));
  bar->insertMenu(helpMenu->menuAction(), playMenu);
  QAction* playItem = AddAction(playMenu, "PlayItem", QT_TR_NOOP("播放/停止"), Qt::Key_Space);
  connect(playItem, &QAction::triggered, play, &QPushButton::click);
  playMenu->addSeparator();
  QAction* previousFrame = AddAction(playMenu, "PreviousFrameItem", QT_TR_NOOP("上一帧"), Qt::Key_Left);
  connect(previousFrame, &QAction::triggered, up, &QPushButton::click);
  QAction* nextFrame = AddAction(playMenu, "NextFrameItem", QT_TR_NOOP("下一帧"), Qt::Key_Right);
  connect(nextFrame, &QAction::triggered, next, &QPushButton::click);
  QAction* previousRecord = AddAction(playMenu, "PreviousRecordItem", QT_TR_NOOP("上一记录"), Qt::Key_PageUp);
  connect(previousRecord, &QAction::triggered, this, &ViewerActions::PreviousRecord);
  QAction* nextRecord = AddAction(playMenu, "NextRecordItem", QT_TR_NOOP("下一记录"), Qt::Key_PageDown);
  connect(nextRecord, &QAction::triggered, this, &ViewerActions::NextRecord);
  QAction* firstRecord = AddAction(playMenu, "FirstRecordItem", QT_TR_NOOP("第一个记录"), Qt::Key_Home);
  connect(firstRecord, &QAction::triggered, this, &ViewerActions::FirstRecord);
  QAction* lastRecord = AddAction(playMenu, "LastRecordItem", QT_TR_NOOP("最后一个记录"), Qt::Key_End);
  connect(lastRecord, &QAction::triggered, this, &ViewerActions::LastRecord);
  QAction* goTo = AddAction(playMenu, "GoToItem", QT_TR_NOOP("转到(&G)..."), QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(goTo, &QAction::triggered, this, &ViewerActions::GoTo);
  recordingActions_ = {previousRecord, nextRecord, firstRecord, lastRecord, goTo};

  playMenu->addSeparator();
  auto* speedMenu = captions_.Set(playMenu->addMenu(QString()), QT_TR_NOOP("播放速度(&S)"));
  speedMenu->setObjectName(QStringLiteral("SpeedMenu"));
  QAction* slower = AddAction(speedMenu, "SlowerItem", QT_TR_NOOP("减慢"), Qt::Key_BracketLeft);
  connect(slower, &QAction::triggered, this, [this] { SetSpeed(SlowerSpeed(form_.PlaybackSpeed())); });
  QAction* faster = AddAction(speedMenu, "FasterItem", QT_TR_NOOP("加快"), Qt::Key_BracketRight);
  connect(faster, &QAction::triggered, this, [this] { SetSpeed(FasterSpeed(form_.PlaybackSpeed())); });
  speedMenu->addSeparator();
  speeds_ = new QActionGroup(this);
  for (const SpeedQuarters speed : kPlaybackSpeeds) {
    QAction* item = speedMenu->addAction(SpeedLabel(speed));
    item->setObjectName(QStringLiteral("Speed%1").arg(speed));
    item->setCheckable(true);
    item->setData(speed);
    speeds_->addAction(item);
    connect(item, &QAction::triggered, this, [this, speed] { SetSpeed(speed); });
  }

  // View: the large A-scan.
  auto* viewMenu = captions_.Set(new QMenu(bar), QT_TR_NOOP("视图(&V)"));
  viewMenu->setObjectName(QStringLiteral("ViewMenu"));
  bar->insertMenu(helpMenu->menuAction(), viewMenu);
  largeAScanItem_ = captions_.Set(viewMenu->addAction(QString()), QT_TR_NOOP("大A扫描窗口(&L)"));
  largeAScanItem_->setObjectName(QStringLiteral("LargeAScanItem"));
  largeAScanItem_->setCheckable(true);
  connect(largeAScanItem_, &QAction::toggled, largeAScan_, [this](bool on) {
    if (on) {
      largeAScan_->ShowFrame(form_.Shown().Record >= 0 ? SnapshotOfShownFrame(form_.Session())
                                                       : std::nullopt);
      largeAScan_->show();
      largeAScan_->raise();
    } else {
      largeAScan_->hide();
    }
  });

  aboutItem->setShortcut(QKeySequence::HelpContents);

  for (QMenu* menu : {fileMenu, playMenu}) {
    connect(menu, &QMenu::aboutToShow, this, &ViewerActions::UpdateActions);
  }
  SetSpeed(form_.PlaybackSpeed());
}

void ViewerActions::Retranslate() {
  captions_.Retranslate();
  recent_->Retranslate();
  status_->ShowPosition(form_.Shown(), form_.AvailableRecords());
}

void ViewerActions::UpdateActions() {
  print_->setEnabled(printButton_->isEnabled());
  const bool any = form_.Session().FileOpened() && form_.AvailableRecords() > 0;
  for (QAction* action : recordingActions_) action->setEnabled(any);
}

void ViewerActions::SetSpeed(int speed) {
  form_.SetPlaybackSpeed(speed);
  for (QAction* item : speeds_->actions()) item->setChecked(item->data().toInt() == speed);
}

void ViewerActions::ShowPosition() {
  status_->ShowPosition(form_.Shown(), form_.AvailableRecords());
  if (largeAScan_->isVisible() || form_.Shown().Record < 0) {
    largeAScan_->ShowFrame(form_.Shown().Record >= 0 ? SnapshotOfShownFrame(form_.Session())
                                                     : std::nullopt);
  }
  UpdateActions();
}

void ViewerActions::RecordingOpened(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  form_.setWindowTitle(QStringLiteral("%1 - Sonalyt").arg(name));
  form_.setWindowFilePath(path);
  status_->ShowFileName(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
  recent_->Add(path);
}

void ViewerActions::PreviousRecord() {
  const ShownPosition shown = form_.Shown();
  if (shown.Record < 0) return;
  const std::int32_t record = shown.Record > 0 ? shown.Record - 1 : 0;
  if (record != shown.Record || shown.Frame != 0) form_.JumpTo(record, 0);
}

void ViewerActions::NextRecord() {
  const ShownPosition shown = form_.Shown();
  if (shown.Record < 0) return;
  if (shown.Record + 1 < form_.AvailableRecords()) form_.JumpTo(shown.Record + 1, 0);
}

void ViewerActions::FirstRecord() { form_.JumpTo(0, 0); }

void ViewerActions::LastRecord() { form_.JumpTo(form_.AvailableRecords() - 1, 0); }

void ViewerActions::GoTo() {
  const std::int32_t records = form_.AvailableRecords();
  if (!form_.Session().FileOpened() || records <= 0) return;
  // Like Open and Print, the window pauses playback first.
  if (form_.Playing()) Control<QPushButton>(form_, "RzButtonPlay")->click();
  const ShownPosition shown = form_.Shown();
  RecordFrameCounter other(form_.FilePath());
  GoToDialog dialog(
      records,
      [this, shown, &other](std::int32_t record) {
        return record == shown.Record ? form_.Session().FramesInRecord() : other(record);
      },
      &form_);
  if (dialog.exec() != QDialog::Accepted) return;
  form_.JumpTo(dialog.Target().Record, dialog.Target().Frame);
}

bool ViewerActions::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &form_) return false;
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (!DraggedFile(drag->mimeData()).isEmpty()) {
      drag->acceptProposedAction();
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DraggedFile(drop->mimeData());
    if (path.isEmpty()) return false;
    drop->acceptProposedAction();
    form_.OpenFile(path);
    return true;
  }
  return false;
}

}  // namespace sonalyt::app
