#include "GoodsWindow.h"

#include "masterdata/MasterDataKinds.h"
#include "platform/FileDialogs.h"
#include "platform/GridModel.h"
#include "platform/NumberText.h"
#include "platform/TextRows.h"
#include "platform/WaitCursor.h"
#include "db/Database.h"
#include "shell/Module1.h"
#include "shell/Pictures.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>

#include <algorithm>

using masterdata::GoodsRecord;
using masterdata::GoodsStore;

using frames::ColumnRole;

namespace {

QString numberText(double value)
{
    return numtext::numToText(value);
}

// The sale-price factor in its shortest decimal form (the option is kept as a float).
double salePriceFactor()
{
    return QString::number(Module1::instance().gOptSalePriceFactor, 'g', 7).toDouble();
}

} // namespace

A4::A4(QWidget *parent) : A4(masterdata::goodsListColumns(), parent)
{
}

A4::A4(const frames::ListColumns &columns, QWidget *parent)
    : MasterDataWindow(masterdata::goodsKind(columns), parent),
      goods_(Module1::instance().gDb),
      priceColumn_(frames::columnWith(columns, ColumnRole::Price)),
      saleColumn_(frames::columnWith(columns, ColumnRole::SalePrice)),
      categoryCodeColumn_(frames::columnWith(columns, ColumnRole::CategoryCode))
{
    buildCard();
    applyPriceRules();
    fillCombos();
    initWindow();
    setBrowseMode();
}

// ---- card --------------------------------------------------------------------

void A4::buildCard()
{
    // The combos lie in the places of boxes 2 and 3 and show while editing.
    CmbLB = new QComboBox(Frm);
    CmbLB->setObjectName(QStringLiteral("CmbLB"));
    CmbLB->setEditable(true);
    CmbLB->setInsertPolicy(QComboBox::NoInsert);
    cardLayout_->addWidget(CmbLB, 2, 1);
    CmbDW = new QComboBox(Frm);
    CmbDW->setObjectName(QStringLiteral("CmbDW"));
    CmbDW->setEditable(true);
    CmbDW->setInsertPolicy(QComboBox::NoInsert);
    cardLayout_->addWidget(CmbDW, 3, 1);
    // An editable combo holds the focus itself and hands keys to its line.
    for (QComboBox *combo : {CmbLB, CmbDW}) {
        combo->hide();
        combo->installEventFilter(this);
    }
    QWidget::setTabOrder(Txt[1], CmbLB);
    QWidget::setTabOrder(CmbLB, CmbDW);
    QWidget::setTabOrder(CmbDW, Txt[4]);

    // Second column: the stock box and the picture.
    LabSL = new QLabel(QStringLiteral("原始库存"), Frm);
    LabSL->setObjectName(QStringLiteral("LabSL"));
    TxtSL = new QLineEdit(Frm);
    TxtSL->setObjectName(QStringLiteral("TxtSL"));
    TxtSL->setToolTip(QStringLiteral("  录入库存数量后，可以在[库存管埋]-->仓库存货统计中查看。  "));
    installCardBox(TxtSL, false);
    cardLayout_->addWidget(LabSL, 0, 2);
    cardLayout_->addWidget(TxtSL, 0, 3);
    LabSL->hide();
    TxtSL->hide();

    Img = new QLabel(Frm);
    Img->setObjectName(QStringLiteral("Img"));
    Img->setFrameShape(QFrame::Box);
    Img->setAlignment(Qt::AlignCenter);
    Img->setFixedSize(220, 165);
    Img->installEventFilter(this);
    cardLayout_->addWidget(Img, 1, 2, 6, 2, Qt::AlignTop | Qt::AlignLeft);
    LabInfo = new QLabel(kNoPicture, Frm);
    LabInfo->setObjectName(QStringLiteral("LabInfo"));
    LabInfo->setWordWrap(true);
    cardLayout_->addWidget(LabInfo, 7, 2, 1, 2);

    LabPrice = new QLabel(Frm);
    LabPrice->setObjectName(QStringLiteral("LabPrice"));
    LabPrice->hide();
    cardLayout_->addWidget(LabPrice, kind_.boxCount(), 0, 1, 4);
    cardLayout_->setRowStretch(kind_.boxCount(), 0);
    cardLayout_->setRowStretch(kind_.boxCount() + 1, 1);
    cardLayout_->setColumnStretch(3, 1);

    // The opening boxes are never locked: they show only while "001" may edit them.
    for (int i : {10, 11}) {
        Lab[i]->hide();
        Txt[i]->hide();
        Txt[i]->setReadOnly(false);
    }
    connect(Txt[5], &QLineEdit::textEdited, this, [this] { syncSalePrice(); });
}

