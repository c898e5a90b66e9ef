#include "ShellFixture.h"

#include "db/BookFile.h"
#include "shell/AppSettings.h"
#include "shell/BookFileType.h"
#include "shell/BGForm.h"
#include "shell/EditStateSource.h"
#include "shell/MForm.h"
#include "shell/WindowRegistry.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <functional>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTest>

namespace {
// An editing window as the master-data and document windows are.
class EditingWindow : public QWidget, public EditStateSource {
public:
    int Edstu() const override { return edstu; }
    int edstu = 0;
};

void trigger(MForm &main, const char *item)
{
    if (auto *action = child<QAction>(&main, item))
        action->trigger();
}

QString setting(const QString &key)
{
    return appsettings::read(appsettings::kMainApplication, appsettings::kMainSection, key);
}

QString programPathIn(const TestBook &book)
{
    return book.dir() + QLatin1Char('/') + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// A backup cycle of 0 days: every confirmed exit backs the book up.
void backupAtEveryExit(TestBook &book)
{
    ASSERT_TRUE(textfile::writeAtomically(book.m().gAppPath + book.m().gBookName + QStringLiteral("bak.set"), "0\n"));
}

QStringList backups(TestBook &book)
{
    return QDir(book.m().gAppPath + QStringLiteral("数据备份")).entryList(QDir::Files);
}
} // namespace

TEST(MForm, LoadsCaptionPanelsAndBackground)
{
    ShellFixture f;
    MForm main;
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Vantoro仓库管理系统 Ver:9.69"));
    EXPECT_EQ(main.panelText(2), QStringLiteral("操作员："));
    EXPECT_EQ(main.panelText(4), QStringLiteral("测试帐本"));
    EXPECT_FALSE(main.panelText(1).isEmpty());
    // the shared procedures write through the installed panels
    f.book.m().ShowLoadingInStatusBar();
    EXPECT_EQ(child<QLabel>(&main, "StBPanel4")->text(), QStringLiteral("请稍候，系统正在读入数据……"));
    EXPECT_TRUE(main.background()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(main.background()->focusPolicy(), Qt::NoFocus);
}

TEST(MForm, ExitBlockedOnlyByTheActiveEditingChild)
{
    ShellFixture f;
    backupAtEveryExit(f.book);
    MForm main;
    auto *editing = new EditingWindow;
    main.showChild(editing);
    for (int state : {1, 2}) {
        editing->edstu = state;
        f.book.prompt().clear();
        EXPECT_FALSE(main.close());
        ASSERT_EQ(f.book.prompt().shown.size(), 1);
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("正在有数据被编辑")));
    }
    // another window active: straight to the confirmation, answered No
    main.openWindow(QStringLiteral("C3"));
    f.book.prompt().clear();
    EXPECT_FALSE(main.close());
    ASSERT_EQ(f.book.prompt().shown.size(), 1);
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("真的要退出系统吗？"));
    EXPECT_EQ(f.book.prompt().shown[0].title, QString());
    // No changes nothing
    EXPECT_TRUE(setting(appsettings::kMainFileKey).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(bookfiletype::desktopEntryPath()));
    EXPECT_TRUE(f.book.db().isOpen());
    EXPECT_TRUE(backups(f.book).isEmpty());
    EXPECT_FALSE(program::endRequested());
}

TEST(MForm, ConfirmedExitWritesSettingsAndFileType)
{
    ShellFixture f;
    backupAtEveryExit(f.book);
    MForm main;
    f.book.prompt().answerYes();
    EXPECT_TRUE(main.close());
    EXPECT_TRUE(program::endRequested());
    const QStringList made = backups(f.book);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith(QStringLiteral("测试帐本")) && made[0].endsWith(QStringLiteral(".vzk")));
    EXPECT_EQ(setting(QStringLiteral("MainFile")), programPathIn(f.book));
    EXPECT_EQ(setting(QStringLiteral("Ver")), QStringLiteral("9.69"));
    EXPECT_TRUE(setting(QStringLiteral("MainFiLe")).isEmpty());  // one spelling only
    const QString entry = textfile::read(bookfiletype::desktopEntryPath());
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"") + programPathIn(f.book) + QStringLiteral("\" %f\n")))
        << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("MimeType=application/x-vantoro-book;")));
    EXPECT_TRUE(textfile::read(bookfiletype::mimePackagePath()).contains(QStringLiteral("<glob pattern=\"*.vzk\"/>")));
}

