#include "support/BookFaults.h"
#include "support/Neighbour.h"

#include "db/BookFile.h"
#include "db/Database.h"
#include "db/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const QByteArray kWhole(8 << 20, 'w');  // written long enough for the neighbour to act meanwhile

struct stat lstatOf(const QString &path)
{
    struct stat result {};
    ::lstat(QFile::encodeName(path).constData(), &result);
    return result;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot read>");
}

// The first column of the first row of sql in the book at path; "<no book>"
// when it does not open as one.
QString valueIn(const QString &path, const QString &sql)
{
    db::Database book;
    if (!book.open(path))
        return QStringLiteral("<no book>");
    return book.scalar(sql).toString();
}

// A book at path whose goods hold one row named marker.
void makeMarkedBook(const QString &path, const QString &marker)
{
    ASSERT_EQ(db::createBook(path), QString());
    db::Database book;
    ASSERT_TRUE(book.open(path));
    ASSERT_TRUE(book.exec(QStringLiteral("insert into TA4 (F1,F2) values (?,'货品')"), {marker}));
    faults::growBook(book);
}

struct Written {
    const char *name;
    bool replaces;  // writes over a file at the target (else a new book at a free name)
    QString (*write)(const QString &source, const QString &target);
    // Whether the file at target is what the write wrote.
    bool (*holdsTheWrite)(const QString &target);
};

// Whether the book at target holds, of the marked goods, the one marked (none
// when marker is empty): the source's and not the other book's.
bool holdsGoods(const QString &target, const char *marker)
{
    return valueIn(target, QStringLiteral("select coalesce(group_concat(F1),'') from TA4 where F1 in ('来源','其它')"))
           == QString::fromUtf8(marker);
}

const Written kWrites[] = {
    {"a file written whole", true, [](const QString &, const QString &target) { return db::writeWhole(target, kWhole); },
     [](const QString &target) { return contentOf(target) == kWhole; }},
    {"a backup", true, [](const QString &source, const QString &target) { return db::copyBook(source, target); },
     [](const QString &target) { return holdsGoods(target, "来源"); }},
    {"a new book", false, [](const QString &, const QString &target) { return db::createBook(target); },
     [](const QString &target) { return holdsGoods(target, ""); }},
    {"a new book made from another", false,
     [](const QString &source, const QString &target) { return db::compactCopy(source, target); },
     [](const QString &target) { return holdsGoods(target, "来源"); }},
};

} // namespace

// A colleague who shares the folder (open to the group, without the sticky
// bit) swaps each staging name for a link to another file of the user's the
// moment it appears. That file keeps its bytes, mode and owner; a write told
// done has its own content in place, a write that is not leaves the target as
// it was.
TEST(StagedSwap, ANeighbourWhoSwapsTheStagingNameGetsNoOtherFileWrittenOpenedOrGivenAway)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    const QString shared = dir.path() + QStringLiteral("/共用"), own = dir.path() + QStringLiteral("/自己");
    QDir().mkpath(shared);
    QDir().mkpath(own);
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0700), 0);
    const QString other = own + QStringLiteral("/其它帐本.vzk"), source = own + QStringLiteral("/来源.vzk");
    makeMarkedBook(other, QStringLiteral("其它"));
    makeMarkedBook(source, QStringLiteral("来源"));
    ASSERT_EQ(::chmod(QFile::encodeName(other).constData(), 0600), 0);
    const faults::FileState otherBefore = faults::stateOf(other);
    const struct stat otherStat = lstatOf(other);

    for (const Written &w : kWrites) {
        SCOPED_TRACE(w.name);
        const QString target = shared + QStringLiteral("/目标.vzk");
        Neighbour neighbour(shared, other, {QFileInfo(target).fileName()});
        if (!neighbour.started())
            GTEST_SKIP() << "needs the superuser, to run the neighbour as another user, and a watched folder";
        for (int round = 0; round < 10 && neighbour.swapped() < 2; ++round) {
            QFile::remove(target);
            if (w.replaces) {
                // the target, shared: a file of the neighbour's group
                QFile earlier(target);
                ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
                earlier.write("旧的内容");
                earlier.close();
                ASSERT_EQ(::chown(QFile::encodeName(target).constData(), kNobody, kNobody), 0);
                ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0664), 0);
            }
            const faults::FileState targetBefore = faults::stateOf(target);

            const QString reason = w.write(source, target);
            const struct stat otherNow = lstatOf(other);
            EXPECT_EQ(faults::stateOf(other), otherBefore) << round;
            EXPECT_EQ(otherNow.st_mode, otherStat.st_mode) << round;
            EXPECT_EQ(otherNow.st_uid, otherStat.st_uid) << round;
            EXPECT_EQ(otherNow.st_gid, otherStat.st_gid) << round;
            if (reason.isEmpty()) {
                EXPECT_TRUE(S_ISREG(lstatOf(target).st_mode)) << round;
                EXPECT_TRUE(w.holdsTheWrite(target)) << round;
            } else {
                EXPECT_EQ(faults::stateOf(target), targetBefore) << round;
                EXPECT_TRUE(reason.contains(QStringLiteral("被换成了别的文件"))) << reason.toStdString();
            }
        }
        EXPECT_GT(neighbour.swapped(), 0) << "the neighbour never swapped a staging name in time";
    }
}
