// The goods in/out journal: generation into TC15 with its filters, the
// remembered filter, the window's cells, totals and counter, and printing.
#include "platform/NumberText.h"
#include "reports/C15.h"
#include "reports/C15Journal.h"
#include "support/CellAlignment.h"
#include "support/CentAmounts.h"
#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"
#include "support/XlsxCells.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <random>

namespace {

using journal::GenerateJournal;
using journal::JournalFilter;
using journal::RunOutcome;

struct Line {
    const char *goods;
    double qty, price;
    QVariant h6 = {}, h7 = {};
    const char *remark = "";
};

struct Journal : ::testing::Test {
    TestBook book;

    Journal()
    {
        book.m().setClock([] { return QDateTime(QDate(2026, 3, 20), QTime(9, 0)); });
        book.exec("insert into TA1 (F1,F2) values ('S1','华''东供应')");
        book.exec("insert into TA2 (F1,F2) values ('R1','城西门市')");
        book.exec("insert into TA3 (F1,F2) values ('L1','五金'),('L2','电料')");
        book.exec("insert into TA4 (F1,F2,F3,F4,F5) values ('A01','螺钉','L1','盒','M3'),"
                  "('A02','螺母','L1','个','M4'),('B01','灯泡','L2','只','40W')");
    }

    // A document of one kind: header table, its line table.
    void doc(const char *header, const char *no, const char *date, const char *party, const char *auditor,
             QVariant stamp, QVector<Line> lines, const char *remark = "")
    {
        const QString h = QString::fromLatin1(header);
        book.exec("insert into " + h + " (F1,F2,F3,F6,F10,H8) values (?,?,?,?,?,?)",
                  {QString::fromLatin1(no), QString::fromLatin1(date), QString::fromUtf8(party),
                   *auditor ? QVariant(QString::fromUtf8(auditor)) : QVariant(), QString::fromUtf8(remark), stamp});
        for (const Line &l : lines)
            book.exec("insert into " + h + "1 (F0,F1,F6,F7,F8,H6,H7) values (?,?,?,?,?,?,?)",
                      {QString::fromLatin1(no), QString::fromUtf8(l.goods), l.qty, l.price,
                       QString::fromUtf8(l.remark), l.h6, l.h7});
    }

    // One document of each kind in March, audited, and a stocktaking note.
    void fourKinds()
    {
        doc("TB1", "RK1", "2026-03-02", "S1", "张三", "2026-03-02 10:00:00",
            {{"A01", 10, 2.5, 10.0, 2.5, "首批"}, {"B01", 4, 3, 4.0, 3.0}}, "入库");
        doc("TB3", "TH1", "2026-03-03", "S1", "张三", "2026-03-03 10:00:00", {{"A01", 2, 2.5, 8.0, 2.5}});
        doc("TD1", "CK1", "2026-03-04", "R1", "张三", "2026-03-04 10:00:00", {{"A01", 3, 4, 5.0, 2.5}});
        doc("TD3", "TK1", "2026-03-05", "R1", "张三", "2026-03-05 10:00:00", {{"A01", 1, 4, 6.0, 2.5}});
        book.exec("insert into TC2 (F1,F2,F6) values ('PD1','2026-03-06','张三')");
        book.exec("insert into TC21 (F0,F1,F5,F6,F7) values ('PD1','A01',6,5,2.5)");
    }

    JournalFilter march() const
    {
        JournalFilter f;
        f.start = QDate(2026, 3, 1);
        f.end = QDate(2026, 3, 31);
        return f;
    }

    RunOutcome run(const JournalFilter &f, const journal::CancelCheck &cancel = {})
    {
        const journal::RunResult r = GenerateJournal(book.db(), f, book.m().gOptMoneyDecimals, cancel);
        EXPECT_TRUE(r.error.isEmpty() || r.outcome == RunOutcome::Failed) << r.error.toStdString();
        return r.outcome;
    }

