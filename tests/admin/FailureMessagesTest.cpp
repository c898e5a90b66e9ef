#include "AdminFixture.h"

#include "admin/BookBackup.h"
#include "admin/BookListWindow.h"
#include "admin/OperatorWindow.h"
#include "admin/S32.h"
#include "admin/sysDBbak.h"
#include "db/EngineFailure.h"
#include "support/WindowDriver.h"
#include "support/BookFaults.h"
#include "support/WriterlessFifo.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <optional>

// What the clerk reads when the engine fails during a save, a backup, a
// restore and the choice of a book: the Chinese reason as the main text (the
// engine's words only among the details), and nothing changed.
namespace {

QString reason(db::Failure kind)
{
    return db::failureReason(kind);
}

// Puts the book's connection on the file at path as the program opens it.
void reopenOn(AdminFixture &f, const QString &path)
{
    f.m().gDb.close();
    ASSERT_TRUE(f.m().gDb.open(path)) << f.m().gDb.lastError().toStdString();
    f.m().gBookFile = path;
}

// The book replaced under the open connection, as a restore on another computer does.
void replaceUnderneath(AdminFixture &f)
{
    const QString copy = f.file(QStringLiteral("别处恢复.vzk"));
    ASSERT_TRUE(QFile::copy(f.book.bookPath(), copy));
    ASSERT_EQ(::rename(QFile::encodeName(copy), QFile::encodeName(f.book.bookPath())), 0);
}

// The book damaged in a page in its middle, and open again.
void damageTheBook(AdminFixture &f)
{
    faults::growBook(f.m().gDb);
    f.m().gDb.close();
    faults::makeDamagedCopy(f.book.bookPath(), f.book.bookPath());
    ASSERT_TRUE(f.m().gDb.open(f.book.bookPath()));
}

} // namespace

