#include "DocumentFixture.h"

#include "db/Database.h"

#include <functional>

using namespace documents;

namespace {

SaveRequest newNote(const QString &number, const QString &reserved, QVector<SaveLine> lines)
{
    SaveRequest r;
    r.number = number;
    r.date = QStringLiteral("2026-12-09");
    r.party = QStringLiteral("001.默认货品来源");
    r.enteredBy = QStringLiteral("张三");
    r.total = QStringLiteral("60");
    r.remark = QStringLiteral("备注");
    r.reservedNo = reserved;
    r.lines = std::move(lines);
    return r;
}

} // namespace

using AuditTest = DocumentBook;
using SaveTest = DocumentBook;

TEST_F(AuditTest, WorkedExampleAndItsCancel)
{
    m().gOptSalePriceFactor = 1.2f;
    addGoods(QStringLiteral("G1"), 10, 5, 6);
    addNote(B1, QStringLiteral("RK2612090001"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 10, 6}});

    ASSERT_TRUE(auditDocument(m(), B1, QStringLiteral("RK2612090001")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 20);
    EXPECT_DOUBLE_EQ(goods("F7", "G1"), 5.5);
    EXPECT_NEAR(goods("F71", "G1"), 6.6, 1e-12);
    EXPECT_EQ(book.value("select H6||'/'||H7||'/'||H8 from TB11"), "20.0/5.5/2026-12-09 10:00:00");
    EXPECT_EQ(book.value("select F6||'/'||H8 from TB1"), "系统管理员/2026-12-09 10:00:00");

    ASSERT_TRUE(cancelAudit(m(), B1, QStringLiteral("RK2612090001")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 10);
    EXPECT_DOUBLE_EQ(goods("F7", "G1"), 5);
    EXPECT_NEAR(goods("F71", "G1"), 6, 1e-12);
    EXPECT_EQ(book.value("select H8 from TB11"), "00-00-00");
    EXPECT_EQ(book.value("select F6 from TB1"), "");
}

TEST_F(AuditTest, OptionsInForceReachThePosting)
{
    addGoods(QStringLiteral("G1"), 10, 5, 7);
    struct Case {
        const char *name;
        int noCostUpdate;
        float factor;
        double cost, sale;
    };
    const Case cases[] = {
        {"no cost update", 1, 1.2f, 5, 7},
        {"factor 0 leaves the sale price", 0, 0, 5.5, 7},
        {"factor 2 sets it from the new cost", 0, 2, 5.5, 11},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        book.exec("update TA4 set F8=10, F7=5, F71=7");
        book.exec("delete from TB1");
        book.exec("delete from TB11");
        addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 10, 6}});
        m().gOptNoAverageCostUpdate = c.noCostUpdate;
        m().gOptSalePriceFactor = c.factor;
        ASSERT_TRUE(auditDocument(m(), B1, QStringLiteral("RK1")).done);
        EXPECT_DOUBLE_EQ(goods("F8", "G1"), 20);
        EXPECT_NEAR(goods("F7", "G1"), c.cost, 1e-12);
        EXPECT_NEAR(goods("F71", "G1"), c.sale, 1e-12);
    }
}

TEST_F(AuditTest, ReturnToSupplierTakesOutAndStampsZeroCostForGoodsWithout)
{
    addGoods(QStringLiteral("G1"), 4, QVariant());
    addNote(B3, QStringLiteral("TH2612090001"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 6, 0}});
    ASSERT_TRUE(auditDocument(m(), B3, QStringLiteral("TH2612090001")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), -2);
    EXPECT_EQ(book.value("select H6||'/'||H7 from TB31"), "-2.0/0.0");
}

TEST_F(AuditTest, SameGoodsOnTwoLinesPostsTwiceAndBothCarryTheLaterStamp)
{
    addGoods(QStringLiteral("G1"), 10, 5);
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"),
            {{QStringLiteral("G1"), 10, 6}, {QStringLiteral("G1"), 20, 8}});
    ASSERT_TRUE(auditDocument(m(), B1, QStringLiteral("RK1")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 40);
    EXPECT_DOUBLE_EQ(goods("F7", "G1"), (50 + 60 + 160) / 40.0);
    EXPECT_EQ(book.value("select count(*) from TB11 where H6=40"), "2");
}

