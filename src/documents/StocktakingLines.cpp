#include "StocktakingLines.h"

#include "platform/NumberText.h"
#include "shell/Module1.h"

namespace documents {

namespace {

const QString kTwoDecimals = QStringLiteral("#0.00");

double num(const QString &text)
{
    return numtext::leadingNumber(text);
}

// A stored value in a pattern; Null stays an empty cell.
QString formatted(const QVariant &value, const QString &pattern)
{
    return value.isNull() ? QString() : numtext::formatNumber(value.toDouble(), pattern);
}

// A stored quantity whole, as the line keeps it; Null stays an empty cell.
// The grid shows it as a quantity (see setHeaders).
QString whole(const QVariant &value)
{
    return value.isNull() ? QString() : numtext::numToText(value.toDouble());
}

} // namespace

QStringList StocktakingLineEditor::captions() const
{
    return {QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), QStringLiteral("帐面数量"),
            QStringLiteral("实盘数量"), QStringLiteral("核算价格"),      QStringLiteral("盈亏金额"),
            QStringLiteral("备注")};
}

QString StocktakingLineEditor::loadLines(const QString &numberText)
{
    setHeaders();
    loaded_.clear();
    const QString number = numberText.trimmed();
    if (number.isEmpty())
        return {};
    db::Statement st = m_.gDb.prepare(
        QStringLiteral("select TC21.F1,%1 AS MC,TC21.F5,TC21.F6,TC21.F7,(TC21.F6-TC21.F5)*TC21.F7 AS JE,TC21.F8 "
                       "FROM TC21 LEFT JOIN TA4 ON TC21.F1=TA4.F1 WHERE TC21.F0=? ORDER BY TC21.F1")
            .arg(goodsNameExpression()));
    if (!st.isValid() || !st.bindAll({number}))
        return m_.gDb.lastError();
    const QString money = m_.gMoneyFormat;
    grid_.fillFromStatement(st, [this, &money](const db::Statement &s) {
        loaded_.append(StoredLine{s.text(0), s.number(3), s.number(4), s.number(2)});
        return QStringList{s.text(0),
                           s.text(1),
                           whole(s.value(2)),
                           whole(s.value(3)),
                           formatted(s.value(4), money),
                           formatted(s.value(5), money),
                           s.text(6)};
    });
    for (int r = 1; r < grid_.rows(); ++r)
        colourLoss(r);
    return st.hasError() ? st.error() : QString();
}

// Every counted quantity is taken as typed, 0 included: a goods counted
// as none is a line that takes its whole book quantity out.
bool StocktakingLineEditor::takeStripQuantity(double &) const
{
    return true;
}

QStringList StocktakingLineEditor::newLineCells(const db::Statement &goods, double q) const
{
    // The price in the money format, then with two decimals; save stores it
    // as shown. The book quantity is kept whole.
    const QVariant cost = goods.value(3);
    const QString price = cost.isNull() ? QString() : numtext::formatNumber(num(m_.money(cost.toDouble())), kTwoDecimals);
    return {goods.text(0), goods.text(1), whole(goods.value(4)), numtext::numToText(q), price};
}

void StocktakingLineEditor::fillLookedUpLine(int row, const db::Statement &goods)
{
    grid_.setTextMatrix(row, ColCode, goods.text(0));
    grid_.setTextMatrix(row, ColName, goods.text(1));
    grid_.setTextMatrix(row, ColQuantity, QStringLiteral("0"));
    grid_.setTextMatrix(row, ColBook, whole(goods.value(4)));
    grid_.setTextMatrix(row, ColPrice, formatted(goods.value(3), m_.gMoneyFormat));
    grid_.setTextMatrix(row, ColAmount, m_.money(difference(row) * num(grid_.textMatrix(row, ColPrice))));
    colourLoss(row);
}

void StocktakingLineEditor::setHeaders()
{
    LineEditor::setHeaders();
    // Both quantities are kept whole and shown as lists show quantities, so
    // a book quantity of 40.125 reads 40.125 beside its count.
    grid_.setColQuantityDisplay(ColBook);
    grid_.setColQuantityDisplay(ColQuantity);
    grid_.setColAlignment(ColBook, kNumberAlignment);
}

double StocktakingLineEditor::difference(int row) const
{
    // To 15 digits, as audit posts it: 9.874 - 10.125 is -0.251.
    return numtext::exactDifference(num(grid_.textMatrix(row, ColQuantity)), num(grid_.textMatrix(row, ColBook)));
}

void StocktakingLineEditor::setAmount(int row)
{
    grid_.setTextMatrix(row, ColAmount, numtext::numToText(difference(row) * num(grid_.textMatrix(row, ColPrice))));
    colourLoss(row);
}

void StocktakingLineEditor::colourLoss(int row)
{
    grid_.setCellForeground(row, ColAmount, num(grid_.textMatrix(row, ColAmount)) < 0 ? QColor(Qt::red) : QColor());
}

QString StocktakingLineEditor::deleteLineQuestion(const QString &name) const
{
    return QStringLiteral("真的要删除货品[") + name + QStringLiteral("]的盘点资料吗？");
}

QString StocktakingLineEditor::totalText() const
{
    const bool keepPrices = m_.gOptKeepPrices != 0;
    db::DecimalSum total;
    for (int r = 1; r < grid_.rows(); ++r)
        total.add(keepPrices ? num(grid_.textMatrix(r, ColAmount)) : difference(r));
    return keepPrices ? m_.money(total.value()) : numtext::numToText(total.value());
}

QVector<SaveLine> StocktakingLineEditor::saveLines() const
{
    QVector<SaveLine> lines = LineEditor::saveLines();
    for (int i = 0; i < lines.size(); ++i)
        lines[i].bookQuantity = grid_.textMatrix(i + 1, ColBook);
    return lines;
}

} // namespace documents
