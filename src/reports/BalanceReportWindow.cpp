#include "BalanceReportWindow.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/GridModel.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "reports/BalanceReport.h"
#include "shell/GridColumnFit.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

using namespace reports;

namespace {

constexpr double kTwipsPerPixel = 15.0;

const QStringList kOrders = {QStringLiteral("TA4.F1"), QStringLiteral("TA4.F2"), QStringLiteral("TA4.F5"),
                             QStringLiteral("TA4.F4"), QStringLiteral("TA4.F8 desc")};

frames::ReportWindowKind balanceKind()
{
    frames::ReportWindowKind k;
    k.name = QStringLiteral("C18");
    k.caption = QStringLiteral("货品进出存统计报表");
    k.captions = {QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), QStringLiteral("货品价格"),
                  QStringLiteral("计量单位"), QStringLiteral("上期结存"),      QStringLiteral("本期入库"),
                  QStringLiteral("本期退货"), QStringLiteral("本期出库"),      QStringLiteral("本期退库"),
                  QStringLiteral("本期结存")};
    k.statusPrefix = QStringLiteral("货品进出存报表：共 ");
    k.totalsLabel = QStringLiteral("合计：");
    k.totalsLabelColumn = 3;
    k.heightMarginTwips = 500;
    k.emptyPrintMessage = QStringLiteral("没有数据可打印！");
    k.quantityOnlyTransfers = {{1, 2}};
    return k;
}

} // namespace

C18::C18(QWidget *parent) : ReportWindow(balanceKind(), parent)
{
    Module1 &m = Module1::instance();
    buildFrame();
    addSortMenu({{0, QStringLiteral("&1.按货品编码"), kOrders[0]},
                 {1, QStringLiteral("&2.按货品名称"), kOrders[1]},
                 {2, QStringLiteral("&3.按货品规格"), kOrders[2]},
                 {3, QStringLiteral("&4.按计量单位"), kOrders[3]},
                 {4, QStringLiteral("&5.按现存数量"), kOrders[4]}},
                0);
    menu_M = new QMenu(QStringLiteral("&M.价格显示"), this);
    menu_M->menuAction()->setObjectName(QStringLiteral("menu_M"));
    menuBar()->addMenu(menu_M);
    for (int i = 0; i < 2; ++i) {
        Menu_price[i] = menu_M->addAction(i == 0 ? QStringLiteral("&1.成本价格") : QStringLiteral("&2.销售价格"));
        Menu_price[i]->setObjectName(QStringLiteral("Menu_price") + QString::number(i));
        Menu_price[i]->setCheckable(true);
        Menu_price[i]->setChecked(i == 1);
        connect(Menu_price[i], &QAction::triggered, this, [this, i] { switchPriceBasis(i); });
    }
    // Cost prices only for operators who may see them, and never without prices.
    menu_M->menuAction()->setVisible(m.gMayViewCost && !quantityOnly());
    QAction *print = menuBar()->addAction(QStringLiteral("&P.打印"));
    print->setObjectName(QStringLiteral("Menu_print"));
    connect(print, &QAction::triggered, this, [this] { printReport(); });
    addReturnMenu()->setObjectName(QStringLiteral("Menu_Rtn"));

    const QDate today = m.Today();
    DTP[0]->setDate(QDate(today.year(), today.month(), 1));
    DTP[1]->setDate(today);
    fillFilterCombos();
    OrderClause = kOrders[0];
    setReportGridHeaders();
}

void C18::buildFrame()
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("Frm"));
    auto *row = new QHBoxLayout(frame);
    const QStringList labels = {QStringLiteral("统计日期：由"), QStringLiteral("至"), QStringLiteral("货品类别："),
                                QStringLiteral("货品编码：")};
    auto label = [&](int i) {
        auto *l = new QLabel(labels[i], frame);
        l->setObjectName(QStringLiteral("Labe") + QString::number(i));
        row->addWidget(l);
    };
    for (int i = 0; i < 2; ++i) {
        label(i);
        DTP[i] = new QDateEdit(frame);
        DTP[i]->setObjectName(QStringLiteral("DTP") + QString::number(i));
        DTP[i]->setCalendarPopup(true);
        DTP[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        row->addWidget(DTP[i]);
    }
    label(2);
    Comb = new QComboBox(frame);
    Comb->setObjectName(QStringLiteral("Comb"));
    row->addWidget(Comb);
    label(3);
    Txt = new QLineEdit(QStringLiteral("所有货品"), frame);
    Txt->setObjectName(QStringLiteral("Txt"));
    row->addWidget(Txt);
    Cmd = new QPushButton(QStringLiteral("生成报表"), frame);
    Cmd->setObjectName(QStringLiteral("Cmd"));
    row->addWidget(Cmd);
    row->addStretch();
    setTopFrame(frame);
    connect(Cmd, &QPushButton::clicked, this, [this] { FillReportGrid(); });
    connect(GD, &QTableView::clicked, this, [this] { showListStatus(); });
}

