// The program on a clerk's 1280x800 screen (the real program folder and
// book): every window of the main menu opens inside the work area and reads
// whole, the keys work as on the desktop the windows were made for, and Qt's
// own texts are Chinese.
#include "MenuItems.h"
#include "documents/DocumentWindow.h"
#include "platform/DesktopLocale.h"
#include "platform/Prompt.h"
#include "shell/DesktopServices.h"
#include "shell/EditStateSource.h"
#include "shell/MForm.h"
#include "shell/ModalDialogs.h"
#include "shell/ProgramEnd.h"
#include "shell/ShellWindows.h"
#include "shell/Startup.h"
#include "support/TestBook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>

void registerAllWindows();

namespace {

const QRegularExpression kChinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));

// The program started on a copy of the program folder, "001" logged in.
class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallChineseDesktop(*qApp);
        register_shell_windows();
        registerAllWindows();
        program::clearEndRequest();
        book.db().close();
        const QString source = qEnvironmentVariable("WAREHOUSE_APP_DIR");
        ASSERT_FALSE(source.isEmpty());
        folder = book.dir() + QStringLiteral("/程序");
        QDir().mkpath(folder);
        for (const QString &name : QDir(source).entryList(QDir::Files)) {
            if (name == QLatin1String("warehouse"))
                continue;
            ASSERT_TRUE(QFile::copy(source + QLatin1Char('/') + name, folder + QLatin1Char('/') + name));
        }

        dialogs.handle(QStringLiteral("Login"), [this](QDialog &d) {
            loginCaption = d.windowTitle();
            d.findChild<QComboBox *>(QStringLiteral("Cmb"))->setEditText(QStringLiteral("001"));
            d.findChild<QAbstractButton *>(QStringLiteral("Cmd0"))->click();
            return d.result();
        });
        dialogs.handle(QStringLiteral("frmTip"), [](QDialog &d) {
            d.findChild<QAbstractButton *>(QStringLiteral("CmdOK"))->click();
            return d.result();
        });
        dialogs.handle(QStringLiteral("ZbSet"), [](QDialog &d) {
            d.findChild<QAbstractButton *>(QStringLiteral("Cmd3"))->click();
            return d.result();
        });
        startup = std::make_unique<Startup>(book.m());
        ASSERT_TRUE(startup->Main(folder, QString()));
        QApplication::setActiveWindow(&main());
        settle();
    }

    void TearDown() override
    {
        if (startup && startup->mainWindow())
            for (QMdiSubWindow *sub : main().mdiArea()->subWindowList())
                delete sub;
        program::clearEndRequest();
    }

    MForm &main() { return *startup->mainWindow(); }
    QMdiArea &area() { return *main().mdiArea(); }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    QAction *item(const char *name) { return main().findChild<QAction *>(QString::fromLatin1(name)); }

    // Opens a function window from the main menu; the active sub-window.
    QMdiSubWindow *openFromMenu(const char *name)
    {
        item(name)->trigger();
        settle();
        return area().activeSubWindow();
    }

    TestBook book;  // settings, prompts and files of this test stay in its folder
    ScriptedDialogRunner dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<Startup> startup;
    QString folder;
    QString loginCaption;
};

// A window inside the work area, every grid caption read whole, every menu
// command on show. The category and operator windows, which run along the
// left edge, are wide enough for their menu on one row.
void checkWindow(QMdiSubWindow *sub, QWidget *viewport)
{
    QWidget *window = sub->widget();
    const QString name = window->objectName();
    SCOPED_TRACE(name.toStdString());
    const QRect area = viewport->rect();
    const QRect client(window->mapTo(viewport, QPoint(0, 0)), window->size());
    EXPECT_TRUE(area.contains(client)) << "client area outside the work area";
    const QRect frame = sub->geometry();
    EXPECT_EQ(sub->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey()) << "not the program's icon";
    EXPECT_TRUE(area.contains(frame)) << "window outside the work area: " << frame.x() << "," << frame.y() << " "
                                      << frame.width() << "x" << frame.height() << " in " << area.width() << "x"
                                      << area.height();

    for (QTableView *grid : window->findChildren<QTableView *>()) {
        if (!grid->isVisible())
            continue;
        const QHeaderView *header = grid->horizontalHeader();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section) || header->sectionSize(section) == 0)
                continue;
            const QString caption = grid->model()->headerData(section, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(section), header->fontMetrics().horizontalAdvance(caption) + 2 * margin)
                << grid->objectName().toStdString() << " column " << section << " " << caption.toStdString();
        }
    }

    int menuRows = 0;
    for (QMenuBar *bar : window->findChildren<QMenuBar *>()) {
        if (!bar->isVisible())
            continue;
        ++menuRows;
        for (QAction *action : bar->actions()) {
            if (!action->isVisible())
                continue;
            const QRect place = bar->actionGeometry(action);
            EXPECT_TRUE(!place.isEmpty() && bar->rect().contains(place)) << action->text().toStdString();
        }
    }
    if (name == QLatin1String("A3") || name == QLatin1String("S1")) {
        EXPECT_EQ(menuRows, 1) << "menu wrapped";
    }
}

