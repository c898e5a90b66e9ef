// The stock list on a large book: opening it (the first 1800 goods in stock),
// also shown and painted, and then listing every goods (a search without
// conditions, under cost prices), each beside its floor: the bare list queries
// the window runs, reading the same rows through the sqlite3 API (for the
// shown list, kept in a bare table model shown and painted alike).
//   stock_bench --book=<path> [Google Benchmark options]
// Without --book a book of 100,000 goods is built in a temporary folder.
#include "BenchSupport.h"
#include "db/Database.h"
#include "shell/ModalDialogs.h"
#include "shell/Module1.h"
#include "stock/StockList.h"
#include "stock/StockListSql.h"

#include <benchmark/benchmark.h>

#include <QAction>

#include <vector>

namespace {

using namespace stock::stocklist;

QString gBook;

// The statements the window runs: on opening the default list; for every goods
// under cost prices also the goods in stock under cost prices (the price
// switch keeps the list's conditions) and then every goods (the search
// without conditions).
std::vector<QByteArray> listStatements(bool whole)
{
    const QString order = QLatin1Char(' ') + kDefaultOrder;
    std::vector<QByteArray> statements{
        (kSaleSelectPart + kStockCondition + order + QStringLiteral(" limit ") + QString::number(kListLimit)).toUtf8()};
    if (whole) {
        statements.push_back((kCostSelectPart + kStockCondition + order).toUtf8());
        statements.push_back((kCostSelectPart + order).toUtf8());
    }
    return statements;
}

// A case: every goods or the opening list; the window shown or only built.
struct Case {
    bool whole;
    bool shown;
};

void openStockList(benchmark::State &state, Case c)
{
    Module1 module;
    if (!bench::openOrSkip(state, module.gDb, gBook))
        return;
    Module1::setInstance(&module);
    ScriptedDialogRunner dialogs;
    bench::searchAtOnce(dialogs);
    int rows = 0;
    for (auto _ : state) {
        C1 window;
        if (c.whole) {
            window.findChild<QAction *>(QStringLiteral("Menu_price0"))->trigger();
            window.findChild<QAction *>(QStringLiteral("Menu_query"))->trigger();
        }
        if (c.shown)
            bench::showAndPaint(window);
        rows = window.recordCount();
    }
    Module1::setInstance(nullptr);
    state.counters["rows"] = rows;
}

void listQueryBare(benchmark::State &state, Case c)
{
    // Both price bases list columns of the same kinds.
    bench::bareListQuery(state, gBook, listStatements(c.whole), listColumns().sale,
                         c.shown ? bench::ListEnd::Shown : bench::ListEnd::Read);
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    gBook = program.book(bench::BookUse::InPlace, QStringLiteral("stock.vzk"), {.docsPerKind = 100});
    if (gBook.isEmpty())
        return 1;
    const Case opened{false, false}, shown{false, true}, whole{true, false};
    benchmark::RegisterBenchmark("BM_StockListOpen/window", openStockList, opened)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListOpen/bare_list_query", listQueryBare, opened)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListShown/window", openStockList, shown)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListShown/bare_list_shown", listQueryBare, shown)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListAllGoods/window", openStockList, whole)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StockListAllGoods/bare_list_query", listQueryBare, whole)
        ->Unit(benchmark::kMillisecond);
    return program.run();
}
