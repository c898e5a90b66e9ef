#include "support/TestBook.h"
#include "support/WindowDriver.h"

#include "admin/SystemOptions.h"
#include "admin/SystemOptionsWindow.h"
#include "platform/ModalFocus.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kDecimalsNotice = QStringLiteral(
    "系统默认价格、金额相关数据精确到小数点后 2 位。\n\n你可以修改设置，使系统中价格、金额数据精确到小数点后 %1 位，\n\n"
    "但是部份单据及报表的打印输出依然是小数点后 2 位形式。");

class Options : public ::testing::Test {
protected:
    Options() { book.m().LoadSysSettings(); }

    QCheckBox *chk(QWidget &w, int i) { return w.findChild<QCheckBox *>(QStringLiteral("Chk") + QString::number(i)); }
    QLineEdit *txt(QWidget &w, int i) { return w.findChild<QLineEdit *>(QStringLiteral("Txt") + QString::number(i)); }
    void ok(QWidget &w) { w.findChild<QPushButton *>("Cmd0")->click(); }
    // Every row of sysinfo as "ID=setval/setstr", in ID order.
    QString table()
    {
        return book.value("select group_concat(r, ' ') from (select cast(ID as int)||'='||coalesce(setval,'-')||'/'||"
                          "coalesce(setstr,'-') as r from sysinfo order by ID)");
    }

    TestBook book;
};

TEST_F(Options, CaptionsAndOpeningFromTheVariables)
{
    const char *captions[10] = {"禁止超出库存出库(借货功能)", "录入编辑单据时禁止修改实际价格",
                                "禁止动态更新成本价(加权平均)", "禁止单据数量中存在负数",
                                "销售价与成本价同步(销售价=成本价x", "系统只记数量不记价格、金额",
                                "库存数低于安全库存启动系统时自动报警", "库存数高于最高库存启动系统时自动报警",
                                "允许最高权限管理员“001”直接修改库存数", "允许最高权限管理员“001”修改年初余额"};
    Module1 &m = book.m();
    m.gOptKeepPrices = 0;
    m.gOptSalePriceFactor = 1.5f;
    m.gOptAdminEditsStock = 1;
    m.gOptAdminEditsOpening = 1;
    m.gOptMoneyDecimals = 4;
    SysFuncSet w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("系统功能设置"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(chk(w, i)->text(), QString::fromUtf8(captions[i])) << i;
    EXPECT_EQ(w.findChild<QLabel *>("Lab9")->text(), QStringLiteral("   所有价格、金额数都精确到小数点后       位"));
    EXPECT_EQ(w.findChild<QLabel *>("Lab4")->text(), QStringLiteral(")"));

    // Quantity-only: checked, and the seven price controls are out of reach.
    EXPECT_TRUE(chk(w, 5)->isChecked());
    for (const char *name : {"Chk1", "Chk2", "Chk4", "Txt4", "Lab4", "Lab9", "Txt9"})
        EXPECT_FALSE(w.findChild<QWidget *>(name)->isEnabled()) << name;
    chk(w, 5)->setChecked(false);
    EXPECT_TRUE(txt(w, 9)->isEnabled());

    EXPECT_EQ(txt(w, 4)->text(), QStringLiteral("1.5"));
    EXPECT_TRUE(chk(w, 4)->isChecked());
    EXPECT_TRUE(chk(w, 8)->isChecked());
    EXPECT_TRUE(chk(w, 9)->isChecked());
    EXPECT_EQ(txt(w, 9)->text(), QStringLiteral("4"));
    // Opening shows the decimals notice, never the warnings of boxes 8 and 9.
    ASSERT_EQ(book.prompt().shown.size(), 1);
    EXPECT_EQ(book.prompt().lastText(), kDecimalsNotice.arg(4));
}

TEST_F(Options, SavedOptionsAreStoredInForceAndLoadedBack)
{
    const QString before = table();
    {
        SysFuncSet w;
        ok(w);
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("您的设置已生效！"));
        EXPECT_EQ(book.prompt().shown.last().title, QString());
        EXPECT_EQ(w.result(), int(QDialog::Accepted));
    }
    EXPECT_EQ(table(), before);  // nothing changed, nothing written

    {
        SysFuncSet w;
        chk(w, 0)->setChecked(true);
        chk(w, 3)->setChecked(true);
        txt(w, 4)->setText("1.2");
        EXPECT_TRUE(chk(w, 4)->isChecked());
        chk(w, 5)->setChecked(true);
        chk(w, 7)->setChecked(true);
        book.prompt().answerYes();
        chk(w, 9)->setChecked(true);
        txt(w, 9)->setText("4");
        ok(w);
    }
    EXPECT_EQ(table(), QStringLiteral("0=1.0/ 1=0.0/ 2=0.0/ 3=1.0/- 4=1.2/1.2 5=0.0/- 7=1.0/- 9=4.0/- 10=1.0/-"));
    Module1 &m = book.m();
    EXPECT_EQ(m.gOptNoOverdraw, 1);
    EXPECT_EQ(m.gOptAbsoluteQuantities, 1);
    EXPECT_FLOAT_EQ(m.gOptSalePriceFactor, 1.2f);
    EXPECT_EQ(m.gOptKeepPrices, 0);
    EXPECT_EQ(m.gOptAlarmHighAtStart, 1);
    EXPECT_EQ(m.gOptAdminEditsOpening, 1);
    EXPECT_EQ(m.gOptMoneyDecimals, 4);
    EXPECT_EQ(m.gMoneyFormat, QStringLiteral("#0.0000"));

    // A fresh load gives the same options, and the window shows them again.
    const options::SystemOptions saved = options::fromModule(m);
    m.ResetOptionsToDefaults();
    m.LoadSysSettings();
    EXPECT_TRUE(options::fromModule(m) == saved);
    SysFuncSet w;
    EXPECT_TRUE(w.shownOptions() == saved);

    // Unchecking the factor box saves factor 0; 0 decimals give "#0".
    chk(w, 5)->setChecked(false);
    chk(w, 4)->setChecked(false);
    EXPECT_EQ(txt(w, 4)->text(), QStringLiteral("0"));
    chk(w, 4)->setChecked(true);
    EXPECT_EQ(txt(w, 4)->text(), QStringLiteral("1.2"));  // the factor the window opened with
    chk(w, 4)->setChecked(false);
    txt(w, 9)->setText("0");
    ok(w);
    EXPECT_EQ(book.value("select setval||'/'||setstr from sysinfo where ID=4"), QStringLiteral("0.0/0"));
    EXPECT_EQ(m.gMoneyFormat, QStringLiteral("#0"));
    EXPECT_EQ(m.gOptKeepPrices, 1);
}

