// The program as a new user meets it: the program folder the build makes, the
// user's data folder, the start procedure, the login of "001" without a
// password, then every item of the main menu once, and the exit.
#include "MenuItems.h"
#include "db/BookFile.h"
#include "documents/DocumentService.h"
#include "shell/DesktopServices.h"
#include "shell/EditStateSource.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/PlaceholderWindows.h"
#include "shell/ProgramEnd.h"
#include "shell/ShellWindows.h"
#include "shell/Startup.h"
#include "shell/WindowRegistry.h"
#include "platform/TextFile.h"
#include "support/TestBook.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

void registerAllWindows();

namespace {

// A copy of the program folder's files (template book, book list, tips, templates).
QString copyProgramFolder(const QString &target)
{
    const QString source = qEnvironmentVariable("WAREHOUSE_APP_DIR");
    EXPECT_FALSE(source.isEmpty());
    QDir().mkpath(target);
    for (const QString &name : QDir(source).entryList(QDir::Files)) {
        if (name == QLatin1String("warehouse"))
            continue;
        EXPECT_TRUE(QFile::copy(source + QLatin1Char('/') + name, target + QLatin1Char('/') + name)) << name.toStdString();
    }
    return target;
}

void click(QDialog &dialog, const char *button)
{
    auto *b = dialog.findChild<QAbstractButton *>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

int loginAs001(QDialog &dialog)
{
    dialog.findChild<QComboBox *>(QStringLiteral("Cmb"))->setEditText(QStringLiteral("001"));
    dialog.findChild<QLineEdit *>(QStringLiteral("Txt1"))->clear();
    click(dialog, "Cmd0");
    return dialog.result();
}

// Runs the dialogs as scripted and remembers which were stand-ins.
class CheckingDialogRunner : public ScriptedDialogRunner {
public:
    int run(QDialog &dialog) override
    {
        if (qobject_cast<PlaceholderDialog *>(&dialog))
            placeholders << dialog.objectName();
        return ScriptedDialogRunner::run(dialog);
    }
    QStringList placeholders;
};

// The items whose work is to tell the operator something, with what they tell
// on a machine without the file they open.
const QHash<QString, QString> kItemsThatTell = {
    {QStringLiteral("Menu_jishuan"), QStringLiteral("没找到文件 jisuan.exe ！")},
};

// The program started on a copy of the program folder and its own data folder.
struct RunningProgram {
    RunningProgram()
    {
        register_shell_windows();
        registerAllWindows();
        program::clearEndRequest();
        settings.db().close();
        dialogs.handle(QStringLiteral("Login"), loginAs001);
        dialogs.handle(QStringLiteral("frmTip"), [](QDialog &d) {
            click(d, "CmdOK");
            return d.result();
        });
    }
    ~RunningProgram() { program::clearEndRequest(); }

    bool start()
    {
        startup = std::make_unique<Startup>(settings.m());
        return startup->Main(programFolder, dataFolder, QString());
    }
    Module1 &m() { return settings.m(); }
    MForm &main() { return *startup->mainWindow(); }

    // Triggers a menu item; empty when its window opened (or it told what it
    // is meant to tell), else what went wrong.
    QString menuItemProblem(QAction *item)
    {
        const QString name = item->objectName();
        const int windowsBefore = main().mdiArea()->subWindowList().size();
        const qsizetype dialogsBefore = dialogs.shown.size();
        const qsizetype promptsBefore = settings.prompt().shown.size();
        const qsizetype desktopBefore = desktop.urls.size() + desktop.programs.size();
        dialogs.placeholders.clear();
        item->trigger();

        QStringList told;
        for (qsizetype i = promptsBefore; i < settings.prompt().shown.size(); ++i)
            told << settings.prompt().shown[i].text;
        if (kItemsThatTell.contains(name))
            return told == QStringList{kItemsThatTell.value(name)} ? QString() : QStringLiteral("told: ") + told.join('|');
        if (!told.isEmpty())
            return QStringLiteral("told: ") + told.join(QLatin1Char('|'));
        if (!dialogs.placeholders.isEmpty())
            return QStringLiteral("stand-in dialog: ") + dialogs.placeholders.join(QLatin1Char(' '));
        const QList<QMdiSubWindow *> open = main().mdiArea()->subWindowList();
        for (QMdiSubWindow *sub : open)
            if (qobject_cast<PlaceholderWindow *>(sub->widget()))
                return QStringLiteral("stand-in window: ") + sub->widget()->objectName();
        const bool opened = open.size() > windowsBefore || dialogs.shown.size() > dialogsBefore ||
                            desktop.urls.size() + desktop.programs.size() > desktopBefore;
        return opened ? QString() : QStringLiteral("nothing opened");
    }

    TestBook settings;  // settings, prompts and files of this test stay in its folder
    CheckingDialogRunner dialogs;
    RecordingDesktop desktop;
    QString programFolder = copyProgramFolder(settings.dir() + QStringLiteral("/程序"));
    QString dataFolder = settings.dir() + QStringLiteral("/数据/warehouse");
    std::unique_ptr<Startup> startup;
};

QList<QAction *> menuItems(MForm &main)
{
    QList<QAction *> items;
    for (QAction *top : main.menuBar()->actions())
        if (top->menu() && top->isEnabled())
            collectItems(top->menu(), items);
    return items;
}

void quit(RunningProgram &p)
{
    p.settings.prompt().clear();
    p.settings.prompt().answerYes();
    p.main().findChild<QAction *>(QStringLiteral("Quit"))->trigger();
    EXPECT_EQ(p.settings.prompt().lastText(), QStringLiteral("真的要退出系统吗？"));
    EXPECT_TRUE(program::endRequested());
    program::clearEndRequest();
}

} // namespace

TEST(Program, DefaultBookLoginEveryMenuItemAndExit)
{
    RunningProgram p;
    ASSERT_TRUE(p.start());
    Module1 &m = p.m();
    MForm &main = p.main();
    main.show();

    // The list says "No": the user's copy of the default book opens without
    // the chooser, in the data folder; the program folder's book stays a template.
    const QString userBook = p.dataFolder + QStringLiteral("/darvex.dat");
    EXPECT_EQ(p.dialogs.shown, (QStringList{QStringLiteral("Login"), QStringLiteral("frmTip")}));
    EXPECT_EQ(m.gDb.path(), userBook);
    EXPECT_TRUE(QFileInfo::exists(p.dataFolder + QStringLiteral("/dbsetup.dat")));
    EXPECT_EQ(m.gBookName, QStringLiteral("货品进出存帐本"));
    EXPECT_EQ(m.gUserCode, QStringLiteral("001"));
    EXPECT_EQ(main.panelText(2), QStringLiteral("操作员："));
    EXPECT_EQ(main.panelText(3), QStringLiteral("系统管理员"));
    EXPECT_EQ(main.panelText(4), QStringLiteral("货品进出存帐本"));

    // The book switch goes back to the open book; a new login keeps "001".
    p.dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        click(d, "Cmd3");
        return d.result();
    });

    const QList<QAction *> items = menuItems(main);
    QStringList names;
    for (QAction *item : items)
        names << item->objectName();
    EXPECT_EQ(names.size(), 38) << names.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(names.last(), QStringLiteral("Menu_jishuan"));

    for (QAction *item : items) {
        if (item->objectName() == QLatin1String("Quit"))
            continue;
        SCOPED_TRACE(item->objectName().toStdString());
        EXPECT_EQ(p.menuItemProblem(item).toStdString(), "");
        // What opened closes again; no window is left editing.
        for (QMdiSubWindow *sub : main.mdiArea()->subWindowList()) {
            auto *editing = dynamic_cast<EditStateSource *>(sub->widget());
            EXPECT_TRUE(!editing || editing->Edstu() == 0) << sub->widget()->objectName().toStdString();
            EXPECT_TRUE(sub->close()) << sub->widget()->objectName().toStdString();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(m.gDb.isOpen());
        EXPECT_FALSE(program::endRequested());
    }
    EXPECT_EQ(m.gDb.path(), userBook);
    EXPECT_EQ(main.panelText(4), QStringLiteral("货品进出存帐本"));

    // "&8.退出本系统": the question, then the program ends.
    quit(p);
}

