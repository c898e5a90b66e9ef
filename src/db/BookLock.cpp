#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BookLock.h"

#include "EngineFailure.h"
#include "FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {
// Whether the engine's journal at path holds a write: it begins with the
// journal's header. An empty or zeroed journal (a write that never began,
// or one the engine finished by zeroing its header) holds none. Something
// there that is no file (a FIFO would hold a plain open for good) is read as
// holding one: the book is kept as it is.
bool journalHoldsAWrite(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info{};
    char header[8];
    ssize_t length = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        length = ::read(fd, header, sizeof header);
    ::close(fd);
    if (length < 0)
        return true;
    return std::count(header, header + length, '\0') != length;
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
    else if (StagedFile file(staged, StagedFile::TakeUp{}); !file.error().isEmpty())
        error = file.error();
    else
        error = replaceFile(file, path_);
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
