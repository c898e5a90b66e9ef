#include "PeriodReport.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/NumberText.h"
#include "shell/Module1.h"

#include <QStringDecoder>

#include <cmath>

namespace reports {

namespace {

using numtext::formatDecimals;
using numtext::leadingNumber;
using numtext::numToText;
using numtext::roundDecimal;

// Lines of audited notes of one kind dated start <= date < day after end:
// goods code, quantity and amount. Stocktaking lines count only on their side.
QString movementLines(const QString &head, const QString &lines, const QString &qty, const QString &amount,
                      const QString &extra = QString())
{
    return QStringLiteral("select L.F1 as g, ") + qty + QStringLiteral(" as q, ") + amount +
           QStringLiteral(" as a from ") + lines + QStringLiteral(" L join ") + head +
           QStringLiteral(" H on H.F1=L.F0 where H.F6<>'' and H.F2>=?1 and H.F2<?2") + extra;
}

QString groupedSums(const QStringList &parts)
{
    return QStringLiteral("(select g, decimal_sum(q) as q, decimal_sum(a) as a from (") + parts.join(QStringLiteral(" union all ")) +
           QStringLiteral(") group by g)");
}

} // namespace

// One pass over the goods: the newest saved report of each goods (by an index
// lookup) and the period's grouped sums in and out.
QString PeriodReportSql()
{
    const QString in = groupedSums(
        {movementLines(QStringLiteral("TB1"), QStringLiteral("TB11"), QStringLiteral("L.F6"),
                       QStringLiteral("L.F6*L.F7")),
         movementLines(QStringLiteral("TD3"), QStringLiteral("TD31"), QStringLiteral("L.F6"),
                       QStringLiteral("L.F6*L.F7")),
         movementLines(QStringLiteral("TC2"), QStringLiteral("TC21"), QStringLiteral("L.F6-L.F5"),
                       QStringLiteral("L.F6*L.F7-L.F5*L.F7"), QStringLiteral(" and (L.F6-L.F5)>0"))});
    const QString out = groupedSums(
        {movementLines(QStringLiteral("TD1"), QStringLiteral("TD11"), QStringLiteral("L.F6"),
                       QStringLiteral("L.F6*L.F7")),
         movementLines(QStringLiteral("TB3"), QStringLiteral("TB31"), QStringLiteral("L.F6"),
                       QStringLiteral("L.F6*L.F7")),
         movementLines(QStringLiteral("TC2"), QStringLiteral("TC21"), QStringLiteral("L.F5-L.F6"),
                       QStringLiteral("L.F5*L.F7-L.F6*L.F7"), QStringLiteral(" and (L.F5-L.F6)>0"))});
    return QStringLiteral(
               "select TA4.F1, coalesce(TA4.F2,'')||'/'||coalesce(TA4.F5,'')||'/'||coalesce(TA4.F4,''), TA4.F7, TA4.F8, TA4.V3, TA4.V4, "
               "p.rowid, p.Gs, p.Gj, p.Ds, p.Dj, p.Fs, p.Fj, i.q, i.a, o.q, o.a from TA4 "
               "left join jxc p on p.rowid=(select j.rowid from jxc j where j.Hpbm=TA4.F1 and j.SortNo>0 "
               "order by j.SortNo desc limit 1) left join ") +
           in + QStringLiteral(" i on i.g=TA4.F1 left join ") + out +
           QStringLiteral(" o on o.g=TA4.F1 order by TA4.F1");
}

namespace {

const QString kInsertSql = QStringLiteral(
    "insert into jxc (SortNo,Bdate,Edate,Hpbm,Gprice,\"As\",Aj,Bs,Bj,Cs,Cj,Ds,Dj,Es,Ej,Fs,Fj,Gs,Gj) "
    "values (0,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");

// How each column writes its figures: a generated report and a saved one
// reopened alike, so a reopened report reads as it did when generated.
class FigureForms {
public:
    // Amounts that were stored already rounded (a reopened report) are
    // written as stored, not rounded again.
    enum class Amounts { Round, AsStored };

    FigureForms(int moneyDecimals, int closingMethod, Amounts amounts)
        : moneyDecimals_(moneyDecimals), closingMethod_(closingMethod), amounts_(amounts)
    {
    }

