// Generating the monthly in/out/balance report on a large book (one month and
// the whole fiscal year), beside its floor: the report's one statement and the
// same inserts into jxc, in one transaction, bare through the sqlite3 API,
// without the computation of the texts.
//   period_bench --book=<path> [Google Benchmark options]
// The book is copied to a temporary folder first (generation writes to it).
// Without --book a book of 100,000 goods and about 1,000,000 lines is built there.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "db/SqlFunctions.h"
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

// The floor: the report's statement and the same inserts into jxc (one per
// goods that is reported, its fields bound as read, without the rounding and
// the texts), in one transaction that first empties the unsaved report.
void bareGenerate(benchmark::State &state, bool month)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    db::registerSqlFunctions(handle);
    const QByteArray sql = reports::PeriodReportSql().toUtf8();
    const QByteArray from = db::dateText(periodStart(month)).toUtf8();
    const QByteArray to = db::dateText(kPeriodEnd.addDays(1)).toUtf8();
    const QByteArray end = db::dateText(kPeriodEnd).toUtf8();
    const char *insertSql = "insert into jxc (SortNo,Bdate,Edate,Hpbm,Gprice,\"As\",Aj,Bs,Bj,Cs,Cj,Ds,Dj,Es,Ej,Fs,Fj,Gs,Gj) "
                            "values (0,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    int rows = 0;
    for (auto _ : state) {
        sqlite3_exec(handle, "BEGIN IMMEDIATE; delete from jxc where SortNo=0", nullptr, nullptr, nullptr);
        sqlite3_stmt *stmt = bench::prepareOrSkip(state, handle, sql);
        sqlite3_stmt *insert = bench::prepareOrSkip(state, handle, insertSql);
        if (!stmt || !insert)
            break;
        sqlite3_bind_text(stmt, 1, from.constData(), -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, to.constData(), -1, SQLITE_STATIC);
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const bool hasPrevious = sqlite3_column_type(stmt, 6) != SQLITE_NULL;
            const double closingQty = sqlite3_column_double(stmt, 3);
            const double carriedQty = sqlite3_column_double(stmt, hasPrevious ? 7 : 4);
            const double inQty = sqlite3_column_double(stmt, 13);
            const double outQty = sqlite3_column_double(stmt, 15);
            if (closingQty == 0 && carriedQty == 0 && inQty == 0 && outQty == 0)
                continue;
            sqlite3_bind_text(insert, 1, from.constData(), 10, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, end.constData(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), -1,
                              SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 4, sqlite3_column_double(stmt, 2));
            for (int c = 0; c < 13; ++c)  // opening .. year out, as many values as the report writes
                sqlite3_bind_double(insert, 5 + c, sqlite3_column_double(stmt, 4 + c));
            sqlite3_bind_double(insert, 18, closingQty);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                state.SkipWithError(sqlite3_errmsg(handle));
                break;
            }
            sqlite3_reset(insert);
            ++rows;
        }
        sqlite3_finalize(insert);
        sqlite3_finalize(stmt);
        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
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
    benchmark::RegisterBenchmark("BM_PeriodReportMonth/bare_generate", bareGenerate, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/generate", generate, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/bare_generate", bareGenerate, false)->Unit(benchmark::kMillisecond);
    return program.run();
}
