#include "support/BiffWriter.h"
#include "admin/CellDates.h"
#include "admin/SheetCells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <span>
#include <vector>

namespace {

using admin::CellValue;
using admin::SheetRead;
using Kind = CellValue::Kind;
using namespace biffwrite;

// The cells of a sheet by (row, column); the formula cells alone when asked.
using Cells = std::map<std::pair<int, int>, CellValue>;

SheetRead readCells(const QByteArray &stream, const QString &sheetName, Cells &cells, bool formulasOnly = false)
{
    cells.clear();
    const SheetRead read = admin::readSheetCells(stream, sheetName, [&](int row, int col, const CellValue &value) {
        if (value.formula || !formulasOnly)
            cells[{row, col}] = value;
    });
    if (read != SheetRead::Read)
        cells.clear();
    return read;
}

// A workbook whose sheet "货品" follows a chart sheet "图".
Workbook goodsBook(bool biff5 = false)
{
    Workbook book(biff5);
    book.sheet(QStringLiteral("图"), 2).sheet(QStringLiteral("货品"));
    return book;
}

struct Expected {
    int row;
    int col;
    Kind kind;
    double number;
    QString text;
};

// The cells read are exactly the expected ones, each with its kind, number and text.
void expectCells(const Cells &cells, std::span<const Expected> expected)
{
    EXPECT_EQ(cells.size(), expected.size());
    for (const Expected &e : expected) {
        SCOPED_TRACE(testing::Message() << "cell " << e.row << "," << e.col);
        const auto found = cells.find({e.row, e.col});
        ASSERT_NE(found, cells.end());
        EXPECT_EQ(int(found->second.kind), int(e.kind));
        EXPECT_EQ(found->second.number, e.number);
        EXPECT_EQ(found->second.text, e.text);
    }
}

TEST(SheetCells, ReadsEachKindOfSavedFormulaResult)
{
    const QString longText = QString(40, QChar(u'货')) + QStringLiteral("abc");
    Workbook b = goodsBook();
    b.formula(1, 0, f64(13.000000000000002))
        .formula(1, 1, marker(1, 1))           // TRUE
        .formula(1, 2, marker(1, 0))           // FALSE
        .formula(1, 3, marker(2, 0x07))        // #DIV/0!
        .formula(1, 4, marker(2, 0x2A))        // #N/A
        .formula(1, 5, marker(3))              // ""
        .formula(2, 0, marker(0))              // 8-bit text
        .record(0x0207, le16(5) + piece(QStringLiteral("M6-10"), false))
        .formula(2, 1, marker(0))              // an array formula, then its text
        .record(0x0221, QByteArray(14, 0))
        .record(0x0207, le16(2) + piece(QStringLiteral("螺丝"), true))
        .formula(2, 2, marker(0))              // split over two CONTINUE records, 16-bit then 8-bit
        .record(0x0207, le16(quint16(longText.size())) + piece(longText.left(30), true))
        .record(0x003C, piece(longText.mid(30, 10), true))
        .record(0x003C, piece(longText.mid(40), false))
        .formula(2, 3, marker(0))              // bytes split mid-character, no flag byte in the CONTINUE
        .record(0x0207, le16(2) + piece(QStringLiteral("钉"), true) + '\xbf')
        .record(0x003C, QByteArray("\x7e", 1))
        .formula(3, 0, marker(0))              // its STRING record is missing
        .formula(3, 1, marker(0))              // its text is cut short, no CONTINUE
        .record(0x0207, le16(9) + piece(QStringLiteral("钉"), true))
        .formula(3, 2, marker(0))              // its STRING record is missing at the sheet's end
        .record(0x0006, QByteArray("\x04\x00\x03\x00\x0f\x00", 6));  // a record too short for its result

    Cells values;
    ASSERT_EQ(readCells(b.stream(), QStringLiteral("货品"), values, true), SheetRead::Read);
    const Expected expected[] = {
        {1, 0, Kind::Number, 13.000000000000002, {}},
        {1, 1, Kind::Boolean, 1, {}},
        {1, 2, Kind::Boolean, 0, {}},
        {1, 3, Kind::Error, 0, QStringLiteral("#DIV/0!")},
        {1, 4, Kind::Error, 0, QStringLiteral("#N/A")},
        {1, 5, Kind::Text, 0, QString()},
        {2, 0, Kind::Text, 0, QStringLiteral("M6-10")},
        {2, 1, Kind::Text, 0, QStringLiteral("螺丝")},
        {2, 2, Kind::Text, 0, longText},
        {2, 3, Kind::Text, 0, QStringLiteral("钉线")},
        {3, 0, Kind::Unreadable, 0, {}},
        {3, 1, Kind::Unreadable, 0, {}},
        {3, 2, Kind::Unreadable, 0, {}},
        {4, 3, Kind::Unreadable, 0, {}},
    };
    expectCells(values, expected);
}

TEST(SheetCells, FindsTheSheetByNameAndRefusesOthers)
{
    const QByteArray stream = goodsBook().formula(1, 0, f64(2)).stream();
    Cells values;
    EXPECT_EQ(readCells(stream, QStringLiteral(" 货品 "), values), SheetRead::Read);
    EXPECT_EQ(values.size(), 1u);
    EXPECT_EQ(readCells(stream, QStringLiteral("图表"), values), SheetRead::NoSheet);
    EXPECT_TRUE(values.empty());
}

// A stored name may carry blanks the clerk cannot see, and the typed name is
// trimmed: both are compared without them, and where two sheets differ only
// by blanks the one spelt as typed is read.
TEST(SheetCells, FindsASheetWhateverBlanksSurroundItsName)
{
    const QStringList stored{QStringLiteral("TS_All Prods "), QStringLiteral("货品 "), QStringLiteral("\u3000库存\t"),
                             QStringLiteral("货品"), QStringLiteral("Sheet 1")};
    Workbook book;
    for (int i = 0; i < stored.size(); ++i)
        book.sheet(stored[i]).number(0, 0, i);
    const QByteArray stream = book.stream();
    const struct {
        const char *typed;
        int sheet;  // -1: no such sheet
    } cases[] = {
        {"TS_All Prods", 0}, {"ts_all prods ", 0}, {" TS_All Prods  ", 0},
        {"货品", 3},         {"货品 ", 1},         {" 货品", 1},
        {"库存", 2},         {"\u3000库存", 2},
        {"Sheet 1", 4},      {"Sheet1", -1},       {"库", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        Cells cells;
        const SheetRead read = readCells(stream, QString::fromUtf8(c.typed), cells);
        ASSERT_EQ(int(read), int(c.sheet < 0 ? SheetRead::NoSheet : SheetRead::Read));
        if (c.sheet >= 0) {
            EXPECT_EQ(cells[std::pair(0, 0)].number, c.sheet);
        }
    }
}

// Some export tools write formula cells under the record ids of older
// versions: their values are read as FORMULA's, a text result from the STRING
// record after them.
TEST(SheetCells, ReadsFormulaCellsUnderEveryRecordId)
{
    for (quint16 type : {quint16(0x0006), quint16(0x0206), quint16(0x0406)}) {
        SCOPED_TRACE(testing::Message() << "record 0x" << std::hex << type);
        Workbook book = goodsBook();
        book.formula(1, 0, f64(12.5), 15, type)
            .formula(1, 1, marker(0), 15, type)
            .record(0x0207, le16(2) + piece(QStringLiteral("螺丝"), true))
            .formula(1, 2, marker(1, 1), 15, type)
            .formula(1, 3, marker(2, 0x07), 15, type)
            .number(1, 4, 3);
        Cells cells;
        ASSERT_EQ(readCells(book.stream(), QStringLiteral("货品"), cells), SheetRead::Read);
        const Expected expected[] = {
            {1, 0, Kind::Number, 12.5, {}},
            {1, 1, Kind::Text, 0, QStringLiteral("螺丝")},
            {1, 2, Kind::Boolean, 1, {}},
            {1, 3, Kind::Error, 0, QStringLiteral("#DIV/0!")},
            {1, 4, Kind::Number, 3, {}},
        };
        ASSERT_EQ(cells.size(), std::size(expected));
        for (const Expected &e : expected) {
            const CellValue &value = cells[std::pair(e.row, e.col)];
            EXPECT_EQ(int(value.kind), int(e.kind)) << e.col;
            EXPECT_EQ(value.number, e.number) << e.col;
            EXPECT_EQ(value.text, e.text) << e.col;
            EXPECT_EQ(value.formula, e.col < 4) << e.col;
        }
    }
}

// A workbook holding every kind of cell record: shared strings continued
// over a CONTINUE record (the second string's characters split there, going
// on as 16-bit characters), labels, RK and MULRK numbers, booleans and
// constant error values, blanks, and formulas with their texts.
QByteArray everyKind()
{
    const QString split = QStringLiteral("螺丝") + QStringLiteral("M6");
    Workbook book;
    book.global(0x00FC, le32(3) + le32(3) + unicodeString(QStringLiteral("编码")) + le16(4) + piece(QStringLiteral("ab"), false))
        .global(0x003C, piece(QStringLiteral("螺丝"), true) + unicodeString(QStringLiteral("第三")))
        .sheet(QStringLiteral("货品"))
        .dimensions(65536, 256)
        .labelSst(0, 0, 0)
        .label(0, 1, QStringLiteral("名称"))
        .labelSst(1, 0, 1)
        .labelSst(1, 1, 2)
        .labelSst(1, 2, 7)                       // past the shared strings
        .number(2, 0, 1.5)
        .rk(2, 1, rkInteger(-42))
        .rk(2, 2, rkInteger(1234) | 0x01)         // 12.34
        .mulRk(3, 1, {rkInteger(7), rkInteger(8), rkInteger(9)})
        .boolErr(4, 0, 1, false)
        .boolErr(4, 1, 0, false)
        .boolErr(4, 2, 0x2A, true)              // #N/A
        .boolErr(4, 3, 0x0F, true)              // #VALUE!
        .number(4, 4, std::nan(""))
        .blank(5, 0)
        .formula(5, 1, marker(0))
        .record(0x0207, le16(3) + piece(QStringLiteral("螺"), true))
        .record(0x003C, piece(QStringLiteral("丝钉"), true))
        .formula(5, 2, f64(INFINITY));
    return book.stream();
}

TEST(SheetCells, ReadsEveryKindOfCellWithItsValue)
{
    Cells cells;
    ASSERT_EQ(readCells(everyKind(), QStringLiteral("货品"), cells), SheetRead::Read);
    const Expected expected[] = {
        {0, 0, Kind::Text, 0, QStringLiteral("编码")},
        {0, 1, Kind::Text, 0, QStringLiteral("名称")},
        {1, 0, Kind::Text, 0, QStringLiteral("ab螺丝")},
        {1, 1, Kind::Text, 0, QStringLiteral("第三")},
        {1, 2, Kind::Unreadable, 0, {}},
        {2, 0, Kind::Number, 1.5, {}},
        {2, 1, Kind::Number, -42, {}},
        {2, 2, Kind::Number, 12.34, {}},
        {3, 1, Kind::Number, 7, {}},
        {3, 2, Kind::Number, 8, {}},
        {3, 3, Kind::Number, 9, {}},
        {4, 0, Kind::Boolean, 1, {}},
        {4, 1, Kind::Boolean, 0, {}},
        {4, 2, Kind::Error, 0, QStringLiteral("#N/A")},
        {4, 3, Kind::Error, 0, QStringLiteral("#VALUE!")},
        {4, 4, Kind::Error, 0, QStringLiteral("#NUM!")},
        {5, 1, Kind::Text, 0, QStringLiteral("螺丝钉")},
        {5, 2, Kind::Error, 0, QStringLiteral("#NUM!")},
    };
    expectCells(cells, expected);  // the blank cell gives nothing
    for (const auto &[at, cell] : cells)
        EXPECT_EQ(cell.formula, at.first == 5) << "cell " << at.first << "," << at.second;  // row 5 holds the formulas
}

// A long label goes on in CONTINUE records: each opening with a flag byte, or
// (as another spreadsheet program writes an RSTRING) split anywhere, even
// inside a 16-bit character, with the formatting runs after the characters.
TEST(SheetCells, ReadsLabelsGoingOnInContinueRecordsAsTheirWritersSplitThem)
{
    const QString mixed = QString(20, QLatin1Char('a')) + QStringLiteral("中文") + QLatin1Char('z');
    const QString ascii = QStringLiteral("abcdefghij").repeated(3);
    const QByteArray runs = le16(1) + le16(0) + le16(1);  // one run: from character 0, font 1
    QByteArray wideBytes;
    for (QChar c : mixed)
        wideBytes += le16(c.unicode());
    const struct {
        const char *what;
        quint16 type;
        QByteArray record;
        QVector<QByteArray> continues;
        QString text;
    } cases[] = {
        {"flag byte in each piece", 0x0204, le16(quint16(mixed.size())) + piece(mixed.left(10), false),
         {piece(mixed.mid(10), true)}, mixed},
        {"16-bit split inside a character", 0x00D6, le16(quint16(mixed.size())) + '\x01' + wideBytes.left(21),
         {wideBytes.mid(21, 10), wideBytes.mid(31) + runs}, mixed},
        {"8-bit split anywhere", 0x00D6, le16(quint16(ascii.size())) + '\0' + ascii.left(7).toLatin1(),
         {ascii.mid(7).toLatin1() + runs}, ascii},
        {"8-bit label split anywhere", 0x0204, le16(quint16(ascii.size())) + '\0' + ascii.left(12).toLatin1(),
         {ascii.mid(12).toLatin1()}, ascii},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Workbook book = goodsBook();
        book.record(c.type, le16(0) + le16(0) + le16(15) + c.record);
        for (const QByteArray &more : c.continues)
            book.record(0x003C, more);
        book.number(1, 0, 7);
        Cells cells;
        ASSERT_EQ(readCells(book.stream(), QStringLiteral("货品"), cells), SheetRead::Read);
        const CellValue label = cells[std::pair(0, 0)];
        EXPECT_EQ(int(label.kind), int(Kind::Text));
        EXPECT_EQ(label.text, c.text);
        EXPECT_EQ(cells[std::pair(1, 0)].number, 7);  // the next record is read as before
    }
}

// An Excel 5/95 workbook: its sheet's name, labels and format texts in the
// workbook's code page.
const QString kExcel95Sheet = QString::fromLatin1("Pi\xe8" "ces");

QByteArray excel95()
{
    Workbook book(true);
    book.global(0x0042, le16(1252)).dateFormat(164, QStringLiteral("yyyy-mm-dd"));
    const int dateXf = book.xfCount() - 1;
    book.sheet(kExcel95Sheet)
        .label(0, 0, QString::fromLatin1("Caf\xe9"))
        .number(0, 1, 46367, quint16(dateXf))
        .formula(0, 2, marker(0))
        .record(0x0207, le16(3) + QByteArray("\xe0 b", 3))
        .mulRk(1, 0, {rkInteger(1), rkInteger(2)})
        .boolErr(1, 2, 0x07, true);
    return book.stream();
}

TEST(SheetCells, ReadsAnExcel95WorkbookInItsCodePage)
{
    Cells cells;
    ASSERT_EQ(readCells(excel95(), QString::fromLatin1("PI\xc8" "CES"), cells), SheetRead::Read);
    EXPECT_EQ(cells[std::pair(0, 0)].text, QString::fromLatin1("Caf\xe9"));
    EXPECT_EQ(cells[std::pair(0, 1)].text, QStringLiteral("2026-12-11"));
    EXPECT_EQ(cells[std::pair(0, 2)].text, QString::fromLatin1("\xe0 b"));
    EXPECT_EQ(cells[std::pair(1, 1)].number, 2);
    EXPECT_EQ(cells[std::pair(1, 2)].text, QStringLiteral("#DIV/0!"));
}

// Code pages the decoder lacks under their Windows names: the sheet is found
// by its plain name, and a label reads as the page's nearest decoder reads
// it, or byte for byte where none fits.
TEST(SheetCells, ReadsAnExcel95WorkbookWhoseCodePageTheDecoderLacks)
{
    const struct {
        quint16 codePage;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {32769, "\x80 \xe9", QStringLiteral("€ é")},
        {10001, "\x83\x41", QStringLiteral("ア")},
        {10008, "\xc4\xe3", QStringLiteral("你")},
        {10079, "\x80", QStringLiteral("Ä")},
        {860, "\x80\x84", QStringLiteral("Çã")},
        {863, "\x80", QStringLiteral("Ç")},
        {864, "A", QStringLiteral("A")},
        {865, "\x9b", QStringLiteral("ø")},
        {1361, "\xe9", QString::fromLatin1("\xe9")},
        {21010, "\xe9", QString::fromLatin1("\xe9")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.codePage);
        Workbook book(true);
        book.global(0x0042, le16(c.codePage))
            .sheet("Goods")
            .record(0x0204, le16(0) + le16(0) + le16(15) + le16(quint16(c.bytes.size())) + c.bytes);
        Cells cells;
        ASSERT_EQ(readCells(book.stream(), QStringLiteral("Goods"), cells), SheetRead::Read);
        EXPECT_EQ(cells[std::pair(0, 0)].text, c.text);
    }
}

// Number cells read as dates by their formats, built-in ones of Chinese and
// Japanese Excel included, and in the 1904 date base.
TEST(SheetCells, ReadsNumbersAsTheDatesTheirFormatsShow)
{
    const struct {
        quint16 format;
        double serial;
        const char *text;
    } cases[] = {
        {14, 37438, "2002-07-01"},          {27, 37438, "2002-07-01"},   {31, 37438, "2002-07-01"},
        {32, 0.5, "12:00:00"},              {36, 37438, "2002-07-01"},   {50, 37438, "2002-07-01"},
        {54, 37438, "2002-07-01"},          {58, 37438, "2002-07-01"},
        {56, 37438, "2002-07-01"},          {56, 0.5, "12:00:00"},       {55, 37438.25, "2002-07-01 06:00:00"},
        {34, 37438, "2002-07-01"},          {22, 37438.57903356481, "2002-07-01 13:53:48"},
        {2, 37438, "37438"},
    };
    Workbook book;
    for (const auto &c : cases)
        book.cellFormat(c.format);
    book.sheet(QStringLiteral("Sheet1"));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        book.number(i, 0, cases[i].serial, quint16(i));
        book.formula(i, 1, f64(cases[i].serial), quint16(i));
    }
    Cells cells;
    ASSERT_EQ(readCells(book.stream(), QStringLiteral("sheet1"), cells), SheetRead::Read);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(testing::Message() << "format " << cases[i].format << ", serial " << cases[i].serial);
        const CellValue &number = cells[std::pair(i, 0)];
        const QString text = number.kind == Kind::Number ? QString::number(number.number, 'g', 10) : number.text;
        EXPECT_EQ(text, QString::fromUtf8(cases[i].text));
        EXPECT_EQ(cells[std::pair(i, 1)].text, number.text) << "the formula cell reads as the number cell";
    }

