#include "DocumentWindow.h"

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

namespace {

const QString kTip = QStringLiteral("提示");
const QColor kHighlight(192, 255, 255);
const QColor kSearchBackground(192, 255, 192);

QTableView *makeGrid(GridModel *model, const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

// Opens the picker's calendar, as a click on its drop-down arrow does; the
// date is thus always chosen in the picker.
void openCalendar(QDateEdit *picker)
{
    QStyleOptionComboBox option;
    option.initFrom(picker);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPointF arrow =
        picker->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, picker).center();
    QCoreApplication::postEvent(picker, new QMouseEvent(QEvent::MouseButtonPress, arrow, picker->mapToGlobal(arrow),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

bool isEnter(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

DocumentWindow::DocumentWindow(const DocumentKind &kind, QWidget *parent)
    : QWidget(parent), kind_(kind), m_(Module1::instance()), editor_(m_, kind, lines_)
{
    setObjectName(kind.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kind.windowCaption);
    buildControls();
    InitDocumentWindow();
}

DocumentWindow::~DocumentWindow() = default;

// ---- controls --------------------------------------------------------------

void DocumentWindow::buildMenus(QMenuBar *bar)
{
    auto add = [this, bar](const QString &name, const QString &text) {
        auto *action = new QAction(text, this);
        action->setObjectName(name);
        bar->addAction(action);
        return action;
    };
    Menu_Add = add(QStringLiteral("Menu_Add"), QStringLiteral("&A.增加"));
    Menu_edit = add(QStringLiteral("Menu_edit"), QStringLiteral("&E.修改"));
    Menu_del = add(QStringLiteral("Menu_del"), QStringLiteral("&D.删除"));
    Menu_Ok = add(QStringLiteral("Menu_Ok"), QStringLiteral("&C.审核"));
    Menu_noOK = add(QStringLiteral("Menu_noOK"), QStringLiteral("&X.撤销审核"));
    Menu_query = add(QStringLiteral("Menu_query"), QStringLiteral("&Q.查找"));
    Menu_T = add(QStringLiteral("Menu_T"), QStringLiteral("&T.打印条码"));
    printMenu_ = new QMenu(QStringLiteral("&P.打印"), this);
    Menu_print = printMenu_->menuAction();
    Menu_print->setObjectName(QStringLiteral("Menu_print"));
    bar->addAction(Menu_print);
    for (int i = 0; i < kind_.printItems.size(); ++i) {
        auto *item = printMenu_->addAction(kind_.printItems[i]);
        item->setObjectName(QStringLiteral("Menu_prn%1").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { PrintDocument(i); });
        Menu_prn.append(item);
    }
    Menu_save = add(QStringLiteral("Menu_save"), QStringLiteral("&S.保存"));
    Menu_cancel = add(QStringLiteral("Menu_cancel"), QStringLiteral("&C.取消"));
    Menu_Return = add(QStringLiteral("Menu_Return"), QStringLiteral("&R.返回"));

    connect(Menu_Add, &QAction::triggered, this, &DocumentWindow::NewDocument);
    connect(Menu_edit, &QAction::triggered, this, &DocumentWindow::EditDocument);
    connect(Menu_del, &QAction::triggered, this, &DocumentWindow::DeleteDocument);
    connect(Menu_Ok, &QAction::triggered, this, &DocumentWindow::AuditDocument);
    connect(Menu_noOK, &QAction::triggered, this, &DocumentWindow::CancelAudit);
    connect(Menu_query, &QAction::triggered, this, &DocumentWindow::QueryDocuments);
    connect(Menu_save, &QAction::triggered, this, &DocumentWindow::SaveDocument);
    connect(Menu_cancel, &QAction::triggered, this, &DocumentWindow::CancelEdit);
    connect(Menu_Return, &QAction::triggered, this, &DocumentWindow::CloseWindow);
}

void DocumentWindow::buildControls()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(2, 2, 2, 2);
    auto *bar = new QMenuBar(this);
    buildMenus(bar);
    root->setMenuBar(bar);

    // Tab captions, with the search panel's entry strip beside them.
    auto *top = new QHBoxLayout;
    TabS = new QTabBar(this);
    TabS->setObjectName(QStringLiteral("TabS"));
    TabS->addTab(kind_.listTabCaption);
    TabS->addTab(kind_.detailTabCaption);
    top->addWidget(TabS, 0, Qt::AlignTop);

    PicLRQ = new QFrame(this);
    PicLRQ->setObjectName(QStringLiteral("PicLRQ"));
    PicLRQ->setAutoFillBackground(true);
    auto *panel = new QVBoxLayout(PicLRQ);
    panel->setContentsMargins(2, 2, 2, 2);
    auto *strip = new QHBoxLayout;
    strip->addWidget(new QLabel(QStringLiteral("货品编码："), PicLRQ));
    TxtHPBM = new QLineEdit(PicLRQ);
    TxtHPBM->setObjectName(QStringLiteral("TxtHPBM"));
    strip->addWidget(TxtHPBM);
    CmdQuery = new QPushButton(QStringLiteral("?"), PicLRQ);
    CmdQuery->setObjectName(QStringLiteral("CmdQuery"));
    CmdQuery->setToolTip(QStringLiteral("查找货品编码资料"));
    CmdQuery->setFocusPolicy(Qt::NoFocus);
    strip->addWidget(CmdQuery);
    strip->addWidget(new QLabel(QStringLiteral("数量："), PicLRQ));
    TxtSL = new QLineEdit(PicLRQ);
    TxtSL->setObjectName(QStringLiteral("TxtSL"));
    strip->addWidget(TxtSL);
    CmdEnter = new QPushButton(QStringLiteral("增加货品"), PicLRQ);
    CmdEnter->setObjectName(QStringLiteral("CmdEnter"));
    strip->addWidget(CmdEnter);
    CmdDel = new QPushButton(QStringLiteral("删除货品"), PicLRQ);
    CmdDel->setObjectName(QStringLiteral("CmdDel"));
    strip->addWidget(CmdDel);
    panel->addLayout(strip);

    searchBody_ = new QWidget(PicLRQ);
    auto *body = new QVBoxLayout(searchBody_);
    body->setContentsMargins(0, 0, 0, 0);
    if (kind_.hasNewGoodsPanel) {
        FrmNewGoods = new NewGoodsPanel(m_, searchBody_);
        body->addWidget(FrmNewGoods);
        connect(FrmNewGoods, &NewGoodsPanel::backRequested, this, [this] { RunSearchPanelCommand(1); });
    }
    GdQuery = makeGrid(&search_, QStringLiteral("GdQuery"), searchBody_);
    GdQuery->setMinimumHeight(240);
    body->addWidget(GdQuery);
    auto *foot = new QHBoxLayout;
    LabInfo = new QLabel(QStringLiteral("所有货品资料列表"), searchBody_);
    LabInfo->setObjectName(QStringLiteral("LabInfo"));
    foot->addWidget(LabInfo, 1);
    const QStringList boxCaptions{QStringLiteral("选 定"), QStringLiteral("返 回"), QStringLiteral("新 增")};
    for (int i = 0; i < (FrmNewGoods ? 3 : 2); ++i) {
        CmdBox[i] = new QPushButton(boxCaptions[i], searchBody_);
        CmdBox[i]->setObjectName(QStringLiteral("CmdBox%1").arg(i));
        connect(CmdBox[i], &QPushButton::clicked, this, [this, i] { RunSearchPanelCommand(i); });
        CmdBox[i]->installEventFilter(this);
        foot->addWidget(CmdBox[i]);
    }
    body->addLayout(foot);
    if (FrmNewGoods)
        FrmNewGoods->setNextAfterLast(CmdBox[0]);
    panel->addWidget(searchBody_);
    top->addWidget(PicLRQ, 1, Qt::AlignTop);
    root->addLayout(top);

    // Tab 1: the list.
    GD = makeGrid(&list_, QStringLiteral("GD"), this);
    root->addWidget(GD, 1);

    // Tab 2: the note.
    Frm = new QWidget(this);
    Frm->setObjectName(QStringLiteral("Frm"));
    auto *frm = new QVBoxLayout(Frm);
    frm->setContentsMargins(0, 0, 0, 0);
    FrmTop = new QFrame(Frm);
    FrmTop->setObjectName(QStringLiteral("FrmTop"));
    FrmBtm = new QFrame(Frm);
    FrmBtm->setObjectName(QStringLiteral("FrmBtm"));
    for (int i = 0; i < 7; ++i) {
        QWidget *owner = i < 3 ? static_cast<QWidget *>(FrmTop) : FrmBtm;
        Lab[i] = new QLabel(kind_.headerLabels.value(i), owner);
        Lab[i]->setObjectName(QStringLiteral("Lab%1").arg(i));
        Txt[i] = new QLineEdit(owner);
        Txt[i]->setObjectName(QStringLiteral("Txt%1").arg(i));
        Txt[i]->installEventFilter(this);
    }
    DTP1 = new QDateEdit(FrmTop);
    DTP1->setObjectName(QStringLiteral("DTP1"));
    DTP1->setCalendarPopup(true);
    DTP1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    CmbLB = new QComboBox(FrmTop);
    CmbLB->setObjectName(QStringLiteral("CmbLB"));
    CmbLB->setEditable(true);
    CmbLB->setInsertPolicy(QComboBox::NoInsert);
    CmbLB->installEventFilter(this);
    CmbLB->lineEdit()->installEventFilter(this);

    auto *topGrid = new QGridLayout(FrmTop);
    topGrid->addWidget(Lab[0], 0, 0);
    topGrid->addWidget(Txt[0], 0, 1);
    topGrid->addWidget(Lab[1], 0, 2);
    topGrid->addWidget(Txt[1], 0, 3);
    topGrid->addWidget(DTP1, 0, 4);
    topGrid->addWidget(Lab[2], 0, 5);
    topGrid->addWidget(Txt[2], 0, 6);
    topGrid->addWidget(CmbLB, 0, 7);
    topGrid->setColumnStretch(6, 1);
    topGrid->setColumnStretch(7, 1);
    auto *btmGrid = new QGridLayout(FrmBtm);
    for (int i = 3; i < 7; ++i) {
        btmGrid->addWidget(Lab[i], 0, 2 * (i - 3));
        btmGrid->addWidget(Txt[i], 0, 2 * (i - 3) + 1);
    }
    btmGrid->setColumnStretch(7, 2);

    GdMx = makeGrid(&lines_, QStringLiteral("GdMx"), Frm);
    GdMx->setSelectionBehavior(QAbstractItemView::SelectItems);
    GdMx->installEventFilter(this);
    TxtEnter = new QLineEdit(GdMx->viewport());
    TxtEnter->setObjectName(QStringLiteral("TxtEnter"));
    TxtEnter->hide();
    TxtEnter->installEventFilter(this);
    frm->addWidget(FrmTop);
    frm->addWidget(GdMx, 1);
    frm->addWidget(FrmBtm);
    root->addWidget(Frm, 1);

    TxtHPBM->installEventFilter(this);
    TxtSL->installEventFilter(this);
    GdQuery->installEventFilter(this);

    connect(TabS, &QTabBar::currentChanged, this, &DocumentWindow::SwitchTab);
    connect(GD->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!loading_ && current.isValid()) {
                    mListRow = current.row() + 1;
                    ShowListStatus();
                }
            });
    connect(GD, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        SelectListRow(index.row() + 1);
        TabS->setCurrentIndex(1);
    });
    connect(GdMx, &QTableView::clicked, this,
            [this](const QModelIndex &index) { BeginCellEdit(index.row() + 1, index.column()); });
    auto endOnScroll = [this] {
        if (TxtEnter->isVisible())
            CommitCellEdit();
    };
    connect(GdMx->verticalScrollBar(), &QScrollBar::valueChanged, this, endOnScroll);
    connect(GdMx->horizontalScrollBar(), &QScrollBar::valueChanged, this, endOnScroll);
    connect(CmdEnter, &QPushButton::clicked, this, &DocumentWindow::SubmitEntryStrip);
    connect(CmdDel, &QPushButton::clicked, this, &DocumentWindow::DeleteLineByCode);
    connect(CmdQuery, &QPushButton::clicked, this, &DocumentWindow::SearchGoodsByCodePrefix);
    connect(TxtHPBM, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Codes are upper-cased as they are typed.
        const QString upper = text.toUpper();
        if (upper != text) {
            const int pos = TxtHPBM->cursorPosition();
            TxtHPBM->setText(upper);
            TxtHPBM->setCursorPosition(pos);
        }
    });
    connect(Txt[1], &QLineEdit::textChanged, this, [this](const QString &text) {
        const QDate date = db::parseDate(text.trimmed());
        if (date.isValid() && date != DTP1->date()) {
            QSignalBlocker block(DTP1);
            DTP1->setDate(date);
        }
    });
    connect(DTP1, &QDateEdit::dateChanged, this, [this](const QDate &date) { Txt[1]->setText(db::dateText(date)); });
}

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
        Lab[5]->setText(QStringLiteral("数量合计"));
    LayoutDocumentWindow();
}

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutDocumentWindow();
}

