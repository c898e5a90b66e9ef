#include "support/BiffWriter.h"
#include "admin/ExcelSheet.h"
#include "admin/FromExcel.h"
#include "admin/GoodsImport.h"
#include "admin/WorkbookFile.h"
#include "platform/RegularFile.h"
#include "support/HeapInUse.h"
#include "support/TestBook.h"
#include "support/WriterlessFifo.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// Every record's texts, each up to its last cell holding a value.
QVector<QStringList> recordTexts(const admin::ExcelTable &table)
{
    QVector<QStringList> texts;
    for (int r = 0; r < table.records.size(); ++r)
        texts << table.records.texts(r);
    return texts;
}

const QString kWorkbook = QStringLiteral(ADMIN_TEST_DATA "/goods.xls");
const QString kGoodsSheet = QStringLiteral("货品");

TEST(ExcelSheet, ReadsTheRecordsBelowTheFieldNamesAsText)
{
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(kWorkbook, QStringLiteral(" 货品 "), table, error)) << error.toStdString();
    EXPECT_EQ(table.fieldNames.size(), 12);
    EXPECT_EQ(table.fieldNames.first(), QStringLiteral("编码"));
    ASSERT_EQ(table.records.size(), 7);
    EXPECT_EQ(table.records.texts(0).mid(0, 3), (QStringList{"hd01", "螺丝", "五金"}));
    EXPECT_EQ(table.records.texts(1)[7], QStringLiteral("0.8"));
    EXPECT_EQ(table.records.texts(0)[9], QStringLiteral("100"));
    EXPECT_EQ(table.records.texts(5), QStringList());  // a blank row holds no cell
    EXPECT_EQ(table.records.texts(6).size(), 10);     // up to its last cell
    EXPECT_EQ(table.records.texts(6)[0], QStringLiteral("1001"));
}

TEST(ExcelSheet, RefusesAMissingSheetFileOrAFileThatIsNoWorkbook)
{
    TestBook book;
    admin::ExcelTable table;
    QString error;
    EXPECT_FALSE(admin::readExcelSheet(kWorkbook, QStringLiteral("Sheet9"), table, error));
    EXPECT_EQ(error, QStringLiteral("在Excel文件中找不到工作表“Sheet9”。"));
    EXPECT_FALSE(admin::readExcelSheet(book.dir() + "/none.xls", kGoodsSheet, table, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("无法读入Excel文件“none.xls”"))) << error.toStdString();
    QFile text(book.dir() + "/goods.xlsx");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("PK\x03\x04 not a BIFF workbook");
    text.close();
    EXPECT_FALSE(admin::readExcelSheet(text.fileName(), kGoodsSheet, table, error));
    EXPECT_TRUE(error.contains(QStringLiteral("Excel 97-2003"))) << error.toStdString();
    // A FIFO chosen as the workbook is no workbook, told at once.
    WriterlessFifo fifo(book.dir() + "/fifo.xls");
    ASSERT_TRUE(fifo.made());
    EXPECT_FALSE(admin::readExcelSheet(book.dir() + "/fifo.xls", kGoodsSheet, table, error));
    EXPECT_TRUE(error.contains(QStringLiteral("Excel 97-2003"))) << error.toStdString();
    EXPECT_FALSE(fifo.finish()) << "the import waited on the FIFO";
}

// formulas.xls: an .xlsx written with libxlsxwriter (formulas without saved
// values), turned into an Excel 97-2003 workbook by gnumeric, which computes
// the formulas and saves their values:
//     ssconvert --recalc -T Gnumeric_Excel:excel_biff8 formulas.xlsx formulas.xls
// Sheet "其它" holds ="X"&"9" and =7*7 in its row 2, sheet "公式" these cells:
//     编码                    名称                 成本                       售价          数量          规格    备注
//  2  F01                     ="螺丝"&"钉"         10                         =C2*1.3       =2*50         TRUE    普通
//  3  ="F"&TEXT(ROW()-1,"00") 垫圈                 =ROUND(SQRT(16)+IF(C2>5,0.25,0),2) =SUM(C2:C3)/2 =1000+ROW() =C2>5 =""
//  4  F03                     =LEFT("长备注",1)&"货" {=SUM(C2:C3*2)}          =0.1+0.2      5                     =REPT("备注",3000)&"完"
//  5  F04                     错值                                            =1/0
//  6  F05                     旁列错值                                        8                           =NA()
//  7  F06                     =""
const QString kFormulaWorkbook = QStringLiteral(ADMIN_TEST_DATA "/formulas.xls");

TEST(ExcelSheet, ReadsFormulaCellsAsTheValuesSavedWithThem)
{
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(kFormulaWorkbook, QStringLiteral("公式"), table, error)) << error.toStdString();
    ASSERT_EQ(table.records.size(), 6);
    ASSERT_EQ(table.faults.size(), 6);
    const QString longRemark = QStringLiteral("备注").repeated(3000) + QStringLiteral("完");
    const struct {
        int record, col;
        QString text;
    } cells[] = {
        {0, 1, "螺丝钉"}, {0, 2, "10"},   {0, 3, "13"},      {0, 4, "100"},    {0, 5, "1"},  {0, 6, "普通"},
        {1, 0, "F02"},    {1, 2, "4.25"}, {1, 3, "7.125"},   {1, 4, "1003"},   {1, 5, "1"},  {1, 6, ""},
        {2, 1, "长货"},   {2, 2, "28.5"}, {2, 3, "0.3"},     {2, 6, longRemark},
        {3, 3, "#DIV/0!"}, {4, 5, "#N/A"}, {5, 1, ""},
    };
    for (const auto &cell : cells)
        EXPECT_EQ(table.records.texts(cell.record)[cell.col], cell.text) << cell.record << "," << cell.col;
    // Only the error values are faults of their records.
    const QVector<admin::CellFaults> faults{{}, {}, {}, {{3, {"#DIV/0!"}}}, {{5, {"#N/A"}}}, {}};
    EXPECT_EQ(table.faults, faults);

    // Each sheet's own formulas: the other sheet holds others at the same places.
    ASSERT_TRUE(admin::readExcelSheet(kFormulaWorkbook, QStringLiteral("其它"), table, error)) << error.toStdString();
    ASSERT_EQ(table.records.size(), 1);
    EXPECT_EQ(table.records.texts(0), (QStringList{"X9", "49"}));
}

