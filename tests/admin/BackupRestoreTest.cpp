#include "AdminFixture.h"

#include "admin/BookBackup.h"
#include "admin/OperatorWindow.h"
#include "admin/S32.h"
#include "admin/sysDBbak.h"
#include "db/BookFile.h"
#include "db/EngineFailure.h"
#include "db/FileReplace.h"
#include "platform/TextFile.h"
#include "shell/EditStateSource.h"
#include "shell/MForm.h"
#include "support/BookFaults.h"
#include "support/Leftovers.h"
#include "support/SparseFile.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QString kSaved = QStringLiteral("保存成功！");
const QString kBackupDone = QStringLiteral("备份完成！请妥善保存备份文件！");

QString settingsOf(AdminFixture &f)
{
    return f.file(QStringLiteral("测试帐本bak.set"));
}

void saveCycle(sysDBbak &w, const QString &typed)
{
    child<QLineEdit>(&w, "Txt")->setText(typed);
    click(&w, "Command2");
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class EditingWindow : public QWidget, public EditStateSource {
public:
    int Edstu() const override { return 1; }
};

// Restores the backup saved into the book at bookPath in another program
// (a process of its own, as on another computer), which then writes a row
// into the restored book; true when both were done.
bool restoredInAnotherProgram(const QString &bookPath, const QString &saved)
{
    const pid_t other = ::fork();
    if (other == 0) {
        db::Database open;
        const bool done = open.open(bookPath) && backup::restoreBook(open, bookPath, saved).isEmpty()
                          && open.exec(QStringLiteral("insert into TA3 (F1,F2) values ('恢复之后','恢复的电脑')"));
        ::_exit(done ? 0 : 1);
    }
    int status = -1;
    return other > 0 && ::waitpid(other, &status, 0) == other && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

TEST(Backup, CycleIsRoundedHalfToEvenAndNeverNegative)
{
    const struct {
        const char *typed;
        int days;
    } cases[] = {{"-3", 0}, {"2.5", 2}, {"3.5", 4}, {"abc", 0}, {"7天", 7}, {"", 0}, {"0", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(backup::cycleDays(QString::fromUtf8(c.typed)), c.days) << c.typed;
}

TEST(Backup, SavingTheCycleKeepsTheLastAutomaticBackup)
{
    AdminFixture f;
    {
        // no settings file yet: empty box, "还没有备份记录" kept as line 2
        sysDBbak w;
        EXPECT_TRUE(child<QLineEdit>(&w, "Txt")->text().isEmpty());
        EXPECT_EQ(child<QLineEdit>(&w, "Txt")->maxLength(), 4);
        EXPECT_TRUE(child<QLabel>(&w, "LabInfo")->text().endsWith(QStringLiteral("\n     还没有备份记录")));
        saveCycle(w, QStringLiteral("2.5"));
        EXPECT_EQ(child<QLineEdit>(&w, "Txt")->text(), QStringLiteral("2"));
        EXPECT_EQ(f.book.prompt().shown.last().title, QStringLiteral("提示"));
        EXPECT_EQ(f.book.prompt().lastText(), kSaved);
        EXPECT_EQ(textfile::read(settingsOf(f)), QStringLiteral("2\r\n还没有备份记录\r\n"));
    }
    {
        // a file written by the automatic backup: its date stays line 2
        ASSERT_TRUE(textfile::writeAtomically(settingsOf(f), "7\n2026-01-05 10:00:00\n"));
        sysDBbak w;
        EXPECT_EQ(child<QLineEdit>(&w, "Txt")->text(), QStringLiteral("7"));
        EXPECT_TRUE(child<QLabel>(&w, "LabInfo")->text().endsWith(QStringLiteral("\n     2026-01-05 10:00:00")));
        saveCycle(w, QStringLiteral("-4"));
        EXPECT_EQ(textfile::read(settingsOf(f)), QStringLiteral("0\r\n2026-01-05 10:00:00\r\n"));
    }
    {
        // a file of one line: the cycle is no date of a backup
        ASSERT_TRUE(textfile::writeAtomically(settingsOf(f), "5\n"));
        sysDBbak w;
        EXPECT_EQ(w.LastAutoBackup, backup::kNoBackupYet);
    }
    {
        // a book opened from the command line carries its path as name
        f.m().gBookName = f.m().gBookFile;
        sysDBbak w;
        saveCycle(w, QStringLiteral("3"));
        EXPECT_EQ(textfile::read(f.file(QStringLiteral("帐本文件bak.set"))), QStringLiteral("3\r\n还没有备份记录\r\n"));
    }
}

// Backup settings longer than any (three gigabytes of an empty tail) are
// named and not read, and saving the cycle writes a sound file in their place.
TEST(Backup, SettingsLongerThanAnyAreNamedAndReplacedBySaving)
{
    AdminFixture f;
    ASSERT_TRUE(makeSparseFile(settingsOf(f), "7\r\n2026-01-05\r\n", 3 * kGigabyte));
    sysDBbak w;
    ASSERT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("无法读取备份设置：\n设置文件 %1 有 ").arg(settingsOf(f))))
        << f.book.prompt().lastText().toStdString();
    EXPECT_TRUE(child<QLineEdit>(&w, "Txt")->text().isEmpty());
    saveCycle(w, QStringLiteral("3"));
    EXPECT_EQ(textfile::read(settingsOf(f)), QStringLiteral("3\r\n还没有备份记录\r\n"));
}

TEST(Backup, ManualBackupIsAKeyedCopyWithTheSameRows)
{
    AdminFixture f;
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',5),('G2','螺母',7)"));
    sysDBbak w;
    const QString target = f.file(QStringLiteral("数据备份/备份-测试帐本.vzk"));
    click(&w, "Command3");  // cancelled
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());
    EXPECT_EQ(f.book.fileDialogs().captions, QStringList{QStringLiteral("系统数据备份至......")});

    f.book.fileDialogs().answer(target);
    click(&w, "Command3");
    EXPECT_EQ(f.book.prompt().lastText(), kBackupDone);
    EXPECT_EQ(valueIn(target, QStringLiteral("select group_concat(F1||F2||F8) from TA4 order by F1")),
              QStringLiteral("G1螺丝5.0,G2螺母7.0"));
    EXPECT_TRUE(f.book.db().isOpen());
    EXPECT_EQ(f.book.db().path(), f.book.bookPath());

    // the same name again is refused and the dialog comes back; the old backup stays
    f.book.exec(QStringLiteral("delete from TA4"));
    f.book.prompt().clear();
    const QString second = f.file(QStringLiteral("数据备份/第二份.vzk"));
    f.book.fileDialogs().answer(target);
    f.book.fileDialogs().answer(second);
    click(&w, "Command3");
    EXPECT_EQ(f.book.prompt().texts(),
              (QStringList{QStringLiteral("目标位置已备份的同名文件，请删除目标文件或更换备份位置！"), kBackupDone}));
    EXPECT_EQ(valueIn(target, QStringLiteral("select count(*) from TA4")), QStringLiteral("2"));
    EXPECT_EQ(valueIn(second, QStringLiteral("select count(*) from TA4")), QStringLiteral("0"));
    EXPECT_EQ(QDir(f.file(QStringLiteral("数据备份"))).entryList(QDir::Files).size(), 2);  // no temporary left
}

TEST(Backup, ManualBackupIntoAMissingFolderNamesTheFolder)
{
    AdminFixture f;
    sysDBbak w;
    const QString folder = f.file(QStringLiteral("已删除的文件夹"));
    f.book.fileDialogs().answer(folder + QStringLiteral("/备份.vzk"));
    click(&w, "Command3");
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("无法完成备份！\n\n文件夹 %1 不存在").arg(folder));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(f.book.db().isOpen());
}