TEST_F(AuditTest, MissingGoodsRowInTheMiddleLeavesNothingPosted)
{
    addGoods(QStringLiteral("A"), 1, 1);
    addGoods(QStringLiteral("C"), 1, 1);
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"),
            {{QStringLiteral("A"), 1, 1}, {QStringLiteral("B"), 1, 1}, {QStringLiteral("C"), 1, 1}});
    const Outcome out = auditDocument(m(), B1, QStringLiteral("RK1"));
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.message, "货品编码资料丢失！\n\n丢失的货品编码：B");
    EXPECT_EQ(out.icon, Prompt::Icon::Exclamation);
    EXPECT_EQ(book.number("select sum(F8) from TA4"), 2);
    EXPECT_EQ(book.value("select count(*) from TB11 where H8 is not null"), "0");
    EXPECT_EQ(book.value("select coalesce(F6,'') from TB1"), "");
}

TEST_F(AuditTest, SecondAuditOfOneNoteThroughAnotherConnectionPostsNothing)
{
    addGoods(QStringLiteral("G1"), 0, 0);
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 5, 2}});
    {
        // Another computer audits the same note first.
        Module1 other;
        ASSERT_TRUE(other.gDb.open(book.bookPath()));
        other.gUserName = QStringLiteral("李四");
        ASSERT_TRUE(auditDocument(other, B1, QStringLiteral("RK1")).done);
    }
    const Outcome out = auditDocument(m(), B1, QStringLiteral("RK1"));
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.message, "该单据已审核，不需要再次审核！");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 5);
    EXPECT_EQ(book.value("select F6 from TB1"), "李四");

    EXPECT_TRUE(cancelAudit(m(), B1, QStringLiteral("RK1")).done);
    const Outcome again = cancelAudit(m(), B1, QStringLiteral("RK1"));
    EXPECT_EQ(again.message, "该单据未审核，不能执行撤销审核！");
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 0);
}

TEST_F(AuditTest, BlankOperatorNameNeverMarksANoteAudited)
{
    addGoods(QStringLiteral("G1"), 0, 0);
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 5, 2}});
    for (const QString &name : {QString(), QStringLiteral("  ")}) {
        m().gUserName = name;
        const Outcome out = auditDocument(m(), B1, QStringLiteral("RK1"));
        EXPECT_FALSE(out.done);
        EXPECT_EQ(out.message, "操作员姓名为空，不能审核单据！");
    }
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 0);
    EXPECT_EQ(book.value("select coalesce(F6,'') from TB1"), "");
}

TEST_F(AuditTest, NoteDeletedThroughAnotherConnectionIsNeitherPostedNorWrittenBack)
{
    struct Case {
        const char *name;
        std::function<Outcome()> act;
    };
    const Case cases[] = {
        {"audit", [this] { return auditDocument(m(), B1, QStringLiteral("RK1")); }},
        {"cancel", [this] { return cancelAudit(m(), B1, QStringLiteral("RK1")); }},
        {"edit save", [this]() -> Outcome {
             SaveRequest r = newNote(QStringLiteral("RK1"), QStringLiteral("RK1"), {{"G1", "2", "3", ""}});
             r.edit = true;
             r.oldNumber = QStringLiteral("RK1");
             return saveDocument(m(), B1, r);
         }},
    };
    addGoods(QStringLiteral("G1"), 0, 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 5, 2}},
                QStringLiteral("2026-12-09 08:00:00"));
        {
            Module1 other;
            ASSERT_TRUE(other.gDb.open(book.bookPath()));
            ASSERT_TRUE(other.gDb.exec(QStringLiteral("delete from TB11")));
            ASSERT_TRUE(other.gDb.exec(QStringLiteral("delete from TB1")));
        }
        const Outcome out = c.act();
        EXPECT_FALSE(out.done);
        EXPECT_EQ(out.message, "该单据已不存在，可能已被其它用户删除！");
        EXPECT_EQ(book.value("select count(*) from TB1"), "0");
        EXPECT_EQ(book.value("select count(*) from TB11"), "0");
        EXPECT_DOUBLE_EQ(goods("F8", "G1"), 0);
    }
}

TEST_F(AuditTest, PostingReadsTheStoredLines)
{
    addGoods(QStringLiteral("G1"), 0, 0);
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-09"), {{QStringLiteral("G1"), 3, 2}});
    ASSERT_TRUE(auditDocument(m(), B1, QStringLiteral(" RK1 ")).done);
    EXPECT_DOUBLE_EQ(goods("F8", "G1"), 3);
}

