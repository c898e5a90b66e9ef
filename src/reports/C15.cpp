#include "C15.h"

#include "db/Database.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "reports/C15Journal.h"
#include "shell/Module1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

using namespace frames;

namespace {

const QString kAllCategories = QStringLiteral("所有类别");
const QString kAllParties = QStringLiteral("所有单位");

const QString kJournalSql = QStringLiteral(
    "select F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17 FROM TC15 ");

enum Column { PriceColumn = 9, InColumn = 10, InAmountColumn = 11, OutColumn = 12, OutAmountColumn = 13,
              BalanceColumn = 14, BalanceAmountColumn = 15 };

ReportWindowKind journalKind()
{
    ReportWindowKind k;
    k.name = QStringLiteral("C15");
    k.caption = QStringLiteral("货品进出流水帐");
    k.captions = {QStringLiteral("单据号码"), QStringLiteral("发生日期"), QStringLiteral("往来单位"),
                  QStringLiteral("单据附注"), QStringLiteral("类别"),     QStringLiteral("货品编码"),
                  QStringLiteral("货品名称"), QStringLiteral("规格"),     QStringLiteral("单位"),
                  QStringLiteral("价格"),     QStringLiteral("入库数"),   QStringLiteral("金额"),
                  QStringLiteral("出库数"),   QStringLiteral("金额"),     QStringLiteral("结存数"),
                  QStringLiteral("金额"),     QStringLiteral("备注")};
    k.statusPrefix = QStringLiteral("货品进出流水帐：共 ");
    k.totalledColumns = {InColumn, InAmountColumn, OutColumn, OutAmountColumn};
    alignFiguresRight(k, {PriceColumn, InColumn, InAmountColumn, OutColumn, OutAmountColumn, BalanceColumn,
                          BalanceAmountColumn});
    k.heightMarginTwips = 500;
    k.widthDivisor = 17;
    k.widthLessTwips = 8;
    k.quantityOnlyTransfers = {{2, 8}, {4, PriceColumn}};
    k.totalsRowPicksFirst = true;
    k.emptyPrintMessage = QStringLiteral("没有数据可打印！");
    return k;
}

// Prices and amounts: more decimals than the money decimals are rounded by
// the money format; zero shows as an empty cell.
QString moneyCell(const QString &plain)
{
    const Module1 &m = Module1::instance();
    QString s = plain;
    const int point = s.indexOf(QLatin1Char('.'));
    if (point >= 0 && s.size() - point - 1 > m.gOptMoneyDecimals)
        s = numtext::formatNumber(numtext::leadingNumber(plain), m.gMoneyFormat);
    return numtext::leadingNumber(s) == 0 ? QString() : s;
}

QString quantityCell(const QString &plain)
{
    return numtext::leadingNumber(plain) == 0 ? QString() : plain;
}

// Eats the operator's input everywhere but on the cancel button while a run
// gives the message loop its turns, so nothing else starts on the book and
// the window cannot be closed under the run.
class RunInputGuard : public QObject {
public:
    explicit RunInputGuard(QWidget *allowed) : allowed_(allowed) { qApp->installEventFilter(this); }
    ~RunInputGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::Close: {
            auto *widget = qobject_cast<QWidget *>(watched);
            return !(widget && (widget == allowed_ || allowed_->isAncestorOf(widget)));
        }
        default:
            return false;
        }
    }

private:
    QWidget *allowed_;
};

} // namespace

C15::C15(QWidget *parent) : ReportWindow(journalKind(), parent)
{
    setTopFrame(buildFilterFrame());
    buildMenus();

    cancelfrm = new QPushButton(QStringLiteral("请稍候，正在整理数据……"), GD);
    cancelfrm->setObjectName(QStringLiteral("cancelfrm"));
    cancelfrm->resize(240, 72);
    cancelfrm->hide();
    CmdCancel = new QPushButton(QStringLiteral("取消操作"), GD);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->hide();
    connect(CmdCancel, &QPushButton::clicked, this, [this] { requestCancel(); });

    ReportSql = kJournalSql;
    OrderClause = sortOrder(9);

    const QDate today = Module1::instance().Today();
    DTP[0]->setDate(QDate(today.year(), today.month(), 1));
    DTP[1]->setDate(today);
    fillFilterCombos();
    fillJournalGrid();
}

C15::~C15() = default;

