#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "support/Leftovers.h"
#include "support/TestBook.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "db/FileReplace.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Every table of the book at path, each as its rows in storage order, each row
// its fields quoted by the engine (so a number and its text differ).
QMap<QString, QStringList> tablesOf(const QString &path)
{
    QMap<QString, QStringList> tables;
    db::Database book;
    if (!book.open(path))
        return tables;
    db::Statement names = book.prepare(QStringLiteral("select name from sqlite_master where type='table' order by name"));
    while (names.next()) {
        db::Statement columns = book.prepare(QStringLiteral("select * from \"%1\" limit 0").arg(names.text(0)));
        QStringList quoted;
        for (int c = 0; c < columns.columnCount(); ++c)
            quoted << QStringLiteral("quote(\"%1\")").arg(columns.columnName(c));
        db::Statement rows = book.prepare(QStringLiteral("select %1 from \"%2\" order by rowid")
                                              .arg(quoted.join(QStringLiteral("||'|'||")), names.text(0)));
        QStringList &table = tables[names.text(0)];
        while (rows.next())
            table << rows.text(0);
    }
    return tables;
}

// One stock-in note of one goods line, its quantity added to the goods' stock,
// as the audit writes it.
void postNote(db::Database &book, const QString &number, const QString &goods, double quantity)
{
    ASSERT_TRUE(book.exec(QStringLiteral("insert into TB1 (F1,F2,F6) values (?,'2026-12-01','001')"), {number}));
    ASSERT_TRUE(book.exec(QStringLiteral("insert into TB11 (F0,F1,F6) values (?,?,?)"), {number, goods, quantity}));
    ASSERT_TRUE(book.exec(QStringLiteral("update TA4 set F8=coalesce(F8,0)+? where F1=?"), {quantity, goods}));
}

// Notes without lines, and goods whose stock is not the sum of their lines.
QString disagreements(const QString &path)
{
    db::Database book;
    if (!book.open(path))
        return book.lastError();
    return book
        .scalar(QStringLiteral(
            "select coalesce(group_concat(x),'') from ("
            " select 'note '||F1 as x from TB1 where F1 not in (select F0 from TB11)"
            " union all select 'goods '||F1 from TA4"
            "  where coalesce(F8,0)<>(select coalesce(sum(F6),0) from TB11 where TB11.F1=TA4.F1))"))
        .toString();
}

} // namespace

TEST(BookCopy, CopyHoldsEveryTableAsTheBookAndIsKeyed)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F7,F8) values ('G1','螺丝',1.5,0),('G2','螺母',NULL,0)");
    {
        db::Transaction posting(book.db());
        for (int i = 0; i < 300; ++i)  // pages enough for several B-tree levels
            postNote(book.db(), QStringLiteral("RK%1").arg(i, 6, 10, QLatin1Char('0')), i % 2 ? "G1" : "G2", i + 0.25);
        ASSERT_TRUE(posting.commit());
    }
    book.exec("delete from TB1 where F1='RK000007'");  // a free page or two
    const QString target = book.dir() + "/copy.vzk";

    qint64 lastCopied = -1, lastTotal = 0;
    ASSERT_EQ(db::copyBook(book.bookPath(), target, [&](qint64 copied, qint64 total) { lastCopied = copied, lastTotal = total; }),
              QString());
    const auto tables = tablesOf(target);
    EXPECT_GE(tables.size(), 27);
    EXPECT_EQ(tables, tablesOf(book.bookPath()));
    EXPECT_EQ(tables.value("TB11").size(), 300);
    EXPECT_GT(lastTotal, 1);
    EXPECT_EQ(lastCopied, lastTotal);
    db::Database copy;
    EXPECT_FALSE(copy.open(target, "wrong"));
    EXPECT_EQ(QDir(book.dir()).entryList({"copy.vzk*"}, QDir::Files), QStringList{"copy.vzk"});
}

