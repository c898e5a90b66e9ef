#include "DocumentWindow.h"
#include "DocumentWindowParts.h"

#include "db/DateText.h"
#include "documents/DocumentPrinting.h"
#include "documents/DocumentService.h"
#include "documents/GoodsSearch.h"
#include "documents/NewGoodsPanel.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"
#include "shell/RecordStatus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyleOptionComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace documents {

using namespace windowparts;

namespace {

// A stored note date that cannot be read is refused as such, before any
// comparison with the lock date; true when it was refused.
bool refuseUnreadableDate(const DocumentKind &kind, const QString &dateText)
{
    if (db::parseDate(dateText.trimmed()).isValid())
        return false;
    Prompt::current().message(QStringLiteral("提示"), kind.headerLabels.value(1) + QStringLiteral("不是有效的日期！"),
                              Prompt::Icon::Information);
    return true;
}

std::unique_ptr<LineEditor> makeLineEditor(Module1 &module, const DocumentKind &kind, GridModel &grid)
{
    return kind.lineEditor ? kind.lineEditor(module, kind, grid) : std::make_unique<LineEditor>(module, kind, grid);
}

} // namespace

DocumentWindow::DocumentWindow(const DocumentKind &kind, QWidget *parent)
    : QWidget(parent), kind_(kind), m_(Module1::instance()), editorOwner_(makeLineEditor(m_, kind, lines_)),
      editor_(*editorOwner_)
{
    setObjectName(kind.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kind.windowCaption);
    buildControls();
    InitDocumentWindow();
}

DocumentWindow::~DocumentWindow() = default;

// ---- window load, layout, list ---------------------------------------------

void DocumentWindow::InitDocumentWindow()
{
    if (m_.gOptKeepPrices == 0 && Menu_prn.size() > 1)
        Menu_prn[1]->setEnabled(false);
    mListAll = false;
    if (m_.gUserCode != QStringLiteral("001") || !kind_.canCancelAudit)
        Menu_noOK->setVisible(false);
    edstu_ = Browse;
    FillPartnerCombo();
    mListOrder = kind_.listOrder();
    Frm->hide();
    GD->show();
    LoadDocumentList(kind_.listStatement());
    Txt[0]->setMaxLength(25);
    Menu_T->setVisible(false);
    // Browse mode's fixed parts.
    for (int i = 0; i < 7; ++i)
        Txt[i]->setReadOnly(true);
    CmbLB->hide();
    Menu_save->setVisible(false);
    Menu_cancel->setVisible(false);
    PicLRQ->hide();
    HideSearchPanel();
    DTP1->setEnabled(false);
    editor_.setHeaders();
    if (m_.gOptKeepPrices == 0)
        Lab[5]->setText(kind_.quantityOnlyTotalLabel);
    LayoutDocumentWindow();
}

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutDocumentWindow();
}

void DocumentWindow::LayoutDocumentWindow()
{
    LayoutListGrid();
    LayoutLineGrid();
}

// The grids' columns start from the widths the kind gives them and are then
// fitted to their texts, so that no number, date, code or note number is cut
// while the grid has room. Each grid is laid out again when it shows or is
// resized, and the line grid also when its lines change.
void DocumentWindow::LayoutListGrid()
{
    // Both grids span the window; a hidden grid has no width of its own yet.
    const int listWidth = width() - 30;
    if (listWidth > 0) {
        for (int c = 0; c < 7; ++c)
            GD->setColumnWidth(c, listWidth / 7);
    }
    GD->setColumnHidden(7, true);
    fitShownGrid(GD);
}

void DocumentWindow::LayoutLineGrid()
{
    const int lineWidth = width() - 30;
    const bool quantityOnly = m_.gOptKeepPrices == 0;
    if (lineWidth > 0) {
        const int base = kind_.doubleNameColumn ? lineWidth / 8 : lineWidth / 7;
        std::array<int, 7> widths;
        widths.fill(base);
        if (kind_.doubleNameColumn)
            widths[ColName] = 2 * base;
        if (quantityOnly) {
            // The name takes the price column's room, the remark the amount's
            // (or the name both).
            widths[ColName] += widths[ColPrice];
            widths[kind_.quantityOnlyRoomToName ? ColName : ColRemark] += widths[ColAmount];
        }
        for (int c = 0; c < 7; ++c)
            GdMx->setColumnWidth(c, widths[c]);
    }
    GdMx->setColumnHidden(ColPrice, quantityOnly);
    GdMx->setColumnHidden(ColAmount, quantityOnly);
    fitShownGrid(GdMx);
}