    numtext::NumberChars text(int column, double value) const
    {
        switch (column) {
        case kCostPrice:
            return money(value);
        case kCarriedAmount:
        case kPeriodInAmount:
        case kYearInAmount:
        case kPeriodOutAmount:
        case kYearOutAmount:
            // Rounded as the money format rounds, without trailing zeros ("18.5").
            return amounts_ == Amounts::Round ? numtext::roundedChars(value, amountPattern_)
                                              : numtext::numToChars(value);
        case kClosingAmount:
            return closingMethod_ == kByCostPrice ? money(value) : numtext::numToChars(value);
        default:
            // Quantities, and the year-opening amount, rounded before it is written.
            return numtext::numToChars(value);
        }
    }

private:
    numtext::NumberChars money(double value) const { return numtext::formatChars(value, moneyDecimals_, false); }

    int moneyDecimals_;
    int closingMethod_;
    Amounts amounts_;
    numtext::NumberPattern amountPattern_{moneyDecimals_, false};
};

// Writes a report row cell by cell into the report's rows. Each number is
// formatted once and its value read from its own text: the book keeps and
// the totals sum exactly what the grid shows.
class RowWriter {
public:
    RowWriter(TextRows &rows, const FigureForms &forms) : rows_(rows), forms_(forms) {}

