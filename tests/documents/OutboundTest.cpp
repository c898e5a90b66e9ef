#include "DocumentFixture.h"

#include "db/Database.h"
#include "documents/DocumentPrinting.h"
#include "documents/LineEditor.h"
#include "documents/OutboundKinds.h"

using namespace documents;

namespace {

class OutboundTest : public DocumentBook {
protected:
    OutboundTest() { addGoods(QStringLiteral("G1"), 10, 5, 12.3456, QStringLiteral("螺丝")); }

    SaveRequest note(const QString &number, const QString &party)
    {
        SaveRequest r;
        r.number = number;
        r.date = QStringLiteral("2026-12-09");
        r.party = party;
        r.enteredBy = QStringLiteral("张三");
        r.total = QStringLiteral("24.7");
        r.reservedNo = number;
        r.lines = {{QStringLiteral("G1"), QStringLiteral("2"), QStringLiteral("12.35"), QString()}};
        return r;
    }

    const DocumentKind &D1 = stockOutNoteKind();
    const DocumentKind &D3 = returnInNoteKind();
};

} // namespace

// ---- stock check at line entry ---------------------------------------------------

TEST_F(OutboundTest, StockCheckAtEntryCountsOtherUnauditedOutgoingNotes)
{
    const QString otherOut = QStringLiteral("系统中存在的其它尚未审核的出库单中含有编码为G1的货品！\n"
                                            "此种货品现存数量不足以供给所有未审核的出库需求！");
    const QString otherOutOrReturn = QStringLiteral("系统中存在的其它尚未审核的出库单或退货单中含有编码为G1的货品！\n"
                                                    "此种货品现存数量不足以供给所有未审核的出库需求！");
    // A saved note of 7 of G1 (stock 10) in the given state, then 4 or so entered on note CK1.
    struct Case {
        const char *name;
        const DocumentKind *pendingKind;  // nullptr: no other note
        const char *pendingNumber;
        QVariant auditor;                 // the pending note's F6
        double quantity;
        QString message;                  // empty: the line is added
    };
    const QList<Case> cases{
        {"stock short", nullptr, "", {}, 11, QStringLiteral("G1库存数量不足！")},
        {"exactly the stock", nullptr, "", {}, 10, {}},
        {"other stock-out note", &D1, "CK2", {}, 4, otherOut},
        {"exactly what is free", &D1, "CK2", {}, 3, {}},
        {"own saved lines excluded", &D1, "CK1", {}, 4, {}},
        {"audited note not counted", &D1, "CK2", QStringLiteral("李四"), 4, {}},
        {"cancelled audit counts again", &D1, "CK2", QStringLiteral(""), 4, otherOut},
        {"return to supplier", &B3, "TH1", {}, 4, otherOutOrReturn},
    };
    for (const Case &c : cases) {
        for (const char *table : {"TD1", "TD11", "TB3", "TB31"})
            book.exec(QStringLiteral("delete from ") + QLatin1String(table));
        book.prompt().clear();
        m().gOptNoOverdraw = 1;
        if (c.pendingKind) {
            addNote(*c.pendingKind, QString::fromLatin1(c.pendingNumber), QStringLiteral("2026-12-01"),
                    {{QStringLiteral("G1"), 7, 1}});
            book.exec(QStringLiteral("update %1 set F6=?").arg(c.pendingKind->headerTable), {c.auditor});
        }
        GridModel grid(7);
        LineEditor editor(m(), D1, grid);
        editor.setHeaders();
        QString quantity = QString::number(c.quantity);
        const auto row = editor.addFromEntryStrip(QStringLiteral("G1"), quantity, QStringLiteral("CK1"));
        if (c.message.isEmpty()) {
            EXPECT_TRUE(book.prompt().shown.isEmpty()) << c.name << book.prompt().lastText().toStdString();
            EXPECT_EQ(grid.textMatrix(1, ColQuantity), QString::number(c.quantity)) << c.name;
            ASSERT_TRUE(row) << c.name;
        } else {
            ASSERT_EQ(book.prompt().shown.size(), 1) << c.name;
            EXPECT_EQ(book.prompt().shown[0].title, "") << c.name;
            EXPECT_EQ(book.prompt().lastText(), c.message) << c.name;
            EXPECT_FALSE(row) << c.name;
            EXPECT_EQ(grid.textMatrix(1, ColCode), "") << c.name;
        }
    }
}

