// The goods in/out journal on a large book: generating TC15 for one month and
// for the whole book, each beside its floor (the bare insert-selects of the
// same rows, without rounding or Null handling, in one transaction through
// the sqlite3 API on a connection kept open like the program's, with the page
// cache the run sets); the window generating
// a month and showing it, beside the same insert-selects and the shown rows
// read back bare; and the journal of one goods with few lines over the whole
// book, beside the same rows found through the lines' goods-code index and
// inserted bare in the same order, with the filter remembered. The context
// "goods_plan" holds the engine's plan of the one goods' stock-in pass.
//   journal_bench --book=<path> [Google Benchmark options]
// The book is copied to a temporary folder first (the journal is written into
// it). Without --book a book of about 1,000,000 document lines is built there.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "reports/C15.h"
#include "reports/C15Journal.h"
#include "shell/Module1.h"

#include <benchmark/benchmark.h>

#include <QDateEdit>
#include <QPushButton>

#include <vector>

namespace {

// The floors' four passes, one a kind: header, lines and party tables, and
// the in and out columns (quantity, amount) each kind's lines fill.
struct Pass {
    const char *h, *l, *p, *in, *out;
};
const Pass passes[] = {{"TB1", "TB11", "TA1", "L.F6,L.F6*L.F7", "0,0"},
                       {"TB3", "TB31", "TA1", "0,0", "L.F6,L.F6*L.F7"},
                       {"TD1", "TD11", "TA2", "0,0", "L.F6,L.F6*L.F7"},
                       {"TD3", "TD31", "TA2", "L.F6,L.F6*L.F7", "0,0"}};

Module1 *gModule = nullptr;
// The floors' connection, opened once and kept like the program's, so both
// run with their page caches warm.
sqlite3 *gBare = nullptr;

struct Period {
    QDate start, end;
};
// The generated books hold documents of 2024 and 2025.
const Period kMonth{QDate(2025, 6, 1), QDate(2025, 6, 30)};
const Period kWhole{QDate(2024, 1, 1), QDate(2025, 12, 31)};

// The journal generated for filter, as the window runs it.
void generateFor(benchmark::State &state, const journal::JournalFilter &filter)
{
    for (auto _ : state) {
        const journal::RunResult r = journal::GenerateJournal(gModule->gDb, filter, 2);
        if (r.outcome != journal::RunOutcome::Done) {
            state.SkipWithError(qPrintable(r.error));
            return;
        }
    }
    state.counters["rows"] = gModule->gDb.scalar(QStringLiteral("select count(*) from TC15")).toDouble();
}

void generate(benchmark::State &state, Period period)
{
    journal::JournalFilter filter;
    filter.start = period.start;
    filter.end = period.end;
    generateFor(state, filter);
}

// The floor: the same rows copied by four plain insert-selects; for the
// window's floor also the rows it shows read back as texts, in its order.
void generateBare(benchmark::State &state, Period period, bool list)
{
    if (!gBare)
        gBare = bench::keyedConnection(state, gModule->gDb.path());
    sqlite3 *handle = gBare;
    if (!handle)
        return;
    // The run's page cache, as the generation sets it.
    sqlite3_exec(handle, "PRAGMA cache_size=-131072", nullptr, nullptr, nullptr);
    std::vector<QByteArray> statements;
    for (const Pass &p : passes)
        statements.push_back(
            QStringLiteral("insert into TC15 (F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17,F18) "
                           "select H.F1,H.F2,P.F2,H.F10,TA3.F2,L.F1,TA4.F2,TA4.F5,TA4.F4,L.F7,%1,%2,L.H6,L.H6*L.H7,"
                           "L.F8,H.H8 from %3 H left join %4 P on H.F3=P.F1 left join %5 L on L.F0=H.F1 "
                           "left join TA4 on L.F1=TA4.F1 left join TA3 on TA4.F3=TA3.F1 "
                           "where H.F2>='%6' and H.F2<='%7'")
                .arg(QString::fromLatin1(p.in), QString::fromLatin1(p.out), QString::fromLatin1(p.h),
                     QString::fromLatin1(p.p), QString::fromLatin1(p.l), db::dateText(period.start),
                     db::dateText(period.end))
                .toUtf8());
    for (auto _ : state) {
        bool ok = sqlite3_exec(handle, "BEGIN IMMEDIATE; delete from TC15", nullptr, nullptr, nullptr) == SQLITE_OK;
        for (const QByteArray &sql : statements)
            ok = ok && sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        ok = ok && sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!ok) {
            state.SkipWithError(sqlite3_errmsg(handle));
            break;
        }
        if (list) {
            sqlite3_stmt *shown = bench::prepareOrSkip(
                state, handle, "select F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17 FROM TC15 order by F18");
            if (!shown)
                break;
            bench::readTextRows(shown, 17);
            sqlite3_finalize(shown);
        }
    }
}

// A goods with few lines: the lowest code among the goods with the fewest
// lines (three at least) in the four line tables.
QString fewLinesGoods(db::Database &db)
{
    return db
        .scalar(QStringLiteral("select F1 from (select F1 from TB11 union all select F1 from TB31 union all "
                               "select F1 from TD11 union all select F1 from TD31) group by F1 "
                               "having count(*)>=3 order by count(*),F1 limit 1"))
        .toString();
}

QString gGoods;

journal::JournalFilter oneGoodsFilter()
{
    journal::JournalFilter filter;
    filter.start = kWhole.start;
    filter.end = kWhole.end;
    filter.goodsPattern = gGoods;
    filter.goodsBoxText = gGoods;
    return filter;
}

