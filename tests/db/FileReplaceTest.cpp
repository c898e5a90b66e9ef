#include "support/FolderWatch.h"
#include "support/Leftovers.h"

#include "db/EngineFailure.h"
#include "db/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot read>");
}

struct stat statOf(const QString &path)
{
    struct stat result {};
    ::stat(QFile::encodeName(path).constData(), &result);
    return result;
}

// The reason told for a file its owner made read-only.
QString readOnlyReason(const QString &path)
{
    return db::describeFileFailure(EACCES, path);
}

// The reason told for another user's file in a folder with the sticky bit.
QString stickyFolderReason(const QString &path)
{
    return QStringLiteral("文件 %1 属于其他用户，它所在的文件夹只允许文件的主人替换它。").arg(path);
}

// Sets the process's file mode mask for the life of the object.
class Umask {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }

private:
    mode_t previous_;
};

// Runs work as an ordinary user and gives the number of checks that failed in
// it, or -1 when no ordinary user can be had. A test run as root runs work in
// a child process that has given up root for "nobody" (folder, where work
// makes its files, handed to that user); any other runs it here. work reports
// its own failures on the error output (a child has no test framework to
// report to).
int asOrdinaryUser(const QString &folder, const std::function<int()> &work)
{
    if (::geteuid() != 0)
        return work();
    QDir().mkpath(folder);
    const QByteArray name = QFile::encodeName(folder);
    if (::chown(name.constData(), kNobody, kNobody) != 0)
        return -1;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(255);
        ::_exit(std::min(work(), 254));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// A check inside work: counts and tells a failure.
int failedUnless(bool passed, const char *what)
{
    if (!passed)
        std::fprintf(stderr, "check failed: %s\n", what);
    return passed ? 0 : 1;
}

} // namespace

// Two computers writing one file (their exit backups into one folder, two
// exports of one name) each stage in a file of their own: whatever either
// reads after its write is one whole content.
TEST(FileReplace, TwoProcessesWritingOneTargetEachPublishOnlyWholeContents)
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/dbsetup.dat");
    const QByteArray mine(2 << 20, 'a'), theirs(2 << 20, 'b');
    ASSERT_EQ(db::writeWhole(target, theirs), QString());
    constexpr int rounds = 100;

    std::fflush(nullptr);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        int failed = 0;
        for (int i = 0; i < rounds; ++i)
            failed += !db::writeWhole(target, theirs).isEmpty();
        ::_exit(failed == 0 ? 0 : 1);
    }
    int failed = 0, torn = 0;
    for (int i = 0; i < rounds; ++i) {
        if (!db::writeWhole(target, mine).isEmpty()) {
            ++failed;
            continue;
        }
        const QByteArray found = contentOf(target);
        torn += found != mine && found != theirs;
    }
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other writer had failures";
    const QByteArray last = contentOf(target);
    EXPECT_TRUE(last == mine || last == theirs);
    EXPECT_EQ(leftovers::stagingIn(dir.path()), QStringList());
}

// Only files with the program's staging mark are its leftovers, only the
// user's own, and only once no one can still be writing them; whatever a
// user named like an earlier version's staging file stays.
TEST(FileReplace, LeftoversAreOnlyTheProgramsOwnThatNoOneCanStillBeWriting)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString book = folder + QStringLiteral("/帐本.vzk");
    const QString longName = folder + QLatin1Char('/') + QStringLiteral("很长的名字").repeated(16) + QStringLiteral(".set");
    leftovers::leave(book, 72);
    const struct {
        QString path;
        int hoursAgo;
        bool removed;
    } cases[] = {
        {db::stagedPathFor(book), 30, true},
        {db::stagedPathFor(book), 0, false},  // another computer copying the book now
        {db::stagedPathFor(book), 23, false},
        {db::restoreStagePathFor(book), 30, true},
        {db::restoreStagePathFor(book), 0, false},  // another computer restoring now
        {db::stagedPathFor(db::restoreStagePathFor(book)), 30, true},
        {db::stagedPathFor(folder + QStringLiteral("/dbsetup.dat")), 30, true},
        {db::stagedPathFor(longName), 30, true},
        // a user's files, named as earlier versions staged theirs
        {folder + QStringLiteral("/x.tmp"), 48, false},
        {folder + QStringLiteral("/report.xlsx.tmp"), 48, false},
        {folder + QStringLiteral("/plan.1234-0123456789abcdef.tmp"), 48, false},
        {book + QStringLiteral(".tmp"), 48, false},
        {book + QStringLiteral(".restore"), 48, false},
        {book + QStringLiteral(".restore.tmp"), 48, false},
        {folder + QStringLiteral("/报表.xlsx.tmp"), 30, false},
    };
    QStringList removed;
    for (const auto &c : cases) {
        leftovers::leave(c.path, c.hoursAgo);
        if (c.removed)
            removed << c.path;
    }
    // a staging file of another user's (a colleague sharing the folder) is theirs to remove
    const QString others = db::stagedPathFor(folder + QStringLiteral("/他的.set"));
    leftovers::leave(others, 48);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(others).constData(), kNobody, kNobody), 0);
    } else {
        removed << others;  // no other user's file can be made here
    }
    const auto listed = [](QStringList paths) {
        paths.sort();
        return paths.join(QLatin1Char('\n')).toStdString();
    };
    EXPECT_EQ(listed(db::leftoversIn(folder)), listed(removed));
}

