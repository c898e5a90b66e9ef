#include "ShellFixture.h"
#include "support/BookFaults.h"
#include "support/Leftovers.h"
#include "support/SparseFile.h"
#include "support/WriterlessFifo.h"

#include "db/BookFile.h"
#include "db/FileReplace.h"
#include "shell/AppSettings.h"
#include "shell/MForm.h"
#include "shell/Startup.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <optional>
#include <sys/stat.h>

TEST(Startup, ParseCommandLineBook)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},
        {"   ", ""},
        {"/data/a.vzk", "/data/a.vzk"},
        {"  /data/a.vzk  ", "/data/a.vzk"},
        {"\"/my books/a.vzk\" /switch", "/my books/a.vzk"},
        {"\"/my books/a.vzk", ""},           // no closing quote: nothing
        {"/my books/a.vzk", "/my"},          // unquoted: cut at the first blank
        {"\"\" rest", ""},
    };
    for (auto [text, book] : cases)
        EXPECT_EQ(ParseCommandLineBook(QString::fromUtf8(text)).toStdString(), book) << text;
    EXPECT_EQ(CommandLineText({"/my books/a.vzk", "-x"}), QStringLiteral("\"/my books/a.vzk\" -x"));
    EXPECT_EQ(ParseCommandLineBook(CommandLineText({"/my books/a.vzk"})), QStringLiteral("/my books/a.vzk"));
}

namespace {
std::string valueOf(const QString &path, const QString &sql)
{
    db::Database book;
    if (!book.open(path))
        return "<cannot open>";
    return book.scalar(sql).toString().toStdString();
}

// A book in a folder with a blank in its name.
QString bookWithBlank(const QString &dir)
{
    QDir(dir).mkpath(QStringLiteral("my books"));
    const QString path = dir + QStringLiteral("/my books/仓库 一.vzk");
    EXPECT_TRUE(db::createBook(path).isEmpty());
    return path;
}
} // namespace

TEST(Startup, CommandLineBookQuotedWithSwitchOpens)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    EXPECT_EQ(f.book.m().gAppPath, f.book.dir() + QLatin1Char('/'));
    EXPECT_EQ(f.book.m().gMoneyFormat, QStringLiteral("#0.00"));
    const QString path = bookWithBlank(f.book.dir());
    ASSERT_TRUE(s.OpenCommandLineBook(QLatin1Char('"') + path + QStringLiteral("\" /nosplash")));
    EXPECT_EQ(f.book.m().gBookFile, path);
    EXPECT_EQ(f.book.m().gBookName, path);
    EXPECT_EQ(f.book.m().gDb.path(), path);
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());
}

TEST(Startup, CommandLineBookRefusals)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    const QString withBlank = bookWithBlank(f.book.dir());

    // unquoted path with a blank: cut, names no file, dropped silently
    EXPECT_FALSE(s.OpenCommandLineBook(withBlank));
    EXPECT_TRUE(f.book.m().gBookFile.isEmpty());
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());

    // an account book whose theVer has no row
    const QString empty = f.book.dir() + QStringLiteral("/empty.vzk");
    ASSERT_TRUE(db::createBook(empty).isEmpty());
    {
        db::Database other;
        ASSERT_TRUE(other.open(empty));
        ASSERT_TRUE(other.exec(QStringLiteral("delete from theVer")));
    }
    EXPECT_FALSE(s.OpenCommandLineBook(empty));
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("文件[") + empty + QStringLiteral("]不是Vantoro9.69帐本文件！"));
    EXPECT_EQ(f.book.prompt().shown.last().title, QString());
    EXPECT_FALSE(f.book.m().gDb.isOpen());
    EXPECT_TRUE(f.book.m().gBookFile.isEmpty());

    // a theVer mark that is not empty, and a file that is no book at all
    const QString marked = f.book.dir() + QStringLiteral("/marked.vzk");
    ASSERT_TRUE(db::createBook(marked).isEmpty());
    {
        db::Database other;
        ASSERT_TRUE(other.open(marked));
        ASSERT_TRUE(other.exec(QStringLiteral("update theVer set Versn='9.0'")));
    }
    const QString foreign = f.book.dir() + QStringLiteral("/notes.txt");
    ASSERT_TRUE(textfile::writeAtomically(foreign, "just some text, no book\n"));
    for (const QString &path : {marked, foreign}) {
        f.book.prompt().clear();
        EXPECT_FALSE(s.OpenCommandLineBook(path)) << path.toStdString();
        EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("文件[") + path + QStringLiteral("]不是Vantoro9.69帐本文件！"));
        EXPECT_FALSE(f.book.m().gDb.isOpen());
    }
}

