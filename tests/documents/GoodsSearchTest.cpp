#include "support/TestBook.h"

#include "documents/GoodsSearch.h"

#include <gtest/gtest.h>

using documents::searchGoodsByCodePrefix;

namespace {

void addGoods(TestBook &book, int count, const QString &prefix)
{
    db::Transaction t(book.db());
    for (int i = 0; i < count; ++i)
        book.exec("insert into TA4 (F1,F2,F4,F8) values (?,?,'箱',?)",
                  {prefix + QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("名"), i});
    t.commit();
}

} // namespace

TEST(GoodsSearch, StatusTextsAtTheLimit)
{
    struct Case {
        int goods;
        QString prefix;
        int rows;
        QString status;
    };
    const Case cases[] = {
        {499, "", 499, "所有货品编码资料"},
        {500, "", 500, "货品资料库中前500条记录"},
        {501, "", 500, "货品资料库中前500条记录"},
        {499, " a ", 499, "所有货品编码以“a”开头的记录"},
        {501, "A", 500, "货品编码以“A”开头的前500条记录"},
        {0, "", 0, "货品资料库中没有任何编码资料"},
        {3, "Z", 0, "没有以“Z”开头的货品编码"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.goods);
        SCOPED_TRACE(c.prefix.toStdString());
        TestBook book;
        addGoods(book, c.goods, QStringLiteral("A"));
        const auto result = searchGoodsByCodePrefix(book.db(), c.prefix);
        EXPECT_TRUE(result.error.isEmpty());
        EXPECT_EQ(result.rows.size(), c.rows);
        EXPECT_EQ(result.status, c.status);
    }
}

TEST(GoodsSearch, RowsAndLiteralPrefix)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F5,F4,F8) values ('A_1','螺丝',null,'盒',null)");
    book.exec("insert into TA4 (F1,F2,F5,F4,F8) values ('AB1',null,'M6',null,2.5)");
    book.exec("insert into TA4 (F1,F2) values ('B%1','x')");
    auto result = searchGoodsByCodePrefix(book.db(), QStringLiteral("a"));
    ASSERT_EQ(result.rows.size(), 2);
    EXPECT_EQ(result.rows[0], QStringList({"A_1", "螺丝/", "0 盒"}));
    EXPECT_EQ(result.rows[1], QStringList({"AB1", "/M6", "2.5 "}));
    // Wildcards typed by the operator match themselves.
    EXPECT_EQ(searchGoodsByCodePrefix(book.db(), QStringLiteral("A_")).rows.size(), 1);
    EXPECT_EQ(searchGoodsByCodePrefix(book.db(), QStringLiteral("%")).rows.size(), 0);
    EXPECT_EQ(searchGoodsByCodePrefix(book.db(), QStringLiteral("B%")).rows.size(), 1);
}

TEST(GoodsSearch, DatabaseErrorIsReported)
{
    TestBook book;
    book.exec("drop table TA4");
    const auto result = searchGoodsByCodePrefix(book.db(), QStringLiteral("A"));
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(result.rows.isEmpty());
}
