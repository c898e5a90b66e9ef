#include "support/BookFaults.h"
#include "support/Leftovers.h"
#include "support/TestBook.h"
#include "support/WriterlessFifo.h"

#include "db/BookFile.h"
#include "db/BookLock.h"
#include "db/Database.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QString kLocked = QStringLiteral("database is locked");
const QString kWrite = QStringLiteral("insert into TA3 (F1,F2) values ('锁','另一台电脑')");
} // namespace

// The lock is the engine's own: another process can neither read nor write
// the book while it is held, also after this process closed its own
// connection to the book (the engine keeps that handle until the lock ends),
// and both can once it is released.
TEST(BookLock, KeepsAnotherComputerOutWhileHeld)
{
    TestBook book;
    faults::OtherComputer other(book.bookPath());
    ASSERT_TRUE(other.started()) << "the engine's command-line program (sqlcipher) is needed";
    {
        db::BookLock lock(book.bookPath());
        ASSERT_TRUE(lock.isHeld()) << lock.error().toStdString();
        EXPECT_TRUE(other.run(QStringLiteral("select count(*) from TA4")).contains(kLocked));
        book.db().close();
        EXPECT_TRUE(other.run(QStringLiteral("select count(*) from TA4")).contains(kLocked));
        EXPECT_TRUE(other.run(kWrite).contains(kLocked));
    }
    EXPECT_EQ(other.run(kWrite), QString());
    EXPECT_EQ(other.run(QStringLiteral("select count(*) from TA3 where F1='锁'")), QStringLiteral("1"));
}

// A new book goes only to a free name: whatever took the name (a book idle,
// open, read or written by another computer, or a file that is no book) keeps
// its bytes and is told as a name taken, and another computer at work on it
// goes on. At a free name the new file itself is put there; no stage is left
// either way. A new book made from another is put there the same way.
TEST(BookLock, ANewBookGoesOnlyToAFreeNameAndWhatTookItKeepsItsBytes)
{
    faults::ShortBusyWait shortWait;
    const struct {
        const char *name;
        const char *otherRuns;  // the other computer's statements; nullptr: no one there
        bool junk;              // the file there is no book
        bool free;              // no file there at all
    } cases[] = {
        {"a book no one is at work on", nullptr, false, false},
        {"another computer keeps it open, idle", "select count(*) from TA4", false, false},
        {"another computer writing (nothing written yet)", "BEGIN EXCLUSIVE", false, false},
        {"another computer reading", "BEGIN; select count(*) from TA4", false, false},
        {"a file that is no book", nullptr, true, false},
        {"a free name", nullptr, false, true},
    };
    const struct {
        const char *name;
        QString (*make)(const QString &source, const QString &target);
    } makers[] = {
        {"made new", [](const QString &, const QString &target) { return db::createBook(target); }},
        {"made from another", [](const QString &source, const QString &target) { return db::compactCopy(source, target); }},
    };
    for (const auto &maker : makers)
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(maker.name) + ", " + c.name);
            TestBook book;
            book.exec("insert into TA4 (F1,F2) values ('旧','旧帐本的货品')");
            const QString source = book.dir() + "/来源.vzk";
            ASSERT_EQ(db::createBook(source), QString());
            QString old = c.junk ? faults::makeJunkFile(book.dir() + "/文字.vzk") : book.bookPath();
            if (c.free)
                old = book.dir() + "/新的名字.vzk";
            book.db().close();
            const faults::FileState before = faults::stateOf(old);
            std::optional<faults::OtherComputer> other;
            if (c.otherRuns) {
                other.emplace(old);
                ASSERT_TRUE(other->started());
                const QString begun = other->run(QString::fromUtf8(c.otherRuns));
                ASSERT_FALSE(begun.contains(QStringLiteral("Error"))) << begun.toStdString();
            }

            const QString error = maker.make(source, old);
            if (c.free) {
                EXPECT_EQ(error, QString());
                db::Database made;
                ASSERT_TRUE(made.open(old));
                EXPECT_EQ(made.scalar(QStringLiteral("select count(*) from TE1")).toInt(), 1);
            } else {
                EXPECT_EQ(error, db::nameTakenReason());
                EXPECT_EQ(faults::stateOf(old), before);
            }
            EXPECT_EQ(leftovers::stagingIn(book.dir()), QStringList());
            if (other) {
                // Its own transaction, if it began one, goes on to its commit.
                const bool began = QByteArray(c.otherRuns).startsWith("BEGIN");
                EXPECT_EQ(other->run(began ? kWrite + QStringLiteral("; COMMIT") : kWrite), QString());
                EXPECT_EQ(other->run(QStringLiteral("select count(*) from TA4 where F1='旧'")), QStringLiteral("1"));
            }
        }
}