    Workbook base1904;
    base1904.global(0x0022, le16(1)).cellFormat(14).sheet(QStringLiteral("Sheet1")).number(0, 0, 44905, 0);
    ASSERT_EQ(readCells(base1904.stream(), QStringLiteral("Sheet1"), cells), SheetRead::Read);
    EXPECT_EQ(cells[std::pair(0, 0)].text, QStringLiteral("2026-12-11"));
}

TEST(SheetCells, RefusesWithTheTrueReason)
{
    const struct {
        const char *name;
        QByteArray stream;
        SheetRead read;
    } cases[] = {
        {"password (XOR)", Workbook().global(0x002F, le16(0) + le16(0x1234) + le16(0x5678)).sheet("S").number(0, 0, 1).stream(),
         SheetRead::Encrypted},
        {"password (RC4)", Workbook().global(0x002F, le16(1) + le16(1) + le16(1) + QByteArray(48, 'k')).sheet("S").stream(),
         SheetRead::Encrypted},
        {"Excel 4.0", record(0x0409, le16(0) + le16(0x0100) + le16(0)) + record(0x0203, QByteArray(14, 0)),
         SheetRead::OldFormat},
        {"Excel 2.1", record(0x0009, le16(2) + le16(0x0010)), SheetRead::OldFormat},
        {"no sheet", Workbook().sheet("S").stream(), SheetRead::NoSheet},
        {"a column past IV", Workbook().sheet("S").number(0, 256, 1).stream(), SheetRead::Damaged},
        {"no record", QByteArray(), SheetRead::Damaged},
        {"no workbook", QByteArray("PK\x03\x04 zip", 8), SheetRead::Damaged},
    };
    for (const auto &c : cases) {
        Cells cells;
        EXPECT_EQ(int(readCells(c.stream, QString::fromLatin1(c.read == SheetRead::NoSheet ? "T" : "S"), cells)), int(c.read))
            << c.name;
    }
}