    // TC15 in stored order, one text per row.
    QStringList rows(const char *fields = "F1||'|'||F6")
    {
        QStringList out;
        db::Statement st = book.db().prepare(QStringLiteral("select ") + QString::fromLatin1(fields) +
                                             QStringLiteral(" from TC15 order by rowid"));
        while (st.next())
            out.append(st.text(0));
        return out;
    }
    QString saved() { return book.value("select D1||'|'||D2||'|'||A3||'|'||A4 from c15set"); }
};

const char *kAllFields =
    "F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F7||'|'||F8||'|'||F9||'|'||F10||'|'||F11||'|'||"
    "F12||'|'||F13||'|'||F14||'|'||F15||'|'||F16||'|'||F17||'|'||F18";

TEST_F(Journal, EachKindGoesInOrOutWithTheBalanceItsAuditStamped)
{
    fourKinds();
    ASSERT_EQ(run(march()), RunOutcome::Done);
    EXPECT_EQ(rows(kAllFields),
              (QStringList{
                  "RK1|2026-03-02|华'东供应|入库|五金|A01|螺钉|M3|盒|2.5|10.0|25.0|0.0|0.0|10.0|25.0|首批|2026-03-02 10:00:00",
                  "RK1|2026-03-02|华'东供应|入库|电料|B01|灯泡|40W|只|3.0|4.0|12.0|0.0|0.0|4.0|12.0||2026-03-02 10:00:00",
                  "TH1|2026-03-03|华'东供应||五金|A01|螺钉|M3|盒|2.5|0.0|0.0|2.0|5.0|8.0|20.0||2026-03-03 10:00:00",
                  "CK1|2026-03-04|城西门市||五金|A01|螺钉|M3|盒|4.0|0.0|0.0|3.0|12.0|5.0|12.5||2026-03-04 10:00:00",
                  "TK1|2026-03-05|城西门市||五金|A01|螺钉|M3|盒|4.0|1.0|4.0|0.0|0.0|6.0|15.0||2026-03-05 10:00:00"}));
    EXPECT_EQ(book.value("select typeof(F10)||typeof(F11)||typeof(F16)||typeof(F17) from TC15 limit 1"),
              QStringLiteral("realrealrealtext"));
    EXPECT_EQ(saved(), QStringLiteral("2026-03-01|2026-03-31||"));
}

// Lines of documents not audited (or whose audit was cancelled) are listed
// with balance 0; a header without lines, a vanished party or goods, and a
// header without stamp still give their row.
TEST_F(Journal, UnauditedLinesAndBareHeadersAreListed)
{
    doc("TB1", "RK2", "2026-03-10", "S1", "", QVariant(), {{"A02", 5, 1.2}});
    doc("TD1", "CK2", "2026-03-11", "GONE", "", "2026-03-11 08:00:00", {}, "空单");
    doc("TD1", "CK3", "2026-03-12", "R1", "", "2026-03-12 08:00:00", {{"Z99", 1, 1}});
    ASSERT_EQ(run(march()), RunOutcome::Done);
    EXPECT_EQ(rows(kAllFields),
              (QStringList{"RK2|2026-03-10|华'东供应||五金|A02|螺母|M4|个|1.2|5.0|6.0|0.0|0.0|0.0|0.0||00-01-01",
                           "CK2|2026-03-11||空单||||||0.0|0.0|0.0|0.0|0.0|0.0|0.0||2026-03-11 08:00:00",
                           "CK3|2026-03-12|城西门市|||Z99||||1.0|0.0|0.0|1.0|1.0|0.0|0.0||2026-03-12 08:00:00"}));
}

TEST_F(Journal, FiltersNarrowEveryKind)
{
    fourKinds();
    doc("TB1", "RK0", "2026-02-28", "S1", "张三", "x", {{"A01", 1, 1}});        // day before the period
    doc("TD1", "CK9", "2026-04-01", "R1", "张三", "x", {{"A01", 1, 1}});        // day after
    doc("TB1", "RK3", "2026-03-31", "001", "张三", "x", {{"A0_", 1, 1}});       // last day; supplier 001
    doc("TD1", "CK4", "2026-03-01", "001", "张三", "x", {{"Z99", 1, 1}});       // first day; receiving unit 001
    book.exec("insert into TA4 (F1,F2,F3) values ('A0_','下划线','L2')");
    struct Case {
        const char *category, *goods, *party;
        QStringList expected;
    } cases[] = {
        {"", "", "", {"RK1|A01", "RK1|B01", "RK3|A0_", "TH1|A01", "CK4|Z99", "CK1|A01", "TK1|A01"}},
        {"L1", "", "", {"RK1|A01", "TH1|A01", "CK1|A01", "TK1|A01"}},  // vanished goods Z99 left out
        {"", "a01", "", {"RK1|A01", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"", "A0*", "", {"RK1|A01", "RK3|A0_", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"", "A0_", "", {"RK3|A0_"}},  // the operator's _ is no wildcard
        {"", "?01", "", {"RK1|A01", "RK1|B01", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"", "", "001", {"RK3|A0_", "CK4|Z99"}},  // supplier and receiving unit of one code
        {"", "", "R*", {"CK1|A01", "TK1|A01"}},
        {"L2", "", "S1", {"RK1|B01"}},
        {"", "NONE", "", {}},
    };
    for (const Case &c : cases) {
        JournalFilter f = march();
        f.categoryCode = QString::fromLatin1(c.category);
        f.goodsPattern = QString::fromLatin1(c.goods);
        f.goodsBoxText = f.goodsPattern;
        f.partyPattern = QString::fromLatin1(c.party);
        ASSERT_EQ(run(f), RunOutcome::Done);
        EXPECT_EQ(rows(), c.expected) << c.category << "/" << c.goods << "/" << c.party;
        EXPECT_EQ(saved(), QStringLiteral("2026-03-01|2026-03-31|%1|%2").arg(c.category, c.goods));
    }
}

// A goods pattern that starts with a code finds its lines through the
// goods-code index and lists what the pattern matches, in the order of the
// headers' dates and each header's codes, as a pass over every line does: an
// exact code, a prefix, the operator's own _ and %, codes of either case,
// characters next to the letters, codes beyond ASCII.
TEST_F(Journal, GoodsFoundByTheirCodesAsByEveryLine)
{
    fourKinds();
    // Inserted after a header of a later day; each header's lines out of code order.
    doc("TB1", "RK5", "2026-03-20", "001", "张三", "x", {{"ab%2", 1, 1}, {"AB_1", 1, 1}, {"A@1", 1, 1}});
    doc("TB1", "RK4", "2026-03-15", "S1", "张三", "x", {{"ABx1", 1, 1}, {"a01", 1, 1}, {"A[1", 1, 1}});
    doc("TD1", "CK5", "2026-03-15", "R1", "张三", "x", {{"货A1", 1, 1}, {"货a1", 1, 1}, {"AB%1", 1, 1}});
    struct Case {
        const char *goods, *party;
        QStringList expected;
    } cases[] = {
        {"a01", "", {"RK1|A01", "RK4|a01", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"A0*", "", {"RK1|A01", "RK4|a01", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"a01", "S1", {"RK1|A01", "RK4|a01", "TH1|A01"}},
        {"ab*", "", {"RK4|ABx1", "RK5|ab%2", "RK5|AB_1", "CK5|AB%1"}},
        {"AB_*", "", {"RK5|AB_1"}},
        {"ab%1", "", {"CK5|AB%1"}},
        {"aB%?", "", {"RK5|ab%2", "CK5|AB%1"}},
        {"A@*", "", {"RK5|A@1"}},
        {"a[?", "", {"RK4|A[1"}},
        {"A*1", "", {"RK1|A01", "RK4|a01", "RK4|A[1", "RK4|ABx1", "RK5|A@1", "RK5|AB_1", "TH1|A01", "CK1|A01",
                     "CK5|AB%1", "TK1|A01"}},
        {"货a*", "", {"CK5|货A1", "CK5|货a1"}},
        {"货a1", "", {"CK5|货A1", "CK5|货a1"}},
        {"?01", "", {"RK1|A01", "RK1|B01", "RK4|a01", "TH1|A01", "CK1|A01", "TK1|A01"}},
        {"A0", "", {}},
    };
    for (const Case &c : cases) {
        JournalFilter f = march();
        f.goodsPattern = QString::fromUtf8(c.goods);
        f.partyPattern = QString::fromLatin1(c.party);
        ASSERT_EQ(run(f), RunOutcome::Done);
        EXPECT_EQ(rows(), c.expected) << c.goods << "/" << c.party;
    }

    // The lines of a code or a prefix are looked up in the index, not read all.
    for (const char *goods : {"a01", "A0*"}) {
        JournalFilter f = march();
        f.goodsPattern = QString::fromLatin1(goods);
        db::Statement plan = book.db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + journal::JournalStatements(f)[0]);
        QStringList steps;
        while (plan.next())
            steps.append(plan.text(3));
        EXPECT_TRUE(steps.join(';').contains(QStringLiteral("TB11 AS L USING INDEX TB11_F1")))
            << goods << ": " << steps.join(';').toStdString();
    }
}

TEST_F(Journal, FilterTextsOfTheControls)
{
    EXPECT_EQ(journal::PartyCode(QStringLiteral(" 001.默认货品来源 ")), QStringLiteral("001"));
    EXPECT_EQ(journal::PartyCode(QStringLiteral("所有单位")), QString());
    EXPECT_EQ(journal::PartyCode(QStringLiteral("S1")), QStringLiteral("S1"));
    EXPECT_EQ(journal::PartyCode(QStringLiteral(".5x")), QStringLiteral(".5x"));
    EXPECT_EQ(journal::GoodsPattern(QStringLiteral(" 所有货品 ")), QString());
    EXPECT_EQ(journal::GoodsPattern(QStringLiteral(" A01 ")), QStringLiteral("A01"));
    EXPECT_EQ(journal::LikePattern(QStringLiteral("5%*_?\\")), QStringLiteral("5\\%%\\__\\\\"));
}

// Prices and amounts are stored at the money decimals, quantities at five,
// by the program's one rounding rule.
TEST_F(Journal, NumbersAreStoredRounded)
{
    doc("TB1", "RK5", "2026-03-10", "S1", "张三", "x", {{"A01", 1.1234567, 2.346, 3.0, 0.1255}});
    doc("TB1", "RK6", "2026-03-10", "S1", "张三", "x", {{"A01", 1, 2.3, 1.0, 0.005}});
    ASSERT_EQ(run(march()), RunOutcome::Done);
    EXPECT_EQ(rows("F10||'|'||F11||'|'||F12||'|'||F15||'|'||F16"),
              (QStringList{"2.35|1.12346|2.64|3.0|0.38", "2.3|1.0|2.3|1.0|0.01"}));

    for (double v : {2.675, 1.005, -2.5, 0.125, -0.125, 1.1234567, 123456.785, 2.3, 0.0, 1e20})
        for (int d : {0, 2, 5})
            EXPECT_EQ(journal::RoundStored(v, d), numtext::roundDecimal(v, d)) << v << " " << d;
}

// Halfway values round away from zero as the format does, however large:
// decimal texts ending in 5 at several magnitudes and decimals.
TEST(JournalRounding, HalvesRoundAsTheFormatAtEveryMagnitude)
{
    const auto patternOf = [](int decimals) {
        return decimals ? "#0." + QString(decimals, '0') : QStringLiteral("#0");
    };
    const std::tuple<const char *, int, const char *> examples[] = {
        {"131676.189165", 5, "131676.18917"}, {"134257594.545", 2, "134257594.55"},
        {"-134257594.545", 2, "-134257594.55"}, {"2.5", 0, "3"},
    };
    for (auto [text, decimals, expected] : examples)
        EXPECT_EQ(numtext::formatNumber(journal::RoundStored(QString::fromLatin1(text).toDouble(), decimals),
                                        patternOf(decimals)),
                  expected)
            << text;

    std::mt19937 draw(5);
    const auto digits = [&](int n) {
        QString t;
        for (int i = 0; i < n; ++i)
            t += QChar('0' + int(draw() % 10));
        return t;
    };
    for (int intDigits : {1, 4, 6, 9, 12})
        for (int decimals : {0, 2, 5}) {
            if (intDigits + decimals + 1 > 15)
                continue;
            const QString pattern = patternOf(decimals);
            for (int i = 0; i < 300; ++i) {
                const QString text =
                    QChar('1' + int(draw() % 9)) + digits(intDigits - 1) + "." + digits(decimals) + "5";
                const double value = text.toDouble();
                const double stored = journal::RoundStored(value, decimals);
                const QString formatted = numtext::formatNumber(value, pattern);
                ASSERT_EQ(numtext::formatNumber(stored, pattern), formatted) << text.toStdString();
                ASSERT_EQ(stored, numtext::leadingNumber(formatted)) << text.toStdString();
            }
        }
}

// The run is one transaction: a cancel or a refused statement leaves the
// previous journal and filter as they were.
TEST_F(Journal, CancelOrFailureKeepsThePreviousRun)
{
    fourKinds();
    ASSERT_EQ(run(march()), RunOutcome::Done);
    const QStringList before = rows();
    JournalFilter other = march();
    other.start = QDate(2026, 3, 4);
    other.goodsBoxText = QStringLiteral("A01");
    other.goodsPattern = other.goodsBoxText;

    int asked = 0;
    EXPECT_EQ(run(other, [&] { return ++asked >= 1; }), RunOutcome::Cancelled);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(saved(), QStringLiteral("2026-03-01|2026-03-31||"));

    book.exec("create trigger refuse before insert on TC15 when new.F1='CK1' "
              "begin select raise(abort,'不能写入'); end");
    const journal::RunResult failed = GenerateJournal(book.db(), other, 2);
    EXPECT_EQ(failed.outcome, RunOutcome::Failed);
    EXPECT_TRUE(failed.error.contains(QStringLiteral("不能写入"))) << failed.error.toStdString();
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(saved(), QStringLiteral("2026-03-01|2026-03-31||"));
    EXPECT_FALSE(book.db().inTransaction());
}

// ---- the window --------------------------------------------------------------------

struct JournalWindow : Journal {
    QString status() { return book.m().statusPanels().panelText(4); }
    static QDateEdit *dtp(C15 &w, int i) { return w.findChild<QDateEdit *>(QStringLiteral("DTP%1").arg(i)); }
    static QComboBox *combo(C15 &w, const char *name) { return w.findChild<QComboBox *>(QString::fromLatin1(name)); }
    static void generate(C15 &w) { w.findChild<QPushButton *>(QStringLiteral("Cmd"))->click(); }
};

TEST_F(JournalWindow, OpensOnThisMonthWithEmptyJournal)
{
    C15 w;
    WindowDriver<C15> d{w};
    EXPECT_EQ(w.windowTitle(), QStringLiteral("货品进出流水帐"));
    EXPECT_EQ(dtp(w, 0)->date(), QDate(2026, 3, 1));
    EXPECT_EQ(dtp(w, 1)->date(), QDate(2026, 3, 20));
    EXPECT_EQ(combo(w, "Comb")->currentText(), QStringLiteral("所有类别"));
    EXPECT_EQ(combo(w, "Comb")->itemText(2), QStringLiteral("L1.五金"));
    EXPECT_EQ(combo(w, "CmbF3")->currentText(), QStringLiteral("所有单位"));
    EXPECT_EQ(combo(w, "CmbF3")->count(), 5);  // all, TA1 x2, TA2 x2
    EXPECT_EQ(combo(w, "CmbF3")->itemText(4), QStringLiteral("R1.城西门市"));
    EXPECT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(w.grid().rowTexts(0).mid(9, 4), (QStringList{"价格", "入库数", "金额", "出库数"}));
    d.pickRow(1);
    EXPECT_EQ(status(), QStringLiteral("无信息"));
    EXPECT_FALSE(w.findChild<QPushButton *>(QStringLiteral("cancelfrm"))->isVisibleTo(&w));
}

TEST_F(JournalWindow, RemembersTheLastRunsFilterButNotTheParty)
{
    fourKinds();
    {
        C15 w;
        dtp(w, 0)->setDate(QDate(2026, 3, 3));
        dtp(w, 1)->setDate(QDate(2026, 3, 4));
        combo(w, "Comb")->setCurrentIndex(2);  // L1.五金
        w.findChild<QLineEdit *>(QStringLiteral("Txt"))->setText(QStringLiteral(" A0* "));
        combo(w, "CmbF3")->setCurrentIndex(2);  // S1
        generate(w);
        EXPECT_EQ(w.recordCount(), 1);
        EXPECT_EQ(w.grid().textMatrix(1, 0), QStringLiteral("TH1"));
    }
    EXPECT_EQ(saved(), QStringLiteral("2026-03-03|2026-03-04|L1|A0*"));
    C15 again;
    EXPECT_EQ(dtp(again, 0)->date(), QDate(2026, 3, 3));
    EXPECT_EQ(dtp(again, 1)->date(), QDate(2026, 3, 4));
    EXPECT_EQ(combo(again, "Comb")->currentText(), QStringLiteral("L1.五金"));
    EXPECT_EQ(again.findChild<QLineEdit *>(QStringLiteral("Txt"))->text(), QStringLiteral("A0*"));
    EXPECT_EQ(combo(again, "CmbF3")->currentText(), QStringLiteral("所有单位"));
    EXPECT_EQ(again.recordCount(), 1);  // the journal stays in the book

    book.exec("update c15set set A3='NOPE', D1='kein Datum'");
    C15 third;
    EXPECT_EQ(combo(third, "Comb")->currentText(), QStringLiteral("所有类别"));
    EXPECT_EQ(dtp(third, 0)->date(), QDate(2026, 3, 1));
}

TEST_F(JournalWindow, ShowsCellsTotalsAndCounter)
{
    fourKinds();
    doc("TB1", "RK7", "2026-03-06", "S1", "", "2026-03-06 10:00:00", {{"A02", 2, 0.125}});  // not audited
    book.m().gOptMoneyDecimals = 1;
    book.m().gMoneyFormat = QStringLiteral("#0.0");
    C15 w;
    WindowDriver<C15> d{w};
    generate(w);
    ASSERT_EQ(w.grid().rows(), 8);
    EXPECT_EQ(w.grid().rowTexts(1).mid(9),
              (QStringList{"2.5", "10", "25", "", "", "10", "25", "首批"}));
    EXPECT_EQ(w.grid().rowTexts(3).mid(9), (QStringList{"2.5", "", "", "2", "5", "8", "20", ""}));
    // stored at one decimal: 0.125 -> 0.1, 0.25 -> 0.3; the balance 0 shows as 0
    EXPECT_EQ(w.grid().rowTexts(6).mid(9), (QStringList{"0.1", "2", "0.3", "", "", "0", "", ""}));
    EXPECT_EQ(w.grid().rowTexts(7),
              (QStringList{"", "", "", "", "", "", "", "", "", "", "17", "41.3", "5", "17", "", "", ""}));
    EXPECT_EQ(status(), QStringLiteral("货品进出流水帐：共 6 条记录 当前为第 1 条"));
    d.pickRow(4);
    EXPECT_EQ(status(), QStringLiteral("货品进出流水帐：共 6 条记录 当前为第 4 条"));
    d.pickRow(7);  // the totals row goes back to row 1
    EXPECT_EQ(w.curRow(), 1);
    EXPECT_EQ(status(), QStringLiteral("货品进出流水帐：共 6 条记录 当前为第 1 条"));

    d.menu("menu_S5");  // quantity in, largest first
    EXPECT_EQ(w.grid().textMatrix(1, 10), QStringLiteral("10"));
    EXPECT_EQ(w.grid().textMatrix(2, 10), QStringLiteral("4"));
    EXPECT_TRUE(w.lastFillSql().endsWith(QStringLiteral("order by F11 desc")));
    d.menu("Menu_price0");
    EXPECT_TRUE(w.findChild<QAction *>(QStringLiteral("Menu_price0"))->isChecked());
    EXPECT_FALSE(w.findChild<QAction *>(QStringLiteral("Menu_price1"))->isChecked());
    EXPECT_EQ(w.grid().textMatrix(1, 9), QStringLiteral("2.5"));

    d.menu("Menu_Return");
    EXPECT_EQ(status(), book.m().gBookName);
}

// Document numbers, codes and sizes/models of digits are texts: they stand
// left as the letters beside them do; the prices and figures stand right.
TEST_F(JournalWindow, CodesOfDigitsStandLeftAndFiguresRight)
{
    book.exec("insert into TA3 (F1,F2) values ('07','工具')");
    book.exec("insert into TA4 (F1,F2,F3,F4,F5) values ('001','螺栓','07','502','502')");
    doc("TB1", "0302", "2026-03-02", "S1", "张三", "2026-03-02 10:00:00", {{"001", 3, 4, 3.0, 4.0, "12"}}, "34");
    doc("TB1", "RK2", "2026-03-03", "S1", "张三", "2026-03-03 10:00:00", {{"A01", 2, 2.5, 2.0, 2.5}});
    C15 w;
    generate(w);
    ASSERT_EQ(w.recordCount(), 2);
    EXPECT_EQ(cellsNotLeft(w.grid(), 1, 2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 16}), QStringList());
    for (int col = 9; col <= 15; ++col)
        EXPECT_EQ(horizontalAlignment(w.grid(), 1, col), Qt::AlignRight) << "column " << col;
}

// Many two-decimal lines in and out: each totals cell is the exact decimal
// sum of its column.
TEST_F(JournalWindow, TotalsOfManyDecimalLinesAreTheirDecimalSums)
{
    const struct {
        const char *header;
        const char *no;
        std::uint32_t seed;
        int quantityColumn;  // the amount column follows it
    } kinds[] = {{"TB1", "RK9", kNoisySeeds[0], 10}, {"TD1", "CK9", kNoisySeeds[2], 12}};
    {
        db::Transaction transaction(book.db());
        for (const auto &k : kinds) {
            QVector<Line> lines;
            for (double v : centAmounts(1500, k.seed).values)
                lines.append({"A01", v, 1});
            doc(k.header, k.no, "2026-03-10", "S1", "张三", "2026-03-10 10:00:00", lines);
        }
        ASSERT_TRUE(transaction.commit());
    }
    C15 w;
    generate(w);
    ASSERT_EQ(w.recordCount(), 3000);
    const QStringList totals = w.grid().rowTexts(w.grid().rows() - 1);
    for (const auto &k : kinds) {
        const QString sum = centAmounts(1500, k.seed).sum;
        EXPECT_EQ(totals[k.quantityColumn], sum) << k.no;
        EXPECT_EQ(totals[k.quantityColumn + 1], sum) << k.no;
    }
}

TEST_F(JournalWindow, QuantityOnlyModeGivesUnitAndPriceNoWidth)
{
    book.m().gOptKeepPrices = 0;
    C15 w;
    w.resize(1200, 500);
    w.show();
    auto *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    EXPECT_TRUE(grid->isColumnHidden(8));
    EXPECT_TRUE(grid->isColumnHidden(9));
    for (int c : {11, 13, 15})
        EXPECT_FALSE(grid->isColumnHidden(c));
    EXPECT_GT(grid->columnWidth(2), grid->columnWidth(3));
}

TEST_F(JournalWindow, RefusedRunIsShownAndTheJournalKept)
{
    fourKinds();
    C15 w;
    generate(w);
    ASSERT_EQ(w.recordCount(), 5);
    book.exec("create trigger refuse before insert on TC15 begin select raise(abort,'磁盘已满'); end");
    dtp(w, 0)->setDate(QDate(2026, 3, 5));
    generate(w);
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("无法生成报表！系统返回如下信息：\n帐本数据库报告了错误。"));
    EXPECT_EQ(book.prompt().shown.last().details, QStringLiteral("磁盘已满"));
    EXPECT_EQ(w.recordCount(), 5);
    EXPECT_EQ(book.number("select count(*) from TC15"), 5);
    EXPECT_EQ(saved(), QStringLiteral("2026-03-01|2026-03-20||"));
    EXPECT_FALSE(w.findChild<QPushButton *>(QStringLiteral("CmdCancel"))->isVisibleTo(&w));
    EXPECT_TRUE(w.findChild<QPushButton *>(QStringLiteral("Cmd"))->isEnabled());
}

// ---- printing ----------------------------------------------------------------------

TEST_F(JournalWindow, PrintStagesTheGridRowsWithTheFilterHeadings)
{
    doc("TB1", "RK1", "2026-03-02", "S1", "张三", "1", {{"A01", 10, 2.5, 10.0, 2.5, "O'Neil"}});
    doc("TD1", "CK1", "2026-03-04", "R1", "张三", "2", {{"A01", 3, 4, 7.0, 2.5}});
    doc("TD3", "TK1", "2026-03-05", "R1", "", "3", {{"B01", 1, 4}});
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Plstsl.rpt"));
    ListServices::provideTemplate(book.dir(), QStringLiteral("Plstje.rpt"));
    C15 w;
    WindowDriver<C15> d{w};
    generate(w);
    ASSERT_EQ(w.recordCount(), 3);

    // the headings follow the controls on show, not the journal's run
    dtp(w, 0)->setDate(QDate(2026, 2, 1));
    combo(w, "Comb")->setCurrentIndex(2);
    combo(w, "CmbF3")->setCurrentIndex(4);
    d.menu("menu_P01");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->rows.size(), 3);
    EXPECT_EQ(shown->formula("RQ"), QStringLiteral("报表周期：2026-02-01至2026-03-20"));
    EXPECT_EQ(shown->formula("LB"), QStringLiteral("货品类别：L1.五金"));
    EXPECT_EQ(shown->formula("cpt"), QStringLiteral("货品进出流水帐"));
    EXPECT_EQ(shown->formula("kh"), QStringLiteral("往来单位：城西门市"));
    EXPECT_EQ(book.value("select group_concat(F0,',') from Plist"), QStringLiteral("0000001,0000002,0000003"));
    EXPECT_EQ(book.value("select F1||'|'||F11||'|'||F12||'|'||F13||'|'||F15||'|'||M1||'|'||M2||'|'||V1||'|'||V2||'|'"
                         "||V4||'|'||V6||'|'||V7 from Plist where F0='0000001'"),
              QStringLiteral("RK1|10|25||10|25|O'Neil|2.5|10.0|0.0|10.0|25.0"));
    EXPECT_EQ(book.value("select F15||'|'||M1||'|'||V6||'|'||V7 from Plist where F0='0000003'"),
              QStringLiteral("0||0.0|0.0"));

    combo(w, "CmbF3")->setCurrentIndex(0);
    d.menu("menu_P02");
    shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->formula("kh"), QStringLiteral("往来单位：所有单位"));
    EXPECT_EQ(shown->rows.size(), 3);
}

// Exported to Excel, both journals hold every figure as a number, the balance
// included, and codes, note numbers and dates as texts; the total row lies in
// its columns.
TEST_F(JournalWindow, ExportedWorkbooksHoldFiguresAsNumbers)
{
    doc("TB1", "RK1", "2026-03-02", "S1", "张三", "1", {{"A01", 10, 2.5, 10.0, 2.5}});
    doc("TD1", "CK1", "2026-03-04", "R1", "张三", "2", {{"A01", 3, 4, 7.0, 2.5}});
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Plstsl.rpt"));
    ListServices::provideTemplate(book.dir(), QStringLiteral("Plstje.rpt"));
    C15 w;
    WindowDriver<C15> d{w};
    generate(w);
    const struct {
        const char *menu;
        QString code, in, out, balance;  // their columns in the sheet
    } prints[] = {{"menu_P01", "E", "I", "J", "K"}, {"menu_P02", "D", "H", "J", "L"}};
    for (const auto &p : prints) {
        SCOPED_TRACE(p.menu);
        d.menu(p.menu);
        ASSERT_NE(ListServices::shownReport(), nullptr) << book.prompt().lastText().toStdString();
        const QString path = book.dir() + QStringLiteral("/%1.xlsx").arg(QString::fromLatin1(p.menu));
        ListServices::exportShownReport(book.fileDialogs(), "ExportXlsx", path);
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("已导出到 ") + path);
        QSet<QString> numbers;
        const QHash<QString, QString> cells = xlsx::sheetCells(path, &numbers);

        // Title, headings and captions, then RK1 and CK1 on rows 4 and 5, the total row on 6.
        const struct {
            QString ref, value;
            bool number;
        } expected[] = {
            {"A4", "RK1", false},        {"B4", "2026-03-02", false}, {p.code + "4", "A01", false},
            {p.in + "4", "10", true},    {p.balance + "4", "10", true}, {p.out + "5", "3", true},
            {p.balance + "5", "7", true}, {"A6", QStringLiteral("合计"), false}, {p.in + "6", "10", true},
            {p.out + "6", "3", true},
        };
        for (const auto &e : expected) {
            EXPECT_EQ(cells.value(e.ref), e.value) << e.ref.toStdString();
            EXPECT_EQ(numbers.contains(e.ref), e.number) << e.ref.toStdString();
        }
    }
}

TEST_F(JournalWindow, PrintRefusesAnEmptyJournalAndAMissingTemplate)
{
    ListServices services;
    C15 w;
    WindowDriver<C15> d{w};
    book.exec("insert into Plist (F0) values ('keep')");
    d.menu("menu_P01");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("没有数据可打印！"));
    EXPECT_EQ(book.prompt().shown.last().title, QString());

    fourKinds();
    generate(w);
    d.menu("menu_P02");
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("报表文件Plstje.rpt丢失！"));
    EXPECT_EQ(book.number("select count(*) from Plist"), 1);
}

} // namespace
