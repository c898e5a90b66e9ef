// Day conditions written as ranges of the stored date text: they pick the same
// stored dates and time stamps as the day difference does, across day, month
// and year ends, and the date index serves them.
#include "support/TestBook.h"

#include "db/Database.h"
#include "db/DateText.h"

#include <gtest/gtest.h>

namespace {

// Stored dates and time stamps around the end of January and of the year,
// and around a leap day.
const char *const kStored[] = {
    "2024-02-28",          "2024-02-28 23:59:59", "2024-02-29",          "2024-02-29 00:00:00",
    "2024-02-29 23:59:59", "2024-03-01",
    "2025-12-31",          "2025-12-31 23:59:59", "2026-01-01",          "2026-01-01 00:00:00",
    "2026-01-30",          "2026-01-30 23:59:59", "2026-01-31",          "2026-01-31 00:00:00",
    "2026-01-31 12:30:00", "2026-01-31 23:59:59", "2026-02-01",          "2026-02-01 00:00:00",
    "2026-02-01 00:00:01", "2026-02-28",          "2026-03-01",
};

struct DayConditions : ::testing::Test {
    TestBook book;

    DayConditions()
    {
        int n = 0;
        for (const char *stored : kStored)
            book.exec("insert into TB1 (F1,F2) values (?,?)", {QStringLiteral("N%1").arg(++n), QString::fromLatin1(stored)});
    }
    QStringList dates(const QString &where, const QVariantList &params = {})
    {
        db::Statement st = book.db().prepare(QStringLiteral("select F2 from TB1 where ") + where + " order by F2");
        EXPECT_TRUE(st.isValid()) << where.toStdString();
        st.bindAll(params);
        QStringList found;
        while (st.next())
            found.append(st.text(0));
        return found;
    }
};

struct RelationCase {
    db::DayRelation relation;
    const char *difference;  // the same relation as a day difference from the day to the stored date
    const char *plan;        // the index range it searches
};

const RelationCase kRelations[] = {
    {db::DayRelation::From, ">= 0", "(F2>?)"},
    {db::DayRelation::Until, "<= 0", "(F2<?)"},
    {db::DayRelation::On, "= 0", "(F2>? AND F2<?)"},
};

} // namespace

TEST_F(DayConditions, PickWhatTheDayDifferencePicksAcrossMonthAndYearEnds)
{
    for (const QDate day : {QDate(2024, 2, 28), QDate(2024, 2, 29), QDate(2025, 12, 31), QDate(2026, 1, 1),
                            QDate(2026, 1, 30), QDate(2026, 1, 31), QDate(2026, 2, 1), QDate(2026, 2, 28)}) {
        for (const RelationCase &c : kRelations) {
            SCOPED_TRACE(db::dateText(day).toStdString() + " " + c.difference);
            const QStringList expected = dates(QStringLiteral("datediff('d',?,F2) ") + c.difference, {db::dateText(day)});
            EXPECT_FALSE(expected.isEmpty());
            EXPECT_EQ(dates(db::literalDayCondition(QStringLiteral("F2"), c.relation, day)), expected);
            if (c.relation == db::DayRelation::On) {
                EXPECT_EQ(dates(db::onDayCondition(QStringLiteral("F2")), db::onDayValues(day)), expected);
            }
        }
    }
    // The last day of the month, every time of it, and nothing of the next.
    EXPECT_EQ(dates(db::literalDayCondition(QStringLiteral("F2"), db::DayRelation::On, QDate(2026, 1, 31))),
              (QStringList{"2026-01-31", "2026-01-31 00:00:00", "2026-01-31 12:30:00", "2026-01-31 23:59:59"}));
    EXPECT_EQ(dates(db::literalDayCondition(QStringLiteral("F2"), db::DayRelation::Until, QDate(2025, 12, 31))),
              (QStringList{"2024-02-28", "2024-02-28 23:59:59", "2024-02-29", "2024-02-29 00:00:00",
                           "2024-02-29 23:59:59", "2024-03-01", "2025-12-31", "2025-12-31 23:59:59"}));
    // The day after the 28th of a leap February is its 29th, not the 1st of March.
    EXPECT_EQ(dates(db::literalDayCondition(QStringLiteral("F2"), db::DayRelation::On, QDate(2024, 2, 29))),
              (QStringList{"2024-02-29", "2024-02-29 00:00:00", "2024-02-29 23:59:59"}));
}

TEST_F(DayConditions, AreServedByTheDateIndex)
{
    for (const RelationCase &c : kRelations) {
        const QString plan =
            book.plan(QStringLiteral("select F1 from TB1 where ") +
                      db::literalDayCondition(QStringLiteral("TB1.F2"), c.relation, QDate(2026, 1, 31)));
        EXPECT_TRUE(searchesDateIndex(plan, QStringLiteral("TB1"))) << plan.toStdString();
        EXPECT_TRUE(plan.contains(QLatin1String(c.plan))) << plan.toStdString();
    }
    const QString bound = book.plan(QStringLiteral("select F1 from TB1 where ") + db::onDayCondition("TB1.F2"));
    EXPECT_TRUE(searchesDateIndex(bound, QStringLiteral("TB1"))) << bound.toStdString();
    // The day difference it replaces reads every header.
    EXPECT_FALSE(searchesDateIndex(book.plan("select F1 from TB1 where datediff('d','2026-01-31',TB1.F2) = 0"),
                                   QStringLiteral("TB1")));
}
