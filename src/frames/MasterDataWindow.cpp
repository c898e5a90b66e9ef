#include "MasterDataWindow.h"

#include "platform/GridModel.h"
#include "platform/Prompt.h"
#include "shell/CodeLength.h"
#include "shell/HostWindow.h"
#include "shell/GridColumnFit.h"
#include "shell/ListGrid.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"
#include "shell/RecordStatus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabBar>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace frames {
namespace {

// Window positions are given in twips; 15 twips make one pixel.
int twips(int value)
{
    return value / 15;
}

const QColor kEditFocusColour(192, 255, 255);

} // namespace

MasterDataWindow::MasterDataWindow(MasterDataKind kind, QWidget *parent)
    : QWidget(parent),
      kind_(std::move(kind)),
      store_(Module1::instance().gDb, kind_.table, kind_.references, !kind_.keepOneMessage.isEmpty())
{
    setObjectName(kind_.name);
    setWindowTitle(kind_.windowCaption);
    setAttribute(Qt::WA_DeleteOnClose);

    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    const auto addMenu = [this](const char *name, const QString &caption) {
        QAction *action = menuBar_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    menuAdd_ = addMenu("Menu_Add", QStringLiteral("&A.增加"));
    menuEdit_ = addMenu("Menu_edit", QStringLiteral("&E.修改"));
    menuDel_ = addMenu("Menu_del", QStringLiteral("&D.删除"));
    menuQuery_ = addMenu("Menu_query", QStringLiteral("&Q.查找"));
    menuPrint_ = addMenu("Menu_print", QStringLiteral("&P.打印"));
    menuSave_ = addMenu("Menu_save", QStringLiteral("&S.保存"));
    menuCancel_ = addMenu("Menu_cancel", QStringLiteral("&C.取消"));
    menuReturn_ = addMenu("Menu_Return", QStringLiteral("&R.返回"));
    connect(menuAdd_, &QAction::triggered, this, [this] { addRecord(); });
    connect(menuEdit_, &QAction::triggered, this, [this] { editRecord(); });
    connect(menuDel_, &QAction::triggered, this, [this] { deleteRecord(); });
    connect(menuQuery_, &QAction::triggered, this, [this] { queryList(); });
    connect(menuPrint_, &QAction::triggered, this, [this] { printList(); });
    connect(menuSave_, &QAction::triggered, this, [this] { saveRecord(); });
    connect(menuCancel_, &QAction::triggered, this, [this] { cancelEdit(); });
    connect(menuReturn_, &QAction::triggered, this, [this] { CloseHostWindow(this); });

    body_ = new QWidget(this);
    body_->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(body_);

    TabS = new QTabBar(body_);
    TabS->setObjectName(QStringLiteral("TabS"));
    TabS->setFocusPolicy(Qt::StrongFocus);
    TabS->addTab(kind_.listTabCaption);
    TabS->addTab(kind_.cardTabCaption);

    model_ = new GridModel(kind_.columnCount(), this);
    GD = CreateListGrid(QStringLiteral("GD"), model_, body_);
    connect(GD->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { onCurrentRowChanged(current.isValid() ? current.row() : -1); });
    connect(GD, &QTableView::doubleClicked, this, [this] {
        trackListRow();
        TabS->setCurrentIndex(1);
    });

    Frm = new QFrame(body_);
    Frm->setObjectName(QStringLiteral("Frm"));
    Frm->hide();
    cardLayout_ = new QGridLayout(Frm);
    for (int i = 0; i < kind_.boxCount(); ++i) {
        auto *label = new QLabel(kind_.labelCaptions[i], Frm);
        label->setObjectName(QStringLiteral("Lab") + QString::number(i));
        auto *box = new QLineEdit(Frm);
        box->setObjectName(QStringLiteral("Txt") + QString::number(i));
        box->setReadOnly(i > 0);
        label->setBuddy(box);
        cardLayout_->addWidget(label, i, 0);
        cardLayout_->addWidget(box, i, 1);
        installCardBox(box, kind_.upperCaseTyping || (i == 0 && kind_.upperCaseCodeTyping));
        Lab.append(label);
        Txt.append(box);
    }
    cardLayout_->setColumnStretch(1, 1);
    cardLayout_->setRowStretch(kind_.boxCount(), 1);

    connect(TabS, &QTabBar::currentChanged, this, [this](int index) { switchTab(index); });
    SetDefaultSize(this, twips(9600), twips(6000));
}

MasterDataWindow::~MasterDataWindow() = default;

void MasterDataWindow::initWindow()
{
    editState_ = 0;
    GD->raise();
    setBrowseMenus(true);
    fillListGrid(kind_.listSql);
    if (kind_.codeMaxLength > 0 && !Txt.isEmpty())
        Txt[0]->setValidator(new CodeLengthValidator(Txt[0], kind_.codeMaxLength));
    layoutWindow();
}

// ---- the list ----------------------------------------------------------------

QString MasterDataWindow::cell(int row, int col) const
{
    return model_->textMatrix(row, col);
}

int MasterDataWindow::columnOfBox(int box) const
{
    if (kind_.cardBoxes.isEmpty())
        return box < kind_.columnCount() ? box : -1;
    const ColumnRole role = kind_.cardBoxes.value(box).role;
    return role.isEmpty() ? -1 : columnWith(kind_.listColumns, role);
}

int MasterDataWindow::boxWith(ColumnRole role) const
{
    for (int box = 0; box < kind_.cardBoxes.size(); ++box)
        if (kind_.cardBoxes[box].role == role)
            return box;
    return -1;
}

QLineEdit *MasterDataWindow::boxOf(ColumnRole role) const
{
    return Txt.value(boxWith(role));
}

QLabel *MasterDataWindow::labelOf(ColumnRole role) const
{
    return Lab.value(boxWith(role));
}

// Box i lies in row i of the card.
void MasterDataWindow::placeOverBox(QWidget *widget, ColumnRole role)
{
    cardLayout_->addWidget(widget, boxWith(role), 1);
}

QStringList MasterDataWindow::cardRow() const
{
    QStringList row(model_->cols());
    for (int box = 0; box < Txt.size(); ++box)
        if (const int c = columnOfBox(box); c >= 0 && c < row.size())
            row[c] = Txt[box]->text().trimmed();
    return row;
}

// A list whose description shows no code box keeps its code first.
QString MasterDataWindow::listedCode(int row) const
{
    return cell(row, qMax(0, columnOfBox(0))).trimmed();
}

// Described columns align as their description says; fields shown as stored
// are texts (codes, names, addresses, numbers to dial) and align left.
void MasterDataWindow::setListGridHeaders()
{
    model_->setCols(kind_.columnCount());
    model_->clearRows();
    model_->setCaptions(kind_.columnCaptions);
    if (!kind_.listColumns.isEmpty()) {
        setColumnAlignments(*model_, kind_.listColumns);
    } else {
        for (int c = 0; c < kind_.columnCount(); ++c)
            model_->setColAlignment(c, Qt::AlignLeft | Qt::AlignVCenter);
    }
    CurRow = 1;
}

void MasterDataWindow::addListCells(TextRows &rows, const db::Statement &row) const
{
    if (!kind_.listColumns.isEmpty()) {
        frames::addListCells(rows, row, kind_.listColumns);
        return;
    }
    const int n = qMin(model_->cols(), row.columnCount());
    for (int c = 0; c < n; ++c)
        rows.addUtf8Cell(row.utf8(c));
}

// A card on show follows the list filled anew: it shows the list's current
// record again, so an edit or a delete acts on the record the operator sees.
void MasterDataWindow::fillListGrid(const QString &sql)
{
    readListRows(sql);
    if (cardShowing())
        fillCard();
}

void MasterDataWindow::readListRows(const QString &sql)
{
    setListGridHeaders();
    RecordCount = 0;
    db::Statement st = store_.database().prepare(sql);
    if (!st.isValid()) {
        notice(store_.database().lastError());
        return;
    }
    TextRows rows(model_->cols());
    // The list shows at most every record of the table: room for them up
    // front spares a long list the copies of a store that regrows as it fills.
    rows.reserve(store_.recordCount());
    while (st.next()) {
        addListCells(rows, st);
        rows.endRow();
    }
    if (st.hasError())
        notice(st.error());
    if (rows.isEmpty())
        return;
    RecordCount = int(rows.size());
    model_->setDataRows(std::move(rows));
    CurRow = 1;
    showListStatus();
}

void MasterDataWindow::setGridRow(int row)
{
    syncingGrid_ = true;
    if (row >= 1 && row < model_->rows()) {
        const QModelIndex index = model_->index(row - 1, 0);
        GD->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        GD->selectionModel()->clear();
    }
    syncingGrid_ = false;
}

void MasterDataWindow::onCurrentRowChanged(int viewRow)
{
    if (syncingGrid_)
        return;
    CurRow = viewRow + 1;
    showListStatus();
}

void MasterDataWindow::trackListRow()
{
    showListStatus();
}

void MasterDataWindow::showListStatus()
{
    setGridRow(CurRow);
    Module1::instance().statusPanels().setPanelText(
        4, RecordStatusText(QStringLiteral("共 "), RecordCount, CurRow));
}

bool MasterDataWindow::cardShowing() const
{
    return TabS->currentIndex() == 1;
}

void MasterDataWindow::switchTab(int index)
{
    if (index == 0) {
        Frm->hide();
        GD->show();
        setGridRow(CurRow);
        trackListRow();
        GD->setFocus();
    } else {
        GD->hide();
        Frm->show();
        fillCard();
    }
}

void MasterDataWindow::fillCard()
{
    if (CurRow == 0)
        CurRow = 1;
    for (int i = 0; i < Txt.size(); ++i)
        if (const int c = columnOfBox(i); c >= 0)
            Txt[i]->setText(cell(CurRow, c));
}

// ---- modes -------------------------------------------------------------------

void MasterDataWindow::setBrowseMenus(bool browsing)
{
    for (QAction *action : {menuAdd_, menuEdit_, menuDel_})
        action->setVisible(browsing);
    for (QAction *action : {menuQuery_, menuPrint_})
        action->setVisible(browsing && kind_.queryAndPrint);
    menuSave_->setVisible(!browsing);
    menuCancel_->setVisible(!browsing);
}

void MasterDataWindow::setBrowseMode()
{
    TabS->setEnabled(true);
    for (int i = 1; i < Txt.size(); ++i)
        Txt[i]->setReadOnly(true);
    setBrowseMenus(true);
    editState_ = 0;
    TabS->setFocus();
    setGridRow(CurRow);
    trackListRow();
}

void MasterDataWindow::setEditMode()
{
    if (TabS->currentIndex() == 0)
        TabS->setCurrentIndex(1);
    TabS->setEnabled(false);
    for (int i = 1; i < Txt.size(); ++i) {
        Txt[i]->setReadOnly(false);
        if (editState_ == 1)
            Txt[i]->clear();
    }
    setBrowseMenus(false);
}

void MasterDataWindow::addRecord()
{
    editState_ = 1;
    setEditMode();
    Txt[0]->setReadOnly(false);
    Txt[0]->clear();
    Txt[0]->setFocus();
}

void MasterDataWindow::editRecord()
{
    // An empty list has no record to edit.
    if (RecordCount == 0)
        return;
    editState_ = 2;
    setEditMode();
    Txt[0]->setReadOnly(store_.isCodeInUse(listedCode(CurRow)));
    Txt[0]->setFocus();
}

void MasterDataWindow::cancelEdit()
{
    setBrowseMode();
    fillCard();
}

// ---- save and delete -----------------------------------------------------------

void MasterDataWindow::notice(const QString &text)
{
    Prompt::current().message(QStringLiteral("提示"), text, Prompt::Icon::Information);
}

void MasterDataWindow::reportStoreFailure(const MasterRecordStore::Result &result, QLineEdit *codeBox,
                                          bool saving)
{
    using Outcome = MasterRecordStore::Outcome;
    switch (result.outcome) {
    case Outcome::Duplicate:
        notice(QStringLiteral("[") + result.holder + QStringLiteral("]已经使用了") + codeBox->text() +
               QStringLiteral("这个编码，请重新设置编码!"));
        codeBox->setFocus();
        break;
    case Outcome::InUse:
        notice(saving ? QStringLiteral("本编码已经在系统中采用，不可以修改编码！")
                      : QStringLiteral("本编码已经在系统中采用，不可以删除！"));
        break;
    case Outcome::LastRecord:
        notice(kind_.keepOneMessage);
        break;
    case Outcome::Failed:
        notice(QStringLiteral("数据库操作失败，数据没有改变：\n") + result.error);
        break;
    case Outcome::Done:
        break;
    }
}

void MasterDataWindow::dropEditedRow()
{
    if (model_->rows() < 3)
        setListGridHeaders();
    else
        model_->removeItem(CurRow);
}

// The saved row's texts may be wider than any before: the columns are laid
// out and fitted again.
void MasterDataWindow::appendSavedRow(const QStringList &cells)
{
    model_->addItem(cells.join(QLatin1Char('\t')));
    if (listedCode(1).isEmpty() && model_->rows() > 2)
        model_->removeItem(1);
    CurRow = model_->rows() - 1;
    layoutWindow();
}

void MasterDataWindow::saveRecord()
{
    if (editState_ == 0)
        return;
    Txt[0]->setText(Txt[0]->text().toUpper());
    for (int i = 0; i < 2; ++i) {
        if (Txt[i]->text().trimmed().isEmpty()) {
            notice(Lab[i]->text() + QStringLiteral("不能为空！"));
            return;
        }
    }
    QStringList values;
    for (QLineEdit *box : Txt)
        values.append(box->text().trimmed());
    const std::optional<QString> oldCode =
        editState_ == 2 ? std::optional<QString>(listedCode(CurRow)) : std::nullopt;
    const auto result = store_.save(values, oldCode);
    if (!result.ok()) {
        reportStoreFailure(result, Txt[0], true);
        return;
    }
    if (editState_ == 1)
        ++RecordCount;
    else
        dropEditedRow();
    appendSavedRow(cardRow());
    setBrowseMode();
}

// The deleted row's texts may have been the widest: the columns are laid out
// and fitted again, so its room goes back to the others.
void MasterDataWindow::afterDelete()
{
    if (model_->rows() > 2)
        model_->removeItem(CurRow);
    else
        setListGridHeaders();
    layoutWindow();
    --RecordCount;
    if (CurRow > RecordCount)
        CurRow = RecordCount;
    setGridRow(CurRow);
    if (cardShowing())
        TabS->setCurrentIndex(0);
    trackListRow();
}

void MasterDataWindow::deleteRecord()
{
    if (RecordCount == 0)
        return;
    const QString code = listedCode(CurRow);
    auto result = store_.checkDelete(code);
    if (!result.ok()) {
        reportStoreFailure(result, Txt[0], false);
        return;
    }
    if (!Prompt::current().ask(QStringLiteral("提示"),
                               QStringLiteral("真的要删除") + cell(CurRow, columnOfBox(1)) + QStringLiteral("的资料吗？"),
                               Prompt::Icon::Question))
        return;
    result = store_.remove(code);
    if (!result.ok()) {
        reportStoreFailure(result, Txt[0], false);
        return;
    }
    afterDelete();
}

// ---- query and print -------------------------------------------------------------

// Narrows the list by the conditions the operator builds in the query dialog;
// a cancelled dialog leaves the list as it was.
void MasterDataWindow::queryList()
{
    PubSql.clear();
    Query &query = Query::instance(this);
    query.loader = this;
    query.SqlHeadstr = kind_.queryBase;
    query.setFields(kind_.queryFields);
    query.CmbF->setCurrentIndex(kind_.queryStartField);
    query.showModal();
    if (!PubSql.isEmpty())
        fillListGrid(PubSql);
}

QVector<int> MasterDataWindow::printColumns() const
{
    QVector<int> columns;
    for (int c = 0; c < model_->cols(); ++c)
        columns.append(c);
    return columns;
}

// Prints the list as it is shown, through the staging table PrTA1.
void MasterDataWindow::printList()
{
    PrintRequest request;
    request.reportFile = kind_.report.runFile;
    request.testedFile = kind_.report.file;
    request.stagingTable = QStringLiteral("PrTA1");
    // An empty list keeps one blank grid row; it is no record to print.
    if (RecordCount > 0) {
        request.stagingGrid = model_;
        request.stagingGridColumns = printColumns();
    }
    request.stagingColumns = StagingColumns(1, qMax(1, int(request.stagingGridColumns.size())));
    request.formulas = {FormulaText(QStringLiteral("Cpt"), kind_.report.title)};
    RunPrintRequest(request);
}

// ---- window ------------------------------------------------------------------

void MasterDataWindow::closeEvent(QCloseEvent *event)
{
    if (editState_ != 0) {
        Module1::instance().WarnEditInProgress();
        event->ignore();
        return;
    }
    Module1::instance().ShowBookNameInStatusBar();
    event->accept();
}

void MasterDataWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (kind_.placeAtLeftEdge && !placed_) {
        placed_ = true;
        placeAtLeftEdge();
    }
    layoutWindow();
}

