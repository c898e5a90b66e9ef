// The master-data windows as the main menu opens them in the main window.
#include "support/WindowDriver.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataWindows.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/ShellWindows.h"
#include "support/TestBook.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

void register_masterdata_windows();

namespace {

TEST(MasterDataInMainWindow, MenusOpenTheRealWindowsWhichGuardTheirEdits)
{
    TestBook book;
    ScriptedDialogRunner dialogs;
    register_shell_windows();
    register_masterdata_windows();
    MForm main;
    main.resize(1000, 700);
    main.show();

    const auto open = [&](const char *menu) {
        QAction *action = main.findChild<QAction *>(QString::fromLatin1(menu));
        EXPECT_NE(action, nullptr) << menu;
        if (action)
            action->trigger();
        return main.mdiArea()->activeSubWindow();
    };
    QMdiSubWindow *suppliers = open("Menu_A1");
    ASSERT_NE(suppliers, nullptr);
    auto *a1 = qobject_cast<A1 *>(suppliers->widget());
    ASSERT_NE(a1, nullptr);
    EXPECT_EQ(main.panelText(4), QStringLiteral("共 1 条记录 当前为第 1 条"));
    EXPECT_NE(qobject_cast<A2 *>(open("Menu_A2")->widget()), nullptr);
    EXPECT_NE(qobject_cast<A4 *>(open("Menu_A4")->widget()), nullptr);

    // The category window runs down the left edge of the client area, title
    // bar included, at least 300 pixels wide and its menu on one row.
    QMdiSubWindow *categories = open("Menu_A3");
    ASSERT_NE(qobject_cast<A3 *>(categories->widget()), nullptr);
    EXPECT_EQ(categories->geometry().topLeft(), QPoint(0, 0));
    EXPECT_GE(categories->geometry().width(), 300);
    EXPECT_EQ(categories->geometry().bottom() + 1, main.mdiArea()->viewport()->height());
    int menuRows = 0;
    for (const QMenuBar *bar : categories->widget()->findChildren<QMenuBar *>())
        menuRows += bar->isVisible() ? 1 : 0;
    EXPECT_EQ(menuRows, 1);

    // An edit in progress keeps the window, and the program, open.
    main.mdiArea()->setActiveSubWindow(suppliers);
    WindowDriver<A1> d{*a1};
    d.menu("Menu_Add");
    book.prompt().clear();
    EXPECT_FALSE(suppliers->close());
    EXPECT_FALSE(main.close());
    ASSERT_EQ(book.prompt().shown.size(), 2);
    EXPECT_TRUE(book.prompt().lastText().startsWith(QStringLiteral("正在有数据被编辑")));
    d.menu("Menu_cancel");
    d.menu("Menu_Return");
    EXPECT_EQ(main.panelText(4), book.m().gBookName);
}

} // namespace
