// Generating the monthly in/out/balance report on a large book (one month and
// the whole fiscal year), beside its floor: the report's one statement read
// bare through the sqlite3 API, without the computation and the writes.
//   period_bench --book=<path> [Google Benchmark options]
// The book is copied to a temporary folder first (generation writes to it).
// Without --book a book of 100,000 goods and about 1,000,000 lines is built there.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "reports/PeriodReport.h"

#include <benchmark/benchmark.h>


#include <vector>

namespace {

QString gBook;

// December of the generated book's fiscal year, or the whole year.
QDate periodStart(bool month)
{
    return month ? QDate(2025, 12, 1) : QDate(2025, 1, 1);
}
const QDate kPeriodEnd(2025, 12, 31);

void generate(benchmark::State &state, bool month)
{
    db::Database book;
    if (!bench::openOrSkip(state, book, gBook))
        return;
    int rows = 0;
    for (auto _ : state) {
        const reports::GenerationResult r = reports::GeneratePeriodReport(
            book, periodStart(month), kPeriodEnd, reports::kByPeriodMovement, QStringLiteral("#0.00"));
        if (r.status != reports::GenerationResult::Done) {
            state.SkipWithError(qPrintable(QStringLiteral("generation: ") + r.error));
            return;
        }
        rows = int(r.report.rows.size());
    }
    state.counters["rows"] = rows;
}

void bareRead(benchmark::State &state, bool month)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    const QByteArray sql = reports::PeriodReportSql().toUtf8();
    const QByteArray from = db::dateText(periodStart(month)).toUtf8();
    const QByteArray to = db::dateText(kPeriodEnd.addDays(1)).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = bench::prepareOrSkip(state, handle, sql);
        if (!stmt)
            break;
        sqlite3_bind_text(stmt, 1, from.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, to.constData(), -1, SQLITE_STATIC);
        rows = 0;
        double sum = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 0));
            for (int c = 2; c < 17; ++c)
                sum += sqlite3_column_double(stmt, c);
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    state.counters["rows"] = rows;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Core);
    gBook = program.book(bench::BookUse::Copy, QStringLiteral("period.vzk"), {});
    if (gBook.isEmpty())
        return 1;
    benchmark::RegisterBenchmark("BM_PeriodReportMonth/generate", generate, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportMonth/bare_read", bareRead, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/generate", generate, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/bare_read", bareRead, false)->Unit(benchmark::kMillisecond);
    return program.run();
}
