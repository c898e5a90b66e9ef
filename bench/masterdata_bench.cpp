// The goods window on a large book, opening and printing its list, beside
// its floor: the bare list query reading the same rows through the sqlite3 API.
//   masterdata_bench --book=<path> [Google Benchmark options]
// Without --book a book of 100,000 goods is built in a temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BigBook.h"
#include "db/Database.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataKind.h"
#include "shell/Module1.h"
#include "shell/Prnt.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

QString gBook;

void openGoodsWindow(benchmark::State &state)
{
    Module1 module;
    if (!module.gDb.open(gBook)) {
        state.SkipWithError(qPrintable(module.gDb.lastError()));
        return;
    }
    Module1::setInstance(&module);
    int rows = 0;
    for (auto _ : state) {
        A4 window;
        rows = window.recordCount();
    }
    Module1::setInstance(nullptr);
    state.counters["rows"] = rows;
}

void listQueryBare(benchmark::State &state)
{
    sqlite3 *handle = nullptr;
    const QByteArray path = gBook.toUtf8();
    if (sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_key(handle, db::kBookPassword, int(std::strlen(db::kBookPassword))) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(handle));
        sqlite3_close(handle);
        return;
    }
    const QByteArray sql = masterdata::goodsKind().listSql.toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(handle, sql.constData(), -1, &stmt, nullptr);
        rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 9; ++c) {
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

// Printing the goods list: staging every row in PrTA1, filling the report and
// showing its preview in the print host.
void printGoodsList(benchmark::State &state)
{
    Module1 module;
    if (!module.gDb.open(gBook)) {
        state.SkipWithError(qPrintable(module.gDb.lastError()));
        return;
    }
    module.gAppPath = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    module.gBookFile = gBook;
    Module1::setInstance(&module);
    {
        A4 window;
        QAction *print = window.findChild<QAction *>(QStringLiteral("Menu_print"));
        for (auto _ : state) {
            print->trigger();
            if (!Prnt::loaded() || !Prnt::loaded()->Cry->filledReport()) {
                state.SkipWithError("the report did not show");
                break;
            }
        }
        state.counters["rows"] = window.recordCount();
        delete Prnt::loaded();
    }
    Module1::setInstance(nullptr);
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
        gBook = folder.filePath(QStringLiteral("goods.vzk"));
        bench::BigBookSize size;
        size.docsPerKind = 100;
        QElapsedTimer timer;
        timer.start();
        if (const QString error = bench::makeBigBook(gBook, size); !error.isEmpty()) {
            std::fprintf(stderr, "masterdata_bench: %s\n", qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "masterdata_bench: no --book given; built %d goods in %.1f s\n", size.goods,
                     timer.elapsed() / 1000.0);
    }
    benchmark::AddCustomContext("book", gBook.toStdString());
    benchmark::RegisterBenchmark("BM_GoodsWindowOpen/window", openGoodsWindow)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsWindowOpen/bare_list_query", listQueryBare)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsListPrint/window", printGoodsList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsListPrint/bare_list_query", listQueryBare)->Unit(benchmark::kMillisecond);

    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