// dates.xls: made as formulas.xls from an .xlsx written with libxlsxwriter;
// sheet "说明" first, then sheet "货品" (D2 a date cell 2026-12-11):
//     编码  名称  备注                      日期        规格                            数量
//  2  A1    螺钉  =D2+30 (yyyy-mm-dd)       2026-12-11  =D2 (yyyy"年"m"月"d"日")        =2*50 (0.00)
//  3  A2    螺母  =D2+0.5 (yyyy/m/d h:mm)                                               =D2 (General)
TEST(ExcelSheet, ReadsFormulaDatesAsDateCellsRead)
{
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(QStringLiteral(ADMIN_TEST_DATA "/dates.xls"), QStringLiteral("货品"), table, error))
        << error.toStdString();
    ASSERT_EQ(table.records.size(), 2);
    EXPECT_EQ(table.records.texts(0), (QStringList{"A1", "螺钉", "2027-01-10", "2026-12-11", "2026-12-11", "100"}));
    EXPECT_EQ(table.records.texts(1), (QStringList{"A2", "螺母", "2026-12-11 12:00:00", "", "", "46367"}));
}

// excel95.xls: sheet "Goods" of an Excel 5/95 workbook (its stream named
// "Book", texts in a code page), made as formulas.xls with excel_biff7 in
// place of excel_biff8; its row 2: B01, ="Bolt"&" M6", =2.5*4, =1/0.
TEST(ExcelSheet, ReadsFormulaValuesOfAnExcel95Workbook)
{
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(QStringLiteral(ADMIN_TEST_DATA "/excel95.xls"), QStringLiteral("goods"), table, error))
        << error.toStdString();
    ASSERT_EQ(table.records.size(), 1);
    EXPECT_EQ(table.records.texts(0), (QStringList{"B01", "Bolt M6", "10", "#DIV/0!"}));
    EXPECT_EQ(table.faults, (QVector<admin::CellFaults>{{{3, {"#DIV/0!"}}}}));
}

// calc.xls: a workbook written by another spreadsheet program (LibreOffice
// Calc 7.4, "MS Excel 97" export of a flat ODF sheet; see data/README.md).
// Sheet "数据" holds a caption in column A and a value in column B of each
// row, sheet "货品清单" 400 goods rows of many shared strings. The texts
// expected are what that program shows for the same cells.
const QString kCalcWorkbook = QStringLiteral(ADMIN_TEST_DATA "/calc.xls");

TEST(ExcelSheet, ReadsAWorkbookOfAnotherSpreadsheetProgramAsItShowsIt)
{
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(kCalcWorkbook, QStringLiteral("数据"), table, error)) << error.toStdString();
    QMap<QString, QString> values;
    QMap<QString, admin::CellFaults> faults;
    for (qsizetype i = 0; i < table.records.size(); ++i) {
        const QStringList cells = table.records.texts(i);
        if (cells.size() == 2) {
            values.insert(cells[0], cells[1]);
            faults.insert(cells[0], table.faults[i]);
        }
    }
    const std::pair<const char *, QString> cells[] = {
        {"数1001", "1001"},
        {"数-7", "-7"},
        {"数536870911", "536870911"},  // the largest integer of an RK number
        {"数536870912", "536870912"},
        {"数-536870912", "-536870912"},
        {"数1.25", "1.25"},
        {"数-0.01", "-0.01"},
        {"数12.34", "12.34"},
        {"数1e+300", "1E+300"},
        {"数1e-300", "1E-300"},
        {"数3.14159265358979", "3.14159265358979"},
        {"数0.30000000000000004", "0.3"},
        {"数99999999999", "99999999999"},
        {"中文", "你好，世界！货品“甲”"},
        // Shared strings longer than a record, going on in CONTINUE records.
        {"长中文", QStringLiteral("长").repeated(4200)},
        {"长英文", QStringLiteral("abcdefghij").repeated(830) + "END"},
        {"混合长", QString(8200, QLatin1Char('a')) + QStringLiteral("中").repeated(100) + "z"},
        {"日期ISO", "2026-12-11"},
        {"日期年月日", "2026-12-11"},  // yyyy"年"m"月"d"日"
        {"日期美式", "2002-07-01"},
        {"日期时间", "2026-12-11 13:53:48"},
        {"时间", "13:53:48"},
        {"时间累计", "30:00:00"},  // [hh]:mm:ss counts the hours past a day
        {"日期1900-03-01", "1900-03-01"},
        {"真", "1"},
        {"假", "0"},
        {"公式NA", "#N/A"},
        {"公式除零", "#DIV/0!"},
        {"公式文", "甲乙"},
        {"公式数", "6"},
        {"公式日期", "2026-01-02"},
        {"公式真", "1"},
        {"公式长文", QStringLiteral("文").repeated(4200)},
        {"公式VALUE", "#VALUE!"},
        {"末行", "完"},
    };
    for (const auto &[caption, text] : cells)
        EXPECT_EQ(values.value(QString::fromUtf8(caption)), text) << caption;
    EXPECT_EQ(faults.value("公式NA"), (admin::CellFaults{{1, {"#N/A"}}}));
    EXPECT_EQ(faults.value("公式VALUE"), (admin::CellFaults{{1, {"#VALUE!"}}}));
    EXPECT_EQ(faults.value("真"), admin::CellFaults());
    // The formula whose value is an empty text holds a cell; the empty rows before the dates hold none.
    EXPECT_TRUE(values.contains("公式空文"));
    const QVector<QStringList> records = recordTexts(table);
    EXPECT_EQ(std::count(records.cbegin(), records.cend(), QStringList()), 2);

    ASSERT_TRUE(admin::readExcelSheet(kCalcWorkbook, QStringLiteral("货品清单"), table, error)) << error.toStdString();
    EXPECT_EQ(table.fieldNames, (QStringList{"编码", "名称", "单价"}));
    ASSERT_EQ(table.records.size(), 400);
    for (int i = 0; i < 400; ++i) {
        const QStringList row{QStringLiteral("G%1").arg(i, 5, 10, QLatin1Char('0')),
                              QStringLiteral("货品第%1号").arg(i) + (i % 3 == 0 ? QStringLiteral("甲乙丙") : QString()),
                              QString::number(i + 0.25)};
        ASSERT_EQ(table.records.texts(i), row) << i;
    }
}

