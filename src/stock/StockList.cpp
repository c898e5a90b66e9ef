#include "StockList.h"

#include "db/Database.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace frames;
using namespace stock::stocklist;

namespace {

ReportWindowKind stockListKind(const PriceBasisColumns &columns)
{
    ReportWindowKind k;
    k.name = QStringLiteral("C1");
    k.caption = QStringLiteral("库存货品统计");
    takeColumns(k, columns.sale);
    k.statusPrefix = QStringLiteral("货品库存资料：共 ");
    k.totalsLabel = QStringLiteral("合计：");
    k.heightMarginTwips = 500;
    k.widthDivisor = int(columns.sale.size());
    k.widthLessTwips = 50;
    k.quantityOnlyTransfers = roomTransfers(columns.sale, {StockColumn::PriceFigure});
    return k;
}

} // namespace

C1::C1(QWidget *parent) : C1(listColumns(), parent)
{
}

C1::C1(const PriceBasisColumns &columns, QWidget *parent)
    : ReportWindow(stockListKind(columns), parent),
      columns_(columns),
      saleSelectPart_(stock::stocklist::selectPart(columns.sale)),
      costSelectPart_(stock::stocklist::selectPart(columns.cost))
{
    buildMenus();
    const Module1 &m = Module1::instance();
    menu_M->menuAction()->setVisible(m.gMayViewCost && !quantityOnly());

    OrderClause = kDefaultOrder;
    SelectPart = saleSelectPart_;
    layoutReportWindow();
    showList(kStockCondition, kListLimit);
}

void C1::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto *sos = new QMenu(QStringLiteral("&R.库存报警"), this);
    sos->menuAction()->setObjectName(QStringLiteral("Menu_Sos"));
    bar->addMenu(sos);
    Menu_Bellow = sos->addAction(QStringLiteral("&1.存量低于安全库存的货品"));
    Menu_Bellow->setObjectName(QStringLiteral("Menu_Bellow"));
    Menu_Morethan = sos->addAction(QStringLiteral("&2.存量超出最高库存的货品"));
    Menu_Morethan->setObjectName(QStringLiteral("Menu_Morethan"));
    for (QAction *item : {Menu_Bellow, Menu_Morethan})
        item->setCheckable(true);
    connect(Menu_Bellow, &QAction::triggered, this, [this] { showLowStockView(); });
    connect(Menu_Morethan, &QAction::triggered, this, [this] { showHighStockView(); });

    addQueryMenu();
    QVector<ReportSortItem> sorts;
    for (int c : sortColumns(columns_.sale)) {
        const ListColumn &column = columns_.sale[c];
        sorts.append({int(sorts.size()), column.sort.caption, frames::sortOrder(column), column.sort.offered});
    }
    addSortMenu(sorts, 0);

    menu_M = new QMenu(QStringLiteral("&M.价格显示"), this);
    menu_M->menuAction()->setObjectName(QStringLiteral("menu_M"));
    bar->addMenu(menu_M);
    const QString captions[2] = {QStringLiteral("&1.成本价格"), QStringLiteral("&1.销售价格")};
    for (int i = 0; i < 2; ++i) {
        Menu_price[i] = menu_M->addAction(captions[i]);
        Menu_price[i]->setObjectName(QStringLiteral("Menu_price") + QString::number(i));
        Menu_price[i]->setCheckable(true);
        connect(Menu_price[i], &QAction::triggered, this, [this, i] { switchPriceBasis(i); });
    }
    Menu_price[1]->setChecked(true);

    addPrintMenu({{QStringLiteral("Menu_print"), QStringLiteral("&P.打印"), QStringLiteral("prntc1.rpt"),
                   QStringLiteral("Prntc1.rpt"), QStringLiteral("PRTc1"), {}, {}, QStringLiteral("Prntc1sl.rpt")}});
    addReturnMenu();
}

