#pragma once

#include "db/FileReplace.h"

#include <QDir>
#include <QString>
#include <QStringList>

// The automatic backups of a book in the folder "数据备份": the newest copy
// (name + date + ".vzk") and one older generation (".___").
namespace backupgen {

// Backups of exactly this book name: name + a date + "." + one of the
// extensions ("vzk" or "___"), so that the files of a book whose name merely
// begins with it are left alone.
QStringList backupsOf(const QDir &folder, const QString &bookName, const QStringList &extensions);

// Puts the checked copy staged in target's place in folder, the book's
// previous backup becoming its one older generation. Another program doing
// the same at the same moment (a second computer leaving the same book) costs
// neither its copy nor the older generation. Empty on success, else the
// reason; on failure staged goes with its object, as for replaceFile. The backup is open to no one the book at bookFile is closed to.
QString publishNewest(const QDir &folder, const QString &bookName, db::StagedFile &staged, const QString &target,
                      const QString &bookFile);

} // namespace backupgen
