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

// ---- line entry -------------------------------------------------------------------

// Runs after every change of lines: the total and the line grid's columns
// follow the lines.
void DocumentWindow::UpdateDocumentTotal()
{
    Txt[5]->setText(editor_.totalText());
    LayoutLineGrid();
}

void DocumentWindow::AddLineFromEntryStrip()
{
    QString quantity = TxtSL->text();
    const std::optional<int> row = editor_.addFromEntryStrip(TxtHPBM->text(), quantity, Txt[0]->text());
    if (quantity != TxtSL->text())
        TxtSL->setText(quantity);
    if (row)
        mLineRow = *row;
    ShowLineStatus();
    UpdateDocumentTotal();
}

void DocumentWindow::SubmitEntryStrip()
{
    if (edstu_ == Browse)
        return;
    if (TxtEnter->isVisible())
        CommitCellEdit();  // an open cell is written before the strip changes the grid
    HideSearchPanel();
    if (!editor_.acceptsNumber(TxtSL->text(), lines_.textMatrix(0, ColQuantity))) {
        TxtSL->setFocus();
        TxtSL->selectAll();
        return;
    }
    AddLineFromEntryStrip();
    TxtHPBM->setFocus();
    TxtHPBM->selectAll();
}

void DocumentWindow::DeleteLineByCode()
{
    if (TxtEnter->isVisible())
        CommitCellEdit();
    HideSearchPanel();
    const std::optional<int> row = editor_.deleteByCode(TxtHPBM->text());
    if (row) {
        mLineRow = *row;
        ShowLineStatus();
    } else if (TxtHPBM->text().trimmed().isEmpty()) {
        TxtHPBM->setFocus();
    }
    UpdateDocumentTotal();
}

// ---- in-cell editing -------------------------------------------------------------

void DocumentWindow::setLineCurrent(int row, int col)
{
    GdMx->setCurrentIndex(lines_.index(row - 1, col));
}

void DocumentWindow::BeginCellEdit(int row, int col)
{
    if (TxtEnter->isVisible())
        CommitCellEdit();
    if (row < 1 || row >= lines_.rows())
        return;
    setLineCurrent(row, col);
    mLineRow = row;
    ShowLineStatus();
    mLineCol = col;
    if (col == ColCode) {
        GdMx->selectionModel()->select(QItemSelection(lines_.index(row - 1, 0), lines_.index(row - 1, 6)),
                                       QItemSelectionModel::ClearAndSelect);
    }
    if (edstu_ != Browse) {
        if (editor_.isEditable(row, col))
            PlaceCellEditBox();
        TxtHPBM->setText(lines_.textMatrix(row, ColCode));
        TxtSL->setText(lines_.textMatrix(row, ColQuantity));
    }
}

void DocumentWindow::PlaceCellEditBox()
{
    const QRect cell = GdMx->visualRect(lines_.index(mLineRow - 1, mLineCol));
    TxtEnter->setGeometry(cell);
    TxtEnter->setText(lines_.textMatrix(mLineRow, mLineCol));
    TxtEnter->show();
    TxtEnter->raise();
    TxtEnter->setFocus();
    TxtEnter->selectAll();
}

void DocumentWindow::CommitCellEdit()
{
    if (edstu_ == Browse || !TxtEnter->isVisible() || committing_)
        return;
    committing_ = true;
    int row = mLineRow;
    const int before = row;
    mLineCol = editor_.commitCell(row, mLineCol, TxtEnter->text(), Txt[0]->text());
    TxtEnter->hide();
    mLineRow = row;
    if (row != before && mLineCol == ColCode)
        setLineCurrent(row, ColCode);  // a duplicate code: the line that holds it
    UpdateDocumentTotal();
    ShowLineStatus();
    committing_ = false;
}

void DocumentWindow::HandleCellEditEnter()
{
    const QString typed = TxtEnter->text();
    CommitCellEdit();
    if (editor_.lastCommitRefused()) {
        // The refused number stays in its box for the operator to mend.
        PlaceCellEditBox();
        TxtEnter->setText(typed);
        TxtEnter->selectAll();
        return;
    }
    GdMx->setFocus();
    const auto next = editor_.nextCell(mLineRow, mLineCol);
    if (!next)
        return;
    BeginCellEdit(next->first, next->second);
}

