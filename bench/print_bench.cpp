// Printing a long list: staging its rows in PrTA1, filling and laying out the
// report, and showing the first page of the preview in the print host; beside
// its floor, the bare staging inserts and the read of the staged rows, in one
// transaction through the sqlite3 API.
//   print_bench [--rows=N] [Google Benchmark options]
// The list (N goods rows, 100,000 by default) is printed on a new book in a
// temporary folder with the goods list template that lies beside the program.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include "BenchSupport.h"
#include "db/BookFile.h"
#include "db/Database.h"
#include "shell/Module1.h"
#include "shell/PrintRequest.h"
#include "shell/Prnt.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <vector>

namespace {

QString gBook;
int gRows = 100000;

const QStringList kColumns = {"F1", "F2", "F3", "F4", "F5", "F6", "F7"};

// The goods list as the goods window stages it: code, name, category, unit,
// model, price, remark.
QVector<QVariantList> goodsRows()
{
    QVector<QVariantList> rows;
    rows.reserve(gRows);
    for (int i = 0; i < gRows; ++i) {
        rows.append({QStringLiteral("G%1").arg(i, 6, 10, QLatin1Char('0')),
                     QStringLiteral("货品名称%1").arg(i), QStringLiteral("类别%1").arg(i % 100),
                     QStringLiteral("个"), QStringLiteral("规格%1").arg(i % 37),
                     QString::number(10 + i % 90) + QStringLiteral(".50"),
                     i % 5 == 0 ? QStringLiteral("备注") : QString()});
    }
    return rows;
}

// Stage + fill + lay out + the host shown with its first page drawn.
void printList(benchmark::State &state)
{
    Module1 module;
    if (!bench::openForPrinting(state, module, gBook))
        return;

    PrintRequest request;
    request.testedFile = QStringLiteral("prnTa4.rpt");
    request.reportFile = QStringLiteral("PrnTa4.rpt");
    request.stagingTable = QStringLiteral("PrTA1");
    request.stagingColumns = kColumns;
    request.stagingRows = goodsRows();
    request.formulas = {FormulaText(QStringLiteral("Cpt"), QStringLiteral("货品编码资料"))};

    int pages = 0;
    for (auto _ : state) {
        if (!RunPrintRequest(request) || !Prnt::loaded()->Cry->filledReport()) {
            state.SkipWithError("the report did not show");
            break;
        }
        // Draw what the operator sees: the host with the preview's first page.
        Prnt *host = Prnt::loaded();
        QImage shown(host->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&shown);
        host->render(&painter);
        painter.end();
        benchmark::DoNotOptimize(shown.constBits());
        pages = host->Cry->filledReport()->pageCount();
    }
    delete Prnt::loaded();
    Module1::setInstance(nullptr);
    state.counters["rows"] = gRows;
    state.counters["pages"] = pages;
}

// The floor: staging the same rows and reading them back, bare.
void stageBare(benchmark::State &state)
{
    sqlite3 *handle = bench::keyedConnection(state, gBook);
    if (!handle)
        return;
    bench::TextRows rows;
    rows.reserve(gRows);
    for (const QVariantList &row : goodsRows()) {
        std::vector<QByteArray> texts;
        for (const QVariant &v : row)
            texts.push_back(v.toString().toUtf8());
        rows.push_back(std::move(texts));
    }
    bench::bareStaging(state, handle, "PrTA1", rows);
    sqlite3_close(handle);
    state.counters["rows"] = gRows;
}

} // namespace

int main(int argc, char **argv)
{
    bench::Program program(argc, argv, bench::App::Widgets);
    if (const auto rows = program.take("--rows="))
        gRows = std::atoi(rows->toLocal8Bit().constData());
    if (gRows < 0)
        return bench::fail(QStringLiteral("--rows must be 0 or more"));

    gBook = program.filePath(QStringLiteral("print.vzk"));
    if (const QString error = db::createBook(gBook); !error.isEmpty())
        return bench::fail(error);
    benchmark::AddCustomContext("rows", std::to_string(gRows));
    benchmark::RegisterBenchmark("BM_ListPrintFirstPage/print_host", printList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ListPrintFirstPage/bare_staging", stageBare)->Unit(benchmark::kMillisecond);
    return program.run();
}
