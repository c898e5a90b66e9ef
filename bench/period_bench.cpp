// Generating the monthly in/out/balance report on a large book (one month and
// the whole fiscal year), beside its floor: the report's one statement read
// bare through the sqlite3 API, without the computation and the writes.
//   period_bench --book=<path> [Google Benchmark options]
// The book is copied to a temporary folder first (generation writes to it).
// Without --book a book of 100,000 goods and about 1,000,000 lines is built there.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BigBook.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "reports/PeriodReport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
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
    if (!book.open(gBook)) {
        state.SkipWithError(qPrintable(book.lastError()));
        return;
    }
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
    sqlite3 *handle = nullptr;
    const QByteArray path = gBook.toUtf8();
    if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_key(handle, db::kBookPassword, int(std::strlen(db::kBookPassword))) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return;
    }
    const QByteArray sql = reports::PeriodReportSql().toUtf8();
    const QByteArray from = db::dateText(periodStart(month)).toUtf8();
    const QByteArray to = db::dateText(kPeriodEnd.addDays(1)).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(handle));
            break;
        }
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
    QCoreApplication app(argc, argv);
    std::vector<char *> args;
    QString source;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strncmp(argv[i], "--book=", 7) == 0)
            source = QString::fromLocal8Bit(argv[i] + 7);
        else
            args.push_back(argv[i]);
    }

    QTemporaryDir folder;
    gBook = folder.filePath(QStringLiteral("period.vzk"));
    if (source.isEmpty()) {
        bench::BigBookSize size;
        QElapsedTimer timer;
        timer.start();
        if (const QString error = bench::makeBigBook(gBook, size); !error.isEmpty()) {
            std::fprintf(stderr, "period_bench: %s\n", qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "period_bench: no --book given; built %d goods in %.1f s\n", size.goods,
                     timer.elapsed() / 1000.0);
    } else if (!QFile::copy(source, gBook)) {
        std::fprintf(stderr, "period_bench: cannot copy %s\n", qPrintable(source));
        return 1;
    }
    benchmark::AddCustomContext("book", source.isEmpty() ? gBook.toStdString() : source.toStdString());
    benchmark::RegisterBenchmark("BM_PeriodReportMonth/generate", generate, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportMonth/bare_read", bareRead, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/generate", generate, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PeriodReportYear/bare_read", bareRead, false)->Unit(benchmark::kMillisecond);

    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