void DocumentWindow::FillPartnerCombo()
{
    CmbLB->clear();
    if (kind_.partyTable.isEmpty())
        return;
    db::Statement st = m_.gDb.prepare(QStringLiteral("select F1,F2 from ") + kind_.partyTable
                                      + QStringLiteral(" order by F1"));
    while (st.isValid() && st.next())
        CmbLB->addItem(st.text(0).trimmed() + QLatin1Char('.') + st.text(1).trimmed());
    CmbLB->setCurrentIndex(-1);
    if (FrmNewGoods)
        FrmNewGoods->fillCategories();
}

void DocumentWindow::SetListGridHeaders()
{
    const QString partyCaption = kind_.listPartyCaption.isEmpty() ? kind_.headerLabels.value(2) : kind_.listPartyCaption;
    list_.setCaptions({kind_.headerLabels.value(0), kind_.kindWord + QStringLiteral("日期"), partyCaption,
                       QStringLiteral("录入员"), QStringLiteral("审核人"),
                       m_.gOptKeepPrices == 0 ? kind_.listQuantityCaption : kind_.listAmountCaption,
                       QStringLiteral("附注"), kind_.partyCodeCaption});
    // The header centres the captions; the total reads as numbers do in every
    // grid, the other cells as texts.
    for (int c = 0; c < 7; ++c)
        list_.setColAlignment(c, c == 5 ? kNumberAlignment : kTextAlignment);
    list_.clearRows();
    GD->setColumnHidden(7, true);
    mListRow = 1;
}

void DocumentWindow::LoadDocumentList(const QString &statement)
{
    SetListGridHeaders();
    db::Statement st = m_.gDb.prepare(statement + mListOrder);
    if (!st.isValid()) {
        message(kTip, m_.gDb.lastError());
        return;
    }
    if (kind_.busyPointerOnList)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    loading_ = true;
    list_.fillFromStatement(st, [this](const db::Statement &s) { return listRowTexts(s); });
    loading_ = false;
    if (kind_.busyPointerOnList)
        QApplication::restoreOverrideCursor();
    if (st.hasError())
        message(kTip, st.error());
    mListRows = listIsEmpty() ? 0 : list_.rows() - 1;
    mListRow = 1;
    ShowListStatus();
}

QStringList DocumentWindow::listRowTexts(const db::Statement &s) const
{
    const bool keepPrices = m_.gOptKeepPrices != 0 && !kind_.listTotalAsGeneral;
    QStringList row;
    for (int c = 0; c < 8; ++c)
        row.append(s.text(c));
    if (!s.isNull(5)) {
        row[5] = keepPrices ? numtext::numToText(numtext::leadingNumber(numtext::formatNumber(s.number(5), QStringLiteral("#0.00"))))
                            : numtext::numToText(s.number(5));
    }
    return row;
}

void DocumentWindow::ShowListStatus()
{
    if (mListRow > list_.rows() - 1)
        mListRow = list_.rows() - 1;
    if (mListRow < 1)
        mListRow = 1;
    loading_ = true;
    GD->setCurrentIndex(list_.index(mListRow - 1, 0));
    GD->selectRow(mListRow - 1);
    loading_ = false;
    if (list_.rows() == 2 && listIsEmpty())
        m_.statusPanels().setPanelText(4, QStringLiteral("无单据信息"));
    else
        m_.statusPanels().setPanelText(4, RecordStatusText(kind_.listPrefix(), list_.rows() - 1, mListRow));
}

void DocumentWindow::TrackListRow()
{
    const QModelIndex current = GD->currentIndex();
    if (current.isValid())
        mListRow = current.row() + 1;
    ShowListStatus();
}

void DocumentWindow::SelectListRow(int row)
{
    mListRow = row;
    ShowListStatus();
}