// ---- goods search panel -----------------------------------------------------------

bool DocumentWindow::isSearchPanelExpanded() const
{
    return searchBody_->isVisible() || !searchBody_->isHidden();
}

// Collapsed the panel fills its room beside the tab captions; expanded it
// keeps that top edge and width and lies over what is below, as far as the
// window reaches.
void DocumentWindow::placeSearchPanel()
{
    const QRect room = searchPlace_->geometry();
    int height = room.height();
    if (isSearchPanelExpanded())
        height = qMin(qMax(kExpandedSearchHeight, PicLRQ->sizeHint().height()), this->height() - room.top());
    PicLRQ->setGeometry(room.left(), room.top(), room.width(), qMax(height, room.height()));
    PicLRQ->raise();
}

void DocumentWindow::HideSearchPanel()
{
    if (FrmNewGoods) {
        FrmNewGoods->hide();
        CmdBox[0]->setText(QStringLiteral("选 定"));
    }
    GdQuery->show();
    searchBody_->hide();
    PicLRQ->setPalette(QPalette());
    placeSearchPanel();
}

void DocumentWindow::SearchGoodsByCodePrefix()
{
    if (isSearchPanelExpanded()) {
        HideSearchPanel();
        return;
    }
    const GoodsSearchResult result = searchGoodsByCodePrefix(m_.gDb, TxtHPBM->text());
    search_.setCaptions({QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), kind_.searchStockCaption});
    // Codes and names are texts, whatever their characters.
    for (int c : {0, 1})
        search_.setColAlignment(c, kTextAlignment);
    if (!result.error.isEmpty()) {
        search_.clearRows();
        message(kTip, result.error);
        return;  // the panel stays collapsed
    }
    search_.setDataRows(result.rows);
    LabInfo->setText(result.status);
    QPalette palette = PicLRQ->palette();
    palette.setColor(QPalette::Window, kSearchBackground);
    PicLRQ->setPalette(palette);
    searchBody_->show();
    placeSearchPanel();
    LayoutSearchGrid();
    GdQuery->setFocus();
    GdQuery->setCurrentIndex(search_.index(0, 0));
    GdQuery->selectRow(0);
}

void DocumentWindow::LayoutSearchGrid()
{
    const int w = PicLRQ->width() - 30;
    if (w > 0) {
        GdQuery->setColumnWidth(0, w / 4);
        GdQuery->setColumnWidth(1, kind_.doubleNameColumn ? w / 2 + w / 11 : w / 2 + w / 8 - 17);
        GdQuery->setColumnWidth(2, w / 8 - 7);
    }
    fitShownGrid(GdQuery);
}

bool DocumentWindow::inNewGoodsMode() const
{
    return FrmNewGoods && CmdBox[0]->text() == QStringLiteral("保 存");
}

void DocumentWindow::SaveNewGoodsAndAddLine()
{
    const NewGoodsOutcome outcome = saveNewGoods(m_, FrmNewGoods->input());
    if (!outcome.categoryCode.isEmpty())
        FrmNewGoods->setCategoryCode(outcome.categoryCode);
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
        FrmNewGoods->focusField(outcome.field);
        return;
    }
    const NewGoods goods = FrmNewGoods->input();
    TxtHPBM->setText(goods.code.trimmed());
    TxtSL->setText(goods.quantity);
    AddLineFromEntryStrip();
    CmdBox[2]->setFocus();
}

void DocumentWindow::RunSearchPanelCommand(int index)
{
    if (index == 0 && inNewGoodsMode()) {
        FrmNewGoods->dropLineBreaksInCode();
        SaveNewGoodsAndAddLine();
    } else if (index == 2 && FrmNewGoods) {
        if (inNewGoodsMode()) {
            FrmNewGoods->clearBoxes();
            return;
        }
        GdQuery->hide();
        CmdBox[0]->setText(QStringLiteral("保 存"));
        LabInfo->setText(QStringLiteral("增加新的货品资料"));
        FrmNewGoods->enter(TxtHPBM->text());
        placeSearchPanel();
    } else if (index == 0) {
        const QModelIndex current = GdQuery->currentIndex();
        TxtHPBM->setText(search_.textMatrix(current.isValid() ? current.row() + 1 : 1, 0));
        TxtSL->setFocus();
        // The quantity box collapses the panel and proposes 1 as it takes the focus.
        HideSearchPanel();
        if (numtext::typedNumber(TxtSL->text()) == 0)
            TxtSL->setText(QStringLiteral("1"));
        TxtSL->selectAll();
    } else if (index == 1) {
        TxtHPBM->setFocus();
        HideSearchPanel();
    }
}