// A damaged workbook is refused with a message, however it is cut.
TEST(ExcelSheet, RefusesADamagedWorkbook)
{
    TestBook book;
    const QByteArray whole = [] {
        QFile f(kFormulaWorkbook);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_GT(whole.size(), 4096);
    QByteArray zeroedSheet = whole;  // the sheet "公式" overwritten with nothing
    zeroedSheet.replace(5120, 8192, QByteArray(8192, 0));
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"header.xls", whole.left(512)},
        {"half.xls", whole.left(whole.size() / 2)},
        {"lastsector.xls", whole.left(whole.size() - 512)},
        {"zeroed.xls", zeroedSheet},
    };
    for (const auto &file : files) {
        QFile out(book.dir() + QLatin1Char('/') + QLatin1String(file.name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.bytes);
        out.close();
        admin::ExcelTable table;
        QString error;
        EXPECT_FALSE(admin::readExcelSheet(out.fileName(), QStringLiteral("公式"), table, error)) << file.name;
        EXPECT_FALSE(error.isEmpty()) << file.name;
        EXPECT_TRUE(table.records.isEmpty()) << file.name;
    }
}

// A workbook written here record by record, saved as a compound file in dir.
QString writeWorkbook(const QString &dir, const char *name, const QByteArray &stream, const char *streamName = "Workbook")
{
    const QString path = dir + QLatin1Char('/') + QString::fromUtf8(name);
    EXPECT_TRUE(biffwrite::writeCompoundFile(path, stream, streamName)) << name;
    return path;
}

QString writeFile(const QString &dir, const char *name, const QByteArray &bytes)
{
    QFile out(dir + QLatin1Char('/') + QString::fromUtf8(name));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return out.fileName();
}

TEST(ExcelSheet, TellsTheTrueReasonOfARefusal)
{
    TestBook book;
    using biffwrite::Workbook;
    const QByteArray goods = Workbook().sheet(kGoodsSheet).number(0, 0, 1).stream();
    const QByteArray whole = [&] {
        QFile f(writeWorkbook(book.dir(), "whole.xls", goods + QByteArray(8192, 0)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QString passwordXor = writeWorkbook(
        book.dir(), "xor.xls", Workbook().global(0x002F, QByteArray("\0\0\x34\x12\x78\x56", 6)).sheet(kGoodsSheet).stream());
    const QString passwordRc4 = writeWorkbook(
        book.dir(), "rc4.xls", Workbook().global(0x002F, QByteArray("\1\0\1\0\1\0", 6) + QByteArray(48, 'k')).sheet(kGoodsSheet).stream());
    const QString excel4 = writeFile(book.dir(), "excel4.xls",
                                     biffwrite::record(0x0409, QByteArray("\0\0\x10\0\0\0", 6))
                                         + biffwrite::record(0x0203, QByteArray(14, 0)) + biffwrite::record(0x000A, {}));
    const QString noStream = writeWorkbook(book.dir(), "contents.xls", goods, "Contents");
    // A password-protected .xlsx: its zip package encrypted inside a compound file.
    const QString encryptedXlsx = book.dir() + "/encrypted.xlsx";
    ASSERT_TRUE(biffwrite::writeCompoundFile(
        encryptedXlsx, {{"EncryptionInfo", QByteArray("\x04\x00\x04\x00\x40\x00\x00\x00", 8) + QByteArray(200, 'i')},
                        {"EncryptedPackage", biffwrite::le32(4096) + QByteArray(4, 0) + QByteArray(4096, 'e')}}));
    const QString packageOnly = writeWorkbook(book.dir(), "package.xlsx", QByteArray(4096, 'e'), "EncryptedPackage");
    const QString text = writeFile(book.dir(), "text.xls", "编码,名称\n");
    const QString cut = writeFile(book.dir(), "cut.xls", whole.left(whole.size() - 4096));
    const QString cutStream = writeWorkbook(book.dir(), "cutstream.xls", goods.left(goods.size() - 2));
    const QString frame = QStringLiteral("无法读入Excel文件“%1”：%2");
    const QString damaged = QStringLiteral("文件已损坏。");
    const QString old = QStringLiteral("这是Excel 5.0以前的旧版本工作簿，本系统不能读取。请先在Excel中把它另存为Excel 97-2003 工作簿(*.xls)。");
    const QString password = QStringLiteral("工作簿设有密码保护（已加密）。请先在Excel中取消它的密码并保存，再读入。");
    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {book.dir() + "/none.xls", QStringLiteral("文件不存在。")},
        {book.dir(), QStringLiteral("这是文件夹，不是Excel文件。")},
        {text, QStringLiteral("不是Excel 97-2003 工作簿(*.xls)。")},
        {noStream, QStringLiteral("不是Excel 97-2003 工作簿(*.xls)。")},
        {packageOnly, QStringLiteral("不是Excel 97-2003 工作簿(*.xls)。")},
        {encryptedXlsx, password},
        {passwordXor, password},
        {passwordRc4, password},
        {excel4, old},
        {cut, damaged},
        {cutStream, damaged},
    };
    for (const auto &c : cases) {
        admin::ExcelTable table;
        QString error;
        EXPECT_FALSE(admin::readExcelSheet(c.path, kGoodsSheet, table, error)) << c.path.toStdString();
        EXPECT_EQ(error, frame.arg(QFileInfo(c.path).fileName(), c.reason));
    }
    admin::ExcelTable table;
    QString error;
    EXPECT_TRUE(admin::readExcelSheet(writeWorkbook(book.dir(), "whole.xls", goods), kGoodsSheet, table, error));
}

// The workbook is read through the handle that was checked: a FIFO put at
// its path between the check and the read is never opened.
TEST(ExcelSheet, ReadsTheCheckedWorkbookThoughAFifoTakesItsPathMeanwhile)
{
    TestBook book;
    const QByteArray goods = biffwrite::Workbook().sheet(kGoodsSheet).number(0, 0, 1).stream();
    const QString path = writeWorkbook(book.dir(), "swapped.xls", goods);
    QFile checked;
    ASSERT_EQ(openRegularFile(path, checked), RegularFileOpen::Opened);
    ASSERT_TRUE(QFile::remove(path));
    WriterlessFifo fifo(path, std::chrono::seconds(10));
    ASSERT_TRUE(fifo.made());
    QByteArray stream;
    EXPECT_EQ(admin::readWorkbookStream(checked, stream), admin::WorkbookFile::Opened);
    EXPECT_FALSE(fifo.finish()) << "the workbook was opened again by its path";
    EXPECT_EQ(stream, goods);
}

// Streams named in capitals, as some writers name them: BIFF8 "WORKBOOK",
// BIFF5 "BOOK"; a double-byte sheet name.
TEST(ExcelSheet, ReadsTheWorkbookStreamWhateverItsLetterCase)
{
    TestBook book;
    const QString biff8 = writeWorkbook(book.dir(), "capitals8.xls",
                                        biffwrite::Workbook()
                                            .sheet(QStringLiteral("货品表"))
                                            .label(0, 0, QStringLiteral("编码"))
                                            .label(1, 0, QStringLiteral("螺丝"))
                                            .stream(),
                                        "WORKBOOK");
    const QString biff5 = writeWorkbook(book.dir(), "capitals5.xls",
                                        biffwrite::Workbook(true).sheet("Goods").label(0, 0, "Code").number(1, 0, 7).stream(),
                                        "BOOK");
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(biff8, QStringLiteral("货品表"), table, error)) << error.toStdString();
    EXPECT_EQ(recordTexts(table), (QVector<QStringList>{{"螺丝"}}));
    ASSERT_TRUE(admin::readExcelSheet(biff5, QStringLiteral("goods"), table, error)) << error.toStdString();
    EXPECT_EQ(table.fieldNames, QStringList{"Code"});
    EXPECT_EQ(recordTexts(table), (QVector<QStringList>{{"7"}}));
}

// The table is as large as the cells holding a value, whatever DIMENSIONS
// says; a sheet with two cells at its far corners keeps its blank rows empty.
TEST(ExcelSheet, SizesTheTableByTheCellsHoldingAValue)
{
    TestBook book;
    const QString huge = writeWorkbook(book.dir(), "huge.xls",
                                       biffwrite::Workbook()
                                           .sheet(kGoodsSheet)
                                           .dimensions(65536, 256)
                                           .label(0, 0, QStringLiteral("编码"))
                                           .label(0, 1, QStringLiteral("名称"))
                                           .number(2, 0, 1001)
                                           .blank(9, 200)
                                           .stream());
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(huge, kGoodsSheet, table, error)) << error.toStdString();
    EXPECT_EQ(table.fieldNames, (QStringList{"编码", "名称"}));
    EXPECT_EQ(recordTexts(table), (QVector<QStringList>{{}, {"1001"}}));
    EXPECT_EQ(table.faults.size(), 2);

    const QString corners = writeWorkbook(
        book.dir(), "corners.xls",
        biffwrite::Workbook().sheet(kGoodsSheet).label(0, 0, QStringLiteral("编码")).number(65535, 255, 9).stream());
    ASSERT_TRUE(admin::readExcelSheet(corners, kGoodsSheet, table, error)) << error.toStdString();
    ASSERT_EQ(table.records.size(), 65535);
    EXPECT_EQ(table.fieldNames.size(), 256);
    EXPECT_EQ(table.records.texts(65534).size(), 256);
    EXPECT_EQ(table.records.texts(65534).last(), QStringLiteral("9"));
    EXPECT_EQ(table.records.text(65534, 255), QStringLiteral("9"));
    qsizetype cells = 0;
    for (int r = 0; r < table.records.size(); ++r)
        table.records.forEachCell(r, [&cells](int, QStringView) { ++cells; });
    EXPECT_EQ(cells, 1);  // neither the blank rows nor the columns before the last cell hold a text
}