void DocumentWindow::LayoutDocumentWindow()
{
    const int listWidth = GD->viewport()->width();
    if (listWidth > 0) {
        for (int c = 0; c < 7; ++c)
            GD->setColumnWidth(c, listWidth / 7);
    }
    GD->setColumnHidden(7, true);
    const int lineWidth = GdMx->viewport()->width();
    if (lineWidth > 0) {
        const int base = kind_.doubleNameColumn ? lineWidth / 8 : lineWidth / 7;
        for (int c = 0; c < 7; ++c)
            GdMx->setColumnWidth(c, base);
        if (kind_.doubleNameColumn)
            GdMx->setColumnWidth(1, 2 * base);
    }
    if (m_.gOptKeepPrices == 0) {
        GdMx->setColumnHidden(ColPrice, true);
        GdMx->setColumnHidden(ColAmount, true);
    }
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
    list_.setCaptions({kind_.headerLabels.value(0), kind_.kindWord + QStringLiteral("日期"), kind_.headerLabels.value(2),
                       QStringLiteral("录入员"), QStringLiteral("审核人"),
                       m_.gOptKeepPrices == 0 ? QStringLiteral("数量") : QStringLiteral("金额"),
                       QStringLiteral("附注"), kind_.partyCodeCaption});
    for (int c = 0; c < 7; ++c)
        list_.setColAlignment(c, Qt::AlignCenter);
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
    const bool keepPrices = m_.gOptKeepPrices != 0;
    if (kind_.busyPointerOnList)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    loading_ = true;
    list_.fillFromStatement(st, [keepPrices](const db::Statement &s) {
        QStringList row;
        for (int c = 0; c < 8; ++c)
            row.append(s.text(c));
        if (!s.isNull(5)) {
            row[5] = keepPrices ? numtext::numToText(numtext::leadingNumber(numtext::formatNumber(s.number(5), QStringLiteral("#0.00"))))
                                : numtext::generalText(s.number(5));
        }
        return row;
    });
    loading_ = false;
    if (kind_.busyPointerOnList)
        QApplication::restoreOverrideCursor();
    if (st.hasError())
        message(kTip, st.error());
    mListRows = listIsEmpty() ? 0 : list_.rows() - 1;
    mListRow = 1;
    ShowListStatus();
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
        m_.statusPanels().setPanelText(4, kind_.listPrefix() + QString::number(list_.rows() - 1)
                                              + QStringLiteral(" 条记录 当前为第 ") + QString::number(mListRow)
                                              + QStringLiteral(" 条"));
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
    m_.statusPanels().setPanelText(4, kind_.linePrefix() + QString::number(mLineRows)
                                          + QStringLiteral(" 条记录 当前为第 ") + QString::number(mLineRow)
                                          + QStringLiteral(" 条"));
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
    Txt[2]->hide();
    CmbLB->show();
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
    Txt[3]->setText(m_.gUserName);
    Txt[1]->setText(db::dateText(m_.Today()));
    UpdateDocumentTotal();
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
    if (auditor != Module1::NoFound && !auditor.trimmed().isEmpty()) {
        message(kTip, QStringLiteral("此单据已经审核，不可修改！"));
        return;
    }
    edstu_ = Edit;
    SetEditMode();
    CmbLB->setEditText(listCell(mListRow, 7).trimmed() + QLatin1Char('.') + Txt[2]->text().trimmed());
    Txt[0]->setReadOnly(false);
    TxtHPBM->setFocus();
    Txt[3]->setText(m_.gUserName);
    editor_.ensureTrailingEmptyRow();
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
    request.party = CmbLB->currentText();
    request.enteredBy = Txt[3]->text();
    request.total = Txt[5]->text();
    request.remark = Txt[6]->text();
    request.reservedNo = mReservedNo;
    request.oldNumber = listCell(mListRow, 0);
    for (int r = 1; r < lines_.rows(); ++r)
        request.lines.append({lines_.textMatrix(r, ColCode), lines_.textMatrix(r, ColQuantity),
                              lines_.textMatrix(r, ColPrice), lines_.textMatrix(r, ColRemark)});

    const SaveOutcome outcome = saveDocument(m_, kind_, request);
    if (outcome.partyResolved) {
        CmbLB->setEditText(outcome.partyCode);
        Txt[2]->setText(outcome.partyName);
    }
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
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
                              CmbLB->currentText().trimmed()}
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
    const Outcome outcome = auditDocument(m_, kind_, listCell(mListRow, 0));
    if (!outcome.done) {
        Prompt::current().message(outcome.title, outcome.message, outcome.icon);
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
    if (listIsEmpty()) {
        message(kTip, kind_.cancelNoRowMessage);
        return;
    }
    if (listCell(mListRow, 4).trimmed().isEmpty()) {
        message(kTip, kind_.cancelNotAuditedMessage);
        return;
    }
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
    query.setFields({field(0, "F1", "0"), field(1, "F2", "2"), field(7, "F3", "0"), field(3, "F5", "0"),
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

// ---- line entry -------------------------------------------------------------------

void DocumentWindow::UpdateDocumentTotal()
{
    Txt[5]->setText(editor_.totalText());
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
    CommitCellEdit();
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

void DocumentWindow::HideSearchPanel()
{
    if (FrmNewGoods) {
        FrmNewGoods->hide();
        CmdBox[0]->setText(QStringLiteral("选 定"));
    }
    GdQuery->show();
    searchBody_->hide();
    PicLRQ->setPalette(QPalette());
}

void DocumentWindow::SearchGoodsByCodePrefix()
{
    if (isSearchPanelExpanded()) {
        HideSearchPanel();
        return;
    }
    const GoodsSearchResult result = searchGoodsByCodePrefix(m_.gDb, TxtHPBM->text());
    search_.setCaptions({QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), QStringLiteral("现存")});
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
    const int w = GdQuery->viewport()->width();
    if (w > 0) {
        GdQuery->setColumnWidth(0, w / 4);
        GdQuery->setColumnWidth(1, kind_.doubleNameColumn ? w / 2 + w / 11 : w / 2 + w / 8 - 17);
        GdQuery->setColumnWidth(2, w / 8 - 7);
    }
    GdQuery->setFocus();
    GdQuery->setCurrentIndex(search_.index(0, 0));
    GdQuery->selectRow(0);
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
    QString code = goods.code;
    code.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    TxtHPBM->setText(code.trimmed());
    TxtSL->setText(goods.quantity);
    AddLineFromEntryStrip();
    CmdBox[2]->setFocus();
}

void DocumentWindow::RunSearchPanelCommand(int index)
{
    if (index == 0 && inNewGoodsMode()) {
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
    } else if (index == 0) {
        const QModelIndex current = GdQuery->currentIndex();
        TxtHPBM->setText(search_.textMatrix(current.isValid() ? current.row() + 1 : 1, 0));
        TxtSL->setFocus();
        // The quantity box collapses the panel and proposes 1 as it takes the focus.
        HideSearchPanel();
        if (numtext::leadingNumber(TxtSL->text()) == 0)
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
            CmbLB->setFocus();
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
            if (numtext::leadingNumber(TxtSL->text()) == 0)
                TxtSL->setText(QStringLiteral("1"));
            TxtSL->selectAll();
            HideSearchPanel();
        } else if (type == QEvent::FocusOut) {
            highlight(TxtSL, false);
            if (numtext::leadingNumber(TxtSL->text()) < 0)
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
