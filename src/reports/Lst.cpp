#include "Lst.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/NumberText.h"
#include "platform/TextRows.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"

#include <QAction>
#include <QTableView>

using namespace reports::statistics;

namespace {

constexpr int kLineListPrint = 0;
const QString kDefaultKind = QStringLiteral("B2");

frames::ReportWindowKind statisticsFrame()
{
    frames::ReportWindowKind k;
    k.name = QStringLiteral("Lst");
    k.caption = QStringLiteral("单据统计");
    for (int c = 0; c < ColumnCount; ++c)
        k.captions.append(QString());
    k.totalsLabel = QStringLiteral("合计：");
    k.totalsLabelColumn = GoodsNameColumn;
    k.totalledColumns = {QuantityColumn, AmountColumn};
    frames::alignFiguresRight(k, {QuantityColumn, PriceColumn, AmountColumn});
    k.heightMarginTwips = 500;
    k.widthDivisor = 13;
    k.widthLessTwips = 20;
    k.hiddenColumns = {PartyCodeColumn, CategoryCodeColumn};
    k.quantityOnlyTransfers = {{PartyColumn, PriceColumn}, {GoodsNameColumn, AmountColumn}};
    return k;
}

QStringList stagingColumns()
{
    QStringList columns = StagingColumns(0, ColumnCount);
    columns << QStringLiteral("V1") << QStringLiteral("V2");
    return columns;
}

} // namespace

Lst::Lst(QWidget *parent) : ReportWindow(statisticsFrame(), parent)
{
    addQueryMenu();
    addSortMenu({{0, QStringLiteral("&1.按单据日期"), {}},
                 {1, QStringLiteral("&2.按相关单位"), {}},
                 {2, QStringLiteral("&3.按货品编码"), {}},
                 {3, QStringLiteral("&4.按发生数量"), {}},
                 {4, QStringLiteral("&5.按货品价格"), {}},
                 {5, QStringLiteral("&6.按发生金额"), {}}},
                0);
    const QStringList columns = stagingColumns();
    addPrintMenu({{QStringLiteral("Menu_print1"), QStringLiteral("&A.打印流水帐"), QString(),
                   QStringLiteral("Plist.rpt"), QStringLiteral("Plist"), {}, columns, {}},
                  {QStringLiteral("Menu_print2"), QStringLiteral("&B.打印合计报表"), QString(),
                   QStringLiteral("Psum.rpt"), QStringLiteral("Plist"), {}, columns, {}}});
    addReturnMenu();
}

const StatisticsKind &Lst::statKind() const
{
    return kind_stat_ ? *kind_stat_ : *kindOf(kDefaultKind);
}

void Lst::setWhoami(const QString &code)
{
    whoami_ = code;
    const StatisticsKind *chosen = kindOf(code);
    if (chosen && chosen != kind_stat_)
        InitReportWindow(*chosen);
}

// A window shown before any kind was chosen lists stock-in notes.
void Lst::showEvent(QShowEvent *event)
{
    if (!kind_stat_) {
        const StatisticsKind *chosen = kindOf(whoami_);
        InitReportWindow(chosen ? *chosen : *kindOf(kDefaultKind));
    }
    ReportWindow::showEvent(event);
}

// Loads a kind: captions, today's audited lines, ordered by date.
void Lst::InitReportWindow(const StatisticsKind &kind)
{
    kind_stat_ = &kind;
    kind_.caption = kind.caption();
    kind_.captions = gridCaptions(kind);
    kind_.statusPrefix = kind.word + QStringLiteral("资料：共 ");
    setWindowTitle(kind_.caption);
    setReportGridHeaders();
    for (int i = 0; i < kSortItems; ++i)
        if (QAction *item = sortItem(i))
            item->setChecked(i == 0);
    OrderClause = reports::statistics::sortOrder(kind, 0);
    conditions_ = documentsOnDayCondition(kind);
    todayScope_ = true;
    ReportSql = heldStatement(kind, conditions_);
    // The fill and the layout may come in either order: the columns are
    // fitted to the day's lines from the widths the layout gives them, once,
    // when the grid first shows (a window never shown measures nothing; one
    // on show is fitted again after each fill).
    fillReportGrid(ReportSql);
    layoutReportWindow();
}

QString Lst::fillStatement(const QString &sql) const
{
    return listStatement(statKind(), sql, !conditions_.trimmed().isEmpty(), OrderClause);
}

QVariantList Lst::fillParameters() const
{
    if (!todayScope_)
        return {};
    return db::onDayValues(Module1::instance().Today());
}

// Text columns as read (empty for Null); quantity, price and amount as
// numbers (0 for Null), prices and amounts rounded to the money decimals.
void Lst::appendRecord(TextRows &rows, const db::Statement &row) const
{
    for (int c = 0; c < ColumnCount; ++c) {
        if (c == QuantityColumn)
            rows.addCell(numtext::numToChars(row.number(c)).view());
        else if (c == PriceColumn || c == AmountColumn)
            addMoneyText(rows, row.number(c));
        else
            addFieldText(rows, row, c);
    }
    rows.endRow();
}

QString Lst::sortOrder(int index) const
{
    return reports::statistics::sortOrder(statKind(), index);
}

// ---- query and print ---------------------------------------------------------------

QString Lst::queryBase() const
{
    return baseStatement(statKind());
}

QVector<QueryField> Lst::queryFields() const
{
    return reports::statistics::queryFields(statKind(), kind_.captions);
}

// The answer replaces today's scope; its conditions are kept apart, so the
// audited condition is added after them in parentheses.
void Lst::afterQuery(bool answered)
{
    if (!answered)
        return;
    conditions_ = PubConditions;
    todayScope_ = false;
    ReportSql = heldStatement(statKind(), conditions_);
    fillReportGrid(ReportSql);
}

QVariant Lst::stagingKey(int, int row) const
{
    return QStringLiteral("%1").arg(row, 5, 10, QLatin1Char('0'));
}

// Every column as shown (hidden ones too), then quantity and amount as numbers.
QVariantList Lst::stagingValues(int, int row) const
{
    QVariantList values;
    for (int c = 0; c < ColumnCount; ++c)
        values.append(cell(row, c));
    values.append(numtext::leadingNumber(cell(row, QuantityColumn)));
    values.append(numtext::leadingNumber(cell(row, AmountColumn)));
    return values;
}

QStringList Lst::printFormulas(int print) const
{
    return {FormulaText(QStringLiteral("Cpt"),
                        print == kLineListPrint ? lineListTitle(statKind()) : summaryTitle(statKind()))};
}

// The unit column is half as wide as the quantity column.
void Lst::adjustColumns()
{
    if (!GD->isColumnHidden(QuantityColumn))
        GD->setColumnWidth(UnitColumn, qRound(GD->columnWidth(QuantityColumn) / 2.0));
}