void generateOneGoods(benchmark::State &state)
{
    generateFor(state, oneGoodsFilter());
}

// The floor of one goods: its lines found through the goods-code index, their
// headers by number, the rows inserted bare in the journal's order, and the
// filter remembered, in one transaction.
void generateOneGoodsBare(benchmark::State &state)
{
    if (!gBare)
        gBare = bench::keyedConnection(state, gModule->gDb.path());
    sqlite3 *handle = gBare;
    if (!handle)
        return;
    sqlite3_exec(handle, "PRAGMA cache_size=-131072", nullptr, nullptr, nullptr);
    const QByteArray goods = gGoods.toUtf8();
    std::vector<sqlite3_stmt *> statements;
    for (const Pass &p : passes) {
        sqlite3_stmt *st = bench::prepareOrSkip(
            state, handle,
            QStringLiteral("insert into TC15 (F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17,F18) "
                           "select H.F1,H.F2,P.F2,H.F10,TA3.F2,L.F1,TA4.F2,TA4.F5,TA4.F4,L.F7,%1,%2,L.H6,L.H6*L.H7,"
                           "L.F8,H.H8 from %3 L cross join %4 H on H.F1=L.F0 left join %5 P on H.F3=P.F1 "
                           "left join TA4 on L.F1=TA4.F1 left join TA3 on TA4.F3=TA3.F1 "
                           "where L.F1=?1 and H.F2>='%6' and H.F2<='%7' order by H.F2,H.rowid,L.F1,L.rowid")
                .arg(QString::fromLatin1(p.in), QString::fromLatin1(p.out), QString::fromLatin1(p.l),
                     QString::fromLatin1(p.h), QString::fromLatin1(p.p), db::dateText(kWhole.start),
                     db::dateText(kWhole.end))
                .toUtf8());
        if (!st)
            break;
        sqlite3_bind_text(st, 1, goods.constData(), int(goods.size()), SQLITE_STATIC);
        statements.push_back(st);
    }
    const QByteArray remember = QStringLiteral("delete from c15set; insert into c15set (D1,D2,A3,A4) values "
                                               "('%1','%2','','%3')")
                                    .arg(db::dateText(kWhole.start), db::dateText(kWhole.end), gGoods)
                                    .toUtf8();
    for (auto _ : state) {
        if (statements.size() != std::size(passes))
            break;
        bool ok = sqlite3_exec(handle, "BEGIN IMMEDIATE; delete from TC15", nullptr, nullptr, nullptr) == SQLITE_OK;
        for (sqlite3_stmt *st : statements)
            ok = ok && sqlite3_step(st) == SQLITE_DONE && sqlite3_reset(st) == SQLITE_OK;
        ok = ok && sqlite3_exec(handle, remember.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        ok = ok && sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!ok) {
            state.SkipWithError(sqlite3_errmsg(handle));
            sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
            break;
        }
    }
    for (sqlite3_stmt *st : statements)
        sqlite3_finalize(st);
}

// How the engine finds the one goods' stock-in lines, one step a line.
QString oneGoodsPlan(db::Database &db)
{
    db::Statement st =
        db.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + journal::JournalStatements(oneGoodsFilter()).first());
    QStringList steps;
    while (st.next())
        steps.append(st.text(3));
    return steps.join(QStringLiteral("; "));
}

// The window: "生成报表" over a month, then the journal on show.
void windowMonth(benchmark::State &state)
{
    int rows = 0;
    for (auto _ : state) {
        C15 window;
        window.findChild<QDateEdit *>(QStringLiteral("DTP0"))->setDate(kMonth.start);
        window.findChild<QDateEdit *>(QStringLiteral("DTP1"))->setDate(kMonth.end);
        window.findChild<QPushButton *>(QStringLiteral("Cmd"))->click();
        rows = window.recordCount();
    }
    state.counters["rows"] = rows;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    const QString path = program.book(bench::BookUse::Copy, QStringLiteral("journal.vzk"), {});
    if (path.isEmpty())
        return 1;
    Module1 module;
    if (!module.gDb.open(path))
        return bench::fail(module.gDb.lastError());
    module.gBookFile = path;
    Module1::setInstance(&module);
    gModule = &module;
    const double lines = module.gDb
                             .scalar(QStringLiteral("select (select count(*) from TB11)+(select count(*) from TB31)"
                                                    "+(select count(*) from TD11)+(select count(*) from TD31)"))
                             .toDouble();
    benchmark::AddCustomContext("document lines", QString::number(lines, 'f', 0).toStdString());
    gGoods = fewLinesGoods(module.gDb);
    benchmark::AddCustomContext("goods", gGoods.toStdString());
    // A first run registers the SQL function that the plan's statement names.
    journal::GenerateJournal(module.gDb, oneGoodsFilter(), 2);
    benchmark::AddCustomContext("goods_plan", oneGoodsPlan(module.gDb).toStdString());

    benchmark::RegisterBenchmark("BM_JournalMonth/generate", generate, kMonth)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalMonth/bare_insert_select", generateBare, kMonth, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalWindowMonth/window", windowMonth)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalWindowMonth/bare_insert_select_and_list", generateBare, kMonth, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalWholeBook/generate", generate, kWhole)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalWholeBook/bare_insert_select", generateBare, kWhole, false)
        ->Unit(benchmark::kMillisecond);

    benchmark::RegisterBenchmark("BM_JournalOneGoods/generate", generateOneGoods)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_JournalOneGoods/bare_insert_select", generateOneGoodsBare)
        ->Unit(benchmark::kMillisecond);

    const int exitCode = program.run();
    sqlite3_close(gBare);
    Module1::setInstance(nullptr);
    return exitCode;
}