// Settings that cannot be written are told once at exit, in the clerk's
// words; the program ends all the same.
TEST(MForm, AnExitWhoseSettingsCannotBeWrittenSaysSoOnce)
{
    ShellFixture f;
    // A folder where the settings file belongs: nothing can replace it.
    const QString file = QSettings(appsettings::kMainApplication, appsettings::kMainApplication).fileName();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    const QString ownFile = QSettings(appsettings::programName(), appsettings::programName()).fileName();
    QFile::remove(ownFile);
    ASSERT_TRUE(QDir().mkpath(ownFile));
    MForm main;
    f.book.prompt().answerYes();
    EXPECT_TRUE(main.close());
    EXPECT_TRUE(program::endRequested());
    EXPECT_EQ(f.book.prompt().texts(),
              (QStringList{QStringLiteral("真的要退出系统吗？"),
                           QStringLiteral("无法保存设置！\n\n设置文件 %1 不是文件（是文件夹、管道或设备），本程序不读也不写它。").arg(file)}));
    EXPECT_EQ(f.book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
}

TEST(MForm, FileTypeQuotesProgramPathWithBlanksAndSpecials)
{
    ShellFixture f;
    ASSERT_TRUE(RegisterBookFileType(QStringLiteral("/opt/my prog/a$b\"c"), QStringLiteral("/opt/zb.ico")));
    const QString entry = textfile::read(bookfiletype::desktopEntryPath());
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/my prog/a\\\\$b\\\\\"c\" %f\n"))) << entry.toStdString();
}

TEST(MForm, MenuItemsOpenTheirWindows)
{
    ShellFixture f;
    MForm main;
    struct Case {
        const char *item;
        const char *window;
        bool modal;
    } cases[] = {
        {"Menu_A1", "A1", false},  {"Menu_A2", "A2", false},   {"Menu_A3", "A3", false},
        {"Menu_A4", "A4", false},  {"Menu_A5", "FromExcel", false}, {"Menu_B1", "B1", false},
        {"Menu_B3", "B3", false},  {"Menu_C1", "C1", false},   {"Menu_C2", "C2", false},
        {"Menu_C3", "C3", false},  {"Menu_D1", "D1", false},   {"Menu_D3", "D3", false},
        {"Menu_E1", "C15", false}, {"Menu_E2", "C18", false},  {"Menu_E3", "C181", false},
        {"Menu_S1", "S1", false},  {"Menu_S2", "S2", true},    {"Menu_S2502", "SysFuncSet", true},
        {"Menu_zbbf", "sysDBbak", true}, {"Menu_zbhf", "S32", true}, {"MS302", "S302", true},
        {"MS303", "S303", true},   {"MS3", "S3", true},        {"Menu_frmtip", "frmTip", true},
        {"ab", "AboutUS", true},   {"Relogin", "Login", true},
    };
    for (const Case &c : cases) {
        const int before = main.mdiArea()->subWindowList().size();
        f.dialogs.shown.clear();
        trigger(main, c.item);
        if (c.modal) {
            EXPECT_EQ(f.dialogs.shown, QStringList{QString::fromLatin1(c.window)}) << c.item;
        } else {
            ASSERT_EQ(main.mdiArea()->subWindowList().size(), before + 1) << c.item;
            QWidget *w = main.mdiArea()->activeSubWindow()->widget();
            EXPECT_EQ(w->objectName().toStdString(), c.window) << c.item;
            EXPECT_TRUE(w->findChild<QLabel *>(QStringLiteral("NotBuilt"))->text().contains(QStringLiteral("尚未建成")));
            // shown again: brought to the front, no second window
            trigger(main, c.item);
            EXPECT_EQ(main.mdiArea()->subWindowList().size(), before + 1) << c.item;
        }
    }
    // hidden items stay hidden
    for (const char *hidden : {"Menu_C15", "Menu_C18_0", "Menu_C18_1", "Menu_C19", "MS300"})
        EXPECT_FALSE(child<QAction>(&main, hidden)->isVisible()) << hidden;
}

TEST(MForm, StatisticsItemsShareOneLstWindow)
{
    ShellFixture f;
    MForm main;
    trigger(main, "Menu_B2");
    QWidget *lst = main.mdiArea()->activeSubWindow()->widget();
    EXPECT_EQ(lst->property("whoami").toString(), QStringLiteral("B2"));
    trigger(main, "Menu_B4");
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(lst->property("whoami").toString(), QStringLiteral("B4"));
    trigger(main, "Menu_D4");
    EXPECT_EQ(lst->property("whoami").toString(), QStringLiteral("D4"));
}

TEST(MForm, LaterRegistrationReplacesPlaceholder)
{
    ShellFixture f;
    windows::registerFactory(QStringLiteral("A1"), [](QWidget *parent) -> QWidget * {
        auto *w = new QWidget(parent);
        w->setObjectName(QStringLiteral("RealA1"));
        return w;
    });
    MForm main;
    trigger(main, "Menu_A1");
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("RealA1"));
    register_shell_windows();  // back to the placeholder for the other tests
}