TEST_F(OutboundTest, RefusedMergeKeepsTheLineAndZeroesTheStripQuantity)
{
    m().gOptNoOverdraw = 1;
    GridModel grid(7);
    LineEditor editor(m(), D1, grid);
    editor.setHeaders();
    QString quantity = QStringLiteral("6");
    ASSERT_TRUE(editor.addFromEntryStrip(QStringLiteral("G1"), quantity, QStringLiteral("CK1")));
    EXPECT_EQ(grid.rowTexts(1), QStringList({"G1", "螺丝/规格", "个", "6", "12.35", "74.1", ""}));
    quantity = QStringLiteral("5");
    EXPECT_EQ(editor.addFromEntryStrip(QStringLiteral("G1"), quantity, QStringLiteral("CK1")), 1);
    EXPECT_EQ(book.prompt().lastText(), "G1库存数量不足！");
    EXPECT_EQ(quantity, "0");
    EXPECT_EQ(grid.textMatrix(1, ColQuantity), "6");

    // Without the option nothing is checked.
    m().gOptNoOverdraw = 0;
    book.prompt().clear();
    quantity = QStringLiteral("5");
    editor.addFromEntryStrip(QStringLiteral("G1"), quantity, QStringLiteral("CK1"));
    EXPECT_EQ(grid.textMatrix(1, ColQuantity), "11");
    EXPECT_TRUE(book.prompt().shown.isEmpty());
}

TEST_F(OutboundTest, LinesProposeTheSalePriceMoneyRounded)
{
    addGoods(QStringLiteral("G2"), 1, 5, QVariant());
    for (const DocumentKind *kind : {&D1, &D3}) {
        GridModel grid(7);
        LineEditor editor(m(), *kind, grid);
        editor.setHeaders();
        QString quantity = QStringLiteral("0.5");
        editor.addFromEntryStrip(QStringLiteral("G2"), quantity, QString());
        EXPECT_EQ(grid.textMatrix(1, ColPrice), "0") << kind->name.toStdString();  // no sale price
        int row = 2;
        editor.commitCell(row, ColCode, QStringLiteral("g1"), QString());
        EXPECT_EQ(grid.rowTexts(2).mid(3, 3), QStringList({"1", "12.35", "12.35"})) << kind->name.toStdString();
        row = 3;
        editor.commitCell(row, ColCode, QStringLiteral("NOPE"), QString());
        EXPECT_EQ(book.prompt().lastText(), "无效的货品编码!");
    }
}

// ---- save ---------------------------------------------------------------------

TEST_F(OutboundTest, StockOutSaveCreatesAnUnknownReceivingUnitInItsTransaction)
{
    SaveOutcome out = saveDocument(m(), D1, note(QStringLiteral("CK1"), QStringLiteral(" new1.随便")));
    ASSERT_TRUE(out.done) << out.message.toStdString();
    EXPECT_EQ(book.value("select group_concat(F1||':'||F2) from TA2 where F1<>'001'"), "new1:new1");
    EXPECT_EQ(book.value("select F3 from TD1"), "NEW1");
    EXPECT_EQ(out.partyCode, "new1");
    EXPECT_EQ(out.partyName, "new1");

    // A known code (any case) takes the unit's name and creates nothing.
    out = saveDocument(m(), D1, note(QStringLiteral("CK2"), QStringLiteral("NEW1")));
    ASSERT_TRUE(out.done);
    EXPECT_EQ(book.value("select count(*) from TA2"), "2");
    EXPECT_EQ(out.partyName, "new1");

    // A save refused inside the transaction leaves no unit behind.
    out = saveDocument(m(), D1, note(QStringLiteral("CK1"), QStringLiteral("new2")));
    EXPECT_EQ(out.message, "已经存在[CK1]这个编码，请重新设置编码!");
    EXPECT_EQ(book.value("select count(*) from TA2 where F1='new2'"), "0");
}

