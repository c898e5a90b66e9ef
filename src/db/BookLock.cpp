#include "BookLock.h"

#include "EngineFailure.h"
#include "FileReplace.h"

#include <QFileInfo>

namespace db {

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
    busy_ = failureOf(book_.lastErrorCode()) == Failure::Busy;
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
    // write the engine could finish or undo: it must never be played into
    // the new file, and the book is left as it is.
    QString error;
    if (QFileInfo::exists(path_ + QStringLiteral("-journal")))
        error = failureReason(Failure::Busy);
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

QString publishBook(const QString &staged, const QString &target)
{
    if (!QFileInfo::exists(target))
        return replaceFile(staged, target);
    BookLock lock(target);
    if (!lock.isHeld())
        return lock.error();
    return lock.replaceBookWith(staged);
}

} // namespace db
