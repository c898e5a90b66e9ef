#include "support/BookFaults.h"
#include "support/FolderWatch.h"
#include "support/Leftovers.h"
#include "support/TestBook.h"

#include "shell/BackupGenerations.h"

#include "db/BookFile.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}
} // namespace

TEST(BookList, ReadsTheListFile)
{
    TestBook book;
    Module1 &m = book.m();
    const QString listFile = m.gAppPath + "dbsetup.dat";
    m.gBookFile = m.gAppPath + "darvex.dat";
    m.gBookName = "货品进出存帐本";

    // no list file: the chooser with the default book
    EXPECT_TRUE(m.LoadBookList());
    EXPECT_EQ(m.bookList.names, QStringList{"货品进出存帐本"});

    writeFile(listFile, "No\r\n一号库\r\n%AppPath%one.vzk\r\n二号库\r\n/data/two.vzk\r\n");
    EXPECT_FALSE(m.LoadBookList());
    EXPECT_EQ(m.gBookFile, m.gAppPath + "one.vzk");
    EXPECT_EQ(m.gBookName, QStringLiteral("一号库"));
    EXPECT_EQ(m.bookList.paths, (QStringList{m.gAppPath + "one.vzk", "/data/two.vzk"}));

    // "no" in lower case shows the chooser; a name at the end serves as its own path
    writeFile(listFile, "no\n一号库\n/a.vzk\n孤本");
    EXPECT_TRUE(m.LoadBookList());
    EXPECT_EQ(m.bookList.paths, (QStringList{"/a.vzk", "孤本"}));

    // files of older installations are in GB18030
    QStringEncoder gb("GB18030");
    writeFile(listFile, gb.encode(QStringLiteral("No\n三号库\n/c.vzk\n")));
    EXPECT_FALSE(m.LoadBookList());
    EXPECT_EQ(m.gBookName, QStringLiteral("三号库"));

    // a "No" list without books falls back to the chooser with the current book
    writeFile(listFile, "No\n");
    EXPECT_TRUE(m.LoadBookList());
    EXPECT_EQ(m.bookList.names, QStringList{"三号库"});
    EXPECT_EQ(m.bookList.selected, 0);
}

class AutoBackupTest : public ::testing::Test {
protected:
    TestBook book;
    QString folder() { return book.m().gAppPath + QStringLiteral("数据备份"); }
    QStringList backups() { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    void settings(const QByteArray &content)
    {
        writeFile(book.m().gAppPath + book.m().gBookName + "bak.set", content);
    }
    void run(int year, int month, int day)
    {
        book.m().setClock([=] { return QDateTime(QDate(year, month, day), QTime(18, 30)); });
        if (!book.db().isOpen())
            book.db().open(book.bookPath());
        book.m().AutoBackupBook();
    }
};

TEST_F(AutoBackupTest, NoSettingsFileNoBackup)
{
    run(2026, 12, 9);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_TRUE(book.db().isOpen());
}

TEST_F(AutoBackupTest, CycleDecidesAndTheCopyIsAKeyedBook)
{
    book.exec("insert into TA3 (F1,F2) values ('B1','备份检查')");
    settings("7\n2026-12-6 09:00:00\n");
    run(2026, 12, 9);  // 3 days: not due
    EXPECT_TRUE(backups().isEmpty());
    settings("7\n2026-12-2 09:00:00\n");
    run(2026, 12, 9);  // 7 days: due
    EXPECT_EQ(backups(), QStringList{"测试帐本2026-12-9.vzk"});
    EXPECT_FALSE(book.db().isOpen());  // the book is closed for the exit
    EXPECT_TRUE(textfile::read(book.m().gAppPath + "测试帐本bak.set").startsWith("7\n2026-12-09 18:30:00"));

    db::Database copy;
    ASSERT_TRUE(copy.open(folder() + "/测试帐本2026-12-9.vzk"));
    EXPECT_EQ(copy.scalar("select F2 from TA3 where F1='B1'").toString(), QStringLiteral("备份检查"));
    EXPECT_FALSE(copy.open(folder() + "/测试帐本2026-12-9.vzk", "wrong"));

    // clock set back by 8 days: the day count is absolute, so a backup is due
    run(2026, 12, 1);
    EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-1.vzk", "测试帐本2026-12-9.___"}));
}

TEST_F(AutoBackupTest, CycleZeroKeepsOneOlderGenerationAndLeavesOtherBooksAlone)
{
    settings("0\n");
    QDir().mkpath(folder());
    writeFile(folder() + "/测试帐本二号2026-12-1.vzk", "other book");
    writeFile(folder() + "/测试帐本二号2026-11-1.___", "other book");
    run(2026, 12, 9);
    run(2026, 12, 9);  // the same day again: the first becomes the older generation
    EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-9.___", "测试帐本2026-12-9.vzk",
                                      "测试帐本二号2026-11-1.___", "测试帐本二号2026-12-1.vzk"}));
    run(2026, 12, 10);
    EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-10.vzk", "测试帐本2026-12-9.___",
                                      "测试帐本二号2026-11-1.___", "测试帐本二号2026-12-1.vzk"}));
}