TEST(Backup, NetworkProgramFolderRefusesBackupAndRestore)
{
    AdminFixture f;
    f.m().gAppPath = QStringLiteral("//server/share/");
    sysDBbak backupWindow;
    click(&backupWindow, "Command3");
    S32 restoreWindow;
    click(&restoreWindow, "Command1");
    EXPECT_EQ(f.book.prompt().texts(), (QStringList{QStringLiteral("对不起，备份数据只能在数据库本地电脑上完成！"),
                                                    QStringLiteral("数据恢复只能在数据库本地电脑上执行！")}));
    EXPECT_TRUE(f.book.fileDialogs().captions.isEmpty());
    EXPECT_TRUE(f.book.db().isOpen());
}

TEST(Restore, BringsBackTheRowsAndAsksForANewLogin)
{
    AdminFixture f;
    MForm main;
    f.m().ShowBookNameInStatusBar();
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',5)"));
    const QString saved = f.file(QStringLiteral("数据备份/备份-测试帐本.vzk"));
    ASSERT_TRUE(QDir().mkpath(f.file(QStringLiteral("数据备份"))));
    ASSERT_TRUE(backup::backupBook(f.book.bookPath(), saved).isEmpty());
    f.book.exec(QStringLiteral("delete from TA4"));
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G9','后加',1)"));

    S32 w;
    click(&w, "Command1");  // cancelled: the book stays open, nothing shown
    EXPECT_TRUE(f.book.db().isOpen());
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());

    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001")));
    f.book.fileDialogs().answer(saved);
    click(&w, "Command1");
    EXPECT_EQ(f.book.fileDialogs().captions.last(), QStringLiteral("从备份文件中恢复数据到现在的系统"));
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("数据恢复成功！为了数据安全，请重新登录！"));
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("Login")});
    EXPECT_EQ(f.book.db().path(), f.book.bookPath());
    EXPECT_EQ(f.book.value(QStringLiteral("select group_concat(F1) from TA4")), QStringLiteral("G1"));
    EXPECT_EQ(f.m().gBookName, QStringLiteral("测试帐本"));
    EXPECT_EQ(main.panelText(4), QStringLiteral("测试帐本"));
    EXPECT_EQ(leftovers::stagingIn(QFileInfo(f.book.bookPath()).absolutePath()), QStringList());
}

