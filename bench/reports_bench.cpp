// The document statistics on a large book: opening the stock-in statistics
// (the audited lines of one day) and listing every audited stock-in line (a
// search without conditions), each beside its floor: the bare list query
// reading the same rows through the sqlite3 API.
//   reports_bench --book=<path> [Google Benchmark options]
// Without --book a book of about 1,000,000 document lines is built in a
// temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BigBook.h"
#include "db/Database.h"
#include "db/DateText.h"
#include "db/SqlFunctions.h"
#include "reports/Lst.h"
#include "reports/LstSql.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/Query.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
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

void openStatistics(benchmark::State &state, bool whole)
{
    Module1 module;
    if (!module.gDb.open(gBook)) {
        state.SkipWithError(qPrintable(module.gDb.lastError()));
        return;
    }
    const QDate day = db::parseDate(gDay);
    module.setClock([day] { return QDateTime(day, QTime(12, 0)); });
    Module1::setInstance(&module);
    ScriptedDialogRunner dialogs;
    dialogs.handle(QStringLiteral("Query"), [](QDialog &d) {
        static_cast<Query &>(d).finishQuery();
        return int(QDialog::Accepted);
    });
    int rows = 0;
    for (auto _ : state) {
        Lst window;
        window.setWhoami(QStringLiteral("B2"));
        if (whole)
            window.findChild<QAction *>(QStringLiteral("Menu_query"))->trigger();
        rows = window.recordCount();
    }
    Module1::setInstance(nullptr);
    state.counters["rows"] = rows;
}

void listQueryBare(benchmark::State &state, bool whole)
{
    sqlite3 *handle = nullptr;
    const QByteArray path = gBook.toUtf8();
    if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_key(handle, db::kBookPassword, int(std::strlen(db::kBookPassword))) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return;
    }
    // The same connection set-up as the book's: page cache and datediff.
    sqlite3_exec(handle, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    db::registerSqlFunctions(handle);
    const QByteArray sql = listSql(whole).toUtf8();
    const QByteArray day = gDay.toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(handle));
            break;
        }
        if (!whole)
            sqlite3_bind_text(stmt, 1, day.constData(), int(day.size()), SQLITE_STATIC);
        rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < ColumnCount; ++c) {
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                bytes += size_t(sqlite3_column_bytes(stmt, c));
            }
            ++rows;
        }
        benchmark::DoNotOptimize(bytes);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(handle);
    state.counters["rows"] = rows;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strncmp(argv[i], "--book=", 7) == 0)
            gBook = QString::fromLocal8Bit(argv[i] + 7);
        else
            args.push_back(argv[i]);
    }

    QTemporaryDir folder;
    if (gBook.isEmpty()) {
        gBook = folder.filePath(QStringLiteral("statistics.vzk"));
        bench::BigBookSize size;  // 4 kinds x 25,000 notes x about 10 lines
        QElapsedTimer timer;
        timer.start();
        if (const QString error = bench::makeBigBook(gBook, size); !error.isEmpty()) {
            std::fprintf(stderr, "reports_bench: %s\n", qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "reports_bench: no --book given; built %d notes per kind in %.1f s\n", size.docsPerKind,
                     timer.elapsed() / 1000.0);
    }
    {
        db::Database book;
        if (!book.open(gBook)) {
            std::fprintf(stderr, "reports_bench: %s\n", qPrintable(book.lastError()));
            return 1;
        }
        gDay = busiestDay(book);
    }
    benchmark::AddCustomContext("book", gBook.toStdString());
    benchmark::AddCustomContext("day", gDay.toStdString());
    benchmark::RegisterBenchmark("BM_StatisticsOpen/window", openStatistics, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsOpen/bare_list_query", listQueryBare, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/window", openStatistics, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StatisticsAllLines/bare_list_query", listQueryBare, true)
        ->Unit(benchmark::kMillisecond);

    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
