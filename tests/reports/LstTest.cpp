// The document statistics: audited lines of each kind with totals, the kind
// chosen on an open window, the condition query, sorting and both prints.
#include "reports/Lst.h"
#include "shell/MForm.h"
#include "shell/ShellWindows.h"
#include "support/CellAlignment.h"
#include "support/CentAmounts.h"
#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

void registerStatisticsWindows();

namespace {

struct KindCase {
    const char *code;
    const char *head;
    const char *line;
    const char *party;      // code of the party in the kind's party table
    const char *partyName;
    const char *caption;
    QStringList captions;   // columns 0, 2, 3, 11, 12
    const char *status;
};

const KindCase kKinds[] = {
    {"B2", "TB1", "TB11", "S1", "甲供应商", "入库统计", {"入库单号", "供货单位编码", "供货单位", "入库数量", "入库价格"},
     "入库资料：共 3 条记录 当前为第 1 条"},
    {"B4", "TB3", "TB31", "S1", "甲供应商", "退货统计", {"退货单号", "供货单位编码", "供货单位", "退货数量", "退货价格"},
     "退货资料：共 3 条记录 当前为第 1 条"},
    {"D2", "TD1", "TD11", "C1", "乙客户", "出库统计", {"出库单号", "出货单位编码", "出货单位", "出库数量", "出库价格"},
     "出库资料：共 3 条记录 当前为第 1 条"},
    {"D4", "TD3", "TD31", "C1", "乙客户", "退库统计", {"退库单号", "出货单位编码", "出货单位", "退库数量", "退库价格"},
     "退库资料：共 3 条记录 当前为第 1 条"},
};

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// Each kind's tables hold the same documents, numbered with the kind's code:
//   -1 today, audited, two lines;  -2 today, auditor '';  -3 today, auditor Null;
//   -4 yesterday, audited;         -5 today, audited, no lines.
struct Statistics : ::testing::Test {
    TestBook book;

