// The report engine: templates, filling from staging tables and from a
// document's header and lines, totals, pages and PDF output.
#include "support/CentAmounts.h"
#include "support/TestBook.h"
#include "support/XlsxCells.h"

#include "db/Database.h"
#include "platform/NumberText.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ReportEngine.h"
#include "platform/report/ReportPainter.h"
#include "platform/report/ReportTemplate.h"
#include "platform/report/ReportWorkbook.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

using namespace report;

namespace {

QString s(const char *utf8) { return QString::fromUtf8(utf8); }

void writeFile(const QString &path, const QString &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

ReportTemplate parsed(const QString &text)
{
    ReportTemplate t;
    QString error;
    EXPECT_TRUE(parseTemplate(text, t, &error)) << error.toStdString();
    return t;
}

FilledReport filled(db::Database &db, const QString &templateText, const ReportInput &input = {})
{
    QString error;
    auto r = fillReport(db, parsed(templateText), input, &error);
    EXPECT_TRUE(r.has_value()) << error.toStdString();
    return r ? *r : FilledReport{};
}

// Pages in a PDF file: its page objects ("/Type /Page", not "/Pages").
int pdfPageCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = f.readAll();
    if (!data.startsWith("%PDF-"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(data).count(page));
}

const char *kStagedList = R"(
[data]
from = Plist
[header]
title = {@Cpt}
line = 单号：{@danNo} | 日期：{@rq}
[columns]
column = 序号 | F0 | 6
column = 编码 | F1 | 10
column = 数量 | V1 | 8 | right | | sum
column = 单价 | V2 | 8 | right | #0.00
column = 金额 | V1*V2 | 10 | right | #0.00 | sum
column = 文本数量 | F6 | 8 | right | #0.000 | sum
[total]
label = 合计
[summary]
line = {@qianming}
[footer]
line = | 第{page}页 共{pages}页 |
)";

} // namespace

TEST(ReportTemplateTest, FaultyTemplatesAreRefusedWithTheirLine)
{
    const struct {
        const char *text;
        const char *expected;  // part of the message
    } cases[] = {
        {"[columns]\ncolumn = A | F1\n", "from"},
        {"[data]\nfrom = PrTA1\n", "[columns]"},
        {"[data]\nfrom = PrTA1\n[colums]\n", "第3行"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = 只有标题\n", "第4行"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1 | wide\n", "列宽"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1 | 5 | middle\n", "对齐"},
        {"[page]\nsize = huge\n", "纸张"},
        {"[data]\nfrom = TB11\nheader = TB1\n[columns]\ncolumn = A | F1\n", "link"},
        {"[data]\nfrom = TB11\nlink = F0 == TB1.F1\n", "link"},
        {"[data]\nfrom = PrTA1\n[header]\nline = {nosuch}\n[columns]\ncolumn = A | F1\n", "{nosuch}"},
        {"from = PrTA1\n", "不在任何节中"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1 | 5 | left | | key\n", "第六项"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1\n[total]\nrow = 合计 | {@s1}\n", "row"},
        {"[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1\n[total]\nrow = {nosuch}\n", "{nosuch}"},
    };
    for (const auto &c : cases) {
        ReportTemplate t;
        QString error;
        EXPECT_FALSE(parseTemplate(s(c.text), t, &error)) << c.text;
        EXPECT_TRUE(error.contains(s(c.expected))) << c.text << " -> " << error.toStdString();
    }
}

TEST(ReportTemplateTest, ReadsEverySection)
{
    const ReportTemplate t = parsed(s(R"(
# comment
[PAGE]
Size = 210x140
orientation = landscape
margins = 10, 8, 10, 8
font = 9
[data]
header = TB1 left join TA1 on TA1.F1 = TB1.F3
from = TB11 left join TA4 on TA4.F1 = TB11.F1
link = TB11.F0 = TB1.F1
order = TB11.F1
[fields]
no = TB1.F1
[header]
title = 入库单
line = {no} | {today}
[columns]
column = 编码 | TB11.F1 | 10 | left | | id
column = 金额 | TB11.F6*TB11.F7 | 12 | right | #0.00 | sum
[group]
by = TA4.F3
header = 类别：{group}
footer = 小计
[total]
row = | {@s1}
[footer]
line = | 第{page}页 |
)"));
    EXPECT_EQ(t.orientation, QPageLayout::Landscape);
    EXPECT_NEAR(t.pageSize.size(QPageSize::Millimeter).width(), 210, 0.01);
    EXPECT_DOUBLE_EQ(t.fontSize, 9);
    EXPECT_EQ(t.linkLineField, "TB11.F0");
    EXPECT_EQ(t.linkHeaderField, "TB1.F1");
    ASSERT_EQ(t.columns.size(), 2);
    EXPECT_EQ(t.columns[1].align, Qt::AlignRight);
    EXPECT_EQ(t.columns[1].format, "#0.00");
    EXPECT_TRUE(t.columns[1].sum);
    EXPECT_FALSE(t.columns[0].sum);
    EXPECT_TRUE(t.columns[0].id);
    EXPECT_FALSE(t.columns[1].id);
    EXPECT_TRUE(t.hasTotal);
    EXPECT_EQ(t.totalCells, QStringList({"", "{@s1}"}));
    EXPECT_EQ(t.groupFooterLabel, s("小计"));
    ASSERT_EQ(t.pageHeader.size(), 2);
    EXPECT_TRUE(t.pageHeader[0].title);
    EXPECT_EQ(t.pageHeader[0].center, s("入库单"));
    EXPECT_EQ(t.pageHeader[1].left, "{no}");
    EXPECT_EQ(t.pageHeader[1].right, "{today}");
    EXPECT_EQ(t.pageFooter[0].center, s("第{page}页"));
}

TEST(ReportTemplateTest, FindsFilesWithoutRegardToCase)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("prnTa4.rpt"), "x");
    EXPECT_EQ(findFileIgnoringCase(dir.filePath("PrnTa4.rpt")), dir.filePath("prnTa4.rpt"));
    EXPECT_EQ(findFileIgnoringCase(dir.filePath("prnta4.RPT")), dir.filePath("prnTa4.rpt"));
    EXPECT_EQ(findFileIgnoringCase(dir.filePath("prnTa5.rpt")), QString());
}

