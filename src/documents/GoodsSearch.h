#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace db {
class Database;
}

namespace documents {

// At most this many goods are listed by one search.
inline constexpr int kGoodsSearchLimit = 500;

struct GoodsSearchResult {
    QVector<QStringList> rows;  // code, "name/model", "quantity unit"
    QString status;             // the status line text
    QString error;              // non-empty when the query failed
};

// The search's statement: codes from ?1 up to ?2 (the range keeps it on the
// code index) that match the LIKE pattern ?3 (escaped with a backslash), in code order.
QString goodsSearchStatement();

// The goods whose code begins with prefix (trimmed; matched literally, without
// regard to letter case), in code order, at most kGoodsSearchLimit of them.
GoodsSearchResult searchGoodsByCodePrefix(db::Database &database, const QString &prefix);

} // namespace documents