TEST(FileReplace, EachStagingNameIsNewAndBesideItsTargetWhateverTheTargetsLength)
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/备份-测试帐本.vzk");
    EXPECT_NE(db::stagedPathFor(target), db::stagedPathFor(target));
    EXPECT_EQ(QFileInfo(db::stagedPathFor(target)).absolutePath(), dir.path());
    EXPECT_NE(db::restoreStagePathFor(target), db::restoreStagePathFor(target));

    // a name of 244 bytes, near the file system's limit of 255
    const QString longest = dir.path() + QLatin1Char('/') + QStringLiteral("很长的名字").repeated(16) + QStringLiteral(".set");
    ASSERT_EQ(QFile::encodeName(QFileInfo(longest).fileName()).size(), 244);
    EXPECT_EQ(db::writeWhole(longest, "整个"), QString());
    EXPECT_EQ(contentOf(longest), QByteArray("整个"));
    const db::StagedFile staged(longest);
    ASSERT_EQ(staged.error(), QString());
    EXPECT_EQ(QFileInfo(staged.path()).absolutePath(), dir.path());
    EXPECT_EQ(QFileInfo(staged.path()).size(), 0);
    EXPECT_EQ(leftovers::stagingIn(dir.path()), QStringList{QFileInfo(staged.path()).fileName()});
}

// A replaced file keeps its owner's protection (the staging file is made with
// the default mode), and a file its owner made read-only is not replaced.
// Decided by the mode bits: the superuser may write any file.
TEST(FileReplace, ATargetKeepsItsModeAndOwnerAndOneItsOwnerMadeReadOnlyIsRefused)
{
    const Umask usual(022);
    const bool root = ::geteuid() == 0;
    const struct {
        mode_t mode;
        bool replaced;
    } cases[] = {
        {0600, true}, {0640, true}, {0660, true}, {0666, true}, {0444, false}, {0400, false}, {0555, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::number(c.mode, 8).toStdString());
        QTemporaryDir dir;
        const QString target = dir.path() + QStringLiteral("/PersonalSet.dat");
        ASSERT_EQ(db::writeWhole(target, "旧的内容"), QString());
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), c.mode), 0);
        if (root) {
            ASSERT_EQ(::chown(QFile::encodeName(target).constData(), kNobody, kNobody), 0);
        }
        const struct stat before = statOf(target);

        const QString reason = db::writeWhole(target, "新的内容");
        const struct stat after = statOf(target);
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        if (c.replaced) {
            EXPECT_EQ(reason, QString());
            EXPECT_EQ(contentOf(target), QByteArray("新的内容"));
        } else {
            EXPECT_EQ(reason, readOnlyReason(target));
            EXPECT_EQ(contentOf(target), QByteArray("旧的内容"));
            EXPECT_EQ(after.st_ino, before.st_ino);
        }
        EXPECT_EQ(leftovers::stagingIn(dir.path()), QStringList());
    }
}

