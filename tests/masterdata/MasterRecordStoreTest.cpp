#include "frames/MasterRecordStore.h"
#include "masterdata/MasterDataKinds.h"
#include "support/TestBook.h"

#include <gtest/gtest.h>

namespace {

using frames::MasterRecordStore;
using Outcome = MasterRecordStore::Outcome;

MasterRecordStore suppliers(TestBook &book)
{
    const frames::MasterDataKind kind = masterdata::supplierKind();
    return MasterRecordStore(book.db(), kind.table, kind.references, true);
}

TEST(MasterRecordStore, CodeReferencedMeanwhileIsNotChanged)
{
    TestBook book;
    book.exec("insert into TA1 (F1,F2) values ('A01','甲')");
    MasterRecordStore store = suppliers(book);
    // A return to supplier names A01 after the window opened the edit.
    book.exec("insert into TB3 (F1,F3) values ('TH2612090001','A01')");
    const auto result = store.save({"B01", "甲"}, QStringLiteral("A01"));
    EXPECT_EQ(result.outcome, Outcome::InUse);
    EXPECT_EQ(book.value("select F1 from TA1 where F2='甲'"), QStringLiteral("A01"));
    // Keeping the code is still an edit like any other.
    EXPECT_TRUE(store.save({"A01", "甲乙"}, QStringLiteral("A01")).ok());
    EXPECT_EQ(book.value("select F2 from TA1 where F1='A01'"), QStringLiteral("甲乙"));
}

TEST(MasterRecordStore, ReferencesAreFoundWhateverTheirCase)
{
    TestBook book;
    book.exec("insert into TA1 (F1,F2) values ('A01','甲')");
    book.exec("insert into TB1 (F1,F3) values ('RK2612090001','a01')");
    MasterRecordStore store = suppliers(book);
    EXPECT_TRUE(store.isCodeInUse(QStringLiteral("A01")));
    EXPECT_EQ(store.remove(QStringLiteral("A01")).outcome, Outcome::InUse);
    EXPECT_EQ(book.number("select count(*) from TA1"), 2);
}

TEST(MasterRecordStore, GoodsOnAnOpenStocktakingNoteIsInUse)
{
    struct Case {
        const char *auditor;  // of the note counting G1; nullptr: the line has no note
        bool inUse;
    } cases[] = {{"", true}, {nullptr, false}, {"李四", false}};
    for (const Case &c : cases) {
        TestBook book;
        book.exec("insert into TA4 (F1,F2) values ('G1','甲'),('G2','乙')");
        book.exec("insert into TC21 (F0,F1,F5,F6) values ('PD1','g1',1,2)");
        if (c.auditor)
            book.exec("insert into TC2 (F1,F6) values ('PD1',?)", {QString::fromUtf8(c.auditor)});
        MasterRecordStore store(book.db(), QStringLiteral("TA4"), masterdata::goodsReferences(), false);
        EXPECT_EQ(store.checkDelete(QStringLiteral("G1")).outcome, c.inUse ? Outcome::InUse : Outcome::Done)
            << (c.auditor ? c.auditor : "no note");
        EXPECT_TRUE(store.checkDelete(QStringLiteral("G2")).ok());
    }
}

} // namespace