QWidget *C15::buildFilterFrame()
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("Frm"));
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(4, 4, 4, 4);
    for (int i = 0; i < 2; ++i) {
        DTP[i] = new QDateEdit(frame);
        DTP[i]->setObjectName(QStringLiteral("DTP%1").arg(i));
        DTP[i]->setCalendarPopup(true);
        DTP[i]->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    Comb = new QComboBox(frame);
    Comb->setObjectName(QStringLiteral("Comb"));
    Comb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Txt = new QLineEdit(frame);
    Txt->setObjectName(QStringLiteral("Txt"));
    CmbF3 = new QComboBox(frame);
    CmbF3->setObjectName(QStringLiteral("CmbF3"));
    CmbF3->setEditable(true);
    CmbF3->setInsertPolicy(QComboBox::NoInsert);
    CmbF3->setMinimumContentsLength(12);
    CmbF3->installEventFilter(this);
    CmbF3->lineEdit()->installEventFilter(this);
    connect(CmbF3, &QComboBox::activated, this, [this] { CmbF3->setToolTip(CmbF3->currentText()); });
    Cmd = new QPushButton(QStringLiteral("生成报表"), frame);
    Cmd->setObjectName(QStringLiteral("Cmd"));
    connect(Cmd, &QPushButton::clicked, this, [this] { generateReport(); });

    row->addWidget(new QLabel(QStringLiteral("统计日期由"), frame));
    row->addWidget(DTP[0]);
    row->addWidget(new QLabel(QStringLiteral("至"), frame));
    row->addWidget(DTP[1]);
    row->addWidget(new QLabel(QStringLiteral("类别："), frame));
    row->addWidget(Comb);
    row->addWidget(new QLabel(QStringLiteral("编码："), frame));
    row->addWidget(Txt);
    row->addWidget(new QLabel(QStringLiteral("往来单位："), frame));
    row->addWidget(CmbF3);
    row->addWidget(Cmd);
    row->addStretch(1);
    return frame;
}

void C15::buildMenus()
{
    addSortMenu({{0, QStringLiteral("&1.按单据号码"), QStringLiteral("order by F1 ")},
                 {1, QStringLiteral("&2.按单据日期"), QStringLiteral("order by F2")},
                 {2, QStringLiteral("&3.按往来单位"), QStringLiteral("order by F3")},
                 {3, QStringLiteral("&4.按所属类别"), QStringLiteral("order by F5")},
                 {4, QStringLiteral("&5.按货品编码"), QStringLiteral("order by F6")},
                 {5, QStringLiteral("&6.按入库数量"), QStringLiteral("order by F11 desc")},
                 {6, QStringLiteral("&7.按出库数量"), QStringLiteral("order by F13 desc")},
                 {7, QStringLiteral("&8.按入库金额"), QStringLiteral("order by F12 desc")},
                 {8, QStringLiteral("&9.按出库金额"), QStringLiteral("order by F14 desc")},
                 {9, QStringLiteral("&0.按记帐顺序"), QStringLiteral("order by F18 ")}},
                9);

    auto *priceMenu = new QMenu(QStringLiteral("&M.价格显示"), this);
    priceMenu->menuAction()->setObjectName(QStringLiteral("menu_M"));
    menuBar()->addMenu(priceMenu);
    const QString captions[2] = {QStringLiteral("&1.成本价格"), QStringLiteral("&1.销售价格")};
    for (int i = 0; i < 2; ++i) {
        Menu_price[i] = priceMenu->addAction(captions[i]);
        Menu_price[i]->setObjectName(QStringLiteral("Menu_price") + QString::number(i));
        Menu_price[i]->setCheckable(true);
        connect(Menu_price[i], &QAction::triggered, this, [this, i] { switchPriceBasis(i); });
    }
    Menu_price[1]->setChecked(true);

    auto *printMenu = new QMenu(QStringLiteral("&P.打印"), this);
    printMenu->menuAction()->setObjectName(QStringLiteral("Menu_print"));
    menuBar()->addMenu(printMenu);
    const struct {
        const char *name;
        QString caption;
        QString file;
    } prints[] = {{"menu_P01", QStringLiteral("&1.货品进出数量明细"), QStringLiteral("Plstsl.rpt")},
                  {"menu_P02", QStringLiteral("&2.货品进出金额明细"), QStringLiteral("Plstje.rpt")}};
    for (const auto &p : prints) {
        QAction *action = printMenu->addAction(p.caption);
        action->setObjectName(QString::fromLatin1(p.name));
        const QString file = p.file;
        connect(action, &QAction::triggered, this, [this, file] { printReport(file); });
    }
    addReturnMenu();
}

// ---- filter ------------------------------------------------------------------------

// The last completed run's period, category and goods text come back; the
// party always starts at "所有单位". A failing list keeps the items read so far.
void C15::fillFilterCombos()
{
    Module1 &m = Module1::instance();
    QString rememberedCategory;
    if (const auto saved = journal::ReadSavedFilter(m.gDb)) {
        if (saved->start.isValid())
            DTP[0]->setDate(saved->start);
        if (saved->end.isValid())
            DTP[1]->setDate(saved->end);
        Txt->setText(saved->goodsBoxText);
        rememberedCategory = saved->categoryCode;
    }

    Comb->clear();
    Comb->addItem(kAllCategories, QString());
    int selected = 0;
    db::Statement categories = m.gDb.prepare(QStringLiteral("select F1,F2 from TA3"));
    while (categories.next()) {
        const QString code = categories.text(0);
        Comb->addItem(code + QLatin1Char('.') + categories.text(1), code);
        if (!rememberedCategory.isEmpty() && code == rememberedCategory)
            selected = Comb->count() - 1;
    }
    Comb->setCurrentIndex(selected);

    CmbF3->clear();
    CmbF3->addItem(kAllParties);
    CmbF3->setCurrentIndex(0);
    for (const char *table : {"TA1", "TA2"}) {
        db::Statement parties = m.gDb.prepare(QStringLiteral("select F1,F2 from ") + QLatin1String(table));
        while (parties.next())
            CmbF3->addItem(parties.text(0) + QLatin1Char('.') + parties.text(1));
        if (!parties.isValid() || parties.hasError())
            return;
    }
}

