#include "StockList.h"

#include "db/Database.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"
#include "stock/StockListSql.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

using namespace frames;
using namespace stock::stocklist;

namespace {

// The columns the window reads back, sums and prints as numbers.
const int kQuantityColumn = columnOf(listColumns(false), u"TA4.F8");
const int kPriceColumn = columnOf(listColumns(false), u"TA4.F71");
const int kAmountColumn = columnOf(listColumns(false), u"TA4.F71*TA4.F8");

ReportWindowKind stockListKind()
{
    ReportWindowKind k;
    k.name = QStringLiteral("C1");
    k.caption = QStringLiteral("库存货品统计");
    k.captions = columnCaptions(listColumns(false));
    k.statusPrefix = QStringLiteral("货品库存资料：共 ");
    k.totalsLabel = QStringLiteral("合计：");
    k.totalsLabelColumn = 4;
    k.totalledColumns = {kAmountColumn, kQuantityColumn};
    k.heightMarginTwips = 500;
    k.widthDivisor = 8;
    k.widthLessTwips = 50;
    k.quantityOnlyTransfers = {{1, kPriceColumn}, {4, kAmountColumn}};
    return k;
}

} // namespace

C1::C1(QWidget *parent) : ReportWindow(stockListKind(), parent)
{
    buildMenus();
    const Module1 &m = Module1::instance();
    menu_M->menuAction()->setVisible(m.gMayViewCost && !quantityOnly());

    ReportSql = kSaleSelectPart + kStockCondition;
    rowLimit_ = kListLimit;
    OrderClause = kDefaultOrder;
    SelectPart = kSaleSelectPart;
    layoutReportWindow();
    fillReportGrid(ReportSql);
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
    addSortMenu({{0, QStringLiteral("&1.按货品编码"), QStringLiteral("order by TA4.F1")},
                 {1, QStringLiteral("&2.按所属类别"), QStringLiteral("order by TA4.F3"), false},
                 {2, QStringLiteral("&2.按库存数量"), QStringLiteral("order by TA4.F8")},
                 {3, QStringLiteral("&3.按核算价格"), QStringLiteral("order by TA4.F7")},
                 {4, QStringLiteral("&4.按库存金额"), QStringLiteral("order by TA4.F7*TA4.F8")}},
                0);

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

bool C1::costShown() const
{
    return SelectPart == kCostSelectPart;
}

QString C1::priceField() const
{
    return costShown() ? QStringLiteral("TA4.F7") : QStringLiteral("TA4.F71");
}

QString C1::fillStatement(const QString &sql) const
{
    QString statement = ReportWindow::fillStatement(sql);
    if (rowLimit_ > 0)
        statement += QStringLiteral(" limit ") + QString::number(rowLimit_);
    return statement;
}

void C1::appendRecord(TextRows &rows, const db::Statement &row) const
{
    addListCells(rows, row, listColumns(costShown()), moneyPattern());
    rows.endRow();
}

// The alarm views show the price basis on show, so the price column always
// holds what its caption says.
void C1::showAlarmView(const QString &condition, QAction *checked, const QString &caption)
{
    Menu_Bellow->setChecked(checked == Menu_Bellow);
    Menu_Morethan->setChecked(checked == Menu_Morethan);
    ReportSql = SelectPart + condition;
    rowLimit_ = kAlarmLimit;
    fillReportGrid(ReportSql);
    setWindowTitle(caption);
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
    const QString conditions = ReportSql.mid(kSaleSelectPart.size());
    SelectPart = index == 0 ? kCostSelectPart : kSaleSelectPart;
    kind_.captions = columnCaptions(listColumns(costShown()));
    ReportSql = SelectPart + conditions;
    rowLimit_ = 0;
    for (int sort : {3, 4})
        if (QAction *item = sortItem(sort); item && item->isChecked())
            OrderClause = sortOrder(sort);
    fillReportGrid(ReportSql);
}

// The price and amount sorts follow the price on show.
QString C1::sortOrder(int index) const
{
    if (index == 3)
        return QStringLiteral("order by ") + priceField();
    if (index == 4)
        return QStringLiteral("order by ") + priceField() + QStringLiteral("*TA4.F8");
    return ReportWindow::sortOrder(index);
}

// ---- query and print ---------------------------------------------------------------

// The price and amount conditions compare the price on show.
QVector<QueryField> C1::queryFields() const
{
    return frames::queryFields(listColumns(costShown()));
}

void C1::afterQuery(bool answered)
{
    if (answered) {
        rowLimit_ = 0;
        fillReportGrid(ReportSql);
        setWindowTitle(QStringLiteral("库存存货统计-按条件查找"));
    }
    Menu_Bellow->setChecked(false);
    Menu_Morethan->setChecked(false);
}

QVariantList C1::stagingValues(int, int row) const
{
    QVariantList values;
    for (int c = 0; c < kQuantityColumn; ++c)
        values.append(cell(row, c));
    values.append(numtext::leadingNumber(cell(row, kQuantityColumn)));
    if (quantityOnly()) {
        values.append(0.0);
        values.append(0.0);
    } else {
        values.append(numtext::leadingNumber(cell(row, kPriceColumn)));
        values.append(numtext::leadingNumber(cell(row, kAmountColumn)));
    }
    return values;
}