TEST(FailureMessages, ASaveThatTheEngineRefusesTellsWhyAndWritesNothing)
{
    faults::ShortBusyWait shortWait;
    const QString failed = QStringLiteral("数据库操作失败，数据没有改变：\n");
    const struct {
        const char *name;
        db::Failure kind;
        std::function<void(AdminFixture &, std::unique_ptr<faults::WriteLock> &, std::unique_ptr<faults::SmallDisk> &)> arrange;
    } cases[] = {
        {"busy past the wait", db::Failure::Busy,
         [](AdminFixture &f, auto &lock, auto &) {
             lock = std::make_unique<faults::WriteLock>(f.book.bookPath());
             ASSERT_TRUE(lock->held());
         }},
        {"read-only", db::Failure::ReadOnly,
         [](AdminFixture &f, auto &, auto &) {
             f.m().gDb.close();
             ASSERT_TRUE(f.m().gDb.openReadOnly(f.book.bookPath()));
         }},
        {"replaced", db::Failure::Replaced, [](AdminFixture &f, auto &, auto &) { replaceUnderneath(f); }},
        {"full disk", db::Failure::DiskFull,
         [](AdminFixture &f, auto &, auto &disk) {
             disk = std::make_unique<faults::SmallDisk>(f.file(QStringLiteral("小磁盘")));
             if (!disk->mounted())
                 GTEST_SKIP() << "no small file system can be mounted here";
             const QString onDisk = disk->folder() + QStringLiteral("/帐本.vzk");
             ASSERT_TRUE(QFile::copy(f.book.bookPath(), onDisk));
             reopenOn(f, onDisk);
             disk->fill();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        std::unique_ptr<faults::WriteLock> lock;
        std::unique_ptr<faults::SmallDisk> disk;
        c.arrange(f, lock, disk);
        if (::testing::Test::IsSkipped())
            continue;
        S1 w;
        WindowDriver<S1> d{w};
        d.menu("Menu_Add");
        d.type(0, "B2");
        d.type(1, "LI");
        d.menu("Menu_save");
        ASSERT_FALSE(f.book.prompt().shown.isEmpty());
        EXPECT_EQ(f.book.prompt().lastText(), failed + reason(c.kind));
        EXPECT_FALSE(f.book.prompt().shown.last().details.isEmpty());
        EXPECT_EQ(w.Edstu(), 1);  // the card stays for another try
        lock.reset();
        if (disk)
            disk->free();
        EXPECT_EQ(valueIn(f.m().gBookFile, QStringLiteral("select count(*) from TE1 where F1='B2'")), QStringLiteral("0"));
        f.m().gDb.close();
    }
}

TEST(FailureMessages, ABackupThatFailsTellsWhyAndLeavesNoFile)
{
    const struct {
        const char *name;
        QString text;
        std::function<void(AdminFixture &, std::unique_ptr<faults::SmallDisk> &)> arrange;
    } cases[] = {
        {"damaged book", QStringLiteral("无法完成备份！\n\n") + reason(db::Failure::Damaged),
         [](AdminFixture &f, auto &) { damageTheBook(f); }},
        {"full disk", QStringLiteral("无法完成备份！\n\n") + reason(db::Failure::DiskFull),
         [](AdminFixture &f, auto &disk) {
             faults::growBook(f.m().gDb);
             disk = std::make_unique<faults::SmallDisk>(f.file(QStringLiteral("数据备份")), 64);
             if (!disk->mounted())
                 GTEST_SKIP() << "no small file system can be mounted here";
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        std::unique_ptr<faults::SmallDisk> disk;
        c.arrange(f, disk);
        if (::testing::Test::IsSkipped())
            continue;
        const QString target = f.file(QStringLiteral("数据备份/备份-测试帐本.vzk"));
        sysDBbak w;
        f.book.fileDialogs().answer(target);
        click(&w, "Command3");
        EXPECT_EQ(f.book.prompt().lastText(), c.text);
        EXPECT_FALSE(f.book.prompt().shown.last().details.isEmpty());
        EXPECT_EQ(QDir(f.file(QStringLiteral("数据备份"))).entryList(QDir::Files), QStringList());
        EXPECT_TRUE(f.m().gDb.isOpen());
    }
}

TEST(FailureMessages, ARestoreThatFailsTellsWhyAndKeepsTheBook)
{
    faults::ShortBusyWait shortWait;
    const QString failed = QStringLiteral("系统数据恢复失败！原因如下：\n");
    // A backup that cannot be read whole is named, and so is the book's fate.
    const auto damagedBackup = [](const QString &chosen) {
        return QStringLiteral("备份文件 %1 已经损坏，不能用它恢复数据！\n现在的帐本没有任何改变。").arg(chosen);
    };
    const auto engineReason = [](db::Failure kind) { return [kind](const QString &) { return reason(kind); }; };
    // The book grown to many pages and backed up, so that a page in the
    // middle of its backup holds rows.
    const auto grownBackup = [](AdminFixture &f) {
        db::Database grown;
        EXPECT_TRUE(grown.open(f.book.bookPath()));
        faults::growBook(grown);
        grown.close();
        const QString saved = f.file(QStringLiteral("完好的备份.vzk"));
        EXPECT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
        return saved;
    };
    const struct {
        const char *name;
        std::function<QString(const QString &chosen)> reason;
        std::function<QString(AdminFixture &)> chosen;
        bool bookInUse = false;  // another connection in the middle of a write
    } cases[] = {
        {"junk", engineReason(db::Failure::NotABook),
         [](AdminFixture &f) { return faults::makeJunkFile(f.file(QStringLiteral("文字.vzk"))); }},
        {"other key", engineReason(db::Failure::NotABook),
         [](AdminFixture &f) { return faults::makeOtherKeyBook(f.file(QStringLiteral("别的密码.vzk"))); }},
        {"damaged backup", damagedBackup,
         [&](AdminFixture &f) { return faults::makeDamagedCopy(grownBackup(f), f.file(QStringLiteral("损坏的备份.vzk"))); }},
        {"backup cut short", damagedBackup,
         [&](AdminFixture &f) { return faults::makeCutCopy(grownBackup(f), f.file(QStringLiteral("不完整的备份.vzk"))); }},
        {"book in use elsewhere", engineReason(db::Failure::Busy),
         [](AdminFixture &f) {
             const QString backup = f.file(QStringLiteral("备份.vzk"));
             EXPECT_TRUE(QFile::copy(f.book.bookPath(), backup));
             return backup;
         },
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        f.book.exec(QStringLiteral("insert into TA4 (F1,F2) values ('本','原有')"));
        const QString chosen = c.chosen(f);
        // Read before the lock is taken: closing a handle of the book drops
        // every lock this process holds on it.
        const faults::FileState before = faults::stateOf(f.book.bookPath());
        std::unique_ptr<faults::WriteLock> lock;
        if (c.bookInUse) {
            lock = std::make_unique<faults::WriteLock>(f.book.bookPath());
            EXPECT_TRUE(lock->held());
        }
        S32 w;
        f.book.fileDialogs().answer(chosen);
        click(&w, "Command1");
        EXPECT_EQ(f.book.prompt().lastText(), failed + c.reason(chosen));
        EXPECT_FALSE(f.book.prompt().shown.last().details.isEmpty());  // the engine's own words
        lock.reset();
        EXPECT_EQ(faults::stateOf(f.book.bookPath()), before);
        EXPECT_TRUE(f.m().gDb.isOpen());
        EXPECT_EQ(f.book.value(QStringLiteral("select F2 from TA4 where F1='本'")), QStringLiteral("原有"));
        EXPECT_TRUE(f.dialogs.shown.isEmpty());  // no login: nothing was restored
    }
}

// A choice that cannot be a backup at all is told as what it is: nothing
// there, no file (a FIFO, a device, a folder, a link to a FIFO), or a file
// shorter than a book's first page, which may be a backup cut short as well
// as a file that never was a book. Nothing waits on a FIFO; the book stays.
TEST(FailureMessages, AChoiceThatIsNoBackupIsToldAsWhatItIs)
{
    const QString failed = QStringLiteral("系统数据恢复失败！原因如下：\n");
    const QString unchanged = QStringLiteral("，不能用它恢复数据！\n现在的帐本没有任何改变。");
    const QString noFile = QStringLiteral("所选的 %1 不是文件，而是管道或设备") + unchanged;
    enum class Made { Nothing, Fifo, LinkToFifo, Device, Folder, ShortText };
    const struct {
        const char *name;
        Made made;
        QString text;
    } cases[] = {
        {"nothing there", Made::Nothing, QStringLiteral("找不到文件 %1")},
        {"a FIFO", Made::Fifo, noFile},
        {"a link to a FIFO", Made::LinkToFifo, noFile},
        {"a device", Made::Device, noFile},
        {"a folder", Made::Folder, QStringLiteral("所选的 %1 是文件夹，不是备份文件") + unchanged},
        {"a text of 20 bytes", Made::ShortText,
         QStringLiteral("所选的文件 %1 只有 20 字节，不到帐本的一页：它可能是不完整的备份，也可能根本不是帐本文件") + unchanged},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        QString chosen = f.file(QStringLiteral("选中的备份.vzk"));
        std::optional<WriterlessFifo> fifo;
        switch (c.made) {
        case Made::Nothing: break;
        case Made::Fifo: ASSERT_TRUE(fifo.emplace(chosen).made()); break;
        case Made::LinkToFifo:
            ASSERT_TRUE(fifo.emplace(f.file(QStringLiteral("管道"))).made());
            ASSERT_TRUE(QFile::link(f.file(QStringLiteral("管道")), chosen));
            break;
        case Made::Device: chosen = QStringLiteral("/dev/null"); break;
        case Made::Folder: ASSERT_TRUE(QDir().mkdir(chosen)); break;
        case Made::ShortText: {
            QFile text(chosen);
            ASSERT_TRUE(text.open(QIODevice::WriteOnly));
            ASSERT_EQ(text.write("not a book, a text.\n"), 20);
            break;
        }
        }
        const faults::FileState before = faults::stateOf(f.book.bookPath());
        S32 w;
        f.book.fileDialogs().answer(chosen);
        click(&w, "Command1");
        if (fifo) {
            EXPECT_FALSE(fifo->finish()) << "the restore waited on the FIFO";
        }
        EXPECT_EQ(f.book.prompt().lastText(), failed + c.text.arg(chosen));
        EXPECT_EQ(faults::stateOf(f.book.bookPath()), before);
        EXPECT_TRUE(f.m().gDb.isOpen());
        EXPECT_TRUE(f.dialogs.shown.isEmpty());
    }
}

TEST(FailureMessages, TheChooserTellsWhyABookCannotBeOpened)
{
    faults::ShortBusyWait shortWait;
    const struct {
        const char *name;
        db::Failure kind;
        std::function<QString(AdminFixture &, std::unique_ptr<faults::WriteLock> &)> listed;
    } cases[] = {
        {"junk", db::Failure::NotABook,
         [](AdminFixture &f, auto &) { return faults::makeJunkFile(f.file(QStringLiteral("文字.vzk"))); }},
        {"other key", db::Failure::NotABook,
         [](AdminFixture &f, auto &) { return faults::makeOtherKeyBook(f.file(QStringLiteral("别的密码.vzk"))); }},
        {"busy past the wait", db::Failure::Busy,
         [](AdminFixture &f, auto &lock) {
             lock = std::make_unique<faults::WriteLock>(f.book.bookPath(), faults::WriteLock::Stage::Committing);
             EXPECT_TRUE(lock->held());
             return f.book.bookPath();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AdminFixture f;
        std::unique_ptr<faults::WriteLock> lock;
        const QString listed = c.listed(f, lock);
        f.m().gDb.close();
        const QByteArray before = bytesOf(listed);
        f.m().bookList = {{QStringLiteral("帐本")}, {listed}, 0};
        BookListWindow chooser;
        click(&chooser, "Cmd0");
        EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("打开帐本时发现错误！系统返回如下信息：\n\n") + reason(c.kind) +
                                                  QStringLiteral("\n\n请重新进行帐本设置!"));
        EXPECT_FALSE(f.book.prompt().shown.last().details.isEmpty());
        EXPECT_FALSE(f.m().gDb.isOpen());
        EXPECT_NE(chooser.result(), QDialog::Accepted);
        lock.reset();
        EXPECT_EQ(bytesOf(listed), before);
    }
}

TEST(FailureMessages, AReadOnlyBookSaysSoWhenItIsOpened)
{
    AdminFixture f;
    f.m().gDb.close();
    faults::Unwritable readOnly(f.book.bookPath());
    if (!readOnly.works())
        GTEST_SKIP() << "no file can be made unwritable here";
    f.m().bookList = {{QStringLiteral("测试帐本")}, {f.book.bookPath()}, 0};
    BookListWindow chooser;
    click(&chooser, "Cmd0");
    EXPECT_EQ(chooser.result(), QDialog::Accepted);  // it can still be read
    EXPECT_TRUE(f.m().gDb.isReadOnly());
    EXPECT_EQ(f.book.prompt().texts(),
              QStringList{QStringLiteral("帐本文件 %1 是只读的：可以查看数据，但不能保存任何修改。\n\n"
                                         "请检查帐本文件和它所在文件夹的权限。")
                              .arg(f.book.bookPath())});
    f.m().gDb.close();
}

// What the damaged book's message advises works: its backup restored over it.
TEST(FailureMessages, ADamagedBookIsMendedByRestoringItsLatestBackup)
{
    AdminFixture f;
    faults::growBook(f.m().gDb);
    QDir().mkpath(f.file(QStringLiteral("数据备份")));
    const QString saved = f.file(QStringLiteral("数据备份/测试帐本2026-12-10.vzk"));
    ASSERT_EQ(backup::backupBook(f.book.bookPath(), saved), QString());
    f.m().gDb.close();
    faults::makeDamagedCopy(f.book.bookPath(), f.book.bookPath());
    ASSERT_TRUE(f.m().gDb.open(f.book.bookPath()));
    bool ok = true;
    f.m().gDb.scalar(QStringLiteral("select count(F6) from TA4"), {}, &ok);
    ASSERT_FALSE(ok);
    EXPECT_EQ(db::failureOf(f.m().gDb.lastErrorCode()), db::Failure::Damaged);

    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001")));
    f.book.fileDialogs().answer(saved);
    S32 w;
    click(&w, "Command1");
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("数据恢复成功！为了数据安全，请重新登录！"));
    EXPECT_EQ(f.book.value(QStringLiteral("select count(F6) from TA4")), QStringLiteral("400"));
}