// ---- focus and keys -----------------------------------------------------------------

void DocumentWindow::highlight(QWidget *box, bool on)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, on ? kHighlight : QApplication::palette().color(QPalette::Base));
    box->setPalette(palette);
}

void DocumentWindow::message(const QString &title, const QString &text)
{
    Prompt::current().message(title, text, Prompt::Icon::Information);
}

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!built_)
        return QWidget::eventFilter(watched, event);  // still being built
    const QEvent::Type type = event->type();
    // Header boxes.
    for (int i = 0; i < 7; ++i) {
        if (watched != Txt[i])
            continue;
        if (type == QEvent::FocusIn) {
            if (edstu_ == Browse) {
                TabS->setFocus();
                return false;
            }
            Txt[i]->selectAll();
            highlight(Txt[i], true);
            if (i == 1 && DTP1->isEnabled()) {
                const QDate date = db::parseDate(Txt[1]->text().trimmed());
                if (date.isValid())
                    DTP1->setDate(date);
                DTP1->setFocus();
                openCalendar(DTP1);
            }
            HideSearchPanel();
        } else if (type == QEvent::FocusOut) {
            highlight(Txt[i], false);
        } else if (isEnter(event)) {
            if (hasParty())
                CmbLB->setFocus();
            else
                focusNextChild();
            return true;
        }
        return false;
    }
    if (watched == CmbLB || watched == CmbLB->lineEdit()) {
        if (type == QEvent::FocusIn) {
            HideSearchPanel();
        } else if (isEnter(event)) {
            TxtHPBM->setFocus();
            return true;
        }
        return false;
    }
    if (watched == TxtHPBM) {
        if (type == QEvent::FocusIn) {
            highlight(TxtHPBM, true);
            TxtHPBM->selectAll();
            HideSearchPanel();
        } else if (type == QEvent::FocusOut) {
            highlight(TxtHPBM, false);
        } else if (isEnter(event)) {
            TxtSL->setFocus();
            return true;
        } else if (type == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down) {
            SearchGoodsByCodePrefix();
            return true;
        }
        return false;
    }
    if (watched == TxtSL) {
        if (type == QEvent::FocusIn) {
            highlight(TxtSL, true);
            if (numtext::typedNumber(TxtSL->text()) == 0)
                TxtSL->setText(QStringLiteral("1"));
            TxtSL->selectAll();
            HideSearchPanel();
        } else if (type == QEvent::FocusOut) {
            highlight(TxtSL, false);
            if (numtext::typedNumber(TxtSL->text()) < 0)
                TxtSL->setText(QStringLiteral("0"));
        } else if (isEnter(event)) {
            if (TxtHPBM->text().trimmed().isEmpty())
                TxtHPBM->setFocus();
            else
                SubmitEntryStrip();
            return kind_.consumeEnterInQuantity;
        }
        return false;
    }
    if (watched == TxtEnter) {
        if (type == QEvent::FocusOut) {
            CommitCellEdit();
        } else if (isEnter(event)) {
            HandleCellEditEnter();
            return true;
        }
        return false;
    }
    if (watched == searchPlace_ && (type == QEvent::Resize || type == QEvent::Move)) {
        placeSearchPanel();
        return false;
    }
    if (type == QEvent::Resize || type == QEvent::Show) {
        if (watched == GD)
            LayoutListGrid();
        else if (watched == GdMx)
            LayoutLineGrid();
        else if (watched == GdQuery)
            LayoutSearchGrid();
    }
    if (watched == GdMx && type == QEvent::FocusIn) {
        HideSearchPanel();
        return false;
    }
    if (type == QEvent::KeyPress && FrmNewGoods && std::find(CmdBox.begin(), CmdBox.end(), watched) != CmdBox.end()
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        RunSearchPanelCommand(1);
        return true;
    }
    if (watched == GdQuery && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunSearchPanelCommand(0);
            return true;
        }
        if (key == Qt::Key_Escape) {
            RunSearchPanelCommand(1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace documents
