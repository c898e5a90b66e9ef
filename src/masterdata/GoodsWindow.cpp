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

using masterdata::GoodsField;

namespace {

QString numberText(double value)
{
    return numtext::numToText(value);
}

// The category combo names a category by its code and name: "01.五金".
QString categoryChoice(const QString &code, const QString &name)
{
    return code.trimmed() + QLatin1Char('.') + name.trimmed();
}

// The category code a combo text names: what stands before its point, or the
// whole text when it has none (a code typed alone).
QString categoryCodeOf(const QString &choice)
{
    return choice.section(QLatin1Char('.'), 0, 0).trimmed();
}

// The opening quantity and price: shown only while "001" may edit them.
constexpr GoodsField kOpeningFields[] = {GoodsField::OpeningQuantity, GoodsField::OpeningPrice};

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
      priceColumn_(frames::columnWith(columns, GoodsField::Cost)),
      saleColumn_(frames::columnWith(columns, GoodsField::Sale)),
      categoryCodeColumn_(frames::columnWith(columns, GoodsField::CategoryCode))
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
    // The combos lie in the places of the category and unit boxes and show while editing.
    CmbLB = new QComboBox(Frm);
    CmbLB->setObjectName(QStringLiteral("CmbLB"));
    CmbLB->setEditable(true);
    CmbLB->setInsertPolicy(QComboBox::NoInsert);
    placeOverBox(CmbLB, GoodsField::Category);
    CmbDW = new QComboBox(Frm);
    CmbDW->setObjectName(QStringLiteral("CmbDW"));
    CmbDW->setEditable(true);
    CmbDW->setInsertPolicy(QComboBox::NoInsert);
    placeOverBox(CmbDW, GoodsField::Unit);
    // An editable combo holds the focus itself and hands keys to its line.
    for (QComboBox *combo : {CmbLB, CmbDW}) {
        combo->hide();
        combo->installEventFilter(this);
    }
    QWidget::setTabOrder(boxOf(GoodsField::Name), CmbLB);
    QWidget::setTabOrder(CmbLB, CmbDW);
    QWidget::setTabOrder(CmbDW, boxOf(GoodsField::Model));

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
    setOpeningBoxes(false);
    for (QLineEdit *box : openingBoxes())
        box->setReadOnly(false);
    connect(boxOf(GoodsField::Cost), &QLineEdit::textEdited, this, [this] { syncSalePrice(); });
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
            boxOf(GoodsField::Cost)->setEchoMode(QLineEdit::Password);
            boxOf(GoodsField::Cost)->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
        }
        const QString cost = labelOf(GoodsField::Cost)->text();
        const QString sale = labelOf(GoodsField::Sale)->text();
        if (m.gOptSalePriceFactor == 0) {
            LabPrice->setText(QStringLiteral("当前设置：") + cost + QStringLiteral("与") + sale + QStringLiteral("无关联"));
        } else {
            LabPrice->setText(QStringLiteral("当前设置：修改") + cost + QStringLiteral("会影响") + sale + QStringLiteral("(") +
                              sale + QStringLiteral("=") + cost + QStringLiteral(" x ") + numberText(salePriceFactor()) +
                              QStringLiteral(") 修改") + sale + QStringLiteral("不会影响") + cost);
        }
    } else {
        for (QWidget *w : std::initializer_list<QWidget *>{labelOf(GoodsField::Cost), labelOf(GoodsField::Sale),
                                                           boxOf(GoodsField::Cost), boxOf(GoodsField::Sale), LabPrice})
            w->hide();
    }
}