void C1::setAutoOpen(int view)
{
    AutoOpen = view;
    if (shown_)
        return;
    if (view == 1)
        showLowStockView();
    else if (view == 2)
        showHighStockView();
}

void C1::showEvent(QShowEvent *event)
{
    shown_ = true;
    ReportWindow::showEvent(event);
}

// ---- views -------------------------------------------------------------------

QString C1::fillStatement(const QString &sql) const
{
    QString statement = ReportWindow::fillStatement(sql);
    if (rowLimit_ > 0)
        statement += QStringLiteral(" limit ") + QString::number(rowLimit_);
    return statement;
}

void C1::appendRecord(TextRows &rows, const db::Statement &row) const
{
    addListCells(rows, row, shownColumns(), moneyPattern());
    rows.endRow();
}

// The alarm views show the price basis on show, so the price column always
// holds what its caption says.
void C1::showAlarmView(const QString &condition, QAction *checked, const QString &caption)
{
    Menu_Bellow->setChecked(checked == Menu_Bellow);
    Menu_Morethan->setChecked(checked == Menu_Morethan);
    showList(condition, kAlarmLimit);
    setWindowTitle(caption);
}

void C1::showList(const QString &conditions, int rowLimit)
{
    conditions_ = conditions;
    ReportSql = SelectPart + conditions_;
    rowLimit_ = rowLimit;
    fillReportGrid(ReportSql);
}

void C1::showLowStockView()
{
    showAlarmView(kBelowSafetyCondition, Menu_Bellow, QStringLiteral("库存报警：低于安全库存的货品"));
}

void C1::showHighStockView()
{
    showAlarmView(kAboveMaximumCondition, Menu_Morethan, QStringLiteral("库存报警：高于最高库存的货品"));
}

// Keeps the list's conditions under the other select part; the list then has no row limit.
void C1::switchPriceBasis(int index)
{
    Menu_price[0]->setChecked(index == 0);
    Menu_price[1]->setChecked(index == 1);
    costShown_ = index == 0;
    SelectPart = costShown_ ? costSelectPart_ : saleSelectPart_;
    takeColumns(kind_, shownColumns());
    for (int sort = 0; QAction *item = sortItem(sort); ++sort)
        if (item->isChecked())
            OrderClause = sortOrder(sort);
    showList(conditions_, 0);
}

// The sorts follow the price on show.
QString C1::sortOrder(int index) const
{
    const QVector<int> sorts = sortColumns(shownColumns());
    if (index >= 0 && index < sorts.size())
        return frames::sortOrder(shownColumns()[sorts[index]]);
    return ReportWindow::sortOrder(index);
}

// ---- query and print ---------------------------------------------------------------

// The price and amount conditions compare the price on show.
QVector<QueryField> C1::queryFields() const
{
    return frames::queryFields(shownColumns());
}

// The dialog opens on the quantity.
int C1::queryStartField() const
{
    return queryFieldOf(shownColumns(), columnWith(shownColumns(), CellKind::Quantity));
}

// The answer is the select part on show and the dialog's conditions.
void C1::afterQuery(bool answered)
{
    if (answered) {
        showList(PubConditions.isEmpty() ? QString() : QStringLiteral("where ") + PubConditions + QLatin1Char(' '), 0);
        setWindowTitle(QStringLiteral("库存存货统计-按条件查找"));
    }
    Menu_Bellow->setChecked(false);
    Menu_Morethan->setChecked(false);
}

// The printed columns in their order: texts as shown, figures as numbers;
// in quantity-only mode no price or amount.
QVariantList C1::stagingValues(int, int row) const
{
    const ListColumns &columns = shownColumns();
    QVariantList values;
    for (int c : printedColumns(columns)) {
        const ListColumn &column = columns[c];
        if (column.kind == CellKind::Text)
            values.append(cell(row, c));
        else if (quantityOnly() && column.role == StockColumn::PriceFigure)
            values.append(0.0);
        else
            values.append(numtext::leadingNumber(cell(row, c)));
    }
    return values;
}