TEST(BookCopy, ACopyTakenWhileAnotherConnectionWritesIsOneCommittedState)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F8) values ('G1','螺丝',0)");
    postNote(book.db(), "RK1", "G1", 5);

    db::Database writer;
    ASSERT_TRUE(writer.open(book.bookPath()));
    sqlite3_busy_timeout(writer.handle(), 0);
    db::Transaction writing(writer);
    ASSERT_TRUE(writing.isActive());
    postNote(writer, "RK2", "G1", 7);  // written, not yet committed

    const QString target = book.dir() + "/copy.vzk";
    int commitDuringCopy = SQLITE_OK;
    const QString error = db::copyBook(book.bookPath(), target, [&](qint64, qint64) {
        postNote(writer, "RK3", "G1", 11);
        // the copy's read transaction holds the book: the writer cannot commit into it
        commitDuringCopy = sqlite3_exec(writer.handle(), "COMMIT", nullptr, nullptr, nullptr);
    });
    ASSERT_EQ(error, QString());
    EXPECT_EQ(commitDuringCopy, SQLITE_BUSY);
    ASSERT_TRUE(writing.commit());  // the copy is done: now it can

    EXPECT_EQ(disagreements(target), QString());
    EXPECT_EQ(disagreements(book.bookPath()), QString());
    EXPECT_EQ(tablesOf(target).value("TB1").size(), 1);
    EXPECT_EQ(book.value("select group_concat(F1) from TB1"), QStringLiteral("RK1,RK2,RK3"));
}

// A copy is written once: into one staging file beside its target, under the
// target's own name, which is what is put in the target's place; a refusal
// there leaves neither a copy nor anything staged.
TEST(BookCopy, OneStagingFileBesideTheTargetIsWhatIsPutInPlace)
{
    TestBook book;
    const QRegularExpression stagingName(QStringLiteral(R"(^备份\.vzk\.\d+-[0-9a-f]{16}\.warehouse-staging$)"));
    const QString target = book.dir() + "/备份.vzk";
    QStringList stagedThen;
    QString handed, handedTo;
    const auto publish = [&](db::StagedFile &staged, const QString &into) {
        stagedThen = leftovers::stagingIn(book.dir());
        handed = QFileInfo(staged.path()).fileName();
        handedTo = into;
        return db::replaceFile(staged, into);
    };
    ASSERT_EQ(db::copyBook(book.bookPath(), target, {}, nullptr, publish), QString());
    EXPECT_EQ(handedTo, target);
    EXPECT_EQ(stagedThen, QStringList{handed});
    EXPECT_TRUE(stagingName.match(handed).hasMatch()) << handed.toStdString();
    EXPECT_EQ(tablesOf(target), tablesOf(book.bookPath()));
    EXPECT_EQ(leftovers::stagingIn(book.dir()), QStringList());

    QFile::remove(target);
    const QString refused = QStringLiteral("没有地方放备份");
    EXPECT_EQ(db::copyBook(book.bookPath(), target, {}, nullptr, [&](db::StagedFile &, const QString &) { return refused; }),
              refused);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(leftovers::stagingIn(book.dir()), QStringList());
}

TEST(BookCopy, FailuresNameTheirReasonAndLeaveNothingBehind)
{
    TestBook book;
    const QString missingFolder = book.dir() + "/没有的文件夹";
    QDir().mkpath(book.dir() + "/占用/copy.vzk");  // a folder where the copy must go
    const struct {
        QString source, target, reason;
    } cases[] = {
        {book.bookPath(), missingFolder + "/copy.vzk", QStringLiteral("文件夹 %1 不存在").arg(missingFolder)},
        {book.dir() + "/missing.vzk", book.dir() + "/copy.vzk", QStringLiteral("找不到文件 %1").arg(book.dir() + "/missing.vzk")},
        {book.bookPath(), book.dir() + "/占用/copy.vzk", QString()},
    };
    for (const auto &c : cases) {
        const QDir folder = QFileInfo(c.target).dir();
        const QStringList before = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        bool busy = true;
        const QString error = db::copyBook(c.source, c.target, {}, &busy);
        EXPECT_FALSE(error.isEmpty()) << c.target.toStdString();
        if (!c.reason.isEmpty()) {
            EXPECT_EQ(error, c.reason);
        }
        EXPECT_FALSE(busy);
        EXPECT_FALSE(QFileInfo(c.target).isFile());
        EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before) << c.target.toStdString();
    }
}

