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

// The turn of one program to decide whether a book's backup is due and to
// make it: programs leaving the same book at once (two copies on one
// computer, or computers sharing the data folder) take turns, and each
// decides only once it has the turn, so a later one finds the backup an
// earlier one has just made. The turn is the system's record lock on a file
// kept for it (empty, never replaced): it reaches other computers as far as
// the folder's file system carries record locks, and ends with the process,
// also when it is killed.
class BackupTurn {
public:
    // Waits for the turn kept by the file at lockPath (made when missing).
    // Without a turn when that file is no regular file of this user's or
    // cannot be locked: the program then decides alone, as it would without
    // other programs.
    explicit BackupTurn(const QString &lockPath);
    ~BackupTurn();
    BackupTurn(const BackupTurn &) = delete;
    BackupTurn &operator=(const BackupTurn &) = delete;

private:
    int fd_ = -1;
};

} // namespace backupgen