TEST(Program, AMenuItemWhoseWindowFailsIsReported)
{
    RunningProgram p;
    ASSERT_TRUE(p.start());
    const auto item = [&p](const char *name) { return p.main().findChild<QAction *>(QString::fromLatin1(name)); };
    // A registration that makes no window: the main window says it cannot open it.
    windows::registerFactory(QStringLiteral("A1"), [](QWidget *) -> QWidget * { return nullptr; });
    EXPECT_EQ(p.menuItemProblem(item("Menu_A1")), QStringLiteral("told: 窗口 A1 无法打开！"));
    // A subsystem that never replaced the stand-ins.
    register_shell_windows();
    EXPECT_EQ(p.menuItemProblem(item("Menu_A2")), QStringLiteral("stand-in window: A2"));
    EXPECT_EQ(p.menuItemProblem(item("MS3")), QStringLiteral("stand-in dialog: S3"));
    registerAllWindows();
}

TEST(Program, AuditedNoteOutlivesANewTemplateBook)
{
    RunningProgram p;
    ASSERT_TRUE(p.start());
    using namespace documents;
    SaveRequest note;
    note.number = QStringLiteral("RK2612100001");
    note.reservedNo = note.number;
    note.date = QStringLiteral("2026-12-10");
    note.party = QStringLiteral("001");
    note.enteredBy = p.m().gUserName;
    note.lines = {{QStringLiteral("G1"), QStringLiteral("5"), QStringLiteral("2"), QString()}};
    ASSERT_TRUE(p.m().gDb.exec(QStringLiteral("insert into TA4 (F1,F2,F8) values ('G1','螺丝',0)")));
    const SaveOutcome saved = saveDocument(p.m(), stockInNoteKind(), note);
    ASSERT_TRUE(saved.done) << saved.message.toStdString();
    ASSERT_TRUE(auditDocument(p.m(), stockInNoteKind(), note.number).done);
    quit(p);
    p.m().gDb.close();

    // The build makes the template book anew (the schema changed).
    const QString templateBook = p.programFolder + QStringLiteral("/darvex.dat");
    ASSERT_TRUE(QFile::remove(templateBook));
    ASSERT_TRUE(db::createBook(templateBook).isEmpty());

    ASSERT_TRUE(p.start());
    EXPECT_EQ(p.m().GetSingleValue(QStringLiteral("select F6 from TB1 where F1='RK2612100001'")),
              p.m().gUserName);
    EXPECT_EQ(p.m().GetSingleValue(QStringLiteral("select F8 from TA4 where F1='G1'")).toDouble(), 5);
    quit(p);
}