TEST(Restore, RefusesForeignFilesWithoutTouchingTheOpenBook)
{
    AdminFixture f;
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',5)"));
    QTemporaryDir outside;
    const QString text = outside.path() + QStringLiteral("/文本.vzk");
    ASSERT_TRUE(textfile::writeAtomically(text, QByteArray(4096, 'x')));
    const QString otherKey = outside.path() + QStringLiteral("/别的密码.vzk");
    const QString noMark = outside.path() + QStringLiteral("/无标记.vzk");
    for (const auto &[path, key] : {std::pair{otherKey, QStringLiteral("other")},
                                    std::pair{noMark, QString::fromLatin1(db::kBookPassword)}}) {
        db::Database foreign;
        ASSERT_TRUE(foreign.open(path, key, true));
        ASSERT_TRUE(foreign.exec(QStringLiteral("create table TA4 (F1)")));
    }
    f.book.db().close();
    const QByteArray before = bytesOf(f.book.bookPath());
    ASSERT_TRUE(f.book.db().open(f.book.bookPath()));

    QStringList chosen{text, otherKey, noMark, outside.path() + QStringLiteral("/没有.vzk")};
    for (const auto &[name, path] : makeNonBooks(outside.path()))
        chosen << path;
    S32 w;
    for (const QString &path : chosen) {
        SCOPED_TRACE(path.toStdString());
        f.book.prompt().clear();
        f.book.fileDialogs().answer(path);
        click(&w, "Command1");
        ASSERT_EQ(f.book.prompt().shown.size(), 1);
        EXPECT_EQ(f.book.prompt().shown[0].title, QStringLiteral("提示"));
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("系统数据恢复失败！原因如下：\n")));
        EXPECT_GT(f.book.prompt().lastText().size(), QStringLiteral("系统数据恢复失败！原因如下：\n").size());
        EXPECT_TRUE(f.book.db().isOpen());
        EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='G1'")), QStringLiteral("螺丝"));
    }
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    f.book.db().close();
    EXPECT_EQ(bytesOf(f.book.bookPath()), before);
    EXPECT_FALSE(program::endRequested());
}