TEST(Startup, ListSayingNoOpensFirstBookWithoutChooser)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                          "No\n测试帐本\n%AppPath%测试帐本.vzk\n别的\n/none/x.vzk\n"));
    EXPECT_TRUE(s.OpenListedBook());
    EXPECT_EQ(f.book.m().gBookFile, f.book.bookPath());
    EXPECT_EQ(f.book.m().gBookName, QStringLiteral("测试帐本"));
    EXPECT_TRUE(f.book.m().gDb.isOpen());
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
}

TEST(Startup, UnopenableListedBookShowsErrorThenChooser)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                          "No\n丢失的帐本\n/none/lost.vzk\n测试帐本\n%AppPath%测试帐本.vzk\n"));
    // The chooser: pick the second entry and open it.
    f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        child<QComboBox>(&d, "Cmb0")->setCurrentIndex(1);
        click(&d, "Cmd0");
        return d.result();
    });
    EXPECT_TRUE(s.OpenListedBook());
    ASSERT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_EQ(f.book.prompt().shown[0].title, QStringLiteral("提示"));
    EXPECT_TRUE(f.book.prompt().shown[0].text.startsWith(QStringLiteral("无法打开帐本！系统返回如下信息：\n\n")));
    EXPECT_TRUE(f.book.prompt().shown[0].text.endsWith(QStringLiteral("\n\n请重新设置帐本")));
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("ZbSet")});
    EXPECT_EQ(f.book.m().gBookFile, f.book.bookPath());
    EXPECT_EQ(f.book.m().gBookName, QStringLiteral("测试帐本"));
    EXPECT_TRUE(f.book.m().gDb.isOpen());
}

TEST(Startup, FilesWithoutTheBookTablesNeverReachTheLogin)
{
    ShellFixture f;
    for (const auto &[name, nonBook] : makeNonBooks(f.book.dir())) {
        SCOPED_TRACE(name);
        Startup s(f.book.m());
        s.SetDefaults(f.book.dir());
        f.book.m().gDb.close();
        f.book.prompt().clear();
        f.dialogs.shown.clear();

        // named on the command line: refused with the book-test message
        EXPECT_FALSE(s.OpenCommandLineBook(nonBook));
        EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("文件[") + nonBook + QStringLiteral("]不是Vantoro9.69帐本文件！"));
        EXPECT_FALSE(f.book.m().gDb.isOpen());

        // first in a "No" list: the open error with its reason, then the chooser
        ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                              ("No\n坏帐本\n" + nonBook + "\n测试帐本\n%AppPath%测试帐本.vzk\n").toUtf8()));
        f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
            child<QComboBox>(&d, "Cmb0")->setCurrentIndex(1);
            click(&d, "Cmd0");
            return d.result();
        });
        f.book.prompt().clear();
        EXPECT_TRUE(s.OpenListedBook());
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("无法打开帐本！系统返回如下信息：\n\n")));
        EXPECT_TRUE(f.book.prompt().lastText().contains(QStringLiteral("TE1")));
        EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("ZbSet")});
        EXPECT_EQ(f.book.m().gDb.path(), f.book.bookPath());
    }
}

// A trigger planted in a book would run inside the program's own writes
// from the login on: such a book is refused at open, untouched.
TEST(Startup, ABookHoldingATriggerOrAViewNeverReachesTheLogin)
{
    ShellFixture f;
    for (const auto &[name, planted] : makePlantedBooks(f.book.dir(), f.book.bookPath())) {
        SCOPED_TRACE(name);
        const faults::FileState before = faults::stateOf(planted);
        Startup s(f.book.m());
        s.SetDefaults(f.book.dir());
        f.book.m().gDb.close();
        f.book.prompt().clear();
        f.dialogs.shown.clear();

        EXPECT_FALSE(s.OpenCommandLineBook(planted));
        EXPECT_FALSE(f.book.m().gDb.isOpen());

        ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                              ("No\n改过的帐本\n" + planted + "\n测试帐本\n%AppPath%测试帐本.vzk\n").toUtf8()));
        f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
            child<QComboBox>(&d, "Cmb0")->setCurrentIndex(1);
            click(&d, "Cmd0");
            return d.result();
        });
        f.book.prompt().clear();
        EXPECT_TRUE(s.OpenListedBook());
        EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("无法打开帐本！系统返回如下信息：\n\n") + kPlantedBookReason
                                                  + QStringLiteral("\n\n请重新设置帐本"));
        EXPECT_EQ(f.book.m().gDb.path(), f.book.bookPath());
        EXPECT_EQ(faults::stateOf(planted), before);
    }
}