    void text(QByteArrayView utf8) { rows_.addUtf8Cell(utf8); }
    // The figure of a column in the column's form; returns the value its text shows.
    double figure(int column, double value)
    {
        const numtext::NumberChars chars = forms_.text(column, value);
        rows_.addCell(chars.view());
        return chars.leadingNumber();
    }
    void endRow() { rows_.endRow(); }

private:
    TextRows &rows_;
    const FigureForms &forms_;
};

// The totals row: "合计：" in labelColumn and the totals of the carried
// balance to the closing amount.
QStringList totalsRow(int labelColumn, const QVector<db::DecimalSum> &totals)
{
    QStringList row(kPeriodColumnCount);
    row[labelColumn] = QStringLiteral("合计：");
    for (int col = kCarriedQty; col < kPeriodColumnCount; ++col)
        row[col] = numToText(totals[col].value());
    return row;
}

// A closing quantity whose text has more than five decimals, or exponent
// form, is shown to three decimals.
double tidiedQuantity(QLatin1StringView text, double value)
{
    return numtext::needsThreeDecimals(text) ? roundDecimal(value, 3) : value;
}

} // namespace

QDate PeriodStartOf(db::Database &db)
{
    const QDate end = db::parseDate(
        db.scalar(QStringLiteral("select Edate from jxc where SortNo>0 order by SortNo desc limit 1")).toString());
    if (end.isValid())
        return end.addDays(1);
    const QDate yearStart = db::parseDate(db.scalar(QStringLiteral("select F7 from reginfo")).toString());
    return yearStart.isValid() ? yearStart : QDate(2004, 1, 1);
}

GenerationResult GeneratePeriodReport(db::Database &db, const QDate &start, const QDate &end, int closingMethod,
                                      const QString &moneyFormat)
{
    GenerationResult result;
    auto fail = [&](const QString &error) {
        result.status = GenerationResult::Failed;
        result.error = error;
        result.report = {};
        return result;
    };
    const int moneyDecimals = formatDecimals(moneyFormat);
    auto money = [&](double v) { return roundDecimal(v, moneyDecimals); };

    db::Transaction tx(db);
    if (!tx.isActive())
        return fail(db.lastError());
    // Another operator may have saved a report of this period since the window
    // computed its start: then the period is no longer open.
    bool ok = false;
    const QVariant covered = db.scalar(QStringLiteral("select 1 from jxc where SortNo>0 and Edate>=? limit 1"),
                                       {db::dateText(start)}, &ok);
    if (!ok)
        return fail(db.lastError());
    if (!covered.isNull()) {
        result.status = GenerationResult::Conflict;
        return result;
    }
    if (!db.exec(QStringLiteral("delete from jxc where SortNo=0")))
        return fail(db.lastError());

    db::Statement goods = db.prepare(PeriodReportSql());
    if (!goods.isValid())
        return fail(db.lastError());
    goods.bindAll({db::dateText(start), db::dateText(end.addDays(1))});
    db::Statement insert = db.prepare(kInsertSql);
    if (!insert.isValid())
        return fail(db.lastError());

    const QByteArray startText = db::dateText(start).toUtf8();
    const QByteArray endText = db::dateText(end).toUtf8();
    QVector<db::DecimalSum> totals(kPeriodColumnCount);
    int goodsCount = 0;
    const FigureForms forms(moneyDecimals, closingMethod, FigureForms::Amounts::Round);
    RowWriter row(result.report.rows, forms);
    while (goods.next()) {
        ++goodsCount;
        // The quantity on hand, rounded to three decimals when its text has
        // exponent form; closingQty is the value of its text.
        double q = goods.number(3);
        numtext::NumberChars closingText = numtext::numToChars(q);
        if (closingText.view().contains(QLatin1Char('E'))) {
            q = roundDecimal(q, 3);
            closingText = numtext::numToChars(q);
        }
        const double closingQty = closingText.leadingNumber();
        const double cost = goods.number(2);
        const double openingQty = goods.number(4);
        const double openingAmount = goods.isNull(5) ? 0.0 : money(openingQty * goods.number(5));
        const bool hasPrevious = !goods.isNull(6);
        const double carriedQty = hasPrevious ? goods.number(7) : openingQty;
        const double carriedAmount = hasPrevious ? goods.number(8) : openingAmount;
        const double prevDs = goods.number(9), prevDj = goods.number(10);
        const double prevFs = goods.number(11), prevFj = goods.number(12);
        const double inQty = goods.number(13), inAmount = goods.number(14);
        const double outQty = goods.number(15), outAmount = goods.number(16);

        // Nothing on hand, nothing carried, nothing in and nothing out: not
        // reported. A goods that came in and went out within the period is
        // kept, so its incoming counts in the year-to-date figures.
        if (q == 0 && carriedQty == 0 && inQty == 0 && outQty == 0)
            continue;

        // Each number as its text shows it: summed for the totals and stored.
        double shown[kPeriodColumnCount] = {};
        const QByteArrayView code = goods.utf8(0);
        row.text(code);
        row.text(goods.utf8(1));
        row.figure(kCostPrice, cost);
        shown[kOpeningQty] = row.figure(kOpeningQty, openingQty);
        shown[kOpeningAmount] = row.figure(kOpeningAmount, openingAmount);
        shown[kCarriedQty] = row.figure(kCarriedQty, carriedQty);
        shown[kCarriedAmount] = row.figure(kCarriedAmount, carriedAmount);
        shown[kPeriodInQty] = row.figure(kPeriodInQty, inQty);
        shown[kPeriodInAmount] = row.figure(kPeriodInAmount, inAmount);
        shown[kYearInQty] = row.figure(kYearInQty, prevDs + inQty);
        shown[kYearInAmount] = row.figure(kYearInAmount, prevDj + inAmount);
        shown[kPeriodOutQty] = row.figure(kPeriodOutQty, outQty);
        shown[kPeriodOutAmount] = row.figure(kPeriodOutAmount, outAmount);
        shown[kYearOutQty] = row.figure(kYearOutQty, prevFs + outQty);
        shown[kYearOutAmount] = row.figure(kYearOutAmount, prevFj + outAmount);
        // The totals take the closing quantity as it reads before it is tidied.
        totals[kClosingQty].add(closingQty);
        shown[kClosingQty] = row.figure(kClosingQty, tidiedQuantity(closingText.view(), closingQty));
        switch (closingMethod) {
        case kByCostPrice:
            shown[kClosingAmount] = row.figure(kClosingAmount, money(q * cost));
            break;
        case kByCumulativeMovement:
            shown[kClosingAmount] = row.figure(kClosingAmount, Module1::SubtractExact(
                shown[kOpeningAmount] + shown[kYearInAmount], shown[kYearOutAmount]));
            break;
        default:
            shown[kClosingAmount] = row.figure(kClosingAmount, Module1::SubtractExact(
                shown[kCarriedAmount] + shown[kPeriodInAmount], shown[kPeriodOutAmount]));
            break;
        }
        for (int col = kCarriedQty; col < kPeriodColumnCount; ++col)
            if (col != kClosingQty)
                totals[col].add(shown[col]);

        insert.reset();
        bool bound = insert.bindUtf8(1, startText) && insert.bindUtf8(2, endText) && insert.bindUtf8(3, code) &&
                     insert.bindNumber(4, cost);
        for (int col = kOpeningQty; bound && col < kPeriodColumnCount; ++col)
            bound = insert.bindNumber(col + 2, shown[col]);
        if (!bound || !insert.run())
            return fail(insert.error().isEmpty() ? db.lastError() : insert.error());
        row.endRow();
    }
    if (goods.hasError())
        return fail(goods.error());
    if (!tx.commit())
        return fail(db.lastError());

    if (goodsCount == 0) {
        result.status = GenerationResult::NoGoods;
        return result;
    }
    result.report.totals = totalsRow(kOpeningAmount, totals);
    result.status = result.report.rows.isEmpty() ? GenerationResult::AllSkipped : GenerationResult::Done;
    return result;
}

bool LoadPeriodReport(db::Database &db, int number, const QString &conditions, const QString &moneyFormat,
                      int closingMethod, PeriodReportRows *out, QString *error)
{
    QString sql = QStringLiteral(
        "select jxc.Hpbm,coalesce(TA4.F2,'')||'/'||coalesce(TA4.F5,'')||'/'||coalesce(TA4.F4,''),jxc.Gprice,jxc.\"As\",jxc.Aj,jxc.Bs,jxc.Bj,jxc.Cs,"
        "jxc.Cj,jxc.Ds,jxc.Dj,jxc.Es,jxc.Ej,jxc.Fs,jxc.Fj,jxc.Gs,jxc.Gj,jxc.Edate "
        "from jxc left join TA4 on TA4.F1=jxc.Hpbm where jxc.SortNo=?");
    if (!conditions.trimmed().isEmpty())
        sql += QStringLiteral(" and (") + conditions + QLatin1Char(')');
    sql += QStringLiteral(" order by jxc.Hpbm");
    db::Statement st = db.prepare(sql);
    if (!st.isValid()) {
        *error = db.lastError();
        return false;
    }
    st.bind(1, number);
    PeriodReportRows report;
    QVector<db::DecimalSum> totals(kPeriodColumnCount);
    const FigureForms forms(formatDecimals(moneyFormat), closingMethod, FigureForms::Amounts::AsStored);
    while (st.next()) {
        QStringList c(kPeriodColumnCount);
        for (int col = 0; col < kPeriodColumnCount; ++col) {
            const QVariant v = st.value(col);
            if (v.isNull())
                continue;
            c[col] = (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong)
                         ? QString(forms.text(col, v.toDouble()).view())
                         : v.toString();
        }
        for (int col = kCarriedQty; col < kPeriodColumnCount; ++col)
            totals[col].add(leadingNumber(c[col]));
        report.endDate = db::parseDate(st.text(kPeriodColumnCount));
        report.rows.append(c);
    }
    if (st.hasError()) {
        *error = st.error();
        return false;
    }
    if (!report.rows.isEmpty())
        report.totals = totalsRow(kCode, totals);
    *out = report;
    return true;
}

int SavePeriodReport(db::Database &db, QString *error)
{
    db::Transaction tx(db);
    bool ok = tx.isActive();
    QVariant pending, low, high;
    if (ok)
        pending = db.scalar(QStringLiteral("select 1 from jxc where SortNo=0 limit 1"), {}, &ok);
    if (ok)
        low = db.scalar(QStringLiteral("select min(SortNo) from jxc"), {}, &ok);
    if (ok)
        high = db.scalar(QStringLiteral("select max(SortNo) from jxc"), {}, &ok);
    if (!ok) {
        *error = db.lastError();
        return -1;
    }
    if (pending.isNull())
        return 0;
    const int number = int(qMax(std::abs(low.toDouble()) + 1, high.toDouble() + 1));
    if (!db.exec(QStringLiteral("update jxc set SortNo=? where SortNo=0"), {number}) || !tx.commit()) {
        *error = db.lastError();
        return -1;
    }
    return number;
}

bool DeletePeriodReport(db::Database &db, int number, QString *error)
{
    db::Transaction tx(db);
    if (!tx.isActive()) {
        *error = db.lastError();
        return false;
    }
    if (number > 0) {
        bool ok = false;
        const QVariant newest = db.scalar(QStringLiteral("select max(SortNo) from jxc where SortNo>0"), {}, &ok);
        if (!ok) {
            *error = db.lastError();
            return false;
        }
        // Only the newest report of the year may go: the one before it then
        // ends the closed periods again.
        if (newest.isNull() || int(newest.toDouble()) != number) {
            *error = QStringLiteral("只能删除本会计年度最新的报表！");
            return false;
        }
    }
    const bool done = number < 0 ? db.exec(QStringLiteral("delete from jxc where SortNo<0"))
                                 : db.exec(QStringLiteral("delete from jxc where SortNo=?"), {number});
    if (!done || !tx.commit()) {
        *error = db.lastError();
        return false;
    }
    return true;
}

bool UpdateCostPrices(db::Database &db, const QVector<CostPrice> &prices, QString *error)
{
    db::Transaction tx(db);
    db::Statement update = db.prepare(QStringLiteral("update TA4 set F7=? where F1=?"));
    if (!tx.isActive() || !update.isValid()) {
        *error = db.lastError();
        return false;
    }
    for (const CostPrice &p : prices) {
        update.reset();
        if (!update.bindAll({p.price, p.code}) || !update.run()) {
            *error = update.error().isEmpty() ? db.lastError() : update.error();
            return false;
        }
    }
    if (!tx.commit()) {
        *error = db.lastError();
        return false;
    }
    return true;
}

} // namespace reports