TEST_F(Options, DecimalsBoxHoldsOnlyPlainDigitsUpToEight)
{
    struct Case {
        const char *typed;
        const char *shown;
    };
    const Case cases[] = {{"9", "2"},   {"-1", "2"},  {"02", "2"}, {"2.0", "2"}, {" 3", "2"},
                          {"", "2"},    {"abc", "2"}, {"3.5", "3"}, {"0", "0"},  {"8", "8"},
                          {"1e309", "2"}, {"-1e309", "2"}, {"1e999", "2"}};
    SysFuncSet w;
    for (const Case &c : cases) {
        txt(w, 9)->setText("2");
        book.prompt().clear();
        txt(w, 9)->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(txt(w, 9)->text(), QString::fromUtf8(c.shown)) << c.typed;
        const QStringList expected =
            QString::fromUtf8(c.shown) == "2" ? QStringList{} : QStringList{kDecimalsNotice.arg(c.shown)};
        EXPECT_EQ(book.prompt().texts(), expected) << c.typed;
    }
}

TEST_F(Options, AFactorThatCannotBeStoredIsRefused)
{
    const QString before = table();
    SysFuncSet w;
    for (const char *typed : {"1e309", "-1e308", "1e999"}) {
        txt(w, 4)->setText(QString::fromLatin1(typed));
        ok(w);
        EXPECT_EQ(book.prompt().lastText(), numtext::unstorableMessage(chk(w, 4)->text())) << typed;
        EXPECT_EQ(w.result(), 0) << typed;
    }
    EXPECT_EQ(table(), before);
}

TEST_F(Options, OpeningTheAdministratorsEditsAsksFirst)
{
    SysFuncSet w;
    chk(w, 8)->setChecked(true);  // unanswered: No
    EXPECT_FALSE(chk(w, 8)->isChecked());
    EXPECT_EQ(book.prompt().shown.last().title, QStringLiteral("警告"));
    EXPECT_EQ(book.prompt().shown.last().kind, QStringLiteral("confirm"));  // OK/Cancel
    EXPECT_TRUE(book.prompt().lastText().startsWith(QStringLiteral("直接修改库存数会造成进出存报表不准确")));
    book.prompt().answerYes();
    chk(w, 9)->setChecked(true);
    EXPECT_TRUE(chk(w, 9)->isChecked());
    EXPECT_TRUE(book.prompt().lastText().endsWith(QStringLiteral("中操作。\n\n确定开放此功能吗？")));
    const int asked = book.prompt().shown.size();
    chk(w, 9)->setChecked(false);
    EXPECT_EQ(book.prompt().shown.size(), asked);  // unchecking asks nothing
}

