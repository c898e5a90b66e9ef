// The program as a new user meets it: the program folder the build makes, the
// start procedure, the login of "001" without a password, then every item of
// the main menu once, and the exit.
#include "shell/DesktopServices.h"
#include "shell/EditStateSource.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/ProgramEnd.h"
#include "shell/ShellWindows.h"
#include "shell/Startup.h"
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
#include <gtest/gtest.h>

void registerAllWindows();

namespace {

// A copy of the program folder's files (default book, book list, tips, templates).
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

// Every item a click can reach: visible, enabled, no submenu, no separator.
void collectItems(QMenu *menu, QList<QAction *> &items)
{
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible() || !action->isEnabled())
            continue;
        if (action->menu())
            collectItems(action->menu(), items);
        else
            items << action;
    }
}

} // namespace

TEST(Program, DefaultBookLoginEveryMenuItemAndExit)
{
    TestBook settings;  // settings, prompts and files of this test stay in its folder
    ScriptedDialogRunner dialogs;
    RecordingDesktop desktop;
    register_shell_windows();
    registerAllWindows();
    program::clearEndRequest();
    settings.db().close();

    const QString folder = copyProgramFolder(settings.dir() + QStringLiteral("/程序"));
    dialogs.handle(QStringLiteral("Login"), loginAs001);
    dialogs.handle(QStringLiteral("frmTip"), [](QDialog &d) {
        click(d, "CmdOK");
        return d.result();
    });
    Module1 &m = settings.m();
    Startup startup(m);
    ASSERT_TRUE(startup.Main(folder, QString()));
    MForm &main = *startup.mainWindow();
    main.show();

    // The list beside the program says "No": the default book opens without the chooser.
    EXPECT_EQ(dialogs.shown, (QStringList{QStringLiteral("Login"), QStringLiteral("frmTip")}));
    EXPECT_EQ(m.gDb.path(), folder + QStringLiteral("/darvex.dat"));
    EXPECT_EQ(m.gBookName, QStringLiteral("货品进出存帐本"));
    EXPECT_EQ(m.gUserCode, QStringLiteral("001"));
    EXPECT_EQ(main.panelText(2), QStringLiteral("操作员："));
    EXPECT_EQ(main.panelText(3), QStringLiteral("系统管理员"));
    EXPECT_EQ(main.panelText(4), QStringLiteral("货品进出存帐本"));

    // The book switch goes back to the open book; a new login keeps "001".
    dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
        click(d, "Cmd3");
        return d.result();
    });

    QList<QAction *> items;
    for (QAction *top : main.menuBar()->actions())
        if (top->menu() && top->isEnabled())
            collectItems(top->menu(), items);
    QStringList names;
    for (QAction *item : items)
        names << item->objectName();
    EXPECT_EQ(names.size(), 38) << names.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(names.last(), QStringLiteral("Menu_jishuan"));

    for (QAction *item : items) {
        if (item->objectName() == QLatin1String("Quit"))
            continue;
        SCOPED_TRACE(item->objectName().toStdString());
        const int windowsBefore = main.mdiArea()->subWindowList().size();
        const qsizetype dialogsBefore = dialogs.shown.size();
        const qsizetype promptsBefore = settings.prompt().shown.size();
        const qsizetype desktopBefore = desktop.urls.size() + desktop.programs.size();
        item->trigger();
        const QList<QMdiSubWindow *> open = main.mdiArea()->subWindowList();
        const bool opened = open.size() > windowsBefore || dialogs.shown.size() > dialogsBefore ||
                            settings.prompt().shown.size() > promptsBefore ||
                            desktop.urls.size() + desktop.programs.size() > desktopBefore;
        EXPECT_TRUE(opened);
        // What opened closes again; no window is left editing.
        for (QMdiSubWindow *sub : open) {
            auto *editing = dynamic_cast<EditStateSource *>(sub->widget());
            EXPECT_TRUE(!editing || editing->Edstu() == 0) << sub->widget()->objectName().toStdString();
            EXPECT_TRUE(sub->close()) << sub->widget()->objectName().toStdString();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(m.gDb.isOpen());
        EXPECT_FALSE(program::endRequested());
    }
    EXPECT_EQ(m.gDb.path(), folder + QStringLiteral("/darvex.dat"));
    EXPECT_EQ(main.panelText(4), QStringLiteral("货品进出存帐本"));

    // "&8.退出本系统": the question, then the program ends.
    settings.prompt().clear();
    settings.prompt().answerYes();
    main.findChild<QAction *>(QStringLiteral("Quit"))->trigger();
    EXPECT_EQ(settings.prompt().lastText(), QStringLiteral("真的要退出系统吗？"));
    EXPECT_TRUE(program::endRequested());
    program::clearEndRequest();
}