// A backup with a long tail after its last page (a gigabyte of zeros) is
// read no further than its pages: its check and its restore take no memory
// for the tail, and the book gets the backup's rows.
TEST(Restore, ABackupIsReadNoFurtherThanItsPages)
{
    AdminFixture f;
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',5)"));
    const QString saved = f.file(QStringLiteral("长尾巴的备份.vzk"));
    ASSERT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
    ASSERT_EQ(::truncate(QFile::encodeName(saved).constData(), QFileInfo(saved).size() + kGigabyte), 0);
    f.book.exec(QStringLiteral("delete from TA4"));

    const auto peakKilobytes = [] {
        struct rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        return qint64(usage.ru_maxrss);
    };
    const qint64 before = peakKilobytes();
    EXPECT_EQ(backup::restoreBook(f.book.db(), f.book.bookPath(), saved), QString());
    EXPECT_LT(peakKilobytes() - before, 256 * 1024) << "the tail was read into memory";
    EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='G1'")), QStringLiteral("螺丝"));
}

// The book's own file, under its name or another, holds nothing to restore
// (and could not be read while the restore holds the book's lock).
TEST(Restore, TheBooksOwnFileIsRefusedByName)
{
    AdminFixture f;
    const QString link = f.file(QStringLiteral("另一个名字.vzk"));
    ASSERT_EQ(::link(QFile::encodeName(f.book.bookPath()).constData(), QFile::encodeName(link).constData()), 0);
    const faults::FileState before = faults::stateOf(f.book.bookPath());
    S32 w;
    for (const QString &chosen : {f.book.bookPath(), link}) {
        f.book.fileDialogs().answer(chosen);
        click(&w, "Command1");
        EXPECT_EQ(f.book.prompt().lastText(),
                  QStringLiteral("系统数据恢复失败！原因如下：\n所选的文件 %1 就是现在使用的帐本文件，不能用它恢复数据。")
                      .arg(chosen));
    }
    EXPECT_EQ(faults::stateOf(f.book.bookPath()), before);
    EXPECT_TRUE(f.book.db().isOpen());
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

// Another computer reading or writing the book keeps it: the restore waits
// for it, refuses, and the other computer's work goes on to its commit.
TEST(Restore, AnotherComputerAtWorkOnTheBookMakesItRefuseAndKeepsItsWork)
{
    faults::ShortBusyWait shortWait;
    const struct {
        const char *name;
        const char *begin;   // the other computer's transaction, under way
        const char *finish;  // and how it ends
        int rowsWritten;
    } cases[] = {
        {"exclusive, nothing written yet (no journal)", "BEGIN EXCLUSIVE",
         "insert into TA3 (F1,F2) values ('锁','另一台电脑'); COMMIT", 1},
        {"immediate with a row written", "BEGIN IMMEDIATE; insert into TA3 (F1,F2) values ('锁','另一台电脑')", "COMMIT",
         1},
        {"reading", "BEGIN; select count(*) from TA3", "COMMIT", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        const QString saved = f.file(QStringLiteral("备份.vzk"));
        ASSERT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
        f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('G9','备份之后')"));
        const faults::FileState before = faults::stateOf(f.book.bookPath());
        faults::OtherComputer other(f.book.bookPath());
        ASSERT_TRUE(other.started()) << "the engine's command-line program (sqlcipher) is needed";
        const QString begun = other.run(QString::fromUtf8(c.begin));
        ASSERT_FALSE(begun.contains(QStringLiteral("Error"))) << begun.toStdString();

        S32 w;
        f.book.fileDialogs().answer(saved);
        click(&w, "Command1");
        EXPECT_EQ(f.book.prompt().lastText(),
                  QStringLiteral("系统数据恢复失败！原因如下：\n") + db::failureReason(db::Failure::Busy));
        EXPECT_TRUE(f.dialogs.shown.isEmpty());  // no login: nothing was restored
        EXPECT_EQ(faults::stateOf(f.book.bookPath()), before);

        EXPECT_EQ(other.run(QString::fromUtf8(c.finish)), QString());
        EXPECT_EQ(valueIn(f.book.bookPath(), QStringLiteral("select count(*) from TA3 where F1='锁'")),
                  QString::number(c.rowsWritten));
        EXPECT_EQ(faults::stateOf(f.book.bookPath()).inode, before.inode);
        EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='G9'")), QStringLiteral("备份之后"));
    }
}

TEST(Restore, AWindowInTheMiddleOfAnEditStopsItAndTheBackupButtonOpensTheBackupWindow)
{
    AdminFixture f;
    MForm main;
    main.showChild(new EditingWindow);
    const QString saved = f.file(QStringLiteral("备份.vzk"));
    ASSERT_TRUE(backup::backupBook(f.book.bookPath(), saved).isEmpty());
    f.book.exec(QStringLiteral("insert into TA4 (F1) values ('新')"));
    S32 w;
    f.book.fileDialogs().answer(saved);
    click(&w, "Command1");
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("正在有数据被编辑")));
    EXPECT_EQ(f.book.value(QStringLiteral("select count(*) from TA4")), QStringLiteral("1"));

    click(&w, "Command3");
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("sysDBbak")});
}