// A faulty row (no value) ends a load of the table; the saved options are in
// force all the same, those after the faulty row included.
TEST_F(Options, SavedOptionsAreInForceInABookWithAFaultyRow)
{
    book.exec("update sysinfo set setval=null where ID=3");
    SysFuncSet w;
    chk(w, 0)->setChecked(true);
    chk(w, 7)->setChecked(true);
    txt(w, 9)->setText("4");
    ok(w);
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("您的设置已生效！"));
    Module1 &m = book.m();
    EXPECT_EQ(m.gOptNoOverdraw, 1);
    EXPECT_EQ(m.gOptAlarmHighAtStart, 1);
    EXPECT_EQ(m.gOptMoneyDecimals, 4);
    EXPECT_EQ(m.gMoneyFormat, QStringLiteral("#0.0000"));
    EXPECT_EQ(book.value("select setval from sysinfo where ID=7"), QStringLiteral("1.0"));
}

// A book without the rows of options 0-2 gets them made, so the change
// outlives the run instead of being lost at the next start.
TEST_F(Options, MissingRowsAreMadeAndAFailureWritesNothing)
{
    book.exec("delete from sysinfo");
    {
        SysFuncSet w;
        chk(w, 2)->setChecked(true);
        ok(w);
    }
    EXPECT_EQ(table(), QStringLiteral("2=1.0/-"));
    book.m().ResetOptionsToDefaults();
    book.m().LoadSysSettings();
    EXPECT_EQ(book.m().gOptNoAverageCostUpdate, 1);

    // The decimals are written last: their failure takes the other options back too.
    book.exec("create trigger refuse before insert on sysinfo when new.ID=9 begin select raise(abort, 'refused'); end");
    SysFuncSet w;
    chk(w, 0)->setChecked(true);
    chk(w, 6)->setChecked(true);
    txt(w, 9)->setText("3");
    ok(w);
    // The engine's own text is detail; the main text tells in Chinese.
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("您的帐本文件版本过旧，无法进行系统设置！\n\n帐本数据库报告了错误。"));
    EXPECT_EQ(book.prompt().shown.last().details, QStringLiteral("refused"));
    EXPECT_EQ(w.result(), int(QDialog::Rejected));
    EXPECT_EQ(table(), QStringLiteral("2=1.0/-"));
    EXPECT_EQ(book.m().gOptNoOverdraw, 0);
    EXPECT_EQ(book.m().gOptAlarmLowAtStart, 0);
    EXPECT_EQ(book.m().gOptMoneyDecimals, 2);
}

// Without a window manager too: once the options are saved and their notice is
// closed, the keyboard is back with the window that opened the options, in the
// box where the typing was.
TEST_F(Options, TheKeyboardGoesBackToTheOpeningWindowAfterTheNotice)
{
    ReturnFocusAfterModalWindows(*qApp);
    QMainWindow main;
    auto *typing = new QLineEdit;
    main.setCentralWidget(typing);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }));
    typing->setFocus();

    MessageBoxPrompt boxes;  // the notice shown as a real message box
    Prompt::setCurrent(&boxes);
    SysFuncSet w(&main);
    // The operator: confirms the options once they have the keyboard, then
    // closes each message box that gets it.
    QTimer operatorHand;
    bool confirmed = false;
    QObject::connect(&operatorHand, &QTimer::timeout, &w, [&] {
        QWidget *active = QApplication::activeWindow();
        if (auto *box = qobject_cast<QMessageBox *>(active)) {
            box->accept();
        } else if (active == &w && !confirmed) {
            confirmed = true;
            QTimer::singleShot(0, &w, [&] { ok(w); });
        }
    });
    operatorHand.start(20);
    w.exec();
    operatorHand.stop();
    Prompt::setCurrent(&book.prompt());

    EXPECT_EQ(w.result(), int(QDialog::Accepted));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }));
    EXPECT_EQ(QApplication::focusWidget(), typing);
}

} // namespace
