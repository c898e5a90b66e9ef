#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataWindows.h"

#include <QTabBar>

#include <functional>
#include <memory>

namespace {

using frames::MasterDataWindow;

// One master-data window over its table, holding two records: K1 (甲) listed
// first and M2 (乙).
struct KindCase {
    const char *name;
    const char *table;
    const char *insertTwo;
    std::function<std::unique_ptr<MasterDataWindow>()> open;
};

template <class Window> std::unique_ptr<MasterDataWindow> openWindow()
{
    return std::make_unique<Window>();
}

const KindCase kKinds[] = {
    {"suppliers", "TA1", "insert into TA1 (F1,F2) values ('K1','甲'),('M2','乙')", openWindow<A1>},
    {"receiving units", "TA2", "insert into TA2 (F1,F2) values ('K1','甲'),('M2','乙')", openWindow<A2>},
    {"categories", "TA3", "insert into TA3 (F1,F2) values ('K1','甲'),('M2','乙')", openWindow<A3>},
    {"goods", "TA4", "insert into TA4 (F1,F2,F3) values ('K1','甲','001'),('M2','乙','001')", openWindow<A4>},
};

// The card shows K1; a query then narrows the list to M2.
struct CardAfterQuery {
    TestBook book;
    ListServices services;
    std::unique_ptr<MasterDataWindow> w;

    explicit CardAfterQuery(const KindCase &kind)
    {
        book.exec(QString::fromUtf8(kind.insertTwo));
        w = kind.open();
        WindowDriver<MasterDataWindow> d{*w};
        d.pickRow(d.column(0).indexOf(QStringLiteral("K1")) + 1);
        w->findChild<QTabBar *>(QStringLiteral("TabS"))->setCurrentIndex(1);
        EXPECT_EQ(d.box(0)->text(), QStringLiteral("K1"));
        services.answerQuery(0, 0, QStringLiteral("M2"));
        d.menu("Menu_query");
        EXPECT_EQ(d.column(0), QStringList{"M2"});
    }
    QString nameOf(const KindCase &kind, const char *code)
    {
        return book.value(QStringLiteral("select F2 from ") + QLatin1String(kind.table) + QStringLiteral(" where F1=?"),
                          {QString::fromLatin1(code)});
    }
};

TEST(CardAfterQuery, ShowsTheListedRecordAndAnEditActsOnIt)
{
    for (const KindCase &kind : kKinds) {
        SCOPED_TRACE(kind.name);
        CardAfterQuery c(kind);
        WindowDriver<MasterDataWindow> d{*c.w};
        EXPECT_EQ(d.box(0)->text(), QStringLiteral("M2"));
        EXPECT_EQ(d.box(1)->text(), QStringLiteral("乙"));

        d.menu("Menu_edit");
        d.type(0, QStringLiteral("N9"));
        d.menu("Menu_save");
        ASSERT_EQ(c.w->Edstu(), 0) << c.book.prompt().lastText().toStdString();
        EXPECT_EQ(c.nameOf(kind, "N9"), QStringLiteral("乙"));
        EXPECT_EQ(c.nameOf(kind, "K1"), QStringLiteral("甲"));
        EXPECT_EQ(c.nameOf(kind, "M2"), QStringLiteral("<none>"));
    }
}

TEST(CardAfterQuery, ADeleteActsOnTheRecordTheCardShows)
{
    for (const KindCase &kind : kKinds) {
        SCOPED_TRACE(kind.name);
        CardAfterQuery c(kind);
        WindowDriver<MasterDataWindow> d{*c.w};
        EXPECT_EQ(d.box(0)->text(), QStringLiteral("M2"));
        c.book.prompt().answerYes();
        d.menu("Menu_del");
        EXPECT_EQ(c.book.prompt().lastText(), QStringLiteral("真的要删除乙的资料吗？"));
        EXPECT_EQ(c.nameOf(kind, "M2"), QStringLiteral("<none>"));
        EXPECT_EQ(c.nameOf(kind, "K1"), QStringLiteral("甲"));
    }
}

} // namespace
