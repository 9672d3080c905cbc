#include "app/recent_files.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace sonalyt::app {
namespace {

const QString kSettingsKey = QStringLiteral("RecentFiles");

QString Normalised(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

QStringList WithRecentFile(const QStringList& files, const QString& path) {
  const QString added = Normalised(path);
  QStringList result{added};
  for (const QString& file : files) {
    if (result.size() == kMaxRecentFiles) break;
    if (!file.isEmpty() && Normalised(file) != added) result << file;
  }
  return result;
}

RecentFiles::RecentFiles(QMenu* menu, QWidget* messageParent,
                         std::function<void(const QString&)> open)
    : QObject(menu), menu_(menu), messageParent_(messageParent), open_(std::move(open)) {
  QSettings settings;
  const QStringList stored = settings.value(kSettingsKey).toStringList();
  for (const QString& file : stored) {
    if (files_.size() == kMaxRecentFiles) break;
    if (!file.isEmpty() && !files_.contains(file)) files_ << file;
  }
  RebuildMenu();
}

void RecentFiles::Add(const QString& path) {
  files_ = WithRecentFile(files_, path);
  Store();
  RebuildMenu();
}

void RecentFiles::Clear() {
  files_.clear();
  Store();
  RebuildMenu();
}

void RecentFiles::OpenEntry(qsizetype index) {
  if (index < 0 || index >= files_.size()) return;
  const QString path = files_.at(index);
  if (!QFileInfo(path).isFile()) {
    files_.removeAt(index);
    Store();
    RebuildMenu();
    QMessageBox::warning(messageParent_, messageParent_ ? messageParent_->windowTitle() : QString(),
                         tr("文件“%1”已不存在，已从最近打开的文件中删除。")
                             .arg(QDir::toNativeSeparators(path)));
    return;
  }
  open_(path);
}

void RecentFiles::Store() {
  QSettings settings;
  settings.setValue(kSettingsKey, files_);
}

void RecentFiles::RebuildMenu() {
  // The entries are rebuilt from inside their own triggered signal: they
  // are deleted once that signal has returned.
  for (QAction* old : menu_->actions()) {
    menu_->removeAction(old);
    old->setObjectName(QString());
    old->deleteLater();
  }
  for (qsizetype i = 0; i < files_.size(); ++i) {
    // "&1 /path/file.DAT": the number is the menu's access key.
    const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(
        QDir::toNativeSeparators(files_.at(i)).replace(QLatin1Char('&'), QStringLiteral("&&")));
    QAction* action = menu_->addAction(text);
    action->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, i] { OpenEntry(i); });
  }
  if (!files_.isEmpty()) menu_->addSeparator();
  QAction* clear = menu_->addAction(tr("清除列表(&C)"));
  clear->setObjectName(QStringLiteral("ClearRecentFiles"));
  clear->setEnabled(!files_.isEmpty());
  connect(clear, &QAction::triggered, this, &RecentFiles::Clear);
  menu_->setEnabled(!files_.isEmpty());
}

}  // namespace sonalyt::app
