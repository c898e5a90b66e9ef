#include "StocktakingReport.h"

#include "db/DateText.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"

using namespace frames;

namespace {

constexpr int kQuantityColumn = 7;
constexpr int kPriceColumn = 8;
constexpr int kAmountColumn = 9;
constexpr int kJournalPrint = 0;

const QString kSelectPart = QStringLiteral(
    "select TC2.F1,TC2.F2,TC2.F3 AS LB,TC21.F1,TA4.F2,TA4.F5,TA4.F4,TC21.F6-TC21.F5 AS YK,TC21.F7,"
    "(TC21.F6-TC21.F5)*TC21.F7 AS je ");
const QString kFromPart =
    QStringLiteral("from TC2 left join (TC21 left Join TA4 on TC21.F1=TA4.F1) on TC21.F0=TC2.F1  ");
// Only audited notes count: a stocktaking audit names its auditor and is never undone.
const QString kAuditedTest = QStringLiteral("(TC2.F6 is not Null and TC2.F6<>'')");

ReportWindowKind stocktakingKind()
{
    ReportWindowKind k;
    k.name = QStringLiteral("C3");
    k.caption = QStringLiteral("库存货品盘点统计");
    k.captions = {QStringLiteral("盘点单号"), QStringLiteral("盘点日期"), QStringLiteral("盘点人"),
                  QStringLiteral("货品编码"), QStringLiteral("货品名称"), QStringLiteral("规格"),
                  QStringLiteral("单位"),     QStringLiteral("盈亏数"),   QStringLiteral("核算价格"),
                  QStringLiteral("盈亏额")};
    k.statusPrefix = QStringLiteral("货品入库资料：共 ");
    k.totalsLabel = QStringLiteral("盈亏额合计：");
    k.totalsLabelColumn = kPriceColumn;
    k.totalledColumns = {kAmountColumn};
    alignFiguresRight(k, {kQuantityColumn, kPriceColumn, kAmountColumn});
    k.widthDivisor = 9;
    k.widthLessTwips = 20;
    k.hiddenColumns = {2};
    k.quantityOnlyTransfers = {{5, kPriceColumn}, {4, kAmountColumn}};
    return k;
}

QString moneyText(const QString &text)
{
    if (text.isEmpty())
        return text;
    return numtext::formatNumber(numtext::leadingNumber(text), Module1::instance().gMoneyFormat);
}

} // namespace

QString C3::baseSelect()
{
    return kSelectPart + kFromPart;
}

C3::C3(QWidget *parent) : ReportWindow(stocktakingKind(), parent)
{
    addQueryMenu();
    // The date item orders by the date, as its caption says.
    addSortMenu({{1, QStringLiteral("&1.按盘点日期"), QStringLiteral("order by TC2.F2")},
                 {2, QStringLiteral("&2.按货品编码"), QStringLiteral("order by TC21.F1")},
                 {3, QStringLiteral("&3.按盈亏数量"), QStringLiteral("order by TC21.F6-TC21.F5")},
                 {4, QStringLiteral("&4.按核算价格"), QStringLiteral("order by TC21.F7")},
                 {5, QStringLiteral("&5.按盈亏金额"), QStringLiteral("order by (TC21.F6-TC21.F5)*TC21.F7")}},
                1);
    addPrintMenu({{QStringLiteral("Menu_print1"), QStringLiteral("&A.打印流水帐"), QStringLiteral("Prntlst.rpt"),
                   QStringLiteral("Prntlst.rpt"), QStringLiteral("PRTB2"),
                   {FormulaText(QStringLiteral("Cpt"), QStringLiteral("货品盘点流水帐"))}, {}, {}},
                  {QStringLiteral("Menu_print2"), QStringLiteral("&B.打印合计报表"), QStringLiteral("prntc3.rpt"),
                   QStringLiteral("Prntc3.rpt"), QStringLiteral("PRTB2"),
                   {FormulaText(QStringLiteral("Cpt"), QStringLiteral("货品盘点报表"))}, {}, {}}});
    addReturnMenu();

    OrderClause = QStringLiteral("order by TC2.F2");
    ReportSql = baseSelect() + QStringLiteral(" Where ") +
                db::literalDayCondition(QStringLiteral("TC2.F2"), db::DayRelation::On, Module1::instance().Today()) +
                QLatin1Char(' ');
    layoutReportWindow();
    fillReportGrid(ReportSql);
}

QString C3::fillStatement(const QString &sql) const
{
    const QString audited = sql.contains(QStringLiteral("Where")) ? QStringLiteral(" and ") + kAuditedTest
                                                                  : QStringLiteral(" Where ") + kAuditedTest;
    return ReportWindow::fillStatement(sql + audited);
}

void C3::appendRecord(TextRows &rows, const db::Statement &row) const
{
    ReportWindow::appendRecord(rows, row);
    reviseLastCell(rows, kPriceColumn, moneyText);
    reviseLastCell(rows, kAmountColumn, moneyText);
}

QVector<QueryField> C3::queryFields() const
{
    const QStringList &c = kind_.captions;
    return {{c[0], QStringLiteral("TC2.F1"), QStringLiteral("0")},
            {c[1], QStringLiteral("TC2.F2"), QStringLiteral("2")},
            {c[2], QStringLiteral("TC2.F3"), QStringLiteral("0")},
            {c[3], QStringLiteral("TC21.F1"), QStringLiteral("0")},
            {c[7], QStringLiteral("(TC21.F6-TC21.F5)"), QStringLiteral("1")},
            {c[8], QStringLiteral("TC21.F7"), QStringLiteral("1")},
            {c[9], QStringLiteral("TC21.F7*(TC21.F6-TC21.F5)"), QStringLiteral("1")}};
}

// The operator's conditions are kept in parentheses, so an "or" among them
// cannot reach past the audited test.
void C3::afterQuery(bool answered)
{
    if (!answered)
        return;
    if (!PubConditions.isEmpty())
        ReportSql = baseSelect() + QStringLiteral(" Where (") + PubConditions + QStringLiteral(") ");
    fillReportGrid(ReportSql);
}

QVariantList C3::stagingValues(int print, int row) const
{
    QVariantList values;
    for (int c = 0; c < 4; ++c)
        values.append(cell(row, c));
    if (print == kJournalPrint)
        values.append(cell(row, 4) + QLatin1Char('/') + cell(row, 5) + QLatin1Char('/') + cell(row, 6));
    else
        values.append(cell(row, 4));
    for (int c : {kQuantityColumn, kPriceColumn, kAmountColumn})
        values.append(numtext::leadingNumber(cell(row, c)));
    return values;
}