bool A4::priceShown() const
{
    const Module1 &m = Module1::instance();
    return m.gMayViewCost && m.gOptKeepPrices != 0;
}

bool A4::mayEditStock() const
{
    const Module1 &m = Module1::instance();
    return m.gUserCode == QLatin1String("001") && m.gOptAdminEditsStock == 1;
}

bool A4::mayEditOpening() const
{
    const Module1 &m = Module1::instance();
    return m.gUserCode == QLatin1String("001") && m.gOptAdminEditsOpening == 1;
}

void A4::applyPriceRules()
{
    const Module1 &m = Module1::instance();
    if (m.gOptKeepPrices != 0) {
        if (!m.gMayViewCost) {
            // The cost can still be typed, but is never shown.
            Txt[5]->setEchoMode(QLineEdit::Password);
            Txt[5]->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        }
        const QString cost = Lab[5]->text();
        const QString sale = Lab[7]->text();
        if (m.gOptSalePriceFactor == 0) {
            LabPrice->setText(QStringLiteral("当前设置：") + cost + QStringLiteral("与") + sale + QStringLiteral("无关联"));
        } else {
            LabPrice->setText(QStringLiteral("当前设置：修改") + cost + QStringLiteral("会影响") + sale + QStringLiteral("(") +
                              sale + QStringLiteral("=") + cost + QStringLiteral(" x ") + numberText(salePriceFactor()) +
                              QStringLiteral(") 修改") + sale + QStringLiteral("不会影响") + cost);
        }
    } else {
        for (QWidget *w : std::initializer_list<QWidget *>{Lab[5], Lab[7], Txt[5], Txt[7], LabPrice})
            w->hide();
    }
}

void A4::fillCombos()
{
    db::Database &db = Module1::instance().gDb;
    CmbLB->clear();
    db::Statement categories = db.prepare(QStringLiteral("select F1,F2 from TA3 order by F1"));
    while (categories.next())
        CmbLB->addItem(categories.text(0).trimmed() + QStringLiteral(".") + categories.text(1).trimmed());
    CmbDW->clear();
    // The units in use, each once, in order: the distinct values first, so
    // only those few are sorted, not every goods row.
    db::Statement units =
        db.prepare(QStringLiteral("select F4 from (select distinct F4 from TA4 where F4<>'') order by F4"));
    while (units.next())
        CmbDW->addItem(units.text(0));
    CmbDW->setCurrentIndex(-1);
    CmbDW->setEditText(QString());
}

void A4::syncSalePrice()
{
    const double factor = salePriceFactor();
    if (factor == 0 || editState_ == 0)
        return;
    Txt[7]->setText(numtext::formatNumber(factor * numtext::typedNumber(Txt[5]->text()), QStringLiteral("#0.00")));
}

// ---- list --------------------------------------------------------------------

void A4::fillListGrid(const QString &sql)
{
    WaitCursor wait;
    MasterDataWindow::fillListGrid(sql);
}

// The described widths; a price that is not shown hands its room on.
void A4::setColumnWidths()
{
    QVector<int> widths = frames::columnWidths(kind_.listColumns, gridWidth());
    if (!priceShown())
        frames::handOverRoom(widths, frames::roomTransfers(kind_.listColumns, {ColumnRole::Price}));
    MasterDataWindow::setColumnWidths(widths);
}

// The printed list carries the sale price in place of the cost for an
// operator who may not see costs.
QVector<int> A4::printColumns() const
{
    QVector<int> columns = frames::printedColumns(kind_.listColumns);
    if (!Module1::instance().gMayViewCost)
        std::replace(columns.begin(), columns.end(), priceColumn_, saleColumn_);
    return columns;
}

// ---- card filling and modes ------------------------------------------------------

// The category combo shows the category as its items do: "code.name", the
// name being the one in the card's category box.
void A4::showCategory(const QString &code)
{
    CmbLB->setEditText(code.trimmed() + QStringLiteral(".") + Txt[2]->text().trimmed());
}

