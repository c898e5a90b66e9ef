#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BookLock.h"

#include "EngineFailure.h"
#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace db {

namespace {
// Whether the engine's journal at path holds a write: it begins with the
// journal's header. An empty or zeroed journal (a write that never began,
// or one the engine finished by zeroing its header) holds none.
bool journalHoldsAWrite(const QString &path)
{
    QFile journal(path);
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = journal.read(8);
    return header.count('\0') != header.size();
}

// Puts staged at the free name target in one step that refuses a name taken
// meanwhile: a second name for the file, then the stage's own removed; where
// the file system has no second names, a rename that refuses to replace; and
// where it has neither, a plain rename while the name is still free. The
// system's error number, EEXIST when target is taken.
int putAtFreeName(const QByteArray &staged, const QByteArray &target)
{
    if (::link(staged.constData(), target.constData()) == 0) {
        ::unlink(staged.constData());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (::renameat2(AT_FDCWD, staged.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::access(target.constData(), F_OK) == 0)
        return EEXIST;
    return std::rename(staged.constData(), target.constData()) == 0 ? 0 : errno;
}

// Writes the book file staged into the existing book at target, in place.
QString overwriteBookFile(const QString &staged, const QString &target)
{
    Database book, source;
    if (!book.open(target))
        return book.lastError();
    if (!source.openReadOnly(staged))
        return source.lastError();
    const QString error = overwriteBook(book, source);
    if (error.isEmpty())
        QFile::remove(staged);
    return error;
}
} // namespace

QString overwriteBook(Database &book, Database &source, Failure *kind)
{
    const auto failed = [kind](int code, const char *text) {
        if (kind)
            *kind = failureOf(code);
        return describeEngineFailure(code, QString::fromUtf8(text));
    };
    sqlite3 *into = book.handle();
    // The copy moves the book's restore mark on by one in its own commit.
    // The mark is read just before it: should another restore come in
    // between, this connection refuses its next write rather than write into
    // a book it never read.
    quint32 mark = 0;
    if (!book.readMark(&mark)) {
        if (kind)
            *kind = failureOf(book.lastErrorCode());
        return book.lastError();
    }
    // The engine copies every page, takes the book's exclusive lock itself
    // (waiting through the book connection's busy timeout) and commits the
    // copy with its own journal in one write transaction.
    sqlite3_backup *copy = sqlite3_backup_init(into, "main", source.handle(), "main");
    if (!copy)
        return failed(sqlite3_extended_errcode(into), sqlite3_errmsg(into));
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (stepped == SQLITE_DONE && finished == SQLITE_OK) {
        book.writeUnder(mark + 1);
        return {};
    }
    // A lock that outlasted the wait is told by the step alone; finish
    // reports only the failures that ended the copy.
    const int code = stepped == SQLITE_DONE ? finished : stepped;
    return failed(code, sqlite3_errstr(code));
}

QString publishBook(const QString &staged, const QString &target, const QString &closedAs)
{
    giveNewFileMode(staged, closedAs);
    if (!syncFile(staged))
        return describeFileFailure(errno, staged);
    const int put = putAtFreeName(QFile::encodeName(staged), QFile::encodeName(target));
    if (put == EEXIST)
        return overwriteBookFile(staged, target);
    if (put != 0)
        return describeFileFailure(put, target);
    // Best effort: the new book is in place, and some network file systems
    // refuse to sync a folder.
    syncFolder(QFileInfo(target).absolutePath());
    return {};
}

BookLock::BookLock(const QString &bookFile)
    : path_(bookFile)
{
    // Opening reads the book once (and plays back the journal of a writer
    // that was cut off); BEGIN EXCLUSIVE then waits for every reader and
    // writer of another connection to finish, keeping new ones out meanwhile.
    if (book_.open(bookFile) && book_.execScript(QStringLiteral("BEGIN EXCLUSIVE"))) {
        held_ = true;
        return;
    }
    error_ = book_.lastError();
    book_.close();
}

BookLock::~BookLock()
{
    release();
}

QString BookLock::replaceBookWith(const QString &staged)
{
    if (!held_)
        return error_.isEmpty() ? failureReason(Failure::Busy) : error_;  // released already
    // The lock is ours, so a journal still beside the book belongs to no
    // write the engine could finish or undo: one that holds a write must
    // never be played into the new file, and the book is left as it is. An
    // empty one is no one's work and goes.
    const QString journal = path_ + QStringLiteral("-journal");
    QString error;
    if (journalHoldsAWrite(journal))
        error = failureReason(Failure::Busy);
    else if (::unlink(QFile::encodeName(journal).constData()) != 0 && errno != ENOENT)
        error = describeFileFailure(errno, journal);
    else
        error = replaceFile(staged, path_);
    release();
    return error;
}

void BookLock::release()
{
    if (book_.isOpen()) {
        // Nothing was written: the rollback only ends the transaction. The
        // connection's handle is on the file the lock was taken on, renamed
        // over or not; closing it drops the lock there and nowhere else.
        book_.execScript(QStringLiteral("ROLLBACK"));
        book_.close();
    }
    held_ = false;
}

} // namespace db
