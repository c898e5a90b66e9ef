#include "admin/ClearingDialog.h"
#include "admin/DataClearing.h"
#include "admin/S3.h"
#include "admin/S302.h"
#include "admin/S303.h"
#include "shell/WindowRegistry.h"
#include "support/TestBook.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

void registerDataWindows();

namespace {

const QDate kToday(2026, 5, 20);

// A book with parties, goods, documents of every kind (yesterday's and
// today's), period reports, journal rows and issued numbers.
struct ClearingBook {
    ClearingBook()
    {
        book.m().setClock([] { return QDateTime(kToday, QTime(10, 0)); });
        book.exec("insert into TA1 (F1,F2) values ('S1','甲供应商'),('S2','乙供应商')");
        book.exec("insert into TA2 (F1,F2) values ('R1','甲客户'),('R2','乙客户')");
        book.exec("insert into TA3 (F1,F2) values ('WJ','五金')");
        book.exec("insert into TA4 (F1,F2,F3,F7,F71,F8,V3,V4) values "
                  "('G1','螺丝','WJ',1.5,2,100,80,1.4),('G2','螺母','WJ',0.8,1,50,40,0.7)");
        const QString yesterday = QStringLiteral("2026-05-19");
        const QString today = QStringLiteral("2026-05-20");
        // Stock-in: one note of S1 yesterday with lines of G1 and G2, one of S2 today with G2.
        header("TB1", "IN1", yesterday, "S1");
        line("TB11", "IN1", "G1");
        line("TB11", "IN1", "G2");
        header("TB1", "IN2", today, "S2");
        line("TB11", "IN2", "G2");
        header("TB3", "RT1", yesterday, "S1");
        line("TB31", "RT1", "G2");
        header("TB3", "RT2", today, "S2");
        line("TB31", "RT2", "G2");
        header("TD1", "OUT1", yesterday, "R1");
        line("TD11", "OUT1", "G1");
        header("TD1", "OUT2", today, "R2");
        line("TD11", "OUT2", "G2");
        header("TD3", "RI1", yesterday, "R1");
        line("TD31", "RI1", "G2");
        header("TD3", "RI2", today, "R2");
        line("TD31", "RI2", "G1");
        header("TC2", "PD1", yesterday, "张三");
        line("TC21", "PD1", "G1");
        header("TC2", "PD2", today, "张三");
        line("TC21", "PD2", "G2");
        book.exec("insert into jxc (SortNo,Bdate,Edate,Hpbm) values (1,'2026-01-01','2026-03-31','G1'),"
                  "(1,'2026-01-01','2026-03-31','G2'),(0,'2026-04-01','2026-04-30','G1')");
        book.exec("insert into TC15 (F1,F2) values ('IN1','2026-05-19')");
        book.exec("insert into DanNo (DanF1,Flg) values ('IN1',1),('IN2',1),('OUT1',1)");
        book.exec("update reginfo set F7='2025-01-01'");
    }

    void header(const char *table, const char *no, const QString &date, const char *party)
    {
        book.exec(QStringLiteral("insert into %1 (F1,F2,F3,F6) values (?,?,?,'001')").arg(QLatin1String(table)),
                  {QString::fromUtf8(no), date, QString::fromUtf8(party)});
    }
    void line(const char *table, const char *no, const char *goods)
    {
        book.exec(QStringLiteral("insert into %1 (F0,F1,F6) values (?,?,1)").arg(QLatin1String(table)),
                  {QString::fromLatin1(no), QString::fromLatin1(goods)});
    }
    int count(const QString &table) { return int(book.number("select count(*) from " + table)); }
    QString codes(const QString &sql)
    {
        db::Statement st = book.db().prepare(sql);
        QStringList out;
        while (st.next())
            out << st.text(0);
        return out.join(QLatin1Char(','));
    }