TEST(ReportFormulaTest, FormulaAndSelectionTexts)
{
    QString name, value;
    ASSERT_TRUE(parseFormula(s("Cpt='供货单位列表'"), &name, &value));
    EXPECT_EQ(name, "Cpt");
    EXPECT_EQ(value, s("供货单位列表"));
    ASSERT_TRUE(parseFormula(s("gys='O''Brien 公司'"), &name, &value));
    EXPECT_EQ(value, s("O'Brien 公司"));
    ASSERT_TRUE(parseFormula(s("qianming='制单人:张三    审核人:'"), &name, &value));
    EXPECT_EQ(value, s("制单人:张三    审核人:"));
    EXPECT_FALSE(parseFormula(s("='x'"), &name, &value));
    EXPECT_FALSE(parseFormula(s("Cpt='unclosed"), &name, &value));
    EXPECT_FALSE(parseFormula(s("no formula"), &name, &value));

    QString field;
    ASSERT_TRUE(parseSelectionFormula(s("{TB1.F1}='RK0001'"), &field, &value));
    EXPECT_EQ(field, "TB1.F1");
    EXPECT_EQ(value, "RK0001");
    ASSERT_TRUE(parseSelectionFormula(s("{TB1.F1}='A''B'"), &field, &value));
    EXPECT_EQ(value, "A'B");
    EXPECT_FALSE(parseSelectionFormula(s("{TB1.F1}='x' or 1=1"), &field, &value));
    EXPECT_FALSE(parseSelectionFormula(s("{TB1.F1; drop table TA1}='x'"), &field, &value));
}

TEST(ReportEngineTest, FillsFromTheStagingTableWithFormulasAndTotals)
{
    TestBook book;
    const struct {
        const char *f0, *f1, *f6;
        double v1, v2;
    } rows[] = {{"00001", "G01", "2", 2, 12.5}, {"00002", "G02", "1.5kg", 1.5, 0.456}, {"00003", "G03", "", 3, 1}};
    for (const auto &r : rows)
        book.exec("insert into Plist (F0,F1,F6,V1,V2) values (?,?,?,?,?)", {r.f0, r.f1, r.f6, r.v1, r.v2});

    ReportInput input;
    input.formulas = {s("Cpt='货品入库单'"), s("danNo='RK0001'"), s("rq='2026-01-05'"),
                      s("qianming='制单人:张三'")};
    const FilledReport r = filled(book.db(), s(kStagedList), input);

    ASSERT_EQ(r.rows.size(), 3);
    EXPECT_EQ(r.rows[0], QStringList({"00001", "G01", "2", "12.50", "25.00", "2.000"}));
    EXPECT_EQ(r.rows[1], QStringList({"00002", "G02", "1.5", "0.46", "0.68", "1.500"}));
    EXPECT_EQ(r.rows[2], QStringList({"00003", "G03", "3", "1.00", "3.00", ""}));
    EXPECT_EQ(r.totals, QStringList({s("合计"), "", "6.5", "", "28.68", "3.500"}));
    EXPECT_EQ(r.formula("cpt"), s("货品入库单"));
    EXPECT_EQ(r.formula("DANNO"), "RK0001");
    EXPECT_EQ(r.pageCount(), 1);
    const QString page = r.pageText(0);
    EXPECT_TRUE(page.startsWith(s("货品入库单\n单号：RK0001\t日期：2026-01-05\n序号\t编码"))) << page.toStdString();
    EXPECT_TRUE(page.contains(s("制单人:张三"))) << page.toStdString();
    EXPECT_TRUE(page.endsWith(s("第1页 共1页"))) << page.toStdString();
}

TEST(ReportEngineTest, EmptyStagingGivesOnePageAndAFormulaNotSetIsEmpty)
{
    TestBook book;
    const FilledReport r = filled(book.db(), s(kStagedList));
    EXPECT_TRUE(r.rows.isEmpty());
    EXPECT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.formula("Cpt"), QString());
    EXPECT_EQ(r.totals[2], "0");
}