// What a private file holds is private while it is written, whatever the
// file mode mask: its staging file, watched from another thread as it is
// made, is never open to anyone but its owner, and the file keeps its mode.
TEST(FileReplace, APrivateFilesStagingFileIsOpenToItsOwnerAloneWhileItIsWritten)
{
    const Umask widest(0);
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/帐本bak.set");
    ASSERT_EQ(db::writeWhole(target, "旧的内容"), QString());
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0600), 0);

    std::atomic<int> seen = 0;
    std::atomic<mode_t> bits = 0;  // every permission bit any staging file was seen with
    FolderWatch watch(dir.path(), [&](const QString &path) {
        struct stat made {};
        if (::stat(QFile::encodeName(path).constData(), &made) == 0) {  // else in place already
            bits |= made.st_mode & 07777;
            ++seen;
        }
    });
    if (!watch.watching())
        GTEST_SKIP() << "the folder cannot be watched here";
    const QByteArray large(32 << 20, 'p');
    for (int round = 0; round < 20 && seen < 3; ++round)
        ASSERT_EQ(db::writeWhole(target, large), QString());
    watch.stop();
    ASSERT_GT(seen, 0) << "no staging file was seen while it was written";
    EXPECT_EQ(bits.load(), mode_t(0600));
    EXPECT_EQ(statOf(target).st_mode & 07777, mode_t(0600));

    // a staging file made and left (as by a write that was cut off) is private too
    const db::StagedFile staged(target);
    ASSERT_EQ(staged.error(), QString());
    EXPECT_EQ(statOf(staged.path()).st_mode & 07777, mode_t(0600));
}

// A new file is private only while it is written: in place, it has the mode
// any file the program makes now gets.
TEST(FileReplace, ANewFileInPlaceTakesTheModeOfAFileMadeNow)
{
    const struct {
        mode_t mask, mode;
    } cases[] = {{022, 0644}, {077, 0600}, {002, 0664}, {0, 0666}};
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::number(c.mask, 8).toStdString());
        const Umask mask(c.mask);
        QTemporaryDir dir;
        const QString target = dir.path() + QStringLiteral("/导出.csv");
        ASSERT_EQ(db::writeWhole(target, "新的内容"), QString());
        EXPECT_EQ(statOf(target).st_mode & 07777, c.mode);
    }
}

// Another user's file in a folder open to all is not the user's to replace,
// though the folder would let the user rename over it: it is refused as a
// read-only file and kept as it was, owner and all. One the user may write is
// replaced. In a folder with the sticky bit another user's file is refused
// for what keeps it, the folder, whatever its mode.
TEST(FileReplace, AnotherUsersFileTheUserMayNotWriteIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make another user's file here";
    const Umask usual(022);
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    const struct {
        const char *name;
        mode_t folder, file;
        bool replaced;
        bool keptByTheFolder;
    } cases[] = {
        {"/公用/他的.set", 0777, 0644, false, false},
        {"/共享/他的.set", 01777, 0644, false, true},
        {"/共享/大家的.set", 01777, 0666, false, true},
        {"/公用/他的只读.set", 0777, 0444, false, false},
        {"/公用/大家的.set", 0777, 0666, true, false},
    };
    for (const auto &c : cases) {
        const QString target = dir.path() + QString::fromUtf8(c.name);
        const QString folder = QFileInfo(target).absolutePath();
        QDir().mkpath(folder);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folder), 0);
        ASSERT_EQ(db::writeWhole(target, "他的内容"), QString());
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), c.file), 0);
    }
    const int failed = asOrdinaryUser(dir.path() + QStringLiteral("/用户"), [&] {
        int failures = 0;
        for (const auto &c : cases) {
            const QString target = dir.path() + QString::fromUtf8(c.name);
            const struct stat before = statOf(target);
            const QString reason = db::writeWhole(target, "我的内容");
            const bool kept = contentOf(target) == "他的内容" && statOf(target).st_ino == before.st_ino;
            if (c.replaced) {
                failures += failedUnless(reason.isEmpty(), c.name);
                failures += failedUnless(contentOf(target) == "我的内容", c.name);
            } else {
                const QString told = c.keptByTheFolder ? stickyFolderReason(target) : readOnlyReason(target);
                failures += failedUnless(reason == told, c.name);
                failures += failedUnless(kept && statOf(target).st_uid == 0, c.name);
            }
            failures += failedUnless(leftovers::stagingIn(QFileInfo(target).absolutePath()).isEmpty(), c.name);
        }
        return failures;
    });
    ASSERT_GE(failed, 0) << "the test cannot give up the superuser's rights here";
    EXPECT_EQ(failed, 0);
}