// The whole workbooks that the cut and flipped ones start from, with their sheets.
std::vector<std::pair<QByteArray, QString>> wholeWorkbooks()
{
    return {{everyKind(), QStringLiteral("货品")}, {excel95(), kExcel95Sheet}};
}

// A workbook stream cut anywhere before its end is refused as damaged: no
// record is read past the bytes there are (run under valgrind to see it).
TEST(SheetCells, RefusesAStreamCutShortAnywhere)
{
    for (const auto &[stream, sheet] : wholeWorkbooks()) {
        Cells cells;
        ASSERT_EQ(readCells(stream, sheet, cells), SheetRead::Read);
        for (qsizetype size = 0; size < stream.size(); ++size) {
            // A copy of exactly that size, so a read past it is a read past the allocation.
            const QByteArray cut(stream.constData(), size);
            EXPECT_NE(readCells(cut, sheet, cells), SheetRead::Read) << "cut at " << size;
            EXPECT_TRUE(cells.empty());
        }
    }
}

// Every byte of the stream flipped in turn: the reader ends, gives no cell
// past the last column, and no more cells than the records' bytes can hold.
TEST(SheetCells, SurvivesEveryByteFlipped)
{
    for (const auto &[stream, sheet] : wholeWorkbooks()) {
        int read = 0;
        for (qsizetype at = 0; at < stream.size(); ++at) {
            for (char mask : {'\xff', '\x80', '\x01', '\x10'}) {
                QByteArray flipped(stream.constData(), stream.size());
                flipped[at] = char(flipped[at] ^ mask);
                qsizetype count = 0;
                int lastColumn = 0;
                const SheetRead result = admin::readSheetCells(flipped, sheet, [&](int, int col, const CellValue &) {
                    ++count;
                    lastColumn = std::max(lastColumn, col);
                });
                read += result == SheetRead::Read;
                ASSERT_LE(count, stream.size() / 6) << "byte " << at;
                ASSERT_LE(lastColumn, 255) << "byte " << at;
            }
        }
        EXPECT_GT(read, 0);  // flips in values leave the stream readable
    }
}

} // namespace

