// The keyboard after a modal window: back with the window that opened it.
#include "platform/ModalFocus.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool becomesActive(QWidget &window)
{
    return QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; });
}

// Runs box modally; once it has the keyboard, during runs and the box is accepted.
void runModalBox(QDialog &box, const std::function<void()> &during = {})
{
    QTimer::singleShot(0, &box, [&box, during] {
        EXPECT_TRUE(becomesActive(box));
        if (during)
            during();
        box.accept();
    });
    box.exec();
    QTest::qWait(50);  // the window system's answer to the hide
}

struct Window {
    Window()
    {
        auto *body = new QWidget(&main);
        auto *layout = new QVBoxLayout(body);
        layout->addWidget(first);
        layout->addWidget(second);
        main.setCentralWidget(body);
        main.show();
        main.activateWindow();
        EXPECT_TRUE(becomesActive(main));
        second->setFocus();
    }
    QMainWindow main;
    QLineEdit *first = new QLineEdit;
    QLineEdit *second = new QLineEdit;
};

} // namespace

TEST(ModalFocus, TheWindowThatOpenedAModalBoxHasTheKeyboardBack)
{
    ReturnFocusAfterModalWindows(*qApp);
    const struct {
        const char *what;
        bool parented;
    } cases[] = {{"a box over the window", true}, {"a box without a parent", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("已保存"), QMessageBox::Ok,
                        c.parented ? &w.main : nullptr);
        runModalBox(box);
        EXPECT_EQ(QApplication::activeWindow(), &w.main);
        EXPECT_EQ(QApplication::focusWidget(), w.second);  // where the typing was
    }
}

TEST(ModalFocus, ABoxOverADialogGivesTheKeyboardBackToTheDialogThenToTheWindow)
{
    ReturnFocusAfterModalWindows(*qApp);
    Window w;
    QDialog dialog(&w.main);
    auto *box = new QLineEdit(&dialog);
    runModalBox(dialog, [&] {
        box->setFocus();
        QMessageBox message(QMessageBox::Question, QString(), QStringLiteral("真的要退出系统吗？"),
                            QMessageBox::Yes | QMessageBox::No, &dialog);
        runModalBox(message);
        EXPECT_EQ(QApplication::activeWindow(), &dialog);
        EXPECT_EQ(QApplication::focusWidget(), box);
    });
    EXPECT_EQ(QApplication::activeWindow(), &w.main);
    EXPECT_EQ(QApplication::focusWidget(), w.second);
}