// As a user without the superuser's rights: a read-only target is refused by
// its mode as for the superuser, and a folder that cannot be synced (here one
// its user may write but not read: it cannot be opened to sync it) does not
// make a write that put the new file in place a failure.
TEST(FileReplace, AsAnOrdinaryUserReadOnlyIsRefusedAndAFolderThatCannotBeSyncedFailsNothing)
{
    const Umask usual(022);
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    const QString home = dir.path() + QStringLiteral("/用户");
    const int failed = asOrdinaryUser(home, [&] {
        int failures = 0;
        const QString readOnly = home + QStringLiteral("/只读.set");
        failures += failedUnless(db::writeWhole(readOnly, "旧的内容").isEmpty(), "first write");
        ::chmod(QFile::encodeName(readOnly).constData(), 0444);
        failures += failedUnless(db::writeWhole(readOnly, "新的内容") == readOnlyReason(readOnly), "read-only refused");
        failures += failedUnless(contentOf(readOnly) == "旧的内容", "read-only unchanged");
        failures += failedUnless((statOf(readOnly).st_mode & 07777) == 0444, "read-only mode kept");

        const QString unreadable = home + QStringLiteral("/不可读");
        QDir().mkpath(unreadable);
        const QString target = unreadable + QStringLiteral("/帐本bak.set");
        failures += failedUnless(db::writeWhole(target, "旧的内容").isEmpty(), "write before");
        ::chmod(QFile::encodeName(unreadable).constData(), 0300);
        failures += failedUnless(!db::syncFolder(unreadable), "the folder cannot be synced");
        failures += failedUnless(db::writeWhole(target, "新的内容").isEmpty(), "write after");
        failures += failedUnless(contentOf(target) == "新的内容", "new content in place");
        const QString moved = unreadable + QStringLiteral("/帐本bak.old");
        failures += failedUnless(db::renameDurably(target, moved).isEmpty(), "rename");
        ::chmod(QFile::encodeName(unreadable).constData(), 0700);
        failures += failedUnless(leftovers::stagingIn(unreadable).isEmpty(), "nothing staged left");
        failures += failedUnless(contentOf(moved) == "新的内容", "renamed");
        return failures;
    });
    if (failed < 0)
        GTEST_SKIP() << "the test runs as the superuser and cannot give up its rights here";
    EXPECT_EQ(failed, 0);
}

// A target that is a symbolic link: the link's own place is written (the link
// gives way to the new file), and the file it points to, perhaps outside the
// folder, stays as it was. A link to nothing is written the same way.
TEST(FileReplace, ALinkInTheTargetsPlaceGivesWayAndWhatItPointsToIsKept)
{
    QTemporaryDir outside, folder;
    const QString pointed = outside.path() + QStringLiteral("/别处.set");
    ASSERT_EQ(db::writeWhole(pointed, "别处的内容"), QString());
    const struct {
        const char *name;
        QString pointsTo;
    } links[] = {
        {"/链接.set", pointed},
        {"/悬空.set", outside.path() + QStringLiteral("/没有.set")},
    };
    for (const auto &l : links) {
        SCOPED_TRACE(l.name);
        const QString link = folder.path() + QString::fromUtf8(l.name);
        ASSERT_TRUE(QFile::link(l.pointsTo, link));
        EXPECT_EQ(db::writeWhole(link, "新的内容"), QString());
        EXPECT_FALSE(QFileInfo(link).isSymLink());
        EXPECT_EQ(contentOf(link), QByteArray("新的内容"));
        EXPECT_EQ(leftovers::stagingIn(folder.path()), QStringList());
    }
    EXPECT_EQ(contentOf(pointed), QByteArray("别处的内容"));
    EXPECT_FALSE(QFileInfo::exists(outside.path() + QStringLiteral("/没有.set")));
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("别处.set")});
}

// A folder its user may not write: neither a new file nor a replaced one is
// written, the reason is told, and nothing is left in it.
TEST(FileReplace, AsAnOrdinaryUserAFolderThatIsReadOnlyTakesNothing)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
    const QString home = dir.path() + QStringLiteral("/用户");
    const int failed = asOrdinaryUser(home, [&] {
        int failures = 0;
        const QString kept = home + QStringLiteral("/旧.set");
        failures += failedUnless(db::writeWhole(kept, "旧的内容").isEmpty(), "write before");
        ::chmod(QFile::encodeName(home).constData(), 0555);
        const QString made = home + QStringLiteral("/新.set");
        failures += failedUnless(db::writeWhole(made, "新的内容") == readOnlyReason(made), "new file refused");
        failures += failedUnless(db::writeWhole(kept, "新的内容") == readOnlyReason(kept), "replace refused");
        failures += failedUnless(contentOf(kept) == "旧的内容", "old file unchanged");
        failures += failedUnless(QDir(home).entryList(QDir::Files | QDir::Hidden) == QStringList{"旧.set"}, "nothing left");
        ::chmod(QFile::encodeName(home).constData(), 0755);
        return failures;
    });
    if (failed < 0)
        GTEST_SKIP() << "the test runs as the superuser and cannot give up its rights here";
    EXPECT_EQ(failed, 0);
}