TEST(CellDates, FormatsTellDatesAndSerialsReadAsDateCells)
{
    using admin::DateShape;
    const std::pair<const char *, DateShape> texts[] = {
        {"yyyy-mm-dd", DateShape::Date},           {"yyyy\"年\"m\"月\"d\"日\"", DateShape::Date},
        {"m/d/yy h:mm", DateShape::DateTime},       {"h:mm AM/PM", DateShape::Time},
        {"mm:ss", DateShape::Time},                 {"[h]:mm", DateShape::Elapsed},
        {"[HH]:MM:SS", DateShape::Elapsed},         {"[mm]:ss", DateShape::Elapsed},
        {"yyyy-mm-dd [h]", DateShape::DateTime},
        {"mmm", DateShape::Date},                   {"General", DateShape::None},
        {"0.00E+00", DateShape::None},              {"[Red]#,##0.00;[Blue]-0.00", DateShape::None},
        {"\"day\" 0", DateShape::None},             {"0\\d", DateShape::None},
    };
    for (const auto &[text, shape] : texts)
        EXPECT_EQ(int(admin::dateShapeOf(200, QString::fromUtf8(text))), int(shape)) << text;
    // Built-in formats the workbook does not spell out.
    const std::pair<int, DateShape> builtIns[] = {
        {14, DateShape::Date}, {31, DateShape::Date}, {20, DateShape::Time}, {22, DateShape::DateTime}, {46, DateShape::Elapsed},
        {2, DateShape::None},
    };
    for (const auto &[index, shape] : builtIns)
        EXPECT_EQ(int(admin::dateShapeOf(index, {})), int(shape)) << index;

    const struct {
        double serial;
        DateShape shape;
        bool base1904;
        const char *text;
    } serials[] = {
        {46367, DateShape::Date, false, "2026-12-11"},
        {46367.5, DateShape::DateTime, false, "2026-12-11 12:00:00"},
        {0.75, DateShape::Time, false, "18:00:00"},
        {1, DateShape::Date, false, "1900-01-01"},
        {61, DateShape::Date, false, "1900-03-01"},
        {0, DateShape::Date, true, "1904-01-01"},
        {44905, DateShape::Date, true, "2026-12-11"},
        // Rounded on the decimal value: 50,028.4999998 s into the day is 13:53:48.
        {0.5790335648125, DateShape::Time, false, "13:53:48"},
        {37438.57903356481, DateShape::DateTime, false, "2002-07-01 13:53:48"},
        {37438.57903356482, DateShape::DateTime, false, "2002-07-01 13:53:49"},
        {37438.99999999999, DateShape::DateTime, false, "2002-07-02 00:00:00"},
        // Rounded on the exact double: its shortest text 40293.551591435185
        // stays below the half second the double itself passes.
        {40293.551591435185, DateShape::Time, false, "13:14:18"},
        {40293.551591435185, DateShape::DateTime, false, "2010-04-25 13:14:18"},
        {40293.55159143518, DateShape::Time, false, "13:14:17"},
        {0.25, DateShape::DateOrTime, false, "06:00:00"},
        {37438, DateShape::DateOrTime, false, "2002-07-01"},
        {37438.75, DateShape::DateOrTime, false, "2002-07-01 18:00:00"},
        // A span of time counts its hours past a day, as the sheet shows "[h]:mm:ss".
        {1.25, DateShape::Elapsed, false, "30:00:00"},
        {0.25, DateShape::Elapsed, false, "06:00:00"},
        {500.5, DateShape::Elapsed, true, "12012:00:00"},
        {-1, DateShape::Date, false, ""},
        {3e6, DateShape::Date, false, ""},
        // The last day a workbook holds, in either date base; past it no date.
        {2958465, DateShape::Date, false, "9999-12-31"},
        {2958466, DateShape::Date, false, ""},
        {2957003.5, DateShape::DateTime, true, "9999-12-31 12:00:00"},
        {2957004, DateShape::Date, true, ""},
        {2957003.9999999995, DateShape::DateTime, true, ""},  // rounds up to 10000-01-01
    };
    for (const auto &s : serials)
        EXPECT_EQ(admin::dateText(s.serial, s.shape, s.base1904), QString::fromUtf8(s.text)) << s.serial;
}
