// The document statistics on a large book: opening the stock-in statistics
// (the audited lines of one day), also shown and painted, and listing every
// audited stock-in line (a search without conditions), each beside its floor:
// the bare list queries the window runs, reading the same rows through the
// sqlite3 API (for the shown window, kept in a bare table model shown and
// painted alike).
//   reports_bench --book=<path> [Google Benchmark options]
// Without --book a book of about 1,000,000 document lines is built in a
// temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "db/SqlFunctions.h"
#include "reports/Lst.h"
#include "reports/LstSql.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"

#include <benchmark/benchmark.h>

#include <QAction>

#include <vector>

namespace {

using namespace reports::statistics;

QString gBook;
QString gDay;  // the day with the most audited stock-in notes

const StatisticsKind &stockIn()
{
    return *kindOf(QStringLiteral("B2"));
}

// The day's list, or every audited line, as the window runs it.
QString listSql(bool whole)
{
    const StatisticsKind &kind = stockIn();
    const QString conditions = whole ? QString() : dayCondition(kind);
    return listStatement(kind, heldStatement(kind, conditions), !whole, sortOrder(kind, 0));
}

QString busiestDay(db::Database &db)
{
    db::Statement st = db.prepare(QStringLiteral(
        "select F2 from TB1 where F6 is not null and F6<>'' group by F2 order by count(*) desc, F2 limit 1"));
    return st.next() ? st.text(0) : QString();
}

// A case: every line or the day's list; the window shown or only built.
struct Case {
    bool whole;
    bool shown;
};

void openStatistics(benchmark::State &state, Case c)
{
    Module1 module;
    if (!bench::openOrSkip(state, module.gDb, gBook))
        return;
    const QDate day = db::parseDate(gDay);
    module.setClock([day] { return QDateTime(day, QTime(12, 0)); });
    Module1::setInstance(&module);
    ScriptedDialogRunner dialogs;
    bench::searchAtOnce(dialogs);
    int rows = 0;
    for (auto _ : state) {
        Lst window;
        window.setWhoami(QStringLiteral("B2"));
        if (c.whole)
            window.findChild<QAction *>(QStringLiteral("Menu_query"))->trigger();
        if (c.shown)
            bench::showAndPaint(window);
        rows = window.recordCount();
    }
    Module1::setInstance(nullptr);
    state.counters["rows"] = rows;
}

// The window's statements: the day's list on opening, then for every line the
// search without conditions.
void listQueryBare(benchmark::State &state, Case c)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    // The same connection set-up as the book's: page cache and datediff.
    sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    db::registerSqlFunctions(handle);
    const QByteArray daySql = listSql(false).toUtf8();
    const QByteArray wholeSql = listSql(true).toUtf8();
    const QByteArray day = gDay.toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = bench::prepareOrSkip(state, handle, daySql);
        if (!stmt)
            break;
        sqlite3_bind_text(stmt, 1, day.constData(), int(day.size()), SQLITE_STATIC);
        rows = c.shown ? bench::showTextRows(stmt, ColumnCount) : bench::readTextRows(stmt, ColumnCount);
        sqlite3_finalize(stmt);
        if (!c.whole)
            continue;
        stmt = bench::prepareOrSkip(state, handle, wholeSql);
        if (!stmt)
            break;
        rows = bench::readTextRows(stmt, ColumnCount);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    state.counters["rows"] = rows;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    // 4 kinds x 25,000 notes x about 10 lines
    gBook = program.book(bench::BookUse::InPlace, QStringLiteral("statistics.vzk"), {});
    if (gBook.isEmpty())
        return 1;
    {
        db::Database book;
        if (!book.open(gBook))
            return bench::fail(book.lastError());
        gDay = busiestDay(book);
    }
    benchmark::AddCustomContext("day", gDay.toStdString());
    const Case opened{false, false}, shown{false, true}, whole{true, false};
    benchmark::RegisterBenchmark("BM_StatisticsOpen/window", openStatistics, opened)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsOpen/bare_list_query", listQueryBare, opened)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsShown/window", openStatistics, shown)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsShown/bare_list_shown", listQueryBare, shown)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/window", openStatistics, whole)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/bare_list_query", listQueryBare, whole)
        ->Unit(benchmark::kMillisecond);
    return program.run();
}
