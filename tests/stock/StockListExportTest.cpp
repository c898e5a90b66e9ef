// The stock list as a clerk reads and exports it: numbers right-aligned, and
// the preview's export to an Excel workbook and to PDF.
#include "platform/GridModel.h"
#include "platform/report/ReportPreview.h"
#include "stock/StockList.h"
#include "support/BookFaults.h"
#include "support/ListServices.h"
#include "support/TestBook.h"
#include "support/WindowDriver.h"
#include "support/XlsxCells.h"

#include "db/EngineFailure.h"

#include <QTableView>
#include <QToolButton>
#include <cerrno>
#include <optional>

namespace {

struct StockListExport : ::testing::Test {
    TestBook book;

    // 100 goods: G001 .. G100, quantity i, sale price i.5, in category 五金.
    void hundredGoods()
    {
        book.exec("insert into TA3 (F1,F2) values ('L1','五金')");
        for (int i = 1; i <= 100; ++i)
            book.exec("insert into TA4 (F1,F2,F3,F4,F5,F7,F71,F8) values (?,?,'L1','个','规格',1,?,?)",
                      {QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("螺钉%1号").arg(i),
                       i + 0.5, double(i)});
    }

    // The preview of the list's print, with its export button answered by path.
    void exportFromPreview(C1 &w, const char *button, const QString &path)
    {
        WindowDriver<C1> d{w};
        d.menu("Menu_print");
        ASSERT_NE(ListServices::shownReport(), nullptr) << book.prompt().lastText().toStdString();
        report::ReportPreview *preview = Prnt::loaded()->Cry->previewWidget();
        ASSERT_NE(preview, nullptr);
        book.fileDialogs().answer(path);
        preview->findChild<QToolButton *>(QString::fromLatin1(button))->click();
    }
};

TEST_F(StockListExport, NumbersAlignRightAndTextLeft)
{
    hundredGoods();
    C1 w;
    [[maybe_unused]] WindowDriver<C1> d{w};
    const GridModel &grid = w.grid();
    const auto alignment = [&](int row, int col) {
        return Qt::Alignment(grid.data(grid.index(row - 1, col), Qt::TextAlignmentRole).toInt()) &
               Qt::AlignHorizontal_Mask;
    };
    ASSERT_EQ(grid.textMatrix(1, 5), QStringLiteral("1"));
    EXPECT_EQ(alignment(1, 1), Qt::AlignLeft);   // name
    EXPECT_EQ(alignment(1, 5), Qt::AlignRight);  // quantity
    EXPECT_EQ(alignment(1, 6), Qt::AlignRight);  // price
    EXPECT_EQ(alignment(101, 4), Qt::AlignLeft);  // "合计："
    EXPECT_EQ(alignment(101, 7), Qt::AlignRight);
}

TEST_F(StockListExport, WorkbookHoldsTheRowsAndTotals)
{
    hundredGoods();
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    C1 w;
    const QString path = book.dir() + QStringLiteral("/库存货品");
    exportFromPreview(w, "ExportXlsx", path);
    EXPECT_EQ(book.fileDialogs().captions, QStringList{QStringLiteral("输出数据到Excel文件")});
    const QHash<QString, QString> cells = xlsx::sheetCells(path + QStringLiteral(".xlsx"));
    ASSERT_FALSE(cells.isEmpty());

    // Title, the date line, the captions, then the rows from row 4 on.
    EXPECT_EQ(cells.value("A1"), QStringLiteral("库存货品统计"));
    const QStringList captions{"货品编码", "货品名称", "所属类别", "计量单位", "规格型号", "数量", "价格", "库存金额"};
    for (int c = 0; c < captions.size(); ++c)
        EXPECT_EQ(cells.value(QString(QChar('A' + c)) + "3"), captions[c]) << c;
    for (int i : {1, 2, 57, 100}) {
        const QString row = QString::number(3 + i);
        SCOPED_TRACE(i);
        EXPECT_EQ(cells.value("A" + row), QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0')));
        EXPECT_EQ(cells.value("B" + row), QStringLiteral("螺钉%1号").arg(i));
        EXPECT_EQ(cells.value("C" + row), QStringLiteral("五金"));
        EXPECT_EQ(cells.value("F" + row).toDouble(), i);
        EXPECT_EQ(cells.value("G" + row).toDouble(), i + 0.5);
        EXPECT_DOUBLE_EQ(cells.value("H" + row).toDouble(), i * (i + 0.5));
    }
    // The total row: 1+..+100 = 5050 pieces worth sum(i*(i+0.5)) = 338350 + 2525.
    EXPECT_EQ(cells.value("A104"), QStringLiteral("合计"));
    EXPECT_EQ(cells.value("F104").toDouble(), 5050);
    EXPECT_DOUBLE_EQ(cells.value("H104").toDouble(), 340875);
    EXPECT_FALSE(cells.contains("A105") && cells.value("A105").startsWith("G"));
}

TEST_F(StockListExport, PdfIsWrittenAndFailuresAreTold)
{
    hundredGoods();
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    C1 w;
    const QString pdf = book.dir() + QStringLiteral("/库存.pdf");
    exportFromPreview(w, "ExportPdf", pdf);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    // A folder that does not exist: the operator is told, nothing is written.
    book.prompt().clear();
    const QString nowhere = book.dir() + QStringLiteral("/没有/清单.xlsx");
    book.fileDialogs().answer(nowhere);
    Prnt::loaded()->Cry->previewWidget()->findChild<QToolButton *>(QStringLiteral("ExportXlsx"))->click();
    EXPECT_EQ(book.prompt().lastText(), QStringLiteral("无法写入文件 %1。").arg(nowhere));
    EXPECT_FALSE(book.prompt().shown.last().details.isEmpty());
    EXPECT_FALSE(QFile::exists(nowhere));
}

// An export that cannot be written tells why in the clerk's words, keeps the
// earlier export of that name byte for byte and leaves no temporary file.
TEST_F(StockListExport, AFailedExportKeepsTheEarlierFileAndTellsWhy)
{
    hundredGoods();
    ListServices services;
    ListServices::provideTemplate(book.dir(), QStringLiteral("Prntc1.rpt"));
    C1 w;
    const QByteArray earlier("the earlier export");
    const struct {
        const char *button, *name;
        bool fullDisk;  // else a folder that cannot be written
    } cases[] = {{"ExportXlsx", "库存.xlsx", true},
                 {"ExportPdf", "库存.pdf", true},
                 {"ExportXlsx", "库存.xlsx", false},
                 {"ExportPdf", "库存.pdf", false}};
    int run = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.fullDisk ? " on a full disk" : " in a folder that cannot be written"));
        const QString folder = book.dir() + QStringLiteral("/导出%1").arg(++run);
        QDir().mkpath(folder);
        std::optional<faults::SmallDisk> disk;
        if (c.fullDisk) {
            disk.emplace(folder, 64);
            if (!disk->mounted())
                GTEST_SKIP() << "no small file system can be mounted here";
        }
        const QString path = folder + QLatin1Char('/') + QString::fromUtf8(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
        file.close();
        const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QString reason;
        std::optional<faults::Unwritable> locked;
        if (disk) {
            disk->fill();
            reason = db::failureReason(db::Failure::DiskFull);
        } else {
            locked.emplace(folder);
            if (!locked->works())
                GTEST_SKIP() << "no folder can be made unwritable here";
            reason = db::splitDetails(db::describeFileFailure(EACCES, path)).text;
        }

        book.prompt().clear();
        exportFromPreview(w, c.button, path);
        ASSERT_FALSE(book.prompt().shown.isEmpty());
        EXPECT_EQ(book.prompt().lastText(), reason);
        EXPECT_EQ(book.prompt().shown.last().icon, Prompt::Icon::Exclamation);
        EXPECT_FALSE(book.prompt().shown.last().details.isEmpty());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), earlier);
        file.close();
        QStringList after = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        after.removeAll(QStringLiteral("filler"));
        EXPECT_EQ(after, before);
    }
}

} // namespace
