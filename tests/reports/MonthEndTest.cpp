// A first month and a month-end kept as a clerk keeps them: notes saved and
// audited through the document service (moving-average costs), January's
// monthly report generated and saved, February generated, saved and reopened,
// and the chosen-period report over February agreeing with it. Every expected
// figure is worked by hand.
#include "support/TestBook.h"

#include "documents/DocumentService.h"
#include "documents/OutboundKinds.h"
#include "documents/StocktakingKind.h"
#include "reports/BalanceReport.h"
#include "reports/BalanceReportWindow.h"
#include "reports/PeriodReport.h"
#include "reports/PeriodReportWindow.h"
#include "support/ListServices.h"
#include "support/WindowDriver.h"

#include <QDateEdit>
#include <QDateTime>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace documents;
using namespace reports;

namespace {

const char *const kLongName = "加厚双层防潮防震气泡膜卷材宽一米二长五十米透明款工业用";

// Goods at the year's start (2026-01-01): A1 nothing, A2 10 @ 0.50, A3 4 @ 1.10.
// January: RK1 01-05 A1 3 @ 0.10 and A2 5 @ 0.56 (A2's cost (5 + 2.8) / 15 = 0.52);
//          PD1 01-20 counts A3 5 of 4 (a gain of 1 @ 1.10).
// February: RK2 02-03 A1 7 @ 0.09 (A1's cost (0.30 + 0.63) / 10 = 0.093);
//          TH1 02-05 returns A2 3 @ 0.52 to the supplier; CK1 02-10 A1 4 @ 0.12 out;
//          TK1 02-12 A1 1 @ 0.12 returned in; PD2 02-20 counts A2 12.5 of 12
//          (a gain of 0.5 @ 0.52) and A3 3 of 5 (a loss of 2 @ 1.10);
//          CK2 02-25 A3 3 @ 1.10 out, so A3 holds exactly nothing again.
struct MonthEnd : ::testing::Test {
    TestBook book;
    ListServices services;

    MonthEnd()
    {
        book.exec("insert into TA4 (F1,F2,F5,F4,F7,F71,F8,V3,V4,F3) values "
                  "('A1',?,'六件套PH1/PH2','卷',null,0.12,0,0,null,'001'),"
                  "('A2','胶带','48mm','卷',0.5,0.8,10,10,0.5,'001'),"
                  "('A3','纸箱','三层','个',1.1,1.5,4,4,1.1,'001')",
                  {QString::fromUtf8(kLongName)});
        book.m().LoadPeriodStart();
    }

    void setToday(const QDate &day)
    {
        book.m().setClock([day] { return QDateTime(day, QTime(10, 0)); });
    }

    using Lines = QList<std::tuple<QString, double, double>>;
    void audited(const DocumentKind &kind, const QString &number, const QString &date, const Lines &lines)
    {
        book.exec(QStringLiteral("insert into %1 (F1,F2,F3,F5,F9,F10) values (?,?,'001','录入',0,'')")
                      .arg(kind.headerTable),
                  {number, date});
        for (const auto &[code, q, p] : lines)
            book.exec(QStringLiteral("insert into %1 (F0,F1,F6,F7,F8) values (?,?,?,?,'')").arg(kind.lineTable),
                      {number, code, q, p});
        const Outcome audit = auditDocument(book.m(), kind, number);
        ASSERT_TRUE(audit.done) << number.toStdString() << ": " << audit.message.toStdString();
    }
    // A stocktaking note's lines are (code, book quantity, counted, price).
    void counted(const QString &number, const QString &date,
                 const QList<std::tuple<QString, double, double, double>> &lines)
    {
        book.exec("insert into TC2 (F1,F2,F3,F5,F9,F10) values (?,?,'张三','录入',0,'')", {number, date});
        for (const auto &[code, bookQty, count, price] : lines)
            book.exec("insert into TC21 (F0,F1,F5,F6,F7,F8) values (?,?,?,?,?,'')", {number, code, bookQty, count, price});
        const Outcome audit = auditDocument(book.m(), stocktakingNoteKind(), number);
        ASSERT_TRUE(audit.done) << number.toStdString() << ": " << audit.message.toStdString();
    }