TEST(BookCopy, ADamagedBookIsRefusedByTheCheckAndTheEarlierBackupStays)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F8) values ('G1','螺丝',0)");
    {
        db::Transaction posting(book.db());
        for (int i = 0; i < 300; ++i)
            postNote(book.db(), QStringLiteral("RK%1").arg(i, 6, 10, QLatin1Char('0')), "G1", 1);
        ASSERT_TRUE(posting.commit());
    }
    QFile whole(book.bookPath());
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const qint64 pageSize = 1024, pages = bytes.size() / pageSize;
    ASSERT_GT(pages, 20);

    QByteArray flipped = bytes;  // a data page near the end, far from the schema the open reads
    for (qint64 i = (pages - 3) * pageSize + 100; i < (pages - 3) * pageSize + 140; ++i)
        flipped[i] = char(~flipped[i]);
    const struct {
        const char *name;
        QByteArray content;
    } cases[] = {{"flipped", flipped}, {"cut", bytes.left((pages * 3 / 4) * pageSize)}};
    const QString target = book.dir() + "/backup.vzk";
    for (const auto &c : cases) {
        const QString damaged = book.dir() + "/" + c.name + ".vzk";
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        QFile earlier(target);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier backup");
        earlier.close();

        EXPECT_FALSE(db::copyBook(damaged, target).isEmpty()) << c.name;
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("earlier backup")) << c.name;
        earlier.close();
        EXPECT_EQ(leftovers::stagingIn(book.dir()), QStringList()) << c.name;
    }
}

// The check reads a copy a block of pages at a time into a few blocks of its
// own: a book of many more blocks than it keeps passes whole and equal, and a
// page damaged anywhere in it, the last page included, is found.
TEST(BookCopy, ABookOfManyBlocksIsCheckedWhole)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F8) values ('G1','螺丝',0)");
    {
        db::Transaction posting(book.db());
        for (int i = 0; i < 6000; ++i)  // about 8 MB: twice the blocks the check keeps
            ASSERT_TRUE(book.db().exec(QStringLiteral("insert into TB11 (F0,F1,F8) values (?,'G1',hex(randomblob(600)))"),
                                       {QStringLiteral("RK%1").arg(i)}));
        ASSERT_TRUE(posting.commit());
    }
    const QString backup = book.dir() + "/backup.vzk";
    ASSERT_EQ(db::copyBook(book.bookPath(), backup), QString());
    EXPECT_EQ(tablesOf(backup), tablesOf(book.bookPath()));

    QFile whole(book.bookPath());
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const qint64 pageSize = 1024, pages = bytes.size() / pageSize;
    ASSERT_GT(bytes.size(), 8 * 1024 * 1024 - 1024 * 1024);
    for (const qint64 page : {pages / 3, pages / 2 + 1, pages - 1}) {
        QByteArray damaged = bytes;
        for (qint64 i = page * pageSize + 200; i < page * pageSize + 240; ++i)
            damaged[i] = char(~damaged[i]);
        const QString path = book.dir() + "/damaged.vzk";
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        EXPECT_FALSE(db::copyBook(path, book.dir() + "/copy.vzk").isEmpty()) << "page " << page;
        EXPECT_FALSE(QFile::exists(book.dir() + "/copy.vzk")) << "page " << page;
    }
}

// A copy of a book is open to no one the book is closed to: a backup, or a
// new book made from it, takes the book's permission bits within those a new
// file gets, and its owner may always read and write it.
TEST(BookCopy, ACopyIsOpenToNoOneTheBookIsClosedTo)
{
    const mode_t umaskBefore = ::umask(022);
    const struct {
        mode_t book, copy;
    } cases[] = {{0600, 0600}, {0640, 0640}, {0644, 0644}, {0444, 0644}, {0400, 0600}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.book);
        TestBook book;
        book.db().close();
        ASSERT_EQ(::chmod(QFile::encodeName(book.bookPath()).constData(), c.book), 0);
        const QString backup = book.dir() + "/backup.vzk", made = book.dir() + "/新帐本.vzk";
        ASSERT_EQ(db::copyBook(book.bookPath(), backup), QString());
        ASSERT_EQ(db::compactCopy(book.bookPath(), made), QString());
        for (const QString &copy : {backup, made}) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(copy).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, c.copy) << copy.toStdString();
        }
    }
    // A book made new, from no other, gets the mode of any new file.
    TestBook folder;
    const QString created = folder.dir() + "/空帐本.vzk";
    ASSERT_EQ(db::createBook(created), QString());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(created).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0644));
    ::umask(umaskBefore);
}