namespace {
// The caption a menu item shows, as the program's own messages name it:
// without its access key ("&S.系统管理" is "系统管理").
QString shownCaption(const QAction *item)
{
    static const QRegularExpression accessKey(QStringLiteral("^&?[A-Z0-9]\\."));
    return QString(item->text()).remove(accessKey).remove(QLatin1Char('&'));
}

// Whether names ("系统管理", "系统设置", "系统功能设置") lead from the menu bar
// to an item an operator can choose.
bool isMenuPath(MForm &main, const QStringList &names)
{
    QList<QAction *> level = main.menuBar()->actions();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto found = std::find_if(level.begin(), level.end(), [&](QAction *item) {
            return item->isVisible() && item->isEnabled() && shownCaption(item) == names[i];
        });
        if (found == level.end())
            return false;
        const bool last = i + 1 == names.size();
        if (last != !(*found)->menu())
            return false;
        if (!last)
            level = (*found)->menu()->actions();
    }
    return true;
}
} // namespace

// Every tip holds for a new book: each menu it names in brackets is a path of
// the main menu, from the menu bar down to an item, by the captions shown; and
// what a tip says the new book does about stock-outs, the new book does.
TEST(Program, TipsHoldForANewBook)
{
    RunningProgram p;
    ASSERT_TRUE(p.start());
    bool read = false;
    const QStringList tips =
        textfile::read(p.programFolder + QStringLiteral("/Learn.dat"), &read).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_TRUE(read);
    const bool overdrawAllowed = p.m().gOptNoOverdraw == 0;
    const struct {
        const char *says;
        bool holds;
    } claims[] = {
        {"出库前系统会检查库存", !overdrawAllowed},
        {"新帐本允许超出库存出库", overdrawAllowed},
        {"勾选“禁止超出库存出库(借货功能)”", overdrawAllowed},
    };
    static const QRegularExpression path(QStringLiteral("\\[[^\\]]+\\](?:->\\[[^\\]]+\\])*"));
    static const QRegularExpression brackets(QStringLiteral("^\\[|\\]$"));
    int paths = 0;
    for (const QString &tip : tips) {
        SCOPED_TRACE(tip.toStdString());
        for (const auto &named : path.globalMatch(tip)) {
            const QStringList names = named.captured().remove(brackets).split(QStringLiteral("]->["));
            EXPECT_TRUE(isMenuPath(p.main(), names)) << named.captured().toStdString();
            ++paths;
        }
        for (const auto &claim : claims)
            EXPECT_TRUE(!tip.contains(QString::fromUtf8(claim.says)) || claim.holds) << claim.says;
    }
    EXPECT_GT(paths, 0);
    quit(p);
}
