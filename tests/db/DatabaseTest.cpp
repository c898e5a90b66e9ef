#include "support/TestBook.h"

#include "db/BookFile.h"
#include "db/Database.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(Database, RefusesForeignFileAndWrongKeyAtOpen)
{
    TestBook book;
    const QString foreign = book.dir() + QStringLiteral("/foreign.vzk");
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is no account book, only some text\n");
    file.close();

    db::Database other;
    EXPECT_FALSE(other.open(foreign));
    EXPECT_FALSE(other.lastError().isEmpty());
    EXPECT_FALSE(other.isOpen());

    EXPECT_FALSE(other.open(book.bookPath(), QStringLiteral("wrong key")));
    EXPECT_FALSE(other.lastError().isEmpty());

    EXPECT_FALSE(other.open(book.dir() + QStringLiteral("/missing.vzk")));

    EXPECT_TRUE(other.open(book.bookPath()));
}

TEST(Database, BookHoldsEveryTableWithDefaultRows)
{
    TestBook book;
    const QStringList tables = {"TA1", "TA2", "TA3", "TA4", "TB1", "TB11", "TB3", "TB31", "TD1", "TD11",
                                "TD3", "TD31", "TC2", "TC21", "TE1", "sysinfo", "reginfo", "pathtxm",
                                "theVer", "DanNo", "jxc", "c15set", "TC15", "Plist", "PrTA1", "PRTc1", "PRTB2"};
    for (const QString &table : tables)
        EXPECT_NE(book.value(QStringLiteral("select count(*) from ") + table), QStringLiteral("<none>")) << table.toStdString();
    EXPECT_EQ(book.value("select F2 from TE1 where F1='001'"), QStringLiteral("系统管理员"));
    EXPECT_EQ(book.value("select Versn from theVer"), QString());
    EXPECT_EQ(book.number("select count(*) from sysinfo where ID in (0,1,2)"), 3.0);
    EXPECT_EQ(book.value("select F2 from TA3 where F1='001'"), QStringLiteral("所有货品"));
    // list windows read fields by position
    db::Statement st = book.db().prepare("select * from TA4");
    ASSERT_TRUE(st.isValid());
    QStringList names;
    for (int i = 0; i < st.columnCount(); ++i)
        names << st.columnName(i);
    EXPECT_EQ(names.join(','), QStringLiteral("F1,F2,F3,F4,F5,F6,F7,F71,F8,F9,F11,V1,V2,V3,V4,V5"));
}

TEST(Database, TextIsStoredAsGivenAndComparedWithoutCase)
{
    TestBook book;
    book.exec("insert into TA1 (F1,F2) values (?,?)", {"AB'C", "O'Brien 五金"});
    EXPECT_EQ(book.value("select F2 from TA1 where F1=?", {"ab'c"}), QStringLiteral("O'Brien 五金"));
    EXPECT_EQ(book.value("select F1 from TA1 where F2 like ?", {"%brien%"}), QStringLiteral("AB'C"));
}

TEST(Database, TransactionRollsBackUnlessCommitted)
{
    TestBook book;
    {
        db::Transaction t(book.db());
        ASSERT_TRUE(t.isActive());
        book.exec("insert into TA3 (F1,F2) values ('X','x')");
    }
    EXPECT_EQ(book.number("select count(*) from TA3 where F1='X'"), 0.0);
    {
        db::Transaction t(book.db());
        book.exec("insert into TA3 (F1,F2) values ('X','x')");
        EXPECT_TRUE(t.commit());
    }
    EXPECT_EQ(book.number("select count(*) from TA3 where F1='X'"), 1.0);
    EXPECT_FALSE(book.db().inTransaction());
}

TEST(Database, DatediffReadsIsoAndUnpaddedDates)
{
    TestBook book;
    struct Case {
        const char *a, *b;
        QVariant days;
    } cases[] = {
        {"2026-12-01", "2026-12-09", 8},
        {"2026-12-9", "2026-12-1", -8},
        {"2026/1/31", "2026-03-01 10:20:30", 29},
        {"2025-12-31 23:59:59", "2026-1-1", 1},
        {"not a date", "2026-1-1", QVariant()},
    };
    for (const auto &c : cases) {
        const QVariant v = book.db().scalar("select datediff('d', ?, ?)", {c.a, c.b});
        if (c.days.isNull())
            EXPECT_TRUE(v.isNull()) << c.a;
        else
            EXPECT_EQ(v.toInt(), c.days.toInt()) << c.a << " " << c.b;
    }
}

TEST(Database, ErrorsComeBackAsText)
{
    TestBook book;
    EXPECT_FALSE(book.db().exec("select * from NoSuchTable"));
    EXPECT_TRUE(book.db().lastError().contains("NoSuchTable"));
}
