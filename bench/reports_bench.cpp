// The document statistics on a large book: opening the stock-in statistics
// (the audited lines of one day), also shown and painted, and listing every
// audited stock-in line (a search without conditions), each beside its floor:
// the same rows read bare through the sqlite3 API, the day's by a range of the
// header date index (for the shown window, kept in a bare table model shown
// and painted alike). The context "day_plan" holds the engine's plan of the
// window's day list.
//   reports_bench --book=<path> [Google Benchmark options]
// Without --book a book of about 1,000,000 document lines is built in a
// temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
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
    const QString conditions = whole ? QString() : documentsOnDayCondition(kind);
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

// The day's audited lines read by a range of the header date index, in date order.
QByteArray indexedDaySql()
{
    const StatisticsKind &kind = stockIn();
    return (baseStatement(kind) + QStringLiteral("where TB1.F2>=?1 and TB1.F2<?2 and TB1.F6<>'' order by TB1.F2"))
        .toUtf8();
}

// The floor: the day's rows by the date index on opening, then for every line
// the search without conditions.
void listQueryBare(benchmark::State &state, Case c)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    const QByteArray daySql = indexedDaySql();
    const QByteArray wholeSql = listSql(true).toUtf8();
    const QByteArray day = gDay.toUtf8();
    const QByteArray nextDay = db::dateText(db::parseDate(gDay).addDays(1)).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = bench::prepareOrSkip(state, handle, daySql);
        if (!stmt)
            break;
        sqlite3_bind_text(stmt, 1, day.constData(), int(day.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, nextDay.constData(), int(nextDay.size()), SQLITE_STATIC);
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

// How the engine finds the headers of the window's day list, one step a line.
QString dayListPlan(db::Database &db)
{
    db::Statement st = db.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + listSql(false));
    QStringList steps;
    while (st.next())
        steps.append(st.text(3));
    return steps.join(QStringLiteral("; "));
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
        benchmark::AddCustomContext("day_plan", dayListPlan(book).toStdString());
    }
    benchmark::AddCustomContext("day", gDay.toStdString());
    const Case opened{false, false}, shown{false, true}, whole{true, false};
    benchmark::RegisterBenchmark("BM_StatisticsOpen/window", openStatistics, opened)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsOpen/bare_indexed_range", listQueryBare, opened)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsShown/window", openStatistics, shown)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsShown/bare_list_shown", listQueryBare, shown)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/window", openStatistics, whole)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/bare_list_query", listQueryBare, whole)
        ->Unit(benchmark::kMillisecond);
    return program.run();
}