// A restore killed at any moment (the computer switched off) leaves the book
// as it was or restored, whole, and nothing beside it once the book is opened
// again: the restore writes only the book's own file and the engine's
// journal, which the next open plays back.
TEST(Restore, KilledAtAnyMomentLeavesTheOldBookOrTheRestoredOneWholeAndNothingBesideIt)
{
    AdminFixture f;
    faults::growBook(f.book.db());
    const QString bookPath = f.book.bookPath();
    const QString saved = f.file(QStringLiteral("备份.vzk"));
    ASSERT_EQ(backup::backupBook(bookPath, saved), QString());
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('G9','备份之后')"));
    f.book.exec(QStringLiteral("delete from TA4 where F1<'G00100'"));  // the old book differs from the backup throughout
    f.book.db().close();
    const QByteArray oldBytes = faults::stateOf(bookPath).bytes;
    const QStringList files = QDir(f.book.dir()).entryList(QDir::Files | QDir::Hidden);
    const QString oldRows = QStringLiteral("301"), restoredRows = QStringLiteral("400");
    // The first round runs to its end: it is restored, and tells how long a
    // whole restore takes.
    constexpr int kRounds = 40;
    qint64 wholeRestore = 0;  // microseconds
    QElapsedTimer clock;
    for (int round = 0; round <= kRounds; ++round) {
        SCOPED_TRACE(round);
        QFile::remove(bookPath);
        QFile book(bookPath);
        ASSERT_TRUE(book.open(QIODevice::WriteOnly) && book.write(oldBytes) == oldBytes.size());
        book.close();
        // A program logged in before the restore began.
        db::Database before;
        ASSERT_TRUE(before.open(bookPath));
        clock.start();
        const pid_t restore = ::fork();
        ASSERT_GE(restore, 0);
        if (restore == 0) {
            db::Database open;
            ::_exit(open.open(bookPath) && backup::restoreBook(open, bookPath, saved).isEmpty() ? 0 : 1);
        }
        if (round > 0) {  // killed a little later each round, over the time a whole restore takes
            ::usleep(useconds_t(wholeRestore * (round - 1) / (kRounds - 1)));
            ::kill(restore, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(restore, &status, 0), restore);
        if (round == 0)
            wholeRestore = qint64(clock.nsecsElapsed() / 1000);

        // Opened as the program opens it: a journal left by the kill is played back.
        const QString rows = valueIn(bookPath, QStringLiteral("select count(*) from TA4"));
        const QString kept = valueIn(bookPath, QStringLiteral("select count(*) from TA4 where F1='G9'"));
        EXPECT_EQ(db::checkBook(bookPath), QString());
        if (kept == QStringLiteral("1")) {
            EXPECT_EQ(rows, oldRows);
        } else {
            EXPECT_EQ(kept, QStringLiteral("0"));
            EXPECT_EQ(rows, restoredRows);
        }
        if (round == 0) {
            EXPECT_EQ(kept, QStringLiteral("0"));
        }
        // It writes on into the old book and into no restored one.
        const bool wrote = before.execScript(QStringLiteral("insert into TA3 (F1) values ('之前登录'); delete from TA3"));
        EXPECT_EQ(wrote, kept == QStringLiteral("1")) << before.lastError().toStdString();
        EXPECT_TRUE(wrote || db::failureOf(before.lastErrorCode()) == db::Failure::Replaced);
        before.close();
        // A kill before the journal's header was written leaves a journal
        // that holds no write: the engine ignores it, and the next write
        // beside the book takes its name and removes it.
        {
            db::Database next;
            ASSERT_TRUE(next.open(bookPath));
            EXPECT_TRUE(next.execScript(QStringLiteral("insert into TA3 (F1) values ('下一次'); delete from TA3")));
        }
        EXPECT_EQ(QDir(f.book.dir()).entryList(QDir::Files | QDir::Hidden), files);
        if (HasFailure())
            break;
    }
}

// Another computer that opened the book before the restore keeps its file:
// after the restore it reads the restored book, and a long save made into the
// restored book meanwhile (its pages spilled into the book, its journal
// beside it) while that computer reads is committed whole, never taken for a
// leftover of another file.
TEST(Restore, AnotherComputerThatKeepsTheBookOpenReadsTheRestoredBookAndALongSaveIsKept)
{
    AdminFixture f;
    faults::growBook(f.book.db());
    const QString bookPath = f.book.bookPath();
    const QString saved = f.file(QStringLiteral("备份.vzk"));
    ASSERT_EQ(backup::backupBook(bookPath, saved), QString());
    f.book.exec(QStringLiteral("delete from TA4"));
    faults::OtherComputer other(bookPath);
    ASSERT_TRUE(other.started()) << "the engine's command-line program (sqlcipher) is needed";
    ASSERT_EQ(other.run(QStringLiteral("select count(*) from TA4")), QStringLiteral("0"));

    ASSERT_EQ(backup::restoreBook(f.book.db(), bookPath, saved), QString());
    EXPECT_EQ(f.book.value(QStringLiteral("select count(*) from TA4")), QStringLiteral("400"));

    db::Database clerk;
    ASSERT_TRUE(clerk.open(bookPath));
    ASSERT_TRUE(clerk.execScript(QStringLiteral("PRAGMA cache_size=10; BEGIN IMMEDIATE")));
    const QString remark = QStringLiteral("长备注").repeated(67).left(200);
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(clerk.exec(QStringLiteral("insert into TA4 (F1,F2,F6) values (?,'新货品',?)"),
                               {QStringLiteral("N%1").arg(i, 5, 10, QLatin1Char('0')), remark}));
    // The other computer reads while the save is under way: locked out at
    // most, never told the book is no book.
    const QString readMeanwhile = other.run(QStringLiteral("select count(*) from TA4"));
    EXPECT_FALSE(readMeanwhile.contains(QStringLiteral("not a database"))) << readMeanwhile.toStdString();
    EXPECT_TRUE(readMeanwhile == QStringLiteral("400") || readMeanwhile.contains(QStringLiteral("locked")))
        << readMeanwhile.toStdString();
    EXPECT_TRUE(clerk.execScript(QStringLiteral("COMMIT"))) << clerk.lastError().toStdString();
    clerk.close();

    EXPECT_EQ(other.run(QStringLiteral("select count(*) from TA4")), QStringLiteral("3400"));
    EXPECT_EQ(valueIn(bookPath, QStringLiteral("select count(*) from TA4 where F1 like 'N%'")), QStringLiteral("3000"));
    EXPECT_EQ(valueIn(bookPath, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
}

// A program that logged in before another program restored the book keeps
// its windows, but writes nothing into the restored book: its save is refused
// and the clerk told to log in again, a lone statement too; once logged in
// again it writes. The restoring program writes on into the book it restored.
TEST(Restore, AProgramThatOpenedTheBookBeforeARestoreElsewhereIsToldAndWritesNothing)
{
    const struct {
        const char *name;
        bool damaged;  // the book's pages cannot be read: a checked copy is renamed over it
    } cases[] = {{"written into the book", false}, {"a damaged book replaced", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        const QString bookPath = f.book.bookPath();
        faults::growBook(f.book.db());
        const QString saved = f.file(QStringLiteral("备份.vzk"));
        ASSERT_EQ(backup::backupBook(bookPath, saved), QString());
        f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('G9','备份之后')"));
        if (c.damaged)
            faults::makeDamagedCopy(bookPath, bookPath);

        ASSERT_TRUE(restoredInAnotherProgram(bookPath, saved));
        S1 w;
        WindowDriver<S1> d{w};
        d.menu("Menu_Add");
        d.type(0, "B2");
        d.type(1, "LI");
        d.menu("Menu_save");
        EXPECT_EQ(f.book.prompt().lastText(),
                  QStringLiteral("数据库操作失败，数据没有改变：\n帐本文件已被替换（可能在其它电脑上恢复了数据），请退出系统后重新登录。"));
        EXPECT_FALSE(f.book.db().exec(QStringLiteral("insert into TA3 (F1) values ('之前登录')")));
        EXPECT_EQ(db::failureOf(f.book.db().lastErrorCode()), db::Failure::Replaced);
        EXPECT_EQ(valueIn(bookPath, QStringLiteral("select count(*) from TE1 where F1='B2'")), QStringLiteral("0"));
        EXPECT_EQ(valueIn(bookPath, QStringLiteral("select count(*) from TA4 where F1='G9'")), QStringLiteral("0"));
        EXPECT_EQ(valueIn(bookPath, QStringLiteral("select group_concat(F2) from TA3 where F1 in ('恢复之后','之前登录')")),
                  QStringLiteral("恢复的电脑"));

        f.book.db().close();
        ASSERT_TRUE(f.book.db().open(bookPath));
        EXPECT_TRUE(f.book.db().exec(QStringLiteral("delete from TA4"))) << f.book.db().lastError().toStdString();
    }
}

// A backup with something the program never makes in it (a trigger would
// run inside the program's own writes) is refused, the book untouched.
TEST(Restore, ABackupHoldingATriggerOrAViewIsRefusedAndTheBookKept)
{
    AdminFixture f;
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('G1','螺丝')"));
    const QString saved = f.file(QStringLiteral("备份.vzk"));
    ASSERT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
    f.book.exec(QStringLiteral("delete from TA4"));
    const faults::FileState before = faults::stateOf(f.book.bookPath());
    S32 w;
    for (const auto &[name, planted] : makePlantedBooks(f.book.dir(), saved)) {
        SCOPED_TRACE(name);
        f.book.fileDialogs().answer(planted);
        click(&w, "Command1");
        EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("系统数据恢复失败！原因如下：\n") + kPlantedBookReason);
        EXPECT_EQ(faults::stateOf(f.book.bookPath()), before);
    }
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

// A full disk refuses the restore and keeps the old book whole and open.
TEST(Restore, AFullDiskRefusesAndKeepsTheBook)
{
    AdminFixture f;
    faults::SmallDisk disk(f.file(QStringLiteral("小磁盘")));
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here";
    const QString bookPath = disk.folder() + QStringLiteral("/帐本.vzk");
    ASSERT_TRUE(QFile::copy(f.book.bookPath(), bookPath));
    db::Database open;
    ASSERT_TRUE(open.open(bookPath));
    faults::growBook(open);
    const QString saved = f.file(QStringLiteral("备份.vzk"));
    ASSERT_EQ(backup::backupBook(bookPath, saved), QString());
    open.exec(QStringLiteral("delete from TA4 where F1>='G00001'"));
    disk.fill();

    const QString error = backup::restoreBook(open, bookPath, saved);
    disk.free();
    EXPECT_EQ(db::splitDetails(error).text, db::failureReason(db::Failure::DiskFull));
    EXPECT_TRUE(open.isOpen());
    EXPECT_EQ(open.scalar(QStringLiteral("select count(*) from TA4")).toString(), QStringLiteral("1"));
    open.close();
    EXPECT_EQ(db::checkBook(bookPath), QString());
    EXPECT_EQ(valueIn(bookPath, QStringLiteral("select count(*) from TA4")), QStringLiteral("1"));
}

// A journal beside the book that holds no write (empty, or its header
// zeroed) is no one's work: the restore goes on.
TEST(Restore, AnEmptyJournalBesideTheBookIsNoOnesWork)
{
    for (const QByteArray &journal : {QByteArray(), QByteArray(1024, '\0')}) {
        SCOPED_TRACE(journal.size());
        AdminFixture f;
        f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('G1','螺丝')"));
        const QString saved = f.file(QStringLiteral("备份.vzk"));
        ASSERT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
        f.book.exec(QStringLiteral("delete from TA4"));
        QFile left(f.book.bookPath() + QStringLiteral("-journal"));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly) && left.write(journal) == journal.size());
        left.close();

        EXPECT_EQ(backup::restoreBook(f.book.db(), f.book.bookPath(), saved), QString());
        EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='G1'")), QStringLiteral("螺丝"));
    }
}

// A backup damaged at its start reads as no book at all; it is told as the
// damaged backup it is, while a file of another key stays "no book". One
// shorter than a book's first page may be a backup cut short as well as a
// file that never was a book: it is told as either.
TEST(Restore, ABackupDamagedAtItsStartIsToldAsDamaged)
{
    AdminFixture f;
    faults::growBook(f.book.db());
    const QString whole = f.file(QStringLiteral("完好的备份.vzk"));
    ASSERT_EQ(backup::backupBook(f.book.bookPath(), whole), QString());
    const QByteArray bytes = bytesOf(whole);
    QByteArray firstPageFlipped = bytes;
    for (int i = 200; i < 240; ++i)  // past the salt, in the first page's own content
        firstPageFlipped[i] = char(~firstPageFlipped[i]);
    const QString damaged = QStringLiteral("备份文件 %1 已经损坏，不能用它恢复数据！\n现在的帐本没有任何改变。");
    const QString shorterThanAPage = QStringLiteral("所选的文件 %1 只有 %2 字节，不到帐本的一页：它可能是不完整的备份，"
                                                    "也可能根本不是帐本文件，不能用它恢复数据！\n现在的帐本没有任何改变。");
    enum class Told { Damaged, ShorterThanAPage, NoBook };
    const struct {
        const char *name;
        QByteArray content;
        Told told;
    } cases[] = {
        {"first page damaged", firstPageFlipped, Told::Damaged},
        {"cut within the first page", bytes.left(600), Told::ShorterThanAPage},
        {"empty", QByteArray(), Told::ShorterThanAPage},
        {"another key", bytesOf(faults::makeOtherKeyBook(f.file(QStringLiteral("别的密码.vzk")))), Told::NoBook},
    };
    f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('本','原有')"));
    S32 w;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString chosen = f.file(QString::fromUtf8(c.name) + QStringLiteral(".vzk"));
        QFile file(chosen);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.content) == c.content.size());
        file.close();
        f.book.fileDialogs().answer(chosen);
        click(&w, "Command1");
        const QString told = c.told == Told::Damaged            ? damaged.arg(chosen)
                             : c.told == Told::ShorterThanAPage ? shorterThanAPage.arg(chosen).arg(c.content.size())
                                                                : db::failureReason(db::Failure::NotABook);
        EXPECT_EQ(db::splitDetails(f.book.prompt().lastText()).text, QStringLiteral("系统数据恢复失败！原因如下：\n") + told);
        EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='本'")), QStringLiteral("原有"));
    }
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

// A private book stays private through its backups and its restore: the
// backup is open to no one the book is closed to, and the restored book
// keeps the book's mode whatever the backup's.
TEST(Restore, APrivateBooksBackupAndRestoredBookStayPrivate)
{
    const mode_t umaskBefore = ::umask(022);
    for (const mode_t mode : {mode_t(0600), mode_t(0640)}) {
        SCOPED_TRACE(mode);
        AdminFixture f;
        const QString bookPath = f.book.bookPath();
        ASSERT_EQ(::chmod(QFile::encodeName(bookPath).constData(), mode), 0);
        const QString saved = f.file(QStringLiteral("备份.vzk"));
        ASSERT_EQ(backup::backupBook(bookPath, saved), QString());
        EXPECT_EQ(modeOf(saved), mode);
        ASSERT_EQ(::chmod(QFile::encodeName(saved).constData(), 0644), 0);  // a backup brought from elsewhere
        ASSERT_EQ(backup::restoreBook(f.book.db(), bookPath, saved), QString());
        EXPECT_EQ(modeOf(bookPath), mode);
    }
    ::umask(umaskBefore);
}