TEST(Startup, EmptyBookListOffersTheDefaultBook)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"), ""));
    f.book.m().gBookFile = f.book.dir() + QStringLiteral("/darvex.dat");
    f.book.m().gBookName = QStringLiteral("货品进出存帐本");
    EXPECT_TRUE(f.book.m().LoadBookList());
    EXPECT_EQ(f.book.m().bookList.names, QStringList{QStringLiteral("货品进出存帐本")});
    EXPECT_EQ(f.book.m().bookList.paths, QStringList{f.book.dir() + QStringLiteral("/darvex.dat")});
}

// A book list longer than any (a gigabyte of an empty tail) is not read: the
// clerk learns why, naming it, and the chooser offers the default book.
TEST(Startup, ABookListLongerThanAnyIsNamedAndTheChooserOffersTheDefaultBook)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    const QString list = f.book.dir() + QStringLiteral("/dbsetup.dat");
    ASSERT_TRUE(makeSparseFile(list, "No\r\n帐本\r\n/elsewhere/帐本.vzk\r\n", kGigabyte));
    f.book.m().gBookFile = f.book.dir() + QStringLiteral("/darvex.dat");
    f.book.m().gBookName = QStringLiteral("货品进出存帐本");
    EXPECT_TRUE(f.book.m().LoadBookList());
    EXPECT_EQ(f.book.m().bookList.paths, QStringList{f.book.dir() + QStringLiteral("/darvex.dat")});
    ASSERT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("无法读取帐本列表：\n设置文件 %1 有 ").arg(list)))
        << f.book.prompt().lastText().toStdString();
}

TEST(Startup, DataFolderGetsTheTemplateBookAndListOnceAndKeepsTheUsers)
{
    ShellFixture f;
    const QString program = f.book.dir() + QStringLiteral("/程序");
    const QString data = f.book.dir() + QStringLiteral("/数据/warehouse");
    QDir().mkpath(program);
    ASSERT_TRUE(db::createBook(program + QStringLiteral("/darvex.dat")).isEmpty());
    ASSERT_TRUE(textfile::writeAtomically(program + QStringLiteral("/dbsetup.dat"),
                                          "No\n货品进出存帐本\n%AppPath%darvex.dat\n"));
    f.book.m().gDb.close();
    Startup s(f.book.m());
    s.SetDefaults(program, data);
    EXPECT_EQ(f.book.m().gProgramPath, program + QLatin1Char('/'));
    EXPECT_EQ(f.book.m().gAppPath, data + QLatin1Char('/'));
    s.PrepareDataFolder();
    ASSERT_TRUE(s.OpenListedBook());
    EXPECT_EQ(f.book.m().gDb.path(), data + QStringLiteral("/darvex.dat"));
    ASSERT_TRUE(f.book.m().gDb.exec(QStringLiteral("insert into TA4 (F1,F8) values ('G1',7)")));
    f.book.m().gDb.close();

    // A new template (the build ran again) never replaces the user's book or list.
    ASSERT_TRUE(QFile::remove(program + QStringLiteral("/darvex.dat")));
    ASSERT_TRUE(db::createBook(program + QStringLiteral("/darvex.dat")).isEmpty());
    ASSERT_TRUE(textfile::writeAtomically(data + QStringLiteral("/dbsetup.dat"),
                                          "No\n我的\n%AppPath%darvex.dat\n"));
    s.SetDefaults(program, data);
    s.PrepareDataFolder();
    ASSERT_TRUE(s.OpenListedBook());
    EXPECT_EQ(f.book.m().gBookName, QStringLiteral("我的"));
    f.book.m().gDb.close();
    EXPECT_EQ(valueOf(data + QStringLiteral("/darvex.dat"), QStringLiteral("select F8 from TA4 where F1='G1'")), "7");
    EXPECT_EQ(valueOf(program + QStringLiteral("/darvex.dat"), QStringLiteral("select count(*) from TA4")), "0");
}