TEST_F(RunningProgram, EveryWindowFitsTheScreenAndReadsWhole)
{
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    // The main window fills the screen on first start; the login caption
    // carries today's date in the Chinese short form.
    EXPECT_EQ(main().frameGeometry(), main().screen()->availableGeometry());
    EXPECT_EQ(loginCaption, QStringLiteral("登录帐本...") + book.m().Today().toString(QStringLiteral("yyyy/M/d")));

    QList<QAction *> items;
    for (QAction *top : main().menuBar()->actions())
        if (top->menu() && top->isEnabled())
            collectItems(top->menu(), items);
    ASSERT_GT(items.size(), 30);
    int windowsChecked = 0;
    int previewsChecked = 0;
    for (QAction *menuItem : items) {
        if (menuItem->objectName() == QLatin1String("Quit"))
            continue;
        SCOPED_TRACE(menuItem->objectName().toStdString());
        const QList<QMdiSubWindow *> before = area().subWindowList();
        menuItem->trigger();
        settle();
        for (QMdiSubWindow *sub : area().subWindowList()) {
            if (before.contains(sub))
                continue;
            checkWindow(sub, area().viewport());
            ++windowsChecked;
            // Its printed list opens in the print host, also inside the area.
            auto *print = sub->widget()->findChild<QAction *>(QStringLiteral("Menu_print"));
            if (print && print->isVisible() && print->isEnabled()) {
                const QList<QMdiSubWindow *> withWindow = area().subWindowList();
                print->trigger();
                settle();
                for (QMdiSubWindow *host : area().subWindowList()) {
                    if (withWindow.contains(host))
                        continue;
                    checkWindow(host, area().viewport());
                    ++previewsChecked;
                }
            }
        }
        for (QMdiSubWindow *sub : area().subWindowList())
            EXPECT_TRUE(sub->close()) << sub->widget()->objectName().toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_GE(windowsChecked, 15);
    EXPECT_GE(previewsChecked, 3);

    // Every message shown on the way would show Chinese buttons only.
    ASSERT_FALSE(book.prompt().shown.isEmpty());
    for (const auto &shown : book.prompt().shown) {
        if (shown.kind == QLatin1String("input"))
            continue;
        std::unique_ptr<QMessageBox> box(
            MessageBoxPrompt::makeBox(shown.title, shown.text, shown.icon, shown.kind == QLatin1String("ask")));
        const QList<QAbstractButton *> buttons = box->buttons();
        ASSERT_FALSE(buttons.isEmpty());
        for (QAbstractButton *button : buttons)
            EXPECT_TRUE(button->text().contains(kChinese)) << button->text().toStdString();
    }
}

TEST_F(RunningProgram, MainWindowComesBackWhereItWasLeft)
{
    const QRect area = main().screen()->availableGeometry();
    const QRect client = main().geometry();
    const QRect frame = main().frameGeometry();
    const QMargins frameMargins(client.left() - frame.left(), client.top() - frame.top(),
                                frame.right() - client.right(), frame.bottom() - client.bottom());
    const struct {
        const char *left;
        std::function<void(MForm &)> place;
    } cases[] = {
        {"maximised, as the first start shows it", [](MForm &) {}},
        // Touching the top of the work area: the place restores used to push down.
        {"normal, its frame covering the work area",
         [&](MForm &w) {
             w.showNormal();
             w.setGeometry(area.marginsRemoved(frameMargins));
         }},
        {"normal, in the middle",
         [](MForm &w) {
             w.showNormal();
             w.setGeometry(120, 90, 900, 600);
         }},
    };
    std::vector<std::unique_ptr<Startup>> starts;
    MForm *window = &main();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.left);
        c.place(*window);
        settle();
        const QRect left = window->geometry();
        const bool maximised = window->isMaximized();
        book.prompt().answerYes();
        window->findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        ASSERT_TRUE(program::endRequested());
        program::clearEndRequest();
        window->close();

        starts.push_back(std::make_unique<Startup>(book.m()));
        ASSERT_TRUE(starts.back()->Main(folder, QString()));
        settle();
        window = starts.back()->mainWindow();
        EXPECT_EQ(window->isMaximized(), maximised);
        EXPECT_EQ(window->geometry(), left);
        EXPECT_TRUE(area.contains(window->frameGeometry()));
    }
}