    TestBook book;
};

const QStringList kDocumentTables = {"TB1", "TB11", "TB3", "TB31", "TD1", "TD11", "TD3", "TD31", "TC2", "TC21", "TC15"};

// ---- initialisation ----

struct InitCase {
    const char *name;
    admin::InitialiseChoice choice;
    bool documentsGone, stockZero, masterReset, reportsGone;
};

class InitialiseBook : public ::testing::TestWithParam<InitCase> {};

TEST_P(InitialiseBook, EmptiesWhatWasChosenAndNothingElse)
{
    ClearingBook b;
    const InitCase &c = GetParam();
    admin::InitialiseChoice choice = c.choice;
    choice.yearStart = QDate(2026, 1, 1);
    ASSERT_EQ(admin::initialiseBook(b.book.m(), choice), QString());

    for (const QString &table : kDocumentTables)
        EXPECT_EQ(b.count(table) == 0, c.documentsGone) << table.toStdString();
    if (c.masterReset) {
        EXPECT_EQ(b.codes("select F1||'/'||F2 from TA1"), QStringLiteral("001/默认货品来源"));
        EXPECT_EQ(b.codes("select F1||'/'||F2 from TA2"), QStringLiteral("001/默认货品去向"));
        EXPECT_EQ(b.codes("select F1||'/'||F2 from TA3"), QStringLiteral("001/所有货品"));
        EXPECT_EQ(b.count("TA4"), 0);
    } else {
        EXPECT_EQ(b.count("TA1"), 3);
        EXPECT_EQ(b.count("TA3"), 2);
        EXPECT_EQ(b.count("TA4"), 2);
        // Zeroing keeps the prices; only quantities and opening values go.
        EXPECT_EQ(b.codes("select F8||'/'||V3||'/'||V4||'/'||F7 from TA4 where F1='G1'"),
                  c.stockZero ? QStringLiteral("0.0/0.0/0.0/1.5") : QStringLiteral("100.0/80.0/1.4/1.5"));
    }
    EXPECT_EQ(b.count("jxc") == 0, c.reportsGone);
    EXPECT_EQ(b.book.value("select F7 from reginfo"), c.reportsGone ? QStringLiteral("2026-01-01") : QStringLiteral("2025-01-01"));
    // Issued numbers, operators and options are never touched.
    EXPECT_EQ(b.count("DanNo"), 3);
    EXPECT_EQ(b.count("TE1"), 1);
    EXPECT_EQ(b.count("sysinfo"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, InitialiseBook,
    ::testing::Values(InitCase{"documents", {true, false, false, false, {}}, true, false, false, false},
                      InitCase{"stock", {false, true, false, true, {}}, false, true, false, true},
                      InitCase{"master", {false, false, true, true, {}}, false, false, true, true},
                      InitCase{"year", {false, false, false, true, {}}, false, false, false, true},
                      InitCase{"all", {true, true, true, true, {}}, true, true, true, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(InitialiseBook, WritesTheChosenYearStart)
{
    for (const bool withRow : {true, false}) {
        SCOPED_TRACE(withRow ? "reginfo row present" : "no reginfo row");
        ClearingBook b;
        if (!withRow)
            b.book.exec("delete from reginfo");
        admin::InitialiseChoice choice;
        choice.newYear = true;
        choice.yearStart = QDate(2027, 4, 1);
        ASSERT_EQ(admin::initialiseBook(b.book.m(), choice), QString());
        EXPECT_EQ(b.book.value("select group_concat(F7) from reginfo"), QStringLiteral("2027-04-01"));
    }
}

TEST(InitialiseBook, AFailureLeavesTheBookAsItWas)
{
    ClearingBook b;
    b.book.exec("create trigger refuse before delete on TA4 begin select raise(abort,'goods locked'); end");
    admin::InitialiseChoice all{true, true, true, true, QDate(2027, 1, 1)};
    const QString error = admin::initialiseBook(b.book.m(), all);
    EXPECT_TRUE(error.contains(QStringLiteral("goods locked"))) << error.toStdString();
    EXPECT_EQ(b.count("TB1"), 2);
    EXPECT_EQ(b.count("TC15"), 1);
    EXPECT_EQ(b.count("TA1"), 3);
    EXPECT_EQ(b.book.number("select F8 from TA4 where F1='G1'"), 100);
    EXPECT_EQ(b.count("jxc"), 3);
    EXPECT_EQ(b.book.value("select F7 from reginfo"), QStringLiteral("2025-01-01"));
}

// ---- one master record with its documents ----

struct MasterCase {
    const char *name;
    admin::MasterKind kind;
    const char *code;
    const char *masterSql;  // the master table's codes after the run
    const char *masterAfter;
    const char *docsSql;    // the documents left
    const char *docsAfter;
};

class ClearMasterRecord : public ::testing::TestWithParam<MasterCase> {};

TEST_P(ClearMasterRecord, RemovesTheRecordAndItsDocuments)
{
    ClearingBook b;
    const MasterCase &c = GetParam();
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), c.kind, QString::fromUtf8(c.code)), QString());
    EXPECT_EQ(b.codes(QString::fromUtf8(c.masterSql)), QString::fromUtf8(c.masterAfter));
    EXPECT_EQ(b.codes(QString::fromUtf8(c.docsSql)), QString::fromUtf8(c.docsAfter));
    EXPECT_EQ(b.count("TC15"), 0);
    EXPECT_EQ(b.count("DanNo"), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ClearMasterRecord,
    ::testing::Values(
        MasterCase{"supplier", admin::MasterKind::Supplier, "s1", "select F1 from TA1 order by F1", "001,S2",
                   "select F0||F1 from TB11 union all select F0||F1 from TB31 union all select F1 from TB1 "
                   "union all select F1 from TB3 union all select F1 from TD1",
                   "IN2G2,RT2G2,IN2,RT2,OUT1,OUT2"},
        MasterCase{"receiver", admin::MasterKind::ReceivingUnit, "R2", "select F1 from TA2 order by F1", "001,R1",
                   "select F0||F1 from TD11 union all select F0||F1 from TD31 union all select F1 from TD1 "
                   "union all select F1 from TD3 union all select count(*) from TB1",
                   "OUT1G1,RI1G2,OUT1,RI1,2"},
        // A note with a line of G1 and a line of G2 goes whole; stocktaking stays.
        MasterCase{"goods", admin::MasterKind::Goods, "G1", "select F1 from TA4 union all select Hpbm from jxc", "G2,G2",
                   "select F0||F1 from TB11 union all select F0||F1 from TD11 union all select F0||F1 from TD31 "
                   "union all select F1 from TB1 union all select F1 from TD1 union all select F1 from TD3 "
                   "union all select F0||F1 from TC21",
                   "IN2G2,OUT2G2,RI1G2,IN2,OUT2,RI1,PD1G1,PD2G2"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ClearMasterRecord, DefaultPartyRowComesBackOnlyForAnEmptyTable)
{
    ClearingBook b;
    // Removing "001" while others exist leaves none with that code.
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), admin::MasterKind::Supplier, "001"), QString());
    EXPECT_EQ(b.codes("select F1 from TA1 order by F1"), QStringLiteral("S1,S2"));
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), admin::MasterKind::Supplier, "S1"), QString());
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), admin::MasterKind::Supplier, "S2"), QString());
    EXPECT_EQ(b.codes("select F1||'/'||F2 from TA1"), QStringLiteral("001/默认货品来源"));
}

