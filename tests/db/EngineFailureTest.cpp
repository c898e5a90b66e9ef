#include "support/BookFaults.h"
#include "support/TestBook.h"

#include "db/EngineFailure.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    QString error;  // the connection's last error as the clerk would read it
    int code = 0;
};

Outcome failingWrite(db::Database &book)
{
    const bool written = book.exec(QStringLiteral("insert into TA3 (F1,F2) values ('新','类别')"));
    return {written ? QString() : book.lastError(), book.lastErrorCode()};
}

Outcome failingOpen(const QString &path)
{
    db::Database book;
    const bool opened = book.open(path);
    return {opened ? QString() : book.lastError(), book.lastErrorCode()};
}

} // namespace

// Each kind of failure is made for real and read back through the one
// description: the Chinese reason is the text, the engine's words its detail.
TEST(EngineFailure, EachFailureIsToldByItsChineseReasonWithTheEnginesTextAsDetail)
{
    faults::ShortBusyWait shortWait;  // before the book's connection opens
    TestBook book;
    faults::growBook(book.db());
    const QString dir = book.dir();
    const struct {
        const char *name;
        db::Failure kind;
        std::function<Outcome()> fail;
    } cases[] = {
        {"busy past the wait", db::Failure::Busy,
         [&] {
             faults::WriteLock lock(book.bookPath());
             EXPECT_TRUE(lock.held());
             return failingWrite(book.db());
         }},
        {"read-only", db::Failure::ReadOnly,
         [&] {
             db::Database reader;
             EXPECT_TRUE(reader.openReadOnly(book.bookPath()));
             return failingWrite(reader);
         }},
        {"replaced by a restore elsewhere", db::Failure::Replaced,
         [&] {
             db::Database stale;
             EXPECT_TRUE(stale.open(book.bookPath()));
             EXPECT_TRUE(QFile::copy(book.bookPath(), dir + "/restored.vzk"));
             EXPECT_EQ(::rename(QFile::encodeName(dir + "/restored.vzk"), QFile::encodeName(book.bookPath())), 0);
             return failingWrite(stale);
         }},
        {"other key", db::Failure::NotABook, [&] { return failingOpen(faults::makeOtherKeyBook(dir + "/other.vzk")); }},
        {"junk", db::Failure::NotABook, [&] { return failingOpen(faults::makeJunkFile(dir + "/junk.vzk")); }},
        {"malformed page", db::Failure::Damaged,
         [&] {
             db::Database damaged;
             EXPECT_TRUE(damaged.open(faults::makeDamagedCopy(book.bookPath(), dir + "/damaged.vzk")));
             bool ok = true;
             damaged.scalar(QStringLiteral("select count(F6) from TA4"), {}, &ok);
             return Outcome{ok ? QString() : damaged.lastError(), damaged.lastErrorCode()};
         }},
        {"missing table", db::Failure::MissingTables,
         [&] {
             bool ok = true;
             book.db().scalar(QStringLiteral("select count(*) from TA9"), {}, &ok);
             return Outcome{ok ? QString() : book.db().lastError(), book.db().lastErrorCode()};
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = c.fail();
        ASSERT_FALSE(outcome.error.isEmpty());
        EXPECT_EQ(db::failureOf(outcome.code, db::splitDetails(outcome.error).details), c.kind);
        const db::TextAndDetails told = db::splitDetails(outcome.error);
        EXPECT_EQ(told.text, db::failureReason(c.kind));
        EXPECT_FALSE(told.details.isEmpty());
    }
}

TEST(EngineFailure, AFullDiskIsToldAsFullForTheEnginesWritesAndTheProgramsOwn)
{
    TestBook book;
    faults::SmallDisk disk(book.dir() + "/disk");
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString onDisk = disk.folder() + "/帐本.vzk";
    ASSERT_TRUE(QFile::copy(book.bookPath(), onDisk));
    db::Database full;
    ASSERT_TRUE(full.open(onDisk));
    disk.fill();
    bool written = true;
    for (int i = 0; i < 2000 && written; ++i)  // far more than the free pages left
        written = full.exec(QStringLiteral("insert into TA4 (F1,F6) values (?,?)"),
                            {QStringLiteral("G%1").arg(i), QString(800, QLatin1Char('x'))});
    disk.free();
    ASSERT_FALSE(written);
    EXPECT_EQ(db::splitDetails(full.lastError()).text, db::failureReason(db::Failure::DiskFull));
    EXPECT_EQ(db::splitDetails(db::describeFileFailure(ENOSPC, onDisk)).text, db::failureReason(db::Failure::DiskFull));
}

TEST(EngineFailure, DetailsComeOutOfTheTextWhereverTheyStand)
{
    const QString text = QStringLiteral("无法完成备份！\n\n") + db::withDetail(QStringLiteral("原因"), QStringLiteral("engine says")) +
                         QStringLiteral("\n\n请重试");
    const db::TextAndDetails parts = db::splitDetails(text);
    EXPECT_EQ(parts.text, QStringLiteral("无法完成备份！\n\n原因\n\n请重试"));
    EXPECT_EQ(parts.details, QStringLiteral("engine says"));
    EXPECT_EQ(db::splitDetails(QStringLiteral("没有细节")).text, QStringLiteral("没有细节"));
    EXPECT_EQ(db::withDetail(QStringLiteral("原因"), QString()), QStringLiteral("原因"));
}
