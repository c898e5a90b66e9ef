#include "PeriodReportWindow.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "reports/YearEnd.h"
#include "shell/GridColumnFit.h"
#include "shell/MergedCaptionHeader.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace reports;

namespace {

constexpr double kTwipsPerPixel = 15.0;
const QString kGenerateWord = QStringLiteral("生成报表");

void inform(const QString &text, const QString &title = QString())
{
    Prompt::current().message(title, text, Prompt::Icon::Information);
}

const QStringList kGroupCaptions = {
    QStringLiteral("货品属性"), QStringLiteral("货品属性"), QStringLiteral("货品属性"), QStringLiteral("年初余额"),
    QStringLiteral("年初余额"), QStringLiteral("上期结存"), QStringLiteral("上期结存"), QStringLiteral("本期入库"),
    QStringLiteral("本期入库"), QStringLiteral("入库累计"), QStringLiteral("入库累计"), QStringLiteral("本期出库"),
    QStringLiteral("本期出库"), QStringLiteral("出库累计"), QStringLiteral("出库累计"), QStringLiteral("本期结存"),
    QStringLiteral("本期结存")};

QStringList columnCaptions()
{
    QStringList c = {QStringLiteral("编码"), QStringLiteral("名称/规格/单位"), QStringLiteral("成本均价")};
    for (int i = 0; i < 7; ++i)
        c << QStringLiteral("数量") << QStringLiteral("金额");
    return c;
}

frames::ReportWindowKind periodKind()
{
    frames::ReportWindowKind k;
    k.name = QStringLiteral("C181");
    k.caption = QStringLiteral("货品进出存综合统计报表");
    k.captions = kGroupCaptions;
    k.statusPrefix = QStringLiteral("货品进出存报表：共 ");
    k.totalsLabel = QStringLiteral("合计：");
    k.heightMarginTwips = 500;
    k.headingRows = 2;
    k.totalsRowPicksFirst = true;
    return k;
}

// Print items: the columns staged in F4..F11 and totalled in s1..s8.
const QVector<int> kPeriodPrintColumns = {kCarriedQty,   kCarriedAmount,   kPeriodInQty, kPeriodInAmount,
                                          kPeriodOutQty, kPeriodOutAmount, kClosingQty,  kClosingAmount};
const QVector<int> kYearPrintColumns = {kOpeningQty, kOpeningAmount, kYearInQty,  kYearInAmount,
                                        kYearOutQty, kYearOutAmount, kClosingQty, kClosingAmount};

} // namespace

C181::C181(QWidget *parent) : ReportWindow(periodKind(), parent)
{
    MergeEqualCaptions(GD);  // "货品属性" once over three columns, each group once over its pair
    buildFrame();
    buildMenus();

    Module1 &m = Module1::instance();
    ClosingMethod = kByPeriodMovement;
    YearBegin = db::parseDate(m.GetSingleValue(QStringLiteral("select F7 from reginfo")));
    if (!YearBegin.isValid())
        YearBegin = QDate(2004, 1, 1);
    showYearBegin();
    gdClear();
    setComb();
}

void C181::buildFrame()
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("Frm"));
    auto *row = new QHBoxLayout(frame);
    auto *label = new QLabel(QStringLiteral("选择报表："), frame);
    label->setObjectName(QStringLiteral("Labe"));
    Comb = new QComboBox(frame);
    Comb->setObjectName(QStringLiteral("Comb"));
    Comb->setMinimumContentsLength(30);
    Cmd = new QPushButton(kGenerateWord, frame);
    Cmd->setObjectName(QStringLiteral("Cmd"));
    CmdDel = new QPushButton(QStringLiteral("保存报表"), frame);
    CmdDel->setObjectName(QStringLiteral("CmdDel"));
    CmdDel->setEnabled(false);
    Labyear = new QLabel(frame);
    Labyear->setObjectName(QStringLiteral("Labyear"));
    Labyear->installEventFilter(this);
    row->addWidget(label);
    row->addWidget(Comb);
    row->addWidget(Cmd);
    row->addWidget(CmdDel);
    row->addStretch();
    row->addWidget(Labyear);
    setTopFrame(frame);

    connect(Comb, &QComboBox::activated, this, [this] { chooseReport(); });
    connect(Cmd, &QPushButton::clicked, this, [this] { generateOrOpen(); });
    connect(CmdDel, &QPushButton::clicked, this, [this] { saveOrDelete(); });
    connect(GD, &QTableView::clicked, this, [this] { showListStatus(); });
}