TEST(ClearMasterRecord, ACodeWithAQuoteIsTakenLiterally)
{
    ClearingBook b;
    b.book.exec("insert into TA1 (F1,F2) values ('O''B','带引号')");
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), admin::MasterKind::Supplier, "O'B' or '1'='1"), QString());
    EXPECT_EQ(b.count("TA1"), 4);
    ASSERT_EQ(admin::clearMasterRecord(b.book.m(), admin::MasterKind::Supplier, "O'B"), QString());
    EXPECT_EQ(b.count("TA1"), 3);
}

// ---- documents before a day ----

struct BeforeCase {
    admin::DocumentKindToClear kind;
    const char *header;
    const char *lines;
    const char *kept;
};

class ClearDocumentsBefore : public ::testing::TestWithParam<BeforeCase> {};

TEST_P(ClearDocumentsBefore, RemovesOnlyDaysBeforeTheCutOff)
{
    ClearingBook b;
    const BeforeCase &c = GetParam();
    ASSERT_EQ(admin::clearDocumentsBefore(b.book.m(), c.kind, kToday), QString());
    const QString header = QString::fromLatin1(c.header);
    EXPECT_EQ(b.codes("select F1 from " + header), QString::fromLatin1(c.kept));
    EXPECT_EQ(b.codes("select F0 from " + QString::fromLatin1(c.lines)), QString::fromLatin1(c.kept));
    // Other kinds keep both of their documents.
    int others = 0;
    for (const char *t : {"TB1", "TB3", "TD1", "TD3", "TC2"})
        if (header != QLatin1String(t))
            others += b.count(QString::fromLatin1(t));
    EXPECT_EQ(others, 8);
    EXPECT_EQ(b.count("TC15"), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClearDocumentsBefore,
                         ::testing::Values(BeforeCase{admin::DocumentKindToClear::StockIn, "TB1", "TB11", "IN2"},
                                           BeforeCase{admin::DocumentKindToClear::ReturnToSupplier, "TB3", "TB31", "RT2"},
                                           BeforeCase{admin::DocumentKindToClear::StockOut, "TD1", "TD11", "OUT2"},
                                           BeforeCase{admin::DocumentKindToClear::ReturnIn, "TD3", "TD31", "RI2"},
                                           BeforeCase{admin::DocumentKindToClear::Stocktaking, "TC2", "TC21", "PD2"}));

TEST(ClearDocumentsBefore, ReadsUnpaddedStoredDates)
{
    ClearingBook b;
    b.book.exec("update TB1 set F2='2026-5-9' where F1='IN2'");
    ASSERT_EQ(admin::clearDocumentsBefore(b.book.m(), admin::DocumentKindToClear::StockIn, QDate(2026, 5, 10)), QString());
    EXPECT_EQ(b.codes("select F1 from TB1"), QStringLiteral("IN1"));
}

// ---- progress ----

// Every report of progress a run gives, as "done/total".
struct ProgressLog {
    admin::ClearingProgress progress()
    {
        return [this](qint64 done, qint64 total) { told << QStringLiteral("%1/%2").arg(done).arg(total); };
    }
    // Whether the steps done never went back and the whole stayed one figure.
    bool steady() const
    {
        qint64 lastDone = -1, firstTotal = -1;
        for (const QString &t : told) {
            const qint64 done = t.section('/', 0, 0).toLongLong(), total = t.section('/', 1, 1).toLongLong();
            if (firstTotal < 0)
                firstTotal = total;
            if (done < lastDone || total != firstTotal || done > total)
                return false;
            lastDone = done;
        }
        return true;
    }
    QStringList told;
};

TEST(ClearingProgress, EveryRunTellsItsStepsFromNoneToAll)
{
    using Run = std::function<QString(Module1 &, const admin::ClearingProgress &)>;
    const struct {
        const char *what;
        Run run;
    } cases[] = {
        {"initialisation",
         [](Module1 &m, const admin::ClearingProgress &p) {
             return admin::initialiseBook(m, {true, true, true, true, QDate(2027, 1, 1)}, p);
         }},
        {"goods", [](Module1 &m, const admin::ClearingProgress &p) {
             return admin::clearMasterRecord(m, admin::MasterKind::Goods, "G1", p);
         }},
        {"documents before a day", [](Module1 &m, const admin::ClearingProgress &p) {
             return admin::clearDocumentsBefore(m, admin::DocumentKindToClear::StockOut, kToday, p);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ClearingBook b;
        ProgressLog log;
        ASSERT_EQ(c.run(b.book.m(), log.progress()), QString());
        ASSERT_GE(log.told.size(), 2);
        const QString total = log.told.first().section('/', 1, 1);
        EXPECT_GT(total.toInt(), 1);
        EXPECT_EQ(log.told.first(), QStringLiteral("0/") + total);
        EXPECT_EQ(log.told.last(), total + QStringLiteral("/") + total);
        EXPECT_TRUE(log.steady()) << log.told.join(' ').toStdString();
    }
}

TEST(ClearingProgress, AFailedRunNeverTellsItIsDone)
{
    ClearingBook b;
    b.book.exec("create trigger refuse before delete on TA4 begin select raise(abort,'goods locked'); end");
    ProgressLog log;
    EXPECT_NE(admin::initialiseBook(b.book.m(), {true, true, true, true, QDate(2027, 1, 1)}, log.progress()), QString());
    ASSERT_FALSE(log.told.isEmpty());
    EXPECT_NE(log.told.last().section('/', 0, 0), log.told.last().section('/', 1, 1));
    EXPECT_EQ(b.count("TB1"), 2);
}

TEST(ClearingProgress, TheWindowsClearUnderTheWaitPointer)
{
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Qt::CursorShape during = Qt::ArrowCursor;
    const QString result = admin::runShowingProgress(QStringLiteral("清除历史单据"), [&](const admin::ClearingProgress &p) {
        during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        p(1, 2);
        return QStringLiteral("refused");
    });
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(result, QStringLiteral("refused"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- the windows ----

template <typename T = QPushButton>
T *child(QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(S3Window, YearBoxFollowsStockAndMasterBoxes)
{
    ClearingBook b;
    S3 w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("帐本数据初始化"));
    EXPECT_EQ(child<QDateEdit>(w, "DTP")->date(), QDate(2026, 1, 1));
    auto *chk0 = child<QCheckBox>(w, "Chk0");
    auto *chk1 = child<QCheckBox>(w, "Chk1");
    auto *chk2 = child<QCheckBox>(w, "Chk2");
    auto *chk3 = child<QCheckBox>(w, "Chk3");
    chk0->click();
    EXPECT_FALSE(chk3->isChecked());
    chk1->click();
    EXPECT_TRUE(chk3->isChecked());
    chk2->click();
    chk3->click();
    EXPECT_FALSE(chk1->isChecked());
    EXPECT_FALSE(chk2->isChecked());
    EXPECT_FALSE(chk3->isChecked());
    EXPECT_TRUE(chk0->isChecked());
}

TEST(S3Window, RefusesWithoutABoxOrWithoutConsent)
{
    ClearingBook b;
    S3 w;
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("请选择要清除的对象！"));
    child<QCheckBox>(w, "Chk0")->click();
    b.book.prompt().answerNo();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("数据清除后将无法恢复！真的继续吗？"));
    EXPECT_EQ(b.count("TB1"), 2);
}

TEST(S3Window, InitialisesTheWholeBookAndMovesTheLockDate)
{
    ClearingBook b;
    b.book.m().LoadPeriodStart();
    ASSERT_EQ(b.book.m().gPeriodStart, QDate(2026, 4, 1));
    S3 w;
    for (const char *box : {"Chk0", "Chk1", "Chk2"})
        child<QCheckBox>(w, box)->click();
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("系统数据清除成功！"));
    EXPECT_EQ(b.book.value("select F7 from reginfo"), QStringLiteral("2026-01-01"));
    EXPECT_EQ(b.book.m().gPeriodStart, QDate(2026, 1, 1));
    EXPECT_EQ(b.count("TB11") + b.count("jxc") + b.count("TA4"), 0);
    EXPECT_EQ(b.count("DanNo"), 3);
}

TEST(S3Window, ReportsAFailureAndChangesNothing)
{
    ClearingBook b;
    b.book.exec("create trigger refuse before delete on TC15 begin select raise(abort,'busy'); end");
    S3 w;
    child<QCheckBox>(w, "Chk0")->click();
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_TRUE(b.book.prompt().lastText().startsWith(QStringLiteral("数据清除失败，帐本中的数据未作任何改动。")));
    EXPECT_EQ(b.count("TB1"), 2);
}

TEST(S302Window, AsksFirstThenWantsACodeAndAKind)
{
    ClearingBook b;
    S302 w;
    EXPECT_FALSE(child<QRadioButton>(w, "Opt2")->isEnabled());
    for (const char *opt : {"Opt0", "Opt1", "Opt3"})
        EXPECT_FALSE(child<QRadioButton>(w, opt)->isChecked());
    child<QLineEdit>(w, "Txt")->setText("   ");
    child(w, "Cmd0")->click();
    ASSERT_EQ(b.book.prompt().texts(), QStringList{QStringLiteral("警告！相关数据删除后将不可恢复！真的要继续吗？")});
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("必须输入指定编码！"));
    child<QLineEdit>(w, "Txt")->setText(" G1 ");
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("请选择要清除数所的类型！"));
    EXPECT_EQ(b.count("TC15"), 1);
    child<QRadioButton>(w, "Opt3")->click();
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("操作完成！"));
    EXPECT_EQ(b.codes("select F1 from TA4"), QStringLiteral("G2"));
}

