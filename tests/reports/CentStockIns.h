#pragma once

#include "db/Database.h"
#include "support/CentAmounts.h"
#include "support/TestBook.h"

#include <gtest/gtest.h>

// One audited stock-in note of 2026-03-05 whose lines bring in the amounts'
// figures as quantities at price 1, held in stock since: one goods each
// (G0000, G0001, ...) or all of one goods G1.
inline void addCentStockIns(TestBook &book, const CentAmounts &amounts, bool oneGoods)
{
    db::Transaction transaction(book.db());
    book.exec("insert into TB1 (F1,F2,F6) values ('RK1','2026-03-05','张三')");
    if (oneGoods)
        book.exec("insert into TA4 (F1,F2,F3,F8) values ('G1','螺钉','001',?)", {amounts.sum.toDouble()});
    for (int i = 0; i < amounts.values.size(); ++i) {
        const QString code = oneGoods ? QStringLiteral("G1") : QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0'));
        if (!oneGoods)
            book.exec("insert into TA4 (F1,F2,F3,F8) values (?,'螺钉','001',?)", {code, amounts.values[i]});
        book.exec("insert into TB11 (F0,F1,F6,F7) values ('RK1',?,?,1)", {code, amounts.values[i]});
    }
    ASSERT_TRUE(transaction.commit());
}