// The copies made on first start are the user's files: they get the mode the
// user's mask gives a new file (a private mask keeps them private), whatever
// mode the build's files have, and their owner may write them.
TEST(Startup, DataFolderCopiesTakeTheUsersMask)
{
    ShellFixture f;
    const QString program = f.book.dir() + QStringLiteral("/程序");
    QDir().mkpath(program);
    for (const char *name : {"darvex.dat", "dbsetup.dat"}) {
        const QString path = program + QLatin1Char('/') + QLatin1String(name);
        ASSERT_TRUE(textfile::writeAtomically(path, "the build's file"));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    }
    const struct {
        mode_t mask;
        mode_t mode;
    } cases[] = {{077, 0600}, {027, 0640}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "umask 0" << std::oct << c.mask);
        const QString data = f.book.dir() + QStringLiteral("/数据%1").arg(c.mask);
        const mode_t maskBefore = ::umask(c.mask);
        Startup s(f.book.m());
        s.SetDefaults(program, data);
        s.PrepareDataFolder();
        ::umask(maskBefore);
        for (const char *name : {"darvex.dat", "dbsetup.dat"}) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(data + QLatin1Char('/') + QLatin1String(name)).constData(), &st), 0)
                << name;
            EXPECT_EQ(st.st_mode & 07777, c.mode) << name;
        }
    }
}

TEST(Startup, ChooserExitEndsTheStart)
{
    ShellFixture f;
    Startup s(f.book.m());
    f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        click(&d, "Cmd3");  // "退出系统"
        return d.result();
    });
    EXPECT_FALSE(s.Main(f.book.dir(), QString()));
    EXPECT_TRUE(program::endRequested());
    EXPECT_EQ(s.mainWindow(), nullptr);
    // The default entry of a missing list, written back by the exit.
    EXPECT_EQ(textfile::read(f.book.dir() + QStringLiteral("/dbsetup.dat")),
              QStringLiteral("Yes\r\n货品进出存帐本\r\n%AppPath%darvex.dat\r\n"));
}

TEST(Startup, MainRunsEveryStepWithTheCommandLineBook)
{
    ShellFixture f;
    Startup s(f.book.m());
    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001.系统管理员")));
    ASSERT_TRUE(s.Main(f.book.dir(), QLatin1Char('"') + f.book.bookPath() + QLatin1Char('"')));
    ASSERT_NE(s.mainWindow(), nullptr);
    EXPECT_EQ(f.dialogs.shown, (QStringList{QStringLiteral("Login"), QStringLiteral("frmTip")}));
    EXPECT_EQ(f.book.m().gUserCode, QStringLiteral("001"));
    EXPECT_EQ(s.mainWindow()->panelText(3), QStringLiteral("系统管理员"));
    EXPECT_EQ(s.mainWindow()->panelText(4), f.book.bookPath());
    EXPECT_EQ(s.mainWindow()->windowTitle(), QStringLiteral("Vantoro仓库管理系统 Ver:9.69"));
    EXPECT_EQ(f.book.m().gPeriodStart, QDate(2026, 1, 1));
}

TEST(Startup, TheStartRemovesTheLeftoversOfTheOpenBooksCutOffCopiesThatNoOneIsWriting)
{
    ShellFixture f;
    const QString backups = f.book.dir() + QStringLiteral("/数据备份");
    QDir().mkpath(backups);
    // a book opened from the command line names its files "帐本文件"
    const QList<leftovers::Left> cases = {
        {f.book.bookPath() + QStringLiteral(".restore.tmp"), 30, false},  // no mark: may be the user's
        {backups + QStringLiteral("/帐本文件2026-10-3.vzk.new.tmp"), 30, false},
        {db::restoreStagePathFor(f.book.bookPath()), 30, true},
        {db::stagedPathFor(backups + QStringLiteral("/帐本文件2026-10-3.vzk")), 30, true},
        // another computer restoring the book, or backing it up, now
        {db::restoreStagePathFor(f.book.bookPath()), 0, false},
        {db::stagedPathFor(backups + QStringLiteral("/帐本文件2026-12-9.vzk")), 0, false},
    };
    leftovers::leave(cases);
    Startup s(f.book.m());
    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001.系统管理员")));
    ASSERT_TRUE(s.Main(f.book.dir(), QLatin1Char('"') + f.book.bookPath() + QLatin1Char('"')));
    leftovers::expectRemovedAsTold(cases);
}