// Cells may come in any order, a cell even twice (the later record counts):
// each lands in its row and column all the same.
TEST(ExcelSheet, PlacesCellsThatComeOutOfOrder)
{
    TestBook book;
    const QString path = writeWorkbook(book.dir(), "order.xls",
                                       biffwrite::Workbook()
                                           .sheet(kGoodsSheet)
                                           .label(0, 0, QStringLiteral("编码"))
                                           .number(3, 1, 5)
                                           .number(1, 3, 7)
                                           .number(3, 0, 4)
                                           .label(1, 0, QStringLiteral("螺丝"))
                                           .number(3, 1, 6)
                                           .label(0, 1, QStringLiteral("名称"))
                                           .number(1, 3, 8)
                                           .stream());
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(path, kGoodsSheet, table, error)) << error.toStdString();
    EXPECT_EQ(table.fieldNames, (QStringList{"编码", "名称", "", ""}));
    EXPECT_EQ(recordTexts(table), (QVector<QStringList>{{"螺丝", "", "", "8"}, {}, {"4", "6"}}));
    EXPECT_EQ(table.records.text(0, 3), QStringLiteral("8"));
    EXPECT_EQ(table.records.text(2, 2), QString());
}

// Workbooks whose cells would each take far more than the workbook holds
// were a shared text copied into every cell, each row padded to the sheet's
// width, or an error value kept as a text and a map node: 2,000 cells holding
// one shared text of 32,767 characters, 2,000 rows of one cell in the last
// column, 2,000 rows of five error values.
struct LeanCase {
    const char *file;
    QByteArray stream;
    int col;       // the column of each record's one cell
    QString last;  // the last record's text there
};

std::vector<LeanCase> leanCases()
{
    const QString longText = QStringLiteral("货").repeated(32767);
    biffwrite::Workbook errors;
    errors.sheet(kGoodsSheet).label(0, 0, QStringLiteral("编码"));
    for (int row = 1; row <= 2000; ++row) {
        for (int col = 0; col < 5; ++col)
            errors.boolErr(row, col, 0x2A, true);
    }
    return {{"shared.xls", biffwrite::sharedTextWorkbook(kGoodsSheet, 2000, longText), 0, longText},
            {"sparse.xls", biffwrite::lastColumnWorkbook(kGoodsSheet, 2000), 255, QStringLiteral("G002000")},
            {"errors.xls", errors.stream(), 4, QStringLiteral("#N/A")}};
}

// What the reading keeps, held while the test looks at it, stays within a few
// times the workbook's size; the window's view keeps a little more for each
// row (its header's sections).
constexpr qint64 kLeanTable = 4;
constexpr qint64 kLeanWindow = 8;

TEST(ExcelSheet, KeepsASheetInMemoryThatFollowsTheWorkbook)
{
    TestBook book;
    for (const LeanCase &c : leanCases()) {
        SCOPED_TRACE(c.file);
        const QString path = writeWorkbook(book.dir(), c.file, c.stream);
        const qint64 before = heapInUse();
        admin::ExcelTable table;
        QString error;
        ASSERT_TRUE(admin::readExcelSheet(path, kGoodsSheet, table, error)) << error.toStdString();
        EXPECT_LT(heapInUse() - before, kLeanTable * QFileInfo(path).size());
        ASSERT_EQ(table.records.size(), 2000);
        EXPECT_EQ(table.records.text(1999, c.col), c.last);
    }
}

