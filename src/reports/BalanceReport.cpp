#include "BalanceReport.h"

#include "db/Database.h"
#include "db/DateText.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

using numtext::formatNumber;
using numtext::leadingNumber;
using numtext::numToText;

// Per goods: quantity of audited lines of one kind within the period [?1, ?2)
// and after it (from ?2 on, whatever the start: a start after the end leaves
// the period empty, not the days between them uncounted).
QString kindSums(const char *head, const char *lines)
{
    const QString h = QLatin1String(head), l = QLatin1String(lines);
    return QStringLiteral("(select L.F1 as g, decimal_sum(case when H.F2>=?1 and H.F2<?2 then L.F6 end) as w, "
                          "decimal_sum(case when H.F2>=?2 then L.F6 end) as a from ") +
           l + QStringLiteral(" L join ") + h +
           QStringLiteral(" H on H.F1=L.F0 where H.F6<>'' and H.F2>=min(?1,?2) group by L.F1)");
}

// Per goods: the differences of audited stocktaking lines (counted F6 less
// book F5, as the audit posts them), gains and losses within the period apart
// and their net after it.
QString stocktakingSums()
{
    return QStringLiteral(
        "(select L.F1 as g, "
        "decimal_sum(case when H.F2>=?1 and H.F2<?2 and L.F6>L.F5 then L.F6-L.F5 end) as gain, "
        "decimal_sum(case when H.F2>=?1 and H.F2<?2 and L.F5>L.F6 then L.F5-L.F6 end) as loss, "
        "decimal_sum(case when H.F2>=?2 then L.F6-L.F5 end) as a from TC21 L join TC2 H on H.F1=L.F0 "
        "where H.F6<>'' and H.F2>=min(?1,?2) group by L.F1)");
}

// A quantity with more than five decimals or in exponent form is cut to three.
QString tidy(const QString &text)
{
    const QString t = numtext::needsThreeDecimals(QStringView(text))
                          ? formatNumber(leadingNumber(text), QStringLiteral("#0.000"))
                          : text;
    return numToText(leadingNumber(t));
}

} // namespace

QString likePattern(const QString &typed)
{
    QString p;
    for (const QChar ch : typed) {
        if (ch == QLatin1Char('*'))
            p += QLatin1Char('%');
        else if (ch == QLatin1Char('?'))
            p += QLatin1Char('_');
        else if (ch == QLatin1Char('%') || ch == QLatin1Char('_') || ch == QLatin1Char('\\'))
            p += QLatin1Char('\\') + ch;
        else
            p += ch;
    }
    return p;
}

bool ComputeBalanceReport(db::Database &db, const BalanceFilter &filter, const QString &moneyFormat,
                          BalanceReport *out, QString *error)
{
    QString sql = QStringLiteral("select TA4.F1, coalesce(TA4.F2,'')||'/'||coalesce(TA4.F5,''), ") +
                  (filter.costPrice ? QStringLiteral("TA4.F7") : QStringLiteral("TA4.F71")) +
                  QStringLiteral(", TA4.F4, TA4.F8, b.w, b.a, r.w, r.a, o.w, o.a, i.w, i.a, s.gain, s.loss, s.a from TA4 left join ") +
                  kindSums("TB1", "TB11") + QStringLiteral(" b on b.g=TA4.F1 left join ") + kindSums("TB3", "TB31") +
                  QStringLiteral(" r on r.g=TA4.F1 left join ") + kindSums("TD1", "TD11") +
                  QStringLiteral(" o on o.g=TA4.F1 left join ") + kindSums("TD3", "TD31") +
                  QStringLiteral(" i on i.g=TA4.F1 left join ") + stocktakingSums() +
                  QStringLiteral(" s on s.g=TA4.F1 where ");
    sql += filter.categoryCode.isEmpty() ? QStringLiteral("TA4.F3 is not null and ?3 is null")
                                         : QStringLiteral("TA4.F3=?3");
    const QString pattern = filter.goodsPattern.trimmed();
    const bool allGoods = pattern.isEmpty() || pattern == QStringLiteral("所有货品");
    sql += allGoods ? QStringLiteral(" and ?4 is null") : QStringLiteral(" and TA4.F1 like ?4 escape '\\'");
    sql += QStringLiteral(" order by ") + filter.order;

    db::Statement st = db.prepare(sql);
    if (!st.isValid()) {
        *error = db.lastError();
        return false;
    }
    st.bindAll({db::dateText(filter.from), db::dateText(filter.to.addDays(1)),
                filter.categoryCode.isEmpty() ? QVariant() : QVariant(filter.categoryCode),
                allGoods ? QVariant() : QVariant(likePattern(pattern))});
    BalanceReport report;
    QVector<db::DecimalSum> totals(10);
    while (st.next()) {
        double q = st.number(4);
        if (numToText(q).contains(QLatin1Char('E')))
            q = leadingNumber(formatNumber(q, QStringLiteral("#0.000")));
        const double in = st.number(5), inAfter = st.number(6);
        const double ret = st.number(7), retAfter = st.number(8);
        const double outQ = st.number(9), outAfter = st.number(10);
        const double rin = st.number(11), rinAfter = st.number(12);
        const double gain = st.number(13), loss = st.number(14), countedAfter = st.number(15);
        // The stock held at the end of the last day: today's less what every
        // audited note after the period posted, stocktaking differences too,
        // worked as decimals, so movements that cancel leave what remains.
        db::DecimalSum endSum;
        for (const double v : {q, -inAfter, retAfter, outAfter, -rinAfter, -countedAfter})
            endSum.add(v);
        double end = endSum.value();
        // A stock on hand that is only the residue of binary arithmetic is none.
        if (numtext::isResidue(end, std::max({std::fabs(q), std::fabs(inAfter), std::fabs(retAfter),
                                              std::fabs(outAfter), std::fabs(rinAfter), std::fabs(countedAfter)})))
            end = 0;
        // A stocktaking difference within the period has no column of its own
        // but moves the stock, so it keeps a goods in the list like any movement.
        if (end + in + ret + outQ + rin + gain + loss == 0)
            continue;
        // The balance before the period, worked back from the end as decimals.
        db::DecimalSum start;
        for (const double v : {end, -in, -rin, ret, outQ, -gain, loss})
            start.add(v);
        QStringList c = {st.text(0),
                         st.text(1),
                         formatNumber(st.number(2), moneyFormat),
                         st.text(3),
                         tidy(numToText(start.value())),
                         numToText(in),
                         numToText(ret),
                         numToText(outQ),
                         numToText(rin),
                         tidy(numToText(end))};
        for (int col = 4; col < 10; ++col)
            totals[col].add(leadingNumber(c[col]));
        report.rows.append(c);
    }
    if (st.hasError()) {
        *error = st.error();
        return false;
    }
    if (!report.rows.isEmpty()) {
        report.totals = QStringList(10);
        report.totals[3] = QStringLiteral("合计：");
        for (int col = 4; col < 10; ++col)
            report.totals[col] = numToText(totals[col].value());
    }
    *out = report;
    return true;
}

} // namespace reports