// The exit backup writes its copy once: the only file it makes in the backup
// folder is one staging file beside the backup's own name, also when the
// previous backup makes way for it.
TEST_F(AutoBackupTest, EachBackupIsStagedOnceBesideItsOwnName)
{
    settings("0\n");
    QDir().mkpath(folder());
    FolderWatch watch(folder());
    if (!watch.watching())
        GTEST_SKIP() << "the folder cannot be watched here";
    run(2026, 12, 9);
    run(2026, 12, 9);
    const QStringList made = watch.stop();
    const QRegularExpression stagingName(QStringLiteral(R"(^测试帐本2026-12-9\.vzk\.\d+-[0-9a-f]{16}\.warehouse-staging$)"));
    ASSERT_EQ(made.size(), 2) << made.join(' ').toStdString();
    for (const QString &name : made)
        EXPECT_TRUE(stagingName.match(name).hasMatch()) << name.toStdString();
    EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-9.___", "测试帐本2026-12-9.vzk"}));
}

TEST_F(AutoBackupTest, TodaysBackupOnceWithACycleAndCommandLineBooksAsBookFile)
{
    settings("2\n");
    run(2026, 12, 9);
    settings("2\n");
    run(2026, 12, 9);
    EXPECT_EQ(backups(), QStringList{"测试帐本2026-12-9.vzk"});

    book.m().gBookName = book.m().gBookFile;
    writeFile(book.m().gAppPath + "帐本文件bak.set", "0\n");
    run(2026, 12, 9);
    EXPECT_TRUE(backups().contains("帐本文件2026-12-9.vzk"));
}

TEST_F(AutoBackupTest, AFailedBackupKeepsThePreviousOne)
{
    settings("0\n");
    run(2026, 12, 9);
    ASSERT_EQ(backups(), QStringList{"测试帐本2026-12-9.vzk"});
    // the book file turns unreadable: the next backup fails and the last good one stays as it was
    QFile::remove(book.bookPath());
    writeFile(book.bookPath(), "garbage");
    run(2026, 12, 10);
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("自动备份"));
    EXPECT_EQ(backups(), QStringList{"测试帐本2026-12-9.vzk"});
    db::Database copy;
    EXPECT_TRUE(copy.open(folder() + "/测试帐本2026-12-9.vzk"));
}