// A record's faults by column, whatever order they come in; a later fault of
// a cell takes the place of the earlier one, a text that is no error value's
// is kept as #ERROR!, and a removed fault is gone.
TEST(CellFaults, KeepsEachCellsLastFaultByColumn)
{
    admin::CellFaults faults;
    faults.insert(9, {"#N/A"});
    faults.insert(2, {"", false});
    faults.insert(5, {"#DIV/0!"});
    faults.insert(9, {"#REF!", false});
    faults.insert(7, {"made up"});
    EXPECT_EQ(faults, (admin::CellFaults{{2, {"", false}}, {5, {"#DIV/0!"}}, {7, {"#ERROR!"}}, {9, {"#REF!", false}}}));
    faults.remove(5);
    EXPECT_EQ(faults.find(9), (admin::CellFault{"#REF!", false}));
    EXPECT_EQ(faults.find(7), (admin::CellFault{"#ERROR!", true}));
    EXPECT_EQ(faults.find(5), std::nullopt);
    EXPECT_EQ(faults.find(2), (admin::CellFault{"", false}));
    const admin::CellFaults copy = faults;
    for (int col : {2, 7, 9})
        faults.remove(col);
    EXPECT_TRUE(faults.isEmpty());
    EXPECT_EQ(faults, admin::CellFaults());
    EXPECT_EQ(copy, (admin::CellFaults{{2, {"", false}}, {7, {"#ERROR!"}}, {9, {"#REF!", false}}}));
}

// The import window on a temporary book holding a category 五金 and a goods EX1.
struct ImportWindow {
    ImportWindow()
    {
        book.exec("insert into TA3 (F1,F2) values ('WJ','五金'),('OLD','旧类')");
        book.exec("insert into TA4 (F1,F2,F3,F4,F5,F7,F71,F8,V1) values ('EX1','旧货','OLD','件','规格',9,10,11,5)");
        w = std::make_unique<FromExcel>();
    }
    template <typename T>
    T *child(const QString &name)
    {
        T *found = w->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void read(const QString &sheet, const QString &workbook = kWorkbook)
    {
        child<QLineEdit>("TxtFile")->setText(workbook);
        child<QLineEdit>("TxtTab")->setText(sheet);
        child<QPushButton>("Cmdrst")->click();
    }
    // The mapping lists in order; "" leaves a list empty.
    void map(const QStringList &texts)
    {
        for (int i = 0; i < 12; ++i)
            child<QComboBox>(QStringLiteral("CmbCol%1").arg(i))->setEditText(texts.value(i));
    }
    // Runs the import, answering its question Yes.
    void run()
    {
        book.prompt().answerYes();
        trigger();
    }
    // Runs the import without an answer queued (a question is answered No).
    void trigger() { child<QAction>("Menu_Run")->trigger(); }
    QString goods(const QString &code, const char *fields)
    {
        return book.value(QStringLiteral("select ") + QLatin1String(fields) + " from TA4 where F1=?", {code});
    }
    QString panel4() { return book.m().statusPanels().panelText(4); }

    TestBook book;
    std::unique_ptr<FromExcel> w;
};

TEST(FromExcelWindow, ReadsASheetIntoTheGridWithOneSpareLetteredColumn)
{
    ImportWindow iw;
    EXPECT_EQ(iw.panel4(), QStringLiteral("请选择Excel文件，输入工作表名，读入数据"));
    EXPECT_EQ(iw.child<QLineEdit>("txtLB0")->text(), QStringLiteral("001"));
    EXPECT_EQ(iw.child<QLineEdit>("txtLB1")->text(), QStringLiteral("所有货品"));
    auto *code = iw.child<QComboBox>("CmbCol0");
    QTest::keyClicks(code->lineEdit(), "b");
    for (int pass = 0; pass < 2; ++pass)
        iw.read(QStringLiteral("三列"));
    const admin::SheetGrid &grid = iw.w->grid();
    ASSERT_EQ(grid.cols(), 4);
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.rowTexts(0), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(grid.rowTexts(2), (QStringList{"4", "5", "6", ""}));
    EXPECT_EQ(iw.panel4(), QStringLiteral("共有：2行，3列"));
    // Reading again offers the letters once; what was typed stays.
    ASSERT_EQ(code->count(), 4);
    EXPECT_EQ(code->itemText(3), QStringLiteral("D"));
    EXPECT_EQ(code->currentText(), QStringLiteral("B"));
    EXPECT_EQ(iw.child<QComboBox>("CmbCol1")->currentText(), QString());

    iw.read(QStringLiteral("没有这张表"));
    EXPECT_EQ(iw.panel4(), QStringLiteral("请检查工作表名称，重新读入数据"));
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("在Excel文件中找不到工作表“没有这张表”。"));
}

TEST(FromExcelWindow, HoldsASheetInMemoryThatFollowsTheWorkbook)
{
    for (const LeanCase &c : leanCases()) {
        SCOPED_TRACE(c.file);
        ImportWindow iw;
        const QString path = writeWorkbook(iw.book.dir(), c.file, c.stream);
        const qint64 before = heapInUse();
        iw.read(kGoodsSheet, path);
        EXPECT_LT(heapInUse() - before, kLeanWindow * QFileInfo(path).size());
        const admin::SheetGrid &grid = iw.w->grid();
        ASSERT_EQ(grid.rows(), 2001);
        EXPECT_EQ(grid.textMatrix(2000, c.col), c.last);
        EXPECT_EQ(grid.textMatrix(2000, c.col + 1), QString());
    }
}

