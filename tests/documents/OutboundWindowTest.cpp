#include "DocumentWindowFixture.h"

#include "documents/DocumentWindow.h"
#include "documents/OutboundKinds.h"
#include "platform/report/ReportEngine.h"
#include "shell/MForm.h"
#include "shell/Prnt.h"
#include "shell/WindowRegistry.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

using namespace documents;

namespace {

class OutboundWindowTest : public DocumentWindowBook {
protected:
    OutboundWindowTest()
    {
        addGoods(QStringLiteral("G1"), 10, 5, 6.125, QStringLiteral("螺丝"));
        addGoods(QStringLiteral("G2"), 4, 2.5, 3, QStringLiteral("垫片"), QStringLiteral("M6"));
    }
    void TearDown() override { delete Prnt::loaded(); }

    const DocumentKind &D1 = stockOutNoteKind();
    const DocumentKind &D3 = returnInNoteKind();
};

} // namespace

TEST_F(OutboundWindowTest, RoadOfAStockOutNote)
{
    m().gOptNoOverdraw = 1;
    addNote(D1, QStringLiteral("CK2611300001"), QStringLiteral("2026-11-30"), {{QStringLiteral("G2"), 3, 3}});
    open(QStringLiteral("D1"));
    EXPECT_EQ(window->windowTitle(), "货品出库单");
    EXPECT_EQ(window->listGrid().rowTexts(0),
              QStringList({"出库单号", "出库日期", "出货单位", "录入员", "审核人", "金额", "附注", "出货单位编码"}));
    EXPECT_EQ(panel4(), "出库单列表：共 1 条记录 当前为第 1 条");
    EXPECT_EQ(child<QAction>(QStringLiteral("Menu_prn0"))->text(), "&1.货品出库单(方案一)");

    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "CK2612090001");
    EXPECT_EQ(book.value("select group_concat(DanF1) from DanNo"), "CK2612090001");
    EXPECT_EQ(window->lineGrid().rowTexts(0),
              QStringList({"货品编码", "货品名称/规格", "计量单位", "出库数量", "出库价格", "小计金额", "备注"}));
    auto *combo = child<QComboBox>(QStringLiteral("CmbLB"));
    EXPECT_EQ(combo->currentText(), "001.默认货品去向");
    combo->setEditText(QStringLiteral("hz01"));

    // G2: 4 on hand, 3 promised to the other unaudited note.
    enterLine(QStringLiteral("G2"), QStringLiteral("2"));
    EXPECT_EQ(book.prompt().lastText(), "系统中存在的其它尚未审核的出库单中含有编码为G2的货品！\n"
                                        "此种货品现存数量不足以供给所有未审核的出库需求！");
    EXPECT_EQ(cell(1, 0), "");
    book.prompt().clear();
    enterLine(QStringLiteral("G2"), QStringLiteral("1"));
    enterLine(QStringLiteral("g1"), QStringLiteral("2"));
    EXPECT_TRUE(book.prompt().shown.isEmpty()) << book.prompt().lastText().toStdString();
    EXPECT_EQ(window->lineGrid().rowTexts(2), QStringList({"G1", "螺丝/规格", "个", "2", "6.13", "12.26", ""}));
    EXPECT_EQ(child(QStringLiteral("Txt5"))->text(), "15.26");
    EXPECT_EQ(panel4(), "出库单明细：共 2 条记录 当前为第 2 条");

    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(window->Edstu(), 0);
    EXPECT_EQ(book.prompt().lastText(),
              "单据保存成功！\n\n但是现在单据并没有正式生效，\n\n必须经[审核]操作，单据才正式生效并更新库存！");
    EXPECT_EQ(book.value("select F2 from TA2 where F1='hz01'"), "hz01");
    EXPECT_EQ(window->listGrid().rowTexts(2),
              QStringList({"CK2612090001", "2026-12-09", "hz01", "系统管理员", "", "15.26", "", "hz01"}));
    EXPECT_EQ(book.value("select F3||'|'||F9 from TD1 where F1='CK2612090001'"), "HZ01|15.26");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);  // nothing moves before the audit

    // Audit: the question comes first, then the posting; the note leaves the list.
    book.prompt().clear();
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(),
              QStringList{"审核操作将对库存货品进行更新，\n\n审核后单据将不可修改！\n\n真的要继续吗？"});
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 8);
    EXPECT_DOUBLE_EQ(goods("F8", "G2"), 3);
    EXPECT_DOUBLE_EQ(goods("F71", "G1"), 6.125);
    EXPECT_EQ(book.value("select F6 from TD1 where F1='CK2612090001'"), "系统管理员");
    EXPECT_EQ(window->listGrid().rows(), 2);
    EXPECT_EQ(window->listGrid().textMatrix(1, 0), "CK2611300001");
    EXPECT_EQ(child<QTabBar>(QStringLiteral("TabS"))->currentIndex(), 0);
}

