#include "support/TestBook.h"

#include <gtest/gtest.h>

TEST(Module1, GetSingleValue)
{
    TestBook book;
    book.exec("insert into TA4 (F1,F2,F7,F8) values ('G1', null, 2.5, 10)");
    struct Case {
        const char *sql;
        const char *result;
    } cases[] = {
        {"select F1 from TA4 where F1='none'", "NoFound"},
        {"select F2 from TA4 where F1='G1'", ""},
        {"select F1 from TA44", ""},
        {"select F7 from TA4 where F1='g1'", "2.5"},
        {"select F8 from TA4", "10"},
        {"select 0.5", "0.5"}, {"select -0.32", "-0.32"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(book.m().GetSingleValue(QString::fromUtf8(c.sql)).toStdString(), c.result) << c.sql;
    EXPECT_EQ(book.m().GetSingleValue("select F1 from TA4 where F7=?", {2.5}), QStringLiteral("G1"));
    book.db().close();
    EXPECT_EQ(book.m().GetSingleValue("select 1"), QString());
}

TEST(Module1, MakeDecimalFormatCapsDigits)
{
    const std::pair<int, const char *> cases[] = {{0, "#0"}, {-3, "#0"}, {2, "#0.00"}, {8, "#0.00000000"}};
    for (auto [digits, pattern] : cases)
        EXPECT_EQ(Module1::MakeDecimalFormat(digits).toStdString(), pattern);
    int digits = 12;
    EXPECT_EQ(Module1::MakeDecimalFormat(digits), QStringLiteral("#0.00000000"));
    EXPECT_EQ(digits, 8);
}

TEST(Module1, SubtractExact)
{
    const std::tuple<double, double, double> cases[] = {
        {10.3, 0.1, 10.2}, {-3.25, -1.5, -1.75}, {5, 5, 0}, {1.1, 2.2, -1.1}, {100.75, 0.5, 100.25},
        {5e9, 1.5, 4999999998.5},  // whole parts beyond 32 bits
        {5e-05, 0, 5e-05}, {3e-05, 1e-05, 2e-05}, {123.45, 1e-06, 123.449999}, {1.5e15, 0, 1.5e15},
        {1e19, 0, 1e19}, {1e19, 1, 1e19}, {-1.5e15, 0.25, -1.50000000000000e15},
    };
    for (auto [a, b, expected] : cases)
        EXPECT_EQ(Module1::SubtractExact(a, b), expected) << a << " - " << b;
    EXPECT_NE(10.3 - 0.1, 10.2);  // what the exact subtraction avoids
}

TEST(Module1, GetPartnerName)
{
    TestBook book;
    book.exec("insert into TA1 (F1,F2) values ('S1','五金公司')");
    book.exec("insert into TA2 (F1,F2) values ('R1','门市部')");
    book.exec("insert into TA2 (F1,F2) values ('S1','不应找到')");
    book.exec("insert into TA2 (F1,F2) values ('E1','')");
    const std::pair<const char *, const char *> cases[] = {
        {"S1", "五金公司"}, {"  S1.五金公司  ", "五金公司"}, {"r1", "门市部"},
        {"X9.无名", "X9"}, {"E1", "E1"}, {" O'X ", "O'X"},
    };
    for (auto [code, name] : cases)
        EXPECT_EQ(book.m().GetPartnerName(QString::fromUtf8(code)).toStdString(), name) << code;
}

TEST(Module1, EnsureDefaultRow)
{
    TestBook book;
    // full table: nothing changes
    EXPECT_TRUE(book.m().EnsureDefaultRow("TA1", "默认货品来源"));
    EXPECT_EQ(book.number("select count(*) from TA1"), 1.0);
    // emptied table gets the default row back
    book.exec("delete from TA2");
    EXPECT_TRUE(book.m().EnsureDefaultRow("TA2", "默认货品去向"));
    EXPECT_EQ(book.value("select F1 || '/' || F2 from TA2"), QStringLiteral("001/默认货品去向"));
    // a first row without a code also gets it
    book.exec("delete from TA3");
    book.exec("insert into TA3 (F1,F2) values (null,'x')");
    EXPECT_TRUE(book.m().EnsureDefaultRow("TA3", "所有货品"));
    EXPECT_EQ(book.number("select count(*) from TA3 where F1='001'"), 1.0);
    EXPECT_FALSE(book.m().EnsureDefaultRow("NoTable", "x"));
}

TEST(Module1, StatusBarTexts)
{
    TestBook book;
    book.m().ShowLoadingInStatusBar();
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("请稍候，系统正在读入数据……"));
    book.m().ShowBookNameInStatusBar();
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("测试帐本"));
}

// Every book the module opens, whichever window reopens it, compares and
// sums figures as they are shown.
TEST(Module1, ReopenedBooksKnowTheShownFigureFunctions)
{
    TestBook book;
    const QString path = book.bookPath();
    book.db().close();
    ASSERT_TRUE(book.db().open(path)) << book.db().lastError().toStdString();
    EXPECT_EQ(book.value("select decimal_value(0.3 - 0.2) = 0.1"), QStringLiteral("1"));
    EXPECT_EQ(book.value("select decimal_sum(x) from (select 0.1 as x union all select 0.2)"), QStringLiteral("0.3"));
}
