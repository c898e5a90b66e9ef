#include "Posting.h"

#include "db/Database.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace documents {

double movedQuantity(double before, double delta)
{
    const double n = before + delta;
    return numtext::isResidue(n, std::max(std::fabs(before), std::fabs(delta))) ? 0.0 : n;
}

GoodsFigures postToGoods(const GoodsFigures &before, double q, double p, int sign, const PostingOptions &options)
{
    GoodsFigures after = before;
    // A quantity that is zero but for floating residue is zero: the residue
    // must not turn the average-cost division into a huge price.
    const double n = movedQuantity(before.quantity, sign * q);
    after.quantity = n;
    if (options.noAverageCostUpdate || n == 0)
        return after;
    const double value = before.cost * before.quantity + sign * p * q;
    if (options.salePriceFactor != 0)
        after.salePrice = value * options.salePriceFactor / n;
    after.cost = value / n;
    after.costKnown = true;
    return after;
}

namespace {

bool readGoods(PostingContext &context, const QString &code, GoodsFigures &figures, bool &found)
{
    db::Statement &st = context.prepared(QStringLiteral("select F8,F7,F71 from TA4 where F1=?"));
    if (!st.isValid() || !st.bindAll({code}))
        return false;
    found = st.next();
    if (!found && st.hasError())
        context.error = st.error();
    if (!found)
        return !st.hasError();
    figures.quantity = st.number(0);
    figures.cost = st.number(1);
    figures.costKnown = !st.isNull(1);
    figures.salePrice = st.number(2);
    st.reset();
    return true;
}

} // namespace

bool moveStock(PostingContext &context, const QString &code, double delta, GoodsFigures &after, bool &found)
{
    if (!readGoods(context, code, after, found))
        return false;
    if (!found)
        return true;
    after.quantity = movedQuantity(after.quantity, delta);
    return context.run(QStringLiteral("update TA4 set F8=? where F1=?"), {after.quantity, code});
}

bool postInboundLine(PostingContext &context, const StoredLine &line)
{
    GoodsFigures before;
    bool found = false;
    if (!readGoods(context, line.code, before, found))
        return false;
    if (!found)
        return true;  // the caller checked every goods row before posting
    const PostingOptions options{context.noAverageCostUpdate, context.salePriceFactor};
    const GoodsFigures after = postToGoods(before, line.quantity, line.price, context.sign, options);

    QVariant cost = after.costKnown ? QVariant(after.cost) : QVariant();
    QVariant sale = after.salePrice;
    if (after.salePrice == before.salePrice)
        sale = QVariant();  // unchanged: keep what is stored, Null included
    const bool ok = sale.isNull()
        ? context.run(QStringLiteral("update TA4 set F8=?,F7=? where F1=?"), {after.quantity, cost, line.code})
        : context.run(QStringLiteral("update TA4 set F8=?,F7=?,F71=? where F1=?"), {after.quantity, cost, sale, line.code});
    if (!ok)
        return false;
    return stampPostedLines(context, line.code, after.quantity, after.costKnown ? after.cost : 0.0);
}

bool stampPostedLines(PostingContext &context, const QString &code, const QVariant &quantity, const QVariant &cost)
{
    return context.run(QStringLiteral("update ") + context.kind.lineTable
                           + QStringLiteral(" set H6=?,H7=?,H8=? where F0=? and F1=?"),
                       {quantity, cost, context.stamp, context.number, code});
}

} // namespace documents
