#include "ReportWindow.h"

#include "db/Database.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "platform/WaitCursor.h"
#include "shell/GridColumnFit.h"
#include "shell/HostWindow.h"
#include "shell/ListGrid.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"
#include "shell/RecordStatus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

namespace frames {

namespace {

// Window sizes are given in twips; 15 twips make one pixel.
constexpr double kTwipsPerPixel = 15.0;

void notice(const QString &text)
{
    Prompt::current().message(QStringLiteral("提示"), text, Prompt::Icon::Information);
}

} // namespace

void takeColumns(ReportWindowKind &kind, const ListColumns &columns)
{
    kind.captions = columnCaptions(columns);
    kind.alignments.clear();
    for (const ListColumn &column : columns)
        kind.alignments.append(columnAlignment(column));
    kind.totalledColumns = totalledColumns(columns);
    kind.totalsLabelColumn = totalsLabelColumn(columns);
}

void alignFiguresRight(ReportWindowKind &kind, const QVector<int> &figureColumns)
{
    kind.alignments.clear();
    for (int c = 0; c < kind.captions.size(); ++c)
        kind.alignments.append((figureColumns.contains(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

ReportWindow::ReportWindow(ReportWindowKind kind, QWidget *parent) : QWidget(parent), kind_(std::move(kind))
{
    setObjectName(kind_.name);
    setWindowTitle(kind_.caption);
    setAttribute(Qt::WA_DeleteOnClose);

    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    body_ = new QWidget(this);
    body_->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(body_);

    model_ = new GridModel(int(kind_.captions.size()), this);
    GD = CreateListGrid(QStringLiteral("GD"), model_, body_);
    connect(GD->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { onCurrentRowChanged(current.isValid() ? current.row() : -1); });

    SetDefaultSize(this, 640, 400);
    setReportGridHeaders();
}

ReportWindow::~ReportWindow() = default;

bool ReportWindow::quantityOnly()
{
    return Module1::instance().gOptKeepPrices == 0;
}

// ---- menus ---------------------------------------------------------------------

QAction *ReportWindow::addQueryMenu()
{
    QAction *action = menuBar_->addAction(QStringLiteral("&Q.查找"));
    action->setObjectName(QStringLiteral("Menu_query"));
    connect(action, &QAction::triggered, this, [this] { queryReport(); });
    return action;
}

QMenu *ReportWindow::addSortMenu(const QVector<ReportSortItem> &items, int checkedIndex)
{
    auto *menu = new QMenu(QStringLiteral("&S.排序"), this);
    menu->menuAction()->setObjectName(QStringLiteral("Menu_Sort"));
    menuBar_->addMenu(menu);
    sortItems_ = items;
    for (const ReportSortItem &item : items) {
        QAction *action = menu->addAction(item.caption);
        action->setObjectName(QStringLiteral("menu_S") + QString::number(item.index));
        action->setCheckable(true);
        action->setChecked(item.index == checkedIndex);
        action->setVisible(item.visible);
        const int index = item.index;
        connect(action, &QAction::triggered, this, [this, index] { sortReport(index); });
        sortActions_.append(action);
    }
    return menu;
}

QAction *ReportWindow::sortItem(int index) const
{
    for (int i = 0; i < sortItems_.size(); ++i)
        if (sortItems_[i].index == index)
            return sortActions_[i];
    return nullptr;
}

void ReportWindow::addPrintMenu(const QVector<ReportPrint> &prints)
{
    prints_ = prints;
    if (prints.size() == 1) {
        QAction *action = menuBar_->addAction(prints[0].caption);
        action->setObjectName(prints[0].objectName);
        connect(action, &QAction::triggered, this, [this] { printReport(0); });
        return;
    }
    auto *menu = new QMenu(QStringLiteral("&P.打印"), this);
    menu->menuAction()->setObjectName(QStringLiteral("Menu_print"));
    menuBar_->addMenu(menu);
    for (int i = 0; i < prints.size(); ++i) {
        QAction *action = menu->addAction(prints[i].caption);
        action->setObjectName(prints[i].objectName);
        connect(action, &QAction::triggered, this, [this, i] { printReport(i); });
    }
}

QAction *ReportWindow::addReturnMenu()
{
    QAction *action = menuBar_->addAction(QStringLiteral("&R.返回"));
    action->setObjectName(QStringLiteral("Menu_Return"));
    connect(action, &QAction::triggered, this, [this] { closeWindow(); });
    return action;
}

void ReportWindow::setTopFrame(QWidget *frame)
{
    topFrame_ = frame;
    frame->setParent(body_);
    frame->show();
    layoutReportWindow();
}

// ---- the grid ------------------------------------------------------------------

QString ReportWindow::cell(int row, int col) const
{
    return model_->textMatrix(row, col);
}

int ReportWindow::recordCount() const
{
    const int first = kind_.headingRows;
    if (!hasTotals_ && model_->rows() == first + 1 && cell(first, 0).trimmed().isEmpty())
        return 0;
    return qMax(0, model_->rows() - first - (hasTotals_ ? 1 : 0));
}

void ReportWindow::setReportGridHeaders()
{
    model_->setCols(int(kind_.captions.size()));
    model_->clearRows();
    model_->setCaptions(kind_.captions);
    for (int c = 0; c < kind_.alignments.size(); ++c)
        model_->setColAlignment(c, kind_.alignments[c]);
    hasTotals_ = false;
    CurRow = 1;
}

void ReportWindow::addFieldText(TextRows &rows, const db::Statement &row, int column)
{
    const db::Statement::Field field = row.field(column);
    switch (field.type()) {
    case db::Statement::Type::Real:
        rows.addCell(numtext::numToChars(field.number()).view());
        return;
    case db::Statement::Type::Text:
        rows.addUtf8Cell(field.utf8());
        return;
    case db::Statement::Type::Null:
        rows.addCell(QStringView());
        return;
    case db::Statement::Type::Integer:
        rows.addCell(numtext::integerChars(field.integer()).view());
        return;
    default:
        rows.addCell(row.value(column).toString());
    }
}

void ReportWindow::addMoneyText(TextRows &rows, double value) const
{
    rows.addCell(numtext::roundedChars(value, moneyPattern_).view());
}

void ReportWindow::appendRecord(TextRows &rows, const db::Statement &row) const
{
    const int n = qMin(model_->cols(), row.columnCount());
    for (int c = 0; c < n; ++c)
        addFieldText(rows, row, c);
    rows.endRow();
}

QString ReportWindow::fillStatement(const QString &sql) const
{
    return sql + QLatin1Char(' ') + OrderClause;
}

// Reads the whole list in one pass, then adds the totals row. A failing
// statement is shown with its own message; the rows read so far stay, without
// a totals row.
void ReportWindow::fillReportGrid(const QString &sql)
{
    WaitCursor busy;
    // Cleared, then filled: the columns are fitted once, to the new rows.
    ColumnFitHold fitOnce(GD);
    // A list filled again (sorted, searched, switched) is mostly about as
    // long as before: room for that many rows is taken at once.
    const int previousRows = model_->rows();
    setReportGridHeaders();
    lastFillSql_ = fillStatement(sql);
    db::Database &db = Module1::instance().gDb;
    db::Statement st = db.prepare(lastFillSql_);
    if (st.isValid() && !st.bindAll(fillParameters())) {
        notice(st.error().isEmpty() ? db.lastError() : st.error());
        showListStatus();
        return;
    }
    if (!st.isValid()) {
        notice(db.lastError());
        showListStatus();
        return;
    }
    moneyPattern_ = numtext::NumberPattern(Module1::instance().gMoneyFormat);
    TextRows rows(model_->cols());
    rows.reserve(previousRows);
    // Each total adds the value its cell's text shows, read while the row
    // just written is at hand.
    QVector<db::DecimalSum> sums(kind_.totalledColumns.size());
    while (st.next()) {
        appendRecord(rows, st);
        const int row = rows.size() - 1;
        for (int i = 0; i < sums.size(); ++i) {
            const QStringView text = rows.cell(row, kind_.totalledColumns[i]);
            if (!sums[i].addPlainText({text.utf16(), std::size_t(text.size())}))
                sums[i].add(numtext::leadingNumber(text));
        }
    }
    const bool failed = st.hasError();
    if (!rows.isEmpty() && !failed) {
        QStringList totals;
        for (int c = 0; c < model_->cols(); ++c)
            totals.append(QString());
        totals[kind_.totalsLabelColumn] = kind_.totalsLabel;
        for (int i = 0; i < sums.size(); ++i)
            totals[kind_.totalledColumns[i]] = numtext::numToText(sums[i].value());
        rows.append(totals);
        hasTotals_ = true;
    }
    if (!rows.isEmpty())
        model_->setDataRows(std::move(rows));
    if (failed)
        notice(st.error());
    CurRow = 1;
    showListStatus();
}

void ReportWindow::setGridRow(int row)
{
    syncingGrid_ = true;
    if (row >= 1 && row < model_->rows())
        GD->selectionModel()->setCurrentIndex(model_->index(row - 1, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        GD->selectionModel()->clear();
    syncingGrid_ = false;
}

// The totals row cannot be chosen: the last data row is taken instead.
void ReportWindow::onCurrentRowChanged(int viewRow)
{
    if (syncingGrid_ || viewRow < 0)
        return;
    int row = viewRow + 1;
    if (hasTotals_ && row == model_->rows() - 1) {
        row = kind_.totalsRowPicksFirst ? kind_.headingRows : model_->rows() - 2;
        GD->setFocus();
    }
    if (row < kind_.headingRows)
        row = kind_.headingRows;
    CurRow = row;
    showListStatus();
}

void ReportWindow::showListStatus()
{
    setGridRow(CurRow);
    const int count = recordCount();
    Module1::instance().statusPanels().setPanelText(
        4, count == 0 ? QStringLiteral("无信息")
                      : RecordStatusText(kind_.statusPrefix, count, CurRow - (kind_.headingRows - 1)));
}

// ---- sort, query, print --------------------------------------------------------

QString ReportWindow::sortOrder(int index) const
{
    for (const ReportSortItem &item : sortItems_)
        if (item.index == index)
            return item.order;
    return OrderClause;
}

void ReportWindow::sortReport(int index)
{
    for (int i = 0; i < sortItems_.size(); ++i)
        sortActions_[i]->setChecked(sortItems_[i].index == index);
    OrderClause = sortOrder(index);
    if (!ReportSql.isEmpty())
        fillReportGrid(ReportSql);
}

// The operator's conditions replace the list's; a cancelled dialog changes nothing.
void ReportWindow::queryReport()
{
    PubSql.clear();
    Query &query = Query::instance(this);
    query.loader = this;
    query.SqlHeadstr = queryBase();
    query.setFields(queryFields());
    query.CmbF->setCurrentIndex(queryStartField());
    query.showModal();
    const bool answered = !PubSql.isEmpty();
    if (answered)
        ReportSql = PubSql;
    afterQuery(answered);
}

QVariant ReportWindow::stagingKey(int, int) const
{
    return QStringLiteral("1");
}

QStringList ReportWindow::printFormulas(int print) const
{
    return prints_[print].formulas;
}

void ReportWindow::adjustColumnWidths(QVector<int> &) const
{
}

void ReportWindow::afterQuery(bool answered)
{
    if (answered)
        fillReportGrid(ReportSql);
}

// Stages the data rows (never the totals row) and shows the report's preview.
void ReportWindow::printReport(int print)
{
    if (recordCount() == 0) {
        notice(kind_.emptyPrintMessage);
        return;
    }
    const ReportPrint &p = prints_[print];
    PrintRequest request;
    request.reportFile =
        quantityOnly() && !p.quantityOnlyReportFile.isEmpty() ? p.quantityOnlyReportFile : p.reportFile;
    request.testedFile = p.testedFile;
    request.stagingTable = p.stagingTable;
    request.stagingColumns = p.stagingColumns;
    if (request.stagingColumns.isEmpty())
        request.stagingColumns = StagingColumns(0, 8);
    const int count = recordCount();
    request.stagingRows.reserve(count);
    for (int r = 1; r <= count; ++r) {
        QVariantList values{stagingKey(print, r)};
        values += stagingValues(print, r);
        request.stagingRows.append(values);
    }
    request.formulas = printFormulas(print);
    RunPrintRequest(request);
}

// ---- window --------------------------------------------------------------------

void ReportWindow::closeWindow()
{
    CloseHostWindow(this);
}

void ReportWindow::closeEvent(QCloseEvent *event)
{
    Module1::instance().ShowBookNameInStatusBar();
    event->accept();
}

// The window's body is resized with the window, also when it first shows:
// that lays the window out.
bool ReportWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == body_ && event->type() == QEvent::Resize)
        layoutReportWindow();
    return QWidget::eventFilter(watched, event);
}

// The grid fills the window less its height margin; the columns share its
// width by the window's formula; hidden columns and, in quantity-only mode,
// the price and amount columns get no width (their texts stay). Then the
// columns are fitted to their texts when the grid is on show (a window never
// shown measures nothing), and fitted again after every fill.
void ReportWindow::layoutReportWindow()
{
    const int margin = qRound(kind_.heightMarginTwips / kTwipsPerPixel);
    int top = 0;
    if (topFrame_) {
        top = topFrame_->sizeHint().height();
        topFrame_->setGeometry(0, 0, body_->width(), top);
    }
    GD->setGeometry(0, top, body_->width(), qMax(0, body_->height() - top - margin));
    const double gridTwips = GD->width() * kTwipsPerPixel;
    const int columnTwips = qMax(0, qRound(gridTwips / kind_.widthDivisor - kind_.widthLessTwips));
    QVector<int> widths(model_->cols(), qRound(columnTwips / kTwipsPerPixel));
    for (int c : kind_.hiddenColumns)
        widths[c] = 0;
    adjustColumnWidths(widths);
    if (quantityOnly()) {
        for (const auto &[neighbour, hidden] : kind_.quantityOnlyTransfers) {
            widths[neighbour] += widths[hidden];
            widths[hidden] = 0;
        }
    }
    for (int c = 0; c < widths.size(); ++c) {
        GD->setColumnHidden(c, widths[c] == 0);
        if (widths[c] > 0)
            GD->setColumnWidth(c, widths[c]);
    }
    adjustColumns();
    FitColumnsToTexts(GD, kind_.headingRows - 1);
}

} // namespace frames