TEST(FromExcelWindow, ImportsGoodRowsAndReportsTheOthers)
{
    ImportWindow iw;
    iw.read(kGoodsSheet);
    iw.map({"A", "B", "C", "D", "E", "FG", "H", "I", "", "J", "K", "L"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().texts().mid(1),
              (QStringList{QStringLiteral("数据导入成功！"),
                           QStringLiteral("以下3行没有导入：\n第3行：货品编码为空\n第4行：货品名称为空\n"
                                          "第7行：销售价格“abc”不是数字")}));
    EXPECT_EQ(iw.panel4(), QStringLiteral("数据已成功导入系统"));
    // A new code is stored upper-cased, its category found by name.
    EXPECT_EQ(iw.goods("hd01", "F1||'|'||F2||'|'||F3||'|'||F4||'|'||F5||'|'||F6"),
              QStringLiteral("HD01|螺丝|WJ|个|M6|  镀锌  常用"));
    EXPECT_EQ(iw.goods("HD01", "F7||'|'||V4||'|'||F71||'|'||F8||'|'||V3||'|'||V1||'|'||V2"),
              QStringLiteral("1.5|1.5|2.0|100.0|100.0|10.0|500.0"));
    EXPECT_EQ(iw.goods("HD02", "F3||'|'||F6||'|'||V1"), QStringLiteral("001|    |0.0"));
    // An existing code is updated in place, never doubled.
    EXPECT_EQ(iw.book.number("select count(*) from TA4 where F1='EX1'"), 1);
    EXPECT_EQ(iw.goods("EX1", "F2||'|'||F3||'|'||F4||'|'||F7||'|'||F8"), QStringLiteral("旧货新名|001|箱|3.0|7.0"));
    EXPECT_EQ(iw.book.number("select count(*) from TA4"), 3);
    EXPECT_EQ(iw.book.number("select count(*) from TA3"), 3);
}

// The goods sheet of a workbook another spreadsheet program wrote, imported
// whole: 400 goods with their names and prices.
TEST(FromExcelWindow, ImportsTheGoodsOfAWorkbookAnotherProgramWrote)
{
    ImportWindow iw;
    const int before = iw.book.number("select count(*) from TA4");
    iw.read(QStringLiteral("货品清单"), kCalcWorkbook);
    EXPECT_EQ(iw.panel4(), QStringLiteral("共有：400行，3列"));
    iw.map({"A", "B", "", "", "", "", "C"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().texts().mid(1), QStringList{QStringLiteral("数据导入成功！")});
    EXPECT_EQ(iw.book.number("select count(*) from TA4"), before + 400);
    EXPECT_EQ(iw.goods("G00003", "F2||'|'||F7"), QStringLiteral("货品第3号甲乙丙|3.25"));
    EXPECT_EQ(iw.goods("G00398", "F2||'|'||F7"), QStringLiteral("货品第398号|398.25"));
}

TEST(FromExcelWindow, TakesCategoryCodesFromLeadingCharactersOfACell)
{
    ImportWindow iw;
    iw.child<QLineEdit>("txtLB1")->setText(QStringLiteral("导入类"));
    iw.read(kGoodsSheet);
    iw.map({"A", "B", "C", "", "", "", "", "", "A,2"});
    iw.run();
    ASSERT_EQ(iw.book.prompt().lastText().section('\n', 0, 0), QStringLiteral("以下2行没有导入："));
    // A name found wins over the code column.
    EXPECT_EQ(iw.goods("HD01", "F3"), QStringLiteral("WJ"));
    EXPECT_EQ(iw.goods("HD02", "F3"), QStringLiteral("hd"));
    EXPECT_EQ(iw.goods("1001", "F3||'|'||F4||'|'||F5||'|'||F7||'|'||F71"), QStringLiteral("10| | |0.0|0.0"));
    EXPECT_EQ(iw.goods("EX1", "F3||'|'||F4||'|'||F7"), QStringLiteral("EX|件|9.0"));
    // New categories get the cell's name or else the default name; a skipped
    // row (XX9, no name) leaves no category behind.
    QStringList categories;
    db::Statement st = iw.book.db().prepare("select F1||'/'||F2 from TA3 order by rowid");
    while (st.next())
        categories << st.text(0);
    EXPECT_EQ(categories, (QStringList{"001/所有货品", "WJ/五金", "OLD/旧类", "hd/导入类", "EX/导入类", "10/电器"}));
}

TEST(FromExcelWindow, WithoutCategoryListsAnExistingGoodsKeepsItsCategory)
{
    ImportWindow iw;
    iw.read(kGoodsSheet);
    iw.map({"A", "B"});
    iw.run();
    EXPECT_EQ(iw.goods("EX1", "F2||'|'||F3||'|'||F4||'|'||F5||'|'||F7||'|'||F71||'|'||F8||'|'||V1"),
              QStringLiteral("旧货新名|OLD|件|规格|9.0|10.0|11.0|5.0"));
    EXPECT_EQ(iw.goods("HD01", "F3||'|'||F4||'|'||F5||'|'||F7||'|'||F8||'|'||coalesce(V1,'null')"),
              QStringLiteral("001| | |0.0|0.0|null"));
    EXPECT_EQ(iw.goods("1001", "F2"), QStringLiteral("数字编码货品"));
}

TEST(FromExcelWindow, RefusesBeforeImportingAnything)
{
    ImportWindow iw;
    iw.trigger();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("请选择Excel文件，填写工作表名称，读入数据，之后再执行导入！"));
    iw.read(kGoodsSheet);
    iw.trigger();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("必须指定哪一列为货品编码数据！"));
    iw.map({"A", "Z"});
    iw.trigger();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("“货品名称”所指定的列“Z”不在读入的数据中，请重新指定！"));
    iw.map({"A", "B"});
    iw.child<QLineEdit>("txtLB0")->setText(" ");
    iw.trigger();
    EXPECT_EQ(iw.book.prompt().lastText(),
              QStringLiteral("请输入默认的类列编码及名称，如果Excel数据中类别栏为空，则按默认类列处理。"));
    iw.child<QLineEdit>("txtLB0")->setText("001");
    iw.trigger();
    EXPECT_TRUE(iw.book.prompt().lastText().startsWith(QStringLiteral("此操作危险！")));
    iw.book.m().gUserCode = QStringLiteral("002");
    iw.trigger();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("本操作仅系统最高权限用户001可以执行！"));
    EXPECT_EQ(iw.book.number("select count(*) from TA4"), 1);
}

TEST(FromExcelWindow, AFailingRowUndoesTheWholeImport)
{
    ImportWindow iw;
    iw.book.exec("create trigger refuse before insert on TA4 when new.F1='HD02' "
                 "begin select raise(abort,'refused'); end");
    iw.read(kGoodsSheet);
    iw.map({"A", "B", "", "", "", "", "", "", "A,2"});
    iw.run();
    EXPECT_TRUE(iw.book.prompt().lastText().startsWith(
        QStringLiteral("导入数据失败！可能是外部Excel文件格式不正确，或您的设置有误！\n第2行：")))
        << iw.book.prompt().lastText().toStdString();
    EXPECT_EQ(iw.panel4(), QStringLiteral("导入失败，请检查Excel文件格式及相关设置"));
    EXPECT_EQ(iw.book.number("select count(*) from TA4"), 1);
    EXPECT_EQ(iw.book.number("select count(*) from TA3"), 3);
}

