// The chosen-period quantity report over many two-decimal lines: its sums
// and totals are the exact decimal sums.
#include "reports/BalanceReport.h"
#include "CentStockIns.h"
#include "support/CentAmounts.h"
#include "support/TestBook.h"

#include <gtest/gtest.h>

using namespace reports;

// 1,500 audited stock-ins, one per goods or all of one goods, held in stock:
// the period's incoming and the end balance, and their totals, are the exact
// sums; nothing was held before.
TEST(BalanceReportSums, ManyDecimalFiguresAddUpToTheirDecimalSum)
{
    const CentAmounts amounts = centAmounts(1500, kNoisySeeds[2]);
    for (const bool oneGoods : {false, true}) {
        SCOPED_TRACE(oneGoods ? "one goods" : "one goods each");
        TestBook book;
        addCentStockIns(book, amounts, oneGoods);
        BalanceFilter filter;
        filter.from = QDate(2026, 3, 1);
        filter.to = QDate(2026, 3, 9);
        BalanceReport report;
        QString error;
        ASSERT_TRUE(ComputeBalanceReport(book.db(), filter, QStringLiteral("#0.00"), &report, &error))
            << error.toStdString();
        ASSERT_EQ(report.rows.size(), oneGoods ? 1 : 1500);
        if (oneGoods) {
            EXPECT_EQ(report.rows[0].mid(4), (QStringList{"0", amounts.sum, "0", "0", "0", amounts.sum}));
        }
        EXPECT_EQ(report.totals.mid(3), (QStringList{"合计：", "0", amounts.sum, "0", "0", "0", amounts.sum}));
    }
}