bool DocumentWindow::onDetailTab() const
{
    return TabS->currentIndex() == 1;
}

void DocumentWindow::SwitchTab(int index)
{
    if (index == 0) {
        Frm->hide();
        GD->show();
        TrackListRow();
        GD->setFocus();
    } else {
        GD->hide();
        Frm->show();
        LoadDocumentFromListRow();
    }
}

void DocumentWindow::LoadDocumentFromListRow()
{
    if (mListRow == 0)
        mListRow = 1;
    for (int i = 0; i < 7; ++i)
        Txt[i]->setText(listCell(mListRow, i));
    CmbLB->setEditText(listCell(mListRow, 7).trimmed() + QLatin1Char('.') + Txt[2]->text().trimmed());
    LoadDocumentLines();
}

void DocumentWindow::LoadDocumentLines()
{
    const QString error = editor_.loadLines(Txt[0]->text());
    if (!error.isEmpty())
        message(kTip, error);
    LayoutLineGrid();
    mLineRow = 1;
    ShowLineStatus();
}

void DocumentWindow::ShowLineStatus()
{
    if (mLineRow >= lines_.rows())
        mLineRow = lines_.rows() - 1;
    if (mLineRow < 1)
        mLineRow = 1;
    const QModelIndex current = GdMx->currentIndex();
    GdMx->setCurrentIndex(lines_.index(mLineRow - 1, current.isValid() ? current.column() : 0));
    if (editor_.isEmpty()) {
        m_.statusPanels().setPanelText(4, kind_.noLinesText());
        return;
    }
    mLineRows = editor_.lineCount();
    m_.statusPanels().setPanelText(4, RecordStatusText(kind_.linePrefix(), mLineRows, mLineRow));
}

// ---- modes -------------------------------------------------------------------

void DocumentWindow::SetBrowseMode()
{
    TabS->setEnabled(true);
    for (int i = 1; i < 7; ++i)
        Txt[i]->setReadOnly(true);
    Txt[0]->setReadOnly(true);
    Txt[2]->show();
    CmbLB->hide();
    if (!kind_.browseCaption.isEmpty())
        setWindowTitle(kind_.browseCaption);
    for (QAction *a : {Menu_Add, Menu_Ok, Menu_edit, Menu_del, Menu_query, Menu_print})
        a->setVisible(true);
    Menu_noOK->setVisible(m_.gUserCode == QStringLiteral("001") && kind_.canCancelAudit);
    Menu_save->setVisible(false);
    Menu_cancel->setVisible(false);
    PicLRQ->hide();
    edstu_ = Browse;
    TabS->setFocus();
    if (mListRow > list_.rows() - 1)
        mListRow = list_.rows() - 1;
    ShowListStatus();
    DTP1->setEnabled(false);
}

void DocumentWindow::SetEditMode()
{
    if (TabS->currentIndex() == 0)
        TabS->setCurrentIndex(1);  // shows the note of the current list row
    TabS->setEnabled(false);
    for (int i = 1; i < 7; ++i) {
        Txt[i]->setReadOnly(false);
        if (edstu_ == New)
            Txt[i]->clear();
    }
    for (int i = 3; i < 6; ++i)
        Txt[i]->setReadOnly(true);
    if (hasParty()) {
        Txt[2]->hide();
        CmbLB->show();
    }
    if (!kind_.editCaption.isEmpty())
        setWindowTitle(kind_.editCaption);
    for (QAction *a : {Menu_Add, Menu_Ok, Menu_noOK, Menu_edit, Menu_del, Menu_query, Menu_print})
        a->setVisible(false);
    Menu_save->setVisible(true);
    Menu_cancel->setVisible(true);
    HideSearchPanel();
    PicLRQ->show();
    DTP1->setEnabled(true);
    Menu_T->setVisible(false);
}