TEST_F(AutoBackupTest, ACopyThatCannotBeWrittenLeavesBothGenerationsUntouched)
{
    settings("0\n");
    faults::SmallDisk disk(folder());
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    run(2026, 12, 8);
    run(2026, 12, 9);
    ASSERT_EQ(backups(), (QStringList{"测试帐本2026-12-8.___", "测试帐本2026-12-9.vzk"}));
    QFile older(folder() + "/测试帐本2026-12-8.___");
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    const QByteArray olderBytes = older.readAll();
    // the disk of the backups is full: the copy cannot be written
    disk.fill();
    run(2026, 12, 10);
    disk.free();
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("自动备份"));
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("系统无法备份数据。\n\n") + db::failureReason(db::Failure::DiskFull));
    EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-8.___", "测试帐本2026-12-9.vzk"}));
    older.close();
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), olderBytes);
    db::Database copy;
    EXPECT_TRUE(copy.open(folder() + "/测试帐本2026-12-9.vzk"));
}

TEST_F(AutoBackupTest, ABookNameThatIsNoFileNameIsReported)
{
    QDir().mkpath(book.m().gAppPath + "子目录");
    book.m().gBookName = "子目录/书";
    settings("0\n");
    run(2026, 12, 9);
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("自动备份"));
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(AutoBackupTest, FailureIsReported)
{
    settings("0\n");
    book.m().gBookFile = book.m().gAppPath + "missing.vzk";
    run(2026, 12, 9);
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("自动备份"));
    EXPECT_EQ(book.prompt().lastText(),
              QStringLiteral("系统无法备份数据。\n\n找不到文件 %1").arg(book.m().gAppPath + "missing.vzk"));
    EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
    EXPECT_FALSE(Module1::IsOnNetworkFileSystem(book.dir()));
    EXPECT_TRUE(Module1::IsOnNetworkFileSystem("//server/share/"));
}

// Another computer's lock passes by itself and is a notice; a reason the
// clerk must act on carries the warning icon (the damaged book below).
TEST_F(AutoBackupTest, AnotherComputersLockIsANotice)
{
    settings("0\n");
    faults::ShortBusyWait shortWait;
    faults::WriteLock other(book.bookPath(), faults::WriteLock::Stage::Committing);
    ASSERT_TRUE(other.held());
    run(2026, 12, 9);
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("其它用户正在使用当前帐本，系统无法备份数据。\n\n"
                                                       "请在其它用户退出之后再备份数据！"));
    EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Information);
}

TEST_F(AutoBackupTest, ADamagedBookIsCalledDamagedInShortWordsWithTheCheckAmongTheDetails)
{
    faults::growBook(book.db());
    book.db().close();
    faults::makeDamagedCopy(book.bookPath(), book.bookPath());
    settings("0\n");
    run(2026, 12, 9);
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    const RecordingPrompt::Shown &told = book.prompt().shown.last();
    EXPECT_EQ(told.title, QStringLiteral("自动备份"));
    EXPECT_EQ(told.text, QStringLiteral("系统无法备份数据。\n\n") + db::failureReason(db::Failure::Damaged));
    EXPECT_FALSE(told.details.isEmpty());  // the engine's listing of the damaged pages
    EXPECT_EQ(told.icon, Prompt::Icon::Exclamation);
    EXPECT_TRUE(backups().isEmpty());
}

