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
// write, and the program's own mark. It is open to its owner alone until it
// takes the target's place, so a private file is never readable half
// written. After the create the staging file is reached only through its own
// handle: in a folder others may write, a neighbour who swaps the staging
// name for a link or a file of theirs never has the program write, open,
// give away or put in place anything but the file it made; a write whose
// staging name no longer holds that file fails and says so. Leftovers of
// writes that were cut off are recognised by the mark alone and removed only
// once no one can still be writing them.
namespace db {

// Forces a folder's entries (names made, renamed or removed) onto the disk.
bool syncFolder(const QString &folder);

// One write's staging file beside its target, held open from its exclusive
// create to its place. The engine reaches it by enginePath (through the file
// system layer keepingHeldPaths), never by its name.
class StagedFile {
public:
    // Creates an empty staging file beside target, exclusively and readable
    // by its owner alone (0600), for one write of it.
    explicit StagedFile(const QString &target);
    // Takes up the file at path, which an earlier step of this write made
    // (a checked copy put at a staging name of its own), as a staging file:
    // only a regular file of the user's own with no second name is taken.
    struct TakeUp {};
    StagedFile(const QString &path, TakeUp);
    // Removes the staging file, unless it was put in place or its name no
    // longer holds it.
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Why the file could not be made or taken up; empty when it was.
    QString error() const { return error_; }
    int handle() const { return fd_; }
    // Its name beside the target.
    QString path() const { return path_; }
    // The file itself, as the engine opens it, whatever its name now holds.
    QString enginePath() const;

    // Forces its content onto the disk; empty when done, else the reason.
    QString sync() const;
    // Gives it, about to be put in place as a new file, the mode a file made
    // now gets; when closedAs is given (it is a copy of that file), narrowed
    // to closedAs's bits, so the copy is open to no one the source is closed
    // to. The owner keeps the right to read and write it. A folder that keeps
    // no modes keeps none.
    void giveNewFileMode(const QString &closedAs = {}) const;
    // Renames it over target, as the very file made. Empty on success, else
    // the reason (the staging name no longer holds it, before or after).
    QString renameOver(const QString &target);
    // Puts it at target only while target is free: a name taken meanwhile is
    // refused with nameTakenReason() and its file left as it was. Empty on
    // success, else the reason.
    QString putAtFreeName(const QString &target);

private:
    bool nameHolds(const QString &name) const;
    bool movedInPlace(const QString &target) const;
    QString swappedReason(const QString &target) const;

    int fd_ = -1;
    QString path_;
    QString error_;
    bool placed_ = false;
};

// The reason a new file is not put at a name another took meanwhile.
QString nameTakenReason();

// A fresh staging name beside target for one write of it (no file is made).
QString stagedPathFor(const QString &target);
// The name a restore of the book at bookFile stages the backup under where it
// must replace the book's file (a damaged book, whose pages the engine
// cannot write over): a staging name of its own, as stagedPathFor.
QString restoreStagePathFor(const QString &bookFile);

// Puts staged in the place of target: staged is synced, given target's mode
// (and owner, where the process may) or, where no file lies, the mode of a
// new file (giveNewFileMode, closed as closedAs), renamed over target, and
// the folder synced as far as its file system allows (the new file is in
// place by then, so a folder that cannot be synced is not a failure). A
// target the user may not write, or its owner made read-only, or another
// user's in a folder that lets only a file's owner replace it, is refused and
// left as it is. Empty on success, else the reason; on failure staged is
// removed with its object.
QString replaceFile(StagedFile &staged, const QString &target, const QString &closedAs = {});
// Writes content whole in target's place: staged beside it, then put in
// place by replaceFile. Empty on success, else the reason; on failure target
// is unchanged and nothing staged is left.
QString writeWhole(const QString &target, const QByteArray &content);
// Renames a file within its folder (a backup generation) and syncs the
// folder, as far as its file system allows.
QString renameDurably(const QString &from, const QString &to);

// The files in folder that writes cut off left and no one can still be
// writing: staging files by their mark (with the engine's journals of books
// staged under such names), the user's own, unchanged for more than a day.
QStringList leftoversIn(const QString &folder);

} // namespace db
