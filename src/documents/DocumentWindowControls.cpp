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
    if (kind_.printItems.isEmpty()) {
        // One print command and no layouts to choose from.
        Menu_print = add(QStringLiteral("Menu_print"), QStringLiteral("&P.打印"));
        connect(Menu_print, &QAction::triggered, this, [this] { PrintDocument(0); });
    } else {
        printMenu_ = new QMenu(QStringLiteral("&P.打印"), this);
        Menu_print = printMenu_->menuAction();
        Menu_print->setObjectName(QStringLiteral("Menu_print"));
        bar->addAction(Menu_print);
    }
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
    auto *quantityLabel = new QLabel(kind_.stripQuantityLabel, PicLRQ);
    quantityLabel->setObjectName(QStringLiteral("Label2"));
    strip->addWidget(quantityLabel);
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
        CmdBox[i]->setAutoDefault(true);  // Enter on a focused button presses it
        connect(CmdBox[i], &QPushButton::clicked, this, [this, i] { RunSearchPanelCommand(i); });
        CmdBox[i]->installEventFilter(this);
        foot->addWidget(CmdBox[i]);
    }
    body->addLayout(foot);
    if (FrmNewGoods)
        FrmNewGoods->setNextAfterLast(CmdBox[0]);
    panel->addWidget(searchBody_);
    // The panel lies on the window itself, right of the tab captions; the
    // layout keeps only the room of its collapsed strip, so that expanded it
    // drops down over the list or the note instead of pushing them down.
    searchBody_->hide();
    searchPlace_ = new QWidget(this);
    top->addWidget(searchPlace_, 1, Qt::AlignTop);
    root->addLayout(top);

    // Tab 1: the list.
    GD = makeGrid(&list_, QStringLiteral("GD"), this);
    GD->installEventFilter(this);
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
    // A note number runs to 25 characters: its box shows them all.
    Txt[0]->setMinimumWidth(Txt[0]->fontMetrics().horizontalAdvance(QString(25, QLatin1Char('0'))) + 16);
    topGrid->addWidget(Txt[0], 0, 1);
    topGrid->addWidget(Lab[1], 0, 2);
    topGrid->addWidget(Txt[1], 0, 3);
    topGrid->addWidget(DTP1, 0, 4);
    topGrid->addWidget(Lab[2], 0, 5);
    // The party text box and the party combo share one place: only one of
    // them shows at a time, so the hidden one must not keep half the row.
    topGrid->addWidget(Txt[2], 0, 6);
    topGrid->addWidget(CmbLB, 0, 6);
    topGrid->setColumnStretch(6, 1);
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
    upperCaseAsTyped(TxtHPBM);  // codes
    connect(Txt[1], &QLineEdit::textChanged, this, [this](const QString &text) {
        const QDate date = db::parseDate(text.trimmed());
        if (date.isValid() && date != DTP1->date()) {
            QSignalBlocker block(DTP1);
            DTP1->setDate(date);
        }
    });
    if (kind_.totalInRedWhenNegative) {
        connect(Txt[5], &QLineEdit::textChanged, this, [this](const QString &text) {
            QPalette palette = Txt[5]->palette();
            palette.setColor(QPalette::Text, numtext::leadingNumber(text) < 0 ? QColor(Qt::red)
                                                                            : QApplication::palette().color(QPalette::Text));
            Txt[5]->setPalette(palette);
        });
    }
    connect(DTP1, &QDateEdit::dateChanged, this, [this](const QDate &date) { Txt[1]->setText(db::dateText(date)); });

    // Measured once every control exists (measuring polishes the widgets).
    searchPlace_->setFixedHeight(PicLRQ->sizeHint().height());
    searchPlace_->installEventFilter(this);
    built_ = true;
}

} // namespace documents