// Another computer that had the book open, idle, and starts writing once the
// lock is taken waits for it on the old file and, when it gets it, finds the
// book replaced: its write is refused with the reason that says so, instead
// of going into a file no one reads again. The book's new file is whole, and
// a connection opened on it afterwards reads and writes it.
TEST(BookLock, AWriterWaitingForTheLockFindsTheBookReplacedAndIsToldSo)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2) values ('旧','旧帐本的货品')");
    const QString staged = book.dir() + "/新帐本.vzk";
    ASSERT_EQ(db::createBook(staged), QString());
    book.db().close();

    int opened[2], go[2];
    ASSERT_EQ(::pipe(opened), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // The other computer: its own connection, opened before the restore.
        db::Database late;
        const char ready = late.open(book.bookPath()) ? 'y' : 'n';
        (void)!::write(opened[1], &ready, 1);
        char next;
        (void)!::read(go[0], &next, 1);
        const bool wrote = late.execScript(QStringLiteral("BEGIN IMMEDIATE")) && late.exec(kWrite)
                           && late.execScript(QStringLiteral("COMMIT"));
        ::_exit(wrote ? 0 : db::failureOf(late.lastErrorCode()) == db::Failure::Replaced ? 2 : 1);
    }
    char ready = 'n';
    ASSERT_EQ(::read(opened[0], &ready, 1), 1);
    ASSERT_EQ(ready, 'y');
    {
        db::BookLock lock(book.bookPath());
        ASSERT_TRUE(lock.isHeld()) << lock.error().toStdString();
        ASSERT_EQ(::write(go[1], "g", 1), 1);  // the other computer starts its write now, while the lock is held
        EXPECT_EQ(lock.replaceBookWith(staged), QString());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2) << "0: written into the replaced file; 1: refused for another reason";

    db::Database reopened;
    ASSERT_TRUE(reopened.open(book.bookPath()));
    EXPECT_EQ(reopened.scalar(QStringLiteral("select count(*) from TA4 where F1='旧'")).toInt(), 0);
    EXPECT_EQ(reopened.scalar(QStringLiteral("select count(*) from TA3 where F1='锁'")).toInt(), 0);
    EXPECT_TRUE(reopened.exec(kWrite)) << reopened.lastError().toStdString();
    EXPECT_EQ(reopened.scalar(QStringLiteral("select count(*) from TA3 where F1='锁'")).toInt(), 1);
}

// The checked copy put in the locked book's place must be the program's own
// file: a link in its place (to another book of the user's) or a file with a
// second name elsewhere is not put there, and neither the book nor the other
// file changes, mode included.
TEST(BookLock, OnlyTheProgramsOwnCopyTakesTheBooksPlace)
{
    const struct {
        const char *name;
        bool (*make)(const QString &other, const QString &staged);
    } cases[] = {
        {"a link to another book", [](const QString &other, const QString &staged) { return QFile::link(other, staged); }},
        {"another book's second name",
         [](const QString &other, const QString &staged) {
             return ::link(QFile::encodeName(other).constData(), QFile::encodeName(staged).constData()) == 0;
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestBook book;
        book.db().close();
        const QString other = book.dir() + "/其它帐本.vzk", staged = db::restoreStagePathFor(book.bookPath());
        ASSERT_EQ(db::createBook(other), QString());
        ASSERT_EQ(::chmod(QFile::encodeName(other).constData(), 0600), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(book.bookPath()).constData(), 0644), 0);
        ASSERT_TRUE(c.make(other, staged));
        const faults::FileState bookBefore = faults::stateOf(book.bookPath()), otherBefore = faults::stateOf(other);
        {
            db::BookLock lock(book.bookPath());
            ASSERT_TRUE(lock.isHeld()) << lock.error().toStdString();
            EXPECT_NE(lock.replaceBookWith(staged), QString());
        }
        EXPECT_EQ(faults::stateOf(book.bookPath()), bookBefore);
        EXPECT_EQ(faults::stateOf(other), otherBefore);
        struct stat otherNow {};
        ASSERT_EQ(::stat(QFile::encodeName(other).constData(), &otherNow), 0);
        EXPECT_EQ(otherNow.st_mode & 07777, mode_t(0600));
    }
}

// A journal found beside a locked book belongs to no write the engine can
// finish or undo any more. One that holds a write (it begins with a header)
// keeps the book as it is, since its pages were never played back; an empty or
// zeroed one is no one's work and is removed with the replace. A FIFO there
// is read at once, as a write that keeps the book.
TEST(BookLock, AJournalThatHoldsAWriteKeepsTheBookAsItIs)
{
    const QByteArray header = QByteArray::fromHex("d9d505f920a163d7") + QByteArray(20, '\x01');
    const struct {
        const char *name;
        QByteArray journal;
        bool replaced;
        bool fifo = false;
    } cases[] = {
        {"a journal with its header", header, false},
        {"a journal whose header was zeroed", QByteArray(28, '\0'), true},
        {"an empty journal", QByteArray(), true},
        {"a FIFO in the journal's place", QByteArray(), false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestBook book;
        book.exec("insert into TA4 (F1,F2) values ('旧','旧帐本的货品')");
        const QString staged = book.dir() + "/新帐本.vzk";
        ASSERT_EQ(db::createBook(staged), QString());
        book.db().close();
        const faults::FileState before = faults::stateOf(book.bookPath());
        const QString journal = book.bookPath() + "-journal";
        std::optional<WriterlessFifo> fifo;
        {
            db::BookLock lock(book.bookPath());
            ASSERT_TRUE(lock.isHeld()) << lock.error().toStdString();
            if (c.fifo) {
                ASSERT_TRUE(fifo.emplace(journal).made());
            } else {
                QFile left(journal);
                ASSERT_TRUE(left.open(QIODevice::WriteOnly));
                ASSERT_EQ(left.write(c.journal), c.journal.size());
            }
            const QString error = lock.replaceBookWith(staged);
            EXPECT_EQ(db::splitDetails(error).text, c.replaced ? QString() : db::failureReason(db::Failure::Busy));
        }
        if (fifo) {
            EXPECT_FALSE(fifo->finish()) << "the replace waited on the FIFO";
        }
        EXPECT_EQ(QFileInfo::exists(journal), !c.replaced);
        if (c.replaced) {
            db::Database reopened;
            ASSERT_TRUE(reopened.open(book.bookPath()));
            EXPECT_EQ(reopened.scalar(QStringLiteral("select count(*) from TA4 where F1='旧'")).toInt(), 0);
        } else {
            EXPECT_EQ(faults::stateOf(book.bookPath()), before);
            EXPECT_TRUE(QFileInfo::exists(staged));  // left for the caller to remove
        }
    }
}