TEST_F(AuditTest, LockDateBoundary)
{
    // No saved monthly report: the lock date is the fiscal-year start.
    book.exec("update reginfo set F7='2026-12-01'");
    EXPECT_FALSE(isBeforeLockDate(m(), QStringLiteral("2026-12-01")));
    EXPECT_TRUE(isBeforeLockDate(m(), QStringLiteral("2026-11-30")));
    EXPECT_EQ(lockDateText(m()), "2026-12-01");
}

// ---- save ---------------------------------------------------------------------

TEST_F(SaveTest, NewNoteUnderItsProposedNumberKeepsTheReservation)
{
    QString no = QStringLiteral("RK2612090001");
    m().ReserveDocNo(no, 0);
    const SaveOutcome out = saveDocument(m(), B1, newNote(no, no, {{"G1", "10", "6", "r1"}, {"", "", "", ""},
                                                               {"G2", "abc", "", ""}}));
    ASSERT_TRUE(out.done) << out.message.toStdString();
    EXPECT_EQ(book.value("select F1||'|'||F2||'|'||F3||'|'||F5||'|'||F9||'|'||F10||'|'||H8 from TB1"),
              "RK2612090001|2026-12-09|001|张三|60.0|备注|2026-12-09 10:00:00");
    EXPECT_EQ(book.value("select group_concat(F1||':'||F6||':'||F7||':'||F8, ',') from TB11"),
              "G1:10.0:6.0:r1,G2:0.0:0.0:");
    EXPECT_EQ(book.value("select group_concat(DanF1||':'||Flg) from DanNo"), "RK2612090001:0.0");
    EXPECT_EQ(out.partyCode, "001");
    EXPECT_EQ(out.partyName, "默认货品来源");
}

TEST_F(SaveTest, TypedNumberIsReservedWithFlagOneAndTheProposedReleased)
{
    QString proposed = QStringLiteral("RK2612090001");
    m().ReserveDocNo(proposed, 0);
    ASSERT_TRUE(saveDocument(m(), B1, newNote(QStringLiteral(" MY-1 "), proposed, {{"G1", "1", "1", ""}})).done);
    EXPECT_EQ(book.value("select group_concat(DanF1||':'||Flg) from DanNo"), "MY-1:1.0");
    EXPECT_EQ(book.value("select F0 from TB11"), "MY-1");
}

TEST_F(SaveTest, RefusalsLeaveTheBookUntouched)
{
    addNote(B1, QStringLiteral("RK-OTHER"), QStringLiteral("2026-12-01"), {});
    QString held = QStringLiteral("RK-HELD");
    m().ReserveDocNo(held, 0);
    struct Case {
        const char *name;
        SaveRequest request;
        QString title, message;
    };
    auto with = [](SaveRequest r, auto change) {
        change(r);
        return r;
    };
    const SaveRequest ok = newNote(QStringLiteral("RK1"), QStringLiteral("RK1"), {{"G1", "1", "1", ""}});
    const Case cases[] = {
        {"empty number", with(ok, [](SaveRequest &r) { r.number = "  "; }), "提示", "入库单号不能为空！"},
        {"number not entered", with(ok, [](SaveRequest &r) { r.number = r.reservedNo = Module1::EnterDocNoText; }),
         "提示", "入库单号不能为空！"},
        {"empty party", with(ok, [](SaveRequest &r) { r.party = " "; }), "提示", "供货单位不能为空！"},
        {"unknown party", with(ok, [](SaveRequest &r) { r.party = "999.某某"; }), "提示", "供货单位编码输入错误！"},
        {"empty first line", with(ok, [](SaveRequest &r) { r.lines = {{"", "", "", ""}, {"G1", "1", "1", ""}}; }),
         "提示", "不能保存空的单据！请录入入库货品！"},
        {"bad date", with(ok, [](SaveRequest &r) { r.date = "2026-13-45"; }), "提示", "入库时间不是有效的日期！"},
        {"number held in the register", with(ok, [](SaveRequest &r) { r.number = "RK-HELD"; }), "",
         "系统内已经有其它单据使用了 RK-HELD 这个单号!"},
        {"number of another note", with(ok, [](SaveRequest &r) { r.number = "RK-OTHER"; }), "提示",
         "已经存在[RK-OTHER]这个编码，请重新设置编码!"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SaveOutcome out = saveDocument(m(), B1, c.request);
        EXPECT_FALSE(out.done);
        EXPECT_EQ(out.title, c.title);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(book.value("select count(*) from TB1"), "1");
        EXPECT_EQ(book.value("select count(*) from TB11"), "0");
    }
}

TEST_F(SaveTest, BarePartyCodeIsAcceptedAndCaseFollowsTheKind)
{
    book.exec("insert into TA1 (F1,F2) values ('ab','小写单位')");
    SaveRequest r = newNote(QStringLiteral("RK1"), QStringLiteral("RK1"), {{"G1", "1", "1", ""}});
    r.party = QStringLiteral(" ab ");
    SaveOutcome out = saveDocument(m(), B1, r);
    ASSERT_TRUE(out.done);
    EXPECT_EQ(out.partyCode, "AB");
    EXPECT_EQ(out.partyName, "小写单位");
    EXPECT_EQ(book.value("select F3 from TB1"), "AB");

    r.number = r.reservedNo = QStringLiteral("TH1");
    out = saveDocument(m(), B3, r);
    ASSERT_TRUE(out.done);
    EXPECT_EQ(out.partyCode, "ab");
    EXPECT_EQ(book.value("select F3 from TB3"), "AB");
}

TEST_F(SaveTest, EditRewritesTheNoteAndMovesItsNumber)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    SaveRequest r = newNote(QStringLiteral("RK2"), QStringLiteral("RK1"), {{"G9", "2", "3", ""}});
    r.edit = true;
    r.oldNumber = QStringLiteral("RK1");
    ASSERT_TRUE(saveDocument(m(), B1, r).done);
    EXPECT_EQ(book.value("select group_concat(F1) from TB1"), "RK2");
    EXPECT_EQ(book.value("select group_concat(F0||':'||F1) from TB11"), "RK2:G9");
    EXPECT_EQ(book.value("select group_concat(DanF1||':'||Flg) from DanNo"), "RK2:1.0");
}