TEST(S303Window, ClearsBeforeTheChosenDay)
{
    ClearingBook b;
    S303 w;
    EXPECT_EQ(child<QDateEdit>(w, "DTP")->date(), kToday);
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("请选择要清除数所的类型！"));
    child<QRadioButton>(w, "Opt2")->click();
    b.book.prompt().answerYes();
    child(w, "Cmd0")->click();
    EXPECT_EQ(b.book.prompt().texts().value(2),
              QStringLiteral("警告！相关数据删除后将不可恢复！真的要删除2026-05-20之前的指定类型单据吗？"));
    EXPECT_EQ(b.book.prompt().lastText(), QStringLiteral("操作完成！"));
    EXPECT_EQ(b.codes("select F1 from TD1"), QStringLiteral("OUT2"));
    EXPECT_EQ(b.count("TB1"), 2);
}

TEST(DataWindows, AreRegisteredModalExceptTheImport)
{
    ClearingBook b;
    registerDataWindows();
    for (const char *name : {"S3", "S302", "S303", "FromExcel"}) {
        std::unique_ptr<QWidget> w(windows::create(QString::fromLatin1(name), nullptr));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->objectName(), QString::fromLatin1(name));
        EXPECT_EQ(qobject_cast<QDialog *>(w.get()) != nullptr, QLatin1String(name) != QLatin1String("FromExcel")) << name;
    }
}

} // namespace