namespace {
struct AlarmCase {
    const char *name;
    bool stockRight;
    int low, high;  // the start-up alarm options
    const char *answers;  // one Y/N per question asked
    int expectedQuestions;
    QList<int> expectedViews;  // AutoOpen of the stock lists opened, in order
};
} // namespace

TEST(Startup, StockAlarms)
{
    const AlarmCase cases[] = {
        {"both yes", true, 1, 1, "YY", 2, {2, 1}},
        {"both no", true, 1, 1, "NN", 2, {}},
        {"high only", true, 0, 1, "Y", 1, {2}},
        {"no stock right", false, 1, 1, "", 0, {}},
        {"options off", true, 0, 0, "", 0, {}},
    };
    for (const AlarmCase &c : cases) {
        ShellFixture f;
        Startup s(f.book.m());
        s.SetDefaults(f.book.dir());
        // one goods above its maximum, one below its safety stock, one with no maximum
        f.book.exec("insert into TA4 (F1,F8,V1,V2) values ('HI',50,0,10),('LO',1,5,0),('ZERO',99,0,0)");
        f.book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66) values ('002','张三','',1,1,0,1,1,1)");
        f.book.m().gUserCode = c.stockRight ? QStringLiteral("001") : QStringLiteral("002");
        MForm *main = s.ShowMainWindow();
        main->ApplyRights(login::ReadOperatorRights(f.book.db(), f.book.m().gUserCode));
        f.book.m().gOptAlarmLowAtStart = c.low;
        f.book.m().gOptAlarmHighAtStart = c.high;
        for (const char *a = c.answers; *a; ++a)
            *a == 'Y' ? f.book.prompt().answerYes() : f.book.prompt().answerNo();
        s.StartupDuties();

        int questions = 0;
        for (const auto &shown : f.book.prompt().shown)
            questions += shown.kind == QLatin1String("ask");
        EXPECT_EQ(questions, c.expectedQuestions) << c.name;
        QList<int> views;
        for (QMdiSubWindow *sub : main->mdiArea()->subWindowList())
            views << sub->widget()->property("AutoOpen").toInt();
        EXPECT_EQ(views, c.expectedViews) << c.name;
    }
}

TEST(Startup, HighAlarmTextAndNoAlarmForZeroMaximum)
{
    ShellFixture f;
    Startup s(f.book.m());
    s.SetDefaults(f.book.dir());
    s.ShowMainWindow();
    f.book.m().gOptAlarmHighAtStart = 1;
    f.book.exec("insert into TA4 (F1,F8,V1,V2) values ('ZERO',99,0,0)");
    s.StartupDuties();
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());

    f.book.exec("insert into TA4 (F1,F8,V1,V2) values ('HI',50,0,10)");
    s.StartupDuties();
    ASSERT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_EQ(f.book.prompt().shown[0].title, QStringLiteral(" 库存自动报警--超出最高存量"));
    EXPECT_EQ(f.book.prompt().shown[0].text,
              QStringLiteral("库存中发现超过最高存量的货品！您要查看详细内容吗？\n\n如果希望系统不再自动报警，\n"
                             "您可以在主界面[系统管理]->[系统设置]->[系统功能设置]中关闭本功能。"));
}

TEST(Startup, MainFallsBackToTheListForAnUnquotedPathWithABlank)
{
    ShellFixture f;
    const QString withBlank = bookWithBlank(f.book.dir());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                          "No\n测试帐本\n%AppPath%测试帐本.vzk\n"));
    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001")));
    Startup s(f.book.m());
    ASSERT_TRUE(s.Main(f.book.dir(), withBlank + QStringLiteral(" /x")));
    EXPECT_EQ(f.book.m().gDb.path(), f.book.bookPath());
    EXPECT_EQ(f.book.m().gBookName, QStringLiteral("测试帐本"));
    EXPECT_EQ(s.mainWindow()->panelText(4), QStringLiteral("测试帐本"));
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());  // dropped without a message
    EXPECT_EQ(f.dialogs.shown, (QStringList{QStringLiteral("Login"), QStringLiteral("frmTip")}));
}