TEST(MForm, AdministratorOnlyAndHelpItems)
{
    ShellFixture f;
    MForm main;
    f.book.m().gUserCode = QStringLiteral("002");
    trigger(main, "Menu_S2502");
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("对不起，此功能仅系统最高权限管理员“001”可以使用！您无此权限！"));
    EXPECT_TRUE(f.dialogs.shown.isEmpty());

    trigger(main, "Menu_jishuan");
    EXPECT_EQ(f.book.prompt().lastText(), QStringLiteral("没找到文件 jisuan.exe ！"));
    EXPECT_TRUE(f.desktop.programs.isEmpty());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/jisuan.exe"), "x"));
    trigger(main, "Menu_jishuan");
    EXPECT_EQ(f.desktop.programs, QStringList{f.book.dir() + QStringLiteral("/jisuan.exe")});

    trigger(main, "Menu_Help");
    trigger(main, "Menu_H6");
    ASSERT_EQ(f.desktop.urls.size(), 2);
    EXPECT_EQ(f.desktop.urls[0].toLocalFile(), f.book.dir() + QStringLiteral("/使用说明.chm"));
    EXPECT_EQ(f.desktop.urls[1].toString(), mform::kMakerWebPage);

    // the about items hand the window its link; its web button opens it
    f.dialogs.handle(QStringLiteral("AboutUS"), [](QDialog &d) {
        click(&d, "Cmd0");
        return 0;
    });
    f.desktop.urls.clear();
    trigger(main, "Menu_H4");
    ASSERT_EQ(f.desktop.urls.size(), 1);
    EXPECT_EQ(f.desktop.urls[0].toString(), mform::kMakerWebPage + QStringLiteral("support"));
    // status panel 1: the about window with no link: the web button opens nothing
    main.StatusPanelClick(1);
    EXPECT_EQ(f.desktop.urls.size(), 1);
}

TEST(MForm, StatusPanelFour)
{
    ShellFixture f;
    MForm main;
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/jisuan.exe"), "x"));
    // another operator: the calculator, never the book switch
    f.book.m().gUserCode = QStringLiteral("002");
    main.StatusPanelClick(4);
    EXPECT_EQ(f.desktop.programs.size(), 1);
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    // "001" while a list window has its counter in panel 4: the calculator too
    f.book.m().gUserCode = QStringLiteral("001");
    main.setPanelText(4, QStringLiteral("共 12 条记录"));
    main.StatusPanelClick(4);
    EXPECT_EQ(f.desktop.programs.size(), 2);
    main.StatusPanelClick(2);  // the login only while panel 4 shows the book
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    // "001" with the book name there: the book switch
    f.book.m().ShowBookNameInStatusBar();
    f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        EXPECT_EQ(child<QAbstractButton>(&d, "Cmd3")->text(), QStringLiteral("返回系统"));
        click(&d, "Cmd3");
        return d.result();
    });
    main.StatusPanelClick(4);
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("ZbSet")});
}

TEST(MForm, BookSwitch)
{
    ShellFixture f;
    MForm main;
    const QString other = f.book.dir() + QStringLiteral("/第二帐本.vzk");
    ASSERT_TRUE(db::createBook(other).isEmpty());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                          "Yes\n测试帐本\n%AppPath%测试帐本.vzk\n第二帐本\n%AppPath%第二帐本.vzk\n"));
    auto *editing = new EditingWindow;
    main.showChild(editing);
    main.openWindow(QStringLiteral("C1"));

    // refused while a function window edits, even when it is not the active one
    editing->edstu = 1;
    main.SwitchAccountBook();
    EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("正在有数据被编辑")));
    EXPECT_TRUE(f.dialogs.shown.isEmpty());
    EXPECT_TRUE(f.book.db().isOpen());

    // same book with "返回系统": the windows are closed, no second login
    editing->edstu = 0;
    f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        click(&d, "Cmd3");
        return d.result();
    });
    main.SwitchAccountBook();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("ZbSet")});
    EXPECT_TRUE(f.book.db().isOpen());
    EXPECT_EQ(f.book.m().gBookFile, f.book.bookPath());

    // another book: its name in panel 4, then the login
    f.dialogs.shown.clear();
    f.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        child<QComboBox>(&d, "Cmb0")->setCurrentIndex(1);
        click(&d, "Cmd0");
        return d.result();
    });
    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("001")));
    main.SwitchAccountBook();
    EXPECT_EQ(f.dialogs.shown, (QStringList{QStringLiteral("ZbSet"), QStringLiteral("Login")}));
    EXPECT_EQ(f.book.m().gBookFile, other);
    EXPECT_EQ(f.book.db().path(), other);
    EXPECT_EQ(main.panelText(4), QStringLiteral("第二帐本"));
}