class DocumentKeys : public RunningProgram {
protected:
    // The stock-in window adding a note with one line of goods G1.
    documents::DocumentWindow *stockInWithOneLine()
    {
        book.m().gDb.open(book.m().gBookFile);
        EXPECT_TRUE(book.m().gDb.exec(
            QStringLiteral("insert into TA4 (F1,F2,F3,F4,F5,F7,F71,F8) values ('G1','螺钉','001','盒','M3',2,3,0)")))
            << book.m().gDb.lastError().toStdString();
        QMdiSubWindow *sub = openFromMenu("Menu_B1");
        EXPECT_NE(sub, nullptr);
        auto *window = qobject_cast<documents::DocumentWindow *>(sub ? sub->widget() : nullptr);
        if (!window)
            return nullptr;
        window->findChild<QAction *>(QStringLiteral("Menu_Add"))->trigger();
        auto *code = window->findChild<QLineEdit *>(QStringLiteral("TxtHPBM"));
        code->setText(QStringLiteral("G1"));
        window->findChild<QLineEdit *>(QStringLiteral("TxtSL"))->setText(QStringLiteral("4"));
        window->findChild<QPushButton *>(QStringLiteral("CmdEnter"))->click();
        EXPECT_EQ(window->lineGrid().textMatrix(1, 0), QStringLiteral("G1"));
        EXPECT_EQ(window->Edstu(), 1);
        return window;
    }
};

TEST_F(DocumentKeys, AltLetterRunsTheWindowsCommandAndOthersReachTheMainMenu)
{
    documents::DocumentWindow *window = stockInWithOneLine();
    ASSERT_NE(window, nullptr);
    auto *code = window->findChild<QLineEdit *>(QStringLiteral("TxtHPBM"));
    book.prompt().clear();
    QTest::keyClick(code, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_TRUE(book.prompt().lastText().startsWith(QStringLiteral("单据保存成功！"))) << book.prompt().lastText().toStdString();
    EXPECT_EQ(book.value(QStringLiteral("select count(*) from TB11 where F1='G1'")), QStringLiteral("1"));
    auto *system = main().findChild<QMenu *>(QStringLiteral("Menu_S"));
    EXPECT_FALSE(system->isVisible());

    // A letter the window does not use opens the main menu.
    QTest::keyClick(code, Qt::Key_H, Qt::AltModifier);
    auto *help = main().findChild<QMenu *>(QStringLiteral("H"));
    EXPECT_TRUE(help->isVisible());
    help->close();
}

TEST_F(DocumentKeys, TabLeavesTheLineGrid)
{
    documents::DocumentWindow *window = stockInWithOneLine();
    ASSERT_NE(window, nullptr);
    auto *lines = window->findChild<QTableView *>(QStringLiteral("GdMx"));
    ASSERT_NE(lines, nullptr);
    lines->setFocus();
    ASSERT_TRUE(lines->hasFocus());
    QTest::keyClick(lines, Qt::Key_Tab);
    QWidget *next = QApplication::focusWidget();
    EXPECT_NE(next, lines);
    EXPECT_TRUE(next && window->isAncestorOf(next));
    window->findChild<QAction *>(QStringLiteral("Menu_cancel"))->trigger();
}

TEST_F(DocumentKeys, ReturnClosesTheWindowAndTheMenuOpensANewOne)
{
    for (const char *menuItem : {"Menu_B1", "Menu_D1", "Menu_C2"}) {
        SCOPED_TRACE(menuItem);
        QMdiSubWindow *sub = openFromMenu(menuItem);
        ASSERT_NE(sub, nullptr);
        QPointer<QMdiSubWindow> first(sub);
        sub->widget()->findChild<QAction *>(QStringLiteral("Menu_Return"))->trigger();
        EXPECT_TRUE(!first || !first->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(first.isNull());
        EXPECT_TRUE(area().subWindowList().isEmpty());

        QMdiSubWindow *again = openFromMenu(menuItem);
        ASSERT_NE(again, nullptr);
        auto *window = dynamic_cast<EditStateSource *>(again->widget());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(again->isVisible() && again->widget()->isVisible());
        again->widget()->findChild<QAction *>(QStringLiteral("Menu_Add"))->trigger();
        EXPECT_EQ(window->Edstu(), 1);
        again->widget()->findChild<QAction *>(QStringLiteral("Menu_cancel"))->trigger();
        EXPECT_EQ(window->Edstu(), 0);
        EXPECT_TRUE(again->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
