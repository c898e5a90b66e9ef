#pragma once

#include "Database.h"
#include "EngineFailure.h"

#include <QString>

namespace db {

// Writes the book open on source into the book open on book, in the book's
// own file, through the engine: every page of source is copied in one write
// transaction of book with the engine's own journal, under the book's
// exclusive lock, encrypted with the book's own key. The file keeps its name,
// inode and mode; another computer that has it open keeps its file, reads
// the new book at its next read and refuses its next write (the copy moves
// the book's restore mark on, see Database), while book writes on into the
// new book. Another connection reading or writing the
// book makes it wait as long as any statement waits and then refuse; a full
// disk refuses; a kill leaves the old book whole (the engine rolls its
// journal back at the next open). book must be in no transaction. Empty on
// success, else the reason, with its kind in kind when given; on failure the
// book is unchanged.
QString overwriteBook(Database &book, Database &source, Failure *kind = nullptr);

// An account book's own exclusive lock, taken as any writer takes it: a
// connection of its own begins an exclusive transaction on the book (waiting
// for other connections as long as any statement waits) and writes nothing.
// While it is held no other connection, on this computer or another, reads
// or writes the book.
//
// The engine's locks are the system's record locks: they belong to the
// process and lie on the file (its inode), not on its name. Two things
// follow. Closing any handle of the book's file in this process, other than
// through the engine, drops the lock: nothing may open the book's file
// another way while the lock is held. And a file renamed over the book's
// name does not carry the lock: the lock stays on the old file, which is why
// the rename happens while it is held (see replaceBookWith).
//
// Only a book whose own pages the engine cannot read any more (a damaged
// book, which overwriteBook cannot journal) is replaced this way.
class BookLock {
public:
    // Takes the lock of the book at bookFile, or says why not.
    explicit BookLock(const QString &bookFile);
    ~BookLock();
    BookLock(const BookLock &) = delete;
    BookLock &operator=(const BookLock &) = delete;

    bool isHeld() const { return held_; }
    // Why the lock could not be taken, in the clerk's words.
    QString error() const { return error_; }

    // Puts the checked book file staged in the locked book's place and then
    // releases the lock. The rename is made while the lock is held, so any
    // connection that waits for the book meanwhile waits on the old file and,
    // once it gets it, finds it replaced (the engine refuses a write to a
    // file that lost its name) instead of writing into a file nobody will
    // read again. staged must be the program's own file (a regular file of
    // the user's with no second name), reached from then on through its
    // handle. Empty on success, else the reason; on failure the book is
    // unchanged and the caller removes whatever of staged is left.
    QString replaceBookWith(const QString &staged);
    // Ends the transaction and closes the connection.
    void release();

private:
    Database book_;
    QString path_;
    QString error_;
    bool held_ = false;
};

} // namespace db