    static QPushButton *button(QWidget &w, const char *name)
    {
        return w.findChild<QPushButton *>(QString::fromLatin1(name));
    }
    static QVector<QStringList> shownRows(C181 &w)
    {
        QVector<QStringList> rows;
        for (int r = 2; r < w.grid().rows(); ++r)
            rows.append(w.grid().rowTexts(r));
        return rows;
    }
    // Generates the open period up to today in the monthly report window and
    // saves it; the shown rows before the save.
    QVector<QStringList> generateAndSave()
    {
        C181 w;
        button(w, "Cmd")->click();
        const QVector<QStringList> generated = shownRows(w);
        button(w, "CmdDel")->click();
        EXPECT_EQ(book.prompt().lastText(), QStringLiteral("保存成功！"));
        return generated;
    }
};

TEST_F(MonthEnd, MonthlyAndChosenPeriodReportsAgreeToTheCent)
{
    setToday({2026, 1, 31});
    audited(stockInNoteKind(), "RK1", "2026-01-05", {{"A1", 3, 0.10}, {"A2", 5, 0.56}});
    counted("PD1", "2026-01-20", {{"A3", 4, 5, 1.1}});
    EXPECT_DOUBLE_EQ(book.number("select F7 from TA4 where F1='A2'"), 0.52);
    const QString name = QString::fromUtf8(kLongName) + QStringLiteral("/六件套PH1/PH2/卷");
    //   code name/spec/unit cost   As   Aj    Bs   Bj    Cs   Cj    Ds   Dj    Es   Ej   Fs   Fj   Gs   Gj
    const QVector<QStringList> january = {
        {"A1", name, "0.10", "0", "0", "0", "0", "3", "0.3", "3", "0.3", "0", "0", "0", "0", "3", "0.3"},
        {"A2", "胶带/48mm/卷", "0.52", "10", "5", "10", "5", "5", "2.8", "5", "2.8", "0", "0", "0", "0", "15", "7.8"},
        {"A3", "纸箱/三层/个", "1.10", "4", "4.4", "4", "4.4", "1", "1.1", "1", "1.1", "0", "0", "0", "0", "5", "5.5"},
        {"", "", "", "", "合计：", "14", "9.4", "9", "4.2", "9", "4.2", "0", "0", "0", "0", "23", "13.6"},
    };
    const QVector<QStringList> generatedJanuary = generateAndSave();
    ASSERT_EQ(generatedJanuary.size(), january.size());
    for (int i = 0; i + 1 < january.size(); ++i)
        EXPECT_EQ(generatedJanuary[i], january[i]) << i;
    EXPECT_EQ(generatedJanuary.last().mid(kCarriedQty), january.last().mid(kCarriedQty));

    setToday({2026, 2, 28});
    audited(stockInNoteKind(), "RK2", "2026-02-03", {{"A1", 7, 0.09}});
    audited(supplierReturnNoteKind(), "TH1", "2026-02-05", {{"A2", 3, 0.52}});
    audited(stockOutNoteKind(), "CK1", "2026-02-10", {{"A1", 4, 0.12}});
    audited(returnInNoteKind(), "TK1", "2026-02-12", {{"A1", 1, 0.12}});
    counted("PD2", "2026-02-20", {{"A2", 12, 12.5, 0.52}, {"A3", 5, 3, 1.1}});
    audited(stockOutNoteKind(), "CK2", "2026-02-25", {{"A3", 3, 1.1}});
    EXPECT_DOUBLE_EQ(book.number("select F7 from TA4 where F1='A1'"), 0.093);
    EXPECT_EQ(book.value("select group_concat(F8, '|') from (select F8 from TA4 order by F1)"), "7.0|12.5|0.0");

    // February carries January's closing figures; A3's amounts cancel to 0.
    const QVector<QStringList> february = {
        {"A1", name, "0.09", "0", "0", "3", "0.3", "8", "0.75", "11", "1.05", "4", "0.48", "4", "0.48", "7", "0.57"},
        {"A2", "胶带/48mm/卷", "0.52", "10", "5", "15", "7.8", "0.5", "0.26", "5.5", "3.06", "3", "1.56", "3", "1.56",
         "12.5", "6.5"},
        {"A3", "纸箱/三层/个", "1.10", "4", "4.4", "5", "5.5", "0", "0", "1", "1.1", "5", "5.5", "5", "5.5", "0", "0"},
    };
    // The totals row sums the columns from the carried quantity on.
    const QStringList februaryTotals = {"23", "13.6", "8.5", "1.01", "17.5", "5.21",
                                        "12", "7.54", "12", "7.54", "19.5", "7.07"};
    C181 w;
    button(w, "Cmd")->click();
    const QVector<QStringList> generated = shownRows(w);
    ASSERT_EQ(generated.size(), february.size() + 1);
    for (int i = 0; i < february.size(); ++i)
        EXPECT_EQ(generated[i], february[i]) << i;
    EXPECT_EQ(generated.last().mid(kCarriedQty), februaryTotals);

    // Saved and reopened: the same cells.
    button(w, "CmdDel")->click();
    ASSERT_EQ(book.prompt().lastText(), QStringLiteral("保存成功！"));
    button(w, "Cmd")->click();
    const QVector<QStringList> reopened = shownRows(w);
    ASSERT_EQ(reopened.size(), generated.size());
    for (int i = 0; i < february.size(); ++i)
        EXPECT_EQ(reopened[i], february[i]) << i;
    EXPECT_EQ(reopened.last().mid(kCarriedQty), februaryTotals);

    // The chosen-period report over February: start, in, returned, out, returned in, end.
    C18 chosen;
    chosen.DTP[0]->setDate(QDate(2026, 2, 1));
    chosen.DTP[1]->setDate(QDate(2026, 2, 28));
    chosen.Cmd->click();
    const QVector<QStringList> quantities = {
        {"A1", QString::fromUtf8(kLongName) + QStringLiteral("/六件套PH1/PH2"), "0.12", "卷", "3", "7", "0", "4", "1", "7"},
        {"A2", "胶带/48mm", "0.80", "卷", "15", "0", "3", "0", "0", "12.5"},
        {"A3", "纸箱/三层", "1.50", "个", "5", "0", "0", "3", "0", "0"},
        {"", "", "", "合计：", "23", "7", "3", "7", "1", "19.5"},
    };
    ASSERT_EQ(chosen.grid().rows(), 1 + quantities.size());
    for (int i = 0; i < quantities.size(); ++i)
        EXPECT_EQ(chosen.grid().rowTexts(i + 1), quantities[i]) << i;
    // Its balances are the monthly report's carried and closing quantities.
    for (int i = 0; i < february.size(); ++i) {
        EXPECT_EQ(quantities[i][4], february[i][kCarriedQty]) << i;
        EXPECT_EQ(quantities[i][9], february[i][kClosingQty]) << i;
    }
}

} // namespace