void A4::fillCombos()
{
    db::Database &db = Module1::instance().gDb;
    CmbLB->clear();
    db::Statement categories = db.prepare(QStringLiteral("select F1,F2 from TA3 order by F1"));
    while (categories.next())
        CmbLB->addItem(categoryChoice(categories.text(0), categories.text(1)));
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
    boxOf(GoodsField::Sale)->setText(
        numtext::formatNumber(factor * numtext::typedNumber(boxOf(GoodsField::Cost)->text()), QStringLiteral("#0.00")));
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
        frames::handOverRoom(widths, frames::roomTransfers(kind_.listColumns, {GoodsField::Cost}));
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

// The category combo shows the category as its items do, the name being the
// one in the card's category box.
void A4::showCategory(const QString &code)
{
    CmbLB->setEditText(categoryChoice(code, boxOf(GoodsField::Category)->text()));
}

void A4::fillCard()
{
    MasterDataWindow::fillCard();
    showCategory(cell(CurRow, categoryCodeColumn_));

    Module1 &m = Module1::instance();
    const QString code = boxOf(GoodsField::Code)->text().trimmed();
    const QString path = m.GetSingleValue(QStringLiteral("select F9 from TA4 where F1=?"), {code});
    clearPicture();
    LabInfo->setText(kNoPicture);
    const auto limit = [&](const char *field) {
        const QString v = m.GetSingleValue(QStringLiteral("select ") + QLatin1String(field) +
                                               QStringLiteral(" from TA4 where F1=?"),
                                           {code});
        return numberText(v == Module1::NoFound ? 0.0 : numtext::leadingNumber(v));
    };
    boxOf(GoodsField::SafetyStock)->setText(limit("V1"));
    boxOf(GoodsField::MaximumStock)->setText(limit("V2"));
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

QList<QLineEdit *> A4::openingBoxes() const
{
    QList<QLineEdit *> boxes;
    for (const GoodsField field : kOpeningFields)
        boxes.append(boxOf(field));
    return boxes;
}

void A4::setOpeningBoxes(bool shown)
{
    for (const GoodsField field : kOpeningFields) {
        labelOf(field)->setVisible(shown);
        boxOf(field)->setVisible(shown);
    }
}

// Every box but the code box, which adding and editing open and close, and
// the opening boxes, which are never locked.
QList<QLineEdit *> A4::lockableBoxes() const
{
    QList<QLineEdit *> boxes = Txt;
    boxes.removeOne(boxOf(GoodsField::Code));
    for (QLineEdit *box : openingBoxes())
        boxes.removeOne(box);
    return boxes;
}

void A4::setBrowseMode()
{
    TabS->setEnabled(true);
    for (QLineEdit *box : lockableBoxes())
        box->setReadOnly(true);
    boxOf(GoodsField::Category)->show();
    CmbLB->hide();
    boxOf(GoodsField::Unit)->show();
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
    for (QLineEdit *box : lockableBoxes()) {
        box->setReadOnly(false);
        if (editState_ == 1)
            box->clear();
    }
    boxOf(GoodsField::Category)->hide();
    CmbLB->show();
    LabInfo->setText(picturePath_.isEmpty() ? kPictureHint : picturePath_);
    setBrowseMenus(false);
    LabPrice->setVisible(Module1::instance().gOptKeepPrices != 0);
    boxOf(GoodsField::Unit)->hide();
    CmbDW->show();
}

void A4::addRecord()
{
    editState_ = 1;
    setEditMode();
    QLineEdit *codeBox = boxOf(GoodsField::Code);
    codeBox->setReadOnly(false);
    if (CmbLB->count() > 0)
        CmbLB->setCurrentIndex(0);
    codeBox->clear();
    codeBox->setFocus();
    clearPicture();
    LabInfo->setText(kPictureHint);
    TxtSL->clear();
    setStockBox(QStringLiteral("原始库存"), true);
}

// The card as the book holds the goods now, not as the list was read.
void A4::fillCardFromBook(const GoodsRecord &r)
{
    boxOf(GoodsField::Code)->setText(r.code);
    boxOf(GoodsField::Name)->setText(r.name);
    boxOf(GoodsField::Category)->setText(goods_.categoryName(r.category).value_or(QString()));
    boxOf(GoodsField::Unit)->setText(r.unit);
    boxOf(GoodsField::Model)->setText(r.model);
    boxOf(GoodsField::Cost)->setText(numberText(r.cost));
    boxOf(GoodsField::Remark)->setText(r.remark);
    boxOf(GoodsField::Sale)->setText(numberText(r.sale));
    boxOf(GoodsField::SafetyStock)->setText(numberText(r.safetyStock));
    boxOf(GoodsField::MaximumStock)->setText(numberText(r.maximumStock));
    showCategory(r.category);
    TxtSL->setText(numberText(r.quantityOnHand));
    boxOf(GoodsField::OpeningQuantity)->setText(numberText(r.openingQuantity));
    boxOf(GoodsField::OpeningPrice)->setText(numberText(r.openingPrice));
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
        for (QLineEdit *box : openingBoxes())
            box->setText(QStringLiteral("0"));
    }
    boxOf(GoodsField::Code)->setReadOnly(goods_.isCodeInUse(code));
    boxOf(GoodsField::Code)->setFocus();
    CmbDW->setEditText(boxOf(GoodsField::Unit)->text());
    loadedCost_ = boxOf(GoodsField::Cost)->text();
    loadedSale_ = boxOf(GoodsField::Sale)->text();
    loadedStock_ = TxtSL->text();
    loadedOpeningQuantity_ = boxOf(GoodsField::OpeningQuantity)->text();
    loadedOpeningPrice_ = boxOf(GoodsField::OpeningPrice)->text();
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
    QLineEdit *const codeBox = boxOf(GoodsField::Code);
    codeBox->setText(codeBox->text().toUpper());

    const QString unit = CmbDW->currentText().trimmed();
    boxOf(GoodsField::Unit)->setText(unit);
    if (!unit.isEmpty() && CmbDW->findText(unit, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        CmbDW->addItem(unit);
        CmbDW->setEditText(unit);
    }

    for (const GoodsField field : {GoodsField::Code, GoodsField::Name}) {
        if (boxOf(field)->text().trimmed().isEmpty()) {
            notice(labelOf(field)->text() + QStringLiteral("不能为空！"));
            return;
        }
    }
    QString code = codeBox->text();
    code.remove(QLatin1Char('\n'));
    code.remove(QLatin1Char('\r'));
    codeBox->setText(code);

    // Every number box the operator can type into must hold a number the
    // book can store; the first that does not is named and keeps the focus.
    const auto described = [this](GoodsField field) { return std::pair(boxOf(field), labelOf(field)); };
    const std::pair<QLineEdit *, QLabel *> numberBoxes[] = {
        described(GoodsField::Cost),         described(GoodsField::Sale),
        {TxtSL, LabSL},                      described(GoodsField::SafetyStock),
        described(GoodsField::MaximumStock), described(GoodsField::OpeningQuantity),
        described(GoodsField::OpeningPrice)};
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

    const QString categoryCaption = labelOf(GoodsField::Category)->text();
    const QString categoryText = CmbLB->currentText().trimmed();
    if (categoryText.isEmpty()) {
        notice(categoryCaption + QStringLiteral("不能为空！"));
        return;
    }
    const QString category = categoryCodeOf(categoryText);
    const auto categoryName = goods_.categoryName(category);
    if (!categoryName || categoryName->isEmpty()) {
        notice(categoryCaption + QStringLiteral("编码输入错误！"));
        CmbLB->setFocus();
        return;
    }
    CmbLB->setEditText(category);
    boxOf(GoodsField::Category)->setText(categoryName->trimmed());

    const auto typed = [this](GoodsField field) { return boxOf(field)->text().trimmed(); };
    const auto number = [this](GoodsField field) { return numtext::typedNumber(boxOf(field)->text()); };
    GoodsRecord r;
    r.code = typed(GoodsField::Code);
    r.name = typed(GoodsField::Name);
    r.category = category;
    r.unit = typed(GoodsField::Unit);
    r.model = typed(GoodsField::Model);
    r.remark = typed(GoodsField::Remark);
    r.picturePath = picturePath_.isEmpty() ? kPictureHint : picturePath_;
    r.cost = number(GoodsField::Cost);
    r.sale = number(GoodsField::Sale);
    r.quantityOnHand = numtext::typedNumber(TxtSL->text());
    r.safetyStock = number(GoodsField::SafetyStock);
    r.maximumStock = number(GoodsField::MaximumStock);
    r.openingQuantity = number(GoodsField::OpeningQuantity);
    r.openingPrice = number(GoodsField::OpeningPrice);

    QLineEdit *const costBox = boxOf(GoodsField::Cost);
    QLineEdit *const saleBox = boxOf(GoodsField::Sale);
    std::optional<QString> oldCode;
    masterdata::GoodsEdits edits;
    if (editState_ == 2) {
        oldCode = listedCode(CurRow);
        const bool pricesShown = Module1::instance().gOptKeepPrices != 0;
        edits.cost = pricesShown && costBox->text() != loadedCost_;
        edits.sale = pricesShown && saleBox->text() != loadedSale_;
        edits.quantityOnHand = mayEditStock() && TxtSL->text() != loadedStock_;
        edits.openingQuantity =
            mayEditOpening() && boxOf(GoodsField::OpeningQuantity)->text() != loadedOpeningQuantity_;
        edits.openingPrice = mayEditOpening() && boxOf(GoodsField::OpeningPrice)->text() != loadedOpeningPrice_;
    }
    const auto result = goods_.save(r, oldCode, edits);
    if (!result.ok()) {
        reportStoreFailure(result, codeBox, true);
        return;
    }

    // The list keeps the cost as typed ("2.50") when it is a plain number;
    // other texts ("1,234.50", "12abc", nothing) give way to the stored
    // number, which the list's print and every later reading take as it is
    // shown.
    const bool costTyped = (editState_ == 1 || edits.cost) && !costBox->text().trimmed().isEmpty() &&
                           numtext::isPlainNumber(costBox->text());
    const QString costText = costTyped ? costBox->text().trimmed() : numberText(r.cost);
    if (editState_ == 2) {
        // Show what was stored: numbers the operator left alone come from the book.
        if (!edits.cost)
            costBox->setText(costText);
        if (!edits.sale)
            saleBox->setText(numberText(r.sale));
        TxtSL->setText(numberText(r.quantityOnHand));
        dropEditedRow();
    } else {
        ++RecordCount;
    }
    // So do the boxes: the card never shows a figure the book does not
    // hold, and a box left empty shows the 0 stored.
    const std::pair<QLineEdit *, double> storedNumbers[] = {
        {costBox, r.cost},
        {saleBox, r.sale},
        {TxtSL, r.quantityOnHand},
        {boxOf(GoodsField::SafetyStock), r.safetyStock},
        {boxOf(GoodsField::MaximumStock), r.maximumStock},
        {boxOf(GoodsField::OpeningQuantity), r.openingQuantity},
        {boxOf(GoodsField::OpeningPrice), r.openingPrice}};
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
    const int codeColumn = qMax(0, frames::columnWith(columns, GoodsField::Code));
    const QString byCode = QStringLiteral("where ") + frames::expressionOf(columns[codeColumn]) + QStringLiteral("=?");
    db::Statement st = Module1::instance().gDb.prepare(kind_.queryBase + byCode);
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
    QStringList cells = cardRow();
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