    Statistics()
    {
        book.m().setClock([] { return QDateTime(QDate(2026, 3, 9), QTime(10, 0)); });
        book.exec("insert into TA1 (F1,F2) values ('S1','甲供应商')");
        book.exec("insert into TA2 (F1,F2) values ('C1','乙客户')");
        book.exec("insert into TA3 (F1,F2) values ('K1','五金')");
        book.exec("insert into TA4 (F1,F2,F3,F4,F5) values ('G1','螺钉','K1','盒','M3'),('G2','螺母','K1','个','M4')");
        for (const KindCase &k : kKinds) {
            doc(k, "-1", "2026-03-09", "张三", "首单", {{"G1", 10, 2.5, "l1"}, {"G2", 4, 1.25, "O'Neil"}});
            doc(k, "-2", "2026-03-09", "", "", {{"G1", 100, 1, ""}});
            doc(k, "-3", "2026-03-09", nullptr, "", {{"G1", 200, 1, ""}});
            doc(k, "-4", "2026-03-08", "张三", "", {{"G2", 1, 3, ""}});
            doc(k, "-5", "2026-03-09", "张三", "", {});
        }
    }
    struct Line {
        const char *goods;
        double quantity, price;
        const char *remark;
    };
    void doc(const KindCase &k, const char *suffix, const char *date, const char *auditor, const char *remark,
             QVector<Line> lines)
    {
        const QString no = QString::fromLatin1(k.code) + QString::fromLatin1(suffix);
        book.exec(QStringLiteral("insert into %1 (F1,F2,F3,F6,F10) values (?,?,?,?,?)").arg(QString::fromLatin1(k.head)),
                  {no, QString::fromLatin1(date), QString::fromLatin1(k.party),
                   auditor ? QVariant(s(auditor)) : QVariant(), s(remark)});
        for (const Line &l : lines)
            book.exec(QStringLiteral("insert into %1 (F0,F1,F6,F7,F8) values (?,?,?,?,?)").arg(QString::fromLatin1(k.line)),
                      {no, QString::fromLatin1(l.goods), l.quantity, l.price, s(l.remark)});
    }
    static QStringList sortedColumn(WindowDriver<Lst> &d, int col, int rows)
    {
        QStringList texts = d.column(col).mid(0, rows);
        texts.sort();
        return texts;
    }
};

TEST_F(Statistics, EachKindListsTodaysAuditedLinesWithTotals)
{
    for (const KindCase &k : kKinds) {
        SCOPED_TRACE(k.code);
        Lst w;
        w.setProperty("whoami", QString::fromLatin1(k.code));
        EXPECT_EQ(w.windowTitle(), s(k.caption));
        const QStringList caps = w.grid().rowTexts(0);
        EXPECT_EQ((QStringList{caps[0], caps[2], caps[3], caps[11], caps[12]}), k.captions);
        EXPECT_EQ(caps[13], QStringLiteral("金额"));

        ASSERT_EQ(w.grid().rows(), 5);
        const QString code = QString::fromLatin1(k.code);
        QVector<QStringList> rows{w.grid().rowTexts(1), w.grid().rowTexts(2), w.grid().rowTexts(3)};
        std::sort(rows.begin(), rows.end());
        const QString party = s(k.partyName);
        EXPECT_EQ(rows[0], (QStringList{code + "-1", "2026-03-09", k.party, party, "首单", "G1", "螺钉", "M3", "K1",
                                        "五金", "盒", "10", "2.5", "25", "l1"}));
        EXPECT_EQ(rows[1], (QStringList{code + "-1", "2026-03-09", k.party, party, "首单", "G2", "螺母", "M4", "K1",
                                        "五金", "个", "4", "1.25", "5", "O'Neil"}));
        // a header without lines: one row, empty goods columns, zero numbers
        EXPECT_EQ(rows[2], (QStringList{code + "-5", "2026-03-09", k.party, party, "", "", "", "", "", "", "", "0",
                                        "0", "0", ""}));
        EXPECT_EQ(w.grid().rowTexts(4),
                  (QStringList{"", "", "", "", "", "", "合计：", "", "", "", "", "14", "", "30", ""}));
        EXPECT_EQ(book.m().statusPanels().panelText(4), s(k.status));
    }
}

// Numbers, codes, names and sizes/models of digits are texts: they stand
// left as the letters beside them do; the figures stand right.
TEST_F(Statistics, CodesOfDigitsStandLeftAndFiguresRight)
{
    book.exec("insert into TA1 (F1,F2) values ('502','丙供应商')");
    book.exec("insert into TA3 (F1,F2) values ('07','工具')");
    book.exec("insert into TA4 (F1,F2,F3,F4,F5) values ('001','螺栓','07','502','502')");
    book.exec("insert into TB1 (F1,F2,F3,F6,F10) values ('0309','2026-03-09','502','张三','12')");
    book.exec("insert into TB11 (F0,F1,F6,F7,F8) values ('0309','001',3,4,'5')");
    Lst w;
    w.setProperty("whoami", QStringLiteral("B2"));
    ASSERT_EQ(w.recordCount(), 4);
    EXPECT_EQ(cellsNotLeft(w.grid(), 1, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14}), QStringList());
    for (int col : {11, 12, 13})
        EXPECT_EQ(horizontalAlignment(w.grid(), 1, col), Qt::AlignRight) << "column " << col;
}

// The totals row of many two-decimal lines is their exact decimal sum, in
// the quantity and the amount column.
TEST_F(Statistics, TotalsOfManyDecimalLinesAreTheirDecimalSum)
{
    book.m().setClock([] { return QDateTime(QDate(2026, 3, 10), QTime(9, 0)); });
    const struct {
        const KindCase &kind;
        std::uint32_t seed;
    } cases[] = {{kKinds[0], kNoisySeeds[0]}, {kKinds[2], kNoisySeeds[1]}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind.code);
        const CentAmounts amounts = centAmounts(1500, c.seed);
        QVector<Line> lines;
        for (double v : amounts.values)
            lines.append({"G1", v, 1, ""});
        {
            db::Transaction transaction(book.db());
            doc(c.kind, "-9", "2026-03-10", "张三", "", lines);
            ASSERT_TRUE(transaction.commit());
        }
        Lst w;
        w.setWhoami(QString::fromLatin1(c.kind.code));
        ASSERT_EQ(w.recordCount(), 1500);
        const QStringList totals = w.grid().rowTexts(w.grid().rows() - 1);
        EXPECT_EQ(totals[11], amounts.sum);
        EXPECT_EQ(totals[13], amounts.sum);
    }
}

