// The recently opened recordings: the last eight, newest first, kept with
// Qt's settings (the only settings of the viewer besides the language) and
// listed in the File menu.
#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace sonalyt::app {

inline constexpr qsizetype kMaxRecentFiles = 8;

// The list after path was opened: path first, an earlier entry of the same
// file removed, at most kMaxRecentFiles entries. Paths are compared as
// absolute, cleaned paths.
QStringList WithRecentFile(const QStringList& files, const QString& path);

class RecentFiles : public QObject {
  Q_OBJECT
 public:
  // Reads the list from the settings and fills menu with it. open is called
  // with the path of an entry the user chooses whose file still exists.
  RecentFiles(QMenu* menu, QWidget* messageParent, std::function<void(const QString&)> open);

  const QStringList& Files() const { return files_; }
  // A recording was opened: it goes to the top of the list.
  void Add(const QString& path);
  void Clear();
  // Opens entry index; a file that no longer exists is removed from the list
  // with a message.
  void OpenEntry(qsizetype index);
  // Sets the menu's own items again in the language now installed.
  void Retranslate() { RebuildMenu(); }

 private:
  void Store();
  void RebuildMenu();

  QMenu* menu_;
  QWidget* messageParent_;
  std::function<void(const QString&)> open_;
  QStringList files_;
};

}  // namespace sonalyt::app
