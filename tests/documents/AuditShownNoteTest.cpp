#include "DocumentWindowFixture.h"

#include "documents/OutboundKinds.h"
#include "documents/StocktakingKind.h"

#include "support/WindowDriver.h"

#include <QTabBar>

using namespace documents;

namespace {

// A note the window shows, N1 with G1 x 10 (both goods hold 100), changed
// on another computer before the clerk audits it.
struct ChangedNote {
    const char *name;
    const char *window;
    const DocumentKind &(*kind)();
    const char *change;       // statements over the tables named HEADER and LINES
    const char *postedGoods;  // the goods the note posts as it is stored now
    double stockAfter;        // that goods' stock after the second audit
};

void PrintTo(const ChangedNote &c, std::ostream *os)
{
    *os << c.name;
}

const DocumentKind &stockIn()
{
    return stockInNoteKind();
}

const ChangedNote kChanges[] = {
    {"stock-in line", "B1", stockIn, "update LINES set F1='G2',F6=50", "G2", 150},
    {"stock-in price", "B1", stockIn, "update LINES set F7=3", "G1", 110},
    {"stock-in date", "B1", stockIn, "update HEADER set F2='2026-12-05'", "G1", 110},
    {"stock-out line", "D1", stockOutNoteKind, "update LINES set F1='G2',F6=50", "G2", 50},
    {"stock-out party", "D1", stockOutNoteKind, "insert into TA2 (F1,F2) values ('K2','乙'); update HEADER set F3='K2'",
     "G1", 90},
    {"stocktaking line", "C2", stocktakingNoteKind, "update LINES set F1='G2',F6=50", "G2", 50},
    {"stocktaking book quantity", "C2", stocktakingNoteKind, "update LINES set F5=90", "G1", 20},
};

class AuditOfAChangedNote : public DocumentWindowBook, public ::testing::WithParamInterface<ChangedNote> {
protected:
    AuditOfAChangedNote()
    {
        addGoods(QStringLiteral("G1"), 100, 1);
        addGoods(QStringLiteral("G2"), 100, 1);
        const DocumentKind &kind = GetParam().kind();
        book.exec(QStringLiteral("insert into %1 (F1,F2,F3,F5) values ('N1','2026-12-01','001','录入')").arg(kind.headerTable));
        // A stocktaking line counts 10 of a book quantity of 100.
        book.exec(kind.linesCarryBookQuantity
                      ? QStringLiteral("insert into %1 (F0,F1,F6,F7,F5) values ('N1','G1',10,2,100)").arg(kind.lineTable)
                      : QStringLiteral("insert into %1 (F0,F1,F6,F7) values ('N1','G1',10,2)").arg(kind.lineTable));
    }
};

TEST_P(AuditOfAChangedNote, IsRefusedAndShowsTheStoredNote)
{
    const ChangedNote &c = GetParam();
    const DocumentKind &kind = c.kind();
    open(QString::fromLatin1(c.window));
    child<QTabBar>(QStringLiteral("TabS"))->setCurrentIndex(1);
    ASSERT_EQ(cell(1, 0), "G1");
    {
        db::Database other;
        ASSERT_TRUE(other.open(book.bookPath()));
        QString change = QString::fromUtf8(c.change);
        change.replace(QStringLiteral("HEADER"), kind.headerTable).replace(QStringLiteral("LINES"), kind.lineTable);
        for (const QString &sql : change.split(u';'))
            ASSERT_TRUE(other.exec(sql.trimmed())) << other.lastError().toStdString();
    }

    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.prompt().lastText(), kNoteChangedMessage);
    EXPECT_EQ(book.value(QStringLiteral("select coalesce(F6,'') from %1").arg(kind.headerTable)), "");
    EXPECT_EQ(book.value("select group_concat(F8) from TA4"), "100.0,100.0");
    // The window shows the note as stored now.
    EXPECT_EQ(window->listGrid().textMatrix(1, 1), book.value(QStringLiteral("select F2 from %1").arg(kind.headerTable)));
    EXPECT_EQ(window->listGrid().textMatrix(1, 7), book.value(QStringLiteral("select F3 from %1").arg(kind.headerTable)));
    EXPECT_EQ(cell(1, 0), book.value(QStringLiteral("select F1 from %1").arg(kind.lineTable)));
    EXPECT_EQ(window->Edstu(), 0);

    // Seen now, it is audited as it is stored.
    book.prompt().answerYes();
    trigger(QStringLiteral("Menu_Ok"));
    EXPECT_EQ(book.value(QStringLiteral("select F6 from %1").arg(kind.headerTable)), m().gUserName);
    EXPECT_DOUBLE_EQ(goods("F8", QString::fromLatin1(c.postedGoods)), c.stockAfter);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AuditOfAChangedNote, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<ChangedNote> &info) {
                             QString name = QString::fromLatin1(info.param.name);
                             name.replace(QLatin1Char(' '), QString()).replace(QLatin1Char('-'), QString());
                             return name.toStdString();
                         });

} // namespace