// The day's list holds the documents of that day only, at a month's end and
// on the next month's first day, and finds them through the header date index.
TEST_F(Statistics, DayListKeepsToItsDayAcrossTheMonthEnd)
{
    for (const KindCase &k : kKinds) {
        doc(k, "-30", "2026-03-30", "张三", "", {{"G1", 1, 1, ""}});
        doc(k, "-31", "2026-03-31", "张三", "", {{"G1", 2, 1, ""}, {"G2", 3, 1, ""}});
        doc(k, "-32", "2026-04-01", "张三", "", {{"G2", 4, 1, ""}});
    }
    const struct {
        QDate today;
        QStringList suffixes;
        const char *quantity;
    } days[] = {{QDate(2026, 3, 31), {"-31", "-31"}, "5"}, {QDate(2026, 4, 1), {"-32"}, "4"}};
    for (const auto &day : days) {
        book.m().setClock([&day] { return QDateTime(day.today, QTime(23, 59)); });
        for (const KindCase &k : kKinds) {
            SCOPED_TRACE(std::string(k.code) + " " + day.today.toString(Qt::ISODate).toStdString());
            Lst w;
            w.setWhoami(QString::fromLatin1(k.code));
            QStringList numbers;
            for (const QString &suffix : day.suffixes)
                numbers.append(QString::fromLatin1(k.code) + suffix);
            ASSERT_EQ(w.recordCount(), numbers.size());
            QStringList listed;
            for (int row = 1; row <= numbers.size(); ++row)
                listed.append(w.grid().rowTexts(row).at(0));
            EXPECT_EQ(listed, numbers);
            EXPECT_EQ(w.grid().rowTexts(w.grid().rows() - 1).at(11), QString::fromLatin1(day.quantity));
            const QString plan = book.plan(w.lastFillSql());
            EXPECT_TRUE(searchesDateIndex(plan, QString::fromLatin1(k.head))) << plan.toStdString();
        }
    }
}

TEST_F(Statistics, NoAuditedLineTodayLeavesCaptionsAndOneEmptyRow)
{
    book.m().setClock([] { return QDateTime(QDate(2026, 3, 10), QTime(9, 0)); });
    Lst w;
    w.setWhoami(QStringLiteral("D2"));
    ASSERT_EQ(w.grid().rows(), 2);
    EXPECT_EQ(w.grid().rowTexts(1).join(QString()), QString());
    EXPECT_EQ(w.recordCount(), 0);
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("无信息"));
}

TEST_F(Statistics, TotalsRowCannotBeCurrentAndPricesHideInQuantityOnlyMode)
{
    book.m().gOptKeepPrices = 0;
    Lst w;
    WindowDriver<Lst> d{w};
    w.setWhoami(QStringLiteral("B2"));
    w.resize(1300, 500);
    w.show();
    auto *grid = w.findChild<QTableView *>(QStringLiteral("GD"));
    for (int c : {2, 8, 12, 13})
        EXPECT_TRUE(grid->isColumnHidden(c)) << c;
    EXPECT_FALSE(grid->isColumnHidden(11));
    EXPECT_EQ(grid->columnWidth(10), qRound(grid->columnWidth(11) / 2.0));
    EXPECT_EQ(grid->columnWidth(3), 2 * grid->columnWidth(11));
    EXPECT_EQ(d.cell(4, 13), QStringLiteral("30"));  // still computed

    d.pickRow(4);
    EXPECT_EQ(w.curRow(), 3);
    EXPECT_EQ(book.m().statusPanels().panelText(4), QStringLiteral("入库资料：共 3 条记录 当前为第 3 条"));
}