void C181::buildMenus()
{
    QMenuBar *bar = menuBar();
    QAction *year = bar->addAction(QStringLiteral("&Y.年度结转"));
    year->setObjectName(QStringLiteral("Menu_Year"));
    connect(year, &QAction::triggered, this, [this] { openYearEnd(); });

    // Sorting is offered but leaves the report in goods-code order.
    addSortMenu({{0, QStringLiteral("&1.按货品编码"), QString()},
                 {1, QStringLiteral("&2.按货品名称"), QString()},
                 {2, QStringLiteral("&3.按货品规格"), QString()},
                 {3, QStringLiteral("&4.按计量单位"), QString()},
                 {4, QStringLiteral("&5.按现存数量"), QString()}},
                -1);

    auto *method = new QMenu(QStringLiteral("&T.统计方法"), this);
    method->menuAction()->setObjectName(QStringLiteral("Menu_F"));
    bar->addMenu(method);
    const QStringList methods = {QStringLiteral("&1.按成本价格统计结存金额"), QStringLiteral("&2.按本期出入统计结存金额"),
                                 QStringLiteral("&3.按累计出入统计结存金额")};
    for (int i = 0; i < 3; ++i) {
        Menu_FangFa[i] = method->addAction(methods[i]);
        Menu_FangFa[i]->setObjectName(QStringLiteral("Menu_FangFa") + QString::number(i));
        Menu_FangFa[i]->setCheckable(true);
        Menu_FangFa[i]->setChecked(i == kByPeriodMovement);
        connect(Menu_FangFa[i], &QAction::triggered, this, [this, i] { chooseMethod(i); });
    }

    QAction *update = bar->addAction(QStringLiteral("&U.更新库存均价"));
    update->setObjectName(QStringLiteral("Menu_updTA4F7"));
    connect(update, &QAction::triggered, this, [this] { updateCostPrices(); });

    menu_M = new QMenu(QStringLiteral("&M.价格显示"), this);
    menu_M->menuAction()->setObjectName(QStringLiteral("menu_M"));
    for (int i = 0; i < 2; ++i)
        menu_M->addAction(i == 0 ? QStringLiteral("&1.成本价格") : QStringLiteral("&2.销售价格"))
            ->setObjectName(QStringLiteral("Menu_price") + QString::number(i));
    bar->addMenu(menu_M);
    menu_M->menuAction()->setVisible(false);

    Menu_query = addQueryMenu();
    Menu_query->setVisible(false);

    auto *print = new QMenu(QStringLiteral("&P.打印"), this);
    print->menuAction()->setObjectName(QStringLiteral("Menu_print"));
    bar->addMenu(print);
    const QStringList prints = {QStringLiteral("&1.打印本期进出存报表"), QStringLiteral("&1.打印累计进出存报表")};
    for (int i = 0; i < 2; ++i) {
        QAction *item = print->addAction(prints[i]);
        item->setObjectName(QStringLiteral("Menu_P") + QString::number(i));
        connect(item, &QAction::triggered, this, [this, i] { printReport(i); });
    }

    addReturnMenu()->setObjectName(QStringLiteral("Menu_Rtn"));
}

void C181::showYearBegin()
{
    Labyear->setText(QStringLiteral("会计年度由 ") + db::dateText(YearBegin) + QStringLiteral(" 开始"));
}

// ---- grid ---------------------------------------------------------------------

void C181::gdClear()
{
    GridModel &g = grid();
    g.setCols(kPeriodColumnCount);
    g.clearRows();
    g.setCaptions(kGroupCaptions);
    g.setRows(3);
    const QStringList captions = columnCaptions();
    for (int c = 0; c < kPeriodColumnCount; ++c) {
        g.setTextMatrix(1, c, captions[c]);
        g.setColAlignment(c, Qt::AlignCenter);
    }
    setHasTotalsRow(false);
    CurRow = 2;
}