TEST(FromExcelWindow, DeletedRowsAreNotImported)
{
    ImportWindow iw;
    iw.read(kGoodsSheet);
    auto *gd = iw.child<QTableView>("GD");
    gd->setCurrentIndex(gd->model()->index(0, 0));  // grid row 1: hd01
    iw.book.prompt().answerYes();
    iw.child<QAction>("Menu_del")->trigger();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("确实要删除选中的数据吗？"));
    EXPECT_EQ(iw.panel4(), QStringLiteral("共有：6行，12列"));
    iw.map({"A", "B"});
    iw.run();
    EXPECT_EQ(iw.goods("HD01", "F1"), QStringLiteral("<none>"));
    EXPECT_EQ(iw.goods("HD02", "F1"), QStringLiteral("HD02"));
}

TEST(FromExcelWindow, ImportsFormulaCellsWithTheirSavedValuesAndRefusesErrorValues)
{
    ImportWindow iw;
    iw.read(QStringLiteral("公式"), kFormulaWorkbook);
    EXPECT_EQ(iw.w->grid().textMatrix(1, 3), QStringLiteral("13"));
    EXPECT_EQ(iw.w->grid().textMatrix(4, 3), QStringLiteral("#DIV/0!"));
    iw.map({"A", "B", "", "", "F", "G", "C", "D", "", "E"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().texts().mid(1),
              (QStringList{QStringLiteral("数据导入成功！"),
                           QStringLiteral("以下3行没有导入：\n第4行：销售价格“#DIV/0!”是公式的错误值\n"
                                          "第5行：规格型号“#N/A”是公式的错误值\n第6行：货品名称为空")}));
    EXPECT_EQ(iw.goods("F01", "F2||'|'||F5||'|'||F6||'|'||F7||'|'||F71||'|'||F8||'|'||V3"),
              QStringLiteral("螺丝钉|1|  普通|10.0|13.0|100.0|100.0"));
    EXPECT_EQ(iw.goods("F02", "F2||'|'||F5||'|'||F6||'|'||F7||'|'||V4||'|'||F71||'|'||F8"),
              QStringLiteral("垫圈|1|  |4.25|4.25|7.125|1003.0"));
    EXPECT_EQ(iw.goods("F03", "F2||'|'||F7||'|'||F71||'|'||F8"), QStringLiteral("长货|28.5|0.3|5.0"));
    EXPECT_EQ(iw.goods("F03", "F6"), QStringLiteral("  ") + QStringLiteral("备注").repeated(3000) + QStringLiteral("完"));
    EXPECT_EQ(iw.book.number("select count(*) from TA4 where F1 like 'F0%'"), 3);
}

TEST(FromExcelWindow, ADeletedRowTakesItsFormulaFaultsAlong)
{
    ImportWindow iw;
    iw.read(QStringLiteral("公式"), kFormulaWorkbook);
    auto *gd = iw.child<QTableView>("GD");
    gd->setCurrentIndex(gd->model()->index(0, 0));  // grid row 1: F01
    iw.book.prompt().answerYes();
    iw.child<QAction>("Menu_del")->trigger();
    iw.map({"A", "B", "", "", "", "", "", "D"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().lastText(),
              QStringLiteral("以下2行没有导入：\n第3行：销售价格“#DIV/0!”是公式的错误值\n第5行：货品名称为空"));
    EXPECT_EQ(iw.goods("F05", "F71"), QStringLiteral("8.0"));  // its error lies in a column not read
}

// A sheet whose prices stand in column Z, written by a tool that gives
// formula cells older record ids: the grid holds its rows, the import reads
// the saved values.
TEST(FromExcelWindow, ImportsFromAWideSheetWithOlderFormulaRecords)
{
    ImportWindow iw;
    using biffwrite::f64;
    const QString path = writeWorkbook(iw.book.dir(), "wide.xls",
                                       biffwrite::Workbook()
                                           .sheet(kGoodsSheet)
                                           .label(0, 0, QStringLiteral("编码"))
                                           .label(0, 25, QStringLiteral("成本"))
                                           .label(1, 0, QStringLiteral("W1"))
                                           .formula(1, 25, f64(12.5), 15, 0x0406)
                                           .formula(2, 25, f64(3), 15, 0x0206)
                                           .label(3, 0, QStringLiteral("W2"))
                                           .number(3, 25, 4)
                                           .stream());
    iw.read(kGoodsSheet, path);
    const admin::SheetGrid &grid = iw.w->grid();
    ASSERT_EQ(grid.cols(), 27);
    EXPECT_EQ(grid.textMatrix(1, 25), QStringLiteral("12.5"));
    EXPECT_EQ(grid.textMatrix(2, 25), QStringLiteral("3"));
    EXPECT_EQ(grid.rowTexts(3).mid(24), (QStringList{"", "4", ""}));
    iw.map({"A", "", "", "", "", "", "Z"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().lastText(), QStringLiteral("以下1行没有导入：\n第2行：货品编码为空"));
    EXPECT_EQ(iw.goods("W1", "F7"), QStringLiteral("12.5"));
    EXPECT_EQ(iw.goods("W2", "F7"), QStringLiteral("4.0"));
}

// Error values typed or pasted as values (constant errors) and a number that
// is no number are faults of their records: never imported as a number.
TEST(FromExcelWindow, ConstantErrorValuesAreFaultsKeptOutOfTheImport)
{
    ImportWindow iw;
    const QString path = writeWorkbook(iw.book.dir(), "errors.xls",
                                       biffwrite::Workbook()
                                           .sheet(kGoodsSheet)
                                           .label(0, 0, QStringLiteral("编码"))
                                           .label(0, 1, QStringLiteral("名称"))
                                           .label(0, 2, QStringLiteral("成本"))
                                           .label(1, 0, "E1").label(1, 1, QStringLiteral("甲")).boolErr(1, 2, 0x2A, true)
                                           .label(2, 0, "E2").label(2, 1, QStringLiteral("乙")).number(2, 2, std::nan(""))
                                           .label(3, 0, "E3").label(3, 1, QStringLiteral("丙")).boolErr(3, 2, 0x0F, true)
                                           .label(4, 0, "E4").label(4, 1, QStringLiteral("丁")).boolErr(4, 2, 1, false)
                                           .stream());
    admin::ExcelTable table;
    QString error;
    ASSERT_TRUE(admin::readExcelSheet(path, kGoodsSheet, table, error)) << error.toStdString();
    EXPECT_EQ(table.faults, (QVector<admin::CellFaults>{{{2, {"#N/A", false}}}, {{2, {"#NUM!", false}}},
                                                         {{2, {"#VALUE!", false}}}, {}}));

    iw.read(kGoodsSheet, path);
    EXPECT_EQ(iw.w->grid().textMatrix(1, 2), QStringLiteral("#N/A"));
    iw.map({"A", "B", "", "", "", "", "C"});
    iw.run();
    EXPECT_EQ(iw.book.prompt().lastText(),
              QStringLiteral("以下3行没有导入：\n第1行：成本价格“#N/A”是错误值\n第2行：成本价格“#NUM!”是错误值\n"
                             "第3行：成本价格“#VALUE!”是错误值"));
    EXPECT_EQ(iw.book.number("select count(*) from TA4 where F1 in ('E1','E2','E3')"), 0);
    EXPECT_EQ(iw.goods("E4", "F7"), QStringLiteral("1.0"));  // TRUE reads as 1
}

} // namespace

TEST(GoodsImport, SkipsRowsWhoseNumbersOrCodesCannotBeStored)
{
    TestBook book;
    admin::GoodsImportSettings settings;
    settings.columns.code = 0;
    settings.columns.name = 1;
    settings.columns.cost = 2;
    settings.columns.quantity = 3;
    settings.columns.categoryCode = 4;
    settings.defaultCategoryCode = QStringLiteral("001");
    settings.defaultCategoryName = QStringLiteral("所有货品");
    const QString code25(25, QLatin1Char('C')), code26(26, QLatin1Char('D'));
    const QVector<QStringList> rows{
        {"G1", "甲", "1e309", "1", ""},       {"G2", "乙", "2", "-1e308", ""},      {"G3", "丙", "1e15", "1", ""},
        {code26, "丁", "1", "1", ""},         {"G5", "戊", "1", "1", QString(30, QLatin1Char('K'))},
        {code25, "己", "999999999999.5", "2", "LB"},
    };
    const admin::GoodsImportResult result = admin::importGoods(book.m(), rows, settings);
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    QStringList reasons;
    for (const admin::SkippedRow &s : result.skipped)
        reasons << QStringLiteral("%1:%2").arg(s.row).arg(s.reason);
    EXPECT_EQ(reasons, (QStringList{QStringLiteral("1:成本价格“1e309”无效或太大（绝对值须小于10的15次方）"),
                                    QStringLiteral("2:数量“-1e308”无效或太大（绝对值须小于10的15次方）"),
                                    QStringLiteral("3:成本价格“1e15”无效或太大（绝对值须小于10的15次方）"),
                                    QStringLiteral("4:货品编码超过25个字符"), QStringLiteral("5:类别编码超过25个字符")}));
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(book.number("select count(*) from TA4"), 1);
    EXPECT_EQ(book.value("select F1||'|'||F3 from TA4"), code25 + QStringLiteral("|LB"));
    EXPECT_EQ(book.number("select count(*) from TA3"), 2);
}

// A formula without a usable value keeps its row out when any list reads its
// column, and only then.
TEST(GoodsImport, SkipsRowsReadingAFormulaWithoutAValue)
{
    TestBook book;
    admin::GoodsImportSettings settings;
    settings.columns.code = 0;
    settings.columns.remark = {3, 2};
    settings.columns.categoryCode = 4;
    settings.columns.highestStock = 5;
    settings.defaultCategoryCode = QStringLiteral("001");
    settings.defaultCategoryName = QStringLiteral("所有货品");
    const QStringList row{"G1", "", "甲", "乙", "LB", "9"};
    const struct {
        admin::CellFaults faults;
        QString reason;  // "" = imported
    } cases[] = {
        {{}, ""},
        {{{1, {"#REF!"}}}, ""},  // a column no list reads
        {{{0, {"#N/A"}}}, "货品编码“#N/A”是公式的错误值"},
        {{{2, {""}}}, "备注信息的公式值无法读出"},
        {{{4, {"#NAME?"}}, {3, {"#VALUE!"}}}, "备注信息“#VALUE!”是公式的错误值"},
        {{{5, {"#NUM!"}}}, "最高库存“#NUM!”是公式的错误值"},
        {{{5, {"#N/A", false}}}, "最高库存“#N/A”是错误值"},  // a constant error value
        {{{2, {"", false}}}, "备注信息的内容无法读出"},
    };
    QVector<QStringList> rows;
    QVector<admin::CellFaults> faults;
    QStringList expected;
    for (const auto &c : cases) {
        rows << row;
        rows.last()[0] = QStringLiteral("G%1").arg(rows.size());
        faults << c.faults;
        if (!c.reason.isEmpty())
            expected << QStringLiteral("%1:%2").arg(rows.size()).arg(c.reason);
    }
    const admin::GoodsImportResult result = admin::importGoods(book.m(), rows, settings, faults);
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    QStringList reasons;
    for (const admin::SkippedRow &s : result.skipped)
        reasons << QStringLiteral("%1:%2").arg(s.row).arg(s.reason);
    EXPECT_EQ(reasons.join('\n').toStdString(), expected.join('\n').toStdString());
    EXPECT_EQ(book.value("select group_concat(F1||'/'||F6||'/'||V2, ',') from TA4"),
              QStringLiteral("G1/  乙  甲/9.0,G2/  乙  甲/9.0"));
    EXPECT_EQ(book.number("select count(*) from TA3 where F1='LB'"), 1);
}

TEST(GoodsImport, NumberTextsWithThousandsSeparatorsImportAsTheWholeNumber)
{
    TestBook book;
    admin::GoodsImportSettings settings;
    settings.columns.code = 0;
    settings.columns.name = 1;
    settings.columns.cost = 2;
    settings.columns.quantity = 3;
    settings.defaultCategoryCode = QStringLiteral("001");
    settings.defaultCategoryName = QStringLiteral("所有货品");
    // code, cost text, quantity text; the stored cost and quantity
    const struct {
        const char *code, *cost, *quantity;
        double storedCost, storedQuantity;
    } cases[] = {
        {"G1", "1,234.50", "1,200", 1234.5, 1200},
        {"G2", "1,234,567.8", "-12,345", 1234567.8, -12345},
        {"G3", "1,23", "12,3456", 1, 12},  // misplaced commas are no grouping
    };
    QVector<QStringList> rows;
    for (const auto &c : cases)
        rows.append({c.code, QStringLiteral("货"), c.cost, c.quantity});
    const admin::GoodsImportResult result = admin::importGoods(book.m(), rows, settings);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(result.added, 3);
    for (const auto &c : cases) {
        EXPECT_EQ(book.number("select F7 from TA4 where F1=?", {c.code}), c.storedCost) << c.code;
        EXPECT_EQ(book.number("select F8 from TA4 where F1=?", {c.code}), c.storedQuantity) << c.code;
    }
}