// The main menu sets whoami on the one open window: another kind loads that
// kind; the same kind again keeps the window as it stands.
TEST_F(Statistics, MenuChoosesTheKindOfTheOpenWindow)
{
    ListServices services;
    register_shell_windows();
    registerStatisticsWindows();
    MForm main;
    main.resize(1200, 800);
    main.show();
    const auto open = [&](const char *menu) {
        main.findChild<QAction *>(QString::fromLatin1(menu))->trigger();
        return qobject_cast<Lst *>(main.mdiArea()->activeSubWindow()->widget());
    };
    Lst *w = open("Menu_B2");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("入库统计"));
    EXPECT_EQ(w->grid().textMatrix(1, 0).left(3), QStringLiteral("B2-"));

    WindowDriver<Lst> d{*w};
    d.menu("menu_S5");
    services.answerQuery(0, 0, QStringLiteral("B2-4"));
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0), (QStringList{"B2-4", ""}));

    EXPECT_EQ(open("Menu_B2"), w);
    EXPECT_EQ(d.column(0), (QStringList{"B2-4", ""}));  // same kind: unchanged

    EXPECT_EQ(open("Menu_B4"), w);
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("退货统计"));
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("退货统计"));
    EXPECT_EQ(w->grid().textMatrix(0, 0), QStringLiteral("退货单号"));
    EXPECT_EQ(sortedColumn(d, 0, 3), (QStringList{"B4-1", "B4-1", "B4-5"}));  // today's again
    EXPECT_TRUE(w->findChild<QAction *>(QStringLiteral("menu_S0"))->isChecked());
    EXPECT_FALSE(w->findChild<QAction *>(QStringLiteral("menu_S5"))->isChecked());
    EXPECT_EQ(main.panelText(4), QStringLiteral("退货资料：共 3 条记录 当前为第 1 条"));

    services.answerQuery(0, 0, QStringLiteral("B4-4"));
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0), (QStringList{"B4-4", ""}));
    d.menu("Menu_Return");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main.panelText(4), book.m().gBookName);
}

TEST_F(Statistics, QueryListsAuditedLinesOfAnyDateInTheCurrentOrder)
{
    ListServices services;
    Lst w;
    WindowDriver<Lst> d{w};
    w.setWhoami(QStringLiteral("D2"));

    // The dialog opens on the document number; its fields carry the kind's words.
    services.dialogs.handle(QStringLiteral("Query"), [](QDialog &dialog) {
        auto &q = static_cast<Query &>(dialog);
        EXPECT_EQ(q.CmbF->currentIndex(), 0);
        EXPECT_EQ(q.CmbF->count(), 15);
        EXPECT_EQ(q.CmbF->itemText(0), QStringLiteral("出库单号"));
        EXPECT_EQ(q.CmbF->itemText(3), QStringLiteral("出货单位名称"));
        EXPECT_EQ(q.GD->textMatrix(3, 1), QStringLiteral("TA2.F2"));
        EXPECT_EQ(q.GD->textMatrix(13, 1), QStringLiteral("TD11.F7*TD11.F6"));
        q.finishQuery();  // no condition: everything
        return q.result();
    });
    d.menu("menu_S5");
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0), (QStringList{"D2-5", "D2-4", "D2-1", "D2-1", ""}));
    EXPECT_EQ(d.column(13), (QStringList{"0", "3", "5", "25", "33"}));
    d.menu("menu_S0");  // the answer stays under another order
    EXPECT_EQ(d.column(0).first(), QStringLiteral("D2-4"));
    EXPECT_EQ(w.recordCount(), 4);

    // Or among the operator's conditions does not let unaudited documents in.
    services.dialogs.handle(QStringLiteral("Query"), [](QDialog &dialog) {
        auto &q = static_cast<Query &>(dialog);
        for (const char *no : {"D2-2", "D2-4", "D2-3"}) {
            q.CmbF->setCurrentIndex(0);
            q.Txt->setText(QString::fromLatin1(no));
            q.addCondition();
            q.CmbLG->setCurrentIndex(1);  // 或者
        }
        q.finishQuery();
        return q.result();
    });
    d.menu("Menu_query");
    EXPECT_EQ(d.column(0), (QStringList{"D2-4", ""})) << w.lastFillSql().toStdString();

    // A value with a quote is found as typed; a cancelled dialog changes nothing.
    services.answerQuery(14, 0, QStringLiteral("O'Neil"));
    d.menu("Menu_query");
    EXPECT_EQ(d.column(5), (QStringList{"G2", ""}));
    const QString held = w.mSql();
    services.cancelQuery();
    d.menu("Menu_query");
    EXPECT_EQ(w.mSql(), held);
    EXPECT_EQ(d.column(5), (QStringList{"G2", ""}));
}

