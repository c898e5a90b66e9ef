// The stock list on a large book: opening it (the first 1800 goods in stock),
// and then listing every goods (a search without conditions, under cost
// prices), each beside its floor: the bare list query reading the same rows
// through the sqlite3 API.
//   stock_bench --book=<path> [Google Benchmark options]
// Without --book a book of 100,000 goods is built in a temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BigBook.h"
#include "db/Database.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "shell/Query.h"
#include "stock/StockList.h"
#include "stock/StockListSql.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using namespace stock::stocklist;

QString gBook;

// The default list's statement, and every goods under cost prices.
QString listSql(bool whole)
{
    return whole ? kCostSelectPart + QLatin1Char(' ') + kDefaultOrder
                 : kSaleSelectPart + kStockCondition + QLatin1Char(' ') + kDefaultOrder + QStringLiteral(" limit ") +
                       QString::number(kListLimit);
}

void openStockList(benchmark::State &state, bool whole)
{
    Module1 module;
    if (!module.gDb.open(gBook)) {
        state.SkipWithError(qPrintable(module.gDb.lastError()));
        return;
    }
    Module1::setInstance(&module);
    ScriptedDialogRunner dialogs;
    dialogs.handle(QStringLiteral("Query"), [](QDialog &d) {
        static_cast<Query &>(d).finishQuery();
        return int(QDialog::Accepted);
    });
    int rows = 0;
    for (auto _ : state) {
        C1 window;
        if (whole) {
            window.findChild<QAction *>(QStringLiteral("Menu_price0"))->trigger();
            window.findChild<QAction *>(QStringLiteral("Menu_query"))->trigger();
        }
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
    const QByteArray sql = listSql(whole).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr);
        rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 8; ++c) {
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
        gBook = folder.filePath(QStringLiteral("stock.vzk"));
        bench::BigBookSize size;
        size.docsPerKind = 100;
        QElapsedTimer timer;
        timer.start();
        if (const QString error = bench::makeBigBook(gBook, size); !error.isEmpty()) {
            std::fprintf(stderr, "stock_bench: %s\n", qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "stock_bench: no --book given; built %d goods in %.1f s\n", size.goods,
                     timer.elapsed() / 1000.0);
    }
    benchmark::AddCustomContext("book", gBook.toStdString());
    benchmark::RegisterBenchmark("BM_StockListOpen/window", openStockList, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListOpen/bare_list_query", listQueryBare, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListAllGoods/window", openStockList, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListAllGoods/bare_list_query", listQueryBare, true)
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