void A4::fillCard()
{
    MasterDataWindow::fillCard();
    showCategory(cell(CurRow, categoryCodeColumn_));

    Module1 &m = Module1::instance();
    const QString code = Txt[0]->text().trimmed();
    const QString path = m.GetSingleValue(QStringLiteral("select F9 from TA4 where F1=?"), {code});
    clearPicture();
    LabInfo->setText(kNoPicture);
    const auto limit = [&](const char *field) {
        const QString v = m.GetSingleValue(QStringLiteral("select ") + QLatin1String(field) +
                                               QStringLiteral(" from TA4 where F1=?"),
                                           {code});
        return numberText(v == Module1::NoFound ? 0.0 : numtext::leadingNumber(v));
    };
    Txt[8]->setText(limit("V1"));
    Txt[9]->setText(limit("V2"));
    if (path != Module1::NoFound)
        showPicture(path);
}

void A4::clearPicture()
{
    Img->clear();
    picturePath_.clear();
}

// Shows the picture at path; a path that names no loadable picture shows none.
bool A4::showPicture(const QString &path)
{
    if (path.isEmpty() || path == kPictureHint)
        return false;
    const QPixmap picture = loadPicture(path);
    if (picture.isNull())
        return false;
    Img->setPixmap(picture.scaled(Img->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picturePath_ = path;
    LabInfo->setText(path);
    return true;
}

void A4::importPicture()
{
    if (editState_ == 0)
        return;
    const QString start = picturePath_.isEmpty() ? QString() : QFileInfo(picturePath_).absolutePath();
    const QString path = FileDialogs::current().openFileName(this, QStringLiteral("导入货品图片"), start,
                                                             QStringLiteral("图片文件(*.jpg *.gif *.bmp)"));
    if (path.isEmpty())
        return;  // cancelled: the card keeps the picture it had
    if (!showPicture(path)) {
        clearPicture();
        LabInfo->setText(kPictureHint);
    }
}

void A4::setStockBox(const QString &caption, bool shown)
{
    LabSL->setText(caption);
    LabSL->setVisible(shown);
    TxtSL->setVisible(shown);
}

void A4::setOpeningBoxes(bool shown)
{
    for (int i : {10, 11}) {
        Lab[i]->setVisible(shown);
        Txt[i]->setVisible(shown);
    }
}

void A4::setBrowseMode()
{
    TabS->setEnabled(true);
    for (int i = 1; i <= 9; ++i)
        Txt[i]->setReadOnly(true);
    Txt[2]->show();
    CmbLB->hide();
    Txt[3]->show();
    CmbDW->hide();
    LabInfo->setText(kNoPicture);
    setBrowseMenus(true);
    editState_ = 0;
    TabS->setFocus();
    setGridRow(CurRow);
    trackListRow();
    LabPrice->hide();
    setStockBox(LabSL->text(), false);
    setOpeningBoxes(false);
}

void A4::setEditMode()
{
    if (TabS->currentIndex() == 0)
        TabS->setCurrentIndex(1);
    TabS->setEnabled(false);
    for (int i = 1; i <= 9; ++i) {
        Txt[i]->setReadOnly(false);
        if (editState_ == 1)
            Txt[i]->clear();
    }
    Txt[2]->hide();
    CmbLB->show();
    LabInfo->setText(picturePath_.isEmpty() ? kPictureHint : picturePath_);
    setBrowseMenus(false);
    LabPrice->setVisible(Module1::instance().gOptKeepPrices != 0);
    Txt[3]->hide();
    CmbDW->show();
}

void A4::addRecord()
{
    editState_ = 1;
    setEditMode();
    Txt[0]->setReadOnly(false);
    if (CmbLB->count() > 0)
        CmbLB->setCurrentIndex(0);
    Txt[0]->clear();
    Txt[0]->setFocus();
    clearPicture();
    LabInfo->setText(kPictureHint);
    TxtSL->clear();
    setStockBox(QStringLiteral("原始库存"), true);
}

// The card as the book holds the goods now, not as the list was read.
void A4::fillCardFromBook(const GoodsRecord &r)
{
    Txt[0]->setText(r.code);
    Txt[1]->setText(r.name);
    Txt[2]->setText(goods_.categoryName(r.category).value_or(QString()));
    Txt[3]->setText(r.unit);
    Txt[4]->setText(r.model);
    Txt[5]->setText(numberText(r.cost));
    Txt[6]->setText(r.remark);
    Txt[7]->setText(numberText(r.sale));
    Txt[8]->setText(numberText(r.safetyStock));
    Txt[9]->setText(numberText(r.maximumStock));
    showCategory(r.category);
    TxtSL->setText(numberText(r.quantityOnHand));
    Txt[10]->setText(numberText(r.openingQuantity));
    Txt[11]->setText(numberText(r.openingPrice));
}

void A4::editRecord()
{
    // An empty list has no goods to edit.
    if (RecordCount == 0)
        return;
    editState_ = 2;
    setEditMode();
    const QString code = listedCode(CurRow);
    showCategory(cell(CurRow, categoryCodeColumn_));
    if (const auto record = goods_.read(code)) {
        fillCardFromBook(*record);
    } else {
        TxtSL->setText(QStringLiteral("0"));
        Txt[10]->setText(QStringLiteral("0"));
        Txt[11]->setText(QStringLiteral("0"));
    }
    Txt[0]->setReadOnly(goods_.isCodeInUse(code));
    Txt[0]->setFocus();
    CmbDW->setEditText(Txt[3]->text());
    loadedCost_ = Txt[5]->text();
    loadedSale_ = Txt[7]->text();
    loadedStock_ = TxtSL->text();
    loadedOpeningQuantity_ = Txt[10]->text();
    loadedOpeningPrice_ = Txt[11]->text();
    if (mayEditStock())
        setStockBox(QStringLiteral("库存数量"), true);
    if (mayEditOpening())
        setOpeningBoxes(true);
}

// ---- save ----------------------------------------------------------------------

void A4::saveRecord()
{
    if (editState_ == 0)
        return;
    Txt[0]->setText(Txt[0]->text().toUpper());

    const QString unit = CmbDW->currentText().trimmed();
    Txt[3]->setText(unit);
    if (!unit.isEmpty() && CmbDW->findText(unit, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        CmbDW->addItem(unit);
        CmbDW->setEditText(unit);
    }

    for (int i = 0; i < 2; ++i) {
        if (Txt[i]->text().trimmed().isEmpty()) {
            notice(Lab[i]->text() + QStringLiteral("不能为空！"));
            return;
        }
    }
    QString code = Txt[0]->text();
    code.remove(QLatin1Char('\n'));
    code.remove(QLatin1Char('\r'));
    Txt[0]->setText(code);

    // Every number box the operator can type into must hold a number the
    // book can store; the first that does not is named and keeps the focus.
    const std::pair<QLineEdit *, QLabel *> numberBoxes[] = {
        {Txt[5], Lab[5]}, {Txt[7], Lab[7]}, {TxtSL, LabSL},     {Txt[8], Lab[8]},
        {Txt[9], Lab[9]}, {Txt[10], Lab[10]}, {Txt[11], Lab[11]}};
    for (const auto &[box, label] : numberBoxes) {
        double value = 0;
        const bool typable = box->isVisibleTo(this) && box->isEnabled() && !box->isReadOnly();
        if (typable && !numtext::readNumber(box->text(), value)) {
            notice(numtext::unstorableMessage(label->text()));
            box->setFocus();
            box->selectAll();
            return;
        }
    }

    const QString categoryText = CmbLB->currentText().trimmed();
    if (categoryText.isEmpty()) {
        notice(Lab[2]->text() + QStringLiteral("不能为空！"));
        return;
    }
    const int point = categoryText.indexOf(QLatin1Char('.'));
    const QString category = (point >= 0 ? categoryText.left(point) : categoryText).trimmed();
    const auto categoryName = goods_.categoryName(category);
    if (!categoryName || categoryName->isEmpty()) {
        notice(Lab[2]->text() + QStringLiteral("编码输入错误！"));
        CmbLB->setFocus();
        return;
    }
    CmbLB->setEditText(category);
    Txt[2]->setText(categoryName->trimmed());

    GoodsRecord r;
    r.code = Txt[0]->text().trimmed();
    r.name = Txt[1]->text().trimmed();
    r.category = category;
    r.unit = Txt[3]->text().trimmed();
    r.model = Txt[4]->text().trimmed();
    r.remark = Txt[6]->text().trimmed();
    r.picturePath = picturePath_.isEmpty() ? kPictureHint : picturePath_;
    r.cost = numtext::typedNumber(Txt[5]->text());
    r.sale = numtext::typedNumber(Txt[7]->text());
    r.quantityOnHand = numtext::typedNumber(TxtSL->text());
    r.safetyStock = numtext::typedNumber(Txt[8]->text());
    r.maximumStock = numtext::typedNumber(Txt[9]->text());
    r.openingQuantity = numtext::typedNumber(Txt[10]->text());
    r.openingPrice = numtext::typedNumber(Txt[11]->text());

    std::optional<QString> oldCode;
    masterdata::GoodsEdits edits;
    if (editState_ == 2) {
        oldCode = listedCode(CurRow);
        const bool pricesShown = Module1::instance().gOptKeepPrices != 0;
        edits.cost = pricesShown && Txt[5]->text() != loadedCost_;
        edits.sale = pricesShown && Txt[7]->text() != loadedSale_;
        edits.quantityOnHand = mayEditStock() && TxtSL->text() != loadedStock_;
        edits.openingQuantity = mayEditOpening() && Txt[10]->text() != loadedOpeningQuantity_;
        edits.openingPrice = mayEditOpening() && Txt[11]->text() != loadedOpeningPrice_;
    }
    const auto result = goods_.save(r, oldCode, edits);
    if (!result.ok()) {
        reportStoreFailure(result, Txt[0], true);
        return;
    }

    // The list keeps the cost as typed ("2.50") when it is a plain number;
    // other texts ("1,234.50", "12abc", nothing) give way to the stored
    // number, which the list's print and every later reading take as it is
    // shown.
    const bool costTyped = (editState_ == 1 || edits.cost) && !Txt[5]->text().trimmed().isEmpty() &&
                           numtext::isPlainNumber(Txt[5]->text());
    const QString costText = costTyped ? Txt[5]->text().trimmed() : numberText(r.cost);
    if (editState_ == 2) {
        // Show what was stored: numbers the operator left alone come from the book.
        if (!edits.cost)
            Txt[5]->setText(costText);
        if (!edits.sale)
            Txt[7]->setText(numberText(r.sale));
        TxtSL->setText(numberText(r.quantityOnHand));
        dropEditedRow();
    } else {
        ++RecordCount;
    }
    // So do the boxes: the card never shows a figure the book does not
    // hold, and a box left empty shows the 0 stored.
    const std::pair<QLineEdit *, double> storedNumbers[] = {
        {Txt[5], r.cost},         {Txt[7], r.sale},           {TxtSL, r.quantityOnHand},   {Txt[8], r.safetyStock},
        {Txt[9], r.maximumStock}, {Txt[10], r.openingQuantity}, {Txt[11], r.openingPrice}};
    for (const auto &[box, value] : storedNumbers)
        if (box->text().trimmed().isEmpty() || !numtext::isPlainNumber(box->text()))
            box->setText(numberText(value));
    appendSavedRow(savedListRow(r.code, costText));
    setBrowseMode();
}

// The saved goods' list row as the book now holds it, read by the list's
// own columns; the cost as the card shows it.
QStringList A4::savedListRow(const QString &code, const QString &costText) const
{
    const frames::ListColumns &columns = kind_.listColumns;
    db::Statement st = Module1::instance().gDb.prepare(kind_.queryBase + QStringLiteral("where ") +
                                                       frames::expressionOf(columns[qMax(0, columnOfBox(0))]) +
                                                       QStringLiteral("=?"));
    TextRows rows(int(columns.size()));
    if (st.isValid() && st.bindAll({code}) && st.next()) {
        frames::addListCells(rows, st, columns);
        rows.endRow();
    }
    if (!rows.isEmpty()) {
        QStringList cells = rows.last();
        if (priceColumn_ >= 0 && priceColumn_ < cells.size())
            cells[priceColumn_] = costText;
        return cells;
    }
    // Unread, the row shows what the card holds.
    QStringList cells;
    for (const frames::ListColumn &column : columns)
        cells.append(column.cardBox >= 0 ? Txt[column.cardBox]->text().trimmed() : QString());
    if (categoryCodeColumn_ >= 0 && categoryCodeColumn_ < cells.size())
        cells[categoryCodeColumn_] = CmbLB->currentText().trimmed();
    return cells;
}

// ---- events ----------------------------------------------------------------------

bool A4::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Img) {
        if (event->type() == QEvent::MouseButtonDblClick)
            importPicture();
        return false;
    }
    if (watched == CmbLB || watched == CmbDW) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        }
        return false;
    }
    return MasterDataWindow::eventFilter(watched, event);
}
