#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files the program writes whole are written beside their place first and
// then put in it; these make each step durable, so a power cut leaves the old
// file or the new one, never a torn one or a lost name.
namespace db {

// Forces a written file's contents onto the disk; false when it cannot.
bool syncFile(const QString &path);
// Forces a folder's entries (names made, renamed or removed) onto the disk.
bool syncFolder(const QString &folder);
// Puts staged in the place of target: staged is synced, renamed over target,
// and the folder synced. Empty on success, else the reason; on failure staged
// stays where it is for the caller to remove.
QString replaceFile(const QString &staged, const QString &target);
// Writes content whole in target's place: staged beside it, then put in
// place by replaceFile. Empty on success, else the reason; on failure target
// is unchanged and nothing staged is left.
QString writeWhole(const QString &target, const QByteArray &content);
// Renames a file within its folder (a backup generation) and syncs the folder.
QString renameDurably(const QString &from, const QString &to);

// The program's own temporary files. A copy is staged in target + ".tmp";
// a restore stages the backup beside the book in book + ".restore".
QString stagedPathFor(const QString &target);
QString restoreStagePathFor(const QString &bookFile);
// Every temporary file an interrupted write of the book at bookFile may have
// left beside it (the restore's stage and its staged copy, its own staged copy).
QStringList leftoversBeside(const QString &bookFile);

} // namespace db