void DocumentWindow::NewDocument()
{
    edstu_ = New;
    SetEditMode();
    Txt[0]->setReadOnly(false);
    CmbLB->setCurrentIndex(CmbLB->count() > 0 ? 0 : -1);
    if (CmbLB->count() == 0)
        CmbLB->setEditText(QString());
    Txt[0]->setText(m_.NextDocNo(kind_.prefix, kind_.headerTable));
    mReservedNo = Txt[0]->text();
    if (mReservedNo != Module1::EnterDocNoText)
        m_.ReserveDocNo(mReservedNo, 0);
    TxtHPBM->setFocus();
    editor_.setHeaders();
    if (!hasParty())
        Txt[2]->setText(m_.gUserName);
    Txt[3]->setText(m_.gUserName);
    Txt[1]->setText(db::dateText(m_.Today()));
    UpdateDocumentTotal();
    if (kind_.openCellEditOnEntry)
        BeginCellEdit(1, ColCode);
}

void DocumentWindow::EditDocument()
{
    if (!listCell(mListRow, 4).trimmed().isEmpty()) {
        message(kTip, QStringLiteral("此单据已经审核，不可修改！"));
        return;
    }
    if (listIsEmpty()) {
        message(kTip, QStringLiteral("没有数据可修改！"));
        return;
    }
    // The list may be older than the book: a note audited meanwhile is not edited.
    const QString auditor = m_.GetSingleValue(QStringLiteral("select F6 from ") + kind_.headerTable
                                                  + QStringLiteral(" where F1=?"),
                                              {listCell(mListRow, 0).trimmed()});
    if (auditor == Module1::NoFound || !auditor.trimmed().isEmpty()) {
        message(kTip, auditor == Module1::NoFound ? kNoteGoneMessage : QStringLiteral("此单据已经审核，不可修改！"));
        refreshListRowFromBook();
        return;
    }
    edstu_ = Edit;
    SetEditMode();
    CmbLB->setEditText(listCell(mListRow, 7).trimmed() + QLatin1Char('.') + Txt[2]->text().trimmed());
    Txt[0]->setReadOnly(false);
    TxtHPBM->setFocus();
    Txt[3]->setText(m_.gUserName);
    editor_.ensureTrailingEmptyRow();
    if (kind_.openCellEditOnEntry)
        BeginCellEdit(lines_.rows() - 1, ColCode);
    mReservedNo = Txt[0]->text();
}

void DocumentWindow::DeleteDocument()
{
    if (listIsEmpty()) {
        message(kTip, QStringLiteral("无单据可删除！"));
        return;
    }
    TrackListRow();
    if (!listCell(mListRow, 4).trimmed().isEmpty()) {
        message(kTip, QStringLiteral("该单据已审核，不能删除！"));
        return;
    }
    if (!Prompt::current().ask(kTip, QStringLiteral("真的要删除编码为") + listCell(mListRow, 0)
                                         + QStringLiteral("的单据吗？"),
                               Prompt::Icon::Question))
        return;
    const Outcome outcome = deleteDocument(m_, kind_, listCell(mListRow, 0));
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
        refreshListRowFromBook();
        return;
    }
    removeListRow();
    mListRows = list_.rows() - 1;
    if (onDetailTab())
        TabS->setCurrentIndex(0);
    ShowListStatus();
}

void DocumentWindow::removeListRow()
{
    if (list_.rows() >= 3) {
        list_.removeItem(mListRow);
        if (mListRow > list_.rows() - 1)
            mListRow = list_.rows() - 1;
    } else {
        SetListGridHeaders();
    }
}

// The list row may be older than the book: the note audited, cancelled or
// deleted on another computer since the list was loaded. The row is brought
// in line with the stored note, so the list never offers a stale state.
void DocumentWindow::refreshListRowFromBook()
{
    if (listIsEmpty())
        return;
    const QString auditor = m_.GetSingleValue(QStringLiteral("select F6 from ") + kind_.headerTable
                                                  + QStringLiteral(" where F1=?"),
                                              {listCell(mListRow, 0).trimmed()});
    const bool gone = auditor == Module1::NoFound;
    if (gone || (!mListAll && !auditor.trimmed().isEmpty())) {
        removeListRow();
        mListRows = listIsEmpty() ? 0 : list_.rows() - 1;
        if (onDetailTab())
            TabS->setCurrentIndex(0);
        ShowListStatus();
        return;
    }
    list_.setTextMatrix(mListRow, 4, auditor.trimmed());
    if (onDetailTab())
        Txt[4]->setText(auditor.trimmed());
}