TEST_F(OutboundTest, SaveRefusals)
{
    struct Case {
        const char *name;
        bool stockOut;
        QString number, party, date;
        QString message;
    };
    const QList<Case> cases{
        {"returns-in: unknown unit", false, "TK1", "zz.某", "2026-12-09", "出货单位编码输入错误！"},
        {"stock-out: empty code", true, "CK1", ".某", "2026-12-09", "出货单位不能为空！"},
        {"stock-out: numbering ran out", true, "请录入单据号", "001", "2026-12-09", "出库单号不能为空！"},
        {"returns-in: numbering ran out", false, " 请录入单据号 ", "001", "2026-12-09", "退库单号不能为空！"},
        {"stock-out: bad date", true, "CK1", "new9", "2026-02-30", "出库时间不是有效的日期！"},
    };
    for (const Case &c : cases) {
        SaveRequest r = note(c.number, c.party);
        r.date = c.date;
        const SaveOutcome out = saveDocument(m(), c.stockOut ? D1 : D3, r);
        EXPECT_FALSE(out.done) << c.name;
        EXPECT_EQ(out.message, c.message) << c.name;
    }
    EXPECT_EQ(book.value("select count(*) from TA2"), "1");
    EXPECT_EQ(book.value("select (select count(*) from TD1)+(select count(*) from TD3)"), "0");
}

// ---- audit and cancel audit ----------------------------------------------------------

TEST_F(OutboundTest, AuditMovesOnlyTheQuantityAndStampsTheLines)
{
    struct Case {
        const DocumentKind *kind;
        double after;  // G1 quantity after the audit of 12 (stock 10)
    };
    for (const Case &c : {Case{&D1, -2}, Case{&D3, 22}}) {
        book.exec("update TA4 set F8=10 where F1='G1'");
        addGoods(QStringLiteral("N") + c.kind->name, 0, QVariant(), QVariant());
        const QString no = c.kind->prefix + QStringLiteral("1");
        addNote(*c.kind, no, QStringLiteral("2026-12-09"),
                {{QStringLiteral("G1"), 12, 99}, {QStringLiteral("N") + c.kind->name, 1, 1}});
        const QString name = c.kind->name;
        ASSERT_TRUE(auditDocument(m(), *c.kind, no).done) << name.toStdString();
        EXPECT_DOUBLE_EQ(goods("F8", "G1"), c.after) << name.toStdString();
        EXPECT_DOUBLE_EQ(goods("F7", "G1"), 5) << name.toStdString();
        EXPECT_DOUBLE_EQ(goods("F71", "G1"), 12.3456) << name.toStdString();
        const QString lines = QStringLiteral("select group_concat(F1||':'||coalesce(H6,'-')||':'||coalesce(H7,'-')||':'||H8, ',')"
                                             " from (select * from %1 order by F1)").arg(c.kind->lineTable);
        EXPECT_EQ(book.value(lines),
                  QStringLiteral("G1:%1:5.0:2026-12-09 10:00:00,N%2:%3:-:2026-12-09 10:00:00")
                      .arg(QString::number(c.after, 'f', 1), name, c.kind->direction < 0 ? "-1.0" : "1.0"))
            << name.toStdString();
        EXPECT_EQ(book.value(QStringLiteral("select F6||'/'||H8 from %1").arg(c.kind->headerTable)),
                  "系统管理员/2026-12-09 10:00:00");

        // The highest administrator's cancel reverses it.
        m().setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
        ASSERT_TRUE(cancelAudit(m(), *c.kind, no).done);
        EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
        EXPECT_DOUBLE_EQ(goods("F7", "G1"), 5);
        EXPECT_EQ(book.value(QStringLiteral("select group_concat(H8) from %1 where H8<>'00-00-00'").arg(c.kind->lineTable)), "");
        EXPECT_EQ(book.value(QStringLiteral("select H6 from %1 where F1='G1'").arg(c.kind->lineTable)), "10.0");
        EXPECT_EQ(book.value(QStringLiteral("select F6||'/'||H8 from %1").arg(c.kind->headerTable)),
                  "/2026-12-10 09:00:00");
        const Outcome again = cancelAudit(m(), *c.kind, no);
        EXPECT_EQ(again.message, "该单据未审核，不能做撤销审核操作！");
        m().setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); });
    }
}