TEST(Startup, ADataFolderThatCannotBeWrittenIsNamed)
{
    ShellFixture f;
    const QString program = f.book.dir() + QStringLiteral("/程序");
    QDir().mkpath(program);
    const QString aFile = f.book.dir() + QStringLiteral("/一个文件");
    ASSERT_TRUE(textfile::writeAtomically(aFile, "not a folder"));
    const QString locked = f.book.dir() + QStringLiteral("/只读的共享");
    QDir().mkpath(locked);
    faults::Unwritable readOnly(locked);
    const struct {
        const char *name;
        QString data;
        bool possible;
    } cases[] = {
        {"a read-only folder", locked + QStringLiteral("/"), readOnly.works()},
        {"a folder that cannot be made", aFile + QStringLiteral("/warehouse"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.possible)
            continue;  // no folder can be made unwritable for this user here
        f.book.prompt().clear();
        Startup s(f.book.m());
        s.SetDefaults(program, c.data);
        s.PrepareDataFolder();
        ASSERT_EQ(f.book.prompt().shown.size(), 1);
        EXPECT_EQ(f.book.prompt().lastText(),
                  QStringLiteral("数据文件夹 %1 不能写入（或者无法建立），帐本、帐本列表和数据备份都无法保存。\n\n"
                                 "请检查这个文件夹和它上级文件夹的权限，然后重新启动本系统。")
                      .arg(f.book.m().gAppPath));
    }
    // A data folder that can be written says nothing.
    f.book.prompt().clear();
    Startup s(f.book.m());
    s.SetDefaults(program, f.book.dir() + QStringLiteral("/数据"));
    s.PrepareDataFolder();
    EXPECT_TRUE(f.book.prompt().shown.isEmpty());
}

// The program's settings file with something in its place that is no file
// (a FIFO would hold the read for good) neither holds the start nor is
// written: the start runs on the defaults, and the tip window's setting,
// saved as it shows, is refused with a reason naming the file.
TEST(Startup, ASettingsFileThatIsNoFileIsPassedOverAndNamed)
{
    enum class InItsPlace { Fifo, Folder };
    const struct {
        const char *name;
        InItsPlace inItsPlace;
        bool organisationWide;  // the file QSettings reads beside the program's own folder
    } cases[] = {
        {"a FIFO as the program's settings", InItsPlace::Fifo, false},
        {"a FIFO as the settings beside its folder", InItsPlace::Fifo, true},
        {"a folder as the program's settings", InItsPlace::Folder, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ShellFixture f;
        const QString application = appsettings::programName();
        QString file = QSettings(application, application).fileName();  // made before anything is in its place
        if (c.organisationWide)
            file = QFileInfo(file).absolutePath() + QStringLiteral(".conf");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        std::optional<WriterlessFifo> fifo;
        if (c.inItsPlace == InItsPlace::Fifo) {
            ASSERT_TRUE(fifo.emplace(file).made());
        } else {
            ASSERT_TRUE(QDir().mkdir(file));
        }
        const QString told = QStringLiteral("设置文件 %1 不是文件（是文件夹、管道或设备），本程序不读也不写它。").arg(file);

        Startup s(f.book.m());
        f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001.系统管理员")));
        ASSERT_TRUE(s.Main(f.book.dir(), QLatin1Char('"') + f.book.bookPath() + QLatin1Char('"')));
        EXPECT_EQ(f.dialogs.shown, (QStringList{QStringLiteral("Login"), QStringLiteral("frmTip")}));  // the default: tips on
        EXPECT_EQ(f.book.prompt().texts(), QStringList{QStringLiteral("无法保存设置！\n\n") + told});
        EXPECT_EQ(appsettings::save(application, appsettings::kOptionsSection, appsettings::kShowTipsKey,
                                    QStringLiteral("0")),
                  told);
        if (fifo) {
            EXPECT_FALSE(fifo->finish()) << "the start waited on the FIFO";
        }
        EXPECT_FALSE(QFileInfo(file).isFile());
    }
}