// The note changed on another computer: its list row and its card show it
// as it is stored now.
void DocumentWindow::showStoredNote()
{
    db::Statement st = m_.gDb.prepare(kind_.queryStatement() + QStringLiteral("where ") + kind_.headerTable
                                      + QStringLiteral(".F1=?"));
    if (!st.isValid() || !st.bindAll({listCell(mListRow, 0).trimmed()}) || !st.next()) {
        refreshListRowFromBook();
        return;
    }
    const QStringList row = listRowTexts(st);
    for (int c = 0; c < row.size(); ++c)
        list_.setTextMatrix(mListRow, c, row[c]);
    LoadDocumentFromListRow();
}

void DocumentWindow::CancelEdit()
{
    if (edstu_ == New)
        m_.ReleaseDocNo(mReservedNo);
    edstu_ = Browse;
    TxtEnter->hide();
    SetBrowseMode();
    LoadDocumentFromListRow();
}

void DocumentWindow::CloseWindow()
{
    close();
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (edstu_ != Browse) {
        m_.WarnEditInProgress();
        event->ignore();
        return;
    }
    m_.ShowBookNameInStatusBar();
    event->accept();
}

// ---- save, audit, cancel audit ---------------------------------------------------

void DocumentWindow::SaveDocument()
{
    if (edstu_ == Browse)
        return;
    if (TxtEnter->isVisible())
        CommitCellEdit();
    SaveRequest request;
    request.edit = edstu_ == Edit;
    request.number = Txt[0]->text();
    request.date = Txt[1]->text();
    request.party = hasParty() ? CmbLB->currentText() : Txt[2]->text();
    request.enteredBy = Txt[3]->text();
    request.total = Txt[5]->text();
    request.remark = Txt[6]->text();
    request.reservedNo = mReservedNo;
    request.oldNumber = listCell(mListRow, 0);
    request.lines = editor_.saveLines();

    const SaveOutcome outcome = saveDocument(m_, kind_, request);
    if (outcome.partyResolved) {
        CmbLB->setEditText(outcome.partyCode);
        Txt[2]->setText(outcome.partyName);
    }
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
        if (outcome.storedNoteChanged) {
            // The edit can never be saved: back to browsing, and the list row
            // follows the stored note as after a refused edit or audit.
            CancelEdit();
            refreshListRowFromBook();
            return;
        }
        if (outcome.focus == Outcome::Focus::Number)
            Txt[0]->setFocus();
        else if (outcome.focus == Outcome::Focus::Party)
            CmbLB->setFocus();
        return;
    }

    if (request.edit)
        removeListRow();
    list_.addItem(QStringList{outcome.number, outcome.date, Txt[2]->text().trimmed(), Txt[3]->text().trimmed(),
                              QString(), Txt[5]->text().trimmed(), Txt[6]->text().trimmed(),
                              (hasParty() ? CmbLB->currentText() : Txt[2]->text()).trimmed()}
                      .join(QLatin1Char('\t')));
    if (listIsEmpty())
        list_.removeItem(1);
    mListRow = list_.rows() - 1;
    mListRows = list_.rows() - 1;
    ShowListStatus();
    SetBrowseMode();
    LoadDocumentFromListRow();
    if (kind_.showSavedNotice)
        m_.ShowSavedNotAuditedNotice();
}