TEST_F(OutboundWindowTest, LockDateRefusalInEachKindsOrder)
{
    addNote(D1, QStringLiteral("CK1"), QStringLiteral("2025-12-31"), {{QStringLiteral("G1"), 1, 1}});
    addNote(D3, QStringLiteral("TK1"), QStringLiteral("2025-12-31"), {{QStringLiteral("G1"), 1, 1}});

    // Stock-out: the question first; No ends there, Yes meets the lock date.
    open(QStringLiteral("D1"));
    book.prompt().answerNo();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().shown.size(), 1);
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    ASSERT_EQ(book.prompt().shown.size(), 3);
    EXPECT_EQ(book.prompt().shown[2].text, "单据日期不能在 2026-01-01 之前！");
    EXPECT_EQ(book.prompt().shown[2].title, "");

    // Returns-in: refused without a question.
    book.prompt().clear();
    open(QStringLiteral("D3"));
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"单据日期不能在 2026-01-01 之前！"});
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_EQ(book.value("select count(*) from TD11 where H8 is not null"), "0");
}

TEST_F(OutboundWindowTest, ReturnsInRefusesAnUnknownUnitAndCancelAuditReverses)
{
    open(QStringLiteral("D3"));
    EXPECT_EQ(window->listGrid().textMatrix(0, 2), "退库单位");
    EXPECT_EQ(window->listGrid().textMatrix(0, 7), "退库单位编码");
    trigger(QStringLiteral("Menu_Add"));
    EXPECT_EQ(child(QStringLiteral("Txt0"))->text(), "TK2612090001");
    child<QComboBox>(QStringLiteral("CmbLB"))->setEditText(QStringLiteral("zz"));
    enterLine(QStringLiteral("G1"), QStringLiteral("4"));
    trigger(QStringLiteral("Menu_save"));
    EXPECT_EQ(book.prompt().lastText(), "出货单位编码输入错误！");
    EXPECT_EQ(window->Edstu(), 1);
    EXPECT_EQ(book.value("select count(*) from TA2"), "1");

    child<QComboBox>(QStringLiteral("CmbLB"))->setEditText(QStringLiteral("001.其它名字"));
    trigger(QStringLiteral("Menu_save"));
    ASSERT_EQ(window->Edstu(), 0);
    EXPECT_EQ(window->listGrid().textMatrix(1, 2), "默认货品去向");

    window->setListAll(true);  // as after a query: the audited note stays listed
    book.prompt().answerYes(2);
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 14);
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "系统管理员");
    trigger(QStringLiteral("Menu_noOK"));
    EXPECT_EQ(book.prompt().lastText(), "撤销审核操作将对库存货品进行更新，\n\n请小心操作！\n\n真的要继续吗？");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_EQ(window->listGrid().textMatrix(1, 4), "");
    EXPECT_EQ(book.value("select H8 from TD31"), "00-00-00");
}

TEST_F(OutboundWindowTest, PrintsBothSchemes)
{
    copyTemplates({"prntd10.rpt", "prntd30.rpt", "Pdan.rpt"});
    addNote(D1, QStringLiteral("CK1"), QStringLiteral("2026-12-01"),
            {{QStringLiteral("G1"), 2, 3}, {QStringLiteral("G2"), 4, 2.5}});
    open(QStringLiteral("D1"));
    trigger(QStringLiteral("Menu_prn0"));
    const report::FilledReport *report = shown();
    ASSERT_NE(report, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(Prnt::loaded()->Cry->selectionFormula(), "{TD1.F1}='CK1'");
    EXPECT_TRUE(report->pageText(0).contains("货品出库单"));
    EXPECT_EQ(report->field("party"), "默认货品去向");
    EXPECT_EQ(report->rows.size(), 2);
    EXPECT_EQ(report->totals.value(6), "16.00");

    trigger(QStringLiteral("Menu_prn1"));
    report = shown();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(book.value("select group_concat(F0||':'||F1||':'||F6||':'||F8, ',') from Plist"),
              "00001:G1:2:6,00002:G2:4:10");
    EXPECT_EQ(report->formula("Cpt"), "货品出库单");
    EXPECT_EQ(report->formula("gys"), "出货单位：默认货品去向");
    EXPECT_EQ(report->formula("sumje"), "0");  // the stored total of this note
    EXPECT_EQ(report->rows.size(), 2);
    delete Prnt::loaded();

    // Returns-in: its own template; without it "报表文件丢失！" and no host.
    addNote(D3, QStringLiteral("TK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    open(QStringLiteral("D3"));
    trigger(QStringLiteral("Menu_prn0"));
    ASSERT_NE(shown(), nullptr);
    EXPECT_TRUE(shown()->pageText(0).contains("货品退库单"));
    EXPECT_EQ(shown()->rows.size(), 1);
    delete Prnt::loaded();
    QFile::remove(book.dir() + "/prntd30.rpt");
    book.prompt().clear();
    trigger(QStringLiteral("Menu_prn0"));
    EXPECT_EQ(book.prompt().texts(), QStringList{"报表文件丢失！"});
    EXPECT_EQ(Prnt::loaded(), nullptr);
}

TEST_F(OutboundWindowTest, MainMenuOpensTheOutboundWindows)
{
    register_documents_windows();
    MForm main;
    for (const char *kind : {"D1", "D3"}) {
        main.findChild<QAction *>(QStringLiteral("Menu_") + QLatin1String(kind))->trigger();
        QMdiSubWindow *active = main.mdiArea()->activeSubWindow();
        ASSERT_NE(active, nullptr);
        auto *document = qobject_cast<DocumentWindow *>(active->widget());
        ASSERT_NE(document, nullptr) << kind;
        EXPECT_EQ(document->kind().name, kind);
    }
}
