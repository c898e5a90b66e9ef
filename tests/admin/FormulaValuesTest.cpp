#include "admin/CellDates.h"
#include "admin/FormulaValues.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using admin::SavedValue;
using Kind = SavedValue::Kind;

// Builds a BIFF8 workbook stream record by record: the globals with one
// sheet "货品" (a chart sheet "图" before it), then that sheet's records.
class StreamBuilder {
public:
    StreamBuilder &record(quint16 type, const QByteArray &data)
    {
        sheet_ += le16(type) + le16(quint16(data.size())) + data;
        return *this;
    }
    // A FORMULA record at (row, col) with the 8-byte result given; the
    // formula's own tokens (here one: the number 1) follow it.
    StreamBuilder &formula(int row, int col, const QByteArray &result)
    {
        return record(0x0006, le16(quint16(row)) + le16(quint16(col)) + le16(15) + result + le16(0) + QByteArray(4, 0)
                                  + le16(3) + QByteArray("\x1e\x01\x00", 3));
    }
    static QByteArray number(double value)
    {
        QByteArray bytes(8, 0);
        qToLittleEndian(value, bytes.data());
        return bytes;
    }
    // A result other than a number: kind, a value byte, then 0xFFFF at the end.
    static QByteArray marker(char kind, char value = 0)
    {
        const char bytes[8] = {kind, 0, value, 0, 0, 0, '\xff', '\xff'};
        return QByteArray(bytes, 8);
    }
    // A STRING record's text: a count of characters, then pieces of them,
    // each with its own flag byte (1 = 16-bit characters).
    static QByteArray piece(const QString &chars, bool wide)
    {
        QByteArray bytes(1, wide ? 1 : 0);
        for (QChar ch : chars)
            bytes += wide ? le16(ch.unicode()) : QByteArray(1, char(ch.unicode()));
        return bytes;
    }
    static QByteArray le16(quint16 v)
    {
        QByteArray bytes(2, 0);
        qToLittleEndian(v, bytes.data());
        return bytes;
    }

    QByteArray stream() const
    {
        const QByteArray bof = le16(0x0809) + le16(16) + le16(0x0600) + le16(0x0005) + QByteArray(12, 0);
        const QByteArray eof = le16(0x000A) + le16(0);
        const auto boundSheet = [](quint32 offset, char type, const QString &name) {
            QByteArray data(4, 0);
            qToLittleEndian(offset, data.data());
            data += QByteArray(1, 0) + type + char(name.size()) + piece(name, true);
            return le16(0x0085) + le16(quint16(data.size())) + data;
        };
        const QByteArray chart = boundSheet(0, 2, QStringLiteral("图"));
        const qsizetype globals = bof.size() + chart.size() + boundSheet(0, 0, QStringLiteral("货品")).size() + eof.size();
        return bof + chart + boundSheet(quint32(globals), 0, QStringLiteral("货品")) + eof + bof + sheet_ + eof;
    }

private:
    QByteArray sheet_;
};

using B = StreamBuilder;

struct Expected {
    int row;
    int col;
    Kind kind;
    double number;
    QString text;
};

TEST(FormulaValues, ReadsEachKindOfSavedResult)
{
    const QString longText = QString(40, QChar(u'货')) + QStringLiteral("abc");
    B b;
    b.formula(1, 0, B::number(13.000000000000002))
        .formula(1, 1, B::marker(1, 1))           // TRUE
        .formula(1, 2, B::marker(1, 0))           // FALSE
        .formula(1, 3, B::marker(2, 0x07))        // #DIV/0!
        .formula(1, 4, B::marker(2, 0x2A))        // #N/A
        .formula(1, 5, B::marker(3))              // ""
        .formula(2, 0, B::marker(0))              // 8-bit text
        .record(0x0207, B::le16(5) + B::piece(QStringLiteral("M6-10"), false))
        .formula(2, 1, B::marker(0))              // an array formula, then its text
        .record(0x0221, QByteArray(14, 0))
        .record(0x0207, B::le16(2) + B::piece(QStringLiteral("螺丝"), true))
        .formula(2, 2, B::marker(0))              // split over two CONTINUE records, 16-bit then 8-bit
        .record(0x0207, B::le16(quint16(longText.size())) + B::piece(longText.left(30), true))
        .record(0x003C, B::piece(longText.mid(30, 10), true))
        .record(0x003C, B::piece(longText.mid(40), false))
        .formula(2, 3, B::marker(0))              // bytes split mid-character, no flag byte in the CONTINUE
        .record(0x0207, B::le16(2) + B::piece(QStringLiteral("钉"), true) + '\xbf')
        .record(0x003C, QByteArray("\x7e", 1))
        .formula(3, 0, B::marker(0))              // its STRING record is missing
        .formula(3, 1, B::marker(0))              // its text is cut short, no CONTINUE
        .record(0x0207, B::le16(9) + B::piece(QStringLiteral("钉"), true))
        .formula(3, 2, B::marker(0))              // its STRING record is missing at the sheet's end
        .record(0x0006, QByteArray("\x04\x00\x03\x00\x0f\x00", 6));  // a record too short for its result

    admin::SavedValues values;
    ASSERT_TRUE(admin::readSavedValues(b.stream(), QStringLiteral("货品"), values));
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
    EXPECT_EQ(values.size(), std::size(expected));
    for (const Expected &e : expected) {
        SCOPED_TRACE(testing::Message() << "cell " << e.row << "," << e.col);
        const auto found = values.find({e.row, e.col});
        ASSERT_NE(found, values.end());
        EXPECT_EQ(int(found->second.kind), int(e.kind));
        EXPECT_EQ(found->second.number, e.number);
        EXPECT_EQ(found->second.text, e.text);
    }
}

