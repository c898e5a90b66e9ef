#include "DocumentFixture.h"

#include "documents/DocumentWindow.h"
#include "documents/NewGoods.h"
#include "platform/NumberText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace documents;

using NewGoodsTest = DocumentBook;

TEST_F(NewGoodsTest, ChecksBeforeTheGoodsIsWritten)
{
    addGoods(QStringLiteral("OLD"), 1, 1, 1, QStringLiteral("旧货"));
    const NewGoods ok{"N1", "名", "001.所有货品", "个", "", "12.5", "", "", "", "2"};
    struct Case {
        const char *name;
        NewGoods goods;
        QString message;
    };
    auto with = [&ok](auto change) {
        NewGoods g = ok;
        change(g);
        return g;
    };
    const Case cases[] = {
        {"no code", with([](NewGoods &g) { g.code = " "; }), "货品编码不能为空！"},
        {"no name", with([](NewGoods &g) { g.name = ""; }), "货品名称不能为空！"},
        {"quantity 0", with([](NewGoods &g) { g.quantity = "abc"; }), "入库数量不能为0！"},
        {"no category", with([](NewGoods &g) { g.category = " "; }), "所属类别不能为空！"},
        {"unknown category", with([](NewGoods &g) { g.category = "999"; }), "所属类别编码输入错误！"},
        {"code taken", with([](NewGoods &g) { g.code = "old"; }), "[旧货]已经使用了old这个编码，请重新设置编码!"},
        {"code too long", with([](NewGoods &g) { g.code = QString(26, 'C'); }), "货品编码不能超过25个字符！"},
        {"infinite quantity", with([](NewGoods &g) { g.quantity = "1e400"; }), numtext::unstorableMessage("入库数量")},
        {"huge price", with([](NewGoods &g) { g.costPrice = "-1e308"; }), numtext::unstorableMessage("入库价格")},
        {"huge sale price", with([](NewGoods &g) { g.salePrice = "1e309"; }), numtext::unstorableMessage("销售价格")},
        {"huge amount", with([](NewGoods &g) { g.quantity = "1e14"; }), numtext::unstorableMessage("金额")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const NewGoodsOutcome out = saveNewGoods(m(), c.goods);
        EXPECT_FALSE(out.done);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(book.value("select count(*) from TA4"), "1");
    }
}

TEST_F(NewGoodsTest, WrittenAtOnceWithoutLineBreaksAndWithQuantityZero)
{
    const NewGoods goods{"N\r\n1", "名", "001", "个", "M6", "12.5", "", "备注", "/tmp/Pic.JPG", "-3"};
    const NewGoodsOutcome out = saveNewGoods(m(), goods);
    ASSERT_TRUE(out.done) << out.message.toStdString();
    EXPECT_EQ(out.categoryCode, "001");
    EXPECT_EQ(book.value("select F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F9||'|'||F11||'|'||F7||'|'||F71||'|'||F8 from TA4"),
              "N1|名|001|个|M6|备注|/tmp/Pic.JPG|N1|12.5|0.0|0.0");
}

TEST_F(NewGoodsTest, PricesTypedWithThousandsSeparatorsAreStoredWhole)
{
    const NewGoods goods{"N1", "名", "001", "个", "", "1,234.50", "12,345", "", "", "1,200"};
    ASSERT_TRUE(saveNewGoods(m(), goods).done);
    EXPECT_EQ(book.number("select F7 from TA4 where F1='N1'"), 1234.5);
    EXPECT_EQ(book.number("select F71 from TA4 where F1='N1'"), 12345);
}

TEST_F(NewGoodsTest, CreatedFromTheSearchPanelAndAddedAsALine)
{
    DocumentWindow window(B1);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.NewDocument();
    auto *code = window.findChild<QLineEdit *>(QStringLiteral("TxtHPBM"));
    code->setText(QStringLiteral("NEW1"));
    window.SearchGoodsByCodePrefix();
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("LabInfo"))->text(), "没有以“NEW1”开头的货品编码");
    window.findChild<QPushButton *>(QStringLiteral("CmdBox2"))->click();
    auto box = [&window](int i) { return window.findChild<QLineEdit *>(QStringLiteral("TxtN%1").arg(i)); };
    EXPECT_EQ(box(0)->text(), "NEW1");
    EXPECT_TRUE(box(0)->hasFocus());
    EXPECT_EQ(window.findChild<QPushButton *>(QStringLiteral("CmdBox0"))->text(), "保 存");
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("LabInfo"))->text(), "增加新的货品资料");

    QTest::keyClicks(box(1), QStringLiteral("bolt"));
    EXPECT_EQ(box(1)->text(), "BOLT");  // typed letters become capitals
    box(5)->setText(QStringLiteral("12.5"));

    // A negative quantity with the option becomes 0 as the box is left, and is refused.
    m().gOptAbsoluteQuantities = 1;
    box(9)->setFocus();
    box(9)->setText(QStringLiteral("-3"));
    box(0)->setFocus();
    EXPECT_EQ(box(9)->text(), "0");
    window.findChild<QPushButton *>(QStringLiteral("CmdBox0"))->click();
    EXPECT_EQ(book.prompt().lastText(), "入库数量不能为0！");

    // Enter on the focused save button saves; a pasted line break leaves the code box.
    box(9)->setText(QStringLiteral("2"));
    box(0)->setText(QStringLiteral("NEW1\r\n"));
    auto *save = window.findChild<QPushButton *>(QStringLiteral("CmdBox0"));
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Return);
    EXPECT_EQ(book.value("select F2||'/'||F7||'/'||F8 from TA4 where F1='NEW1'"), "BOLT/12.5/0.0");
    const GridModel &lines = window.lineGrid();
    EXPECT_EQ(lines.rowTexts(1).mid(0, 6), QStringList({"NEW1", "BOLT/", "", "2", "12.5", "25"}));
    EXPECT_EQ(box(0)->text(), "NEW1");
    EXPECT_EQ(box(1)->text(), "BOLT");  // the boxes stay filled for the next goods

    // "新 增" again empties the boxes; without the option -3 stays and makes the line.
    m().gOptAbsoluteQuantities = 0;
    window.findChild<QPushButton *>(QStringLiteral("CmdBox2"))->click();
    EXPECT_EQ(box(1)->text(), "");
    box(0)->setText(QStringLiteral("NEW2"));
    box(1)->setText(QStringLiteral("NUT"));
    box(9)->setFocus();
    box(9)->setText(QStringLiteral("-3"));
    box(0)->setFocus();
    EXPECT_EQ(box(9)->text(), "-3");
    save->click();
    EXPECT_EQ(lines.rowTexts(2).mid(0, 4), QStringList({"NEW2", "NUT/", "", "-3"}));

    // The goods stays when the note is cancelled.
    window.CancelEdit();
    EXPECT_EQ(book.value("select count(*) from TA4 where F1='NEW1'"), "1");
}