void C181::showRows(const PeriodReportRows &report)
{
    TextRows rows(kPeriodColumnCount);
    rows.reserve(report.rows.size() + 2);
    rows.append(columnCaptions());
    rows.append(report.rows);
    if (!report.totals.isEmpty())
        rows.append(report.totals);
    grid().setDataRows(std::move(rows));
    setHasTotalsRow(!report.totals.isEmpty());
    CurRow = 2;
    showListStatus();
}

// Columns by the window's inner width: code W/14, name W/7, cost W/19, the
// quantities and amounts W/19 less 10 twips.
void C181::adjustColumnWidths(QVector<int> &widths) const
{
    const double w = width() * kTwipsPerPixel;
    auto px = [](double twips) { return qMax(0, qRound(twips / kTwipsPerPixel)); };
    widths.fill(px(w / 19 - 10));
    widths[0] = px(w / 14);
    widths[1] = px(w / 7);
    widths[2] = px(w / 19);
}

bool C181::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Labyear && event->type() == QEvent::MouseButtonDblClick) {
        inform(QStringLiteral("如果需要改变会计年度设置，有两种方法供选择：\n\n   1.使用本模块菜单中[年度结转]功能；\n\n"
                              "   2.使用[系统管理]-->[帐本数据清除]-->[帐本数据初始化]功能。"),
               QStringLiteral("提示"));
        return true;
    }
    return ReportWindow::eventFilter(watched, event);
}

// ---- selector -----------------------------------------------------------------

void C181::setComb()
{
    Module1 &m = Module1::instance();
    Menu_query->setVisible(false);
    Comb->clear();
    m.LoadPeriodStart();
    const QDate start = m.gPeriodStart;
    const QDate today = m.Today();
    if (start.daysTo(today) > 0) {
        Comb->addItem(QStringLiteral("生成报表：") + db::dateText(start) + QStringLiteral(" 至 ") + db::dateText(today),
                      0);
        Cmd->setText(kGenerateWord);
        CmdDel->setText(QStringLiteral("保存报表"));
    } else {
        Cmd->setText(QStringLiteral("打开报表"));
        CmdDel->setText(QStringLiteral("删除报表"));
    }
    db::Statement st = m.gDb.prepare(QStringLiteral(
        "select SortNo,Bdate,Edate from jxc where SortNo<>0 group by SortNo,Bdate,Edate order by SortNo desc"));
    while (st.next())
        Comb->addItem(QStringLiteral("历史报表：") + st.text(1) + QStringLiteral(" 至 ") + st.text(2),
                      int(st.number(0)));
    if (Comb->count() > 0) {
        Comb->setCurrentIndex(0);
        chooseReport();
    } else {
        inform(QStringLiteral("今天是会计年度的第一天，不能统计报表！"));
    }
}

void C181::chooseReport()
{
    Menu_query->setVisible(false);
    CmdDel->setEnabled(false);
    const bool generate = Comb->currentData().toInt() == 0;
    Cmd->setText(generate ? kGenerateWord : QStringLiteral("打开报表"));
    CmdDel->setText(generate ? QStringLiteral("保存报表") : QStringLiteral("删除报表"));
}

void C181::generateOrOpen()
{
    if (Comb->count() == 0) {
        inform(QStringLiteral("电脑日期为会计年度第一天，不能生成报表！"));
        return;
    }
    const int n = Comb->currentData().toInt();
    if (n == 0)
        GeneratePeriodReport();
    else
        FillReportGrid(n, QString());
}

// ---- generate and open ----------------------------------------------------------

void C181::GeneratePeriodReport()
{
    Module1 &m = Module1::instance();
    ColumnFitHold fitOnce(GD);
    gdClear();
    GenerationResult result;
    {
        WaitCursor busy;
        m.ShowLoadingInStatusBar();
        result = reports::GeneratePeriodReport(m.gDb, m.gPeriodStart, m.Today(), ClosingMethod, m.gMoneyFormat);
    }
    switch (result.status) {
    case GenerationResult::Conflict:
        inform(QStringLiteral("网络内其它操作员已经生成了本月报表！请重新打开本窗口再查看！"));
        showListStatus();
        return;
    case GenerationResult::Failed:
        inform(result.error, QStringLiteral("提示"));
        showListStatus();
        return;
    case GenerationResult::NoGoods:
        CurrentReportNo = 0;
        showListStatus();
        inform(QStringLiteral("尚无可统计的数据！"));
        return;
    case GenerationResult::AllSkipped:
    case GenerationResult::Done:
        break;
    }
    showRows(result.report);
    CurrentReportNo = 0;
    if (result.status == GenerationResult::AllSkipped) {
        inform(QStringLiteral("尚无可统计的数据！"));
        return;
    }
    CmdDel->setText(QStringLiteral("保存报表"));
    CmdDel->setEnabled(true);
    Menu_query->setVisible(true);
}

