// The goods window on a large book, opening it (also shown and painted) and
// printing its list, beside their floors: the bare list query reading the same
// rows (for the shown window, kept in a bare table model shown and painted
// alike), and the bare staging and read-back of the printed rows, through the
// sqlite3 API. Printing stages its rows into the book, so the benchmarks run
// on a copy of the given book in a temporary folder: the given book is only read.
//   masterdata_bench --book=<path> [Google Benchmark options]
// Without --book a book of 100,000 goods is built in a temporary folder.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/Database.h"
#include "masterdata/GoodsWindow.h"
#include "masterdata/MasterDataKinds.h"
#include "shell/Module1.h"
#include "shell/Prnt.h"

#include <benchmark/benchmark.h>

#include <QAction>

#include <vector>

namespace {

QString gBook;

void openGoodsWindow(benchmark::State &state, bool shown)
{
    Module1 module;
    if (!bench::openOrSkip(state, module.gDb, gBook))
        return;
    Module1::setInstance(&module);
    int rows = 0;
    for (auto _ : state) {
        A4 window;
        if (shown)
            bench::showAndPaint(window);
        rows = window.recordCount();
    }
    Module1::setInstance(nullptr);
    state.counters["rows"] = rows;
}

void listQueryBare(benchmark::State &state, bench::ListEnd end)
{
    const frames::MasterDataKind kind = masterdata::goodsKind();
    bench::bareListQuery(state, gBook, {kind.listSql.toUtf8()}, kind.listColumns, end);
}

// Printing the goods list: staging every row in PrTA1, filling the report and
// showing its preview in the print host.
void printGoodsList(benchmark::State &state)
{
    Module1 module;
    if (!bench::openForPrinting(state, module, gBook))
        return;
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

// The print's floor: the list's rows as the window stages them (code, name,
// category, unit, model, price, remark), staged and read back bare.
void printStagingBare(benchmark::State &state)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    bench::TextRows rows;
    if (sqlite3_stmt *list = bench::prepareOrSkip(state, handle, masterdata::goodsKind().listSql.toUtf8())) {
        while (sqlite3_step(list) == SQLITE_ROW) {
            std::vector<QByteArray> texts;
            for (int c : {0, 1, 2, 3, 4, 5, 6})
                texts.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(list, c)));
            rows.push_back(std::move(texts));
        }
        sqlite3_finalize(list);
    }
    bench::bareStaging(state, handle, "PrTA1", rows);
    sqlite3_close(handle);
    state.counters["rows"] = double(rows.size());
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    gBook = program.book(bench::BookUse::Copy, QStringLiteral("goods.vzk"), {.docsPerKind = 100});
    if (gBook.isEmpty())
        return 1;
    benchmark::RegisterBenchmark("BM_GoodsWindowOpen/window", openGoodsWindow, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsWindowOpen/bare_list_query", listQueryBare, bench::ListEnd::Read)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsWindowShown/window", openGoodsWindow, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsWindowShown/bare_list_shown", listQueryBare, bench::ListEnd::Shown)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsListPrint/window", printGoodsList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_GoodsListPrint/bare_staging", printStagingBare)->Unit(benchmark::kMillisecond);
    return program.run();
}
