// The stock sufficiency check typed for one quantity on a book whose pending
// demand is spread over many stock-out and return-to-supplier lines, beside its
// floor: the same three reads (the stock, and the two sums of unaudited lines
// of the goods) run bare through the data layer and the code index.
//   stockcheck_bench [--book=<path>] [--lines=<n>] [Google Benchmark options]
// The book is copied to a temporary folder (or a small one is built there);
// n stock-out and n return lines (250,000 unless given) are added to it.
#include "BenchSupport.h"
#include "db/Database.h"
#include "shell/Module1.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kGoods = 2500;         // goods that the added lines name
constexpr int kLinesPerNote = 500;

Module1 *gModule = nullptr;
std::vector<QString> gCodes;

QString code(int i)
{
    return QStringLiteral("SC%1").arg(i, 6, 10, QLatin1Char('0'));
}

// n lines of each kind over kGoods goods; every other note is audited, so the
// header condition has lines to leave out.
QString addLines(db::Database &book, int n)
{
    db::Transaction t(book);
    db::Statement goods = book.prepare(QStringLiteral("insert into TA4 (F1,F2,F3,F8,F7) values (?,?,'001',?,1)"));
    for (int g = 0; g < kGoods; ++g) {
        goods.reset();
        goods.bindAll({code(g), QStringLiteral("盘点货品"), 1e9});
        if (!goods.run())
            return goods.error();
        gCodes.push_back(code(g));
    }
    const struct {
        const char *head, *lines, *prefix;
    } kinds[] = {{"TD1", "TD11", "SCK"}, {"TB3", "TB31", "STH"}};
    for (const auto &k : kinds) {
        db::Statement header = book.prepare(QStringLiteral("insert into %1 (F1,F2,F6) values (?,'2025-06-01',?)")
                                                .arg(QLatin1String(k.head)));
        db::Statement line = book.prepare(
            QStringLiteral("insert into %1 (F0,F1,F6,F7) values (?,?,1,1)").arg(QLatin1String(k.lines)));
        for (int i = 0; i < n; ++i) {
            const int note = i / kLinesPerNote;
            const QString number = QStringLiteral("%1%2").arg(QLatin1String(k.prefix)).arg(note, 7, 10, QLatin1Char('0'));
            if (i % kLinesPerNote == 0) {
                header.reset();
                header.bindAll({number, note % 2 ? QStringLiteral("bench") : QString()});
                if (!header.run())
                    return header.error();
            }
            line.reset();
            line.bindAll({number, gCodes[size_t(i) % gCodes.size()]});
            if (!line.run())
                return line.error();
        }
    }
    if (!t.commit())
        return book.lastError();
    return {};
}

void checkModule(benchmark::State &state)
{
    size_t i = 0;
    for (auto _ : state) {
        const bool enough = gModule->CheckStockEnough(gCodes[i++ % gCodes.size()], 1, QStringLiteral("X"));
        if (!enough) {
            state.SkipWithError("the check refused");
            break;
        }
    }
}

void checkFloor(benchmark::State &state)
{
    db::Database &book = gModule->gDb;
    size_t i = 0;
    for (auto _ : state) {
        const QString goods = gCodes[i++ % gCodes.size()];
        double total = book.scalar(QStringLiteral("select F8 from TA4 where F1=?"), {goods}).toDouble();
        total -= book.scalar(QStringLiteral("select sum(TD11.F6) from TD11 left join TD1 on TD1.F1=TD11.F0 "
                                            "where TD11.F1=? and TD11.F0<>? and (TD1.F6 is null or TD1.F6='')"),
                             {goods, QStringLiteral("X")})
                     .toDouble();
        total -= book.scalar(QStringLiteral("select sum(TB31.F6) from TB31 left join TB3 on TB3.F1=TB31.F0 "
                                            "where TB31.F1=? and TB31.F0<>? and (TB3.F6 is null or TB3.F6='')"),
                             {goods, QStringLiteral("X")})
                     .toDouble();
        benchmark::DoNotOptimize(total);
    }
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Core);
    const int lines = program.take("--lines=").value_or(QStringLiteral("250000")).toInt();
    const QString path = program.book(bench::BookUse::Copy, QStringLiteral("stockcheck.vzk"),
                                      {.goods = 1000, .categories = 10, .units = 10, .docsPerKind = 100});
    if (path.isEmpty())
        return 1;
    Module1 module;
    Module1::setInstance(&module);
    gModule = &module;
    if (!module.gDb.open(path))
        return bench::fail(module.gDb.lastError());
    module.gOptNoOverdraw = 1;
    if (const QString error = addLines(module.gDb, lines); !error.isEmpty())
        return bench::fail(error);

    benchmark::RegisterBenchmark("BM_StockCheck/module", checkModule)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_StockCheck/floor", checkFloor)->Unit(benchmark::kMicrosecond);
    return program.run();
}