void DocumentWindow::AuditDocument()
{
    if (listIsEmpty()) {
        message(kTip, QStringLiteral("没有供审核的单据！"));
        return;
    }
    if (!listCell(mListRow, 4).trimmed().isEmpty()) {
        message(kTip, QStringLiteral("该单据已审核，不需要再次审核！"));
        return;
    }
    auto lockDateRefuses = [this] {
        if (refuseUnreadableDate(kind_, listCell(mListRow, 1)))
            return true;
        if (!isBeforeLockDate(m_, listCell(mListRow, 1)))
            return false;
        message(QString(), QStringLiteral("单据日期不能在 ") + lockDateText(m_) + QStringLiteral(" 之前！"));
        return true;
    };
    auto confirmed = [this] { return Prompt::current().ask(kTip, kind_.auditConfirmation, Prompt::Icon::Question); };
    if (kind_.confirmBeforeLockDate) {
        if (!confirmed() || lockDateRefuses())
            return;
    } else if (lockDateRefuses() || !confirmed()) {
        return;
    }
    if (!onDetailTab())
        LoadDocumentFromListRow();
    // The question names no note: the audit posts the note shown, or nothing.
    const ShownNote shown{listCell(mListRow, 1), listCell(mListRow, 7), editor_.loadedLines()};
    const Outcome outcome = auditDocument(m_, kind_, listCell(mListRow, 0), &shown);
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
        if (outcome.shownNoteChanged)
            showStoredNote();
        else
            refreshListRowFromBook();
        return;
    }
    if (mListAll) {
        list_.setTextMatrix(mListRow, 4, m_.gUserName);
    } else {
        removeListRow();
        mListRows = listIsEmpty() ? 0 : list_.rows() - 1;
        ShowListStatus();
    }
    if (onDetailTab())
        TabS->setCurrentIndex(0);
}

void DocumentWindow::CancelAudit()
{
    if (!kind_.canCancelAudit)
        return;
    if (listIsEmpty()) {
        message(kTip, kind_.cancelNoRowMessage);
        return;
    }
    if (listCell(mListRow, 4).trimmed().isEmpty()) {
        message(kTip, kind_.cancelNotAuditedMessage);
        return;
    }
    if (refuseUnreadableDate(kind_, listCell(mListRow, 1)))
        return;
    if (isBeforeLockDate(m_, listCell(mListRow, 1))) {
        message(QString(), QStringLiteral("单据日期在 ") + lockDateText(m_) + QStringLiteral(" 之前，不能撤销审核！"));
        return;
    }
    if (!Prompt::current().ask(kTip, kind_.cancelConfirmation, Prompt::Icon::Question))
        return;
    if (!onDetailTab())
        LoadDocumentFromListRow();
    const Outcome outcome = cancelAudit(m_, kind_, listCell(mListRow, 0));
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
        refreshListRowFromBook();
        return;
    }
    Txt[4]->clear();
    list_.setTextMatrix(mListRow, 4, QString());
}

// ---- condition query and printing ---------------------------------------------------

void DocumentWindow::QueryDocuments()
{
    PubSql.clear();
    Query &query = Query::instance(this);
    query.loader = this;
    query.SqlHeadstr = kind_.queryStatement();
    const QString &h = kind_.headerTable;
    auto field = [&](int listColumn, const char *field, const char *type) {
        return QueryField{list_.textMatrix(0, listColumn), h + QLatin1Char('.') + QLatin1String(field),
                          QLatin1String(type)};
    };
    query.setFields({field(0, "F1", "0"), field(1, "F2", "2"), field(hasParty() ? 7 : 2, "F3", "0"), field(3, "F5", "0"),
                     field(4, "F6", "0"), field(5, "F9", "1"), field(6, "F10", "0")});
    query.CmbF->setCurrentIndex(0);
    query.showModal();
    mListAll = true;  // from now on the list may hold audited notes
    if (onDetailTab())
        TabS->setCurrentIndex(0);
    if (!PubSql.isEmpty())
        LoadDocumentList(PubSql);
}

void DocumentWindow::PrintDocument(int index)
{
    if (index != 0) {
        PrintStagedDocument();
        return;
    }
    if (listIsEmpty()) {
        message(kTip, QStringLiteral("无数据可打印！"));
        return;
    }
    RunPrintRequest(schemeOneRequest(kind_, listCell(mListRow, 0)));
}

void DocumentWindow::PrintStagedDocument()
{
    if (!onDetailTab())
        LoadDocumentFromListRow();
    if (lines_.textMatrix(1, ColCode).trimmed().isEmpty()) {
        message(kTip, QStringLiteral("无数据可打印！"));
        return;
    }
    RunPrintRequest(schemeTwoRequest(kind_, lines_,
                                     {Txt[0]->text(), Txt[1]->text(), Txt[2]->text(), Txt[3]->text(),
                                      Txt[4]->text(), Txt[5]->text()}));
}

} // namespace documents