// Totals that the printing window hands over as formulas print in their
// columns of the total row; a summed column left empty there keeps its sum.
TEST(ReportEngineTest, TotalRowTakesFormulasIntoTheirColumns)
{
    TestBook book;
    book.exec("insert into Plist (F1,F4,V1) values ('G1','2',1.5), ('G2','3',2)");
    ReportInput input;
    input.formulas = {"s1='5.00'"};
    const FilledReport r = filled(book.db(), s(R"(
[data]
from = Plist
[columns]
column = 编码 | F1 | 10 | left | | id
column = 数量 | F4 | 8 | right
column = 金额 | V1 | 8 | right | | sum
[total]
label = 合计
row = | {@s1}
)"), input);
    EXPECT_EQ(r.totals, QStringList({s("合计"), "5.00", "3.5"}));
}

TEST(ReportEngineTest, SelectionNarrowsStagedRowsWithItsValueBound)
{
    TestBook book;
    book.exec("insert into PrTA1 (F1,F2) values ('A','x'), ('B''C','y'), ('A','z')");
    const char *t = "[data]\nfrom = PrTA1\n[columns]\ncolumn = 名称 | F2\n";
    ReportInput input;
    input.selectionFormula = "{PrTA1.F1}='B''C'";
    EXPECT_EQ(filled(book.db(), s(t), input).rows, QVector<QStringList>({{"y"}}));
    input.selectionFormula = "{PrTA1.F1}='A'";
    EXPECT_EQ(filled(book.db(), s(t), input).rows, QVector<QStringList>({{"x"}, {"z"}}));
}

TEST(ReportEngineTest, MoneyColumnsFollowTheBooksMoneyFormat)
{
    TestBook book;
    book.exec("insert into Plist (V2) values (12.5), (0.0005)");
    ReportInput input;
    input.moneyFormat = "#0.000";
    const FilledReport r = filled(book.db(), s("[data]\nfrom = Plist\n[columns]\ncolumn = 价格 | V2 | 5 | right | money | sum\n[total]\n"), input);
    EXPECT_EQ(r.rows, QVector<QStringList>({{"12.500"}, {"0.001"}}));
    EXPECT_EQ(r.totals, QStringList({"12.501"}));
}

TEST(ReportEngineTest, GroupsWithSubtotalsAndSqlSummaries)
{
    TestBook book;
    book.exec("insert into Plist (F0,F3,V1) values ('1','B',1), ('2','A',2), ('3','B',4), ('4','A',8)");
    const FilledReport grouped = filled(book.db(), s(R"(
[data]
from = Plist
order = F3, F0
[columns]
column = 序号 | F0
column = 数量 | V1 | 5 | right | | sum
[group]
by = F3
header = 类别：{group}
footer = 小计
[total]
label = 合计
)"));
    ASSERT_EQ(grouped.groups.size(), 2);
    EXPECT_EQ(grouped.groups[0].value, "A");
    EXPECT_EQ(grouped.groups[0].rowCount, 2);
    EXPECT_EQ(grouped.groups[0].subtotals, QStringList({"", "10"}));
    EXPECT_EQ(grouped.groups[1].subtotals, QStringList({"", "5"}));
    EXPECT_EQ(grouped.totals, QStringList({s("合计"), "15"}));
    EXPECT_EQ(grouped.pageText(0), s("序号\t数量\n类别：A\n2\t2\n4\t8\n小计\t10\n类别：B\n1\t1\n3\t4\n小计\t5\n合计\t15"));

    const FilledReport summary = filled(book.db(), s(R"(
[data]
from = Plist
group = F3
order = F3 desc
[columns]
column = 类别 | F3
column = 数量 | sum(V1) | 5 | right | #0.0
)"));
    EXPECT_EQ(summary.rows, QVector<QStringList>({{"B", "5.0"}, {"A", "10.0"}}));
}

// Printed totals, group subtotals and SQL summaries of many two-decimal
// figures show their exact decimal sums.
TEST(ReportEngineTest, SumsOfManyDecimalsAreTheirDecimalSums)
{
    TestBook book;
    const CentAmounts amounts = centAmounts(1500, kNoisySeeds[0]);
    constexpr int kGroups = 3;
    qint64 groupCents[kGroups] = {};
    {
        db::Transaction transaction(book.db());
        for (int i = 0; i < amounts.values.size(); ++i) {
            book.exec("insert into Plist (F3,V1) values (?,?)", {QString::number(i % kGroups), amounts.values[i]});
            groupCents[i % kGroups] += std::llround(amounts.values[i] * 100);
        }
        ASSERT_TRUE(transaction.commit());
    }
    const auto groupSum = [&](int g) { return numtext::numToText(groupCents[g] / 100.0); };
    const FilledReport list = filled(book.db(), s(R"(
[data]
from = Plist
order = F3
[columns]
column = 类别 | F3
column = 数量 | V1 | 5 | right | | sum
column = 金额 | V1 | 5 | right | #,##0.00 | sum
[group]
by = F3
footer = 小计
[total]
label = 合计
)"));
    EXPECT_EQ(list.totals, QStringList({s("合计"), amounts.sum, numtext::formatNumber(amounts.sum.toDouble(), "#,##0.00")}));
    ASSERT_EQ(list.groups.size(), kGroups);
    for (int g = 0; g < kGroups; ++g)
        EXPECT_EQ(list.groups[g].subtotals[1], groupSum(g)) << "group " << g;

    const FilledReport summary = filled(book.db(), s(R"(
[data]
from = Plist
group = F3
order = F3
[columns]
column = 类别 | F3
column = 数量 | decimal_sum(V1) | 5 | right | | sum
[total]
label = 合计
)"));
    ASSERT_EQ(summary.rows.size(), kGroups);
    for (int g = 0; g < kGroups; ++g)
        EXPECT_EQ(summary.rows[g], QStringList({QString::number(g), groupSum(g)}));
    EXPECT_EQ(summary.totals, QStringList({s("合计"), amounts.sum}));

    // As sum(): Null values are skipped, and no value at all sums to Null.
    EXPECT_EQ(book.value("select decimal_sum(V1) from Plist where F3='none'"), QString());
    EXPECT_EQ(book.number("select decimal_sum(x) from (select 0.1 as x union all select null union all select 0.2)"),
              0.3);
}

TEST(ReportEngineTest, ReadsADocumentHeaderAndItsLinesFromTheBook)
{
    TestBook book;
    book.exec(s("insert into TA1 (F1,F2) values ('S1','东方公司')"));
    book.exec(s("insert into TA4 (F1,F2,F4) values ('G1','螺丝','个'), ('G2','螺母','只')"));
    book.exec("insert into TB1 (F1,F2,F3,F5,F9) values ('RK0001','2026-01-05','S1','001',30)");
    book.exec("insert into TB1 (F1,F2,F3,F5,F9) values ('RK0002','2026-01-06','S1','001',1)");
    book.exec("insert into TB11 (F0,F1,F6,F7) values ('RK0001','G1',2,5), ('RK0002','G1',1,1), "
              "('RK0001','G2',4,5)");
    const QString layout = s(R"(
[data]
header = TB1 left join TA1 on TA1.F1 = TB1.F3
from = TB11 left join TA4 on TA4.F1 = TB11.F1
link = TB11.F0 = TB1.F1
[fields]
no = TB1.F1
party = TA1.F2
total = TB1.F9
[header]
title = 入库单
line = 供货单位：{party} | 单号：{no}
[columns]
column = 编码 | TB11.F1
column = 名称 | TA4.F2
column = 数量 | TB11.F6 | 5 | right | | sum
column = 金额 | TB11.F6*TB11.F7 | 8 | right | #0.00 | sum
[total]
label = 合计
[summary]
line = 单据金额：{total}
)");
    ReportInput input;
    input.selectionFormula = "{TB1.F1}='rk0001'";
    const FilledReport r = filled(book.db(), layout, input);
    EXPECT_EQ(r.field("no"), "RK0001");
    EXPECT_EQ(r.field("party"), s("东方公司"));
    EXPECT_EQ(r.field("total"), "30");
    EXPECT_EQ(r.rows, QVector<QStringList>({{"G1", s("螺丝"), "2", "10.00"}, {"G2", s("螺母"), "4", "20.00"}}));
    EXPECT_EQ(r.totals, QStringList({s("合计"), "", "6", "30.00"}));
    EXPECT_TRUE(r.pageText(0).contains(s("供货单位：东方公司\t单号：RK0001")));
    EXPECT_TRUE(r.pageText(0).contains(s("单据金额：30")));

    QString error;
    input.selectionFormula = "{TB1.F1}='RK9999'";
    EXPECT_FALSE(fillReport(book.db(), parsed(layout), input, &error));
    EXPECT_TRUE(error.contains("RK9999")) << error.toStdString();
    input.selectionFormula.clear();
    EXPECT_FALSE(fillReport(book.db(), parsed(layout), input, &error));
    EXPECT_EQ(error, s("没有指定要打印的单据"));
}

TEST(ReportEngineTest, SqlErrorsOfATemplateAreReported)
{
    TestBook book;
    QString error;
    EXPECT_FALSE(fillReport(book.db(), parsed(s("[data]\nfrom = NoSuchTable\n[columns]\ncolumn = A | F1\n")), {}, &error));
    EXPECT_TRUE(error.contains("NoSuchTable")) << error.toStdString();
}

TEST(ReportEngineTest, RowsBreakIntoPagesByThePageHeight)
{
    TestBook book;
    // 100 mm high, 10 mm margins: 80 mm = 226.77 pt of room. Lines of font 10 are
    // 16 pt: the title line (12 x 1.6 = 19.2), captions and footer leave
    // 226.77 - 19.2 - 16 - 16 = 175.57 pt, that is 10 rows a page.
    const QString layout = s(R"(
[page]
size = 100x100
margins = 10
font = 10
titlefont = 12
[data]
from = PrTA1
[header]
title = 列表
[columns]
column = 编码 | F1
[footer]
line = | 第{page}页 共{pages}页 |
)");
    const auto stage = [&](int n) {
        book.exec("delete from PrTA1");
        for (int i = 1; i <= n; ++i)
            book.exec("insert into PrTA1 (F1) values (?)", {QString::number(i)});
        return filled(book.db(), layout);
    };
    const struct {
        int rows, pages, lastPageRows;
    } cases[] = {{0, 1, 0}, {1, 1, 1}, {10, 1, 10}, {11, 2, 1}, {25, 3, 5}};
    for (const auto &c : cases) {
        const FilledReport r = stage(c.rows);
        ASSERT_EQ(r.pageCount(), c.pages) << c.rows << " rows";
        EXPECT_EQ(r.pages.last().body.size(), c.lastPageRows) << c.rows << " rows";
        for (int p = 0; p < r.pageCount(); ++p) {
            EXPECT_TRUE(r.pageText(p).startsWith(s("列表\n编码\n")));
            EXPECT_TRUE(r.pageText(p).endsWith(s("第%1页 共%2页").arg(p + 1).arg(c.pages)));
        }
    }
    EXPECT_EQ(stage(25).pages[1].body.first().cells, QStringList({"11"}));
}

// A long list keeps every value as read, whatever its kind, in order: texts
// (Chinese, empty), reals, integers and nulls, formatted or not, and sums
// them into the total.
TEST(ReportEngineTest, ALongListKeepsEveryValueAndItsSums)
{
    TestBook book;
    constexpr int kRows = 2600;
    {
        db::Transaction transaction(book.db());
        for (int i = 0; i < kRows; ++i) {
            const QVariant text = i % 3 == 0 ? QVariant(s("货品%1").arg(i)) : QVariant(QString());
            const QVariant amount = i % 4 == 0 ? QVariant() : i % 4 == 1 ? QVariant(i + 0.25)
                                  : i % 4 == 2 ? QVariant(qlonglong(i)) : QVariant(QString::number(i) + "kg");
            book.exec("insert into Plist (F0,F1,F2,V1) values (?,?,?,?)", {i, text, amount, amount});
        }
        ASSERT_TRUE(transaction.commit());
    }
    const FilledReport r = filled(book.db(), s(R"(
[page]
size = 100x100
margins = 10
font = 10
[data]
from = Plist
[columns]
column = 序号 | F0 + 0
column = 名称 | F1
column = 原值 | F2 | 5 | right
column = 数量 | V1 | 5 | right | #0.00 | sum
[total]
label = 合计
)"));
    ASSERT_EQ(r.rows.size(), kRows);
    double sum = 0;
    for (int i = 0; i < kRows; ++i) {
        const QString name = i % 3 == 0 ? s("货品%1").arg(i) : QString();
        const QStringList expected[] = {
            {QString::number(i), name, "", ""},
            {QString::number(i), name, QString::number(i) + ".25", QString::number(i) + ".25"},
            {QString::number(i), name, QString::number(i), QString::number(i) + ".00"},
            {QString::number(i), name, QString::number(i) + "kg", QString::number(i) + ".00"},
        };
        ASSERT_EQ(r.rows[i], expected[i % 4]) << "row " << i;
        sum += i % 4 == 0 ? 0 : i % 4 == 1 ? i + 0.25 : i;
    }
    EXPECT_EQ(r.totals, QStringList({s("合计"), "", "", numtext::formatNumber(sum, "#0.00")}));
    // 100 mm pages hold 13 lines below the captions: 200 full pages take
    // 2600 lines, and the total takes the last row with it onto page 201.
    ASSERT_EQ(r.pages[0].body.size(), 13);
    ASSERT_EQ(r.pageCount(), 201);
    EXPECT_EQ(r.pages[199].body.size(), 12);
    const ReportPage last = r.pages.last();
    ASSERT_EQ(last.body.size(), 2);
    EXPECT_EQ(last.body[0].cells, r.rows[kRows - 1]);
    EXPECT_EQ(last.body[1].cells, r.totals);
}

// A note's closing lines (total, remark, signatures) never stand alone under
// a repeated title: the last row goes over to their page.
TEST(ReportEngineTest, ClosingLinesKeepTheLastRowWithThem)
{
    TestBook book;
    // As above: 10 body lines a page.
    const QString layout = s(R"(
[page]
size = 100x100
margins = 10
font = 10
titlefont = 12
[data]
from = PrTA1
[header]
title = 单据
[columns]
column = 编码 | F1
[total]
label = 合计
[summary]
line = 附注：
line = 制单人： | 审核人：
[footer]
line = | 第{page}页 共{pages}页 |
)");
    const struct {
        int rows, pages, firstRowOfLastPage;  // 0: the last page holds no row
    } cases[] = {{5, 1, 1}, {7, 1, 1}, {8, 2, 8}, {9, 2, 9}, {10, 2, 10}, {17, 2, 11}, {18, 3, 18}};
    for (const auto &c : cases) {
        book.exec("delete from PrTA1");
        for (int i = 1; i <= c.rows; ++i)
            book.exec("insert into PrTA1 (F1) values (?)", {QString::number(i)});
        const FilledReport r = filled(book.db(), layout);
        ASSERT_EQ(r.pageCount(), c.pages) << c.rows << " rows";
        const QVector<ReportLine> &last = r.pages.last().body;
        ASSERT_EQ(last.first().kind, LineKind::Detail) << c.rows << " rows";
        EXPECT_EQ(last.first().cells, QStringList{QString::number(c.firstRowOfLastPage)}) << c.rows << " rows";
        int lines = 0;
        for (const ReportPage &p : r.pages) {
            EXPECT_LE(p.body.size(), 10) << c.rows << " rows";
            lines += int(p.body.size());
        }
        EXPECT_EQ(lines, c.rows + 3) << c.rows << " rows";
    }
}

// Columns take the room of the page by what they print. A text too wide for
// its column goes on in further lines of its row, and is cut only where its
// row could not hold more lines on a page; a code shrinks, down to 7 points,
// and then goes on in further lines; a figure keeps the body size and its
// width while the page holds it. Nothing of the code or the figure is ever
// cut.
TEST(ReportEngineTest, TextsTakeTheRoomOfThePage)
{
    const QString code = QStringLiteral("GJ-2026-1211-ABCDEF-00001");
    const QString amount = QStringLiteral("-1,000,000.00");
    const QString longName = s("加厚双层防潮防震气泡膜卷材宽一米二长五十米透明款工业用");
    const struct {
        const char *what;
        const char *page;
        QString name;
        bool nameWhole, nameOneLine, codeBodySize, codeOneLine, amountOneLine;
    } cases[] = {
        {"room to spare", "orientation = landscape", longName, true, true, true, true, true},
        {"a narrow page: the name wraps, the code shrinks", "size = 120x100\nmargins = 5", longName, true, false,
         false, true, true},
        {"a low page: the name is cut where its row is full", "size = 120x40\nmargins = 5", longName.repeated(8),
         false, false, false, true, true},
        {"a narrower page: more lines, the figure keeps its width", "size = 40x200\nmargins = 5", longName, true,
         false, false, false, true},
        {"a page narrower than the figure: it goes on in a second line", "size = 30x200\nmargins = 5", longName,
         true, false, false, false, false},
    };
    TestBook book;
    book.exec("insert into Plist (F1,F2,F8) values (?,?,?)", {code, QString(), amount});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        book.exec("update Plist set F2 = ?", {c.name});
        const FilledReport r = filled(book.db(), QStringLiteral("[page]\n%1\n[data]\nfrom = Plist\n[columns]\n"
                                                                "column = 编码 | F1 | 10 | left | | id\n"
                                                                "column = 名称 | F2 | 4\n"
                                                                "column = 金额 | F8 | 4 | right\n"
                                                                "column = 备注 | F9 | 30\n")
                                                     .arg(QString::fromLatin1(c.page)));
        ASSERT_EQ(r.pageCount(), 1);
        const ReportPage page = r.pages.first();
        ASSERT_EQ(page.body.size(), 1);
        const ReportLine &row = page.body[0];
        ASSERT_EQ(row.printed.size(), 4);
        const auto lines = [](const LaidOutCell &cell) { return cell.text.split(QLatin1Char('\n')); };
        const auto reads = [&](const LaidOutCell &cell) { return lines(cell).join(QString()); };

        const LaidOutCell &codeCell = row.printed[0];
        EXPECT_EQ(reads(codeCell), code);
        EXPECT_EQ(lines(codeCell).size() == 1, c.codeOneLine) << codeCell.text.toStdString();
        EXPECT_EQ(codeCell.size == r.layout.fontSize, c.codeBodySize) << codeCell.size;
        EXPECT_GE(codeCell.size, 7.0);

        const LaidOutCell &nameCell = row.printed[1];
        EXPECT_EQ(reads(nameCell) == c.name, c.nameWhole) << nameCell.text.toStdString();
        EXPECT_EQ(nameCell.text.endsWith(QChar(0x2026)), !c.nameWhole) << nameCell.text.toStdString();
        EXPECT_EQ(lines(nameCell).size() == 1, c.nameOneLine) << nameCell.text.toStdString();

        const LaidOutCell &amountCell = row.printed[2];
        EXPECT_EQ(reads(amountCell), amount);
        EXPECT_EQ(lines(amountCell).size() == 1, c.amountOneLine) << amountCell.text.toStdString();
        EXPECT_EQ(amountCell.size, r.layout.fontSize);

        // The row is as high as its most lines, and the page holds it.
        int most = 1;
        for (const LaidOutCell &cell : row.printed)
            most = qMax(most, int(lines(cell).size()));
        EXPECT_EQ(row.height > bodyLineHeight(r.layout), most > 1);
        double used = 0;
        for (const QVector<ReportLine> *band : {&page.header, &page.body, &page.footer})
            for (const ReportLine &l : *band)
                used += l.height;
        EXPECT_LE(used, r.layout.pageLayout().paintRect(QPageLayout::Point).height() + 1e-6);

        // The widths share the page.
        double total = 0;
        for (const double w : r.pages.columns().widths())
            total += w;
        EXPECT_NEAR(total, r.layout.pageLayout().paintRect(QPageLayout::Point).width(), 1e-6);
    }
}

TEST(ReportEngineTest, RendersAPdfWithOnePagePerReportPage)
{
    TestBook book;
    for (int i = 1; i <= 25; ++i)
        book.exec(s("insert into PrTA1 (F1,F2) values (?, '中文名称')"), {QString::number(i)});
    const FilledReport r = filled(book.db(), s("[page]\nsize = 100x100\nmargins = 10\n[data]\nfrom = PrTA1\n"
                                               "[columns]\ncolumn = 编码 | F1\ncolumn = 名称 | F2\n"));
    ASSERT_GT(r.pageCount(), 1);
    const QString pdf = book.dir() + "/list.pdf";
    QString error;
    ASSERT_TRUE(renderPdf(r, pdf, &error)) << error.toStdString();
    EXPECT_EQ(pdfPageCount(pdf), r.pageCount());

    EXPECT_FALSE(renderPdf(r, book.dir() + "/no/such/folder/x.pdf", &error));
    EXPECT_FALSE(error.isEmpty());
}

// The workbook holds every line of every page once, in printed order: title,
// captions, group headers, rows, subtotals and the total, figures as numbers.
TEST(ReportEngineTest, WritesAWorkbookOfEveryLineInPrintedOrder)
{
    TestBook book;
    for (int i = 1; i <= 24; ++i)
        book.exec("insert into Plist (F0,F3,V1) values (?,?,?)",
                  {QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), i <= 10 ? "A" : "B", i + 0.5});
    const FilledReport r = filled(book.db(), s(R"(
[page]
size = 100x100
margins = 10
[data]
from = Plist
order = F3, F0
[header]
title = 分组列表
[columns]
column = 序号 | F0
column = 数量 | V1 | 5 | right | #0.00 | sum
[group]
by = F3
header = 类别：{group}
footer = 小计
[total]
label = 合计
)"));
    ASSERT_GT(r.pageCount(), 2);
    const QString path = book.dir() + "/grouped.xlsx";
    QString error;
    ASSERT_TRUE(writeWorkbook(r, path, &error)) << error.toStdString();

    QStringList expected{s("分组列表"), s("序号\t数量"), s("类别：A")};
    for (int i = 1; i <= 24; ++i) {
        if (i == 11)
            expected << s("小计\t60") << s("类别：B");
        expected << QStringLiteral("%1\t%2").arg(i, 2, 10, QLatin1Char('0')).arg(i + 0.5);
    }
    expected << s("小计\t252") << s("合计\t312");
    QSet<QString> numbers;
    const QHash<QString, QString> cells = xlsx::sheetCells(path, &numbers);
    QStringList rows;
    for (int row = 1; row <= expected.size() + 1; ++row) {
        const QString a = "A" + QString::number(row), b = "B" + QString::number(row);
        if (!cells.contains(b)) {
            rows << cells.value(a);
            continue;
        }
        rows << cells.value(a) + "\t" + cells.value(b);
        EXPECT_EQ(numbers.contains(b), row > 2) << b.toStdString();
    }
    EXPECT_EQ(rows.join('\n').toStdString(), (expected + QStringList{QString()}).join('\n').toStdString());
}

// ---- the print control ----

class ReportControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(600, 400);
        cry.setConnection(&book.db());
        cry.setWindowParentHandle(&host);
    }
    void TearDown() override { ReportControl::setPrinterChooser({}); }

    void setUp(const QString &file, const QStringList &formulas = {})
    {
        cry.setDataFiles(0, book.bookPath());
        cry.setReportFileName(book.dir() + "/" + file);
        for (int i = 0; i < formulas.size(); ++i)
            cry.setFormulas(i, formulas[i]);
        cry.setDestination(0);
    }

    TestBook book;
    QWidget host;
    ReportControl cry;
};

TEST_F(ReportControlTest, PreviewsTheStagedTableFoundWithoutRegardToCase)
{
    QFile::copy(qEnvironmentVariable("WAREHOUSE_APP_DIR") + "/Prnta12.rpt", book.dir() + "/prnta12.rpt");
    book.exec(s("insert into PrTA1 (F1,F2,F3) values ('A01','东方公司','北京')"));
    setUp("Prnta12.rpt", {s("Cpt='供货单位列表'")});
    ASSERT_TRUE(cry.setAction(1)) << cry.lastError().toStdString();
    EXPECT_TRUE(book.prompt().shown.isEmpty());
    ASSERT_NE(cry.filledReport(), nullptr);
    EXPECT_EQ(cry.filledReport()->formula("Cpt"), s("供货单位列表"));
    EXPECT_EQ(cry.filledReport()->rows.size(), 1);
    EXPECT_EQ(cry.filledReport()->rows[0].mid(0, 3), QStringList({"A01", s("东方公司"), s("北京")}));
    ASSERT_NE(cry.previewWidget(), nullptr);
    EXPECT_EQ(cry.previewWidget()->parentWidget(), &host);
    EXPECT_EQ(cry.previewWidget()->geometry(), QRect(0, 0, 600, 400));
    host.show();
    host.resize(700, 500);
    EXPECT_EQ(cry.previewWidget()->geometry(), QRect(0, 0, 700, 500));
}

TEST_F(ReportControlTest, MissingAndFaultyTemplatesAreShownToTheOperator)
{
    setUp("prnTA3.rpt");
    EXPECT_FALSE(cry.setAction(1));
    EXPECT_EQ(book.prompt().lastText(), s("报表文件prnTA3.rpt丢失！"));
    EXPECT_EQ(book.prompt().shown.last().title, s("提示"));

    writeFile(book.dir() + "/bad.rpt", "[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1 | -3\n");
    setUp("bad.rpt");
    EXPECT_FALSE(cry.setAction(1));
    EXPECT_EQ(book.prompt().lastText(), s("报表文件bad.rpt有错误：\n第4行：列宽“-3”不可用"));
    EXPECT_EQ(cry.filledReport(), nullptr);
    EXPECT_EQ(cry.previewWidget(), nullptr);
}

TEST_F(ReportControlTest, PrintsTheReportOnShowThroughTheChosenPrinter)
{
    writeFile(book.dir() + "/list.rpt", "[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1\n");
    book.exec("insert into PrTA1 (F1) values ('first')");
    setUp("list.rpt");
    ASSERT_TRUE(cry.setAction(1));

    // Rows staged later by someone else do not change what is printed: the
    // printer gets the report on show.
    book.exec("insert into PrTA1 (F1) values ('second')");
    const QString pdf = book.dir() + "/printed.pdf";
    int asked = 0;
    ReportControl::setPrinterChooser([&](QPrinter &printer, QWidget *) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    cry.setDestination(1);
    ASSERT_TRUE(cry.setAction(1));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_EQ(cry.filledReport()->rows.size(), 1);

    // Straight to a file, without a dialog.
    ASSERT_TRUE(cry.exportPdf(book.dir() + "/export.pdf")) << cry.lastError().toStdString();
    EXPECT_EQ(pdfPageCount(book.dir() + "/export.pdf"), 1);

    // A cancelled print dialog prints nothing and is no failure.
    ReportControl::setPrinterChooser([&](QPrinter &, QWidget *) { return false; });
    EXPECT_TRUE(cry.setAction(1));
    EXPECT_TRUE(book.prompt().shown.isEmpty());
}

TEST_F(ReportControlTest, ANewReportClearsTheFormulasOfTheLastOne)
{
    writeFile(book.dir() + "/list.rpt", "[data]\nfrom = PrTA1\n[columns]\ncolumn = A | F1\n");
    setUp("list.rpt", {s("Cpt='一'"), s("rq='2026'")});
    ASSERT_TRUE(cry.setAction(1));
    EXPECT_EQ(cry.filledReport()->formula("rq"), "2026");
    setUp("list.rpt", {s("Cpt='二'")});
    EXPECT_EQ(cry.formulaList(), QStringList({s("Cpt='二'")}));
    ASSERT_TRUE(cry.setAction(1));
    EXPECT_EQ(cry.filledReport()->formula("Cpt"), s("二"));
    EXPECT_EQ(cry.filledReport()->formula("rq"), QString());
}

namespace {

// Pixels in rect darker than the ground and the pages' shadow: text and lines.
int inkedPixels(const QImage &image, const QRect &rect)
{
    int inked = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 40)
                ++inked;
    return inked;
}

} // namespace

TEST_F(ReportControlTest, ThePreviewDrawsOnlyThePagesInViewAndTurnsThem)
{
    // 100 mm pages of 10 rows: 250 rows make 25 pages.
    writeFile(book.dir() + "/long.rpt", s("[page]\nsize = 100x100\nmargins = 10\nfont = 10\ntitlefont = 12\n"
                                          "[data]\nfrom = PrTA1\n[header]\ntitle = 列表\n"
                                          "[columns]\ncolumn = 编码 | F1\n[footer]\nline = | 第{page}页 |\n"));
    book.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 250) "
              "insert into PrTA1 (F1) select i from n");
    setUp("long.rpt");
    host.show();
    ASSERT_TRUE(cry.setAction(1));
    ReportPreview *preview = cry.previewWidget();
    ASSERT_NE(preview, nullptr);
    PageView *view = preview->pageView();
    ASSERT_EQ(view->pageCount(), 25);
    EXPECT_EQ(view->currentPage(), 0);
    EXPECT_EQ(view->pagesDrawn(), 0);  // nothing is drawn before it is shown

    const QImage first = host.grab().toImage();
    EXPECT_GE(view->pagesDrawn(), 1);
    EXPECT_LE(view->pagesDrawn(), 2);
    const QRect viewArea(view->viewport()->mapTo(&host, QPoint(0, 0)), view->viewport()->size());
    EXPECT_GT(inkedPixels(first, viewArea), 50);  // the page's lines and texts

    auto *spin = preview->findChild<QSpinBox *>("PageNumber");
    auto *total = preview->findChild<QLabel *>("PageTotal");
    ASSERT_TRUE(spin && total);
    EXPECT_EQ(spin->value(), 1);
    EXPECT_EQ(total->text(), "/ 25");

    // The buttons turn pages; the last page is drawn without those between.
    const auto click = [&](const char *name) {
        auto *b = preview->findChild<QToolButton *>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    };
    const int drawnBefore = view->pagesDrawn();
    click("PageLast");
    EXPECT_EQ(view->currentPage(), 24);
    EXPECT_EQ(spin->value(), 25);
    host.grab();
    EXPECT_LE(view->pagesDrawn() - drawnBefore, 2);
    click("PagePrevious");
    EXPECT_EQ(view->currentPage(), 23);
    click("PageNext");
    EXPECT_EQ(view->currentPage(), 24);
    click("PageFirst");
    EXPECT_EQ(view->currentPage(), 0);
    spin->setValue(2);
    const int pageStep = view->verticalScrollBar()->value();
    EXPECT_GT(pageStep, view->viewport()->height() / 2);
    spin->setValue(12);
    EXPECT_EQ(view->currentPage(), 11);
    EXPECT_EQ(view->verticalScrollBar()->value(), 11 * pageStep);

    // Zoom: in and out by steps, back to the page's width, or the whole page.
    const double fitted = view->zoomFactor();
    click("ZoomIn");
    EXPECT_GT(view->zoomFactor(), fitted);
    EXPECT_EQ(view->currentPage(), 11);
    click("ZoomOut");
    click("ZoomOut");
    EXPECT_LT(view->zoomFactor(), fitted);
    click("FitWidth");
    EXPECT_DOUBLE_EQ(view->zoomFactor(), fitted);
    click("FitPage");
    EXPECT_LT(view->zoomFactor(), fitted);  // the window is wider than it is high

    // A new report replaces the one on show and starts at its first page.
    book.exec("delete from PrTA1 where rowid > 15");
    setUp("long.rpt");
    ASSERT_TRUE(cry.setAction(1));
    EXPECT_EQ(cry.previewWidget(), preview);
    EXPECT_EQ(view->pageCount(), 2);
    EXPECT_EQ(view->currentPage(), 0);
    EXPECT_EQ(total->text(), "/ 2");
}
