#include "GoodsSearch.h"

#include "db/Database.h"
#include "platform/NumberText.h"

namespace documents {

namespace {

QString likePattern(const QString &prefix)
{
    QString escaped;
    for (const QChar c : prefix) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}

} // namespace

QString goodsSearchStatement()
{
    return QStringLiteral("select F1,F2,F5,F8,F4 from TA4 where F1>=? and F1<? and F1 like ? escape '\\' "
                          "order by F1 limit %1")
        .arg(kGoodsSearchLimit);
}

GoodsSearchResult searchGoodsByCodePrefix(db::Database &database, const QString &prefixText)
{
    GoodsSearchResult result;
    const QString prefix = prefixText.trimmed();
    // The range keeps the search on the code index; LIKE decides the match.
    db::Statement st = database.prepare(goodsSearchStatement());
    if (!st.isValid() || !st.bindAll({prefix, prefix + QChar(0xDBFF) + QChar(0xDFFF), likePattern(prefix)})) {
        result.error = database.lastError();
        return result;
    }
    while (st.next()) {
        result.rows.append({st.text(0), st.text(1) + QLatin1Char('/') + st.text(2),
                            numtext::numToText(st.number(3)) + QLatin1Char(' ') + st.text(4)});
    }
    if (st.hasError()) {
        result.error = st.error();
        result.rows.clear();
        return result;
    }
    const int gridRows = int(result.rows.size()) + 1;
    const bool limited = gridRows > kGoodsSearchLimit;
    if (result.rows.isEmpty()) {
        result.status = prefix.isEmpty() ? QStringLiteral("货品资料库中没有任何编码资料")
                                         : QStringLiteral("没有以“") + prefix + QStringLiteral("”开头的货品编码");
    } else if (prefix.isEmpty()) {
        result.status = limited ? QStringLiteral("货品资料库中前500条记录") : QStringLiteral("所有货品编码资料");
    } else {
        result.status = limited ? QStringLiteral("货品编码以“") + prefix + QStringLiteral("”开头的前500条记录")
                                : QStringLiteral("所有货品编码以“") + prefix + QStringLiteral("”开头的记录");
    }
    return result;
}

} // namespace documents
