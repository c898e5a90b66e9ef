#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files the program writes whole are written beside their place first and
// then put in it; these make each step durable, so a power cut leaves the old
// file or the new one, never a torn one or a lost name.
//
// Each write stages in a file of its own, created exclusively under a name
// that no other write (of this process or of another computer sharing the
// folder) can have: the target's name, a part unique to the process and the
// write, and ".tmp". It is open to its owner alone until it takes the
// target's place, so a private file is never readable half written. Leftovers
// of writes that were cut off are recognised by that name and removed only
// once no one can still be writing them.
namespace db {

// Forces a written file's contents onto the disk; false when it cannot.
bool syncFile(const QString &path);
// Forces a folder's entries (names made, renamed or removed) onto the disk.
bool syncFolder(const QString &folder);

// A fresh staging name beside target for one write of it (no file is made).
QString stagedPathFor(const QString &target);
// Creates an empty staging file beside target, exclusively and readable by
// its owner alone (0600) until replaceFile puts it in place, for one write of
// it, and gives its path in staged. Empty on success, else the reason.
QString createStaged(const QString &target, QString *staged);
// Gives staged, about to be put in place as a new file, the mode a file
// made now gets; when closedAs is given (staged is a copy of it), narrowed to
// closedAs's bits, so the copy is open to no one the source is closed to. The
// owner keeps the right to read and write it. A folder that keeps no modes
// keeps none.
void giveNewFileMode(const QString &staged, const QString &closedAs = {});
// The name a restore of the book at bookFile stages the backup under where it
// must replace the book's file (a damaged book, whose pages the engine
// cannot write over): a staging name of its own, as stagedPathFor.
QString restoreStagePathFor(const QString &bookFile);

// Puts staged in the place of target: staged is synced, given target's mode
// (and owner, where the process may) or, where no file lies, the mode of a
// new file (giveNewFileMode, closed as closedAs), renamed over target, and
// the folder synced as far as its file system allows (the new file is in place by then, so a folder that
// cannot be synced is not a failure). A target the user may not write, or
// its owner made read-only, is refused and left as it is. Empty on success,
// else the reason; on failure staged stays where it is for the caller to
// remove.
QString replaceFile(const QString &staged, const QString &target, const QString &closedAs = {});
// Writes content whole in target's place: staged beside it, then put in
// place by replaceFile. Empty on success, else the reason; on failure target
// is unchanged and nothing staged is left.
QString writeWhole(const QString &target, const QByteArray &content);
// Renames a file within its folder (a backup generation) and syncs the
// folder, as far as its file system allows.
QString renameDurably(const QString &from, const QString &to);

// The files in folder that writes cut off left and no one can still be
// writing: staging files by their name, with the engine's journals of books
// staged under such names (and the files named in formerNames, names of the
// folder that earlier versions staged under), unchanged for more than a day.
QStringList leftoversIn(const QString &folder, const QStringList &formerNames = {});
// The leftovers beside the book at bookFile: those of its folder, with the
// names earlier versions staged the book's copies and restores under.
QStringList leftoversBeside(const QString &bookFile);

} // namespace db