void C181::FillReportGrid(int n, const QString &conditions)
{
    Module1 &m = Module1::instance();
    ColumnFitHold fitOnce(GD);
    gdClear();
    PeriodReportRows report;
    QString error;
    {
        WaitCursor busy;
        if (!LoadPeriodReport(m.gDb, n, conditions, m.gMoneyFormat, ClosingMethod, &report, &error)) {
            inform(error);
            return;
        }
    }
    if (report.rows.isEmpty()) {
        inform(QStringLiteral("没有找到相关数据！"));
        closeWindow();
        return;
    }
    showRows(report);
    CurrentReportNo = n;
    Menu_query->setVisible(true);

    // Only the newest saved report of the current year may be deleted.
    const int index = Comb->currentIndex();
    if (report.endDate.isValid() && report.endDate.daysTo(YearBegin) > 0) {
        CmdDel->setEnabled(false);
    } else if (index == 0 || (index > 0 && Comb->itemText(index - 1).startsWith(kGenerateWord))) {
        CmdDel->setText(QStringLiteral("删除报表"));
        CmdDel->setEnabled(true);
    } else {
        CmdDel->setEnabled(false);
    }
}

// ---- save and delete ------------------------------------------------------------

void C181::saveOrDelete()
{
    if (CmdDel->text() == QStringLiteral("保存报表"))
        saveReport();
    else
        deleteReport();
}

void C181::saveReport()
{
    Module1 &m = Module1::instance();
    if (cell(2, 0).isEmpty()) {
        inform(QStringLiteral("请先[生成报表]再保存！"));
        return;
    }
    if (CurrentReportNo != 0) {
        inform(QStringLiteral("当前报表不需要重新保存！"));
        return;
    }
    QString error;
    const int n = SavePeriodReport(m.gDb, &error);
    if (n < 0) {
        inform(error, QStringLiteral("提示"));
        return;
    }
    if (n == 0) {
        // Another operator generated or saved meanwhile: nothing is left to save.
        inform(QStringLiteral("当前报表已不存在，请重新生成报表！"));
        return;
    }
    if (Comb->count() > 0 && Comb->itemData(0).toInt() == 0) {
        Comb->setItemData(0, n);
        Comb->setItemText(0, QStringLiteral("历史报表") + Comb->itemText(0).mid(4));
        CmdDel->setText(QStringLiteral("删除报表"));
        Cmd->setText(QStringLiteral("打开报表"));
    }
    CurrentReportNo = n;
    m.LoadPeriodStart();
    Menu_query->setVisible(true);
    inform(QStringLiteral("保存成功！"));
}

void C181::deleteReport()
{
    Module1 &m = Module1::instance();
    Prompt &prompt = Prompt::current();
    if (CurrentReportNo >= 0) {
        if (!prompt.ask(QString(), QStringLiteral("真的要删除下面的统计报表吗？"), Prompt::Icon::Question))
            return;
    } else {
        if (m.gUserCode != QStringLiteral("001")) {
            inform(QStringLiteral("您选择的是上一年度的报表，您无权删除！\n只有最高权限帐户“001”才可以执行本操作！"));
            return;
        }
        const QString begin = db::dateText(YearBegin);
        if (!prompt.ask(QStringLiteral("警告"),
                        QStringLiteral("您选择的是上一年度的报表，不能单个删除！\n\n只能同时删除 ") + begin +
                            QStringLiteral(" 之前的所有报表！\n\n确认要执行此操作吗？ "),
                        Prompt::Icon::Exclamation) ||
            !prompt.ask(QStringLiteral("警告"),
                        QStringLiteral("您选择了删除 ") + begin + QStringLiteral(" 之前的所有报表！\n\n请最后确认真的要执行此操作吗？ "),
                        Prompt::Icon::Exclamation))
            return;
    }
    gdClear();
    QString error;
    if (!DeletePeriodReport(m.gDb, CurrentReportNo, &error))
        inform(error, QStringLiteral("提示"));
    setComb();
}

