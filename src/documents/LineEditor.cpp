#include "LineEditor.h"

#include "db/Database.h"
#include "platform/NumberText.h"
#include "platform/Prompt.h"
#include "shell/Module1.h"

#include <cmath>

namespace documents {

namespace {

const QString kTip = QStringLiteral("提示");

double num(const QString &text)
{
    return numtext::leadingNumber(text);
}


// Name and model joined by "/"; a Null part reads as empty text.
const QString kGoodsName = QStringLiteral("coalesce(TA4.F2,'')||'/'||coalesce(TA4.F5,'')");

} // namespace

LineEditor::LineEditor(Module1 &module, const DocumentKind &kind, GridModel &grid)
    : m_(module), kind_(kind), grid_(grid)
{
}

QStringList LineEditor::captions() const
{
    return {QStringLiteral("货品编码"), QStringLiteral("货品名称/规格"), QStringLiteral("计量单位"),
            kind_.quantityCaption, kind_.priceCaption, QStringLiteral("小计金额"), QStringLiteral("备注")};
}

QString LineEditor::goodsNameExpression()
{
    return kGoodsName;
}

QString LineEditor::goodsStatement(const DocumentKind &kind)
{
    return QStringLiteral("select TA4.F1,%1 AS MC,TA4.F4,TA4.%2,TA4.F8 from TA4 where TA4.F1=?")
        .arg(kGoodsName, kind.priceField);
}

void LineEditor::setHeaders()
{
    grid_.setCaptions(captions());
    // The grid's header centres the captions; the cells read as in every other
    // grid: quantity, price and amount right, the texts left.
    for (int c = ColCode; c <= ColRemark; ++c)
        grid_.setColAlignment(c, c >= ColQuantity && c <= ColAmount ? kNumberAlignment : kTextAlignment);
    grid_.clearRows();
}

QString LineEditor::loadLines(const QString &numberText)
{
    setHeaders();
    loaded_.clear();
    const QString number = numberText.trimmed();
    if (number.isEmpty())
        return {};
    const QString &t = kind_.lineTable;
    db::Statement st = m_.gDb.prepare(QStringLiteral("select %1.F1,%2,TA4.F4,%1.F6,%1.F7,%1.F6*%1.F7 AS JE,%1.F8 "
                                                     "FROM %1,TA4 WHERE %1.F1=TA4.F1 AND %1.F0=? ORDER BY %1.F1")
                                          .arg(t, kGoodsName));
    if (!st.isValid() || !st.bindAll({number}))
        return m_.gDb.lastError();
    Module1 &m = m_;
    auto moneyText = [&m](const db::Statement &s, int col) {
        return numtext::numToText(num(m.money(s.number(col))));
    };
    grid_.fillFromStatement(st, [&](const db::Statement &s) {
        loaded_.append(StoredLine{s.text(0), s.number(3), s.number(4)});
        const QString quantity =
            s.isNull(3) && !kind_.loadedNullQuantityAsZero ? QString() : numtext::numToText(s.number(3));
        return QStringList{s.text(0), s.text(1), s.text(2), quantity, moneyText(s, 4), moneyText(s, 5), s.text(6)};
    });
    return st.hasError() ? st.error() : QString();
}

bool LineEditor::isEmpty() const
{
    return grid_.rows() == 2 && grid_.textMatrix(1, ColCode).trimmed().isEmpty();
}

int LineEditor::lineCount() const
{
    if (isEmpty())
        return 0;
    const int last = grid_.rows() - 1;
    return grid_.textMatrix(last, ColCode).trimmed().isEmpty() ? grid_.rows() - 2 : grid_.rows() - 1;
}

int LineEditor::findCode(const QString &code) const
{
    for (int r = 1; r < grid_.rows(); ++r) {
        if (grid_.textMatrix(r, ColCode).trimmed() == code)
            return r;
    }
    return 0;
}

void LineEditor::setAmount(int row)
{
    const double amount = num(grid_.textMatrix(row, ColQuantity)) * num(grid_.textMatrix(row, ColPrice));
    grid_.setTextMatrix(row, ColAmount, numtext::numToText(amount));
}

void LineEditor::ensureTrailingEmptyRow()
{
    if (!grid_.textMatrix(grid_.rows() - 1, ColCode).trimmed().isEmpty())
        grid_.addItem(QString());
}

std::optional<int> LineEditor::addFromEntryStrip(const QString &codeBox, QString &quantityBox, const QString &docNo)
{
    const QString code = codeBox.trimmed();
    if (code.isEmpty())
        return std::nullopt;
    if (!acceptsNumber(quantityBox, grid_.textMatrix(0, ColQuantity)))
        return std::nullopt;
    double q = numtext::typedNumber(quantityBox);
    if (!takeStripQuantity(q))
        return std::nullopt;

    if (const int r = findCode(code)) {
        const double present = num(grid_.textMatrix(r, ColQuantity));
        if (!acceptsLine(present + q, num(grid_.textMatrix(r, ColPrice))))
            return std::nullopt;
        if (kind_.stockCheck && !kind_.stockCheck(m_, codeBox, present + q, docNo)) {
            quantityBox = QStringLiteral("0");
            q = 0;
        }
        grid_.setTextMatrix(r, ColQuantity, numtext::numToText(db::addDecimal(present, q)));
        setAmount(r);
        return r;
    }

    db::Statement st = m_.gDb.prepare(goodsStatement(kind_));
    if (!st.isValid() || !st.bindAll({code})) {
        Prompt::current().message(kTip, m_.gDb.lastError(), Prompt::Icon::Information);
        return std::nullopt;
    }
    if (!st.next()) {
        if (st.hasError()) {
            Prompt::current().message(kTip, st.error(), Prompt::Icon::Information);
            return std::nullopt;
        }
        Prompt::current().message(kTip, QStringLiteral("货品资料库中不存在“") + code + QStringLiteral("”这个") + caption()
                                            + QStringLiteral("！\n\n请点击“？”按钮查找系统中存在的") + caption()
                                            + QStringLiteral("，\n\n或在基础数据中增加新的货品资料！"),
                                  Prompt::Icon::Information);
        ensureTrailingEmptyRow();
        return std::nullopt;
    }
    if (kind_.stockCheck && !kind_.stockCheck(m_, codeBox, q, docNo))
        return std::nullopt;

    const QStringList cells = newLineCells(st, q);
    if (!acceptsLine(q, num(cells.value(ColPrice))))
        return std::nullopt;
    const QString row = cells.join(QLatin1Char('\t'));
    if (grid_.rows() >= 3 && grid_.textMatrix(grid_.rows() - 1, ColCode).trimmed().isEmpty())
        grid_.removeItem(grid_.rows() - 1);
    grid_.addItem(row);
    if (grid_.textMatrix(1, ColCode).trimmed().isEmpty())
        grid_.removeItem(1);
    const int r = grid_.rows() - 1;
    setAmount(r);
    ensureTrailingEmptyRow();
    return r;
}

std::optional<int> LineEditor::deleteByCode(const QString &codeBox)
{
    const QString code = codeBox.trimmed();
    if (code.isEmpty()) {
        Prompt::current().message(kTip, QStringLiteral("请输入要删除的货品编码或点击要删除的行！"),
                                  Prompt::Icon::Information);
        return std::nullopt;
    }
    const int r = findCode(code);
    if (!r) {
        Prompt::current().message(kTip, kind_.lineNotFoundMessage + codeBox + QStringLiteral("！"),
                                  Prompt::Icon::Information);
        return std::nullopt;
    }
    const QString name = grid_.textMatrix(r, ColName).trimmed();
    if (Prompt::current().ask(kTip, QStringLiteral("真的要删除货品[") + name + QStringLiteral("]吗？"),
                              Prompt::Icon::Question))
        grid_.removeItem(r);
    return qMin(r, grid_.rows() - 1);
}

QStringList LineEditor::newLineCells(const db::Statement &goods, double q) const
{
    const QString price = kind_.proposePrice ? kind_.proposePrice(m_, goods.value(3)) : QStringLiteral("0");
    return {goods.text(0), goods.text(1), goods.text(2), numtext::numToText(q), price};
}

bool LineEditor::takeStripQuantity(double &q) const
{
    if (q == 0)
        return false;
    // With the no-negative-quantities option a quantity is always taken as its absolute value.
    if (m_.gOptAbsoluteQuantities == 1)
        q = std::fabs(q);
    return true;
}

void LineEditor::fillLookedUpLine(int row, const db::Statement &st)
{
    grid_.setTextMatrix(row, ColCode, st.text(0));
    grid_.setTextMatrix(row, ColName, st.text(1));
    grid_.setTextMatrix(row, ColUnit, st.text(2));
    grid_.setTextMatrix(row, ColQuantity, QStringLiteral("1"));
    grid_.setTextMatrix(row, ColPrice, kind_.proposePrice ? kind_.proposePrice(m_, st.value(3)) : QStringLiteral("0"));
    if (kind_.lookupAmountMoneyRounded)
        grid_.setTextMatrix(row, ColAmount,
                            numtext::numToText(num(m_.money(num(grid_.textMatrix(row, ColQuantity))
                                                            * num(grid_.textMatrix(row, ColPrice))))));
    else
        setAmount(row);
}

QString LineEditor::deleteLineQuestion(const QString &name) const
{
    return QStringLiteral("真的要删除货品[") + name + QStringLiteral("]吗？");
}

bool LineEditor::priceEditable() const
{
    return m_.gOptLockLinePrice == 0;
}

bool LineEditor::lookupGoods(int row, const QString &code, const QString &docNo)
{
    if (code.isEmpty())
        return false;
    bool result = false;
    db::Statement st = m_.gDb.prepare(goodsStatement(kind_));
    if (!st.isValid() || !st.bindAll({code})) {
        Prompt::current().message(kTip, m_.gDb.lastError(), Prompt::Icon::Information);
    } else if (st.next()) {
        // The line gets the quantity 1, so that is what the stock must cover.
        if (!kind_.stockCheck || kind_.stockCheck(m_, code, 1, docNo)) {
            result = true;
            fillLookedUpLine(row, st);
        }
    } else if (st.hasError()) {
        Prompt::current().message(kTip, st.error(), Prompt::Icon::Information);
    } else if (kind_.unknownCellCodeShort) {
        Prompt::current().message(kTip, QStringLiteral("无效的") + caption() + QStringLiteral("!"),
                                  Prompt::Icon::Information);
    } else {
        Prompt::current().message(kTip, QStringLiteral("货品资料库中不存在这个") + caption()
                                            + QStringLiteral("！\n\n请在顶部“货品编码”栏输入模糊查找条件，并点击“？”按钮查找系统中存在的")
                                            + caption() + QStringLiteral("，\n\n或在基础数据中增加新的货品资料！"),
                                  Prompt::Icon::Information);
    }
    ensureTrailingEmptyRow();
    return result;
}

int LineEditor::commitCell(int &row, int col, const QString &text, const QString &docNo)
{
    lastCommitRefused_ = false;
    if (row < 1 || row >= grid_.rows())
        return col;
    if (text.trimmed().isEmpty() && col == ColCode) {
        if (!grid_.textMatrix(row, ColCode).trimmed().isEmpty()) {
            const QString name = grid_.textMatrix(row, ColName).trimmed();
            if (Prompt::current().ask(kTip, deleteLineQuestion(name), Prompt::Icon::Question)) {
                grid_.removeItem(row);
                row = qMin(row, grid_.rows() - 1);
            }
        }
        return ColName;
    }
    switch (col) {
    case ColCode: {
        const QString code = text.toUpper().trimmed();
        const int r = findCode(code);
        if (r == row)
            break;
        if (r) {
            Prompt::current().message(kTip, QStringLiteral("相同的") + caption() + QStringLiteral("已经存在！"),
                                      Prompt::Icon::Information);
            row = r;
            break;
        }
        lookupGoods(row, code, docNo);
        break;
    }
    case ColQuantity:
    case ColPrice: {
        if (!acceptsNumber(text, grid_.textMatrix(0, col))) {
            lastCommitRefused_ = true;
            break;
        }
        double value = numtext::typedNumber(text);
        if (m_.gOptAbsoluteQuantities == 1)
            value = std::fabs(value);
        const int other = col == ColQuantity ? ColPrice : ColQuantity;
        if (!acceptsLine(value, num(grid_.textMatrix(row, other)))) {
            lastCommitRefused_ = true;
            break;
        }
        if (col == ColQuantity && kind_.stockCheck
            && !kind_.stockCheck(m_, grid_.textMatrix(row, ColCode), value, docNo))
            value = num(grid_.textMatrix(row, ColQuantity));
        grid_.setTextMatrix(row, col, numtext::numToText(value));
        setAmount(row);
        break;
    }
    case ColRemark:
        grid_.setTextMatrix(row, ColRemark, text);
        break;
    default:
        break;
    }
    return col;
}

bool LineEditor::acceptsNumber(const QString &text, const QString &column) const
{
    double value = 0;
    if (numtext::readNumber(text, value))
        return true;
    Prompt::current().message(kTip, numtext::unstorableMessage(column), Prompt::Icon::Information);
    return false;
}

bool LineEditor::acceptsLine(double quantity, double price) const
{
    if (numtext::isStorable(quantity) && numtext::isStorable(quantity * price))
        return true;
    const bool quantityFits = numtext::isStorable(quantity);
    Prompt::current().message(kTip,
                              numtext::unstorableMessage(quantityFits ? QStringLiteral("金额")
                                                                      : grid_.textMatrix(0, ColQuantity)),
                              Prompt::Icon::Information);
    return false;
}

bool LineEditor::isEditable(int row, int col) const
{
    if (row < 1 || row >= grid_.rows())
        return false;
    if (col == ColCode)
        return true;
    if (col == ColPrice && !priceEditable())
        return false;
    if (col == ColQuantity || col == ColPrice || col == ColRemark)
        return !grid_.textMatrix(row, ColCode).trimmed().isEmpty();
    return false;
}

std::optional<std::pair<int, int>> LineEditor::nextCell(int row, int col) const
{
    switch (col) {
    case ColCode:
        return std::pair{row, grid_.textMatrix(row, ColCode).trimmed().isEmpty() ? int(ColCode) : int(ColQuantity)};
    case ColQuantity:
        return std::pair{row, (m_.gOptKeepPrices == 1 && priceEditable()) ? int(ColPrice) : int(ColRemark)};
    case ColPrice:
        return std::pair{row, int(ColRemark)};
    case ColRemark:
        if (row + 1 < grid_.rows())
            return std::pair{row + 1, int(ColCode)};
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

QString LineEditor::totalText() const
{
    const int c = m_.gOptKeepPrices != 0 ? ColAmount : ColQuantity;
    db::DecimalSum total;
    for (int r = 1; r < grid_.rows(); ++r)
        total.add(num(grid_.textMatrix(r, c)));
    return numtext::numToText(total.value());
}

QVector<SaveLine> LineEditor::saveLines() const
{
    QVector<SaveLine> lines;
    for (int r = 1; r < grid_.rows(); ++r)
        lines.append({grid_.textMatrix(r, ColCode), grid_.textMatrix(r, ColQuantity), grid_.textMatrix(r, ColPrice),
                      grid_.textMatrix(r, ColRemark)});
    return lines;
}

} // namespace documents
