#include "support/TestBook.h"

#include <gtest/gtest.h>

namespace {
void setToday(TestBook &book, int year, int month, int day)
{
    book.m().setClock([=] { return QDateTime(QDate(year, month, day), QTime(10, 0)); });
}
} // namespace

TEST(DocNumbers, FirstOfTheMonthAndTheHighestByText)
{
    TestBook book;
    setToday(book, 2026, 12, 9);
    EXPECT_EQ(book.m().NextDocNo("RK", "TB1"), QStringLiteral("RK2612090001"));

    book.exec("insert into TB1 (F1) values ('RK2612030009')");
    book.exec("insert into TB1 (F1) values ('RK2612150007')");
    book.exec("insert into TB1 (F1) values ('RK2611300042')");  // another month
    book.exec("insert into TB3 (F1) values ('TH2612200099')");  // another kind
    setToday(book, 2026, 12, 20);
    QString no = book.m().NextDocNo("RK", "TB1");
    EXPECT_EQ(no, QStringLiteral("RK2612200008"));
    book.exec("insert into TB1 (F1) values (?)", {no});
    // 0009 is used on the 3rd: the table check ignores the day
    EXPECT_EQ(book.m().NextDocNo("RK", "TB1"), QStringLiteral("RK2612200010"));
}

TEST(DocNumbers, RegisterSkipsReservedCandidatesOfToday)
{
    TestBook book;
    setToday(book, 2026, 12, 9);
    QString first = book.m().NextDocNo("CK", "TD1");
    book.m().ReserveDocNo(first, 0);
    EXPECT_EQ(book.m().NextDocNo("CK", "TD1"), QStringLiteral("CK2612090002"));
    // reserved on an earlier day, never saved: today's candidate differs, so the serial comes again
    setToday(book, 2026, 12, 10);
    EXPECT_EQ(book.m().NextDocNo("CK", "TD1"), QStringLiteral("CK2612100001"));
}

TEST(DocNumbers, MonthUsedUpAsksForANumber)
{
    TestBook book;
    setToday(book, 2026, 12, 9);
    book.exec("insert into TC2 (F1) values ('PD2612019999')");
    EXPECT_EQ(book.m().NextDocNo("PD", "TC2"), QStringLiteral("请录入单据号"));
    EXPECT_EQ(book.m().NextDocNo("PD", "NoTable"), QStringLiteral("请录入单据号"));
}

TEST(DocNumbers, ReserveTrimsAddsOnceAndIgnoresThePromptText)
{
    TestBook book;
    book.m().gUserName = QStringLiteral("张三");
    QString typed = QStringLiteral("  RK001 ");
    book.m().ReserveDocNo(typed, 1);
    EXPECT_EQ(typed, QStringLiteral("RK001"));
    QString again = QStringLiteral("rk001");
    book.m().ReserveDocNo(again, 0);
    EXPECT_EQ(book.value("select DanF1 || '/' || Flg || '/' || Other from DanNo"), QStringLiteral("RK001/1.0/张三"));
    EXPECT_EQ(book.number("select count(*) from DanNo"), 1.0);

    QString prompt = QStringLiteral("请录入单据号");
    book.m().ReserveDocNo(prompt, 0);
    QString empty = QStringLiteral("  ");
    book.m().ReserveDocNo(empty, 0);
    EXPECT_EQ(book.number("select count(*) from DanNo"), 1.0);

    QString check = QStringLiteral(" RK001");
    EXPECT_FALSE(book.m().IsDocNoFree(check));
    book.m().ReleaseDocNo(QStringLiteral("RK001 "));
    EXPECT_TRUE(book.m().IsDocNoFree(check));
    // a broken register never blocks numbering
    book.exec("drop table DanNo");
    EXPECT_TRUE(book.m().IsDocNoFree(check));
}