// ---- method, query, print, cost update, year-end ----------------------------------

void C181::chooseMethod(int index)
{
    for (int i = 0; i < 3; ++i)
        Menu_FangFa[i]->setChecked(i == index);
    ClosingMethod = index;
    inform(QStringLiteral("点击“生成报表”，系统就会") + Menu_FangFa[index]->text().mid(3) + QStringLiteral("!"));
}

QVector<QueryField> C181::queryFields() const
{
    return {{QStringLiteral("货品编码"), QStringLiteral("jxc.hpbm"), QStringLiteral("0")},
            {QStringLiteral("货品名称"), QStringLiteral("TA4.F2"), QStringLiteral("0")},
            {QStringLiteral("货品规格"), QStringLiteral("TA4.F5"), QStringLiteral("0")},
            {QStringLiteral("计量单位"), QStringLiteral("TA4.F4"), QStringLiteral("0")},
            {QStringLiteral("货品类别编码"), QStringLiteral("TA4.F3"), QStringLiteral("0")},
            {QStringLiteral("成本均价"), QStringLiteral("jxc.Gprice"), QStringLiteral("1")},
            {QStringLiteral("年初数"), QStringLiteral("jxc.\"As\""), QStringLiteral("1")},
            {QStringLiteral("上期结存数"), QStringLiteral("jxc.Bs"), QStringLiteral("1")},
            {QStringLiteral("本期入库数"), QStringLiteral("jxc.Cs"), QStringLiteral("1")},
            {QStringLiteral("累计入库数"), QStringLiteral("jxc.Ds"), QStringLiteral("1")},
            {QStringLiteral("本期出库数"), QStringLiteral("jxc.Es"), QStringLiteral("1")},
            {QStringLiteral("累计出库数"), QStringLiteral("jxc.Fs"), QStringLiteral("1")},
            {QStringLiteral("本期结存数"), QStringLiteral("jxc.Gs"), QStringLiteral("1")}};
}

// The shown report reopened with the operator's conditions; a narrowed
// report is neither saved nor deleted.
void C181::afterQuery(bool answered)
{
    if (!answered)
        return;
    FillReportGrid(CurrentReportNo, PubConditions);
    CmdDel->setEnabled(false);
}

// The total of a printed column: the totals row's text, except for the year
// opening columns, which the totals row does not sum (a generated report keeps
// its "合计：" label there): those are summed over the data rows.
QString C181::printedTotal(int column) const
{
    const GridModel &g = grid();
    if (column >= kCarriedQty)
        return g.textMatrix(g.rows() - 1, column);
    db::DecimalSum sum;
    for (int r = 2; r <= g.rows() - 2; ++r)
        sum.add(numtext::leadingNumber(g.textMatrix(r, column)));
    return numtext::numToText(sum.value());
}