TEST(MForm, ReturnToTheCommandLineBookPastANoListNeedsNoLogin)
{
    ShellFixture f;
    Module1 &m = f.book.m();
    m.gBookName = m.gBookFile;  // opened from the command line
    const QString other = f.book.dir() + QStringLiteral("/第二帐本.vzk");
    ASSERT_TRUE(db::createBook(other).isEmpty());
    ASSERT_TRUE(textfile::writeAtomically(f.book.dir() + QStringLiteral("/dbsetup.dat"),
                                          "No\n第二帐本\n%AppPath%第二帐本.vzk\n"));
    MForm main;
    f.dialogs.handle(QStringLiteral("ZbSet"), [&m, &f](QDialog &d) {
        // what "新建帐本" copies while the chooser is up
        EXPECT_EQ(m.gBookFile, f.book.bookPath());
        click(&d, "Cmd3");
        return d.result();
    });
    main.SwitchAccountBook();
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("ZbSet")});
    EXPECT_EQ(m.gBookFile, f.book.bookPath());
    EXPECT_EQ(m.gBookName, f.book.bookPath());
    EXPECT_EQ(m.gDb.path(), f.book.bookPath());
}

TEST(MForm, ReloginClosesThePreviousOperatorsWindows)
{
    ShellFixture f;
    f.book.exec("insert into TE1 (F1,F2,F3,F61,F62,F63,F64,F65,F66) values ('002','张三','',0,0,0,0,0,0)");
    MForm main;
    f.book.m().ShowBookNameInStatusBar();
    auto *editing = new EditingWindow;
    main.showChild(editing);
    main.openWindow(QStringLiteral("S1"));
    f.dialogs.handle(QStringLiteral("Login"), loginAs(QStringLiteral("002")));
    const std::function<void()> relogins[] = {[&main] { main.LoginAgain(); }, [&main] { main.StatusPanelClick(2); }};
    for (const auto &relogin : relogins) {
        // refused while a window edits: no login, the windows stay
        editing->edstu = 1;
        f.book.prompt().clear();
        relogin();
        EXPECT_TRUE(f.book.prompt().lastText().startsWith(QStringLiteral("正在有数据被编辑")));
        EXPECT_TRUE(f.dialogs.shown.isEmpty());
        EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
    }
    editing->edstu = 0;
    main.LoginAgain();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(f.dialogs.shown, QStringList{QStringLiteral("Login")});
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(f.book.m().gUserCode, QStringLiteral("002"));
    EXPECT_FALSE(main.findChild<QAction *>(QStringLiteral("Menu_S1"))->isEnabled());
}

TEST(MForm, WindowClosedInTheSameStepOpensAnew)
{
    ShellFixture f;
    MForm main;
    QWidget *first = main.openWindow(QStringLiteral("C3"));
    ASSERT_NE(first, nullptr);
    QPointer<QMdiSubWindow> closed = main.mdiArea()->activeSubWindow();
    ASSERT_TRUE(closed->close());  // deleted only when the event loop runs again
    QWidget *again = main.openWindow(QStringLiteral("C3"));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_FALSE(again->parentWidget()->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(main.openWindow(QStringLiteral("C3")), again);  // the open one is brought to the front
}

TEST(MForm, DoubleClickedStatusPanelsOpenTheirWindows)
{
    ShellFixture f;
    MForm main;
    f.book.m().ShowBookNameInStatusBar();
    for (const char *panel : {"StBPanel1", "StBPanel2", "StBPanel3"})
        QTest::mouseDClick(child<QLabel>(&main, panel), Qt::LeftButton);
    // the about window, the login (panel 4 shows the book), the personal settings
    EXPECT_EQ(f.dialogs.shown, (QStringList{QStringLiteral("AboutUS"), QStringLiteral("Login"), QStringLiteral("S2")}));
}

TEST(MForm, ChildWindowsKeepTheirOwnSizeOrFillTheWorkArea)
{
    ShellFixture f;
    MForm main;
    main.resize(1280, 800);
    main.show();
    QCoreApplication::processEvents();
    const QSize area = main.mdiArea()->viewport()->size();

    // a window that places its controls itself has a tiny size hint: it must not open tiny
    auto *unsized = new QWidget;
    QMdiSubWindow *sub = main.showChild(unsized);
    EXPECT_GE(sub->width(), area.width() * 8 / 10);
    EXPECT_GE(sub->height(), area.height() * 8 / 10);
    EXPECT_LE(sub->width(), area.width());
    EXPECT_LE(sub->height(), area.height());

    // a window that sized itself keeps its size
    auto *sized = new QWidget;
    sized->resize(640, 400);
    main.showChild(sized);
    EXPECT_EQ(sized->size(), QSize(640, 400));
}