TEST_F(SaveTest, EditOfANoteAuditedMeanwhileIsRefused)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    book.exec("update TB1 set F6='李四'");
    SaveRequest r = newNote(QStringLiteral("RK1"), QStringLiteral("RK1"), {{"G9", "2", "3", ""}});
    r.edit = true;
    r.oldNumber = QStringLiteral("RK1");
    const SaveOutcome out = saveDocument(m(), B1, r);
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.message, "此单据已经审核，不可修改！");
    EXPECT_EQ(book.value("select group_concat(F1) from TB11"), "G1");
}

TEST_F(SaveTest, FailureHalfWayLeavesTheOldNoteIntact)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"),
            {{QStringLiteral("G1"), 1, 1}, {QStringLiteral("G2"), 2, 2}});
    // The third line insert of this save fails.
    book.exec("create table Seen (n integer)");
    book.exec("create trigger FailThird before insert on TB11 begin "
              "insert into Seen values (1); "
              "select raise(abort, 'disk full') where (select count(*) from Seen) >= 3; end");
    SaveRequest r = newNote(QStringLiteral("RK1"), QStringLiteral("RK1"),
                            {{"N1", "1", "1", ""}, {"N2", "1", "1", ""}, {"N3", "1", "1", ""}, {"N4", "1", "1", ""}});
    r.edit = true;
    r.oldNumber = QStringLiteral("RK1");
    const SaveOutcome out = saveDocument(m(), B1, r);
    EXPECT_FALSE(out.done);
    EXPECT_TRUE(out.message.contains("disk full")) << out.message.toStdString();
    EXPECT_EQ(book.value("select group_concat(F1) from (select F1 from TB11 order by F1)"), "G1,G2");
    EXPECT_EQ(book.value("select F2 from TB1"), "2026-12-01");
    EXPECT_EQ(book.value("select count(*) from Seen"), "0");
}

TEST_F(SaveTest, DeleteRemovesHeaderAndLinesButNotAnAuditedNote)
{
    addNote(B1, QStringLiteral("RK1"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    addNote(B1, QStringLiteral("RK2"), QStringLiteral("2026-12-01"), {{QStringLiteral("G1"), 1, 1}});
    book.exec("update TB1 set F6='李四' where F1='RK2'");
    EXPECT_TRUE(deleteDocument(m(), B1, QStringLiteral("RK1")).done);
    const Outcome refused = deleteDocument(m(), B1, QStringLiteral("RK2"));
    EXPECT_EQ(refused.message, "该单据已审核，不能删除！");
    EXPECT_EQ(book.value("select group_concat(F1) from TB1"), "RK2");
    EXPECT_EQ(book.value("select group_concat(F0) from TB11"), "RK2");
}