// The category and operator windows run along the main window's left edge,
// from the top of its client area down to the status bar, title bar included,
// at least 4500 twips wide and wide enough for their menu on one row.
void MasterDataWindow::placeAtLeftEdge()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub || !sub->mdiArea())
        return;
    const QSize area = sub->mdiArea()->viewport()->size();
    const QMargins frame = sub->contentsMargins();  // title bar and borders
    const QWidget *menu = layout()->menuBar();
    const int menuWidth = menu ? menu->sizeHint().width() + frame.left() + frame.right() : 0;
    sub->setGeometry(0, 0, qMin(qMax(twips(4500), menuWidth), area.width()), area.height());
}

void MasterDataWindow::layoutWindow()
{
    placeControls();
    setColumnWidths();
    FitColumnsToTexts(GD);
}

void MasterDataWindow::setColumnWidths()
{
    if (!kind_.listColumns.isEmpty()) {
        setColumnWidths(columnWidths(kind_.listColumns, gridWidth()));
        return;
    }
    const int n = kind_.columnCount();
    if (n <= 0)
        return;
    const int columnWidth = gridWidth() / n;  // rounded down: no scroll bar for a pixel
    for (int c = 0; c < n; ++c)
        GD->setColumnWidth(c, columnWidth);
}

void MasterDataWindow::setColumnWidths(const QVector<int> &widths)
{
    for (int c = 0; c < widths.size(); ++c) {
        GD->setColumnHidden(c, widths[c] == 0);
        if (widths[c] > 0)
            GD->setColumnWidth(c, widths[c]);
    }
}