TEST_F(OutboundTest, SecondAuditThroughAnotherConnectionPostsNothing)
{
    addNote(D1, QStringLiteral("CK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 4, 1}});
    {
        Module1 other;
        ASSERT_TRUE(other.gDb.open(book.bookPath()));
        other.gUserName = QStringLiteral("李四");
        ASSERT_TRUE(auditDocument(other, D1, QStringLiteral("CK1")).done);
    }
    const Outcome out = auditDocument(m(), D1, QStringLiteral("CK1"));
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.message, "该单据已审核，不需要再次审核！");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 6);
    EXPECT_EQ(book.value("select F6 from TD1"), "李四");
}

TEST_F(OutboundTest, MissingGoodsRowPostsNothing)
{
    addNote(D3, QStringLiteral("TK1"), QStringLiteral("2026-12-09"),
            {{QStringLiteral("G1"), 4, 1}, {QStringLiteral("GONE"), 1, 1}});
    const Outcome out = auditDocument(m(), D3, QStringLiteral("TK1"));
    EXPECT_EQ(out.message, "货品编码资料丢失！\n\n丢失的货品编码：GONE");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_EQ(book.value("select coalesce(TD3.F6,'')||count(TD31.H8) from TD3, TD31"), "0");
}

// ---- printing -----------------------------------------------------------------------

TEST_F(OutboundTest, SchemeTwoFormulasPerKind)
{
    GridModel lines(7);
    lines.setDataRows({{"G1", "螺丝/", "个", "2", "12.35", "24.7", "r"}});
    const PrintedHeader header{"CK1", "2026-12-09", "东方", "张三", "", "1234.50"};
    const PrintRequest out = schemeTwoRequest(D1, lines, header);
    EXPECT_EQ(out.reportFile, "Pdan.rpt");
    EXPECT_EQ(out.formulas,
              QStringList({"Cpt='货品出库单'", "danNo='CK1'", "rq='2026-12-09'", "gys='出货单位：东方'", "sumje='1234.5'",
                           "qianming='制单人：张三              审核人：            经手人： '"}));
    EXPECT_EQ(out.stagingRows[0], QVariantList({"00001", "G1", "2", "12.35", "24.7", "r", 2.0, 12.35}));
    const PrintRequest in = schemeTwoRequest(D3, lines, header);
    EXPECT_EQ(in.formulas, QStringList({"Cpt='货品退库单'", "danNo='CK1'", "rq='2026-12-09'", "gys='出货单位：东方'",
                                        "sumje='1234.50'"}));
    EXPECT_EQ(in.stagingRows[0], QVariantList({"00001", "G1", 2.0, 12.35, 24.7, "r", 2.0, 12.35}));
    EXPECT_EQ(schemeOneRequest(D3, QStringLiteral(" TK1 ")).selectionFormula, "{TD3.F1}='TK1'");
}

TEST_F(OutboundTest, ACodeTypedIntoACellIsCheckedForTheQuantityItGets)
{
    m().gOptNoOverdraw = 1;
    book.exec("update TA4 set F8=0 where F1='G1'");
    GridModel grid(7);
    LineEditor editor(m(), D1, grid);
    editor.setHeaders();
    int row = 1;
    editor.commitCell(row, ColCode, QStringLiteral("G1"), QStringLiteral("CK1"));
    EXPECT_EQ(book.prompt().lastText(), "G1库存数量不足！");
    EXPECT_EQ(grid.textMatrix(1, ColCode), "");
}

TEST_F(OutboundTest, AUnitWithAnEmptyNameIsTakenAsItIs)
{
    book.exec("insert into TA2 (F1,F2) values ('E1','')");
    const SaveOutcome out = saveDocument(m(), D1, note(QStringLiteral("CK1"), QStringLiteral("e1")));
    ASSERT_TRUE(out.done) << out.message.toStdString();
    EXPECT_EQ(book.value("select count(*) from TA2 where F1='E1'"), "1");
    EXPECT_EQ(out.partyName, "");
}