TEST(FormulaValues, FindsTheSheetByNameAndRefusesOthers)
{
    const QByteArray stream = B().formula(1, 0, B::number(2)).stream();
    admin::SavedValues values;
    EXPECT_TRUE(admin::readSavedValues(stream, QStringLiteral(" 货品 "), values));
    EXPECT_EQ(values.size(), 1u);
    EXPECT_FALSE(admin::readSavedValues(stream, QStringLiteral("图表"), values));
    EXPECT_TRUE(values.empty());
}

// A workbook stream cut anywhere before its end is refused as damaged: no
// record is read past the bytes there are (run under valgrind to see it).
TEST(FormulaValues, RefusesAStreamCutShortAnywhere)
{
    const QByteArray stream = B().formula(1, 0, B::number(2))
                                  .formula(1, 1, B::marker(0))
                                  .record(0x0207, B::le16(3) + B::piece(QStringLiteral("螺"), true))
                                  .record(0x003C, B::piece(QStringLiteral("丝钉"), true))
                                  .stream();
    admin::SavedValues values;
    ASSERT_TRUE(admin::readSavedValues(stream, QStringLiteral("货品"), values));
    EXPECT_EQ(values[std::pair(1, 1)].text, QStringLiteral("螺丝钉"));
    for (qsizetype size = 0; size < stream.size(); ++size) {
        // A copy of exactly that size, so a read past it is a read past the allocation.
        const QByteArray cut(stream.constData(), size);
        EXPECT_FALSE(admin::readSavedValues(cut, QStringLiteral("货品"), values)) << "cut at " << size;
        EXPECT_TRUE(values.empty());
    }
}

TEST(FormulaValues, RefusesAFileThatIsNoCompoundWorkbook)
{
    admin::SavedValues values;
    EXPECT_FALSE(admin::readFormulaValues(QStringLiteral(ADMIN_TEST_DATA "/goods-sheet1.csv"), QStringLiteral("货品"), values));
    EXPECT_FALSE(admin::readFormulaValues(QStringLiteral(ADMIN_TEST_DATA "/none.xls"), QStringLiteral("货品"), values));
}

} // namespace

TEST(CellDates, FormatsTellDatesAndSerialsReadAsDateCells)
{
    using admin::DateShape;
    const std::pair<const char *, DateShape> texts[] = {
        {"yyyy-mm-dd", DateShape::Date},           {"yyyy\"年\"m\"月\"d\"日\"", DateShape::Date},
        {"m/d/yy h:mm", DateShape::DateTime},       {"h:mm AM/PM", DateShape::Time},
        {"mm:ss", DateShape::Time},                 {"[h]:mm", DateShape::Time},
        {"mmm", DateShape::Date},                   {"General", DateShape::None},
        {"0.00E+00", DateShape::None},              {"[Red]#,##0.00;[Blue]-0.00", DateShape::None},
        {"\"day\" 0", DateShape::None},             {"0\\d", DateShape::None},
    };
    for (const auto &[text, shape] : texts)
        EXPECT_EQ(int(admin::dateShapeOf(200, QString::fromUtf8(text))), int(shape)) << text;
    // Built-in formats the workbook does not spell out.
    const std::pair<int, DateShape> builtIns[] = {
        {14, DateShape::Date}, {31, DateShape::Date}, {20, DateShape::Time}, {22, DateShape::DateTime}, {2, DateShape::None},
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
        {-1, DateShape::Date, false, ""},
        {3e6, DateShape::Date, false, ""},
    };
    for (const auto &s : serials)
        EXPECT_EQ(admin::dateText(s.serial, s.shape, s.base1904), QString::fromUtf8(s.text)) << s.serial;
}