// What cut-off writes left is removed once no one can still be writing it:
// the program's own staging files of a day ago, by their mark alone. Another
// computer's fresh staging file, and every file without the mark (the names
// earlier versions staged under included: a user's file may carry them),
// stays.
TEST_F(AutoBackupTest, LeftoversOfCutOffWritesAreRemovedOnceNoOneCanBeWritingThemAndNothingElse)
{
    QDir().mkpath(folder());
    const QString today = folder() + "/测试帐本2026-12-9.vzk";
    const QList<leftovers::Left> cases = {
        {db::stagedPathFor(today), 30, true},
        {db::stagedPathFor(db::stagedPathFor(today)), 30, true},
        {db::stagedPathFor(folder() + "/备份-测试帐本.vzk"), 30, true},
        {db::restoreStagePathFor(book.bookPath()), 30, true},
        {db::stagedPathFor(book.bookPath()), 30, true},
        {db::stagedPathFor(book.bookPath()) + "-journal", 30, true},  // the engine's, of a staged book
        {db::stagedPathFor(book.m().gAppPath + "测试帐本bak.set"), 30, true},
        // written now, by another computer's backup or restore
        {db::stagedPathFor(folder() + "/测试帐本2026-12-10.vzk"), 0, false},
        {db::restoreStagePathFor(book.bookPath()), 1, false},
        {db::stagedPathFor(book.bookPath()), 12, false},
        {db::stagedPathFor(book.bookPath()) + "-journal", 0, false},
        {folder() + "/测试帐本2026-12-1.vzk.new", 0, false},
        // not the program's
        {folder() + "/测试帐本2026-11-2.vzk.new.tmp", 30, false},
        {folder() + "/测试帐本2026-12-8.vzk.new", 30, false},
        {folder() + "/备份-测试帐本.vzk.tmp", 30, false},
        {book.bookPath() + ".restore", 30, false},
        {book.bookPath() + ".restore.tmp", 30, false},
        {book.bookPath() + ".tmp", 30, false},
        {folder() + "/测试帐本二号2026-11-2.vzk.new.tmp", 30, false},
        {folder() + "/测试帐本2026-11-2.vzk", 30, false},
        {folder() + "/别的.vzk.tmp", 30, false},
        {book.bookPath() + "-journal", 30, false},  // the book's own: the engine plays it back
        {folder() + "/测试帐本说明.txt", 30, false},
        {book.m().gAppPath + "别的帐本.vzk.restore", 30, false},
    };
    leftovers::leave(cases);
    run(2026, 12, 9);  // at exit, without a backup setting for the book
    leftovers::expectRemovedAsTold(cases);
}

// Two or three programs of one book (copies on one computer, or computers
// sharing the data folder) leave at the same moment when yesterday's backup
// is due again: one of them makes today's backup, the others find it made,
// and yesterday's backup stays as the older generation.
TEST_F(AutoBackupTest, ProgramsLeavingAtOnceMakeTodaysBackupOnceAndKeepYesterdays)
{
    QDir().mkpath(folder());
    for (const int programs : {2, 3}) {
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(testing::Message() << programs << " programs, round " << round);
            for (const QString &name : backups())
                QFile::remove(folder() + "/" + name);
            writeFile(folder() + "/测试帐本2026-12-8.vzk", "yesterday's backup");
            writeFile(folder() + "/测试帐本2026-12-7.___", "the generation before");
            settings("1\n2026-12-8 18:00:00\n");
            book.db().close();
            int start[2];
            ASSERT_EQ(::pipe(start), 0);
            QList<pid_t> started;
            for (int which = 0; which < programs; ++which) {
                const pid_t program = ::fork();
                ASSERT_GE(program, 0);
                if (program == 0) {
                    ::close(start[1]);
                    char go;
                    (void)!::read(start[0], &go, 1);  // all leave together
                    run(2026, 12, 9);
                    ::_exit(book.prompt().shown.isEmpty() ? 0 : 1);
                }
                started.append(program);
            }
            ::close(start[0]);
            ::close(start[1]);
            for (const pid_t program : started) {
                int status = 0;
                ASSERT_EQ(::waitpid(program, &status, 0), program);
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a program told of a failure";
            }
            EXPECT_EQ(backups(), (QStringList{"测试帐本2026-12-8.___", "测试帐本2026-12-9.vzk"}));
            EXPECT_EQ(db::checkBook(folder() + "/测试帐本2026-12-9.vzk"), QString());
            EXPECT_TRUE(textfile::read(book.m().gAppPath + "测试帐本bak.set").startsWith("1\n2026-12-09 18:30:00"));
            if (HasFailure())
                return;
        }
    }
}