int MasterDataWindow::gridWidth() const
{
    const QScrollBar *vertical = GD->verticalScrollBar();
    return GD->width() - 2 * GD->frameWidth() - (vertical->isVisible() ? vertical->width() : 0);
}

void MasterDataWindow::placeControls()
{
    const int width = body_->width();
    const int height = body_->height();
    const int tabHeight = TabS->sizeHint().height();
    TabS->setGeometry(0, 0, width, tabHeight);
    const int clientHeight = qMax(0, height - tabHeight);
    GD->setGeometry(0, tabHeight, qMax(0, width - twips(100)), qMax(0, clientHeight - twips(kind_.gridFreeHeightTwips)));
    Frm->setGeometry(0, tabHeight, width, clientHeight);
}

// ---- card boxes ----------------------------------------------------------------

void MasterDataWindow::installCardBox(QWidget *box, bool upperCase)
{
    box->installEventFilter(this);
    if (upperCase)
        upperCaseBoxes_.append(box);
}

bool MasterDataWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == body_) {
        if (event->type() == QEvent::Resize)
            layoutWindow();
        return false;
    }
    auto *box = qobject_cast<QWidget *>(watched);
    if (!box)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (editState_ == 0) {
            TabS->setFocus();
        } else {
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, kEditFocusColour);
            box->setPalette(palette);
        }
        break;
    case QEvent::FocusOut:
        box->setPalette(QApplication::palette(box));
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (upperCaseBoxes_.contains(box)) {
            const QString text = key->text();
            auto *line = qobject_cast<QLineEdit *>(box);
            if (line && !line->isReadOnly() && !text.isEmpty() && text.at(0).isPrint() && text != text.toUpper()) {
                line->insert(text.toUpper());
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace frames