TEST_F(Statistics, SortItemsOrderAscending)
{
    Lst w;
    WindowDriver<Lst> d{w};
    w.setWhoami(QStringLiteral("B2"));
    struct Case {
        const char *item;
        int column;
        QStringList expected;
    };
    const Case cases[] = {
        {"menu_S2", 5, {"", "G1", "G2"}},
        {"menu_S3", 11, {"0", "4", "10"}},
        {"menu_S4", 12, {"0", "1.25", "2.5"}},
        {"menu_S5", 13, {"0", "5", "25"}},
    };
    for (const Case &c : cases) {
        d.menu(c.item);
        EXPECT_EQ(d.column(c.column).mid(0, 3), c.expected) << c.item;
        EXPECT_TRUE(w.findChild<QAction *>(QString::fromLatin1(c.item))->isChecked());
        EXPECT_FALSE(w.findChild<QAction *>(QStringLiteral("menu_S0"))->isChecked());
    }
}

TEST_F(Statistics, PrintsStageEveryDataRowInGridOrder)
{
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Plist.rpt"));
    ListServices::provideTemplate(book.dir(), QStringLiteral("Psum.rpt"));
    book.m().gOptKeepPrices = 0;  // prices and amounts are staged all the same
    Lst w;
    WindowDriver<Lst> d{w};
    w.setWhoami(QStringLiteral("B4"));
    d.menu("menu_S5");
    const QString staged = QStringLiteral(
        "select group_concat(F0||'|'||F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6||'|'||F7||'|'||F8||'|'||F9"
        "||'|'||F10||'|'||F11||'|'||F12||'|'||F13||'|'||F14||'|'||F15||'|'||V1||'|'||V2, ';') "
        "from (select * from Plist order by F0)");

    d.menu("Menu_print1");
    const report::FilledReport *shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("退货流水帐"));
    EXPECT_EQ(shown->rows.size(), 3);
    // The party and the unit of measure, told apart.
    EXPECT_EQ(shown->captions.mid(2, 5), s("往来单位,货品编码,货品名称,规格,计量单位").split(','));
    EXPECT_EQ(book.value(staged),
              s("00001|B4-5|2026-03-09|S1|甲供应商||||||||0|0|0||0.0|0.0;"
                "00002|B4-1|2026-03-09|S1|甲供应商|首单|G2|螺母|M4|K1|五金|个|4|1.25|5|O'Neil|4.0|5.0;"
                "00003|B4-1|2026-03-09|S1|甲供应商|首单|G1|螺钉|M3|K1|五金|盒|10|2.5|25|l1|10.0|25.0"));

    d.menu("Menu_print2");
    shown = ListServices::shownReport();
    ASSERT_NE(shown, nullptr) << book.prompt().lastText().toStdString();
    EXPECT_EQ(shown->formula(QStringLiteral("Cpt")), QStringLiteral("退货统计表"));
    EXPECT_EQ(shown->rows.size(), 3);  // no goods, G1, G2
    EXPECT_EQ(book.number("select count(*) from Plist"), 3);
}

TEST_F(Statistics, PrintingAnEmptyGridIsRefused)
{
    ListServices services;
    book.exec("insert into Plist (F0,F1) values ('00001','kept')");
    book.m().setClock([] { return QDateTime(QDate(2026, 3, 10), QTime(9, 0)); });
    Lst w;
    WindowDriver<Lst> d{w};
    w.setWhoami(QStringLiteral("B2"));
    for (const char *item : {"Menu_print1", "Menu_print2"}) {
        book.prompt().clear();
        d.menu(item);
        ASSERT_EQ(book.prompt().shown.size(), 1) << item;
        EXPECT_EQ(book.prompt().shown[0].title, QStringLiteral("提示"));
        EXPECT_EQ(book.prompt().shown[0].text, QStringLiteral("无数据可打印！"));
        EXPECT_EQ(ListServices::shownReport(), nullptr);
    }
    EXPECT_EQ(book.value("select group_concat(F1) from Plist"), QStringLiteral("kept"));
}

} // namespace