void C181::printReport(int item)
{
    Module1 &m = Module1::instance();
    if (cell(2, 0).isEmpty()) {
        inform(QStringLiteral("没有数据可打印！"));
        return;
    }
    const QVector<int> &columns = item == 0 ? kPeriodPrintColumns : kYearPrintColumns;
    // Category code and name of every goods, read once.
    QHash<QString, QPair<QString, QString>> categories;
    db::Statement st = m.gDb.prepare(
        QStringLiteral("select TA4.F1, TA3.F1, TA3.F2 from TA4 join TA3 on TA3.F1=TA4.F3"));
    while (st.next())
        categories.insert(st.text(0).toUpper(), {st.text(1), st.text(2)});

    PrintRequest request;
    request.reportFile = QStringLiteral("Pjxc02.rpt");
    request.testedFile = QStringLiteral("pjxc02.rpt");
    request.stagingTable = QStringLiteral("Plist");
    request.stagingColumns = StagingColumns(0, 13);
    const GridModel &g = grid();
    const int last = g.rows() - 2;
    for (int r = 2; r <= last; ++r) {
        const QPair<QString, QString> category = categories.value(g.textMatrix(r, kCode).toUpper());
        QVariantList values{QStringLiteral("%1").arg(r, 5, 10, QLatin1Char('0')), g.textMatrix(r, 0),
                            g.textMatrix(r, 1), g.textMatrix(r, 2)};
        for (int c : columns)
            values.append(g.textMatrix(r, c));
        values << category.first << category.second;
        request.stagingRows.append(values);
    }
    const QString chosen = Comb->currentText();
    if (item == 0) {
        request.formulas = {FormulaText(QStringLiteral("cpt"), QStringLiteral("货品进出月报表")),
                            FormulaText(QStringLiteral("rq"), chosen.mid(5)),
                            FormulaText(QStringLiteral("LB"), QStringLiteral("本期统计：")),
                            FormulaText(QStringLiteral("a"), QStringLiteral("上期结存")),
                            FormulaText(QStringLiteral("b"), QStringLiteral("本期入库")),
                            FormulaText(QStringLiteral("c"), QStringLiteral("本期出库"))};
    } else {
        const int to = chosen.indexOf(QStringLiteral("至"));
        request.formulas = {FormulaText(QStringLiteral("cpt"), QStringLiteral("货品进出年报表")),
                            FormulaText(QStringLiteral("rq"), QStringLiteral("截止到 ") +
                                                                  (to >= 0 ? chosen.mid(to + 1) : QString()) +
                                                                  QStringLiteral(" ")),
                            FormulaText(QStringLiteral("LB"), QStringLiteral("累计统计：")),
                            FormulaText(QStringLiteral("a"), QStringLiteral("年初余额")),
                            FormulaText(QStringLiteral("b"), QStringLiteral("入库累计")),
                            FormulaText(QStringLiteral("c"), QStringLiteral("出库累计"))};
    }
    request.formulas.append(FormulaText(QStringLiteral("d"), QStringLiteral("本期结存")));
    for (int k = 0; k < columns.size(); ++k)
        request.formulas.append(FormulaText(QStringLiteral("s") + QString::number(k + 1), printedTotal(columns[k])));
    RunPrintRequest(request);
}

void C181::updateCostPrices()
{
    Module1 &m = Module1::instance();
    if (Menu_FangFa[kByCostPrice]->isChecked()) {
        inform(QStringLiteral("当前报表的是按照成本均价统计的,没有必要再按照统计报表更新成本价!"));
        return;
    }
    if (!Prompt::current().ask(QString(), QStringLiteral("确定要更新货品库存均价吗?"), Prompt::Icon::Question))
        return;
    m.statusPanels().setPanelText(4, QStringLiteral("正在更新货品库存均价……"));
    GridModel &g = grid();
    QVector<CostPrice> prices;
    QVector<QPair<int, QString>> cells;
    for (int r = 2; r <= g.rows() - 2; ++r) {
        const double qty = numtext::leadingNumber(g.textMatrix(r, kClosingQty));
        if (qty == 0)
            continue;
        const QString price =
            numtext::formatNumber(numtext::leadingNumber(g.textMatrix(r, kClosingAmount)) / qty, m.gMoneyFormat);
        prices.append({g.textMatrix(r, kCode), numtext::leadingNumber(price)});
        cells.append({r, price});
    }
    QString error;
    if (!UpdateCostPrices(m.gDb, prices, &error)) {
        m.ShowBookNameInStatusBar();
        inform(error, QStringLiteral("提示"));
        return;
    }
    for (const auto &[row, price] : cells)
        g.setTextMatrix(row, kCostPrice, price);
    m.statusPanels().setPanelText(4, QStringLiteral("更新货品库存均价完成！"));
    inform(QStringLiteral("报表中所有货品的库存均价(成本价)更新完成！"));
}

void C181::openYearEnd()
{
    if (Comb->count() == 0)
        return;
    if (Comb->itemText(0).startsWith(kGenerateWord)) {
        inform(QStringLiteral("今天是 ") + db::dateText(Module1::instance().Today()) +
               QStringLiteral(" ，请首先生成本期报表并保存，之后才可以进行年度结转操作！"));
        return;
    }
    YearEnd dialog(this, this);
    runModal(dialog);
}