// ---- grid --------------------------------------------------------------------------

void C15::fillJournalGrid()
{
    Module1::instance().ShowLoadingInStatusBar();
    fillReportGrid(ReportSql);
}

void C15::appendRecord(TextRows &rows, const db::Statement &row) const
{
    ReportWindow::appendRecord(rows, row);
    for (int c = PriceColumn; c <= BalanceAmountColumn; ++c) {
        reviseLastCell(rows, c, [c](const QString &plain) {
            const QString text = plain.isEmpty() ? QStringLiteral("0") : plain;
            if (c == InColumn || c == OutColumn)
                return quantityCell(text);
            return c == BalanceColumn ? text : moneyCell(text);
        });
    }
}

void C15::adjustColumnWidths(QVector<int> &widths) const
{
    widths[8] = widths[0] / 2;
}

// The price column always shows the line's price: the basis only refreshes the list.
void C15::switchPriceBasis(int index)
{
    Menu_price[0]->setChecked(index == 0);
    Menu_price[1]->setChecked(index == 1);
    fillJournalGrid();
}

// ---- generation --------------------------------------------------------------------

void C15::showWaitFrame()
{
    cancelfrm->move((GD->width() - cancelfrm->width()) / 2, GD->height() / 2);
    cancelfrm->raise();
    cancelfrm->show();
    CmdCancel->move((GD->width() - CmdCancel->width()) / 2, cancelfrm->y() + cancelfrm->height() * 2 / 3);
    CmdCancel->raise();
    CmdCancel->show();
    mCancelRequested = false;
}

void C15::requestCancel()
{
    cancelfrm->hide();
    CmdCancel->hide();
    mCancelRequested = true;
}

// Rebuilds the journal of the filter on show. The run is one transaction:
// a cancel or a failure leaves the previous journal and filter in place.
void C15::generateReport()
{
    if (running_)
        return;
    Module1 &m = Module1::instance();
    journal::JournalFilter filter;
    filter.start = DTP[0]->date();
    filter.end = DTP[1]->date();
    filter.partyPattern = journal::PartyCode(CmbF3->currentText());
    if (Comb->currentIndex() > 0)
        filter.categoryCode = Comb->currentData().toString();
    filter.goodsBoxText = Txt->text().trimmed();
    filter.goodsPattern = journal::GoodsPattern(filter.goodsBoxText);

    running_ = true;
    showWaitFrame();
    Cmd->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m.ShowLoadingInStatusBar();
    journal::RunResult result;
    {
        RunInputGuard guard(CmdCancel);
        QApplication::processEvents();
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        result = journal::GenerateJournal(m.gDb, filter, m.gOptMoneyDecimals, [this, &sinceTurn] {
            if (sinceTurn.elapsed() >= 50) {
                QApplication::processEvents();
                sinceTurn.restart();
            }
            return mCancelRequested;
        });
    }
    QApplication::restoreOverrideCursor();
    Cmd->setEnabled(true);
    running_ = false;
    requestCancel();

    switch (result.outcome) {
    case journal::RunOutcome::Done:
        fillJournalGrid();
        break;
    case journal::RunOutcome::Cancelled:
        showListStatus();
        break;
    case journal::RunOutcome::Failed:
        showListStatus();
        Prompt::current().message(QStringLiteral("提示"),
                                  QStringLiteral("无法生成报表！系统返回如下信息：\n") + result.error,
                                  Prompt::Icon::Exclamation);
        break;
    }
}

// ---- window ------------------------------------------------------------------------

void C15::closeEvent(QCloseEvent *event)
{
    if (running_) {
        event->ignore();
        return;
    }
    ReportWindow::closeEvent(event);
}

// Enter in the party combo moves on as Tab does and shows the party as its
// tip; any other key clears the tip.
bool C15::eventFilter(QObject *watched, QEvent *event)
{
    if (CmbF3 && (watched == CmbF3 || watched == CmbF3->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CmbF3->setToolTip(CmbF3->currentText());
            focusNextChild();
            return true;
        }
        CmbF3->setToolTip(QString());
        return false;
    }
    return ReportWindow::eventFilter(watched, event);
}