void C18::fillFilterCombos()
{
    Comb->clear();
    Comb->addItem(QStringLiteral("所有类别"));
    db::Statement st = Module1::instance().gDb.prepare(QStringLiteral("select F1,F2 from TA3"));
    while (st.next())
        Comb->addItem(st.text(0) + QLatin1Char('.') + st.text(1));
    Comb->setCurrentIndex(0);
}

QString C18::sortOrder(int index) const
{
    return kOrders.value(index, kOrders[0]);
}

void C18::sortBy(int index)
{
    sortIndex_ = index;
}

void C18::switchPriceBasis(int index)
{
    for (int i = 0; i < 2; ++i)
        Menu_price[i]->setChecked(i == index);
    FillReportGrid();
}

void C18::FillReportGrid()
{
    Module1 &m = Module1::instance();
    // A sort item also recomputes: the frame keeps the chosen order here.
    BalanceFilter filter;
    filter.from = DTP[0]->date();
    filter.to = DTP[1]->date();
    if (Comb->currentIndex() > 0)
        filter.categoryCode = Comb->currentText().section(QLatin1Char('.'), 0, 0);
    filter.goodsPattern = Txt->text();
    filter.costPrice = Menu_price[0]->isChecked();
    filter.order = OrderClause.isEmpty() ? kOrders[0] : OrderClause;

    // The wait pointer lasts until the grid is filled and its columns fitted
    // (the hold ends before the pointer does); a refusal is told without it.
    std::optional<WaitCursor> busy(std::in_place);
    ColumnFitHold fitOnce(GD);
    setReportGridHeaders();
    BalanceReport report;
    QString error;
    m.ShowLoadingInStatusBar();
    if (!ComputeBalanceReport(m.gDb, filter, m.gMoneyFormat, &report, &error)) {
        busy.reset();
        Prompt::current().message(QStringLiteral("提示"), error, Prompt::Icon::Information);
        m.ShowBookNameInStatusBar();
        return;
    }
    if (report.rows.isEmpty()) {
        m.ShowBookNameInStatusBar();
        return;
    }
    QVector<QStringList> rows = report.rows;
    rows.append(report.totals);
    grid().setDataRows(std::move(rows));
    setHasTotalsRow(true);
    CurRow = 0;  // right after a computation no row is current
    showListStatus();
}

// Columns by the window's inner width: code W/10, name W/5, the others W/12
// less 10 twips; in quantity-only mode the name takes the price's width.
void C18::adjustColumnWidths(QVector<int> &widths) const
{
    const double w = width() * kTwipsPerPixel;
    auto px = [](double twips) { return qMax(0, qRound(twips / kTwipsPerPixel)); };
    widths.fill(px(w / 12 - 10));
    widths[0] = px(w / 10);
    widths[1] = px(w / 5);
}

void C18::printReport()
{
    if (recordCount() == 0 || cell(1, 0).isEmpty()) {
        Prompt::current().message(QString(), QStringLiteral("没有数据可打印！"), Prompt::Icon::Information);
        return;
    }
    const GridModel &g = grid();
    PrintRequest request;
    request.reportFile = QStringLiteral("pjxc01.rpt");
    request.testedFile = QStringLiteral("pjxc01.rpt");
    request.stagingTable = QStringLiteral("Plist");
    request.stagingColumns = StagingColumns(0, 10);
    for (int r = 1; r <= g.rows() - 2; ++r) {
        QVariantList values{QStringLiteral("%1").arg(r, 4, 10, QLatin1Char('0'))};
        for (int c = 0; c < 10; ++c)
            values.append(g.textMatrix(r, c));
        request.stagingRows.append(values);
    }
    const int totals = g.rows() - 1;
    request.formulas = {FormulaText(QStringLiteral("RQ"), QStringLiteral("报表周期：") + db::dateText(DTP[0]->date()) +
                                                              QStringLiteral("至") + db::dateText(DTP[1]->date())),
                        FormulaText(QStringLiteral("LB"), QStringLiteral("货品类别：") + Comb->currentText()),
                        FormulaText(QStringLiteral("cpt"), windowTitle())};
    for (int k = 1; k <= 6; ++k)
        request.formulas.append(FormulaText(QStringLiteral("s") + QString::number(k), g.textMatrix(totals, k + 3)));
    RunPrintRequest(request);
}