// A file of another user's under the name that keeps the backup's turn (a
// neighbour's in a shared folder, held locked by the neighbour) never keeps
// the program from leaving: it makes its backup without the turn.
TEST_F(AutoBackupTest, ANeighboursFileUnderTheTurnsNameDoesNotHoldTheExit)
{
    settings("1\n2026-12-8 18:00:00\n");
    const QByteArray turnFile = QFile::encodeName(book.m().gAppPath + ".测试帐本bak.lock");
    const int fd = ::open(turnFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    if (::fchown(fd, 65534, 65534) != 0 || ::fchmod(fd, 0666) != 0)
        GTEST_SKIP() << "no file can be given to another user here";
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const pid_t neighbour = ::fork();
    ASSERT_GE(neighbour, 0);
    if (neighbour == 0) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        ::_exit(::fcntl(fd, F_SETLK, &lock) == 0 && ::write(held[1], "l", 1) == 1 ? (::pause(), 0) : 1);
    }
    char locked = 0;
    ASSERT_EQ(::read(held[0], &locked, 1), 1);
    book.db().close();
    const pid_t program = ::fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        ::alarm(120);  // a program left waiting ends here instead of holding the test run
        run(2026, 12, 9);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(program, &status, 0), program);
    ::kill(neighbour, SIGKILL);
    ::waitpid(neighbour, nullptr, 0);
    ::close(fd);
    EXPECT_TRUE(WIFEXITED(status)) << "the program waited for the neighbour's lock";
    EXPECT_EQ(backups(), QStringList{"测试帐本2026-12-9.vzk"});
}

// Two computers leaving the same book at once put their backups into one
// folder together, round after round: each publishes its whole copy, neither
// is told it failed, and one older generation is always kept.
TEST(BackupGenerations, TwoProgramsPublishingAtOnceKeepTheNewestWholeAndAnOlderGeneration)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString book = QStringLiteral("测试帐本");
    const QString target = folder.filePath(book + "2026-12-9.vzk");
    const QByteArray earlier(64 * 1024, 'E');
    const QByteArray copies[] = {QByteArray(64 * 1024, 'A'), QByteArray(64 * 1024, 'B')};
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        for (const QString &name : folder.entryList(QDir::Files))
            QFile::remove(folder.filePath(name));
        writeFile(folder.filePath(book + "2026-12-8.vzk"), earlier);
        writeFile(folder.filePath(book + "2026-12-7.___"), "the generation before");
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t programs[2];
        std::optional<db::StagedFile> stagedFiles[2];  // each program's, removed when not put in place
        for (int which = 0; which < 2; ++which) {
            db::StagedFile &staged = stagedFiles[which].emplace(target);
            ASSERT_EQ(staged.error(), QString());
            writeFile(staged.path(), copies[which]);
            programs[which] = ::fork();
            ASSERT_GE(programs[which], 0);
            if (programs[which] == 0) {
                ::close(start[1]);
                char go;
                (void)!::read(start[0], &go, 1);  // both start together
                ::_exit(backupgen::publishNewest(folder, book, staged, target, {}).isEmpty() ? 0 : 1);
            }
        }
        ::close(start[0]);
        ::close(start[1]);  // end of file: go
        for (const pid_t program : programs) {
            int status = 0;
            ASSERT_EQ(::waitpid(program, &status, 0), program);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a program was told its backup failed";
        }
        QFile newest(target);
        ASSERT_TRUE(newest.open(QIODevice::ReadOnly));
        const QByteArray published = newest.readAll();
        EXPECT_TRUE(published == copies[0] || published == copies[1]);
        const QStringList older = backupgen::backupsOf(folder, book, {QStringLiteral("___")});
        ASSERT_EQ(older.size(), 1) << older.join(' ').toStdString();
        QFile generation(folder.filePath(older.first()));
        ASSERT_TRUE(generation.open(QIODevice::ReadOnly));
        const QByteArray kept = generation.readAll();
        EXPECT_TRUE(kept == earlier || kept == copies[0] || kept == copies[1]);
        EXPECT_EQ(folder.entryList(QDir::Files).size(), 2) << folder.entryList(QDir::Files).join(' ').toStdString();
        if (HasFailure())
            break;
    }
}
